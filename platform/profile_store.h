#pragma once
// An INI engine with the behaviour of the classic profile functions:
// names matched without regard to ASCII case, values updated in place,
// missing keys appended to their section, missing sections to the file,
// CR LF line ends. Nothing is cached; every call goes to the file.
#include <string>
#include <string_view>

namespace platform {

// Value of section/key, cut to bufferSize - 1 characters (whole UTF-8
// sequences); defaultText when the file, section or key is missing. A UTF-8
// byte-order mark at the start of the file is skipped.
std::string GetPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view defaultText, const std::string& path,
                                    size_t bufferSize = 255);

// Leading decimal integer of the value (optional minus sign), 0 when the value
// starts with no digit, defaultValue when the key is missing.
int GetPrivateProfileInt(std::string_view section, std::string_view key, int defaultValue,
                         const std::string& path);

// Creates the file when it is absent. Replaces the file atomically; an
// existing key keeps its spelling, a byte-order mark stays.
bool WritePrivateProfileString(std::string_view section, std::string_view key,
                               std::string_view value, const std::string& path);

// The same operations on INI text held in memory.
namespace ini_text {
bool Find(std::string_view text, std::string_view section, std::string_view key,
          std::string* value);
std::string Write(std::string_view text, std::string_view section, std::string_view key,
                  std::string_view value);
int ParseLeadingInt(std::string_view value);
std::string CutValue(std::string_view value, size_t bufferSize);
}  // namespace ini_text

}  // namespace platform
