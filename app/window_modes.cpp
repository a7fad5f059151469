// How the main window is shown: maximised or not, full screen, above other
// windows; the scrolling media name.
#include <QGuiApplication>
#include <QResizeEvent>
#include <QScreen>
#include <QWheelEvent>
#include <QWindow>

#include "app/main_form.h"
#include "app/media_name_strip.h"
#include "platform/x11_window.h"

namespace app {

// Without a window manager the toolkit never learns the state it asked for.
bool TOrvaneMain_Form::ShownMaximised() const {
  return platform::WindowManagerRunning() ? isMaximized() : shownState_ == Qt::WindowMaximized;
}

void TOrvaneMain_Form::ToggleMaximised() {
  ShowInState(ShownMaximised() ? Qt::WindowNoState : Qt::WindowMaximized);
}

// Without a window manager nobody acts on the window's state, so the
// geometry it stands for is set as well.
void TOrvaneMain_Form::ShowInState(Qt::WindowState state) {
  // The toolkit forgets a state no window manager confirmed, so the state
  // asked for is kept here too.
  const bool managed = platform::WindowManagerRunning();
  if (!managed && shownState_ == Qt::WindowNoState && state != Qt::WindowNoState)
    normalGeometry_ = geometry();
  shownState_ = state;
  QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
  switch (state) {
    case Qt::WindowFullScreen:
      showFullScreen();
      if (!managed && s) setGeometry(s->geometry());
      break;
    case Qt::WindowMaximized:
      showMaximized();
      if (!managed && s) setGeometry(s->availableGeometry());
      break;
    default:
      showNormal();
      if (!managed && normalGeometry_.isValid()) setGeometry(normalGeometry_);
      break;
  }
}

void TOrvaneMain_Form::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  ArrangeFrame();
  LayoutControlBar();
  UpdateScrollBar(ListPage);
  LoadSkinPicture(Max_XI, ShownMaximised() ? "Restore_Normal_Btn.bmp" : "Max_Normal_Btn.bmp");
}

void TOrvaneMain_Form::ToggleFullScreen() {
  // Only a picture can fill the screen; leaving it needs none.
  if (!IsFullScreen && (!session_.IsPlaying || session_.PlayType == engine::kPlayNone ||
                        session_.PlayType == engine::kPlayAudio)) {
    pFullscreen->setChecked(IsFullScreen);  // the item checks itself before asking
    return;
  }
  UpdateScrollBar(ListPage);
  InWindowMove = true;
  if (!IsFullScreen) {
    WasMaximized = ShownMaximised();
    ShowFrame(false);
    ArrangeFrame();
    InWindowMove = false;
    // A borderless window is only sure to cover the desktop's panels as a full-screen window.
    ShowInState(Qt::WindowFullScreen);
  } else {
    ShowFrame(true);
    ArrangeFrame();
    InWindowMove = false;
    ShowInState(WasMaximized ? Qt::WindowMaximized : Qt::WindowNoState);
  }
  IsFullScreen = !IsFullScreen;
  pFullscreen->setChecked(IsFullScreen);
  LayoutControlBar();
  session_.FitVideo();
}

// The frame around the video, the list-page menu items and the list button.
void TOrvaneMain_Form::ShowFrame(bool shown) {
  for (QWidget* w : {Title_P, Bottom_P, Left_P, Right_P, DvdCtrl_P}) w->setVisible(shown);
  if (shown ? PlayListShown || CaptureListShown
            : Splitter_P->isVisible() && MediaFile_P->isVisible()) {
    Splitter_P->setVisible(shown);
    MediaFile_P->setVisible(shown);
  }
  for (QAction* item : {pPlaylistView, pCapturelistview, pPlaylist}) item->setVisible(shown);
  PlayList_XI->setEnabled(shown);
  LoadSkinPicture(PlayList_XI, shown ? "ShowPL_Normal_btn.bmp" : "ShowPL_Disable_btn.bmp");
}

void TOrvaneMain_Form::FullScreenMouseMove(int y) {
  if (!IsFullScreen) return;
  InWindowMove = true;
  const bool show = y >= ScreenSize().height - 99;
  if (show != DvdCtrl_P->isVisible()) {
    DvdCtrl_P->setVisible(show);
    ArrangeFrame();
  }
  LayoutControlBar();
  InWindowMove = false;
}

void TOrvaneMain_Form::LeaveFullScreenAtOpen() {
  if (!IsFullScreen) return;
  ShowFrame(true);
  const engine::Size screenSize = ScreenSize();
  const int w = std::min(width() + kSidePanelStep, screenSize.width);
  const int h = std::min(height() + 158, screenSize.height);
  if (isFullScreen()) showNormal();
  setGeometry((screenSize.width - w) / 2, (screenSize.height - h) / 2, w, h);
  IsFullScreen = !IsFullScreen;
  pFullscreen->setChecked(IsFullScreen);
  ArrangeFrame();
  LayoutControlBar();
}

void TOrvaneMain_Form::FullScreenAtOnce() {
  if (store_.ReadInt("PlayControl", "FullScreenAtonce") != 1) return;
  if (session_.PlayType == engine::kPlayAudio || session_.PlayType == engine::kPlayNone) return;
  // Sound in a media file has no picture to fill the screen with.
  if (session_.PlayType == engine::kPlayMedia && !session_.HasVideo) return;
  // It only enters: the next file of a random or repeated play keeps the full screen.
  if (IsFullScreen) return;
  pFullscreen->setChecked(!pFullscreen->isChecked());
  ToggleFullScreen();
}

void TOrvaneMain_Form::ApplyStayOnTop(int mode) {
  StayOnTop = mode;
  pNonever->setChecked(mode == 0);
  pAlways->setChecked(mode == 1);
  pOnlyplaying->setChecked(mode == 2);
  if (mode != 0 && mode != 1) return;
  const bool top = mode == 1;
  // The band changes in place: same position and size, not activated.
  if (QWindow* w = windowHandle()) {
    w->setFlag(Qt::WindowStaysOnTopHint, top);
    overrideWindowFlags(w->flags());  // so later flag changes keep the band
  } else {
    setWindowFlag(Qt::WindowStaysOnTopHint, top);
  }
}

void TOrvaneMain_Form::ChooseStayOnTop(QAction* item) {
  const int mode = item == pAlways ? 1 : item == pOnlyplaying ? 2 : 0;
  ApplyStayOnTop(mode);
  store_.WriteIntEnsured("Play", "StayOnTop", mode);
}

void TOrvaneMain_Form::MoveMediaName() {
  CurMedia_L->move(CurMedia_L->x() - 1, CurMedia_L->y());
  // Fully past the left edge: start again from the strip's right edge.
  if (CurMedia_L->x() < -CurMedia_L->width()) CurMedia_L->move(ScrollMedia_P->width(), CurMedia_L->y());
  nameStrip_->ShowNow();
}

void TOrvaneMain_Form::wheelEvent(QWheelEvent* event) {
  const int delta = event->angleDelta().y();
  if (MediaFile_P->isVisible() && (delta == 120 || delta == -120)) {
    ScrollListPage(delta);
    event->accept();
    return;
  }
  QWidget::wheelEvent(event);
}

}  // namespace app
