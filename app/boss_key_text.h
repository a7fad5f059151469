#pragma once
// The boss key's stored text ("Ctrl+F12", "Alt+Num +") and the two tables
// that turn its parts into hot-key modifier flags and a virtual-key code.
// The options dialog shows the same names in its drop-down lists.
#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace app {

struct BossKeyParts {
  std::string modifier, key;
};

// Splits at the last "+" that is not the final character, so "Num +" stays
// whole; without one the modifier part is empty and the whole text is the key.
BossKeyParts SplitBossKeyText(std::string_view text);

// Alt 1, Ctrl 2, Shift 4 and their combinations, by exact text; anything
// else, the empty text included, gives -1.
int BossModifierFlags(std::string_view modifier);

// The virtual-key code of a key name, by exact text; -1 when unknown.
int BossKeyCode(std::string_view key);

inline constexpr std::size_t kBossModifierCount = 7;
// 82 entries: "Del" stands twice (after "Right" and at the end), the first wins.
inline constexpr std::size_t kBossKeyCount = 82;

// The names in the order the drop-down lists show them.
extern const std::array<std::string_view, kBossModifierCount> kBossModifierNames;
extern const std::array<std::string_view, kBossKeyCount> kBossKeyNames;

}  // namespace app
