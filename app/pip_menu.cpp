// Picture in picture in the window: the open command, the two dialogs, the
// PIP menu items, the list and the mouse on the picture while a pair plays.
#include <QMouseEvent>

#include "app/main_form.h"
#include "pip/pip_setup_form.h"

namespace app {

namespace {

// The standard position each "画面位置" item stands for, in menu order.
constexpr int kPositionOfItem[] = {1, 3, 2, 4, 5};

Qt::CursorShape Shape(pip::Cursor cursor) {
  switch (cursor) {
    case pip::Cursor::SizeWE: return Qt::SizeHorCursor;
    case pip::Cursor::SizeNS: return Qt::SizeVerCursor;
    case pip::Cursor::SizeNWSE: return Qt::SizeFDiagCursor;
    case pip::Cursor::SizeNESW: return Qt::SizeBDiagCursor;
    case pip::Cursor::Hand: return Qt::PointingHandCursor;
    case pip::Cursor::SizeAll: return Qt::SizeAllCursor;
    default: return Qt::ArrowCursor;
  }
}

// The mouse on the video panel while a pair plays: placing the small picture.
// A release that ends a drag is no click: the play command runs instead.
class PipMouse final : public QObject {
 public:
  PipMouse(TOrvaneMain_Form* form, QWidget* panel) : QObject(panel), form_(form), panel_(panel) {
    panel->installEventFilter(this);
  }
  bool eventFilter(QObject*, QEvent* event) override {
    engine::Session& s = form_->session();
    pip::PipSession& pip = form_->pipSession();
    if (s.PlayType != engine::kPlayPip || !pip.MixerPresent()) {
      // A session that ended under a sizing cursor leaves the plain one.
      if (shown_ != pip::Cursor::Default) Show(pip::Cursor::Default);
      pressed_ = false;
      return false;
    }
    switch (event->type()) {
      case QEvent::MouseButtonPress: {
        auto* e = static_cast<QMouseEvent*>(event);
        if (e->button() != Qt::LeftButton) return false;
        const QPoint at = e->position().toPoint();
        Show(pip.MouseDown(at.x(), at.y(), shown_));
        pressed_ = true;
        return false;
      }
      case QEvent::MouseMove: {
        auto* e = static_cast<QMouseEvent*>(event);
        const QPoint at = e->position().toPoint();
        const bool held = pressed_ && (e->buttons() & Qt::LeftButton);
        if (auto cursor = pip.MouseMove(at.x(), at.y(), held, {panel_->width(), panel_->height()}))
          Show(*cursor);
        return false;
      }
      case QEvent::MouseButtonRelease: {
        auto* e = static_cast<QMouseEvent*>(event);
        if (e->button() != Qt::LeftButton || !pressed_) return false;
        pressed_ = false;
        if (!pip.MouseUp()) return false;
        Show(pip::Cursor::Default);
        s.PlayCommand();
        form_->UpdateTransportButtons();
        return true;
      }
      default:
        return false;
    }
  }

 private:
  void Show(pip::Cursor cursor) {
    shown_ = cursor;
    panel_->setCursor(Shape(cursor));
  }
  TOrvaneMain_Form* form_;
  QWidget* panel_;
  pip::Cursor shown_ = pip::Cursor::Default;
  bool pressed_ = false;
};

}  // namespace

void TOrvaneMain_Form::BuildPipMenu() {
  auto on = [this](QAction* item, std::function<void()> action) {
    connect(item, &QAction::triggered, this, std::move(action));
  };
  on(pOpenpictureinpicture, [this] { OpenPipCommand(); });
  if (QAction* twin = Play_Pop->findChild<QAction*>("mOpenPictureInPicture"))
    on(twin, [this] { OpenPipCommand(); });
  const auto named = [this](const char* name) { return Main_Pop->findChild<QAction*>(name); };
  on(named("pPipsetup"), [this] {
    if (session_.PlayType == engine::kPlayPip) ShowPipSetup(0);
  });
  on(named("pPicalpha"), [this] { ShowPipSetup(1); });
  on(named("pPicswap"), [this] {
    if (session_.PlayType == engine::kPlayPip) pip_->SwapPictures();
  });
  on(named("pPicRestore"), [this] {
    if (session_.PlayType == engine::kPlayPip) pip_->SetStandardPosition(5);
  });
  pipPositionGroup.SetClickHandler([this](QAction* item) {
    if (session_.PlayType != engine::kPlayPip) return;
    pip_->SetStandardPosition(kPositionOfItem[pipPositionGroup.IndexOf(item)]);
  });
  pipReverseGroup.SetClickHandler([this](QAction* item) {
    if (session_.PlayType != engine::kPlayPip || !pip_->Available()) return;
    switch (pipReverseGroup.IndexOf(item)) {
      case 0: pip_->ResetFlip(); break;
      case 1: pip_->FlipUpDown(); break;
      case 2: pip_->FlipLeftRight(); break;
      default: pip_->FlipBoth(); break;
    }
    pipReverseGroup.UncheckAll();
    item->setChecked(true);
  });
  session_.OnPipOpened = [this] { pip_->AfterOpen(); };
  session_.OnPipStep = [this] { pip_->SwapPictures(); };
  new PipMouse(this, Video_P);
}

void TOrvaneMain_Form::RefreshPipMenu() {
  const bool available = pip_->Available();
  pOpenpictureinpicture->setEnabled(available);
  for (QAction* a : pipItems) a->setEnabled(available && pipShown_);
  // The stored placement shows as a checked standard position.
  pipPositionGroup.UncheckAll();
  if (store_.ReadInt("Pip", "PositionType") == pip::kStandardPosition) {
    const int position = store_.ReadInt("Pip", "SmallPosition");
    for (int i = 0; i < 5; ++i)
      if (kPositionOfItem[i] == position) pipPositionGroup.at(static_cast<size_t>(i))->setChecked(true);
  }
}

void TOrvaneMain_Form::ShowPipInfo() {
  pipShown_ = true;
  session_.ShowMediaInfo();
  RefreshPipMenu();
}

void TOrvaneMain_Form::OpenPipCommand() {
  if (!pip_->Available()) return;
  std::string a, b;
  if (parts_.prompt->ChoosePipFiles(InterfaceLanguage, &a, &b) != 1 || a.empty() || b.empty())
    return;
  playList_.Replace({a, b});
  playList_.PlayListIndex = 0;
  if (session_.MergeIntoHistory) session_.MergeIntoHistory({a, b});
  session_.PlayRate = 1.0;
  session_.CloseSession();
  if (!pip_->OpenPip(a, b)) {
    RefreshPlayList(playList_.PlayListIndex);
    return;
  }
  LeaveFullScreenAtOpen();
  RefreshPlayList(playList_.PlayListIndex);
  ShowPlayListPage(false);
  ShowPipInfo();
  FullScreenAtOnce();
}

void TOrvaneMain_Form::ShowPipSetup(int page) {
  if (!pip_->Available()) return;
  pip::ShowPipSetupDialog(*pip_, store_, page, InterfaceLanguage, font(), this,
                          session_.PipMediaFileA, session_.PipMediaFileB);
}

void TOrvaneMain_Form::ReloadLastPip() {
  if (!pip_->ReloadLastPip(MemoryLastPos, ResumePosition)) {
    RefreshPlayList(playList_.PlayListIndex);
    return;
  }
  RefreshPlayList(playList_.PlayListIndex);
  ShowPlayListPage(false);
  ShowPipInfo();
  FullScreenAtOnce();
}

}  // namespace app
