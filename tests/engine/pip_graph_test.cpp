// The two-file graph on generated clips: both pictures into their mixer
// streams under one clock, file A's positions and end, B ending first,
// seeking, rate, and a file that cannot play.
#include <gtest/gtest.h>

#include <chrono>

#include "engine/gst_pip_graph.h"
#include "engine/poll.h"
#include "engine/video_mixer.h"
#include "media/test_media.h"

using namespace engine;

namespace {

constexpr std::int64_t kSecond = 10000000;

struct PipGraphFixture : ::testing::Test {
  VideoMixer mixer;
  GstPipGraph graph;
  void SetUp() override { graph.SetVideoOutput({&mixer, 0}); }
  std::pair<std::int64_t, std::int64_t> Positions() {
    std::int64_t current = -1, stop = -1;
    graph.GetPositions(&current, &stop);
    return {current, stop};
  }
  // The blue of a frame's top-right corner: A is red, B blue with a green quarter.
  static int BlueAt(const VideoFrame& f, int x, int y) { return f.data[y * f.stride + x * 4]; }
};

}  // namespace

TEST_F(PipGraphFixture, BothPicturesReachTheirStreamsAndFileAsEndIsTheEnd) {
  ASSERT_TRUE(graph.RenderFiles(TestClip("blue-marked-3s.mp4"), TestClip("red-20s.mp4"), kRendererMixer7));
  graph.SetVideoPosition({0, 0, 160, 120});
  auto [current, stop] = Positions();
  EXPECT_EQ(current, 0);
  // The stop is file A's length, not the longer B's.
  EXPECT_NEAR(static_cast<double>(stop) / kSecond, 3.04, 0.1);
  ASSERT_TRUE(mixer.Slot(0).Latest() && mixer.Slot(1).Latest());  // both prerolled
  EXPECT_GT(BlueAt(*mixer.Slot(0).Latest(), mixer.Slot(0).Latest()->width - 1, 0), 150);
  EXPECT_LT(BlueAt(*mixer.Slot(1).Latest(), mixer.Slot(1).Latest()->width - 1, 0), 60);
  graph.SetPositionAbsolute(2 * kSecond);
  graph.Run();
  // Frames come at the size asked for the picture.
  ASSERT_TRUE(WaitFor([&] { auto f = mixer.Slot(1).Latest(); return f && f->width == 160; }, 5));
  ASSERT_TRUE(WaitFor([&] { auto p = Positions(); return p.first == p.second; }, 8))
      << Positions().first << " of " << Positions().second << ", A ended " << graph.FileAEnded();
  EXPECT_NEAR(static_cast<double>(Positions().first) / kSecond, 3.04, 0.1);
  graph.Release();
  EXPECT_FALSE(graph.Exists());
  EXPECT_FALSE(mixer.Slot(0).Latest());
}

TEST_F(PipGraphFixture, FileBEndingFirstLeavesItsLastFrameWhileAGoesOn) {
  ASSERT_TRUE(graph.RenderFiles(TestClip("red-20s.mp4"), TestClip("blue-marked-3s.mp4"), kRendererMixer9));
  graph.SetPositionAbsolute(2 * kSecond);
  graph.SetRate(2.0);
  graph.Run();
  // Two seconds of both files in about one once playing: the rate holds for the pair.
  ASSERT_TRUE(WaitFor([&] { return Positions().first > 2.5 * kSecond; }, 8));
  const auto from = std::chrono::steady_clock::now();
  const std::int64_t at = Positions().first;
  ASSERT_TRUE(WaitFor([&] { return Positions().first > at + 2 * kSecond; }, 8));
  EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - from).count(), 1.5);
  auto [current, stop] = Positions();
  EXPECT_LT(current, stop);
  EXPECT_FALSE(graph.FileAEnded());
  ASSERT_TRUE(mixer.Slot(1).Latest());
  const auto count = mixer.Slot(1).Count();
  const auto countA = mixer.Slot(0).Count();
  ASSERT_TRUE(WaitFor([&] { return mixer.Slot(0).Count() > countA + 5; }, 5));
  EXPECT_EQ(mixer.Slot(1).Count(), count);  // B has stopped, its last frame stays
  EXPECT_TRUE(mixer.Slot(1).Latest());
}

TEST_F(PipGraphFixture, AFileThatCannotPlayOrTheDefaultRendererBuildsNothing) {
  EXPECT_FALSE(graph.RenderFiles(TestClip("red-20s.mp4"), TestClip("truncated.mp4"), kRendererMixer7));
  EXPECT_FALSE(graph.Exists());
  EXPECT_FALSE(graph.RenderFiles(TestClip("red-20s.mp4"), "/nonexistent.mp4", kRendererMixer7));
  EXPECT_FALSE(graph.RenderFiles(TestClip("red-20s.mp4"), TestClip("red-20s.mp4"), kRendererDefault));
  EXPECT_FALSE(graph.Exists());
  // A sound-only file has no picture, yet plays its sound with the other's picture.
  ASSERT_TRUE(graph.RenderFiles(TestClip("red-20s.mp4"), TestClip("tone-3s.wav"), kRendererMixer7));
  EXPECT_TRUE(mixer.Slot(0).Latest());
  EXPECT_FALSE(mixer.Slot(1).Latest());
}
