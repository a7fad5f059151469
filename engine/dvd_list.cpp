#include "engine/dvd_list.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/safe_file.h"

namespace engine {

std::string DvdTitleLine(int title) {
  return "Title" + std::to_string(title) + "(0-" + std::to_string(title) + ")";
}

std::string DvdChapterLine(int title, int chapter) {
  return " Chapter" + std::to_string(chapter) + "(" + std::to_string(title) + "-" +
         std::to_string(chapter) + ")";
}

namespace {
// A decimal integer as the whole text, else false.
bool Decimal(const std::string& text, int* value) {
  if (text.empty() || text.size() > 9) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  *value = std::atoi(text.c_str());
  return true;
}
}  // namespace

bool ParseDvdLine(const std::string& line, DvdItem* item) {
  const size_t open = line.find('(');
  const size_t close = line.find(')');
  if (open == std::string::npos || close == std::string::npos || close < open) return false;
  const std::string inside = line.substr(open + 1, close - open - 1);
  const size_t dash = inside.find('-');
  if (dash == std::string::npos) return false;
  DvdItem parsed;
  if (!Decimal(inside.substr(0, dash), &parsed.a) || !Decimal(inside.substr(dash + 1), &parsed.b))
    return false;
  parsed.label = line.substr(0, open);
  *item = parsed;
  return true;
}

std::vector<DvdItem> ParseDvdList(const std::vector<std::string>& lines) {
  std::vector<DvdItem> items;
  for (const std::string& line : lines) {
    DvdItem item;
    if (ParseDvdLine(line, &item)) items.push_back(item);
  }
  return items;
}

std::vector<std::string> LoadDvdListFile(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    platform::WriteFileAtomically(file, "");
    return {};
  }
  std::stringstream text;
  text << in.rdbuf();
  const std::string all = text.str();
  std::vector<std::string> lines;
  std::string line;
  for (size_t i = 0; i < all.size(); ++i) {
    const char c = all[i];
    if (c != '\r' && c != '\n') {
      line.push_back(c);
      continue;
    }
    lines.push_back(line);
    line.clear();
    if (c == '\r' && i + 1 < all.size() && all[i + 1] == '\n') ++i;
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

bool SaveDvdListFile(const std::string& file, const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return platform::WriteFileAtomically(file, text);
}

}  // namespace engine
