#include "app/shortcut_text.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string>

namespace app {

namespace {

struct KeyName {
  const char* name;
  int key;
  bool keypad;
};

// The first name of a key is the one a menu shows.
constexpr std::array<KeyName, 40> kKeyNames = {{
    {"BkSp", Qt::Key_Backspace, false},   {"BKSP", Qt::Key_Backspace, false},
    {"Tab", Qt::Key_Tab, false},          {"Esc", Qt::Key_Escape, false},
    {"Enter", Qt::Key_Return, false},     {"Space", Qt::Key_Space, false},
    {"PgUp", Qt::Key_PageUp, false},      {"Page up", Qt::Key_PageUp, false},
    {"PgDn", Qt::Key_PageDown, false},    {"Page down", Qt::Key_PageDown, false},
    {"End", Qt::Key_End, false},          {"Home", Qt::Key_Home, false},
    {"Left", Qt::Key_Left, false},        {"Up", Qt::Key_Up, false},
    {"Right", Qt::Key_Right, false},      {"Down", Qt::Key_Down, false},
    {"Ins", Qt::Key_Insert, false},       {"Del", Qt::Key_Delete, false},
    {"Num 0", Qt::Key_0, true},           {"Num 1", Qt::Key_1, true},
    {"Num 2", Qt::Key_2, true},           {"Num 3", Qt::Key_3, true},
    {"Num 4", Qt::Key_4, true},           {"Num 5", Qt::Key_5, true},
    {"Num 6", Qt::Key_6, true},           {"Num 7", Qt::Key_7, true},
    {"Num 8", Qt::Key_8, true},           {"Num 9", Qt::Key_9, true},
    {"Num +", Qt::Key_Plus, true},        {"Num -", Qt::Key_Minus, true},
    {"Num *", Qt::Key_Asterisk, true},    {"Num /", Qt::Key_Slash, true},
    {"Num Del", Qt::Key_Period, true},    {"Num Lock", Qt::Key_NumLock, false},
    {"Scroll Lock", Qt::Key_ScrollLock, false}, {"Caps Lock", Qt::Key_CapsLock, false},
    {"Backspace", Qt::Key_Backspace, false}, {"Escape", Qt::Key_Escape, false},
    {"Insert", Qt::Key_Insert, false},    {"Delete", Qt::Key_Delete, false},
}};

constexpr std::array<std::pair<const char*, Qt::KeyboardModifier>, 3> kModifierWords = {{
    {"Shift+", Qt::ShiftModifier}, {"Ctrl+", Qt::ControlModifier}, {"Alt+", Qt::AltModifier}}};

constexpr Qt::KeyboardModifiers kChordModifiers =
    Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;

bool SameText(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

bool StartsWithText(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && SameText(text.substr(0, prefix.size()), prefix);
}

// A key the numeric pad also has under its own name.
bool PadHasItsOwn(int key) {
  return (key >= Qt::Key_0 && key <= Qt::Key_9) || key == Qt::Key_Plus || key == Qt::Key_Minus ||
         key == Qt::Key_Asterisk || key == Qt::Key_Slash || key == Qt::Key_Period;
}

Shortcut ParseKeyName(std::string_view name) {
  Shortcut s;
  if (name.size() == 1) {
    const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
    if (c >= 'A' && c <= 'Z') s.key = Qt::Key_A + (c - 'A');
    if (c >= '0' && c <= '9') s.key = Qt::Key_0 + (c - '0');
    return s;
  }
  if ((name[0] == 'F' || name[0] == 'f') && name.size() <= 3) {
    const std::string digits(name.substr(1));
    if (!digits.empty() && std::all_of(digits.begin(), digits.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); })) {
      const int n = std::stoi(digits);
      if (n >= 1 && n <= 12 && digits[0] != '0') s.key = Qt::Key_F1 + (n - 1);
      return s;
    }
  }
  for (const KeyName& k : kKeyNames)
    if (SameText(name, k.name)) {
      s.key = k.key;
      s.keypad = k.keypad;
      break;
    }
  return s;
}

}  // namespace

Shortcut ParseShortcut(std::string_view text) {
  Qt::KeyboardModifiers modifiers;
  // A modifier word needs a key after it: "Num +" and "Ctrl+" stay key names.
  for (bool found = true; found;) {
    found = false;
    for (const auto& [word, flag] : kModifierWords) {
      const std::string_view w(word);
      if (StartsWithText(text, w) && text.size() > w.size()) {
        modifiers |= flag;
        text.remove_prefix(w.size());
        found = true;
      }
    }
  }
  Shortcut s = ParseKeyName(text);
  if (s.valid()) s.modifiers = modifiers;
  return s;
}

bool ShortcutMatches(const Shortcut& s, int key, Qt::KeyboardModifiers modifiers) {
  if (!s.valid() || (modifiers & kChordModifiers) != s.modifiers) return false;
  const bool pad = modifiers.testFlag(Qt::KeypadModifier);
  if (s.key == Qt::Key_Return) return key == Qt::Key_Return || key == Qt::Key_Enter;
  if (key != s.key) return false;
  if (s.keypad) return pad;
  return !pad || !PadHasItsOwn(key);
}

QString ShortcutText(const Shortcut& s) {
  if (!s.valid()) return {};
  QString text;
  for (const auto& [word, flag] : kModifierWords)
    if (s.modifiers.testFlag(flag)) text += QString::fromLatin1(word);
  for (const KeyName& k : kKeyNames)
    if (k.key == s.key && k.keypad == s.keypad) return text + QString::fromLatin1(k.name);
  if (s.key >= Qt::Key_F1 && s.key <= Qt::Key_F12)
    return text + QStringLiteral("F%1").arg(s.key - Qt::Key_F1 + 1);
  return text + QChar(s.key);
}

}  // namespace app
