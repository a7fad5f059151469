#pragma once
// The history: every media file that has entered the play list, in order of
// first appearance, stored compressed in "HistoryList" (one path + CR LF a line).
#include <string>
#include <unordered_set>
#include <vector>

namespace playlist {

// Lines of a text with CR, LF or CR LF endings; empty lines are dropped.
std::vector<std::string> SplitTextLines(const std::string& text);

class History {
 public:
  struct LoadResult {
    enum Status {
      Loaded,    // read and decompressed (an empty file is an empty history)
      Created,   // there was no file: an empty one was made
      SetAside,  // it did not decompress: kept as keptAs, the history starts empty
      Failed,    // it could neither be read nor set aside: left alone and never written
    } status = Loaded;
    std::string keptAs;
  };

  const std::vector<std::string>& Paths() const { return paths_; }
  bool Contains(const std::string& path) const;
  // Appends the paths not there yet (letter case aside); returns those.
  std::vector<std::string> Merge(const std::vector<std::string>& paths);
  void Clear();
  // The given paths, without repeats or empty ones.
  void Replace(const std::vector<std::string>& paths);

  // Replaces the history with the file's; a missing file is created empty.
  LoadResult Load(const std::string& file);
  // Compresses the list over the file through a temporary file, so a failed
  // save leaves the old one whole. False when nothing was written.
  bool Save(const std::string& file) const;

 private:
  std::vector<std::string> paths_;
  std::unordered_set<std::string> keys_;  // the paths in lower case
  std::string untouchable_;  // a file that could not be read nor set aside
};

}  // namespace playlist
