#include "playlist/history.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

#include "companion/zeltpack/zeltpack.h"
#include "platform/media_path.h"
#include "platform/safe_file.h"

namespace playlist {

namespace {
// The player always asks for this level.
constexpr int kCompressionLevel = 3;

std::string Key(const std::string& path) {
  std::string key = path;
  std::transform(key.begin(), key.end(), key.begin(), [](unsigned char c) {
    return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  });
  return key;
}

// Renames without ever replacing what is at the target.
bool RenameNoReplace(const std::string& from, const std::string& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  // A file system without that flag: a hard link cannot replace either.
  if (::link(from.c_str(), to.c_str()) != 0) return false;
  ::unlink(from.c_str());
  return true;
}

// Moves an unreadable file out of the way under the first free name beside it.
std::string SetAside(const std::string& file) {
  for (int n = 1; n < 1000; ++n) {
    std::string target = file + ".damaged" + (n == 1 ? "" : "-" + std::to_string(n));
    if (platform::PathExists(target)) continue;
    if (RenameNoReplace(file, target)) return target;
    if (errno != EEXIST) return {};
  }
  return {};
}
}  // namespace

std::vector<std::string> SplitTextLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    if (end > start) lines.push_back(text.substr(start, end - start));
    if (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n') ++end;
    start = end + 1;
  }
  return lines;
}

bool History::Contains(const std::string& path) const { return keys_.count(Key(path)) > 0; }

std::vector<std::string> History::Merge(const std::vector<std::string>& paths) {
  std::vector<std::string> added;
  for (const std::string& path : paths) {
    if (path.empty() || !keys_.insert(Key(path)).second) continue;
    paths_.push_back(path);
    added.push_back(path);
  }
  return added;
}

void History::Clear() {
  paths_.clear();
  keys_.clear();
}

void History::Replace(const std::vector<std::string>& paths) {
  Clear();
  Merge(paths);
}

History::LoadResult History::Load(const std::string& file) {
  LoadResult result;
  if (!platform::PathExists(file)) {
    platform::WriteFileAtomically(file, "");
    Clear();
    result.status = LoadResult::Created;
    return result;
  }
  std::optional<std::string> packed = platform::ReadWholeFile(file);
  zeltpack::ByteStream text;
  if (packed && zeltpack::MyDeCompression(zeltpack::ByteStream(packed->begin(), packed->end()),
                                          text) >= 0) {
    Replace(SplitTextLines(std::string(text.begin(), text.end())));
    return result;
  }
  // Whatever it holds may still be worth something to its owner: it is never
  // written over, only moved aside, and the player goes on without a history.
  Clear();
  result.keptAs = SetAside(file);
  if (result.keptAs.empty()) {
    untouchable_ = file;
    result.status = LoadResult::Failed;
  } else {
    result.status = LoadResult::SetAside;
  }
  return result;
}

bool History::Save(const std::string& file) const {
  if (!untouchable_.empty() && file == untouchable_) return false;
  if (!platform::PathExists(file) && !platform::WriteFileAtomically(file, "")) return false;
  std::string text;
  for (const std::string& path : paths_) text += path + "\r\n";
  zeltpack::ByteStream packed;
  if (zeltpack::MyCompression(zeltpack::ByteStream(text.begin(), text.end()), packed,
                              kCompressionLevel) < 0)
    return false;
  return platform::WriteFileAtomically(file, std::string(packed.begin(), packed.end()));
}

}  // namespace playlist
