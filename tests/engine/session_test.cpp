#include <gtest/gtest.h>

#include "engine/scripted_engines.h"
#include "engine/session.h"
#include "engine/time_text.h"
#include "pip/scripted_pip_graph.h"

using namespace engine;

namespace {
struct SessionFixture : ::testing::Test, ScriptedSessionParts {
  void EndVideo() {
    graph.current = graph.length;
    session.SessionTick();
  }
};
}  // namespace

TEST(AudioOnlyFile, ByExtensionWithoutRegardToCase) {
  EXPECT_TRUE(IsAudioOnlyFile("/m/SONG.MP3"));
  EXPECT_TRUE(IsAudioOnlyFile("a.Aif"));
  EXPECT_TRUE(IsAudioOnlyFile("/x.y/a.mp1"));
  EXPECT_FALSE(IsAudioOnlyFile("/m/film.mp4"));
  EXPECT_FALSE(IsAudioOnlyFile("/m/x.mpa"));
  EXPECT_FALSE(IsAudioOnlyFile("/m.mp3/noext"));
  EXPECT_FALSE(IsAudioOnlyFile("/m/x.mp3.avi"));
}

TEST(TimeText, RoundsPositionsHalfToEven) {
  EXPECT_EQ(UnitsToSeconds(50254000000), 5025);
  EXPECT_EQ(UnitsToSeconds(50255000000), 5026);
  EXPECT_EQ(UnitsToSeconds(50245000000), 5024);
  EXPECT_EQ(TimeText(5025), "1:23:45");
  EXPECT_EQ(TimeText(360000), "100:00:00");
  EXPECT_EQ(TimeText(0), "0:00:00");
}

TEST_F(SessionFixture, StateTableThroughOpenPauseResumeAndStop) {
  EXPECT_EQ(session.IsStopped, 0);
  ASSERT_TRUE(session.OpenFiles({"/v/a.mp4"}));
  EXPECT_EQ(session.PlayType, kPlayMedia);
  EXPECT_TRUE(session.IsPlaying);
  EXPECT_FALSE(session.IsPaused);
  EXPECT_EQ(view.status, kStatusPlaying);
  EXPECT_TRUE(view.timers[Timer::Session]);
  EXPECT_EQ(view.time, "0:00:00 / 0:00:10");
  EXPECT_EQ(view.name, "a.mp4");

  graph.rate = 2.0;
  session.TogglePlayPause();
  EXPECT_TRUE(session.IsPlaying);
  EXPECT_TRUE(session.IsPaused);
  EXPECT_EQ(view.status, kStatusPaused);
  EXPECT_FALSE(view.timers[Timer::Session]);
  EXPECT_FALSE(view.controls[Control::BackwardForwardButtons]);
  session.TogglePlayPause();
  EXPECT_FALSE(session.IsPaused);
  EXPECT_EQ(graph.rate, 1.0);  // resuming returns to normal speed
  EXPECT_EQ(view.status, kStatusPlaying);

  session.StopCommand();
  EXPECT_FALSE(session.IsPlaying);
  EXPECT_EQ(session.IsStopped, 1);
  EXPECT_EQ(view.status, kStatusReady);
  EXPECT_FALSE(view.timers[Timer::Session]);
  EXPECT_TRUE(view.controls[Control::PlayPauseButton]);
  EXPECT_FALSE(view.controls[Control::TransportButtons]);
  EXPECT_EQ(session.PlayType, kPlayMedia);  // Play reopens by it
  session.PlayCommand();
  EXPECT_TRUE(session.IsPlaying);
  EXPECT_EQ(graph.rendered.size(), 2u);

  // Play/Pause with nothing open plays again rather than pausing nothing.
  session.StopCommand();
  session.TogglePlayPause();
  EXPECT_TRUE(session.IsPlaying);
  EXPECT_FALSE(session.IsPaused);
  EXPECT_EQ(graph.rendered.size(), 3u);
}

TEST_F(SessionFixture, PlayPauseBeforeAnythingWasOpenMarksNothing) {
  session.PlayType = kPlayNone;
  session.TogglePlayPause();
  EXPECT_FALSE(session.IsPlaying);
  EXPECT_FALSE(session.IsPaused);
  EXPECT_TRUE(graph.rendered.empty());
}

TEST_F(SessionFixture, TickMovesTheBarAndTimeText) {
  session.OpenFiles({"/v/a.mp4"});
  graph.current = 25000000;  // 2.5 s rounds to 2
  session.SessionTick();
  EXPECT_EQ(view.time, "0:00:02 / 0:00:10");
  EXPECT_EQ(view.seekCurrent, 25000000);
  EXPECT_EQ(view.resolution, "540 × 260");  // raised to the minimum video area
  EXPECT_EQ(session.MediaPositionSeconds, 2);
  EXPECT_TRUE(session.TickIdle);
  EXPECT_TRUE(session.IsPlaying);
}

TEST_F(SessionFixture, FailedOpenStaysReadyAndTellsTheUserOnce) {
  graph.unplayable.insert("/v/bad.mp4");
  EXPECT_FALSE(session.OpenFiles({"/v/bad.mp4"}));
  EXPECT_FALSE(session.IsPlaying);
  EXPECT_EQ(view.status, kStatusReady);
  EXPECT_FALSE(view.timers[Timer::Session]);
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_EQ(prompt.shown[0].first, "提示信息");
  EXPECT_NE(prompt.shown[0].second.find("/v/bad.mp4"), std::string::npos);
  audio.unplayable.insert("/a/bad.mp3");
  EXPECT_FALSE(session.OpenFiles({"/a/bad.mp3"}));
  EXPECT_NE(session.PlayType, kPlayAudio);
  EXPECT_EQ(prompt.shown.size(), 2u);
}

TEST_F(SessionFixture, EndInModeNoneStopsAndRunsTheAfterPlayAction) {
  session.PlayMode = 0;
  session.OpenFiles({"/v/a.mp4", "/v/b.mp4"});
  EndVideo();
  EXPECT_FALSE(session.IsPlaying);
  EXPECT_EQ(session.IsStopped, 1);
  EXPECT_EQ(view.status, kStatusReady);
  EXPECT_EQ(view.time, "");
  EXPECT_EQ(session.PlayType, kPlayMedia);
  EXPECT_EQ(session.MediaPositionSeconds, 0);
  EXPECT_EQ(view.afterPlay, 1);
  EXPECT_EQ(graph.rendered.size(), 1u);
}

TEST_F(SessionFixture, EndInModeInOrderWrapsToTheFirstEntry) {
  session.PlayMode = 1;
  session.OpenFiles({"/v/a.mp4", "/v/b.mp4"});
  EndVideo();
  EXPECT_EQ(list.PlayListIndex, 1);
  EXPECT_EQ(session.CurrentMediaFile, "/v/b.mp4");
  EndVideo();
  EXPECT_EQ(list.PlayListIndex, 0);
  EXPECT_EQ(session.CurrentMediaFile, "/v/a.mp4");
  EXPECT_TRUE(session.IsPlaying);
  EXPECT_EQ(view.afterPlay, 0);
}

TEST_F(SessionFixture, EndInModeInOrderGoesOnPastAFileThatCannotPlay) {
  session.PlayMode = 1;
  graph.unplayable = {"/v/bad.mp4"};
  session.OpenFiles({"/v/a.mp4", "/v/bad.mp4", "/v/c.mp4"});
  EndVideo();
  EXPECT_EQ(session.CurrentMediaFile, "/v/c.mp4");
  EXPECT_EQ(list.PlayListIndex, 2);
  EXPECT_TRUE(session.IsPlaying);
  EXPECT_EQ(prompt.shown.size(), 1u);  // the bad one is named once
  // A list where nothing plays any more stops after one round, not forever.
  graph.unplayable = {"/v/a.mp4", "/v/bad.mp4", "/v/c.mp4"};
  EndVideo();
  EXPECT_FALSE(session.IsPlaying);
  EXPECT_EQ(prompt.shown.size(), 4u);
}

TEST_F(SessionFixture, ModesOneAndTwoWithoutSelectionOrEntries) {
  session.PlayMode = 1;
  session.OpenFiles({"/v/a.mp4", "/v/b.mp4"});
  list.PlayListIndex = -1;
  EndVideo();
  EXPECT_EQ(list.PlayListIndex, 0);
  EXPECT_EQ(session.CurrentMediaFile, "/v/a.mp4");
  list = playlist::PlayList();
  session.PlayMode = 2;
  EndVideo();
  EXPECT_FALSE(session.IsPlaying);
  EXPECT_EQ(view.status, kStatusReady);
  EXPECT_EQ(view.afterPlay, 1);
}

TEST_F(SessionFixture, RandomAndRepeatModes) {
  session.PlayMode = 2;
  session.OpenFiles({"/v/a.mp4", "/v/b.mp4", "/v/c.mp4"});
  for (int i = 0; i < 10; ++i) {
    EndVideo();
    ASSERT_GE(list.PlayListIndex, 0);
    ASSERT_LT(list.PlayListIndex, 3);
    EXPECT_EQ(session.CurrentMediaFile, list.PlayListPaths[list.PlayListIndex]);
    EXPECT_TRUE(session.IsPlaying);
  }
  session.PlayMode = 3;
  std::string file = session.CurrentMediaFile;
  size_t renders = graph.rendered.size();
  EndVideo();
  EXPECT_EQ(graph.rendered.size(), renders + 1);
  EXPECT_EQ(graph.rendered.back(), file);
  EXPECT_TRUE(session.IsPlaying);
}

TEST_F(SessionFixture, PictureInPictureIgnoresThePlayMode) {
  // The pair plays on its own two-file graph.
  ScriptedPipGraph pipGraph;
  Session pip{graph, detector, audio, view, prompt, list, &pipGraph};
  pip.IsMediaFile = [](const std::string&) { return true; };
  pip.PlayMode = 1;
  list.Replace({"/v/a.mp4", "/v/b.mp4"});
  pip.PipMediaFileA = "/v/a.mp4";
  pip.PipMediaFileB = "/v/b.mp4";
  ASSERT_TRUE(pip.OpenPip());
  EXPECT_EQ(pip.PlayType, kPlayPip);
  pipGraph.file.current = pipGraph.file.length;
  pip.SessionTick();
  EXPECT_FALSE(pip.IsPlaying);
  EXPECT_EQ(view.afterPlay, 1);
  EXPECT_EQ(pipGraph.rendered.size(), 1u);
  EXPECT_TRUE(graph.rendered.empty());
}

TEST_F(SessionFixture, ShortAudioFileEndsAtTheFirstTick) {
  audio.lengthSeconds = 0.4;  // rounds to a length of 0
  session.OpenFiles({"/a/short.wav"});
  EXPECT_EQ(session.PlayType, kPlayAudio);
  EXPECT_TRUE(session.TickIdle);
  EXPECT_TRUE(view.equaliser);
  EXPECT_TRUE(view.timers[Timer::Spectrum]);
  session.SessionTick();
  EXPECT_FALSE(session.IsPlaying);
  EXPECT_EQ(view.status, kStatusReady);
  EXPECT_FALSE(view.tag);
  EXPECT_FALSE(view.timers[Timer::Spectrum]);
  EXPECT_EQ(view.afterPlay, 1);
}

TEST_F(SessionFixture, AudioEndsWhenTheRoundedPositionReachesTheLength) {
  audio.lengthSeconds = 200.4;
  session.OpenFiles({"/a/long.mp3"});
  EXPECT_EQ(session.AudioLength, 200);
  EXPECT_EQ(view.time, "0:00:00 / 0:03:20");
  audio.position = 199400;
  session.SessionTick();
  EXPECT_TRUE(session.IsPlaying);
  EXPECT_EQ(session.LastAudioPositionSeconds, 199);
  audio.position = 199600;
  session.SessionTick();
  EXPECT_FALSE(session.IsPlaying);
}

TEST_F(SessionFixture, PreviousAndNextWrapAndOnlyWhileSomethingIsOpen) {
  ASSERT_TRUE(session.OpenFiles({"/v/a.mp4", "/v/b.mp4", "/v/c.mp4"}));
  EXPECT_TRUE(view.controls[Control::PrevNextButtons]);
  session.PlayPrevious();  // from the first to the last
  EXPECT_EQ(session.CurrentMediaFile, "/v/c.mp4");
  EXPECT_EQ(list.PlayListIndex, 2);
  session.PlayNext();  // from the last to the first
  EXPECT_EQ(session.CurrentMediaFile, "/v/a.mp4");
  EXPECT_TRUE(session.IsPlaying);
  session.StopCommand();
  session.PlayNext();
  EXPECT_EQ(session.CurrentMediaFile, "/v/a.mp4");
  EXPECT_FALSE(session.IsPlaying);
  // One entry: nowhere to step to.
  ASSERT_TRUE(session.OpenFiles({"/v/a.mp4"}));
  EXPECT_FALSE(view.controls[Control::PrevNextButtons]);
}

TEST_F(SessionFixture, AStuckFileIsOpenedAgainAtItsPositionAndRateInTheSameWindow) {
  int merges = 0;
  session.MergeIntoHistory = [&](const std::vector<std::string>&) { ++merges; };
  ASSERT_TRUE(session.OpenFiles({"/v/a.mp4", "/v/b.mp4"}));
  session.ToggleMute();
  session.Accelerate();
  ASSERT_EQ(session.Accelerate(), "播放中  1.50x");
  view.status = "播放中  1.50x";  // as the window shows it
  graph.current = 63000000;
  session.SessionTick();
  view.moved.clear();
  graph.videoPosition = {-1, -1, -1, -1};
  graph.volume = 1;
  graph.stuck = true;
  session.SessionTick();
  EXPECT_EQ(graph.rendered, (std::vector<std::string>{"/v/a.mp4", "/v/a.mp4"}));
  EXPECT_EQ(graph.current, 63000000);
  EXPECT_EQ(graph.rate, 1.5);
  EXPECT_TRUE(graph.running);
  EXPECT_EQ(graph.volume, kVolumeSilence);  // still muted
  EXPECT_NE(graph.videoPosition.right, -1);  // the new picture placed in the panel
  EXPECT_TRUE(view.moved.empty());            // the window keeps its size and place
  EXPECT_TRUE(session.IsPlaying);
  EXPECT_FALSE(session.IsPaused);
  EXPECT_EQ(view.status, "播放中  1.50x");
  EXPECT_EQ(list.PlayListPaths, (std::vector<std::string>{"/v/a.mp4", "/v/b.mp4"}));
  EXPECT_EQ(list.PlayListIndex, 0);
  EXPECT_EQ(merges, 1);
  EXPECT_EQ(view.afterPlay, 0);

  // A file that can no longer be opened ends there, as by the play mode.
  session.PlayMode = 0;
  graph.unplayable.insert("/v/a.mp4");
  graph.stuck = true;
  session.SessionTick();
  EXPECT_FALSE(session.IsPlaying);
  EXPECT_EQ(view.afterPlay, 1);
  EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(SessionFixture, AnEntryStartsAtItsStoredSecondUnlessThatIsTheEnd) {
  graph.length = 1200000000;  // 120 s
  list.Replace({"/v/a.mp4", "/v/b.mp4", "/v/c.mp4"});
  list.PlayListStartPositions = {"120", "30", "later"};
  session.PlayType = kPlayMedia;
  ASSERT_TRUE(session.PlayEntry(1, true));
  EXPECT_EQ(graph.current, 300000000);
  EXPECT_EQ(list.PlayListIndex, 1);
  ASSERT_TRUE(session.PlayEntry(0, true));  // 120 s into a 120 s file: from the start
  EXPECT_EQ(graph.current, 0);
  ASSERT_TRUE(session.PlayEntry(2, true));  // not a number: from the start
  EXPECT_EQ(graph.current, 0);
  ASSERT_TRUE(session.PlayEntry(1, false));  // positions not remembered
  EXPECT_EQ(graph.current, 0);
  EXPECT_EQ(session.CurrentMediaFile, "/v/b.mp4");
}
