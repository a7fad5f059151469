#include "settings/settings_store.h"

#include "platform/profile_store.h"
#include "platform/safe_file.h"
#include "settings/default_settings.h"

namespace settings {

bool SettingsStore::EnsureSettingsFile() const {
  if (platform::FileExists(path_)) return true;
  return platform::WriteFileAtomically(path_, DefaultSettingsFileText());
}

std::string SettingsStore::ReadText(std::string_view section, std::string_view key) const {
  if (EnsureSettingsFile())
    return platform::GetPrivateProfileString(section, key, kValueNoFind, path_);
  std::string value;
  if (!platform::ini_text::Find(DefaultSettingsFileText(), section, key, &value))
    value = kValueNoFind;
  return platform::ini_text::CutValue(value, 255);
}

int SettingsStore::ReadInt(std::string_view section, std::string_view key) const {
  if (EnsureSettingsFile()) return platform::GetPrivateProfileInt(section, key, -1, path_);
  std::string value;
  if (!platform::ini_text::Find(DefaultSettingsFileText(), section, key, &value)) return -1;
  return platform::ini_text::ParseLeadingInt(value);
}

bool SettingsStore::Write(std::string_view section, std::string_view key,
                          std::string_view value) const {
  return platform::WritePrivateProfileString(section, key, value, path_);
}

bool SettingsStore::WriteEnsured(std::string_view section, std::string_view key,
                                 std::string_view value) const {
  EnsureSettingsFile();
  return Write(section, key, value);
}

bool SettingsStore::WriteInt(std::string_view section, std::string_view key,
                             long long value) const {
  return Write(section, key, std::to_string(value));
}

bool SettingsStore::WriteIntEnsured(std::string_view section, std::string_view key,
                                    long long value) const {
  return WriteEnsured(section, key, std::to_string(value));
}

bool PrepareSettings(SettingsStore& store, const platform::ProgramFolders& folders) {
  store.SetPath(folders.ini + "/" + "Default.ini");
  bool ok = store.EnsureSettingsFile();
  if (ok && store.ReadText("File", "CaptureImagePath").empty())
    store.Write("File", "CaptureImagePath", platform::EnsureTrailingSeparator(folders.temp));
  return ok;
}

}  // namespace settings
