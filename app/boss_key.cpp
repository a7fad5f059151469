// The boss key: one system-wide key that hides the player and pauses it, and
// shows it again.
#include <QApplication>
#include <QGuiApplication>
#include <QWindow>
#include <cstdio>

#include "app/boss_key_text.h"
#include "app/main_form.h"

namespace app {

namespace {
// The name the hot key's identifier is taken from.
constexpr const char* kBossKeyAtom = "kirrowhan";
}  // namespace

void TOrvaneMain_Form::RegisterBossKey() {
  // A window drawn off screen has nothing to hide from anyone.
  if (QGuiApplication::platformName() == "offscreen") return;
  if (!hotKey_) {
    hotKey_ = new platform::GlobalHotKey(this);
    connect(hotKey_, &platform::GlobalHotKey::HotKey, this, [this](int id) {
      if (id == bossKeyId_ && bossKeyRegistered_) commands_->Run(Command::BossKey);
    });
    bossKeyId_ = hotKey_->AtomIdentifier(kBossKeyAtom);
  }
  const std::string text = store_.ReadText("ShortCut", "BossKey");
  const BossKeyParts parts = SplitBossKeyText(text);
  bossKeyRegistered_ =
      hotKey_->Register(bossKeyId_, BossModifierFlags(parts.modifier), BossKeyCode(parts.key));
  // Not a message box at start; the terminal learns why the key does nothing.
  if (!bossKeyRegistered_)
    std::fprintf(stderr, "OrvanePlayer: the boss key \"%s\" could not be registered\n",
                 text.c_str());
}

void TOrvaneMain_Form::UnregisterBossKey() {
  if (hotKey_ && bossKeyRegistered_) hotKey_->Unregister(bossKeyId_);
  bossKeyRegistered_ = false;
}

bool TOrvaneMain_Form::ReregisterBossKey(int modifierFlags, int keyCode) {
  if (!hotKey_) return false;
  const bool free = hotKey_->Register(bossKeyId_, modifierFlags, keyCode);
  hotKey_->Unregister(bossKeyId_);
  bossKeyRegistered_ = false;
  return free;
}

void TOrvaneMain_Form::ToggleBossKey() {
  if (!BossHidden) {
    // Hidden, the window comes back only through the system-wide key: without
    // it, hiding would leave no way back. (Off screen nobody is stranded.)
    if (!bossKeyRegistered_ && QGuiApplication::platformName() != "offscreen") return;
    bossState_ = shownState_;
    if (isFullScreen()) bossState_ = Qt::WindowFullScreen;
    else if (isMaximized()) bossState_ = Qt::WindowMaximized;
    // Every window of the player goes: an open dialog is cancelled as it hides.
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w != this && w->isVisible()) w->hide();
    hide();  // the taskbar entry goes with the window
    // Only what plays is paused, so only that is resumed later.
    bossPaused_ = session_.IsPlaying && !session_.IsPaused;
    if (bossPaused_) {
      session_.PauseSession();
      UpdateTransportButtons();
    }
  } else {
    // A normal window comes back where it was; the toolkit kept its place.
    if (bossState_ == Qt::WindowNoState) {
      show();
      if (isMinimized()) showNormal();
    } else
      ShowInState(bossState_);
    raise();
    activateWindow();
    if (bossPaused_ && session_.IsPlaying && session_.IsPaused) {
      session_.ResumeSession();
      UpdateTransportButtons();
    }
    bossPaused_ = false;
  }
  BossHidden = !BossHidden;
}

}  // namespace app
