#pragma once
// The DVD list: one line per title and per chapter, in memory and in the
// Project folder's "DvdFileList", and the items parsed from its lines.
#include <string>
#include <vector>

namespace engine {

// "Title2(0-2)" and " Chapter3(2-3)" (one leading space).
std::string DvdTitleLine(int title);
std::string DvdChapterLine(int title, int chapter);

// A parsed line: a title line is (label, 0, title), a chapter line (label, title, chapter).
struct DvdItem {
  std::string label;
  int a = 0, b = 0;
  bool IsChapter() const { return a > 0; }
};

// False for a line without "(" and ")" or without "-" between them.
bool ParseDvdLine(const std::string& line, DvdItem* item);
// The items of the lines that parse, in order.
std::vector<DvdItem> ParseDvdList(const std::vector<std::string>& lines);

// The stored list, lines ended by CR LF; read with any line end. A missing
// file is created empty and gives no lines.
std::vector<std::string> LoadDvdListFile(const std::string& file);
bool SaveDvdListFile(const std::string& file, const std::vector<std::string>& lines);

}  // namespace engine
