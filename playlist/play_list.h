#pragma once
// The play list model: parallel paths and start positions, the current index
// and the stored "PlayFileList" line format (path "===" start seconds).
#include <string>
#include <vector>

namespace playlist {

// The open dialog's filter for opening and adding media files: description
// and patterns, each pair and each half joined by "|".
inline constexpr const char* kMediaFileFilter =
    "FamiliarMediaFiles|*.avi;*.asf;*.wma;*.wmv;*.wm;*.mpg;*.mpeg;*.mp2;*.mp3;*.mpa;*.mpv2;"
    "*.m3u;*.mid;*.midi;*.rmi;*.aif;*.aifc;*.aiff;*.ra;*.rm;*.rmvb;*.vob"
    "|Windows Media Files(*.avi;*.asf;*.wma;*.wmv;*.wm)|*.avi;*.asf;*.wma;*.wmv;*.wm"
    "|Real Media Files(*.ra;*.rm;*.ram;*.rmvb;*.rpm;*.rt;*.scm;*.smi;*.smil;*.realpix)"
    "|*.ra;*.rm;*.ram;*.rmvb;*.rpm;*.rt;*.scm;*.smi;*.smil;*.realpix"
    "|Player List Files(*.asx;*.m3u;*.pls;*.wvx;*.wax;*.wmx;*.mpcpl;*.sml)"
    "|*.asx;*.m3u;*.pls;*.wvx;*.wax;*.wmx;*.mpcpl;*.sml"
    "|Flash Files(*.flv;*.swf)|*.flv;*.swf"
    "|DVD Files(*.vob;*.if3;*.ac3;*.dts)|*.vob;*.if3;*.ac3;*.dts"
    "|All Files(*.*)|*";

class PlayList {
 public:
  std::vector<std::string> PlayListPaths;
  std::vector<std::string> PlayListStartPositions;
  int PlayListIndex = -1;
  // Grows with every change of the entries, so a view knows when to rebuild.
  unsigned Version = 0;

  int Count() const { return static_cast<int>(PlayListPaths.size()); }
  bool Empty() const { return PlayListPaths.empty(); }
  // Index of the path compared without regard to letter case, or -1.
  int IndexOf(const std::string& path) const;
  // The paths become exactly the files, every start position "0", index 0.
  void Replace(const std::vector<std::string>& files);
  // Appends a file not yet in the list; false when it was already there.
  bool Append(const std::string& path, const std::string& startPosition = "0");
  // Removes an entry; the current index keeps pointing at the same entry
  // (-1 when it was the one removed).
  void Remove(int index);
  void Clear();
  // Wraps in both directions; an unselected index stays unselected.
  void StepIndex(bool next);
  // Uniform over 0..count-1, re-seeded from the clock; -1 for an empty list.
  int RandomIndex() const;

  // Reads "PlayFileList" (created empty when missing, leaving the list alone).
  // The current media file and the extra file are appended when absent.
  // Returns false when the file did not exist.
  bool LoadStored(const std::string& file, const std::string& currentMediaFile,
                  const std::string& extraFile);
  bool SaveStored(const std::string& file) const;
  // A play list file chosen by the user: the same reading, but the current
  // index is left alone. False when the file did not exist (made empty then).
  bool LoadFile(const std::string& file, const std::string& currentMediaFile);
  // The lines as stored: path "===" start position, each ended by CR LF.
  std::string StoredText() const;

 private:
  bool ReadLines(const std::string& file, const std::string& currentMediaFile,
                 const std::string& extraFile);
};

// A start position text as whole seconds; text that is not a number is 0.
long long StartSeconds(const std::string& text);

// Splits one stored line at its first "===".
void SplitPlayListLine(const std::string& line, std::string* path, std::string* start);

}  // namespace playlist
