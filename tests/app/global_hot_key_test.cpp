// The system-wide hot key on a real X server: keys sent with xdotool, and a
// second client holding or wanting the same grabs.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/global_hot_key.h"

using platform::GlobalHotKey;

namespace {

constexpr int kCtrl = 2, kF11 = 0x7A, kF12 = 0x7B;

void Spin(int ms) {
  QElapsedTimer timer;
  timer.start();
  while (timer.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

void Xdotool(const std::string& arguments) {
  ASSERT_EQ(std::system(("xdotool " + arguments).c_str()), 0) << arguments;
}

// The ids HotKey reported while the keys were sent: waits up to 3 s for the
// expected number, then a little longer for any extra ones.
std::vector<int> HotKeysOf(GlobalHotKey& hotKey, const std::string& xdotoolArguments, size_t expected = 1) {
  std::vector<int> ids;
  auto connection = QObject::connect(&hotKey, &GlobalHotKey::HotKey, [&](int id) { ids.push_back(id); });
  Spin(50);
  Xdotool(xdotoolArguments);
  QElapsedTimer timer;
  timer.start();
  while (ids.size() < expected && timer.elapsed() < 3000) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  Spin(400);
  QObject::disconnect(connection);
  return ids;
}

// Another program on the same server.
class OtherClient {
 public:
  OtherClient() : display_(XOpenDisplay(nullptr)) {}
  ~OtherClient() { XCloseDisplay(display_); }
  // False when the server refuses it (someone holds the combination).
  bool Grab(KeySym key, unsigned modifiers) {
    failed_ = false;
    XSync(display_, False);
    XErrorHandler previous = XSetErrorHandler(&OtherClient::Refused);
    XGrabKey(display_, XKeysymToKeycode(display_, key), modifiers, DefaultRootWindow(display_), False,
             GrabModeAsync, GrabModeAsync);
    XSync(display_, False);
    XSetErrorHandler(previous);
    return !failed_;
  }
  void Ungrab(KeySym key, unsigned modifiers) {
    XUngrabKey(display_, XKeysymToKeycode(display_, key), modifiers, DefaultRootWindow(display_));
    XSync(display_, False);
  }

 private:
  static int Refused(Display*, XErrorEvent*) {
    failed_ = true;
    return 0;
  }
  static inline bool failed_ = false;
  Display* display_;
};

}  // namespace

TEST(GlobalHotKey, OnePressGivesOneHotKeyWhateverTheLockKeys) {
  GlobalHotKey hotKey;
  ASSERT_TRUE(hotKey.Available());
  const int id = hotKey.AtomIdentifier("kirrowhan");
  EXPECT_GE(id, 0);
  EXPECT_LE(id, 0xBFFF);
  EXPECT_EQ(hotKey.AtomIdentifier("kirrowhan"), id);
  ASSERT_TRUE(hotKey.Register(id, kCtrl, kF12));

  EXPECT_EQ(HotKeysOf(hotKey, "key ctrl+F12"), std::vector<int>{id});
  EXPECT_TRUE(HotKeysOf(hotKey, "key F12", 0).empty());
  EXPECT_TRUE(HotKeysOf(hotKey, "key ctrl+shift+F12", 0).empty());
  // Held down, the key repeats; the player still toggles once.
  EXPECT_EQ(HotKeysOf(hotKey, "keydown ctrl+F12 sleep 1.2 keyup F12 keyup ctrl"), std::vector<int>{id});

  Xdotool("key Num_Lock");
  EXPECT_EQ(HotKeysOf(hotKey, "key ctrl+F12"), std::vector<int>{id});
  Xdotool("key Caps_Lock");
  EXPECT_EQ(HotKeysOf(hotKey, "key ctrl+F12"), std::vector<int>{id});
  Xdotool("key Num_Lock key Caps_Lock");
  EXPECT_EQ(HotKeysOf(hotKey, "key ctrl+F12"), std::vector<int>{id});
}

TEST(GlobalHotKey, AGrabHeldElsewhereRefusesRegistrationWholly) {
  GlobalHotKey hotKey;
  OtherClient other;
  // The other program holds only the Caps Lock variant of Ctrl+F12.
  ASSERT_TRUE(other.Grab(XK_F12, ControlMask | LockMask));
  EXPECT_FALSE(hotKey.Register(7, kCtrl, kF12));
  other.Ungrab(XK_F12, ControlMask | LockMask);
  // Nothing of the refused registration is left behind.
  EXPECT_TRUE(other.Grab(XK_F12, ControlMask));
  EXPECT_TRUE(other.Grab(XK_F12, ControlMask | Mod2Mask));
  EXPECT_TRUE(HotKeysOf(hotKey, "key ctrl+F12", 0).empty());
  // And the program goes on with another key.
  ASSERT_TRUE(hotKey.Register(7, kCtrl, kF11));
  EXPECT_EQ(HotKeysOf(hotKey, "key ctrl+F11"), std::vector<int>{7});
}

TEST(GlobalHotKey, UnregisterFreesEveryKeyOfTheId) {
  GlobalHotKey hotKey;
  OtherClient other;
  ASSERT_TRUE(hotKey.Register(3, kCtrl, kF12));
  ASSERT_TRUE(hotKey.Register(3, kCtrl, kF11));  // a second key under the same id
  EXPECT_FALSE(other.Grab(XK_F12, ControlMask));
  EXPECT_EQ(HotKeysOf(hotKey, "key ctrl+F11 key ctrl+F12", 2), (std::vector<int>{3, 3}));
  hotKey.Unregister(3);
  EXPECT_TRUE(other.Grab(XK_F12, ControlMask));
  EXPECT_TRUE(other.Grab(XK_F11, ControlMask | Mod2Mask));
  EXPECT_TRUE(HotKeysOf(hotKey, "key ctrl+F11 key ctrl+F12", 0).empty());
}

TEST(GlobalHotKey, UnknownValuesAndTakenCombinationsAreRefused) {
  GlobalHotKey hotKey;
  EXPECT_FALSE(hotKey.Register(1, kCtrl, 0x07));  // no key has this code
  EXPECT_FALSE(hotKey.Register(1, kCtrl, -1));
  EXPECT_FALSE(hotKey.Register(1, -1, kF12));
  EXPECT_FALSE(hotKey.Register(1, 8, kF12));
  EXPECT_FALSE(hotKey.Register(-1, kCtrl, kF12));
  ASSERT_TRUE(hotKey.Register(1, kCtrl, kF12));
  // Registered once only, as on the system the settings come from.
  EXPECT_FALSE(hotKey.Register(2, kCtrl, kF12));
  EXPECT_EQ(HotKeysOf(hotKey, "key ctrl+F12"), std::vector<int>{1});
}

TEST(GlobalHotKey, WithoutAnXDisplayEverythingFailsAfterOneNotice) {
  const std::string display = std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "";
  unsetenv("DISPLAY");
  testing::internal::CaptureStderr();
  {
    GlobalHotKey first, second;
    EXPECT_FALSE(first.Available());
    EXPECT_FALSE(first.Register(1, kCtrl, kF12));
    EXPECT_EQ(first.AtomIdentifier("kirrowhan"), -1);
    first.Unregister(1);
  }
  const std::string said = testing::internal::GetCapturedStderr();
  setenv("DISPLAY", display.c_str(), 1);
  EXPECT_EQ(said, "the system-wide boss key is not available: there is no X display\n");
}

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
