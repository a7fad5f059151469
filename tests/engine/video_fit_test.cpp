// The rectangle rule, the window rules of an open and the two fitting ways.
#include <gtest/gtest.h>

#include "engine/scripted_engines.h"
#include "engine/session.h"
#include "engine/video_fit.h"

using namespace engine;

TEST(ComputeVideoRect, RatiosOfTheModes) {
  EXPECT_EQ(ComputeVideoRect(kScale43, 800, 500, 1), (VideoRect{66, 0, 667, 500}));
  EXPECT_EQ(ComputeVideoRect(kScale169, 800, 600, 1), (VideoRect{0, 75, 800, 450}));
  EXPECT_EQ(ComputeVideoRect(kScale54, 500, 500, 1), (VideoRect{0, 50, 500, 400}));
  // Fill ignores every ratio.
  EXPECT_EQ(ComputeVideoRect(kScaleFill, 800, 500, 0.5625), (VideoRect{0, 0, 800, 500}));
  EXPECT_EQ(ComputeVideoRect(kScaleFill, 13, 7, 2), (VideoRect{0, 0, 13, 7}));
  // Mode 0 takes the open video's ratio; 260/540 of a raised 320 x 240 clip.
  EXPECT_EQ(ComputeVideoRect(kScaleKeepOriginal, 540, 260, 260.0 / 540), (VideoRect{0, 0, 540, 260}));
  EXPECT_EQ(ComputeVideoRect(kScaleKeepOriginal, 800, 600, 260.0 / 540), (VideoRect{0, 107, 800, 385}));
  // Unused values keep the original ratio; empty panels give empty rectangles.
  EXPECT_EQ(ComputeVideoRect(3, 800, 600, 0.5), (VideoRect{0, 100, 800, 400}));
  EXPECT_EQ(ComputeVideoRect(kScale43, 0, 0, 1), (VideoRect{0, 0, 0, 0}));
  EXPECT_EQ(ComputeVideoRect(kScale43, 100, 0, 1).height, 0);
}

TEST(ShowMaximisedFor, ScreenMustExceedTheVideoByTheChrome) {
  EXPECT_FALSE(ShowMaximisedFor(1366, 768, 540, 260));
  EXPECT_TRUE(ShowMaximisedFor(1366, 768, 1920, 1080));
  EXPECT_TRUE(ShowMaximisedFor(1366, 768, 1154, 260));   // 1154 + 212 is not less
  EXPECT_FALSE(ShowMaximisedFor(1366, 768, 1153, 609));
  EXPECT_TRUE(ShowMaximisedFor(1366, 768, 1153, 610));
}

namespace {
struct FitFixture : ::testing::Test, ScriptedSessionParts {
  int whileOpen = 1;
  void SetUp() override {
    session.RendererKind = kRendererMixer7;
    session.ReadWhileOpenMedia = [this] { return whileOpen; };
  }
  void Video(int width, int height) { detector.streams[1].width = width, detector.streams[1].height = height; }
};
}  // namespace

TEST_F(FitFixture, ASmallVideoSizesTheWindowAroundIt) {
  for (int mode : {1, 3}) {
    whileOpen = mode;  // 1 and 3 behave the same
    view.window = {689, 446};
    view.panel = {540, 380};
    ASSERT_TRUE(session.OpenFile("/m/a.mp4"));
    EXPECT_FALSE(view.maximised);
    EXPECT_EQ(session.VideoWidth, 540);
    EXPECT_EQ(session.VideoHeight, 260);
    // 689 x 446 with a 540 x 380 panel becomes 689 x 326, centred on 1366 x 768.
    EXPECT_EQ(view.moved, (std::vector<int>{338, 221, 689, 326}));
    EXPECT_EQ(graph.videoPosition.right, 540);
    EXPECT_EQ(graph.videoPosition.bottom, 260);
    EXPECT_EQ(graph.volume, 0);
    EXPECT_EQ(graph.balance, 0);
    EXPECT_TRUE(graph.running);
  }
}

TEST_F(FitFixture, FitToWindowKeepsTheWindow) {
  whileOpen = 2;
  Video(640, 360);
  view.panel = {800, 600};
  ASSERT_TRUE(session.OpenFile("/m/a.mp4"));
  EXPECT_TRUE(view.moved.empty());
  // 640 x 360 keeps its 9:16 ratio in an 800 x 600 panel.
  EXPECT_EQ(graph.videoPosition.left, 0);
  EXPECT_EQ(graph.videoPosition.top, 75);
  EXPECT_EQ(graph.videoPosition.right, 800);
  EXPECT_EQ(graph.videoPosition.bottom, 525);
}

TEST_F(FitFixture, ALargeVideoMaximisesAndFitsWhateverTheSetting) {
  for (int mode : {1, 2, 3}) {
    whileOpen = mode;
    view.maximised = false;
    view.moved.clear();
    Video(1920, 1080);
    view.panel = {1217, 700};
    ASSERT_TRUE(session.OpenFile("/m/big.mp4"));
    EXPECT_TRUE(view.maximised);
    EXPECT_TRUE(view.moved.empty());
    EXPECT_EQ(session.VideoWidth, 1920);
    // 1217 wide at 1080/1920 is 684 high, centred in 700.
    EXPECT_EQ(graph.videoPosition.top, 8);
    EXPECT_EQ(graph.videoPosition.Width(), 1217);
    EXPECT_EQ(graph.videoPosition.Height(), 684);
  }
  // A small video after it restores the window first, then sizes it to the video.
  whileOpen = 1;
  Video(320, 240);
  view.window = {1366, 768};
  ASSERT_TRUE(session.OpenFile("/m/small.mp4"));
  EXPECT_FALSE(view.maximised);
  EXPECT_EQ(view.panel.width, 540);
  EXPECT_EQ(view.panel.height, 260);
}

TEST_F(FitFixture, SinkWindowKindAndVideoValuesWithoutVideo) {
  session.RendererKind = kRendererDefault;
  whileOpen = 2;
  ASSERT_TRUE(session.OpenFile("/m/a.mp4"));
  EXPECT_EQ(graph.windowPosition, (std::vector<int>{0, 60, 540, 260}));
  EXPECT_EQ(graph.videoPosition.left, -1);  // no mixer call for the sink's window
  // Fill, then a file with no video stream keeps the raised previous values.
  session.ScaleMode = kScaleFill;
  session.FitVideo();
  EXPECT_EQ(graph.windowPosition, (std::vector<int>{0, 0, 540, 380}));
  Video(1280, 720);
  ASSERT_TRUE(session.OpenFile("/m/b.mp4"));
  detector.streams.resize(1);  // audio only
  ASSERT_TRUE(session.OpenFile("/m/c.mkv"));
  EXPECT_EQ(session.VideoWidth, 1280);
  EXPECT_EQ(session.VideoHeight, 720);
  // An unreadable file for the detector changes nothing either.
  detector.readable = false;
  ASSERT_TRUE(session.OpenFile("/m/d.mkv"));
  EXPECT_EQ(session.VideoWidth, 1280);
  // FitVideo does nothing once closed.
  session.CloseSession();
  graph.windowPosition.clear();
  session.FitVideo();
  EXPECT_TRUE(graph.windowPosition.empty());
}
