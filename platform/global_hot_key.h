#pragma once
// A system-wide hot key: a passive key grab on the X root window, on a
// connection of our own so the toolkit's event handling never sees it.
#include <QObject>
#include <map>
#include <set>
#include <vector>

class QSocketNotifier;
struct _XDisplay;

namespace platform {

class GlobalHotKey : public QObject {
  Q_OBJECT
 public:
  // Without an X display (a Wayland session with no XWayland) this says so
  // once on stderr, and every call below fails.
  explicit GlobalHotKey(QObject* parent = nullptr);
  ~GlobalHotKey() override;

  bool Available() const { return display_ != nullptr; }

  // modifierFlags: 1 Alt, 2 Ctrl, 4 Shift (0..7); virtualKey: a Windows
  // virtual-key code. False when a value is unknown, the key is not on this
  // keyboard, another client holds the combination, or we hold it already.
  // An id may carry several combinations; each is matched on its own.
  bool Register(int id, int modifierFlags, int virtualKey);
  // Releases every combination registered under the id.
  void Unregister(int id);

  // A number in 0..0xBFFF that names the text for as long as the X server
  // runs (the server's atom for it); -1 without an X display. Atoms cannot be
  // deleted, so nothing has to be given back.
  int AtomIdentifier(const char* name);

 signals:
  // Once per press of a registered combination, whatever the Caps Lock and
  // Num Lock states; auto-repeat while the key is held does not repeat it.
  void HotKey(int id);

 private:
  struct Grab {
    int id;
    unsigned keycode, modifiers;
  };
  void ReadEvents();
  void ReadEventsSoon();
  std::vector<unsigned> LockVariants() const;

  _XDisplay* display_ = nullptr;
  QSocketNotifier* notifier_ = nullptr;
  unsigned numLockMask_ = 0;
  std::vector<Grab> grabs_;
  std::set<unsigned> held_;                      // keycodes pressed and not yet released
  std::map<unsigned, unsigned long> released_;  // keycode -> time of its last release
};

}  // namespace platform
