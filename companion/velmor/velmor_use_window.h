#pragma once
// VelmorUseWindow: the player's modal helper dialogs. The last argument of
// each is the interface language: 1 English, 2 Chinese.
#include <cstdint>
#include <string>
#include <vector>

class QWidget;
namespace platform {
class PowerLayer;
}

namespace velmor {

// Go to a time within the total length (100-ns units for play types 1 and 3,
// seconds for 2). position receives whole seconds; cancelled 1 when the user
// backed out, and then position is left alone.
void CreateGotoMediaForm(QWidget* owner, int language, std::int64_t totalLength, int playType,
                         std::int64_t* position, std::uint8_t* cancelled);

// Edits a copy of the history. changed is set on every return: 1 when the
// edited list was written to the program folder's "HistoryTemp", one entry a line.
void CreateManageHistoryForm(QWidget* owner, const std::vector<std::string>& history,
                             std::int32_t* changed, int language);

// Counts down, then asks the system to power off; the user can cancel.
void CreateShutDownDelayForm(QWidget* owner, int language);
inline constexpr int kShutDownDelaySeconds = 30;
// The countdown itself, with its length and power layer given; true when the
// power-off request was accepted.
bool RunShutDownDelay(QWidget* owner, int language, int seconds, platform::PowerLayer& power);

// Display only.
void CreateMediaPropertyForm(QWidget* owner, const std::string& mediaPath,
                             const std::string& durationText, std::int32_t width,
                             std::int32_t height, double frameRate, int language);

}  // namespace velmor
