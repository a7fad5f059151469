#include "playlist/play_list.h"

#include <chrono>
#include <random>
#include <strings.h>

#include "platform/safe_file.h"

namespace playlist {

int PlayList::IndexOf(const std::string& path) const {
  for (size_t i = 0; i < PlayListPaths.size(); ++i)
    if (::strcasecmp(PlayListPaths[i].c_str(), path.c_str()) == 0) return static_cast<int>(i);
  return -1;
}

void PlayList::Replace(const std::vector<std::string>& files) {
  PlayListPaths = files;
  PlayListStartPositions.assign(files.size(), "0");
  PlayListIndex = 0;
}

bool PlayList::Append(const std::string& path, const std::string& startPosition) {
  if (IndexOf(path) >= 0) return false;
  PlayListPaths.push_back(path);
  PlayListStartPositions.push_back(startPosition);
  return true;
}

void PlayList::StepIndex(bool next) {
  if (PlayListIndex == -1 || Empty()) return;
  int last = Count() - 1;
  if (next)
    PlayListIndex = PlayListIndex < last ? PlayListIndex + 1 : 0;
  else
    PlayListIndex = PlayListIndex > 0 ? PlayListIndex - 1 : last;
}

int PlayList::RandomIndex() const {
  if (Empty()) return -1;
  std::mt19937 generator(static_cast<unsigned>(
      std::chrono::steady_clock::now().time_since_epoch().count()));
  return std::uniform_int_distribution<int>(0, Count() - 1)(generator);
}

void SplitPlayListLine(const std::string& line, std::string* path, std::string* start) {
  size_t at = line.find("===");
  if (at == std::string::npos) {
    *path = line;
    *start = "0";
  } else {
    *path = line.substr(0, at);
    *start = line.substr(at + 3);
  }
}

bool PlayList::LoadStored(const std::string& file, const std::string& currentMediaFile,
                          const std::string& extraFile) {
  std::optional<std::string> text = platform::ReadWholeFile(file);
  if (!text) {
    platform::WriteFileAtomically(file, "");
    return false;
  }
  std::vector<std::string> lines;
  size_t start = 0;
  const std::string& t = *text;
  while (start < t.size()) {
    size_t end = t.find_first_of("\r\n", start);
    if (end == std::string::npos) end = t.size();
    if (end > start) lines.push_back(t.substr(start, end - start));
    if (end < t.size() && t[end] == '\r' && end + 1 < t.size() && t[end + 1] == '\n') ++end;
    start = end + 1;
  }
  auto among = [&lines](const std::string& p) {
    for (const std::string& line : lines) {
      std::string path, s;
      SplitPlayListLine(line, &path, &s);
      if (::strcasecmp(path.c_str(), p.c_str()) == 0) return true;
    }
    return false;
  };
  if (!currentMediaFile.empty() && !among(currentMediaFile)) lines.push_back(currentMediaFile);
  if (!extraFile.empty() && !among(extraFile)) lines.push_back(extraFile);
  PlayListPaths.clear();
  PlayListStartPositions.clear();
  for (const std::string& line : lines) {
    std::string path, s;
    SplitPlayListLine(line, &path, &s);
    if (!path.empty()) Append(path, s);
  }
  PlayListIndex = 0;
  return true;
}

bool PlayList::SaveStored(const std::string& file) const {
  std::string text;
  for (size_t i = 0; i < PlayListPaths.size(); ++i)
    text += PlayListPaths[i] + "===" + PlayListStartPositions[i] + "\r\n";
  return platform::WriteFileAtomically(file, text);
}

}  // namespace playlist
