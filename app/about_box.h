#pragma once
// What the About box says: the version, who made it, a short history and the
// shortcut of every command as it is bound now.
#include <string>

#include "app/commands.h"

namespace app {

inline constexpr const char* kAboutCaption = "关于";
inline constexpr const char* kVersion = "2.0";

std::string AboutText(const Commands& commands);

}  // namespace app
