#pragma once
// The built-in default text of Default.ini and the command shortcut table.
#include <array>
#include <string>

namespace settings {

struct ShortcutDefault {
  const char* command;  // key in [ShortCut], the command identifier
  const char* keyText;
};

// The 29 commands in their fixed order.
extern const std::array<ShortcutDefault, 29> kShortcutDefaults;

// Lines separated by a single CR, as the constant is held.
const std::string& DefaultSettingsConstant();

// The file content: every line, the last included, ended by CR LF.
std::string DefaultSettingsFileText();

}  // namespace settings
