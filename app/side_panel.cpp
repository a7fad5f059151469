// The side panel at the right of the video: its two list pages, their labels,
// the scroll bar, the splitter, and the window width that follows it.
#include <QCursor>
#include <QGuiApplication>

#include "app/main_form.h"
#include "assets/skin_layout.h"

namespace app {

namespace {
constexpr int kContentTop = 10;  // a page's content never starts lower than this

// What of a page's content lies beyond its visible part; 0 or less when it all fits.
int HiddenHeight(const ListPageScroll& s) {
  return s.content->height() - (s.page->height() - kContentTop);
}
}  // namespace

void TOrvaneMain_Form::BuildSidePanel() {
  namespace p = skin::panel;
  MediaFile_P = MakePanel(VideoFace_P, "MediaFile_P");
  MediaFile_P->resize(p::kW, MediaFile_P->height());
  PageHead_P = MakePanel(MediaFile_P, "PageHead_P");
  PLLabel_XI = MakeImage(PageHead_P, "PLLabel_XI", "PlayList_Normal.bmp");
  CLLabel_XI = MakeImage(PageHead_P, "CLLabel_XI", "CaptureList_Normal.bmp");
  PLLabel_XI->setGeometry(p::kPlayListLabel.dx, p::kPlayListLabel.y, p::kPlayListLabel.w,
                          p::kPlayListLabel.h);
  CLLabel_XI->setGeometry(p::kCaptureListLabel.dx, p::kCaptureListLabel.y, p::kCaptureListLabel.w,
                          p::kCaptureListLabel.h);
  const std::pair<tximage*, int> labels[] = {{PLLabel_XI, 1}, {CLLabel_XI, 2}};
  for (auto [label, page] : labels) {
    const QString normal = page == 1 ? "PlayList_Normal.bmp" : "CaptureList_Normal.bmp";
    const QString hover = page == 1 ? "PlayList_Hight.bmp" : "CaptureList_Hight.bmp";
    connect(label, &tximage::OnMouseEnter, this, [=, this] { LoadSkinPicture(label, hover); });
    connect(label, &tximage::OnMouseLeave, this, [=, this] { LoadSkinPicture(label, normal); });
    connect(label, &tximage::OnClick, this, [this, page] { BringListPageToFront(page); });
    label->hide();
  }
  CloseList_XI = MakeImage(PageHead_P, "CloseList_XI", {});
  CloseList_XI->resize(p::kCloseList.w, p::kCloseList.h);
  BindSkinButton(CloseList_XI, [] { return QString("CloseList_Normal_btn.bmp"); },
                 UpPicture::Normal, [this] { CloseCurrentList(); });

  PL_P = MakePanel(MediaFile_P, "PL_P");
  Capture_P = MakePanel(MediaFile_P, "Capture_P");
  for (ListPageScroll* s : {&playListScroll_, &captureScroll_}) {
    s->page = s == &playListScroll_ ? PL_P : Capture_P;
    s->content = new QWidget(s->page);
    s->content->setObjectName(s == &playListScroll_ ? "PLContent" : "CaptureContent");
    s->content->setGeometry(0, kContentTop, p::kW - p::kScrollW, 0);
  }
  Capture_P->hide();

  Scroll_P = MakePanel(MediaFile_P, "Scroll_P");
  ScrollTop_XI = MakeImage(Scroll_P, "ScrollTop_XI", "Scroll_Top.bmp", true);
  ScrollBG_XI = MakeImage(Scroll_P, "ScrollBG_XI", "Scroll_BG.bmp", true);
  ScrollBottom_XI = MakeImage(Scroll_P, "ScrollBottom_XI", "Scroll_Bottom.bmp", true);
  ScrollBar_XI = MakeImage(Scroll_P, "ScrollBar_XI", "Scroll_Bar.bmp", true);
  ScrollBar_XI->resize(p::kScrollW, p::kScrollThumbH);
  connect(ScrollTop_XI, &tximage::OnMouseDown, this, [this] { ScrollListPage(120); });
  connect(ScrollBottom_XI, &tximage::OnMouseDown, this, [this] { ScrollListPage(-120); });
  connect(ScrollBar_XI, &tximage::OnMouseDown, this,
          [this](Qt::MouseButton, int, int y) { scrollThumbPressY_ = y; });
  connect(ScrollBar_XI, &tximage::OnMouseMove, this, [this](Qt::MouseButtons b, int, int y) {
    if (b & Qt::LeftButton) DragScrollThumb(y - scrollThumbPressY_);
  });
  Scroll_P->hide();

  // Floating tool bars, lent to a tile while the mouse is over it.
  PLTool_P = MakePanel(MediaFile_P, "PLTool_P");
  PLTool_P->resize(p::kPlayTool.w, p::kPlayTool.h);
  PLTool_P->hide();
  catchTool_P = MakePanel(MediaFile_P, "catchTool_P");
  catchTool_P->resize(p::kCaptureTool.w, p::kCaptureTool.h);
  catchTool_P->hide();
  MediaFile_P->hide();

  connect(Splitter_XI, &tximage::OnMouseEnter, this, [this] {
    if (session_.PlayType != engine::kPlayAudio) Splitter_XI->setCursor(Qt::SplitHCursor);
  });
  connect(Splitter_XI, &tximage::OnMouseLeave, this, [this] { Splitter_XI->unsetCursor(); });
  connect(Splitter_XI, &tximage::OnMouseDown, this, [this](Qt::MouseButton b, int x, int) {
    if (b != Qt::LeftButton) return;
    splitterPressX_ = x;
    Splitter_XI->setCursor(Qt::SplitHCursor);
  });
  connect(Splitter_XI, &tximage::OnMouseMove, this, [this](Qt::MouseButtons b, int x, int) {
    if (b & Qt::LeftButton) SplitterMoved(x);
  });
  connect(Splitter_XI, &tximage::OnMouseUp, this, [this](Qt::MouseButton b, int x, int) {
    if (b != Qt::LeftButton) return;
    SplitterMoved(x);
    session_.FitVideo();
  });
}

void TOrvaneMain_Form::ArrangeSidePanel() {
  namespace p = skin::panel;
  const int w = MediaFile_P->width(), h = MediaFile_P->height();
  PageHead_P->setGeometry(0, 0, w, p::kPageHeadH);
  CloseList_XI->move(w + p::kCloseList.dx, p::kCloseList.y);
  const int bodyH = std::max(0, h - p::kPageHeadH);
  const int pageW = Scroll_P->isHidden() ? w : w - p::kScrollW;
  Scroll_P->setGeometry(w - p::kScrollW, p::kPageHeadH, p::kScrollW, bodyH);
  ScrollTop_XI->setGeometry(0, 0, p::kScrollW, p::kScrollArrowH);
  ScrollBottom_XI->setGeometry(0, bodyH - p::kScrollArrowH, p::kScrollW, p::kScrollArrowH);
  ScrollBG_XI->setGeometry(0, p::kScrollArrowH, p::kScrollW,
                           std::max(0, bodyH - 2 * p::kScrollArrowH));
  for (QWidget* page : {PL_P, Capture_P}) page->setGeometry(0, p::kPageHeadH, pageW, bodyH);
  for (ListPageScroll* s : {&playListScroll_, &captureScroll_})
    s->content->resize(pageW, s->content->height());
}

// The window keeps its height; its new width is centred on the screen.
void TOrvaneMain_Form::MoveWindowCentred(int newWidth, int newHeight, bool vertically) {
  const engine::Size screenSize = ScreenSize();
  const int left = (screenSize.width - newWidth) / 2;
  const int top = vertically ? (screenSize.height - newHeight) / 2 : y();
  setGeometry(left, top, newWidth, newHeight);
}

void TOrvaneMain_Form::ToggleSidePanel() {
  int newWidth = width();
  if (MediaFile_P->isVisible()) {
    Splitter_P->hide();
    MediaFile_P->hide();
    SavedPlayListShown = PlayListShown;
    SavedCaptureListShown = CaptureListShown;
    PlayListShown = CaptureListShown = false;
    newWidth -= kSidePanelStep;
  } else {
    Splitter_P->setFixedWidth(4);
    Splitter_P->show();
    MediaFile_P->show();
    PlayListShown = SavedPlayListShown;
    CaptureListShown = SavedCaptureListShown;
    PLLabel_XI->setVisible(PlayListShown);
    CLLabel_XI->setVisible(CaptureListShown);
    tximage* front = ListPage == 2 ? CLLabel_XI : PLLabel_XI;
    tximage* other = front == PLLabel_XI ? CLLabel_XI : PLLabel_XI;
    front->move(2, front->y());
    other->move(front->x() + front->width() + 2, other->y());
    newWidth += kSidePanelStep;
  }
  // A maximised window keeps filling the screen; the video gives or takes the room.
  if (!ShownMaximised() && !isFullScreen()) MoveWindowCentred(newWidth, height(), true);
  ArrangeFrame();
  session_.FitVideo();
}

void TOrvaneMain_Form::ShowPlayListPage(bool hide) { ShowListPage(1, hide); }
void TOrvaneMain_Form::ShowCaptureListPage(bool hide) { ShowListPage(2, hide); }

// The two pages behave alike, each with its own label, shown flag and menu item.
void TOrvaneMain_Form::ShowListPage(int page, bool hide) {
  const int otherPage = page == 1 ? 2 : 1;
  tximage* label = page == 1 ? PLLabel_XI : CLLabel_XI;
  tximage* otherLabel = page == 1 ? CLLabel_XI : PLLabel_XI;
  bool& shown = page == 1 ? PlayListShown : CaptureListShown;
  const bool otherShown = page == 1 ? CaptureListShown : PlayListShown;
  QAction* item = page == 1 ? pPlaylistView : pCapturelistview;
  if (hide) {
    label->hide();
    item->setChecked(false);
    shown = false;
    if (!otherShown) {
      MediaFile_P->hide();
      Splitter_P->hide();
      if (!ShownMaximised() && !IsFullScreen)
        MoveWindowCentred(width() - kSidePanelStep, height(), false);
      ArrangeFrame();
      session_.FitVideo();
    } else {
      otherLabel->move(2, otherLabel->y());
      BringListPageToFront(otherPage);
    }
    return;
  }
  if (MediaFile_P->isVisible()) {
    if (ListPage == page && shown) return;
    item->setChecked(true);
    shown = true;
    label->show();
    if (otherLabel->x() == 2) label->move(otherLabel->x() + otherLabel->width() + 2, label->y());
  } else {
    // A full-screen window keeps the screen; the video gives up the room.
    const int newWidth = width() + kSidePanelStep;
    if (!IsFullScreen) {
      if (newWidth < ScreenSize().width)
        MoveWindowCentred(newWidth, height(), false);
      else
        ShowInState(Qt::WindowMaximized);
    }
    MediaFile_P->resize(skin::panel::kW, MediaFile_P->height());
    Splitter_P->setFixedWidth(4);
    MediaFile_P->show();
    Splitter_P->show();
    item->setChecked(true);
    shown = true;
    label->move(2, label->y());
    label->show();
    otherLabel->hide();
  }
  ArrangeFrame();
  BringListPageToFront(page);
  session_.FitVideo();
}

void TOrvaneMain_Form::CloseCurrentList() {
  if (PlayListShown && CaptureListShown) {
    if (ListPage == 1)
      ShowPlayListPage(true);
    else
      ShowCaptureListPage(true);
  } else if (PlayListShown) {
    ShowPlayListPage(true);
  } else if (CaptureListShown) {
    ShowCaptureListPage(true);
  }
}

void TOrvaneMain_Form::BringListPageToFront(int page) {
  ListPage = page == 2 ? 2 : 1;
  QWidget* front = ListPage == 1 ? PL_P : Capture_P;
  QWidget* back = ListPage == 1 ? Capture_P : PL_P;
  back->hide();
  front->show();
  front->raise();
  UpdateScrollBar(ListPage);
}

void TOrvaneMain_Form::PlaceListContent(int page, int top) {
  ListPageScroll& s = listPage(page);
  s.content->move(0, top);
  const int hidden = HiddenHeight(s);
  if (hidden <= 0) return;
  const int travel = ScrollBG_XI->height() - ScrollBar_XI->height();
  const double ratio = double(kContentTop - top) / hidden;
  ScrollBar_XI->move(0, ScrollBG_XI->y() + static_cast<int>(ratio * std::max(0, travel)));
}

void TOrvaneMain_Form::UpdateScrollBar(int page) {
  if (!MediaFile_P) return;
  ListPageScroll& s = listPage(page);
  const bool needed = HiddenHeight(s) > 0;
  if (needed != Scroll_P->isVisible()) {
    Scroll_P->setVisible(needed);
    ArrangeSidePanel();
  }
  if (!needed) {
    s.content->move(0, kContentTop);
    return;
  }
  ScrollBar_XI->raise();
  // The thumb is as long as the visible rows are of the whole list, 6 at least.
  const int visible = (s.page->height() - kContentTop) / s.pitch * s.pitch + kContentTop;
  const int track = ScrollBG_XI->height();
  const int content = std::max(1, s.content->height());
  ScrollBar_XI->resize(ScrollBar_XI->width(),
                       std::clamp(static_cast<int>(static_cast<long long>(visible) * track / content),
                                  std::min(6, track), std::max(6, track)));
  const int hidden = HiddenHeight(s);
  PlaceListContent(page, std::clamp(s.content->y(), kContentTop - hidden, kContentTop));
}

void TOrvaneMain_Form::ScrollListPage(int wheelDelta) {
  if (wheelDelta != 120 && wheelDelta != -120) return;
  ListPageScroll& s = listPage(ListPage);
  const int hidden = HiddenHeight(s);
  if (hidden <= 0) return;
  const int top = s.content->y() + (wheelDelta > 0 ? s.pitch : -s.pitch);
  PlaceListContent(ListPage, std::clamp(top, kContentTop - hidden, kContentTop));
}

void TOrvaneMain_Form::DragScrollThumb(int dy) {
  ListPageScroll& s = listPage(ListPage);
  const int hidden = HiddenHeight(s);
  const int travel = ScrollBG_XI->height() - ScrollBar_XI->height();
  if (hidden <= 0 || travel <= 0) return;
  const int thumbTop = std::clamp(ScrollBar_XI->y() + dy, ScrollBG_XI->y(), ScrollBG_XI->y() + travel);
  ScrollBar_XI->move(0, thumbTop);
  const double ratio = double(thumbTop - ScrollBG_XI->y()) / travel;
  s.content->move(0, kContentTop - static_cast<int>(hidden * ratio));
}

void TOrvaneMain_Form::SplitterMoved(int x) {
  // The panel keeps room for its tiles and the video never vanishes.
  const int wanted = MediaFile_P->width() - (x - Splitter_P->width() / 2);
  const int widest = std::max(skin::panel::kW, VideoFace_P->width() - Splitter_P->width() - 100);
  MediaFile_P->resize(std::clamp(wanted, skin::panel::kW / 2, widest), MediaFile_P->height());
  ArrangeFrame();
}

}  // namespace app
