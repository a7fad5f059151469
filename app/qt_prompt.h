#pragma once
#include "platform/prompt.h"

class QWidget;
class QString;

namespace app {

// The prompt interface shown as Qt dialogs over the main window.
// A prompt filter ("Text|*.a;*.b|...") as a Qt file dialog filter.
QString QtFilter(const std::string& filter);

class QtPrompt final : public platform::Prompt {
 public:
  explicit QtPrompt(QWidget* parent = nullptr) : parent_(parent) {}
  void SetParent(QWidget* parent) { parent_ = parent; }
  void Inform(const std::string& caption, const std::string& text, Icon icon) override;
  bool Ask(const std::string& caption, const std::string& text) override;
  std::vector<std::string> OpenFiles(const std::string& caption, const std::string& folder,
                                     const std::string& filter, bool multiple) override;
  std::string SaveFile(const std::string& caption, const std::string& folder,
                       const std::string& fileName, const std::string& filter) override;
  std::string ChooseFolder(const std::string& caption, const std::string& folder) override;
  bool AskGotoTime(std::int64_t totalLength, int playType, std::int64_t* seconds) override;
  void ShowMediaProperties(const std::string& path, const std::string& durationText, int width,
                           int height, double frameRate) override;
  void ShowAbout(const std::string& caption, const std::string& text) override;
  bool ManageHistory(const std::vector<std::string>& history) override;
  std::string SaveFileOfType(const std::string& caption, const std::string& folder,
                             const std::string& fileName, const std::string& filter,
                             int* filterIndex) override;
  bool ChooseSaveOption(const platform::SaveOptions& options, std::string* folder,
                        std::string* type) override;
  int ChoosePipFiles(int language, std::string* fileA, std::string* fileB) override;

 private:
  QWidget* parent_;
};

}  // namespace app
