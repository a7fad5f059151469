// A DVD session on a scripted disc: the tick by the navigator's domain, the
// language and angle submenus' rules, and moving through time in a title.
#include <gtest/gtest.h>

#include <algorithm>

#include "engine/scripted_engines.h"

using namespace engine;

namespace {

struct DvdSession : ::testing::Test {
  ScriptedSessionParts parts;
  ScriptedDvdGraph disc;
  Session& session = parts.session;
  DvdRoad& dvd = parts.session.Dvd();
  RecordingView& view = parts.view;

  void SetUp() override {
    session.SetDvdEngine(&disc);
    ASSERT_TRUE(dvd.OpenDvd("/media/disc"));
  }
  // Title t, chapter c, s seconds in, as the navigator reports it after a tick.
  void At(int t, int c, std::int64_t s) {
    disc.domain = kDvdDomainTitle;
    disc.title = t, disc.chapter = c, disc.seconds = s;
    session.SessionTick();
  }
  bool Sent(const std::string& command) const {
    return std::find(disc.commands.begin(), disc.commands.end(), command) != disc.commands.end();
  }
};

}  // namespace

TEST_F(DvdSession, TheTickFollowsMenusTitlesChaptersAndTheEndOfTheTitle) {
  session.SessionTick();  // the disc's menu
  EXPECT_EQ(view.status, kStatusDvdMenu);
  EXPECT_FALSE(view.timers[Timer::Session]);
  EXPECT_FALSE(view.controls[Control::PlayControlMenuItems]);
  EXPECT_TRUE(view.controls[Control::DvdMenuItems]);
  EXPECT_FALSE(view.controls[Control::BackwardForwardButtons]);
  EXPECT_TRUE(session.TickIdle);

  At(1, 2, 3723);
  EXPECT_EQ(view.status, kStatusPlaying);
  EXPECT_EQ(view.time, "1:02:03 / 1:30:00");
  EXPECT_EQ(view.seekCurrent, 3723);
  EXPECT_EQ(view.seekStop, 5400);
  // 720 x 480 at 4:3 is shown 640 x 480.
  EXPECT_EQ(view.resolution, "640 × 480");
  EXPECT_TRUE(view.controls[Control::PlayControlMenuItems]);
  EXPECT_TRUE(view.controls[Control::BackwardForwardButtons]);
  EXPECT_TRUE(view.controls[Control::PreviousChapter]);
  EXPECT_TRUE(view.controls[Control::NextChapter]);
  At(1, 1, 10);
  EXPECT_FALSE(view.controls[Control::PreviousChapter]);
  EXPECT_TRUE(view.controls[Control::NextChapter]);
  At(1, 3, 5000);
  EXPECT_TRUE(view.controls[Control::PreviousChapter]);
  EXPECT_FALSE(view.controls[Control::NextChapter]);
  At(2, 1, 60);  // a title of one chapter
  EXPECT_FALSE(view.controls[Control::PreviousChapter]);
  EXPECT_FALSE(view.controls[Control::NextChapter]);
  EXPECT_EQ(view.time, "0:01:00 / 0:02:00");
  EXPECT_EQ(dvd.DvdTitleLength, 120);
  EXPECT_EQ(view.afterPlay, 0);

  // Position equal to the length: the title has ended.
  At(2, 1, 120);
  EXPECT_EQ(view.afterPlay, 1);
  EXPECT_FALSE(session.IsPlaying);
  EXPECT_EQ(session.IsStopped, 1);
  EXPECT_TRUE(Sent("time 0"));
  EXPECT_TRUE(Sent("stop when ready"));
  EXPECT_FALSE(disc.exists);
  EXPECT_TRUE(session.TickIdle);
}

// The navigator leaves a menu only once the title's first picture is out,
// which on a loaded machine is several ticks after the click.
TEST_F(DvdSession, AClickInAMenuKeepsTheTickUntilTheTitleShowsOrFiveSecondsPass) {
  session.SessionTick();
  ASSERT_FALSE(view.timers[Timer::Session]);
  session.TogglePlayPause();
  EXPECT_TRUE(Sent("activate"));
  session.SessionTick();
  session.SessionTick();
  EXPECT_TRUE(view.timers[Timer::Session]);
  At(1, 1, 2);
  EXPECT_EQ(view.status, kStatusPlaying);
  EXPECT_EQ(view.time, "0:00:02 / 1:30:00");

  // Back in a menu, a click that leads to no title: the tick stops after 5 s.
  disc.domain = kDvdDomainVideoManagerMenu;
  session.SessionTick();
  ASSERT_FALSE(view.timers[Timer::Session]);
  session.TogglePlayPause();
  for (int tick = 1; tick < 50; ++tick) session.SessionTick();
  EXPECT_TRUE(view.timers[Timer::Session]);
  session.SessionTick();
  EXPECT_FALSE(view.timers[Timer::Session]);
  EXPECT_EQ(view.status, kStatusDvdMenu);
}

TEST_F(DvdSession, LanguageMenusListEachLanguageOnceAndMapByPosition) {
  // No title yet: the disc cannot say, so the submenus are disabled.
  std::vector<std::string> codes;
  EXPECT_FALSE(dvd.SubpictureLanguages(&codes));

  disc.subpictures = {"en", "de", "en", "fr"};
  disc.audio = {"ja", "ja", "en"};
  At(1, 1, 0);
  ASSERT_TRUE(dvd.SubpictureLanguages(&codes));
  EXPECT_EQ(codes, (std::vector<std::string>{"en", "de", "fr"}));
  // Entries stand at 2, 3, 4 after "关闭字幕" and the separator; each picks the
  // stream at its own position minus 2, also past a repeated language.
  dvd.SelectSubpicture(3);
  EXPECT_EQ(disc.currentSubpicture, 1);
  dvd.SelectSubpicture(4);
  EXPECT_EQ(disc.currentSubpicture, 2);
  EXPECT_TRUE(disc.subpictureShown);
  dvd.SubpictureOff();
  EXPECT_FALSE(disc.subpictureShown);
  dvd.SelectSubpicture(2);
  EXPECT_TRUE(disc.subpictureShown);

  ASSERT_TRUE(dvd.AudioLanguages(&codes));
  EXPECT_EQ(codes, (std::vector<std::string>{"ja", "en"}));
  EXPECT_TRUE(dvd.SelectAudio(1));
  EXPECT_TRUE(Sent("audio 1"));

  // The angle chosen stays chosen while the disc plays; a new open starts at 1.
  disc.angles = 3;
  EXPECT_EQ(dvd.AngleCount(), 3);
  dvd.SelectAngle(2);
  EXPECT_EQ(disc.angle, 2);
  EXPECT_EQ(dvd.ChosenAngle(), 2);
  At(1, 2, 5);
  EXPECT_EQ(dvd.ChosenAngle(), 2);
  ASSERT_TRUE(dvd.OpenDvd("/media/disc"));
  EXPECT_EQ(dvd.ChosenAngle(), 1);
}

TEST_F(DvdSession, TimeMovesOnlyInATitleAndAfterTheFirstTick) {
  session.SessionTick();  // menu
  session.SeekSeconds(60);
  session.Skip(1);
  session.SeekFromBar(50, 100);
  EXPECT_FALSE(Sent("time 60"));
  EXPECT_EQ(std::count_if(disc.commands.begin(), disc.commands.end(),
                          [](const std::string& c) { return c.rfind("time", 0) == 0; }),
            0);

  At(1, 1, 100);
  disc.commands.clear();
  session.SeekSeconds(3723);
  EXPECT_TRUE(Sent("time 3723"));
  session.SeekFromBar(50, 100);
  EXPECT_TRUE(Sent("time 2700"));
  EXPECT_EQ(view.time, "0:45:00 / 1:30:00");
  session.SeekFromBar(150, 100);  // past the track's end: the title's length
  EXPECT_TRUE(Sent("time 5400"));

  At(1, 3, 5397);
  disc.commands.clear();
  session.Skip(1);  // 5 s on is past the end: the end
  EXPECT_EQ(disc.commands, (std::vector<std::string>{"time 5400"}));
  At(1, 1, 3);
  disc.commands.clear();
  session.Skip(2);
  EXPECT_EQ(disc.commands, (std::vector<std::string>{"time 0"}));

  // The go-to dialog gets the title's length in seconds and play type 2.
  parts.prompt.gotoAnswer = 90;
  session.GotoCommand();
  ASSERT_EQ(parts.prompt.gotoAsked.size(), 1u);
  EXPECT_EQ(parts.prompt.gotoAsked[0], (std::pair<std::int64_t, int>{5400, kPlayDvd}));
  EXPECT_TRUE(Sent("time 90"));
}

TEST_F(DvdSession, RatesDoubleAndHalveWithTheirStatusAndPauseResumesAtNormalSpeed) {
  // A step taken while the title is still starting keeps its status there.
  session.SessionTick();
  ASSERT_EQ(view.status, kStatusDvdMenu);
  session.Accelerate();
  At(1, 1, 10);
  EXPECT_EQ(view.status, "播放中    2.00 x");
  EXPECT_EQ(session.Decelerate(), "播放中");
  EXPECT_EQ(session.Accelerate(), "播放中    2.00 x");
  EXPECT_EQ(session.Accelerate(), "播放中    4.00 x");
  EXPECT_EQ(session.Accelerate(), "播放中    8.00 x");
  EXPECT_EQ(session.Accelerate(), "播放中");
  EXPECT_EQ(session.PlayRate, 1.0);
  EXPECT_EQ(session.Decelerate(), "播放中    0.50x");
  EXPECT_EQ(session.Decelerate(), "播放中    0.25x");
  EXPECT_EQ(session.Decelerate(), "播放中    0.13x");
  EXPECT_EQ(session.PlayRate, 0.125);
  // Slower than normal, a faster step goes back to normal speed.
  EXPECT_EQ(session.Accelerate(), "播放中");
  EXPECT_EQ(session.PlayRate, 1.0);
  // Refused, the status reads plainly while the rate keeps its new value.
  disc.refuseRate = true;
  EXPECT_EQ(session.Accelerate(), "播放中");
  EXPECT_EQ(session.PlayRate, 2.0);
  session.Decelerate();
  EXPECT_EQ(session.Decelerate(), "播放中");
  EXPECT_EQ(session.PlayRate, 0.5);
  session.Accelerate();
  session.Accelerate();
  disc.refuseRate = false;
  session.Accelerate();
  ASSERT_EQ(disc.rate, 4.0);

  session.TogglePlayPause();
  EXPECT_TRUE(session.IsPaused);
  EXPECT_FALSE(disc.running);
  EXPECT_EQ(view.status, kStatusPaused);
  session.TogglePlayPause();
  EXPECT_FALSE(session.IsPaused);
  EXPECT_TRUE(disc.running);
  EXPECT_EQ(disc.rate, 1.0);
  EXPECT_EQ(session.PlayRate, 1.0);
  EXPECT_EQ(view.status, kStatusPlaying);

  // Play while a title plays resumes; the chapter and menu items reach the disc.
  session.PlayNext();
  session.PlayPrevious();
  dvd.ShowDvdMenu(kDvdMenuRoot);
  EXPECT_TRUE(Sent("next"));
  EXPECT_TRUE(Sent("previous"));
  EXPECT_TRUE(Sent("menu 3"));

  // After the title ended there is no disc to speed up: the status stays.
  At(1, 1, 5400);
  ASSERT_FALSE(disc.exists);
  const double rate = session.PlayRate;
  EXPECT_EQ(session.Accelerate(), "");
  EXPECT_EQ(session.Decelerate(), "");
  EXPECT_EQ(session.PlayRate, rate);
}

TEST_F(DvdSession, TheRateButtonsAreDrawnAsTheTickLeavesThemInTitlesAndMenus) {
  At(1, 2, 30);
  EXPECT_TRUE(view.drawn[Control::BackwardForwardButtons]);
  disc.domain = kDvdDomainVideoManagerMenu;
  session.SessionTick();
  EXPECT_FALSE(view.controls[Control::BackwardForwardButtons]);
  EXPECT_FALSE(view.drawn[Control::BackwardForwardButtons]);
  At(1, 1, 3);
  EXPECT_TRUE(view.drawn[Control::BackwardForwardButtons]);
}

TEST_F(DvdSession, AJumpFromTheMenuOpensTheDiscAgainAtTheItemAndResumeStartsThere) {
  // " Chapter2(1-2)" from the menu: the navigator would not leave a still menu.
  disc.commands.clear();
  dvd.JumpToDvdItem(2);
  EXPECT_EQ(disc.commands, (std::vector<std::string>{"chapter 1-2"}));
  EXPECT_EQ(view.status, kStatusPlaying);
  EXPECT_TRUE(view.timers[Timer::Session]);
  // Within a title the jump goes straight there.
  At(1, 2, 30);
  disc.commands.clear();
  dvd.JumpToDvdItem(4);  // Title2(0-2)
  EXPECT_EQ(disc.commands, (std::vector<std::string>{"chapter 2-1"}));

  // The stored title and time are taken before the disc runs; a time at or
  // past the title's end plays the title from its start.
  disc.commands.clear();
  dvd.ResumeAt(1, 3723);
  ASSERT_TRUE(dvd.OpenDvd("/media/disc"));
  EXPECT_EQ(disc.commands, (std::vector<std::string>{"chapter 1-1", "time 3723"}));
  disc.commands.clear();
  dvd.ResumeAt(2, 120);
  ASSERT_TRUE(dvd.OpenDvd("/media/disc"));
  EXPECT_EQ(disc.commands, (std::vector<std::string>{"chapter 2-1"}));

  // A disc that cannot be read: one message, the ready state.
  disc.readable = false;
  parts.prompt.shown.clear();
  EXPECT_FALSE(dvd.OpenDvd("/media/other"));
  ASSERT_EQ(parts.prompt.shown.size(), 1u);
  EXPECT_EQ(parts.prompt.shown[0].second, kDvdInvalid);
  EXPECT_EQ(view.status, kStatusReady);
  EXPECT_EQ(session.DvdPath, "/media/other");
}

TEST_F(DvdSession, AStuckTitleIsOpenedAgainAtItsTimeRateAndChoicesInTheSameWindow) {
  At(1, 2, 1830);
  ASSERT_EQ(session.Accelerate(), "播放中    2.00 x");
  // The viewer's choices on this disc are given again too.
  dvd.SelectSubpicture(3);
  ASSERT_TRUE(dvd.SelectAudio(1));
  dvd.SelectAngle(2);
  const int opens = disc.opens;
  view.moved.clear();
  disc.commands.clear();
  disc.stuck = true;
  session.SessionTick();
  EXPECT_EQ(disc.opens, opens + 1);
  EXPECT_EQ(disc.commands,
            (std::vector<std::string>{"chapter 1-1", "time 1830", "rate 2.00", "audio 1",
                                      "subpictures on", "subpicture 1", "angle 2"}));
  EXPECT_TRUE(disc.running);
  EXPECT_TRUE(session.IsPlaying);
  EXPECT_TRUE(view.moved.empty());  // the window keeps its size and place
  EXPECT_EQ(view.afterPlay, 0);
  // Sub-pictures turned off stay off.
  dvd.SubpictureOff();
  disc.commands.clear();
  disc.stuck = true;
  session.SessionTick();
  EXPECT_EQ(disc.commands,
            (std::vector<std::string>{"chapter 1-1", "time 1830", "rate 2.00", "audio 1",
                                      "subpictures off", "subpicture 1", "angle 2"}));
  // A disc opened anew starts from its own defaults.
  ASSERT_TRUE(dvd.OpenDvd("/media/disc"));
  At(1, 2, 1830);
  disc.commands.clear();
  disc.stuck = true;
  session.SessionTick();
  EXPECT_EQ(disc.commands, (std::vector<std::string>{"chapter 1-1", "time 1830"}));

  // A disc that can no longer be read ends the session with one message.
  At(1, 3, 3000);
  disc.readable = false;
  disc.stuck = true;
  parts.prompt.shown.clear();
  session.SessionTick();
  EXPECT_EQ(parts.prompt.shown.size(), 1u);
  EXPECT_FALSE(session.IsPlaying);
}
