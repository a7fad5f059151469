// Shortcut texts as Default.ini and the options dialog hold them, and the key
// presses each one answers.
#include <gtest/gtest.h>

#include "app/shortcut_text.h"
#include "settings/command_table.h"

using app::ParseShortcut;
using app::Shortcut;
using app::ShortcutMatches;

namespace {
constexpr Qt::KeyboardModifiers kNone = Qt::NoModifier;
constexpr Qt::KeyboardModifiers kCtrl = Qt::ControlModifier;
constexpr Qt::KeyboardModifiers kPad = Qt::KeypadModifier;

bool Is(std::string_view text, int key, Qt::KeyboardModifiers modifiers) {
  return ShortcutMatches(ParseShortcut(text), key, modifiers);
}
}  // namespace

TEST(ShortcutText, EveryDefaultKeyNamesItsKey) {
  // The stored defaults, then the options dialog's own table where it differs.
  const std::pair<const char*, std::pair<int, Qt::KeyboardModifiers>> expected[] = {
      {"Ctrl+O", {Qt::Key_O, kCtrl}},           {"Ctrl+D", {Qt::Key_D, kCtrl}},
      {"Ctrl+C", {Qt::Key_C, kCtrl}},           {"F6", {Qt::Key_F6, kNone}},
      {"Ctrl+Alt+P", {Qt::Key_P, kCtrl | Qt::AltModifier}},
      {"Space", {Qt::Key_Space, kNone}},        {"Ctrl+S", {Qt::Key_S, kCtrl}},
      {"F11", {Qt::Key_F11, kNone}},            {"PgUp", {Qt::Key_PageUp, kNone}},
      {"PgDn", {Qt::Key_PageDown, kNone}},      {"Ctrl+G", {Qt::Key_G, kCtrl}},
      {"Ctrl+Right", {Qt::Key_Right, kCtrl}},   {"Ctrl+Left", {Qt::Key_Left, kCtrl}},
      {"Ctrl+Up", {Qt::Key_Up, kCtrl}},         {"Ctrl+Down", {Qt::Key_Down, kCtrl}},
      {"Ctrl+R", {Qt::Key_R, kCtrl}},           {"Left", {Qt::Key_Left, kNone}},
      {"Right", {Qt::Key_Right, kNone}},        {"Up", {Qt::Key_Up, kNone}},
      {"Down", {Qt::Key_Down, kNone}},          {"Ctrl+M", {Qt::Key_M, kCtrl}},
      {"F10", {Qt::Key_F10, kNone}},            {"Alt+L", {Qt::Key_L, Qt::AltModifier}},
      {"Alt+R", {Qt::Key_R, Qt::AltModifier}},  {"Ctrl+F12", {Qt::Key_F12, kCtrl}},
      {"Ctrl+Alt+C", {Qt::Key_C, kCtrl | Qt::AltModifier}},
      {"Ctrl+Alt+O", {Qt::Key_O, kCtrl | Qt::AltModifier}},
      {"Ctrl+L", {Qt::Key_L, kCtrl}},           {"Enter", {Qt::Key_Return, kNone}},
      {"Page Up", {Qt::Key_PageUp, kNone}},     {"Page Down", {Qt::Key_PageDown, kNone}},
      {"Ctrl+B", {Qt::Key_B, kCtrl}},
  };
  for (const auto& command : settings::kCommands) {
    bool listed = false;
    for (const auto& [text, key] : expected) listed |= std::string_view(text) == command.defaultKey;
    EXPECT_TRUE(listed) << command.defaultKey;
  }
  for (const auto& [text, key] : expected) {
    EXPECT_TRUE(Is(text, key.first, key.second)) << text;
    // One modifier more or less is another key.
    EXPECT_FALSE(Is(text, key.first, key.second ^ Qt::ShiftModifier)) << text;
    EXPECT_EQ(ParseShortcut(app::ShortcutText(ParseShortcut(text)).toStdString()),
              ParseShortcut(text))
        << text;
  }
}

TEST(ShortcutText, KeyNamesOfTheBossKeyTableAndTheKeypad) {
  EXPECT_TRUE(Is("BkSp", Qt::Key_Backspace, kNone));
  EXPECT_TRUE(Is("BKSP", Qt::Key_Backspace, kNone));
  EXPECT_TRUE(Is("Caps Lock", Qt::Key_CapsLock, kNone));
  EXPECT_TRUE(Is("Shift+Scroll Lock", Qt::Key_ScrollLock, Qt::ShiftModifier));
  // "Enter" is Return and the keypad's Enter.
  EXPECT_TRUE(Is("Enter", Qt::Key_Enter, kPad));
  // The pad's digits and signs are their own keys; its arrows are arrows.
  EXPECT_TRUE(Is("Num 7", Qt::Key_7, kPad));
  EXPECT_FALSE(Is("Num 7", Qt::Key_7, kNone));
  EXPECT_FALSE(Is("7", Qt::Key_7, kPad));
  EXPECT_TRUE(Is("Ctrl+Num +", Qt::Key_Plus, kCtrl | kPad));
  EXPECT_FALSE(Is("Ctrl+Num +", Qt::Key_Plus, kCtrl));
  EXPECT_TRUE(Is("Num Del", Qt::Key_Period, kPad));
  EXPECT_TRUE(Is("Left", Qt::Key_Left, kPad));
  EXPECT_EQ(app::ShortcutText(ParseShortcut("ctrl+num +")), "Ctrl+Num +");
  EXPECT_EQ(app::ShortcutText(ParseShortcut("Page down")), "PgDn");
}

TEST(ShortcutText, TextNotUnderstoodGivesNoShortcut) {
  for (const char* text : {"Value no find", "", "Ctrl+", "+", "Ctrl++", "Ctrl+Foo", "F13", "F0",
                           "F01", "Fn", "Num 10", "Ctrl Alt P", "PageUp", "AB"})
    EXPECT_FALSE(ParseShortcut(text).valid()) << text;
}
