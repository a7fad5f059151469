#pragma once
// The 29 commands: one menu item and one action each, both carrying the
// shortcut read from [ShortCut], both running the one handler. Key presses
// are matched here rather than by the toolkit, which refuses a key that two
// commands share (the default table gives "Right" to two).
#include <QAction>
#include <QMenu>
#include <QObject>
#include <array>
#include <functional>
#include <string>

#include "app/shortcut_text.h"
#include "settings/command_table.h"
#include "settings/settings_store.h"

namespace app {

using settings::Command;

class Commands : public QObject {
  Q_OBJECT
 public:
  // Key presses reach the commands while `window` is the active window.
  explicit Commands(QWidget* window);
  ~Commands() override;

  // The menu item of a command, created with its caption and name and added
  // to the menu; the action object is made here as well.
  QAction* Item(Command c) const { return items_[Index(c)]; }
  QAction* Action(Command c) const { return actions_[Index(c)]; }
  QAction* AddItem(Command c, QMenu* menu);
  // The command's handler. A command without one (its room is not built
  // yet) stays disabled and runs nothing.
  void Bind(Command c, std::function<void()> handler);
  bool HasHandler(Command c) const { return static_cast<bool>(handlers_[Index(c)]); }
  void Run(Command c);

  // Reads every key of [ShortCut] and gives it to the item and the action.
  void RegisterShortcuts(const settings::SettingsStore& store);
  const Shortcut& ShortcutOf(Command c) const { return shortcuts_[Index(c)]; }
  // The first command whose shortcut the key press is; -1 for none.
  int CommandForKey(int key, Qt::KeyboardModifiers modifiers) const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  static int KeyWithoutShift(const QKeyEvent& event);

 private:
  static std::size_t Index(Command c) { return static_cast<std::size_t>(c); }
  void ShowShortcut(std::size_t i);

  QWidget* window_;
  std::array<QAction*, settings::kCommandCount> items_{};
  std::array<QAction*, settings::kCommandCount> actions_{};
  std::array<std::function<void()>, settings::kCommandCount> handlers_{};
  std::array<Shortcut, settings::kCommandCount> shortcuts_{};
  std::string logPath_;  // ORVANE_COMMAND_LOG: every command run, one per line
};

}  // namespace app
