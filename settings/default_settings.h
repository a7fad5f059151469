#pragma once
// The built-in default text of Default.ini.
#include <array>
#include <string>

namespace settings {

// Lines separated by a single CR, as the constant is held.
const std::string& DefaultSettingsConstant();

// The file content: every line, the last included, ended by CR LF.
std::string DefaultSettingsFileText();

}  // namespace settings
