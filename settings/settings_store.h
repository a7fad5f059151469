#pragma once
// Default.ini: read text, read integer, write text. Nothing is cached.
#include <string>
#include <string_view>

#include "platform/program_folders.h"

namespace settings {

inline constexpr const char* kValueNoFind = "Value no find";

class SettingsStore {
 public:
  explicit SettingsStore(std::string path = {}) : path_(std::move(path)) {}

  const std::string& Path() const { return path_; }
  void SetPath(std::string path) { path_ = std::move(path); }

  // Writes the default text when no file exists; true when a file exists after.
  bool EnsureSettingsFile() const;

  // Missing key: "Value no find"; values are cut to 254 characters. When the file
  // cannot exist (no Ini folder), reads answer from the built-in default text.
  std::string ReadText(std::string_view section, std::string_view key) const;
  // Missing key: -1.
  int ReadInt(std::string_view section, std::string_view key) const;
  // Writes one key directly.
  bool Write(std::string_view section, std::string_view key, std::string_view value) const;
  // Recreates a deleted file in full before writing the key.
  bool WriteEnsured(std::string_view section, std::string_view key, std::string_view value) const;
  bool WriteInt(std::string_view section, std::string_view key, long long value) const;
  bool WriteIntEnsured(std::string_view section, std::string_view key, long long value) const;

 private:
  std::string path_;
};

// Start-up: the settings path in the Ini folder, the file ensured, the capture
// folder defaulted to Temp. False when Default.ini could not be created.
bool PrepareSettings(SettingsStore& store, const platform::ProgramFolders& folders);

}  // namespace settings
