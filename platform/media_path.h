#pragma once
// What a path names, decided without opening it: opening a named pipe blocks
// until a writer comes, so nothing may open a media file before this check.
#include <string>

namespace platform {

// True only for a regular file (stat, never open): pipes, devices, sockets
// and folders are not files the player can read.
bool IsRegularFile(const std::string& path);

// Something of any kind is there (a file, folder, pipe or device).
bool PathExists(const std::string& path);

// The path made absolute against the working folder and cleaned of ".",
// ".." and repeated separators; symbolic links are left as they are. An
// empty path stays empty.
std::string AbsolutePath(const std::string& path);

}  // namespace platform
