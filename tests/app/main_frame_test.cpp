// The skinned frame under the offscreen platform: control-bar layout, button
// pictures, full screen, the side panel, the media-name strip and stay on top.
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QUrl>
#include <QWindow>

#include "app/form_fixture.h"
#include "app/qt_prompt.h"
#include "app/skin_picture.h"
#include "assets/skin_layout.h"

using app::tximage;

// Stands in for the desktop's browser.
class UrlCatcher : public QObject {
  Q_OBJECT
 public:
  QList<QUrl> opened;
 public slots:
  void open(const QUrl& url) { opened.append(url); }
};

namespace {
struct FrameFixture : FormFixture {
  std::unique_ptr<TOrvaneMain_Form> form;
  void Open() {
    form = Start({root + "/clip.mp4"});
    form->show();
    QCoreApplication::processEvents();
  }
  void Idle() {
    form = Start();
    form->show();
    QCoreApplication::processEvents();
  }
  int ScreenWidth() const { return form->screen()->geometry().width(); }
};

}  // namespace

TEST_F(FrameFixture, ControlBarFollowsTheWindowWidth) {
  Idle();
  for (int width : {689, 900, 560}) {
    form->resize(width, 446);
    QCoreApplication::processEvents();
    SCOPED_TRACE(width);
    const int titleRight = width - 78;
    EXPECT_EQ(form->Titleright_I->x(), titleRight);
    EXPECT_EQ(form->Min_XI->x(), titleRight + 20);
    EXPECT_EQ(form->Max_XI->x(), titleRight + 40);
    EXPECT_EQ(form->Close_XI->x(), titleRight + 60);
    EXPECT_EQ(form->Help_XI->x(), titleRight - 35);
    EXPECT_EQ(form->File_XI->x(), titleRight - 320);
    EXPECT_EQ(form->Url_XI->x(), (width - 170) / 2);
    const int centre = form->Dvdcenter_I->x(), centreWidth = form->Dvdcenter_I->width();
    EXPECT_EQ(centre, 201);
    EXPECT_EQ(centreWidth, width - 201 - 174);
    EXPECT_EQ(form->ScrollMedia_P->geometry(), QRect(centre, 22, centreWidth, 18));
    EXPECT_EQ(form->VideoPro_XI->x(), centre + 2);
    EXPECT_EQ(form->VideoPro_XI->width(), centreWidth - 4);
    EXPECT_EQ(form->Time_L->x(), centre + centreWidth - 10);  // empty, 10 in from the edge
    const int right = form->Dvdright_I->x();
    EXPECT_EQ(right, width - 174);
    EXPECT_EQ(form->L_XI->x(), right + 40);
    EXPECT_EQ(form->TrackPro_XI->x(), right + 60);
    EXPECT_EQ(form->R_XI->x(), right + 132);
    EXPECT_EQ(form->Open_XI->x(), right + 23);
    EXPECT_EQ(form->Option_XI->x(), right + 119);
    // The balance thumb at 50 % sits in the middle of the track's free length.
    const int free = form->TrackPro_XI->width() - form->TrackBar_XI->width();
    EXPECT_EQ(form->TrackBar_XI->x() - form->TrackPro_XI->x(), free / 2);
    EXPECT_EQ(form->TrackGo_XI->width(), free / 2);
    EXPECT_EQ(form->Video_P->geometry(), QRect(0, 0, width - 14, 446 - 28 - 4 - 82));
  }
  // A resolution that would run into the time is hidden, and shown again with room.
  form->SetResolutionText("1920 x 1080");
  form->SetTimeText("100:00:00 / 100:00:00");
  EXPECT_FALSE(form->Resolution_L->isVisibleTo(form.get()));
  form->resize(900, 446);
  QCoreApplication::processEvents();
  EXPECT_TRUE(form->Resolution_L->isVisibleTo(form.get()));
  EXPECT_EQ(form->Resolution_L->x(), form->Dvdcenter_I->x() + 120);
  EXPECT_EQ(form->Time_L->x() + form->Time_L->width(),
            form->Dvdcenter_I->x() + form->Dvdcenter_I->width());
  // A rate in the status never runs into the time, however narrow the window.
  form->resize(554, 446);
  QCoreApplication::processEvents();
  form->SetTimeText("0:00:02 / 0:00:30");
  form->SetStatusText("播放中  1.25x");
  EXPECT_LT(form->Status_L->x() + form->Status_L->width(), form->Time_L->x());
  EXPECT_EQ(form->Status_L->text().toStdString(), "播放中  1.25x");
  form->resize(900, 446);
  QCoreApplication::processEvents();
  EXPECT_EQ(form->Status_L->width(), form->Status_L->sizeHint().width());
}

TEST_F(FrameFixture, ButtonPicturesFollowTheMouseAndThePlayState) {
  Idle();
  // Nothing open: the transport shows its disabled pictures, play its normal one.
  EXPECT_EQ(form->PlayPause_XI->PictureFile, "Play_Normal_Btn.bmp");
  EXPECT_EQ(form->Stop_XI->PictureFile, "Stop_Disable_Btn.bmp");
  EXPECT_EQ(form->Forward_XI->PictureFile, "ForWard_Disable_Btn.bmp");
  // Disabled only after the first pictures, so it shows its normal one until a session ends.
  EXPECT_EQ(form->Capture_XI->PictureFile, "Capture_Normal_btn.bmp");
  EXPECT_FALSE(form->Capture_XI->isEnabled());
  Send(form->Stop_XI, QEvent::Enter);
  EXPECT_EQ(form->Stop_XI->PictureFile, "Stop_Disable_Btn.bmp");

  form.reset();  // its close releases the shared graph
  form = Start({root + "/clip.mp4"});
  form->show();
  EXPECT_EQ(form->PlayPause_XI->PictureFile, "Pause_Normal_Btn.bmp");
  EXPECT_EQ(form->Stop_XI->PictureFile, "Stop_Normal_Btn.bmp");
  tximage* forward = form->Forward_XI;
  Send(forward, QEvent::Enter);
  EXPECT_EQ(forward->PictureFile, "ForWard_Hight_Btn.bmp");
  Send(forward, QEvent::MouseButtonPress);
  EXPECT_EQ(forward->PictureFile, "Forward_Enter_Btn.bmp");
  Send(forward, QEvent::MouseButtonRelease);
  EXPECT_EQ(forward->PictureFile, "ForWard_Normal_Btn.bmp");
  EXPECT_EQ(form->Status_L->text().toStdString(), "播放中  1.25x");  // the click accelerated
  Send(forward, QEvent::Leave);
  EXPECT_EQ(forward->PictureFile, "ForWard_Normal_Btn.bmp");
  // A double click is one click, then a press that shows "Enter", then no second click.
  Send(forward, QEvent::MouseButtonPress);
  Send(forward, QEvent::MouseButtonRelease);
  Send(forward, QEvent::MouseButtonDblClick);
  EXPECT_EQ(forward->PictureFile, "Forward_Enter_Btn.bmp");
  Send(forward, QEvent::MouseButtonRelease);
  EXPECT_EQ(form->Status_L->text().toStdString(), "播放中  1.50x");

  // Play/pause acts on release and shows the new state's picture.
  Send(form->PlayPause_XI, QEvent::MouseButtonPress);
  EXPECT_EQ(form->PlayPause_XI->PictureFile, "Pause_Enter_Btn.bmp");
  Send(form->PlayPause_XI, QEvent::MouseButtonRelease);
  EXPECT_TRUE(form->session().IsPaused);
  EXPECT_EQ(form->PlayPause_XI->PictureFile, "Play_Normal_Btn.bmp");

  // The link shows its hover picture on release and opens the product page.
  UrlCatcher catcher;
  QDesktopServices::setUrlHandler("https", &catcher, "open");
  Send(form->Url_XI, QEvent::MouseButtonPress);
  EXPECT_EQ(form->Url_XI->PictureFile, "Url_Enter.bmp");
  Send(form->Url_XI, QEvent::MouseButtonRelease);
  QDesktopServices::unsetUrlHandler("https");
  EXPECT_EQ(form->Url_XI->PictureFile, "Url_Hight.bmp");
  ASSERT_EQ(catcher.opened.size(), 1);
  EXPECT_EQ(catcher.opened[0].toString().toStdString(), app::kProductPage);
}

TEST_F(FrameFixture, OpenButtonAndStripOpenTheChosenFiles) {
  Idle();
  Send(form->Open_XI, QEvent::MouseButtonPress);
  Send(form->Open_XI, QEvent::MouseButtonRelease);  // cancelled
  EXPECT_FALSE(form->session().IsPlaying);
  EXPECT_EQ(app::QtFilter(prompt.openFilter).section(";;", 0, 0).left(38),
            "FamiliarMediaFiles (*.avi *.asf *.wma ");
  EXPECT_TRUE(app::QtFilter(prompt.openFilter).endsWith(";;All Files(*.*) (*)"));
  prompt.openAnswer = {root + "/clip.mp4", root + "/song.mp3"};
  Send(form->tximage2, QEvent::MouseButtonPress);
  Send(form->tximage2, QEvent::MouseButtonRelease);
  EXPECT_TRUE(form->session().IsPlaying);
  EXPECT_EQ(form->playList().PlayListPaths, prompt.openAnswer);
  EXPECT_EQ(form->CurMedia_L->text(), "clip.mp4");
}

TEST_F(FrameFixture, MaximiseButtonSwapsBetweenMaximiseAndRestore) {
  Idle();
  form->showMaximized();
  QCoreApplication::processEvents();
  EXPECT_EQ(form->Max_XI->PictureFile, "Restore_Normal_Btn.bmp");
  Send(form->Max_XI, QEvent::MouseButtonPress);
  EXPECT_EQ(form->Max_XI->PictureFile, "Restore_Enter_Btn.bmp");
  Send(form->Max_XI, QEvent::MouseButtonRelease);
  QCoreApplication::processEvents();
  EXPECT_FALSE(form->isMaximized());
  EXPECT_EQ(form->Max_XI->PictureFile, "Max_Normal_Btn.bmp");
  // Double-clicked: maximised once, not maximised and restored again.
  for (QEvent::Type t : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                         QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease})
    Send(form->Max_XI, t);
  QCoreApplication::processEvents();
  EXPECT_TRUE(form->isMaximized());
}

TEST_F(FrameFixture, FullScreenReturnsToTheWindowItCameFrom) {
  Open();
  const QRect normal = form->geometry();
  form->ToggleFullScreen();
  QCoreApplication::processEvents();
  EXPECT_TRUE(form->IsFullScreen);
  EXPECT_TRUE(form->isFullScreen());
  for (QWidget* w : {form->Title_P, form->DvdCtrl_P, form->Left_P, form->Bottom_P})
    EXPECT_FALSE(w->isVisible());
  EXPECT_EQ(form->Video_P->size(), form->size());
  EXPECT_FALSE(form->PlayList_XI->isEnabled());
  EXPECT_EQ(form->PlayList_XI->PictureFile, "ShowPL_Disable_btn.bmp");
  // The control bar comes up only in the bottom 99 pixels of the screen.
  const int screenHeight = form->screen()->geometry().height();
  form->FullScreenMouseMove(screenHeight - 99);
  EXPECT_TRUE(form->DvdCtrl_P->isVisible());
  form->FullScreenMouseMove(screenHeight - 100);
  EXPECT_FALSE(form->DvdCtrl_P->isVisible());
  form->ToggleFullScreen();
  QCoreApplication::processEvents();
  EXPECT_FALSE(form->IsFullScreen);
  EXPECT_FALSE(form->isMaximized());
  EXPECT_EQ(form->geometry(), normal);
  EXPECT_TRUE(form->DvdCtrl_P->isVisible());
  EXPECT_EQ(form->PlayList_XI->PictureFile, "ShowPL_Normal_btn.bmp");

  form->showMaximized();
  QCoreApplication::processEvents();
  form->ToggleFullScreen();
  form->ToggleFullScreen();
  QCoreApplication::processEvents();
  EXPECT_TRUE(form->isMaximized());

  // A list page shown or hidden in full screen leaves the screen to the video.
  form->showNormal();
  form->ToggleFullScreen();
  QCoreApplication::processEvents();
  const QRect full = form->geometry();
  form->ShowCaptureListPage(false);
  form->ShowCaptureListPage(true);
  QCoreApplication::processEvents();
  EXPECT_TRUE(form->isFullScreen());
  EXPECT_EQ(form->geometry(), full);
  form->ToggleFullScreen();

  // Refused for sound only and with nothing open; the menu item keeps to the truth.
  ASSERT_TRUE(form->session().OpenFiles({root + "/song.mp3"}));
  form->ToggleFullScreen();
  Send(form->Video_P, QEvent::MouseButtonDblClick);
  EXPECT_FALSE(form->IsFullScreen);
  form->session().StopCommand();
  form->pFullscreen->trigger();
  EXPECT_FALSE(form->IsFullScreen);
  EXPECT_FALSE(form->pFullscreen->isChecked());
}

TEST_F(FrameFixture, FullScreenAtOpenAndLeftWhenAnotherFileOpens) {
  Idle();
  form->store().WriteInt("PlayControl", "FullScreenAtonce", 1);
  ASSERT_TRUE(form->session().OpenFiles({root + "/clip.mp4"}));
  EXPECT_TRUE(form->IsFullScreen);
  EXPECT_TRUE(form->pFullscreen->isChecked());
  form->store().WriteInt("PlayControl", "FullScreenAtonce", 0);
  ASSERT_TRUE(form->session().OpenFile(root + "/clip.mp4"));
  QCoreApplication::processEvents();
  EXPECT_FALSE(form->IsFullScreen);
  EXPECT_TRUE(form->Title_P->isVisible());
  EXPECT_TRUE(form->DvdCtrl_P->isVisible());
  EXPECT_TRUE(form->PlayList_XI->isEnabled());
  const QRect screen = form->screen()->geometry();
  EXPECT_EQ(form->geometry().center(), screen.center());
  // Sound only never fills the screen.
  form->store().WriteInt("PlayControl", "FullScreenAtonce", 1);
  ASSERT_TRUE(form->session().OpenFiles({root + "/song.mp3"}));
  EXPECT_FALSE(form->IsFullScreen);
}

TEST_F(FrameFixture, SeekBarFollowsTheTickAndSeeksWhereClickedOrDragged) {
  Open();
  form->session().SessionTick();
  graph.current = graph.length / 2;
  form->session().SessionTick();
  const int track = form->VideoPro_XI->x();
  const int travel = form->VideoPro_XI->width() - form->VideoBar_XI->width();
  EXPECT_EQ(form->VideoBar_XI->x(), track + travel / 2);
  EXPECT_EQ(form->VideoGo_XI->width(), travel / 2 + 4);
  // A click centres the thumb on the pointer and seeks there.
  Send(form->VideoPro_XI, QEvent::MouseButtonPress, QPointF(106, 3));
  EXPECT_EQ(form->VideoBar_XI->x(), track + 100);
  EXPECT_EQ(graph.current, graph.length * 100 / travel);
  // Dragged past the right end: the stop position, and the next tick ends the media.
  Send(form->VideoBar_XI, QEvent::MouseMove, QPointF(5000, 3));
  EXPECT_EQ(form->VideoBar_XI->x(), track + travel);
  EXPECT_EQ(graph.current, graph.length);
  form->session().SessionTick();
  EXPECT_FALSE(form->session().IsPlaying);
  EXPECT_EQ(form->VideoGo_XI->width(), 0);
  EXPECT_EQ(form->PlayPause_XI->PictureFile, "Play_Normal_Btn.bmp");
  EXPECT_EQ(form->Stop_XI->PictureFile, "Stop_Disable_Btn.bmp");
  // The drag goes on past the end, then clicks: with nothing open the bar stays put.
  for (int i = 0; i < 2; ++i) {
    Send(form->VideoBar_XI, QEvent::MouseMove, QPointF(5000, 3));
    EXPECT_EQ(form->VideoBar_XI->x(), track);
    Send(form->VideoPro_XI, QEvent::MouseButtonPress, QPointF(106, 3));
    EXPECT_EQ(form->VideoBar_XI->x(), track);
    EXPECT_EQ(form->VideoGo_XI->width(), 0);
    EXPECT_EQ(graph.current, 0);
    // Likewise after Stop.
    ASSERT_TRUE(form->session().OpenFiles({root + "/clip.mp4"}));
    form->session().StopCommand();
  }
}

TEST_F(FrameFixture, TransportPicturesFollowPauseAndAFailedOpen) {
  Open();
  // Two entries, so previous and next have somewhere to go.
  ASSERT_TRUE(form->session().OpenFiles({root + "/clip.mp4", root + "/song.mp3"}));
  Send(form->PlayPause_XI, QEvent::MouseButtonPress);
  Send(form->PlayPause_XI, QEvent::MouseButtonRelease);
  ASSERT_TRUE(form->session().IsPaused);
  // Paused, the rate steps stop; the steps through the list stay.
  EXPECT_EQ(form->Backward_XI->PictureFile, "BackWard_Disable_Btn.bmp");
  EXPECT_EQ(form->Forward_XI->PictureFile, "ForWard_Disable_Btn.bmp");
  EXPECT_TRUE(form->Previous_XI->isEnabled());
  EXPECT_TRUE(form->Next_XI->isEnabled());
  EXPECT_EQ(form->Previous_XI->PictureFile, "Prev_Normal_Btn.bmp");
  EXPECT_EQ(form->Next_XI->PictureFile, "Next_Normal_Btn.bmp");
  EXPECT_EQ(form->Stop_XI->PictureFile, "Stop_Normal_Btn.bmp");
  // A disc's tick turns the chapter steps on and off within a title, with no
  // refresh of the pictures: they follow at once.
  form->EnableControl(engine::Control::PreviousChapter, false);
  EXPECT_EQ(form->Previous_XI->PictureFile, "Prev_Disable_Btn.bmp");
  form->EnableControl(engine::Control::NextChapter, false);
  form->EnableControl(engine::Control::NextChapter, true);
  EXPECT_EQ(form->Next_XI->PictureFile, "Next_Normal_Btn.bmp");

  // A file that does not open leaves the pictures of the ready state.
  const std::string bad = root + "/bad.mp4";
  graph.unplayable.insert(bad);
  auto expectReady = [&] {
    EXPECT_EQ(form->Status_L->text().toStdString(), "准备完毕");
    EXPECT_EQ(form->PlayPause_XI->PictureFile, "Play_Normal_Btn.bmp");
    EXPECT_EQ(form->Stop_XI->PictureFile, "Stop_Disable_Btn.bmp");
    EXPECT_EQ(form->Previous_XI->PictureFile, "Prev_Disable_Btn.bmp");
    EXPECT_EQ(form->Backward_XI->PictureFile, "BackWard_Disable_Btn.bmp");
    EXPECT_EQ(form->Forward_XI->PictureFile, "ForWard_Disable_Btn.bmp");
    EXPECT_EQ(form->Next_XI->PictureFile, "Next_Disable_Btn.bmp");
    EXPECT_EQ(form->Capture_XI->PictureFile, "Capture_Disable_btn.bmp");
    EXPECT_EQ(form->Full_XI->PictureFile, "Full_Disable_btn.bmp");
  };
  {
    SCOPED_TRACE("opened while paused");
    EXPECT_FALSE(form->session().OpenFile(bad));
    expectReady();
  }
  {
    SCOPED_TRACE("opened while playing");
    ASSERT_TRUE(form->session().OpenFiles({root + "/clip.mp4"}));
    ASSERT_EQ(form->PlayPause_XI->PictureFile, "Pause_Normal_Btn.bmp");
    EXPECT_FALSE(form->session().OpenFile(bad));
    expectReady();
  }
  {
    SCOPED_TRACE("reached by the play list at the end");
    form->session().PlayMode = 1;
    ASSERT_TRUE(form->session().OpenFiles({root + "/clip.mp4", bad}));
    // A file that cannot play is passed over; here nothing in the list plays any more.
    graph.unplayable.insert(root + "/clip.mp4");
    graph.current = graph.length;
    form->session().SessionTick();
    expectReady();
  }
}

TEST_F(FrameFixture, FullScreenAtOpenOnlyEntersAndOnlyForAPicture) {
  Idle();
  form->store().WriteInt("PlayControl", "FullScreenAtonce", 1);
  // A media file with sound and no picture stays in the window.
  detector.streams = {{engine::StreamType::Audio, 0, 10, 0, 0}};
  ASSERT_TRUE(form->session().OpenFiles({root + "/sound.m4a"}));
  EXPECT_EQ(form->session().PlayType, engine::kPlayMedia);
  EXPECT_FALSE(form->IsFullScreen);
  EXPECT_FALSE(form->pFullscreen->isChecked());
  // Random and repeat go on to the next file in the full screen they are in.
  detector = ScriptedDetector();
  for (int mode : {3, 2}) {
    SCOPED_TRACE(mode);
    form->session().PlayMode = mode;
    ASSERT_TRUE(form->session().OpenFiles({root + "/clip.mp4"}));
    ASSERT_TRUE(form->IsFullScreen);
    graph.current = graph.length;
    form->session().SessionTick();
    EXPECT_TRUE(form->session().IsPlaying);
    EXPECT_TRUE(form->IsFullScreen);
    EXPECT_TRUE(form->pFullscreen->isChecked());
    EXPECT_FALSE(form->DvdCtrl_P->isVisible());
  }
}

TEST_F(FrameFixture, FullScreenIsLeftWithNothingOpen) {
  Open();
  auto expectWindowed = [&] {
    QCoreApplication::processEvents();
    EXPECT_FALSE(form->IsFullScreen);
    EXPECT_FALSE(form->isFullScreen());
    EXPECT_FALSE(form->pFullscreen->isChecked());
    EXPECT_TRUE(form->Title_P->isVisible());
    EXPECT_TRUE(form->DvdCtrl_P->isVisible());
  };
  form->ToggleFullScreen();
  ASSERT_TRUE(form->IsFullScreen);
  form->session().StopCommand();
  form->pFullscreen->trigger();
  expectWindowed();
  // At the end of the media, by a double click on the black video.
  ASSERT_TRUE(form->session().OpenFiles({root + "/clip.mp4"}));
  form->ToggleFullScreen();
  ASSERT_TRUE(form->IsFullScreen);
  graph.current = graph.length;
  form->session().SessionTick();
  ASSERT_FALSE(form->session().IsPlaying);
  Send(form->Video_P, QEvent::MouseButtonDblClick);
  expectWindowed();
}

TEST_F(FrameFixture, TagTextStandsBesideItsNamesAndClearOfTheLogo) {
  auto field = [](const std::string& s, size_t n) { return (s + std::string(n, '\0')).substr(0, n); };
  // A title of the full 30 characters is shown whole.
  const std::string tag = "TAG" + field("ABCDEFGHIJKLMNOPQRSTUVWXYZ1234", 30) + field("Band", 30) +
                          field("Disc", 30) + "2024" + field("Note", 30) + "\x0c";
  platform::WriteFileAtomically(root + "/tagged.mp3", std::string(300, 'x') + tag);
  form = Start({root + "/tagged.mp3"});
  form->show();
  QCoreApplication::processEvents();
  ASSERT_EQ(form->session().PlayType, engine::kPlayAudio);
  ASSERT_TRUE(form->mp3Info_L->isVisible());

  // Every value starts in one column, just right of the widest name.
  const QImage text = form->mp3Info_L->grab().toImage();
  const QFontMetrics metrics(form->mp3Info_L->font());
  const char* const names[] = {"标  题", "艺术家", "专  辑", "发行年", "评  论"};
  int widestName = 0;
  for (const char* name : names)
    widestName = std::max(widestName, metrics.horizontalAdvance(QString::fromUtf8(name)));
  const int lineHeight = text.height() / 5;
  ASSERT_GT(lineHeight, 0);
  std::vector<int> valueLeft;
  for (int line = 0; line < 5; ++line) {
    int left = -1;
    for (int x = widestName + 1; x < text.width() && left < 0; ++x)
      for (int y = line * lineHeight; y < (line + 1) * lineHeight && left < 0; ++y) {
        const QColor c = text.pixelColor(x, y);
        if (c.red() - c.blue() > 40) left = x;  // the highlight colour of the text
      }
    valueLeft.push_back(left);
  }
  for (int line = 0; line < 5; ++line) {
    SCOPED_TRACE(line);
    EXPECT_NEAR(valueLeft[line], valueLeft[0], 1);
    EXPECT_GT(valueLeft[line], widestName);
    EXPECT_LT(valueLeft[line], widestName + 2 * metrics.height());
  }

  // An untagged file's comment, at the design size and maximised, keeps off the logo.
  platform::WriteFileAtomically(root + "/plain.mp3", std::string(300, 'x'));
  form->session().OpenFile(root + "/plain.mp3");
  ASSERT_NE(form->tagText().find("没有相关信息"), std::string::npos);
  form->resize(689, 446);
  QCoreApplication::processEvents();
  for (int step = 0; step < 3; ++step) {
    SCOPED_TRACE(step);
    EXPECT_TRUE(form->MainLogo_I->isVisible());
    EXPECT_TRUE(form->mp3Info_L->isVisible());
    EXPECT_FALSE(form->mp3Info_L->geometry().intersects(form->MainLogo_I->geometry()))
        << form->Video_P->width() << " x " << form->Video_P->height();
    EXPECT_TRUE(form->Video_P->rect().contains(form->mp3Info_L->geometry()));
    // Nothing of it is cut off, also in the small window of the sound area.
    EXPECT_GE(form->mp3Info_L->width(), form->mp3Info_L->sizeHint().width());
    if (step == 0) form->showMaximized();
    if (step == 1) form->session().OpenFile(root + "/tagged.mp3");  // the window fits the sound area
    QCoreApplication::processEvents();
  }
}

TEST_F(FrameFixture, TitleBarButtonsHintsAndSplitter) {
  Open();
  EXPECT_EQ(form->PlayPause_XI->toolTip().toStdString(), "播放/暂停");
  EXPECT_EQ(form->PlayList_XI->toolTip().toStdString(), "显示/隐藏 播放、截屏列表");
  EXPECT_EQ(form->tximage2->toolTip().toStdString(), "打开");
  // The splitter gives the side panel what it takes from the video.
  form->ShowPlayListPage(false);
  QCoreApplication::processEvents();
  const int video = form->Video_P->width();
  Send(form->Splitter_XI, QEvent::MouseButtonPress, QPointF(2, 5));
  Send(form->Splitter_XI, QEvent::MouseMove, QPointF(-28, 5));
  EXPECT_EQ(form->MediaFile_P->width(), 190 + 30);
  EXPECT_EQ(form->Video_P->width(), video - 30);
  // Minimise, and close through the normal close path.
  Send(form->Min_XI, QEvent::MouseButtonPress);
  Send(form->Min_XI, QEvent::MouseButtonRelease);
  EXPECT_TRUE(form->isMinimized());
  form->showNormal();
  Send(form->Close_XI, QEvent::MouseButtonPress);
  Send(form->Close_XI, QEvent::MouseButtonRelease);
  EXPECT_FALSE(form->isVisible());
  EXPECT_EQ(form->store().ReadText("PlayControl", "LastMediaFile"), root + "/clip.mp4");
}

TEST_F(FrameFixture, SidePanelWidensTheWindowOrMaximisesIt) {
  Idle();
  form->resize(500, 446);
  QCoreApplication::processEvents();
  form->ShowPlayListPage(false);
  QCoreApplication::processEvents();
  EXPECT_EQ(form->width(), 500 + 194);
  EXPECT_EQ(form->x(), (ScreenWidth() - 694) / 2);
  EXPECT_TRUE(form->MediaFile_P->isVisible());
  EXPECT_EQ(form->MediaFile_P->width(), 190);
  EXPECT_EQ(form->Video_P->width(), 694 - 14 - 194);
  EXPECT_EQ(form->ListPage, 1);
  EXPECT_EQ(form->PLLabel_XI->x(), 2);
  EXPECT_TRUE(form->pPlaylistView->isChecked());

  // Both pages, the capture page in front; hiding the panel and showing it restores them.
  form->ShowCaptureListPage(false);
  EXPECT_EQ(form->ListPage, 2);
  EXPECT_EQ(form->CLLabel_XI->x(), form->PLLabel_XI->x() + form->PLLabel_XI->width() + 2);
  form->ToggleSidePanel();
  QCoreApplication::processEvents();
  EXPECT_FALSE(form->MediaFile_P->isVisible());
  EXPECT_FALSE(form->PlayListShown || form->CaptureListShown);
  EXPECT_EQ(form->width(), 500);
  form->ToggleSidePanel();
  QCoreApplication::processEvents();
  EXPECT_EQ(form->width(), 694);
  EXPECT_TRUE(form->PlayListShown && form->CaptureListShown);
  EXPECT_EQ(form->ListPage, 2);
  EXPECT_TRUE(form->Capture_P->isVisible());
  EXPECT_FALSE(form->PL_P->isVisible());
  EXPECT_EQ(form->CLLabel_XI->x(), 2);
  EXPECT_EQ(form->PLLabel_XI->x(), 2 + form->CLLabel_XI->width() + 2);

  // Closing the front list leaves the other; closing that one narrows the window.
  form->CloseCurrentList();
  EXPECT_FALSE(form->CaptureListShown);
  EXPECT_EQ(form->ListPage, 1);
  EXPECT_TRUE(form->MediaFile_P->isVisible());
  form->CloseCurrentList();
  QCoreApplication::processEvents();
  EXPECT_FALSE(form->MediaFile_P->isVisible());
  EXPECT_EQ(form->width(), 500);

  // One pixel short of the screen's width still widens; reaching it maximises instead.
  form->resize(ScreenWidth() - 195, 446);
  QCoreApplication::processEvents();
  form->ShowPlayListPage(false);
  QCoreApplication::processEvents();
  EXPECT_FALSE(form->isMaximized());
  EXPECT_EQ(form->width(), ScreenWidth() - 1);
  form->ShowPlayListPage(true);
  form->resize(ScreenWidth() - 194, 446);
  QCoreApplication::processEvents();
  form->ShowPlayListPage(false);
  QCoreApplication::processEvents();
  EXPECT_TRUE(form->isMaximized());
}

TEST_F(FrameFixture, ListPagesScrollByWheelArrowsAndThumb) {
  Idle();
  form->ShowPlayListPage(false);
  app::ListPageScroll& page = form->listPage(1);
  page.content->resize(page.content->width(), 1000);
  form->BringListPageToFront(1);
  EXPECT_TRUE(form->Scroll_P->isVisible());
  EXPECT_EQ(page.content->y(), 10);
  form->ScrollListPage(120);  // already at the top
  EXPECT_EQ(page.content->y(), 10);
  form->ScrollListPage(-120);
  EXPECT_EQ(page.content->y(), -40);
  form->ScrollListPage(-119);  // not a whole notch
  EXPECT_EQ(page.content->y(), -40);
  Send(form->ScrollTop_XI, QEvent::MouseButtonPress);
  EXPECT_EQ(page.content->y(), 10);
  // The thumb at the bottom of its track shows the end of the content.
  form->DragScrollThumb(100000);
  const int hidden = 1000 - (page.page->height() - 10);
  EXPECT_EQ(page.content->y(), 10 - hidden);
  EXPECT_EQ(form->ScrollBar_XI->y() + form->ScrollBar_XI->height(),
            form->ScrollBG_XI->y() + form->ScrollBG_XI->height());
}

TEST_F(FrameFixture, MediaNameRestartsOnlyWhenFullyPastTheLeftEdge) {
  Open();
  QLabel* name = form->CurMedia_L;
  const int strip = form->ScrollMedia_P->width();
  form = Start();
  EXPECT_EQ(form->CurMedia_L->x(), form->ScrollMedia_P->width());  // enters from the right
  form.reset();
  Open();
  name = form->CurMedia_L;
  form->SetMediaName("a.mp4");
  ASSERT_LT(name->width(), strip);
  name->move(strip, name->y());
  int ticks = 0;
  while (name->x() > -name->width() && ticks < 5000) {
    form->MoveMediaName();
    ++ticks;
  }
  EXPECT_EQ(ticks, strip + name->width());  // one pixel a tick
  form->MoveMediaName();
  EXPECT_EQ(name->x(), strip);
}

// The name is drawn from a kept picture: after another name it must show the
// new one, drawn as a plain label would draw it.
TEST_F(FrameFixture, MediaNameShowsEachNewNameAsALabelDrawsIt) {
  Open();
  QLabel* name = form->CurMedia_L;
  auto drawn = [&](QWidget* label) {
    QImage picture(name->size(), QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    label->render(&picture, QPoint(), QRegion(), QWidget::RenderFlags());
    return picture;
  };
  auto plain = [&](const QString& text) {
    QLabel label(text);
    label.setFont(name->font());
    label.setPalette(name->palette());
    label.resize(name->size());
    return drawn(&label);
  };
  form->SetMediaName("first.mp3");
  const QImage first = drawn(name);
  QImage blank(first.size(), first.format());
  blank.fill(Qt::transparent);
  EXPECT_NE(first, blank);
  EXPECT_EQ(first, plain("first.mp3"));
  form->SetMediaName("second.mp3");
  const QImage second = drawn(name);
  EXPECT_EQ(second, plain("second.mp3"));
  // Same size, another name: the kept picture must not be shown again.
  form->SetMediaName("third.mp3");
  name->resize(second.size());
  EXPECT_EQ(drawn(name), plain("third.mp3"));
  EXPECT_NE(drawn(name), second);
}

TEST_F(FrameFixture, StayOnTopIsWrittenAndRecreatesADeletedSettingsFile) {
  Idle();
  form->ChooseStayOnTop(form->pAlways);
  EXPECT_TRUE(form->pAlways->isChecked());
  EXPECT_FALSE(form->pNonever->isChecked());
  EXPECT_TRUE(form->windowHandle()->flags() & Qt::WindowStaysOnTopHint);
  EXPECT_EQ(form->store().ReadInt("Play", "StayOnTop"), 1);
  ::unlink(Ini().c_str());
  form->ChooseStayOnTop(form->pNonever);
  EXPECT_FALSE(form->windowHandle()->flags() & Qt::WindowStaysOnTopHint);
  EXPECT_EQ(form->store().ReadInt("Play", "StayOnTop"), 0);
  // The whole default file came back, not just the one key.
  EXPECT_EQ(form->store().ReadText("ShortCut", "OpenFile"), "Ctrl+O");
  form->ChooseStayOnTop(form->pOnlyplaying);
  EXPECT_TRUE(form->pOnlyplaying->isChecked());
  EXPECT_EQ(form->store().ReadInt("Play", "StayOnTop"), 2);
  // The stored choice is shown again each time the menu opens.
  form->store().WriteInt("Play", "StayOnTop", 1);
  emit form->Main_Pop->aboutToShow();
  EXPECT_TRUE(form->pAlways->isChecked());
}

#include "main_frame_test.moc"

TEST(SkinPictures, FoundWithoutRegardToCaseAndBrokenFilesKeepThePicture) {
  char t[] = "/tmp/orvane-skin-XXXXXX";
  const QString root = QString::fromUtf8(::mkdtemp(t));
  QDir(root).mkpath("skin/DEFAULT");
  const QString good = QString(ORVANE_PROGRAM_DIR_DEFAULT) + "/Skin/Default/Txt_BG.jpg";
  ASSERT_TRUE(QFile::copy(good, root + "/skin/DEFAULT/txt_bg.JPG"));
  const QString found = app::FindSkinFile(root + "/Skin/Default/", "Txt_BG.jpg");
  EXPECT_EQ(found, root + "/skin/DEFAULT/txt_bg.JPG");
  EXPECT_TRUE(app::FindSkinFile(root + "/Skin/Default/", "Missing.bmp").isEmpty());
  const QImage decoded = app::DecodeJpegFile(found);
  EXPECT_EQ(decoded.size(), QSize(160, 40));

  // Truncated, garbage after a JPEG start, and random bytes: no picture, no crash.
  QFile in(good);
  ASSERT_TRUE(in.open(QIODevice::ReadOnly));
  const QByteArray bytes = in.readAll();
  const QByteArray broken[] = {bytes.left(bytes.size() / 3), bytes.left(200) + QByteArray(500, '\x5a'),
                               QByteArray(3000, '\x11'), QByteArray()};
  int n = 0;
  for (const QByteArray& b : broken) {
    const QString path = root + QString("/broken%1.jpg").arg(n++);
    QFile out(path);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(b);
    out.close();
    const QImage image = app::DecodeJpegFile(path);
    // A cut-off JPEG may decode with its missing rows grey; it must never be more.
    if (!image.isNull()) {
      EXPECT_EQ(image.size(), QSize(160, 40));
    }
  }

  app::tximage control;
  ASSERT_TRUE(app::LoadSkinPicture(&control, root + "/Skin/Default", "TXT_BG.jpg"));
  const qint64 before = control.Picture().cacheKey();
  EXPECT_FALSE(app::LoadSkinPicture(&control, root, "broken2.jpg"));
  EXPECT_FALSE(app::LoadSkinPicture(&control, root, "nothing.bmp"));
  EXPECT_EQ(control.Picture().cacheKey(), before);
  EXPECT_EQ(control.PictureFile, "TXT_BG.jpg");
  QDir(root).removeRecursively();
}
