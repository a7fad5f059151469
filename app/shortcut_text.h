#pragma once
// Shortcut keys as Default.ini holds them: "Ctrl+Alt+P", "Space", "Num +".
#include <QString>
#include <Qt>
#include <string_view>

namespace app {

struct Shortcut {
  Qt::KeyboardModifiers modifiers;  // Shift, Control and Alt only
  int key = 0;                      // a Qt::Key; 0 when the text named none
  bool keypad = false;              // the numeric pad's own key
  bool valid() const { return key != 0; }
  bool operator==(const Shortcut&) const = default;
};

// Modifier words "Shift+", "Ctrl+", "Alt+" (any order, any letter case), then
// a key name: a letter, a digit, "F1".."F12", the short names ("BkSp", "PgUp",
// "Ins", ...) and the long ones the boss-key table uses ("BKSP", "Page up",
// "Num 0".."Num 9", "Num +", "Caps Lock", ...). Anything else gives no shortcut.
Shortcut ParseShortcut(std::string_view text);

// Whether a key press is this shortcut. "Enter" is Return and the keypad's
// Enter; a digit or sign of the numeric pad is only its "Num" name, while the
// pad's arrows and editing keys count as the keys they stand for.
bool ShortcutMatches(const Shortcut& shortcut, int key, Qt::KeyboardModifiers modifiers);

// The text a menu shows for it: "Ctrl+Alt+P", "PgUp", "Num +"; empty for none.
QString ShortcutText(const Shortcut& shortcut);

}  // namespace app
