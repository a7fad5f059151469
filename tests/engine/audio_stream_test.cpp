// The GStreamer audio stream on generated clips: formats, byte positions and
// the end, files that cannot open, the spectrum of what is heard, and the
// equaliser and volume as heard on the test sound server.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "engine/gst_audio_stream.h"
#include "engine/monitor_levels.h"
#include "engine/poll.h"
#include "media/test_media.h"

using namespace engine;
using Clock = std::chrono::steady_clock;

namespace {

struct AudioStreamTest : ::testing::Test {
  GstAudioStream stream;
  double Seconds(std::int64_t bytes) { return stream.BytesToSeconds(bytes); }
  template <typename F>
  static bool WaitFor(F done, double seconds) {
    return ::WaitFor(done, seconds, 5);
  }
  static void Sleep(double seconds) {
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
  }
  // A change is heard once the samples the sink already held have played;
  // the heard position, not the wall clock, says so, as the null sink's clock
  // sometimes stalls for a second.
  Levels HeardAfterChange() {
    double from = Seconds(stream.PositionBytes());
    EXPECT_TRUE(WaitFor([&] { return Seconds(stream.PositionBytes()) >= from + 0.4; }, 5));
    return RecordMonitor(0.3);
  }
};

double Db(double ratio) { return 20 * std::log10(ratio); }

}  // namespace

TEST_F(AudioStreamTest, EachFormatOpensPausedPlaysAndReportsItsLength) {
  for (const char* name : {"tone-3s.mp3", "tone-3s.mp2", "tone-3s.mp1", "tone-3s.ogg",
                           "tone-3s.wav", "tone-3s.aif"}) {
    ASSERT_TRUE(stream.CreateFileStream(TestClip(name))) << name;
    EXPECT_TRUE(stream.IsOpen()) << name;
    EXPECT_EQ(std::lround(Seconds(stream.LengthBytes())), 3) << name;
    EXPECT_FALSE(stream.IsActivePlaying()) << name;
    EXPECT_EQ(stream.PositionBytes(), 0) << name;
    stream.Play(false);
    EXPECT_TRUE(stream.IsActivePlaying()) << name;
    EXPECT_TRUE(WaitFor([&] { return Seconds(stream.PositionBytes()) > 0.1; }, 5)) << name;
  }
  // 16-bit samples: 44.1 kHz stereo.
  EXPECT_EQ(stream.SecondsToBytes(1.0), 176400);
  EXPECT_EQ(stream.SecondsToBytes(0.5 + 0.4 / 44100), 88200);  // whole frames only
  EXPECT_DOUBLE_EQ(stream.BytesToSeconds(stream.SecondsToBytes(1.5)), 1.5);
  EXPECT_EQ(stream.SecondsToBytes(stream.BytesToSeconds(stream.LengthBytes())), stream.LengthBytes());
  stream.Free();
  EXPECT_FALSE(stream.IsOpen());
  EXPECT_EQ(stream.LengthBytes(), 0);
}

TEST_F(AudioStreamTest, PositionsClampSeekAndReachTheLengthAtTheEnd) {
  ASSERT_TRUE(stream.CreateFileStream(TestClip("short-0.4s.wav")));
  EXPECT_EQ(std::lround(Seconds(stream.LengthBytes())), 0);

  ASSERT_TRUE(stream.CreateFileStream(TestClip("silence-200.4s.wav")));
  const std::int64_t length = stream.LengthBytes();
  EXPECT_EQ(stream.SecondsToBytes(1.0), 16000);  // 8 kHz mono
  EXPECT_NEAR(Seconds(length), 200.4, 0.001);
  EXPECT_EQ(std::lround(Seconds(length)), 200);
  stream.SetPositionBytes(length + 1000);
  EXPECT_EQ(stream.PositionBytes(), length);
  stream.SetPositionBytes(-5);
  EXPECT_EQ(stream.PositionBytes(), 0);
  // Seeking while paused is read back at once.
  stream.SetPositionBytes(stream.SecondsToBytes(199.7));
  EXPECT_EQ(stream.PositionBytes(), stream.SecondsToBytes(199.7));
  stream.Play(false);
  ASSERT_TRUE(WaitFor([&] {
    EXPECT_LE(stream.PositionBytes(), length);
    return !stream.IsActivePlaying();
  }, 5));
  EXPECT_EQ(stream.PositionBytes(), length);
  Sleep(0.1);
  EXPECT_EQ(stream.PositionBytes(), length);
  // A restart plays from the top; a stop goes back there and holds.
  stream.Play(true);
  EXPECT_TRUE(stream.IsActivePlaying());
  EXPECT_LT(Seconds(stream.PositionBytes()), 1.0);
  stream.SetPositionBytes(stream.SecondsToBytes(100));
  EXPECT_NEAR(Seconds(stream.PositionBytes()), 100, 0.5);
  EXPECT_TRUE(stream.IsActivePlaying());
  stream.Stop();
  EXPECT_FALSE(stream.IsActivePlaying());
  EXPECT_EQ(stream.PositionBytes(), 0);
}

TEST_F(AudioStreamTest, FilesThatCannotOpenFailQuicklyAndHoldNothing) {
  ASSERT_TRUE(stream.CreateFileStream(TestClip("tone-3s.wav")));
  // The truncated file's error is lost in the decoder now and then; it must
  // fail at once every time.
  std::vector<std::string> names(20, "truncated.ogg");
  names.insert(names.end(), {"random.mp3", "no-such-file.mp3"});
  for (const std::string& name : names) {
    auto t0 = Clock::now();
    EXPECT_FALSE(stream.CreateFileStream(TestClip(name))) << name;
    EXPECT_LT(std::chrono::duration<double>(Clock::now() - t0).count(), 2.0) << name;
    EXPECT_FALSE(stream.IsOpen()) << name;
  }
  EXPECT_FALSE(stream.CreateFileStream(""));
  // Calls with nothing open do nothing and report nothing.
  stream.Play(true);
  stream.Pause();
  stream.Stop();
  stream.SetPositionBytes(1000);
  stream.SetVolume(0.5f);
  EXPECT_EQ(stream.LengthBytes(), 0);
  EXPECT_EQ(stream.PositionBytes(), 0);
  EXPECT_EQ(stream.SecondsToBytes(1.0), 0);
  EXPECT_FALSE(stream.IsActivePlaying());
  float values[kSpectrumValues];
  std::fill(std::begin(values), std::end(values), 1.0f);
  EXPECT_FALSE(stream.GetSpectrum(values));
  EXPECT_EQ(*std::max_element(std::begin(values), std::end(values)), 0.0f);
  EXPECT_EQ(stream.AddEqEffect(), 0);
  EXPECT_FALSE(stream.SetEqParameters(1, 1000, 20, 6));
  EXPECT_TRUE(stream.CreateFileStream(TestClip("tone-3s.ogg")));
}

// The clip holds a 1 kHz tone at half scale for 3 s, then silence. Once
// playing has settled the sink holds about 200 ms more than is heard, so a
// spectrum of the samples last pushed would turn silent too early.
TEST_F(AudioStreamTest, SpectrumIsOfTheSamplesBeingHeard) {
  ASSERT_TRUE(stream.CreateFileStream(TestClip("tone-then-silence-48k.wav")));
  float values[kSpectrumValues];
  EXPECT_FALSE(stream.GetSpectrum(values));  // not playing yet
  const int toneBin = static_cast<int>(std::lround(1000.0 * 256 / 48000));  // 5.33 -> 5
  stream.Play(false);
  int toneSeen = 0, silenceSeen = 0;
  auto end = Clock::now() + std::chrono::seconds(10);
  while (Clock::now() < end) {
    double before = Seconds(stream.PositionBytes());
    if (before > 3.6) break;
    ASSERT_TRUE(stream.GetSpectrum(values));
    double after = Seconds(stream.PositionBytes());
    int peak = static_cast<int>(std::max_element(std::begin(values), std::end(values)) - values);
    if (before >= 0.3 && after <= 2.99) {
      ++toneSeen;
      EXPECT_EQ(peak, toneBin) << "at " << before;
      // 0.5 scaled by the Hann window's response 0.33 bins off its centre.
      EXPECT_NEAR(values[peak], 0.465, 0.02) << "at " << before;
    } else if (before >= 3.01) {
      ++silenceSeen;
      EXPECT_LT(values[peak], 1e-6) << "at " << before;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  EXPECT_GT(toneSeen, 50);
  EXPECT_GT(silenceSeen, 20);
}

// Levels of a quiet 1 kHz tone on the null sink's monitor.
TEST_F(AudioStreamTest, EqualiserBandsShapeWhatIsHeard) {
  if (!std::getenv("PULSE_SINK")) GTEST_SKIP() << "needs the test sound server (scripts/test)";
  ASSERT_TRUE(stream.CreateFileStream(TestClip("tone-20s-mono.wav")));
  const float centres[kEqBands] = {100, 190, 380, 570, 1000, 2000, 4000, 6000, 12000, 14000};
  int handles[kEqBands];
  std::set<int> distinct;
  for (int i = 0; i < kEqBands; ++i) {
    handles[i] = stream.AddEqEffect();
    ASSERT_NE(handles[i], 0);
    distinct.insert(handles[i]);
    ASSERT_TRUE(stream.SetEqParameters(handles[i], centres[i], 20, 0));
  }
  EXPECT_EQ(distinct.size(), size_t(kEqBands));
  stream.Play(false);
  auto heard = [&](int band, float gain) {
    EXPECT_TRUE(stream.SetEqParameters(handles[band], centres[band], 20, gain));
    return HeardAfterChange().left;
  };
  const double flat = heard(4, 0);
  ASSERT_GT(flat, 1000);
  // Beyond the +12 dB one band reaches.
  EXPECT_NEAR(Db(heard(4, 15) / flat), 15, 2);
  EXPECT_NEAR(Db(heard(4, -15) / flat), -15, 2);
  stream.SetEqParameters(handles[4], 1000, 20, 0);
  // Bands far from the tone leave it nearly alone.
  for (int band : {0, kEqBands - 1}) {
    for (float gain : {15.0f, -15.0f}) {
      EXPECT_NEAR(Db(heard(band, gain) / flat), 0, 3) << "band " << band << " at " << gain << " dB";
    }
    stream.SetEqParameters(handles[band], centres[band], 20, 0);
  }
  // The first and last effects peak like the others: a shelf would give half
  // the gain at its corner.
  for (int band : {0, kEqBands - 1}) {
    EXPECT_TRUE(stream.SetEqParameters(handles[band], 1000, 20, 15));
    EXPECT_NEAR(Db(HeardAfterChange().left / flat), 15, 2) << "band " << band;
    stream.SetEqParameters(handles[band], centres[band], 20, 0);
  }
  stream.Free();
  EXPECT_FALSE(stream.SetEqParameters(handles[4], 1000, 20, 6));
  // A new stream's handles are its own.
  ASSERT_TRUE(stream.CreateFileStream(TestClip("tone-3s.wav")));
  int next = stream.AddEqEffect();
  EXPECT_EQ(distinct.count(next), 0u);
  EXPECT_FALSE(stream.SetEqParameters(handles[0], 1000, 20, 6));
  EXPECT_TRUE(stream.SetEqParameters(next, 1000, 20, 6));
}

TEST_F(AudioStreamTest, VolumeIsKeptForLaterStreamsAndActsOnTheOutput) {
  if (!std::getenv("PULSE_SINK")) GTEST_SKIP() << "needs the test sound server (scripts/test)";
  stream.SetVolume(0);
  ASSERT_TRUE(stream.CreateFileStream(TestClip("tone-20s-mono.wav")));
  stream.Play(false);
  Levels silent = HeardAfterChange();
  EXPECT_LT(silent.left + silent.right, 10);
  stream.SetVolume(1);
  Levels full = HeardAfterChange();
  // The tone is at a tenth of full scale.
  EXPECT_NEAR(Db(full.left / (0.1 * 32767 / std::sqrt(2.0))), 0, 1.5);
}
