#pragma once
// The one door through which every modal prompt passes, so tests can answer it.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace platform {

// The capture save-option dialog: where it starts, and the two check boxes that
// store their setting at once.
struct SaveOptions {
  int language = 2;      // 1 English, 2 Chinese
  std::string folder;    // the stored capture folder
  std::string type;      // ".bmp" or ".jpg"
  bool dontAsk = false;  // the dialog is not to be asked again
  std::function<void(const std::string& folder, const std::string& type)> saveAsDefault;
  std::function<void(bool dontAsk)> dontAskChanged;
};

class Prompt {
 public:
  enum class Icon { Information, Error };
  virtual ~Prompt() = default;
  // A message box with an OK button.
  virtual void Inform(const std::string& caption, const std::string& text,
                      Icon icon = Icon::Information) = 0;
  // A question with Yes and No; true for Yes.
  virtual bool Ask(const std::string& caption, const std::string& text) = 0;
  // Open dialog; empty when cancelled. A filter is description and patterns
  // pairs, each pair and each half joined by "|", patterns by ";".
  virtual std::vector<std::string> OpenFiles(const std::string& caption,
                                             const std::string& folder,
                                             const std::string& filter, bool multiple) = 0;
  virtual std::string SaveFile(const std::string& caption, const std::string& folder,
                               const std::string& fileName, const std::string& filter) = 0;
  virtual std::string ChooseFolder(const std::string& caption, const std::string& folder) = 0;
  // The go-to dialog over a total length (100-ns units, or seconds for a DVD):
  // true with the chosen whole seconds, false when cancelled.
  virtual bool AskGotoTime(std::int64_t totalLength, int playType, std::int64_t* seconds) = 0;
  // The media properties dialog; display only.
  virtual void ShowMediaProperties(const std::string& path, const std::string& durationText,
                                   int width, int height, double frameRate) = 0;
  // The About box: a caption and lines of text, closed with OK.
  virtual void ShowAbout(const std::string& caption, const std::string& text) = 0;
  // The history editor over a copy of the list: true when the edited list was
  // written to the program folder's "HistoryTemp".
  virtual bool ManageHistory(const std::vector<std::string>& history) = 0;
  // A save dialog that also says which filter entry (from 1) was chosen; empty
  // when cancelled. The file name may be a full path.
  virtual std::string SaveFileOfType(const std::string& caption, const std::string& folder,
                                     const std::string& fileName, const std::string& filter,
                                     int* filterIndex) = 0;
  // The save-option dialog: true with a folder and a type when "Save" closed it.
  virtual bool ChooseSaveOption(const SaveOptions& options, std::string* folder,
                                std::string* type) = 0;
  // The picture-in-picture open dialog in the interface language: 1 with both
  // paths, 2 when cancelled (as where no such dialog exists).
  virtual int ChoosePipFiles(int /*language*/, std::string* /*fileA*/, std::string* /*fileB*/) {
    return 2;
  }
};

// The caption of every message box the player shows.
inline constexpr const char* kPromptCaption = "提示信息";

}  // namespace platform
