#include "playlist/play_list.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <charconv>
#include <random>
#include <strings.h>
#include <unordered_set>

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
  ++Version;
}

bool PlayList::Append(const std::string& path, const std::string& startPosition) {
  if (IndexOf(path) >= 0) return false;
  PlayListPaths.push_back(path);
  PlayListStartPositions.push_back(startPosition);
  ++Version;
  return true;
}

void PlayList::Remove(int index) {
  if (index < 0 || index >= Count()) return;
  PlayListPaths.erase(PlayListPaths.begin() + index);
  PlayListStartPositions.erase(PlayListStartPositions.begin() + index);
  if (PlayListIndex == index)
    PlayListIndex = -1;
  else if (PlayListIndex > index)
    --PlayListIndex;
  ++Version;
}

void PlayList::Clear() {
  PlayListPaths.clear();
  PlayListStartPositions.clear();
  PlayListIndex = -1;
  ++Version;
}

long long StartSeconds(const std::string& text) {
  long long value = 0;
  const char* end = text.data() + text.size();
  auto [at, error] = std::from_chars(text.data(), end, value);
  return error == std::errc() && at == end && value >= 0 ? value : 0;
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
  const size_t at = line.find("===");
  const bool split = at != std::string::npos;
  *path = split ? line.substr(0, at) : line;
  *start = split ? line.substr(at + 3) : std::string(1, '0');
}

namespace {
// Paths compared without regard to letter case, as the list compares them.
std::string CaseKey(const std::string& path) {
  std::string key = path;
  std::transform(key.begin(), key.end(), key.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return key;
}
}  // namespace

bool PlayList::ReadLines(const std::string& file, const std::string& currentMediaFile,
                         const std::string& extraFile) {
  std::optional<std::string> text = platform::ReadWholeFile(file);
  if (!text) {
    platform::WriteFileAtomically(file, "");
    return false;
  }
  // CR, LF and CR LF all end a line.
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
  PlayListPaths.clear();
  PlayListStartPositions.clear();
  std::unordered_set<std::string> seen;
  auto add = [&](const std::string& line) {
    std::string path, position;
    SplitPlayListLine(line, &path, &position);
    // A path of blanks names no file anyone can have meant.
    if (path.find_first_not_of(" \t") == std::string::npos || !seen.insert(CaseKey(path)).second)
      return;
    PlayListPaths.push_back(path);
    PlayListStartPositions.push_back(position);
  };
  for (const std::string& line : lines) add(line);
  // The file that plays and the file added from the command line join the end.
  if (!currentMediaFile.empty()) add(currentMediaFile);
  if (!extraFile.empty()) add(extraFile);
  ++Version;
  return true;
}

bool PlayList::LoadStored(const std::string& file, const std::string& currentMediaFile,
                          const std::string& extraFile) {
  if (!ReadLines(file, currentMediaFile, extraFile)) return false;
  PlayListIndex = 0;
  return true;
}

bool PlayList::LoadFile(const std::string& file, const std::string& currentMediaFile) {
  return ReadLines(file, currentMediaFile, "");
}

std::string PlayList::StoredText() const {
  std::string text;
  for (size_t i = 0; i < PlayListPaths.size(); ++i)
    text += PlayListPaths[i] + "===" + PlayListStartPositions[i] + "\r\n";
  return text;
}

bool PlayList::SaveStored(const std::string& file) const {
  return platform::WriteFileAtomically(file, StoredText());
}

}  // namespace playlist
