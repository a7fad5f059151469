#include "platform/profile_store.h"

#include <climits>
#include <vector>

#include "platform/safe_file.h"

namespace platform {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The text after a UTF-8 byte-order mark, which would otherwise hide the
// first section's header.
std::string_view WithoutMark(std::string_view text) {
  if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) text.remove_prefix(kByteOrderMark.size());
  return text;
}

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    if (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ++end;
    start = end + 1;
  }
  return lines;
}

std::string_view Trim(std::string_view s) {
  const char* blanks = " \t";
  size_t b = s.find_first_not_of(blanks);
  if (b == std::string_view::npos) return {};
  size_t e = s.find_last_not_of(blanks);
  return s.substr(b, e - b + 1);
}

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]);
    unsigned char y = static_cast<unsigned char>(b[i]);
    if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

// Section name of a "[name]" line, or false for any other line.
bool SectionName(std::string_view line, std::string_view* name) {
  std::string_view t = Trim(line);
  if (t.empty() || t.front() != '[') return false;
  size_t close = t.find(']');
  if (close == std::string_view::npos) return false;
  *name = Trim(t.substr(1, close - 1));
  return true;
}

// Key and value of a "key=value" line.
bool KeyLine(std::string_view line, std::string_view* key, std::string_view* value) {
  size_t eq = line.find('=');
  if (eq == std::string_view::npos) return false;
  *key = Trim(line.substr(0, eq));
  std::string_view v = Trim(line.substr(eq + 1));
  // A value wholly in double quotes loses them, as the profile functions do.
  if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
  *value = v;
  return true;
}

}  // namespace

namespace ini_text {

bool Find(std::string_view text, std::string_view section, std::string_view key,
          std::string* value) {
  bool inSection = false;
  for (std::string_view line : SplitLines(WithoutMark(text))) {
    std::string_view name;
    if (SectionName(line, &name)) {
      inSection = EqualNoCase(name, section);
      continue;
    }
    if (!inSection) continue;
    std::string_view k, v;
    if (KeyLine(line, &k, &v) && EqualNoCase(k, key)) {
      value->assign(v);
      return true;
    }
  }
  return false;
}

std::string Write(std::string_view text, std::string_view section, std::string_view key,
                  std::string_view value) {
  const std::string_view body = WithoutMark(text);
  std::vector<std::string_view> lines = SplitLines(body);
  std::string newLine = std::string(key) + "=" + std::string(value);
  // Position of the section header, the key line, and the last non-blank line
  // of the section (after which a missing key goes).
  long sectionAt = -1, keyAt = -1, lastInSection = -1;
  bool inSection = false;
  for (size_t i = 0; i < lines.size(); ++i) {
    std::string_view name;
    if (SectionName(lines[i], &name)) {
      if (inSection) break;
      if (EqualNoCase(name, section)) {
        inSection = true;
        sectionAt = lastInSection = static_cast<long>(i);
      }
      continue;
    }
    if (!inSection) continue;
    if (!Trim(lines[i]).empty()) lastInSection = static_cast<long>(i);
    std::string_view k, v;
    if (KeyLine(lines[i], &k, &v) && EqualNoCase(k, key)) {
      keyAt = static_cast<long>(i);
      // An update keeps the key as the file spells it.
      newLine = std::string(k) + "=" + std::string(value);
      break;
    }
  }
  std::string out(text.substr(0, text.size() - body.size()));  // the mark, if any
  out.reserve(text.size() + newLine.size() + section.size() + 8);
  for (size_t i = 0; i < lines.size(); ++i) {
    if (static_cast<long>(i) == keyAt) {
      out += newLine;
    } else {
      out += lines[i];
    }
    out += "\r\n";
    if (keyAt < 0 && sectionAt >= 0 && static_cast<long>(i) == lastInSection) {
      out += newLine;
      out += "\r\n";
    }
  }
  if (sectionAt < 0) {
    out += "[";
    out += section;
    out += "]\r\n";
    out += newLine;
    out += "\r\n";
  }
  return out;
}

int ParseLeadingInt(std::string_view value) {
  size_t i = 0;
  bool negative = false;
  if (i < value.size() && (value[i] == '-' || value[i] == '+')) {
    negative = value[i] == '-';
    ++i;
  }
  long long n = 0;
  for (; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i) {
    n = n * 10 + (value[i] - '0');
    if (n > static_cast<long long>(INT_MAX) + 1) n = static_cast<long long>(INT_MAX) + 1;
  }
  if (negative) n = -n;
  if (n > INT_MAX) n = INT_MAX;
  if (n < INT_MIN) n = INT_MIN;
  return static_cast<int>(n);
}

std::string CutValue(std::string_view value, size_t bufferSize) {
  if (bufferSize == 0) return {};
  // The buffer counts characters, as it did in the single-byte code page:
  // keep bufferSize - 1 of them, each with all its UTF-8 bytes.
  size_t characters = 0;
  for (size_t i = 0; i < value.size(); ++i) {
    const bool starts = (static_cast<unsigned char>(value[i]) & 0xC0) != 0x80;
    if (starts && ++characters == bufferSize) return std::string(value.substr(0, i));
  }
  return std::string(value);
}

}  // namespace ini_text

std::string GetPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view defaultText, const std::string& path,
                                    size_t bufferSize) {
  std::optional<std::string> text = ReadWholeFile(path);
  std::string value;
  if (!text || !ini_text::Find(*text, section, key, &value)) value.assign(defaultText);
  return ini_text::CutValue(value, bufferSize);
}

int GetPrivateProfileInt(std::string_view section, std::string_view key, int defaultValue,
                         const std::string& path) {
  std::optional<std::string> text = ReadWholeFile(path);
  std::string value;
  if (!text || !ini_text::Find(*text, section, key, &value)) return defaultValue;
  return ini_text::ParseLeadingInt(value);
}

bool WritePrivateProfileString(std::string_view section, std::string_view key,
                               std::string_view value, const std::string& path) {
  std::string text = ReadWholeFile(path).value_or(std::string());
  return WriteFileAtomically(path, ini_text::Write(text, section, key, value));
}

}  // namespace platform
