// The whole audio-only session on the real stream engine: every extension,
// the end by the rounded second, a seek past the end and a corrupt file.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "engine/gst_audio_stream.h"
#include "engine/scripted_engines.h"
#include "media/test_media.h"

using namespace engine;

namespace {
struct AudioSessionTest : ::testing::Test {
  ScriptedGraph graph;
  ScriptedDetector detector;
  GstAudioStream audio;
  RecordingView view;
  RecordingPrompt prompt;
  playlist::PlayList list;
  Session session{graph, detector, audio, view, prompt, list};
  // Ticks every 100 ms, as the window's timer does, until the media ends.
  bool TickUntilEnd(double seconds) {
    auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < end) {
      session.SessionTick();
      if (!session.IsPlaying) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
  }
};
}  // namespace

TEST_F(AudioSessionTest, EachExtensionPlaysWithItsLengthInWholeSeconds) {
  for (const char* name : {"tone-3s.mp3", "tone-3s.mp2", "tone-3s.mp1", "tone-3s.ogg",
                           "tone-3s.wav", "tone-3s.aif"}) {
    ASSERT_TRUE(session.OpenFile(TestClip(name))) << name;
    EXPECT_EQ(session.PlayType, kPlayAudio) << name;
    EXPECT_EQ(session.AudioLength, 3) << name;
    EXPECT_EQ(view.status, kStatusPlaying) << name;
    EXPECT_TRUE(audio.IsActivePlaying()) << name;
  }
  EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(AudioSessionTest, EndsByTheRoundedSecond) {
  ASSERT_TRUE(session.OpenFile(TestClip("short-0.4s.wav")));
  EXPECT_EQ(session.AudioLength, 0);
  session.SessionTick();  // position 0 is the length
  EXPECT_FALSE(session.IsPlaying);
  EXPECT_EQ(view.afterPlay, 1);

  ASSERT_TRUE(session.OpenFile(TestClip("silence-200.4s.wav")));
  EXPECT_EQ(session.AudioLength, 200);
  session.SeekAudioSeconds(199);
  session.SessionTick();
  EXPECT_EQ(session.LastAudioPositionSeconds, 199);
  EXPECT_TRUE(session.IsPlaying);
  // 199.5 rounds to 200 (half to even): the end comes well before 200.4 s.
  ASSERT_TRUE(TickUntilEnd(4));
  EXPECT_EQ(view.afterPlay, 2);
}

TEST_F(AudioSessionTest, ABarSeekPastTheEndClampsToTheLengthAndEnds) {
  ASSERT_TRUE(session.OpenFile(TestClip("tone-3s.ogg")));
  session.SeekAudioFromBar(900, 300);
  EXPECT_EQ(view.time, "0:00:03 / 0:00:03");
  EXPECT_EQ(session.AudioPositionSeconds(), 3);
  ASSERT_TRUE(TickUntilEnd(2));
}

TEST_F(AudioSessionTest, ACorruptFileIsReportedOnceAndLeavesTheReadyState) {
  for (const char* name : {"random.mp3", "tiny.mp3", "truncated.ogg"}) {
    prompt.shown.clear();
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(session.OpenFile(TestClip(name))) << name;
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(11)) << name;
    EXPECT_FALSE(session.IsPlaying) << name;
    EXPECT_EQ(view.status, kStatusReady) << name;
    EXPECT_FALSE(view.timers[Timer::Session]) << name;
    EXPECT_EQ(prompt.shown.size(), 1u) << name;
  }
}
