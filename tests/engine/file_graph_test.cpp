// The GStreamer file graph on generated clips: build, positions, the end,
// seeking, rate, frame step and files that cannot play.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <thread>

#include <unistd.h>

#include "engine/gst_file_graph.h"
#include "engine/media_detector.h"
#include "engine/monitor_levels.h"
#include "engine/poll.h"
#include "engine/scripted_engines.h"
#include "engine/session.h"
#include "engine/video_mixer.h"
#include "media/test_media.h"
#include "platform/process_memory.h"

using namespace engine;
using Clock = std::chrono::steady_clock;

namespace {

// The heap set as the player sets it at start, before any test has a thread:
// the memory test below measures what the player would keep.
struct PlayerHeap : ::testing::Environment {
  void SetUp() override { platform::KeepFreedMemoryReturnable(); }
};
const auto* const kPlayerHeap = ::testing::AddGlobalTestEnvironment(new PlayerHeap);

constexpr std::int64_t kSecond = 10000000;     // 100-ns units
constexpr std::int64_t kFrame = kSecond / 25;  // the clips run at 25 fps

struct GraphFixture : ::testing::Test {
  VideoMixer mixer;
  GstFileGraph graph;
  void SetUp() override { graph.SetVideoOutput({&mixer, 0}); }
  std::int64_t Current() {
    std::int64_t current = -1, stop = -1;
    graph.GetPositions(&current, &stop);
    return current;
  }
  std::int64_t Stop() {
    std::int64_t current = -1, stop = -1;
    graph.GetPositions(&current, &stop);
    return stop;
  }
};

}  // namespace

TEST_F(GraphFixture, BuildsPausedWithTheClipLengthAndAFirstFrame) {
  ASSERT_TRUE(graph.RenderFile(TestClip("video-2s-320x240.mp4"), kRendererMixer7));
  EXPECT_TRUE(graph.Exists());
  // The clip's length as the detector reads it, within one frame; the
  // container holds slightly more audio than video, so 2 s within two.
  MediaDetector detector;
  ASSERT_TRUE(detector.put_Filename(TestClip("video-2s-320x240.mp4")));
  EXPECT_NEAR(static_cast<double>(Stop()), detector.Stream(0).lengthSeconds * kSecond, kFrame);
  EXPECT_NEAR(static_cast<double>(Stop()), 2.0 * kSecond, 2.0 * kFrame);
  EXPECT_EQ(Current(), 0);
  ASSERT_TRUE(WaitFor([&] { return mixer.Slot(0).Count() > 0; }, 5));
  auto frame = mixer.Slot(0).Latest();
  ASSERT_TRUE(frame);
  EXPECT_EQ(frame->width, 320);
  EXPECT_EQ(frame->height, 240);
  EXPECT_GE(frame->stride, 320 * 4);
  // Top-left of the bars is white-ish in B, G, R, x order.
  EXPECT_GT(frame->data[0], 150);
  EXPECT_GT(frame->data[1], 150);
  EXPECT_GT(frame->data[2], 150);
  graph.Release();
  EXPECT_FALSE(graph.Exists());
  EXPECT_FALSE(mixer.Slot(0).Latest());
}

TEST_F(GraphFixture, PlaysToTheEndWhereCurrentEqualsStop) {
  ASSERT_TRUE(graph.RenderFile(TestClip("video-2s-320x240.webm"), kRendererMixer7));
  std::int64_t stop = Stop();
  ASSERT_GT(stop, 0);
  graph.Run();
  std::int64_t seen = 0;
  ASSERT_TRUE(WaitFor([&] {
    seen = std::max(seen, Current());
    return Current() == stop;
  }, 10));
  EXPECT_EQ(Stop(), stop);
  // Stays at the end until moved.
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ(Current(), stop);
  graph.SetPositionAbsolute(0);
  EXPECT_LT(Current(), stop);
}

// A seek to or past the end of a file whose length is known ends it, as
// playing to the end does, also after the file has been played to its end
// once. Matroska's demuxer then knows its last frame, a little before the
// length it first gave, and refused a seek to that length with a critical.
TEST_F(GraphFixture, ASeekToOrPastTheEndEndsTheFile) {
  int criticals = 0;
  const guint handler = g_log_set_handler(
      "GStreamer", static_cast<GLogLevelFlags>(G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_WARNING),
      [](const gchar*, GLogLevelFlags, const gchar*, gpointer count) { ++*static_cast<int*>(count); }, &criticals);
  for (const char* clip : {"tone-video-10s.mkv", "video-10s-640x360.mp4"}) {
    SCOPED_TRACE(clip);
    graph.put_Volume(-10000);
    ASSERT_TRUE(graph.RenderFile(TestClip(clip), kRendererMixer7));
    const std::int64_t length = Stop();
    graph.Run();
    graph.SetPositionAbsolute(length - kSecond / 2);
    ASSERT_TRUE(WaitFor([&] { return Current() == Stop(); }, 5));
    for (std::int64_t to : {length, length + 3 * kSecond}) {
      graph.SetPositionAbsolute(0);
      ASSERT_TRUE(WaitFor([&] { return Current() < kSecond; }, 5));
      graph.SetPositionAbsolute(to);
      EXPECT_TRUE(WaitFor([&] { return Current() == Stop(); }, 5)) << to;
    }
  }
  g_log_remove_handler("GStreamer", handler);
  EXPECT_EQ(criticals, 0);
}

TEST_F(GraphFixture, SeeksRateAndFrameStepMoveThePosition) {
  // The null sink's clock in a virtual machine pauses now and then; timing is
  // measured on the system clock, with the sound still going to the server.
  ::setenv("ORVANE_AUDIO_SINK", "pulsesink provide-clock=false", 1);
  bool built = graph.RenderFile(TestClip("video-10s-640x360.mp4"), kRendererMixer7);
  ::unsetenv("ORVANE_AUDIO_SINK");
  ASSERT_TRUE(built);
  graph.SetPositionAbsolute(4 * kSecond);
  ASSERT_TRUE(WaitFor([&] { return std::abs(Current() - 4 * kSecond) <= kFrame; }, 5));
  // Key-frame seeks land on a key frame at or before the target (one per second).
  graph.SetPositions(6 * kSecond + 5 * kFrame, kSeekingAbsolutePositioning | kSeekingSeekToKeyFrame);
  ASSERT_TRUE(WaitFor([&] { return std::abs(Current() - 6 * kSecond) <= kFrame; }, 5));
  // No positioning leaves it alone.
  graph.SetPositions(1 * kSecond, kSeekingNoPositioning);
  EXPECT_NEAR(static_cast<double>(Current()), 6.0 * kSecond, kFrame);

  // A frame step while paused advances by one frame duration.
  std::int64_t before = Current();
  std::uint64_t frames = mixer.Slot(0).Count();
  ASSERT_TRUE(graph.Step());
  ASSERT_TRUE(WaitFor([&] { return mixer.Slot(0).Count() > frames && Current() != before; }, 5));
  EXPECT_NEAR(static_cast<double>(Current() - before), static_cast<double>(kFrame), kFrame / 4.0);

  // Rate 2.0: about two seconds of media per second of wall time.
  graph.SetPositionAbsolute(1 * kSecond);
  EXPECT_TRUE(graph.SetRate(2.0));
  EXPECT_EQ(graph.Rate(), 2.0);
  graph.Run();
  ASSERT_TRUE(WaitFor([&] { return Current() > 1 * kSecond + kFrame; }, 5));
  // Measured once the sound output has settled into the new rate.
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  std::int64_t start = Current();
  auto t0 = Clock::now();
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  double wall = std::chrono::duration<double>(Clock::now() - t0).count();
  double advanced = static_cast<double>(Current() - start) / kSecond;
  EXPECT_NEAR(advanced / wall, 2.0, 0.3);
  // A new build starts again at the normal rate.
  ASSERT_TRUE(graph.RenderFile(TestClip("video-2s-320x240.mp4"), kRendererMixer7));
  EXPECT_EQ(graph.Rate(), 1.0);
}

TEST_F(GraphFixture, FilesThatCannotPlayFailQuicklyAndHoldNothing) {
  // The truncated file's error is lost in the decoder now and then, which
  // froze the window for the whole build limit: it must fail at once every time.
  std::vector<std::string> names(10, "truncated.mp4");
  names.insert(names.end(), {"random.mp4", "tiny.mp3", "no-such-file.mp4"});
  for (const std::string& name : names) {
    ASSERT_TRUE(graph.RenderFile(TestClip("video-2s-320x240.mp4"), kRendererMixer7));
    auto t0 = Clock::now();
    EXPECT_FALSE(graph.RenderFile(TestClip(name), kRendererMixer7)) << name;
    EXPECT_FALSE(graph.Exists()) << name;
    EXPECT_LT(std::chrono::duration<double>(Clock::now() - t0).count(), 3.0) << name;
    std::int64_t c = 0, s = 0;
    EXPECT_FALSE(graph.GetPositions(&c, &s));
  }
  EXPECT_FALSE(graph.RenderFile("", kRendererMixer7));
  // Calls on no graph do nothing.
  graph.Run();
  graph.SetPositionAbsolute(kSecond);
  EXPECT_FALSE(graph.SetRate(2.0));
  EXPECT_FALSE(graph.Step());
  graph.put_Volume(-10000);
  graph.put_Balance(9999);
  // And a good file still builds afterwards.
  EXPECT_TRUE(graph.RenderFile(TestClip("video-2s-320x240.mp4"), kRendererMixer7));
}

// A paused picture is scaled again whenever the window asks another size,
// at once: no frame of a running graph is needed for it, also after a seek.
TEST_F(GraphFixture, APausedPictureTakesEachSizeTheWindowAsks) {
  graph.put_Volume(-10000);
  ASSERT_TRUE(graph.RenderFile(TestClip("video-2s-320x240.mp4"), kRendererMixer7));
  auto shownAt = [&](int width, int height) {
    return WaitFor([&] {
      auto f = mixer.Slot(0).Latest();
      return f && f->width == width && f->height == height && f->data[0] > 150;
    }, 1);
  };
  graph.SetVideoPosition({0, 0, 160, 120});
  EXPECT_TRUE(shownAt(160, 120));
  graph.SetVideoPosition({0, 0, 500, 300});
  EXPECT_TRUE(shownAt(500, 300));
  graph.SetPositionAbsolute(kSecond);
  ASSERT_TRUE(WaitFor([&] { return Current() > kSecond / 2; }, 3));
  graph.SetVideoPosition({0, 0, 100, 80});
  EXPECT_TRUE(shownAt(100, 80));
  EXPECT_EQ(mixer.Slot(0).Latest()->width, 100);
}

// The player builds the file named at start while its window is made; the
// open of that file takes the graph over, any other open drops it.
TEST(EarlyGraph, TheOpenOfTheSameFileTakesItOverAndAnyOtherDropsIt) {
  VideoMixer mixer;
  {
    GstFileGraph graph;
    graph.PrerollEarly(TestClip("video-2s-320x240.mp4"));
    graph.SetVideoOutput({&mixer, 0});
    graph.put_Volume(-10000);
    ASSERT_TRUE(graph.RenderFile(TestClip("video-2s-320x240.mp4"), kRendererMixer7));
    std::int64_t current = -1, stop = -1;
    ASSERT_TRUE(graph.GetPositions(&current, &stop));
    EXPECT_EQ(current, 0);
    EXPECT_NEAR(static_cast<double>(stop), 2.0 * kSecond, 2.0 * kFrame);
    // The frame kept while no window was known is there as soon as the window
    // asks its size, before the graph runs.
    graph.SetVideoPosition({0, 0, 160, 120});
    auto frame = mixer.Slot(0).Latest();
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->width, 160);
    EXPECT_EQ(frame->height, 120);
    EXPECT_GT(frame->data[0], 150);
    graph.Run();
    ASSERT_TRUE(WaitFor([&] { return graph.GetPositions(&current, &stop) && current > kSecond / 2; }, 5));
    EXPECT_EQ(mixer.Slot(0).Latest()->width, 160);
  }
  {
    // Another file: the early graph goes and never shows a frame.
    GstFileGraph graph;
    graph.PrerollEarly(TestClip("red-20s.mp4"));
    graph.SetVideoOutput({&mixer, 0});
    ASSERT_TRUE(graph.RenderFile(TestClip("video-2s-320x240.mp4"), kRendererMixer7));
    auto frame = mixer.Slot(0).Latest();
    ASSERT_TRUE(frame);
    EXPECT_GT(frame->data[0], 150);  // the bars' white, not red's blue of 0
    graph.Release();
    EXPECT_FALSE(mixer.Slot(0).Latest());
  }
  {
    // A file that cannot play fails its open as a late build would, and holds nothing.
    GstFileGraph graph;
    graph.PrerollEarly(TestClip("truncated.mp4"));
    graph.SetVideoOutput({&mixer, 0});
    EXPECT_FALSE(graph.RenderFile(TestClip("truncated.mp4"), kRendererMixer7));
    EXPECT_FALSE(graph.Exists());
    EXPECT_TRUE(graph.RenderFile(TestClip("video-2s-320x240.mp4"), kRendererMixer7));
  }
  {
    // Never opened: the graph goes with its owner or when dropped.
    GstFileGraph graph;
    graph.PrerollEarly(TestClip("video-2s-320x240.mp4"));
    graph.DropEarlyPreroll();
    EXPECT_FALSE(graph.Exists());
    graph.PrerollEarly(TestClip("video-2s-320x240.mp4"));
  }
}

TEST_F(GraphFixture, AFileWithoutVideoPlaysItsSound) {
  ASSERT_TRUE(graph.RenderFile(TestClip("tone-3s.wav"), kRendererMixer7));
  EXPECT_NEAR(static_cast<double>(Stop()), 3.0 * kSecond, kFrame);
  graph.Run();
  ASSERT_TRUE(WaitFor([&] { return Current() > kSecond / 5; }, 5));
  EXPECT_EQ(mixer.Slot(0).Count(), 0u);
}

// The sound reaches the system's output, and volume and balance act on it.
TEST_F(GraphFixture, VolumeAndBalanceActOnTheOutput) {
  if (!std::getenv("PULSE_SINK")) GTEST_SKIP() << "needs the test sound server (scripts/test)";
  ASSERT_TRUE(graph.RenderFile(TestClip("video-10s-640x360.mp4"), kRendererMixer7));
  graph.put_Volume(0);
  graph.put_Balance(0);
  graph.Run();
  // Volume acts at the sound server at once; the pan acts on samples not yet
  // queued there, which takes up to about a second to be heard.
  int settleMs = 1200;
  auto settle = [&] { std::this_thread::sleep_for(std::chrono::milliseconds(settleMs)); };
  settle();
  Levels full = RecordMonitor(0.3);
  ASSERT_GT(full.left, 1000);
  ASSERT_GT(full.right, 1000);
  graph.put_Volume(-2000);  // -20 dB
  settle();
  Levels quieter = RecordMonitor(0.3);
  EXPECT_NEAR(20 * std::log10(quieter.left / full.left), -20, 3);
  graph.put_Volume(0);
  graph.put_Balance(9999);  // right only
  settle();
  Levels right = RecordMonitor(0.3);
  EXPECT_LT(right.left, full.left / 100);
  EXPECT_GT(right.right, full.right / 2);
  graph.put_Balance(-9999);
  settle();
  Levels left = RecordMonitor(0.3);
  EXPECT_LT(left.right, full.right / 100);
  EXPECT_GT(left.left, full.left / 2);
  graph.put_Volume(kVolumeSilence);
  settle();
  Levels silent = RecordMonitor(0.3);
  EXPECT_LT(silent.left + silent.right, 10);
}

// A detector asking the graph that has just opened a file tells the same
// facts as one that reads the file itself; only pictures it cannot tell (a
// still picture, an unknown length) are read from the file.
TEST_F(GraphFixture, TheOpenGraphTellsTheDetectorWhatTheFileTells) {
  const struct {
    const char* name;
    bool fromGraph;
  } clips[] = {{"video-2s-320x240.mp4", true},       {"video-2s-320x240.webm", true},
               {"anamorphic-2s-720x576.mp4", true},  {"video-2s-1920x1080.mp4", true},
               {"raw-3.6s.h264", false},             {"still-320x240.png", false},
               {"tone-3s.wav", true}};
  for (const auto& clip : clips) {
    SCOPED_TRACE(clip.name);
    const std::string path = TestClip(clip.name);
    ASSERT_TRUE(graph.RenderFile(path, kRendererMixer7));
    std::vector<NegotiatedStream> negotiated;
    std::uint64_t duration = 0;
    EXPECT_EQ(graph.NegotiatedStreams(path, &negotiated, &duration), clip.fromGraph);
    MediaDetector own, asking;
    asking.AnswerFrom(&graph);
    ASSERT_TRUE(own.put_Filename(path));
    ASSERT_TRUE(asking.put_Filename(path));
    ASSERT_EQ(asking.OutputStreams(), own.OutputStreams());
    for (int i = 0; i < own.OutputStreams(); ++i) {
      const DetectedStream& a = asking.Stream(i);
      const DetectedStream& b = own.Stream(i);
      EXPECT_EQ(a.type, b.type) << i;
      EXPECT_EQ(a.width, b.width) << i;
      EXPECT_EQ(a.height, b.height) << i;
      EXPECT_DOUBLE_EQ(a.frameRate, b.frameRate) << i;
      EXPECT_NEAR(a.lengthSeconds, b.lengthSeconds, 0.04) << i;
    }
  }
  // Another file than the graph's is read from the file.
  MediaDetector asking;
  asking.AnswerFrom(&graph);
  ASSERT_TRUE(asking.put_Filename(TestClip("anamorphic-2s-720x576.mp4")));
  EXPECT_EQ(asking.Stream(0).width, 1024);
  graph.Release();
  std::vector<NegotiatedStream> none;
  std::uint64_t duration = 0;
  EXPECT_FALSE(graph.NegotiatedStreams(TestClip("still-320x240.png"), &none, &duration));
}

// The session on the real graph and detector, with a recording window.
struct FileSession : ::testing::Test {
  VideoMixer mixer;
  GstFileGraph graph;
  MediaDetector detector;
  ScriptedAudio audio;
  RecordingView view;
  RecordingPrompt prompt;
  playlist::PlayList list;
  Session session{graph, detector, audio, view, prompt, list};
  void SetUp() override {
    graph.SetVideoOutput({&mixer, 0});
    session.RendererKind = kRendererMixer7;
    session.PlayMode = 0;
  }
};

TEST_F(FileSession, OpensAt540x260AndEndsByPlayMode) {
  ASSERT_TRUE(session.OpenFiles({TestClip("video-2s-320x240.mp4")}));
  EXPECT_EQ(session.PlayType, kPlayMedia);
  EXPECT_EQ(session.VideoWidth, 540);
  EXPECT_EQ(session.VideoHeight, 260);
  EXPECT_NEAR(session.FrameRate, 25.0, 0.01);
  EXPECT_DOUBLE_EQ(session.KeepOriginalRatio, 260.0 / 540.0);
  // The window was sized for a 540 x 260 video area, centred on the screen.
  EXPECT_EQ(view.panel.width, 540);
  EXPECT_EQ(view.panel.height, 260);
  EXPECT_EQ(mixer.GetVideoPosition().right, 540);
  EXPECT_EQ(mixer.GetVideoPosition().bottom, 260);
  EXPECT_EQ(view.status, "播放中");
  auto end = Clock::now() + std::chrono::seconds(10);
  while (session.IsPlaying && Clock::now() < end) {
    session.SessionTick();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  EXPECT_FALSE(session.IsPlaying);
  EXPECT_EQ(session.IsStopped, 1);
  EXPECT_EQ(view.afterPlay, 1);
  EXPECT_TRUE(prompt.shown.empty());

  // A corrupt file is reported once and leaves the ready state.
  EXPECT_FALSE(session.OpenFiles({TestClip("random.mp4")}));
  EXPECT_EQ(view.status, "准备完毕");
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_EQ(prompt.shown[0].second, "无法播放此文件:\n" + TestClip("random.mp4"));
}

// Time commands through the session on the real graph.
TEST_F(FileSession, RateStepsFrameStepsAndTheBarMoveTheRealClip) {
  ::setenv("ORVANE_AUDIO_SINK", "pulsesink provide-clock=false", 1);
  const bool opened = session.OpenFiles({TestClip("video-10s-640x360.mp4")});
  ::unsetenv("ORVANE_AUDIO_SINK");
  ASSERT_TRUE(opened);
  auto position = [&] {
    std::int64_t current = 0, stop = 0;
    graph.GetPositions(&current, &stop);
    return current;
  };
  session.SessionTick();
  for (int i = 0; i < 3; ++i) session.Accelerate();
  EXPECT_EQ(session.Accelerate(), "播放中  2.00x");
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  const std::int64_t start = position();
  const auto t0 = Clock::now();
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  const double wall = std::chrono::duration<double>(Clock::now() - t0).count();
  EXPECT_NEAR(static_cast<double>(position() - start) / kSecond / wall, 2.0, 0.3);

  session.PauseSession();
  session.SeekSeconds(3);
  ASSERT_TRUE(WaitFor([&] { return std::abs(position() - 3 * kSecond) <= kFrame; }, 5));
  const std::int64_t before = position();
  session.StepFrame();
  ASSERT_TRUE(WaitFor([&] { return position() != before; }, 5));
  EXPECT_NEAR(static_cast<double>(position() - before), static_cast<double>(kFrame), kFrame / 4.0);

  // The thumb at the far right: the stop position, and the next tick ends the media.
  session.ResumeSession();
  session.SeekFromBar(300, 300);
  ASSERT_TRUE(WaitFor([&] { return position() == session.MediaLength; }, 5));
  session.SessionTick();
  EXPECT_FALSE(session.IsPlaying);
  EXPECT_EQ(view.afterPlay, 1);
}

// Files whose length GStreamer only estimates at open: the end is the
// stream's real end, and the length shown follows the duration as it arrives.
namespace {
struct EstimatedClip {
  const char* name;
  double seconds;
  const char* endText;
};
const EstimatedClip kEstimatedClips[] = {{"streamable-4s.mkv", 4.0, "0:00:04 / 0:00:04"},
                                         {"raw-3.6s.h264", 3.6, "0:00:04 / 0:00:04"},
                                         {"streamable-10s.webm", 10.0, "0:00:10 / 0:00:10"}};
}  // namespace

TEST_F(FileSession, FilesWithAnEstimatedLengthPlayToTheirRealEnd) {
  for (const EstimatedClip& clip : kEstimatedClips) {
    SCOPED_TRACE(clip.name);
    view.times.clear();
    view.afterPlay = 0;
    ASSERT_TRUE(session.OpenFiles({TestClip(clip.name)}));
    const auto t0 = Clock::now();
    const auto limit = t0 + std::chrono::duration<double>(clip.seconds + 10);
    while (session.IsPlaying && Clock::now() < limit) {
      session.SessionTick();
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    const double played = std::chrono::duration<double>(Clock::now() - t0).count();
    EXPECT_FALSE(session.IsPlaying);
    EXPECT_EQ(view.afterPlay, 1);
    EXPECT_GT(played, clip.seconds - 0.5);
    // The last time text before the close emptied it: the end over the real length.
    std::string last;
    for (const std::string& t : view.times)
      if (!t.empty()) last = t;
    EXPECT_EQ(last, clip.endText);
    EXPECT_NEAR(static_cast<double>(session.MediaLength), clip.seconds * kSecond, 0.2 * kSecond);
    EXPECT_EQ(session.MediaDurationText, std::string(clip.endText).substr(10));
    // The seek bar ran over the same length.
    EXPECT_EQ(view.seekStop, session.MediaLength);
  }
}

TEST_F(FileSession, ForwardSkipsOnFilesWithAnEstimatedLengthMoveForward) {
  session.ReadSkipSeconds = [](int) { return 2; };
  for (const EstimatedClip& clip : kEstimatedClips) {
    SCOPED_TRACE(clip.name);
    ASSERT_TRUE(session.OpenFiles({TestClip(clip.name)}));
    auto position = [&] {
      std::int64_t current = 0, stop = 0;
      graph.GetPositions(&current, &stop);
      return current;
    };
    ASSERT_TRUE(WaitFor([&] {
      session.SessionTick();
      return position() >= kSecond;
    }, 5, 100));
    ASSERT_TRUE(session.IsPlaying);
    const std::int64_t before = position();
    session.Skip(1);
    EXPECT_TRUE(WaitFor([&] { return position() > before + kSecond / 4; }, 5))
        << "from " << before << " to " << position();
    EXPECT_LT(position(), before + 3 * kSecond);
  }
}

// An anamorphic file opens a picture of its display shape, 16:9 here.
TEST_F(FileSession, AnamorphicVideoOpensAtItsDisplayShape) {
  ASSERT_TRUE(session.OpenFiles({TestClip("anamorphic-2s-720x576.mp4")}));
  EXPECT_EQ(session.VideoWidth, 1024);
  EXPECT_EQ(session.VideoHeight, 576);
  EXPECT_DOUBLE_EQ(session.KeepOriginalRatio, 0.5625);
  EXPECT_EQ(view.panel.width, 1024);
  EXPECT_EQ(view.panel.height, 576);
  const PixelRect d = mixer.GetVideoPosition();
  EXPECT_EQ(d.Width(), 1024);
  EXPECT_EQ(d.Height(), 576);
  // Frames come at the drawn size, the width stretched from the stored 720.
  EXPECT_TRUE(WaitFor([&] {
    auto frame = mixer.Slot(0).Latest();
    return frame && frame->width == 1024 && frame->height == 576;
  }, 5));

  // The sink's own window (kind 1000): without Xv our scaler feeds the X sink
  // the window's size; with Xv the server stretches to the render rectangle.
  session.RendererKind = kRendererDefault;
  ASSERT_TRUE(session.OpenFiles({TestClip("anamorphic-2s-720x576.mp4")}));
  EXPECT_EQ(view.panel.width, 1024);
  EXPECT_EQ(view.panel.height, 576);
  GstElement* sink = graph.VideoSink();
  ASSERT_NE(sink, nullptr);
  if (!GST_IS_BIN(sink)) return;
  GstElement* xSink = nullptr;
  GstIterator* it = gst_bin_iterate_sinks(GST_BIN(sink));
  GValue item = G_VALUE_INIT;
  if (gst_iterator_next(it, &item) == GST_ITERATOR_OK)
    xSink = GST_ELEMENT(gst_object_ref(g_value_get_object(&item)));
  g_value_unset(&item);
  gst_iterator_free(it);
  ASSERT_NE(xSink, nullptr);
  GstPad* pad = gst_element_get_static_pad(xSink, "sink");
  // Wait for the size the window asked (the preroll came at another size).
  int width = 0, height = 0;
  WaitFor([&] {
    GstCaps* caps = gst_pad_get_current_caps(pad);
    if (!caps) return false;
    GstStructure* st = gst_caps_get_structure(caps, 0);
    gst_structure_get_int(st, "width", &width);
    gst_structure_get_int(st, "height", &height);
    gst_caps_unref(caps);
    return width == view.panel.width && height == view.panel.height;
  }, 5);
  gst_object_unref(pad);
  gst_object_unref(xSink);
  EXPECT_EQ(width, 1024);
  EXPECT_EQ(height, 576);
}

namespace {
// Resident memory of this process, in MB.
double ResidentMb() {
  long pages = 0, resident = 0;
  if (FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(f);
  }
  return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1 << 20);
}
}  // namespace

// Playing the same 1080p clip again and again (repeat mode) keeps memory
// level: each open frees what the one before it held, frames included.
TEST_F(FileSession, ReopeningTheSameClipKeepsMemoryLevel) {
  double afterFifth = 0;
  for (int open = 1; open <= 20; ++open) {
    SCOPED_TRACE(open);
    ASSERT_TRUE(session.OpenFiles({TestClip("video-2s-1920x1080.mp4")}));
    const std::uint64_t seen = mixer.Slot(0).Count();
    ASSERT_TRUE(WaitFor([&] { return mixer.Slot(0).Count() >= seen + 10; }, 5));
    session.CloseSession();
    if (open == 5) afterFifth = ResidentMb();
  }
  EXPECT_LT(ResidentMb(), afterFifth + 4) << "after the fifth open: " << afterFifth << " MB";
}
