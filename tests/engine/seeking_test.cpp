// Seeks, skips, rate steps and their status texts on a scripted graph.
#include <gtest/gtest.h>

#include "app/seek_bar_rules.h"
#include "engine/scripted_engines.h"

using namespace engine;

namespace {
struct SeekingFixture : ::testing::Test, ScriptedSessionParts {
  void SetUp() override {
    session.ReadSkipSeconds = [](int direction) { return direction == 1 ? 5 : 3; };
    ASSERT_TRUE(session.OpenFile("/m/clip.mp4"));
    session.SessionTick();  // TickIdle after the first tick
  }
};
constexpr std::int64_t kSecond = 10000000;
}  // namespace

TEST(RateText, TwoDecimalsWithHalvesAwayFromZero) {
  EXPECT_EQ(RateText(0.125), "0.13");
  EXPECT_EQ(RateText(0.0625), "0.06");
  EXPECT_EQ(RateText(1.25), "1.25");
  EXPECT_EQ(RateText(2.0), "2.00");
}

TEST_F(SeekingFixture, RatesCycleWithTheirExactStatusTexts) {
  const char* up[] = {"播放中  1.25x", "播放中  1.50x", "播放中  1.75x", "播放中  2.00x", "播放中"};
  for (const char* text : up) EXPECT_EQ(session.Accelerate(), text);
  EXPECT_EQ(session.PlayRate, 1.0);
  const char* down[] = {"播放中    0.75x", "播放中    0.50x", "播放中    0.25x", "播放中"};
  for (const char* text : down) EXPECT_EQ(session.Decelerate(), text);
  session.Decelerate();
  session.Decelerate();  // 0.5
  EXPECT_EQ(session.Accelerate(), "播放中");  // straight back to 1.0
  for (int i = 0; i < 3; ++i) session.Accelerate();  // 1.75
  EXPECT_EQ(session.Decelerate(), "播放中");
  EXPECT_EQ(graph.rate, 1.0);
  // Pausing keeps the rate; resuming goes back to 1.0.
  session.Accelerate();
  session.PauseSession();
  EXPECT_EQ(session.PlayRate, 1.25);
  session.ResumeSession();
  EXPECT_EQ(graph.rate, 1.0);
}

TEST_F(SeekingFixture, ARefusedRateShowsPlayingAndKeepsItsStoredValue) {
  graph.refuseRate = true;
  EXPECT_EQ(session.Accelerate(), "播放中");
  EXPECT_EQ(session.PlayRate, 1.25);
  EXPECT_EQ(graph.rate, 1.0);
  session.Decelerate();  // 1.0
  EXPECT_EQ(session.Decelerate(), "播放中");
  EXPECT_EQ(session.PlayRate, 0.75);
  graph.refuseRate = false;
  EXPECT_EQ(session.Decelerate(), "播放中    0.50x");
  EXPECT_EQ(graph.rate, 0.5);
}

// A length not known yet (0) or one the position has passed, as files with an
// estimated length report it: no end, no jump back, and the text follows it.
TEST_F(SeekingFixture, AnUnknownOrLaggingLengthNeitherEndsNorHoldsBackASkip) {
  graph.length = 0;
  graph.current = 0;
  session.SessionTick();
  EXPECT_TRUE(session.IsPlaying);
  session.SeekFromBar(200, 400);
  EXPECT_EQ(graph.current, 0);
  session.Skip(1);
  EXPECT_EQ(graph.current, 5 * kSecond);
  graph.length = 3 * kSecond;
  session.SessionTick();
  EXPECT_TRUE(session.IsPlaying);
  EXPECT_EQ(view.time, "0:00:05 / 0:00:03");
  EXPECT_EQ(view.seekCurrent, view.seekStop);  // the thumb stays on the track
  session.Skip(1);
  EXPECT_EQ(graph.current, 10 * kSecond);
  graph.length = 12 * kSecond;
  session.SessionTick();
  EXPECT_EQ(session.MediaLength, 12 * kSecond);
  EXPECT_EQ(view.time, "0:00:10 / 0:00:12");
  session.Skip(1);
  EXPECT_EQ(graph.current, 12 * kSecond);
  session.SessionTick();
  EXPECT_FALSE(session.IsPlaying);
}

TEST_F(SeekingFixture, SkipsClampAtTheLengthAndAtZero) {
  graph.current = graph.length - 2 * kSecond;
  session.Skip(1);
  EXPECT_EQ(graph.current, graph.length);
  graph.current = 2 * kSecond;
  session.Skip(2);
  EXPECT_EQ(graph.current, 0);
  graph.current = 4 * kSecond;
  session.Skip(1);
  EXPECT_EQ(graph.current, 9 * kSecond);
  session.Skip(2);
  EXPECT_EQ(graph.current, 6 * kSecond);  // SlowOnce 3
}

TEST_F(SeekingFixture, BarSeeksToTheStopAndTheNextTickEnds) {
  graph.current = 3 * kSecond;
  session.SeekFromBar(400, 400);
  EXPECT_EQ(graph.current, graph.length);
  EXPECT_EQ(view.time, "0:00:03 / 0:00:10");  // the position read before the seek
  session.SeekFromBar(100, 400);
  EXPECT_EQ(graph.current, graph.length / 4);
  session.SeekFromBar(900, 400);
  EXPECT_EQ(graph.current, graph.length);
  session.SessionTick();
  EXPECT_FALSE(session.IsPlaying);  // the end of the media by play mode 0
}

TEST(SeekBarRules, ClicksCentreTheThumbAndDragsStayOnTheTrack) {
  const app::BarGeometry bar{10, 300, 12};  // travel 288
  EXPECT_EQ(app::BarClick(bar, 100).thumbLeft, 104);
  EXPECT_EQ(app::BarClick(bar, 100).playedWidth, 94);
  EXPECT_EQ(app::BarClick(bar, 2).thumbLeft, 10);
  EXPECT_EQ(app::BarClick(bar, 299).thumbLeft, 298);
  app::BarState state = app::BarClick(bar, 0);
  state = app::BarDrag(bar, state, 6 + 20);  // 20 to the right of the thumb's middle
  EXPECT_EQ(state.thumbLeft, 30);
  EXPECT_EQ(state.playedWidth, 20);
  state = app::BarDrag(bar, state, -100);
  EXPECT_EQ(state.thumbLeft, 10);
  EXPECT_EQ(state.playedWidth, 0);
  state = app::BarDrag(bar, state, 1000);
  EXPECT_EQ(state.thumbLeft, 298);
  EXPECT_EQ(state.playedWidth, 292);  // may reach 4 under the thumb
}

TEST_F(SeekingFixture, DraggingTheThumbToTheFarRightEndsTheMediaAtTheNextTick) {
  const app::BarGeometry bar{2, 310, 12};
  app::BarState state = app::BarClick(bar, 40);
  session.SeekFromBar(app::BarOffset(bar, state), bar.Travel());
  EXPECT_EQ(graph.current, graph.length * 34 / 298);
  for (int x : {60, 200, 400}) {
    state = app::BarDrag(bar, state, x);
    session.SeekFromBar(app::BarOffset(bar, state), bar.Travel());
  }
  EXPECT_EQ(graph.current, graph.length);
  session.SessionTick();
  EXPECT_FALSE(session.IsPlaying);
}

TEST_F(SeekingFixture, GotoAsksOverTheMediaLengthAndSeeksUnlessCancelled) {
  graph.current = 3 * kSecond;
  session.GotoCommand();  // cancelled
  EXPECT_EQ(graph.current, 3 * kSecond);
  prompt.gotoAnswer = 7;
  session.GotoCommand();
  EXPECT_EQ(graph.current, 7 * kSecond);
  ASSERT_EQ(prompt.gotoAsked.size(), 2u);
  EXPECT_EQ(prompt.gotoAsked[1], std::make_pair(session.MediaLength, int(kPlayMedia)));
  session.ShowMediaProperties();
  ASSERT_EQ(prompt.properties.size(), 1u);
  EXPECT_EQ(prompt.properties[0], "/m/clip.mp4|0:00:10|" + std::to_string(session.VideoWidth) + "x" +
                                     std::to_string(session.VideoHeight) + "|25.000000");
  session.PlayType = kPlayAudio;
  session.GotoCommand();
  session.ShowMediaProperties();
  EXPECT_EQ(prompt.gotoAsked.size(), 2u);
  EXPECT_EQ(prompt.properties.size(), 1u);
}

TEST_F(SeekingFixture, NothingMovesBeforeTheFirstTickOrWithoutAGraph) {
  session.TickIdle = false;
  graph.current = 0;
  session.Skip(1);
  session.SeekFromBar(200, 400);
  EXPECT_EQ(graph.current, 0);
  session.TickIdle = true;
  session.SeekSeconds(7);
  EXPECT_EQ(graph.current, 7 * kSecond);
  session.StepFrame();
  EXPECT_EQ(graph.steps, 1);
  session.StopCommand();
  EXPECT_EQ(session.Accelerate(), "播放中");
  session.PlayType = kPlayAudio;
  EXPECT_EQ(session.Accelerate(), "");
  EXPECT_EQ(session.Decelerate(), "");
}
