#pragma once
// The one door through which every modal prompt passes, so tests can answer it.
#include <string>
#include <vector>

namespace platform {

class Prompt {
 public:
  enum class Icon { Information, Error };
  virtual ~Prompt() = default;
  // A message box with an OK button.
  virtual void Inform(const std::string& caption, const std::string& text,
                      Icon icon = Icon::Information) = 0;
  // A question with Yes and No; true for Yes.
  virtual bool Ask(const std::string& caption, const std::string& text) = 0;
  // Open dialog; empty when cancelled. Filters are Qt filter strings.
  virtual std::vector<std::string> OpenFiles(const std::string& caption,
                                             const std::string& folder,
                                             const std::string& filter, bool multiple) = 0;
  virtual std::string SaveFile(const std::string& caption, const std::string& folder,
                               const std::string& fileName, const std::string& filter) = 0;
  virtual std::string ChooseFolder(const std::string& caption, const std::string& folder) = 0;
};

// The caption of every message box the player shows.
inline constexpr const char* kPromptCaption = "提示信息";

}  // namespace platform
