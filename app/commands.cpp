#include "app/commands.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>
#include <cstdio>
#include <cstdlib>

#include "platform/x11_window.h"

namespace app {

namespace {
// The full-screen item keeps Enter whatever its stored key says.
const Shortcut kFullScreenEnter = ParseShortcut("Enter");
}  // namespace

Commands::Commands(QWidget* window) : QObject(window), window_(window) {
  for (std::size_t i = 0; i < settings::kCommandCount; ++i) {
    QAction* action = new QAction(QString::fromUtf8(settings::kCommands[i].action), this);
    action->setObjectName(settings::kCommands[i].action);
    action->setEnabled(false);
    connect(action, &QAction::triggered, this, [this, i] { Run(static_cast<Command>(i)); });
    actions_[i] = action;
  }
  if (const char* log = std::getenv("ORVANE_COMMAND_LOG")) logPath_ = log;
  qApp->installEventFilter(this);
}

Commands::~Commands() {
  if (qApp) qApp->removeEventFilter(this);
}

QAction* Commands::AddItem(Command c, QMenu* menu) {
  const std::size_t i = Index(c);
  QAction* item = new QAction(QString::fromUtf8(settings::kCommands[i].caption), menu);
  menu->addAction(item);
  item->setObjectName(settings::kCommands[i].item);
  item->setEnabled(HasHandler(c));
  connect(item, &QAction::triggered, this, [this, c] { Run(c); });
  items_[i] = item;
  ShowShortcut(i);
  return item;
}

void Commands::Bind(Command c, std::function<void()> handler) {
  const std::size_t i = Index(c);
  handlers_[i] = std::move(handler);
  actions_[i]->setEnabled(HasHandler(c));
  // An item made before its room arrived follows it; the session's groups
  // are set over this by the play state.
  if (items_[i]) items_[i]->setEnabled(HasHandler(c));
}

void Commands::Run(Command c) {
  const std::size_t i = Index(c);
  if (!handlers_[i]) return;
  if (!logPath_.empty()) {
    if (FILE* f = std::fopen(logPath_.c_str(), "a")) {
      std::fprintf(f, "%s\n", settings::kCommands[i].key);
      std::fclose(f);
    }
  }
  // A copy: the handler may rebind commands while it runs.
  std::function<void()> handler = handlers_[i];
  handler();
}

void Commands::RegisterShortcuts(const settings::SettingsStore& store) {
  for (std::size_t i = 0; i < settings::kCommandCount; ++i) {
    shortcuts_[i] = ParseShortcut(store.ReadText("ShortCut", settings::kCommands[i].key));
    ShowShortcut(i);
  }
}

// Shown after a tab, as a menu draws a shortcut, but never bound: the
// toolkit would take Up, Down, Left and Right from an open menu for them.
void Commands::ShowShortcut(std::size_t i) {
  QString text = QString::fromUtf8(settings::kCommands[i].caption);
  if (shortcuts_[i].valid()) text += '\t' + ShortcutText(shortcuts_[i]);
  if (items_[i]) items_[i]->setText(text);
}

int Commands::CommandForKey(int key, Qt::KeyboardModifiers modifiers) const {
  for (std::size_t i = 0; i < settings::kCommandCount; ++i)
    if (ShortcutMatches(shortcuts_[i], key, modifiers)) return static_cast<int>(i);
  if (ShortcutMatches(kFullScreenEnter, key, modifiers))
    return static_cast<int>(Command::FullScreen);
  return -1;
}

// Shift changes what a digit or sign key types ("Shift+1" arrives as "!"), but
// a shortcut names the key itself.
int Commands::KeyWithoutShift(const QKeyEvent& event) {
  if (!event.modifiers().testFlag(Qt::ShiftModifier) ||
      event.modifiers().testFlag(Qt::KeypadModifier))
    return event.key();
  const unsigned long sym = platform::UnshiftedKeySym(event.nativeScanCode());
  if (sym >= '0' && sym <= '9') return Qt::Key_0 + static_cast<int>(sym - '0');
  if (sym >= 'a' && sym <= 'z') return Qt::Key_A + static_cast<int>(sym - 'a');
  return event.key();
}

bool Commands::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) return false;
  auto* widget = static_cast<QWidget*>(watched);
  // Only keys meant for the main window itself: a dialog or an open menu has its own.
  if (widget->window() != window_ || QApplication::activePopupWidget() ||
      QApplication::activeModalWidget())
    return false;
  auto* key = static_cast<QKeyEvent*>(event);
  const int found = CommandForKey(KeyWithoutShift(*key), key->modifiers());
  if (found < 0 || !HasHandler(static_cast<Command>(found))) return false;
  Run(static_cast<Command>(found));
  return true;
}

}  // namespace app
