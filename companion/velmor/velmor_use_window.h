#pragma once
// VelmorUseWindow: the player's modal helper dialogs. The last argument of
// each is the interface language: 1 English, 2 Chinese.
#include <cstdint>

class QWidget;

namespace velmor {

// Go to a time within the total length (100-ns units for play types 1 and 3,
// seconds for 2). position receives whole seconds; cancelled 1 when the user
// backed out, and then position is left alone.
void CreateGotoMediaForm(QWidget* owner, int language, std::int64_t totalLength, int playType,
                         std::int64_t* position, std::uint8_t* cancelled);

}  // namespace velmor
