#pragma once
// Whole-file reads and crash-safe whole-file writes.
#include <optional>
#include <string>

namespace platform {

// The file's bytes, or nothing when it cannot be opened.
std::optional<std::string> ReadWholeFile(const std::string& path);

// Writes a temporary file in the same folder and renames it over the target,
// so a crash never leaves a truncated file behind.
bool WriteFileAtomically(const std::string& path, const std::string& content);

// A regular file is there (never opens it; see IsRegularFile).
bool FileExists(const std::string& path);

}  // namespace platform
