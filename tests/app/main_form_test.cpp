// The main window's start-up stages, restore rules and close sequence, under
// Qt's offscreen platform with scripted engines.
#include <gtest/gtest.h>

#include <QApplication>
#include <algorithm>
#include <sys/stat.h>

#include "app/form_fixture.h"
#include "platform/safe_file.h"
#include "settings/default_settings.h"

using app::TOrvaneMain_Form;


TEST_F(FormFixture, FreshStartWritesDefaultsAndStaysReady) {
  auto form = Start();
  EXPECT_EQ(form->windowTitle().toStdString(), "奥文播放 v2.0");
  EXPECT_EQ(form->Status_L->text().toStdString(), "准备完毕");
  EXPECT_EQ(form->session().PlayType, 1);
  EXPECT_EQ(form->ReloadLast, 1);
  EXPECT_FALSE(form->session().IsPlaying);
  EXPECT_TRUE(prompt.shown.empty());
  EXPECT_EQ(form->store().ReadText("File", "CaptureImagePath"), folders.temp);
  EXPECT_TRUE(platform::FileExists(folders.project + "/PlayFileList"));
}

TEST_F(FormFixture, CorruptSettingsNeverStopTheStart) {
  std::string junk(10 * 1024 * 1024, '\0');
  for (size_t i = 0; i < junk.size(); i += 7) junk[i] = static_cast<char>(i * 31);
  platform::WriteFileAtomically(Ini(), junk);
  auto form = Start();
  EXPECT_EQ(form->session().PlayType, -1);
  EXPECT_FALSE(form->session().IsPlaying);
  form->FormClose();
  EXPECT_EQ(form->store().ReadInt("PlayControl", "LastPlayType"), -1);
}

TEST_F(FormFixture, MissingIniFolderShowsOneMessageAndUsesDefaults) {
  std::system(("rm -rf '" + folders.ini + "'").c_str());
  auto form = Start();
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_EQ(prompt.shown[0].first, "提示信息");
  EXPECT_EQ(form->session().SoundLevel, 30);
  form->FormClose();
}

TEST_F(FormFixture, OpenSwitchOpensAtShowAndAgainAtActivation) {
  std::string clip = root + "/clip.mp4";
  auto form = Start({"/o", clip});
  EXPECT_EQ(graph.rendered, (std::vector<std::string>{clip, clip}));
  EXPECT_EQ(form->playList().PlayListPaths, std::vector<std::string>{clip});
  EXPECT_TRUE(form->session().IsPlaying);
  EXPECT_EQ(form->Status_L->text().toStdString(), "播放中");
}

TEST_F(FormFixture, AddSwitchPlaysAtShowAndAddsToTheStoredList) {
  platform::WriteFileAtomically(folders.project + "/PlayFileList", "/m/old.avi===0\r\n");
  std::string clip = root + "/clip.mp4";
  auto form = Start({"/a", clip});
  EXPECT_EQ(graph.rendered.size(), 1u);
  EXPECT_GE(form->playList().IndexOf("/m/old.avi"), 0);
  EXPECT_GE(form->playList().IndexOf(clip), 0);
}

TEST_F(FormFixture, RestoresTheLastFileAtItsPosition) {
  {
    auto form = Start({root + "/clip.mp4"});
    graph.current = 42000000;
    form->session().SessionTick();
    form->FormClose();
  }
  EXPECT_EQ(platform::ReadWholeFile(folders.project + "/PlayFileList").value(),
            root + "/clip.mp4===0\r\n");
  graph = ScriptedGraph();
  auto form = Start();
  EXPECT_TRUE(form->session().IsPlaying);
  EXPECT_EQ(form->session().CurrentMediaFile, root + "/clip.mp4");
  EXPECT_EQ(graph.current, 40000000);  // whole seconds are stored
  EXPECT_EQ(form->playList().PlayListIndex, 0);
}

TEST_F(FormFixture, ResumePositionAtTheEndRestartsAtZero) {
  settings::SettingsStore store(Ini());
  store.EnsureSettingsFile();
  store.Write("PlayControl", "LastMediaFile", root + "/clip.mp4");
  store.Write("PlayControl", "LastPos", "10");  // the scripted clip is 10 s
  auto form = Start();
  EXPECT_TRUE(form->session().IsPlaying);
  EXPECT_EQ(graph.current, 0);
}

TEST_F(FormFixture, NoReloadOrMemoryMeansNoPlayOrSeek) {
  settings::SettingsStore store(Ini());
  store.EnsureSettingsFile();
  store.Write("PlayControl", "LastMediaFile", root + "/song.mp3");
  store.Write("PlayControl", "LastPlayType", "4");
  store.Write("PlayControl", "LastPos", "3");
  store.Write("PlayControl", "MemoryLastPos", "0");
  audio.lengthSeconds = 20;
  {
    auto form = Start();
    EXPECT_EQ(form->session().PlayType, 4);
    EXPECT_TRUE(form->session().IsPlaying);
    EXPECT_EQ(audio.position, 0);
    form->FormClose();
  }
  store.Write("PlayControl", "ReloadLast", "0");
  store.Write("PlayControl", "LastPlayType", "2");
  store.Write("PlayControl", "LastDvd", "/media/dvd/VIDEO_TS");
  audio = ScriptedAudio();
  auto form = Start();
  EXPECT_FALSE(form->session().IsPlaying);
  EXPECT_EQ(form->session().DvdPath, "/media/dvd/VIDEO_TS");
}

TEST_F(FormFixture, CloseStoresTheResumeStateOfAudio) {
  audio.lengthSeconds = 20;
  auto form = Start({root + "/song.mp3"});
  audio.position = 7000;
  form->session().SessionTick();
  form->FormClose();
  settings::SettingsStore store(Ini());
  EXPECT_EQ(store.ReadInt("PlayControl", "LastPlayType"), 4);
  EXPECT_EQ(store.ReadInt("PlayControl", "LastPos"), 7);
  EXPECT_EQ(store.ReadText("PlayControl", "LastMediaFile"), root + "/song.mp3");
}

TEST_F(FormFixture, AStoredFileThatFailsIsReportedAndLeavesReady) {
  settings::SettingsStore store(Ini());
  store.EnsureSettingsFile();
  store.Write("PlayControl", "LastMediaFile", root + "/clip.mp4");
  graph.unplayable.insert(root + "/clip.mp4");
  auto form = Start();
  EXPECT_FALSE(form->session().IsPlaying);
  EXPECT_EQ(form->Status_L->text().toStdString(), "准备完毕");
  EXPECT_FALSE(form->timerActive(engine::Timer::Session));
  EXPECT_EQ(prompt.shown.size(), 1u);
}

TEST_F(FormFixture, AnOldMediaLibraryIsNamedInAnErrorBoxAndStartGoesOn) {
  ::setenv("ORVANE_FAKE_OLD_ENGINE", "1", 1);
  auto form = Start();
  ::unsetenv("ORVANE_FAKE_OLD_ENGINE");
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_EQ(prompt.shown[0].first, "");
  EXPECT_EQ(prompt.shown[0].second, "\"libgstreamer-1.0.so.0\" 文件版本不合适! ");
  EXPECT_EQ(form->Status_L->text().toStdString(), "准备完毕");
}

TEST_F(FormFixture, ScaleItemsFollowAndWriteVideoScale) {
  settings::SettingsStore store(Ini());
  store.EnsureSettingsFile();
  store.Write("View", "VideoScale", "4");
  {
    auto form = Start({root + "/clip.mp4"});
    EXPECT_EQ(form->session().ScaleMode, 4);
    std::array<QAction*, 5> items = form->ScaleMenuItems();
    EXPECT_TRUE(items[4]->isChecked());
    EXPECT_FALSE(items[0]->isChecked());
    items[1]->trigger();  // fill the whole window
    EXPECT_EQ(form->session().ScaleMode, -1);
    EXPECT_EQ(store.ReadInt("View", "VideoScale"), -1);
    EXPECT_EQ(std::count_if(items.begin(), items.end(), [](QAction* a) { return a->isChecked(); }), 1);
    // The refit covers the whole panel.
    EXPECT_EQ(graph.videoPosition.Width(), form->Video_P->width());
    EXPECT_EQ(graph.videoPosition.Height(), form->Video_P->height());
    items[2]->trigger();
    EXPECT_EQ(store.ReadText("View", "VideoScale"), "1");
  }
  // A value without an item checks none and is kept.
  store.Write("View", "VideoScale", "3");
  auto form = Start();
  for (QAction* item : form->ScaleMenuItems()) EXPECT_FALSE(item->isChecked());
  EXPECT_EQ(form->session().ScaleMode, 3);
}

TEST_F(FormFixture, AfterPlayOneClosesThePlayerAtTheEnd) {
  settings::SettingsStore store(Ini());
  store.EnsureSettingsFile();
  store.Write("Play", "AfterPlay", "1");
  auto form = Start({root + "/clip.mp4"});
  form->show();
  graph.current = graph.length;
  form->session().SessionTick();
  EXPECT_EQ(form->session().IsStopped, 1);
  EXPECT_TRUE(form->isVisible());  // the close is posted, not run inside the tick
  QCoreApplication::processEvents();
  EXPECT_FALSE(form->isVisible());
  // It went through the normal close path: the session was stored.
  EXPECT_EQ(store.ReadText("PlayControl", "LastMediaFile"), root + "/clip.mp4");
  EXPECT_TRUE(platform::FileExists(folders.project + "/PlayFileList"));
}

TEST_F(FormFixture, AfterPlayZeroKeepsThePlayerOpen) {
  auto form = Start({root + "/clip.mp4"});
  form->show();
  graph.current = graph.length;
  form->session().SessionTick();
  QCoreApplication::processEvents();
  EXPECT_TRUE(form->isVisible());
  EXPECT_EQ(form->Status_L->text().toStdString(), "准备完毕");
}

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

TEST_F(FormFixture, TagTextIsBuiltOncePerFileAndClearedForVideo) {
  std::string tag = "TAG" + std::string("Song") + std::string(26, '\0') + std::string(95, '\0');
  platform::WriteFileAtomically(root + "/tagged.mp3", std::string(300, 'x') + tag);
  auto form = Start({root + "/tagged.mp3"});
  ASSERT_EQ(form->session().PlayType, engine::kPlayAudio);
  EXPECT_EQ(form->tagText().substr(0, 15), "标  题\t\tSong\r");
  EXPECT_TRUE(form->mp3Info_L->text().startsWith(QString::fromUtf8("标  题\t\tSong\n")));
  // The same path again is not reread, even after the file changed.
  platform::WriteFileAtomically(root + "/tagged.mp3", std::string(300, 'x'));
  form->session().OpenFile(root + "/tagged.mp3");
  EXPECT_EQ(form->tagText().substr(0, 15), "标  题\t\tSong\r");
  form->session().OpenFile(root + "/clip.mp4");
  EXPECT_EQ(form->tagText(), "");
  form->session().OpenFile(root + "/tagged.mp3");
  EXPECT_NE(form->tagText().find("没有相关信息"), std::string::npos);
}

TEST_F(FormFixture, SpectrumIsDrawnWhilePlayingAndHeldWhilePaused) {
  auto form = Start({root + "/song.mp3"});
  ASSERT_TRUE(form->timerActive(engine::Timer::Spectrum));
  audio.spectrum[0] = 0.08f;  // 40: the full height
  audio.spectrum[2] = 0.02f;  // 10
  form->DrawSpectrum();
  const QImage& picture = form->FFTBox->picture();
  const QRgb highlight = qRgb(182, 126, 24);
  EXPECT_EQ(picture.pixel(0, 0), highlight);
  EXPECT_EQ(picture.pixel(3, 39), highlight);
  EXPECT_EQ(picture.pixel(4, 39), qRgb(0, 0, 0));  // the gap between bars
  EXPECT_EQ(picture.pixel(10, 29), qRgb(0, 0, 0));
  EXPECT_EQ(picture.pixel(10, 30), highlight);

  form->session().PauseSession();
  audio.spectrum[0] = 0;
  form->DrawSpectrum();  // paused: the last picture stays
  EXPECT_EQ(form->spectrumBars().bar[0], 40);
  form->session().ResumeSession();
  form->DrawSpectrum();
  EXPECT_EQ(form->spectrumBars().bar[0], 37);
  EXPECT_EQ(picture.pixel(0, 2), qRgb(0, 0, 0));
  EXPECT_EQ(picture.pixel(0, 3), highlight);   // bar top
  EXPECT_EQ(picture.pixel(0, 1), highlight);   // peak mark at 39

  EXPECT_TRUE(form->FFTBox->isVisibleTo(form.get()));
  form->session().StopCommand();
  EXPECT_FALSE(form->timerActive(engine::Timer::Spectrum));
  EXPECT_FALSE(form->FFTBox->isVisibleTo(form.get()));
  EXPECT_EQ(form->FFTBox->picture().pixel(0, 39), qRgb(0, 0, 0));
  // The box sits 10 pixels above the panel's bottom.
  form->show();
  QCoreApplication::processEvents();
  EXPECT_EQ(form->FFTBox->y(), form->Video_P->height() - 40 - 10);
}

// Every repaint is a round trip to the X server: the box is painted only when
// its picture changes, and not at all while paused.
TEST_F(FormFixture, SpectrumBoxIsRepaintedOnlyWhenItsPictureChanges) {
  auto form = Start({root + "/song.mp3"});
  form->show();
  QCoreApplication::processEvents();
  struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
      paints += event->type() == QEvent::Paint;
      return false;
    }
  } counter;
  form->FFTBox->installEventFilter(&counter);
  auto tick = [&] {
    counter.paints = 0;
    form->DrawSpectrum();
    QCoreApplication::processEvents();
    return counter.paints;
  };
  audio.spectrum[0] = 0.08f;
  EXPECT_EQ(tick(), 1);
  // Down to 37: the bar falls at once, the peak mark one pixel a tick.
  audio.spectrum[0] = 0.074f;
  EXPECT_EQ(tick(), 1);
  EXPECT_EQ(tick(), 1);
  EXPECT_EQ(tick(), 1);
  EXPECT_EQ(form->spectrumBars().peak[0], 37);
  EXPECT_EQ(tick(), 0);
  // Values past the 32 bars in the picture change nothing drawn.
  audio.spectrum[40] = 0.08f;
  EXPECT_EQ(tick(), 0);
  form->session().PauseSession();
  audio.spectrum[0] = 0;
  EXPECT_EQ(tick(), 0);
  EXPECT_EQ(form->FFTBox->picture().pixel(0, 3), qRgb(182, 126, 24));
  form->session().ResumeSession();
  EXPECT_EQ(tick(), 1);
  EXPECT_EQ(form->FFTBox->picture().pixel(0, 6), qRgb(182, 126, 24));  // bar at 34
  EXPECT_EQ(form->FFTBox->picture().pixel(0, 5), qRgb(0, 0, 0));
  EXPECT_EQ(form->FFTBox->picture().pixel(0, 4), qRgb(182, 126, 24));  // peak at 36
}
