#include "platform/global_hot_key.h"

#include <QMetaObject>
#include <QPointer>
#include <QSocketNotifier>
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <cstdio>

namespace platform {
namespace {

KeySym KeysymOf(int virtualKey) {
  if (virtualKey >= 0x41 && virtualKey <= 0x5A) return XK_a + (virtualKey - 0x41);
  if (virtualKey >= 0x30 && virtualKey <= 0x39) return XK_0 + (virtualKey - 0x30);
  if (virtualKey >= 0x60 && virtualKey <= 0x69) return XK_KP_0 + (virtualKey - 0x60);
  if (virtualKey >= 0x70 && virtualKey <= 0x7B) return XK_F1 + (virtualKey - 0x70);
  switch (virtualKey) {
    case 0x08: return XK_BackSpace;
    case 0x09: return XK_Tab;
    case 0x0D: return XK_Return;
    case 0x14: return XK_Caps_Lock;
    case 0x1B: return XK_Escape;
    case 0x20: return XK_space;
    case 0x21: return XK_Prior;
    case 0x22: return XK_Next;
    case 0x23: return XK_End;
    case 0x24: return XK_Home;
    case 0x25: return XK_Left;
    case 0x26: return XK_Up;
    case 0x27: return XK_Right;
    case 0x28: return XK_Down;
    case 0x2D: return XK_Insert;
    case 0x2E: return XK_Delete;
    case 0x6A: return XK_KP_Multiply;
    case 0x6B: return XK_KP_Add;
    case 0x6D: return XK_KP_Subtract;
    // The pad's "." key: its first level is KP_Delete, which finds that key;
    // KP_Decimal may also sit on a spare keycode no keyboard sends.
    case 0x6E: return XK_KP_Delete;
    case 0x6F: return XK_KP_Divide;
    case 0x90: return XK_Num_Lock;
    case 0x91: return XK_Scroll_Lock;
    default: return NoSymbol;
  }
}

unsigned XModifiers(int flags) {
  return ((flags & 1) ? Mod1Mask : 0) | ((flags & 2) ? ControlMask : 0) | ((flags & 4) ? ShiftMask : 0);
}

// Which ModN the Num Lock key sets on this keyboard (Mod2 almost everywhere).
unsigned FindNumLockMask(Display* display) {
  unsigned mask = 0;
  const KeyCode numLock = XKeysymToKeycode(display, XK_Num_Lock);
  XModifierKeymap* map = XGetModifierMapping(display);
  if (!map) return Mod2Mask;
  for (int modifier = Mod1MapIndex; modifier <= Mod5MapIndex && numLock; ++modifier)
    for (int k = 0; k < map->max_keypermod; ++k)
      if (map->modifiermap[modifier * map->max_keypermod + k] == numLock) mask = 1u << modifier;
  XFreeModifiermap(map);
  // Num Lock on Alt would make the lock variants collide with real combinations.
  if (mask == Mod1Mask) mask = 0;
  return mask ? mask : Mod2Mask;
}

// Xlib reports a refused grab through the process-wide error handler, and
// only once the request has reached the server; we catch errors of our own
// connection for the length of one XSync.
Display* trapDisplay = nullptr;
bool trapped = false;
XErrorHandler previousHandler = nullptr;

int TrapError(Display* display, XErrorEvent* error) {
  if (display == trapDisplay) {
    trapped = true;
    return 0;
  }
  return previousHandler ? previousHandler(display, error) : 0;
}

}  // namespace

GlobalHotKey::GlobalHotKey(QObject* parent) : QObject(parent) {
  display_ = XOpenDisplay(nullptr);
  if (!display_) {
    static bool said = false;
    if (!said)
      std::fprintf(stderr, "the system-wide boss key is not available: there is no X display\n");
    said = true;
    return;
  }
  // Held keys then repeat as presses alone, without a release between them.
  Bool detectable = False;
  XkbSetDetectableAutoRepeat(display_, True, &detectable);
  numLockMask_ = FindNumLockMask(display_);
  notifier_ = new QSocketNotifier(ConnectionNumber(display_), QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, &GlobalHotKey::ReadEvents);
}

GlobalHotKey::~GlobalHotKey() {
  if (!display_) return;
  delete notifier_;
  XCloseDisplay(display_);  // the server drops our grabs with the connection
}

std::vector<unsigned> GlobalHotKey::LockVariants() const {
  return {0u, static_cast<unsigned>(LockMask), numLockMask_, LockMask | numLockMask_};
}

bool GlobalHotKey::Register(int id, int modifierFlags, int virtualKey) {
  if (!display_ || id < 0 || modifierFlags < 0 || modifierFlags > 7) return false;
  const KeySym symbol = KeysymOf(virtualKey);
  if (symbol == NoSymbol) return false;
  const KeyCode keycode = XKeysymToKeycode(display_, symbol);
  if (!keycode) return false;
  const unsigned modifiers = XModifiers(modifierFlags);
  for (const Grab& grab : grabs_)
    if (grab.keycode == keycode && grab.modifiers == modifiers) return false;

  const Window root = DefaultRootWindow(display_);
  XSync(display_, False);
  trapDisplay = display_;
  trapped = false;
  previousHandler = XSetErrorHandler(TrapError);
  for (unsigned variant : LockVariants())
    XGrabKey(display_, keycode, modifiers | variant, root, False, GrabModeAsync, GrabModeAsync);
  XSync(display_, False);
  XSetErrorHandler(previousHandler);
  trapDisplay = nullptr;
  const bool refused = trapped;
  if (refused) {
    // Ungrabbing touches only our own grabs, never the other client's.
    for (unsigned variant : LockVariants()) XUngrabKey(display_, keycode, modifiers | variant, root);
    XSync(display_, False);
  } else {
    grabs_.push_back({id, keycode, modifiers});
    held_.erase(keycode);
  }
  ReadEventsSoon();
  return !refused;
}

void GlobalHotKey::Unregister(int id) {
  if (!display_) return;
  const Window root = DefaultRootWindow(display_);
  for (auto it = grabs_.begin(); it != grabs_.end();) {
    if (it->id != id) {
      ++it;
      continue;
    }
    for (unsigned variant : LockVariants()) XUngrabKey(display_, it->keycode, it->modifiers | variant, root);
    // A release that comes after the ungrab goes to another window.
    held_.erase(it->keycode);
    it = grabs_.erase(it);
  }
  XSync(display_, False);
  ReadEventsSoon();
}

int GlobalHotKey::AtomIdentifier(const char* name) {
  if (!display_ || !name) return -1;
  const Atom atom = XInternAtom(display_, name, False);
  if (atom == None) return -1;
  // Servers hand out small atoms; fold a huge one into the identifier range.
  return static_cast<int>(atom % 0xC000);
}

// XSync may read events into Xlib's queue, where the socket notifier cannot
// see them.
void GlobalHotKey::ReadEventsSoon() {
  if (XQLength(display_) > 0) QMetaObject::invokeMethod(this, &GlobalHotKey::ReadEvents, Qt::QueuedConnection);
}

void GlobalHotKey::ReadEvents() {
  if (!display_) return;
  const unsigned relevant = (ShiftMask | ControlMask | Mod1Mask | Mod2Mask | Mod3Mask | Mod4Mask | Mod5Mask) &
                            ~numLockMask_;
  std::vector<int> pressed;
  while (XPending(display_)) {
    XEvent event;
    XNextEvent(display_, &event);
    if (event.type == MappingNotify) {
      XRefreshKeyboardMapping(&event.xmapping);
      continue;
    }
    if (event.type != KeyPress && event.type != KeyRelease) continue;
    const unsigned keycode = event.xkey.keycode;
    if (event.type == KeyRelease) {
      held_.erase(keycode);
      released_[keycode] = event.xkey.time;
      continue;
    }
    // Without detectable auto-repeat a repeat is a release and a press at the same time.
    const auto release = released_.find(keycode);
    const bool repeat = held_.count(keycode) || (release != released_.end() && release->second == event.xkey.time);
    held_.insert(keycode);
    if (repeat) continue;
    for (const Grab& grab : grabs_)
      if (grab.keycode == keycode && grab.modifiers == (event.xkey.state & relevant)) pressed.push_back(grab.id);
  }
  // A receiver may register, unregister or even delete us.
  QPointer<GlobalHotKey> self(this);
  for (int id : pressed) {
    if (!self) return;
    emit HotKey(id);
  }
}

}  // namespace platform
