// Sound heard on the test sound server's null sink while the window, on the
// real engines, changes level, mute, channel and the system balance.
#include <cstdio>
#include <chrono>
#include <cmath>
#include <regex>
#include <thread>

#include "app/form_fixture.h"
#include "engine/gst_audio_stream.h"
#include "engine/gst_file_graph.h"
#include "engine/media_detector.h"
#include "engine/monitor_levels.h"
#include "engine/volume.h"
#include "media/test_media.h"
#include "platform/system_volume.h"
#include "settings/settings_store.h"

namespace {

std::string Run(const std::string& command) {
  std::string out;
  if (FILE* pipe = ::popen(command.c_str(), "r")) {
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe)) out += buffer;
    ::pclose(pipe);
  }
  return out;
}

// The sink's own left and right volumes, as the sound server reports them.
std::pair<long, long> SinkVolumes() {
  const std::string text = Run(std::string("pactl get-sink-volume ") + std::getenv("PULSE_SINK"));
  std::smatch l, r;
  if (!std::regex_search(text, l, std::regex("front-left: (\\d+)")) ||
      !std::regex_search(text, r, std::regex("front-right: (\\d+)")))
    return {-1, -1};
  return {std::stol(l[1]), std::stol(r[1])};
}

void SetSinkVolumes(const char* left, const char* right) {
  Run(std::string("pactl set-sink-volume ") + std::getenv("PULSE_SINK") + " " + left + " " + right);
}

constexpr double kTone = 0.8;  // the clips' tones peak here at full volume
const double kLevel30 = kTone * std::pow(10.0, -2246 / 2000.0);  // about 0.060

bool Silent(const Levels& l) { return l.left < 5 && l.right < 5; }

struct SoundForm : FormFixture {
  engine::GstFileGraph realGraph;
  engine::MediaDetector realDetector;
  engine::GstAudioStream realAudio;
  std::unique_ptr<TOrvaneMain_Form> form;

  void SetUp() override {
    if (!std::getenv("PULSE_SINK")) GTEST_SKIP() << "needs the test sound server (scripts/with-test-env)";
    FormFixture::SetUp();
    SetSinkVolumes("100%", "100%");
  }
  void TearDown() override {
    form.reset();
    if (std::getenv("PULSE_SINK")) SetSinkVolumes("100%", "100%");
    FormFixture::TearDown();
  }
  void StartReal() {
    app::MainFormParts parts{&realGraph, &realAudio, &prompt, root, {}, &realDetector,
                             engine::kRendererMixer7};
    form = std::make_unique<TOrvaneMain_Form>(parts);
    form->FormShow();
    form->FormActivate();
  }
  void Store(const char* key, const char* value) {
    settings::SettingsStore store(Ini());
    store.EnsureSettingsFile();
    store.Write("Play", key, value);
  }
  void Open(const char* clip) { ASSERT_TRUE(form->session().OpenFiles({TestClip(clip)})) << clip; }
  void ClickMute() {
    Send(form->Volume_XI, QEvent::MouseButtonPress);
    Send(form->Volume_XI, QEvent::MouseButtonRelease);
  }
};

}  // namespace

TEST_F(SoundForm, AVideoPlaysAtTheTableLevelWithItsChannelAndMute) {
  StartReal();
  Open("tone-video-10s.mkv");
  // Quiet from the first sample on: the level is set before the graph runs.
  Levels start = RecordMonitor(1.0);
  EXPECT_NEAR(start.peakLeft, kLevel30, 0.01);
  EXPECT_NEAR(start.peakRight, kLevel30, 0.01);

  form->pLefttrack->trigger();
  // Heard at once, not after the second of sound already queued.
  Levels left = RecordUntil([](const Levels& l) { return l.right < 5; }, 0.8);
  EXPECT_LT(left.right, 5);
  EXPECT_NEAR(left.peakLeft, kLevel30, 0.01);
  form->pStereo->trigger();
  Levels both = RecordUntil([](const Levels& l) { return l.right > 100; });
  EXPECT_NEAR(both.peakLeft, kLevel30, 0.01);
  EXPECT_NEAR(both.peakRight, kLevel30, 0.01);

  ClickMute();
  EXPECT_TRUE(Silent(RecordUntil(Silent)));
  // A new level while muted is not heard until the unmute, which brings it.
  Send(form->SoundPro_XI, QEvent::MouseButtonPress, QPointF(500, 3));
  ASSERT_EQ(form->session().SoundLevel, 100);
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  EXPECT_TRUE(Silent(RecordMonitor(0.5)));
  ClickMute();
  Levels loud = RecordUntil([](const Levels& l) { return l.peakLeft > 0.5; });
  EXPECT_NEAR(loud.peakLeft, kTone, 0.05);
  EXPECT_NEAR(loud.peakRight, kTone, 0.05);
}

TEST_F(SoundForm, TheAudioOnlyPathStoresTheChannelButStaysStereo) {
  StartReal();
  Open("tone-10s.wav");
  form->pLefttrack->trigger();
  EXPECT_TRUE(form->pLefttrack->isChecked());
  EXPECT_EQ(settings::SettingsStore(Ini()).ReadInt("Play", "SoundBalance"), -9999);
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  Levels heard = RecordMonitor(0.5);
  EXPECT_NEAR(heard.peakLeft, kTone * 0.3, 0.02);  // level / 100 on this path
  EXPECT_NEAR(heard.peakRight, kTone * 0.3, 0.02);
}

TEST_F(SoundForm, MediaOpenedWhileMutedIsSilentOnBothPaths) {
  Store("isSlience", "1");
  StartReal();
  for (const char* clip : {"tone-video-10s.mkv", "tone-10s.wav"}) {
    Open(clip);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_TRUE(Silent(RecordMonitor(1.0))) << clip;
  }
  // It was playing all along.
  ClickMute();
  Levels heard = RecordUntil([](const Levels& l) { return l.peakLeft > 0.1; });
  EXPECT_NEAR(heard.peakLeft, kTone * 0.3, 0.02);
}

TEST_F(SoundForm, TheBalanceSliderPansTheSinkAndTheCentreRestoresIt) {
  SetSinkVolumes("80%", "60%");
  const auto [louder, quieter] = SinkVolumes();
  ASSERT_NEAR(louder, 0x10000 * 8 / 10, 2);
  ASSERT_LT(quieter, louder);
  StartReal();
  Send(form->TrackPro_XI, QEvent::MouseButtonPress, QPointF(0, 3));
  EXPECT_EQ(SinkVolumes(), std::make_pair(louder, 0L));
  const int travel = form->TrackPro_XI->width() - form->TrackBar_XI->width();
  Send(form->TrackPro_XI, QEvent::MouseButtonPress,
       QPointF(travel / 2 + form->TrackBar_XI->width() / 2, 3));
  EXPECT_EQ(SinkVolumes(), std::make_pair(louder, louder));
  // The control panel's device is the first sink with two sides: the same one
  // here, read in the 0..0xFFFF scale.
  auto system = platform::MakePulseSystemVolume();
  platform::ChannelVolumes volumes;
  ASSERT_TRUE(system->GetVolume(platform::SoundDevice::FirstBalanced, &volumes));
  EXPECT_EQ(volumes.left, std::lround(louder * 65535.0 / 65536.0));
  EXPECT_EQ(volumes.right, volumes.left);
}

TEST(SystemVolume, WithoutASoundServerNothingHappensQuickly) {
  const char* saved = std::getenv("PULSE_SERVER");
  std::string keep = saved ? saved : "";
  ::setenv("PULSE_SERVER", "unix:/nonexistent/orvane-no-server", 1);
  auto system = platform::MakePulseSystemVolume();
  const auto t0 = std::chrono::steady_clock::now();
  platform::ChannelVolumes volumes{7, 7};
  EXPECT_FALSE(system->GetVolume(platform::SoundDevice::Default, &volumes));
  EXPECT_FALSE(system->SetVolume(platform::SoundDevice::Default, {0, 0}));
  engine::ApplyWaveBalance(*system, 0, 100, platform::SoundDevice::Default);
  EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(500));
  EXPECT_EQ(volumes.left, 7);
  if (saved) ::setenv("PULSE_SERVER", keep.c_str(), 1); else ::unsetenv("PULSE_SERVER");
}

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
