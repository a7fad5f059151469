#pragma once
#include <string>

namespace engine {

// Whether the media library found at run time is new enough for the player.
bool AudioEngineVersionOk();
// Its library name as the version message shows it.
std::string AudioEngineLibraryName();

}  // namespace engine
