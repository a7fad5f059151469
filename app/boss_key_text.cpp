#include "app/boss_key_text.h"

namespace app {
namespace {

struct Named {
  std::string_view name;
  int value;
};

constexpr Named kModifiers[] = {
    {"Alt", 1},       {"Ctrl", 2},      {"Shift", 4},          {"Ctrl+Alt", 3},
    {"Ctrl+Shift", 6}, {"Alt+Shift", 5}, {"Ctrl+Alt+Shift", 7},
};

// Windows virtual-key codes, the values the stored settings and the hot-key
// layer speak.
constexpr Named kKeys[] = {
    {"A", 0x41}, {"B", 0x42}, {"C", 0x43}, {"D", 0x44}, {"E", 0x45}, {"F", 0x46},
    {"G", 0x47}, {"H", 0x48}, {"I", 0x49}, {"J", 0x4A}, {"K", 0x4B}, {"L", 0x4C},
    {"M", 0x4D}, {"N", 0x4E}, {"O", 0x4F}, {"P", 0x50}, {"Q", 0x51}, {"R", 0x52},
    {"S", 0x53}, {"T", 0x54}, {"U", 0x55}, {"V", 0x56}, {"W", 0x57}, {"X", 0x58},
    {"Y", 0x59}, {"Z", 0x5A},
    {"Left", 0x25}, {"Right", 0x27}, {"Del", 0x2E},
    {"F1", 0x70}, {"F2", 0x71}, {"F3", 0x72}, {"F4", 0x73}, {"F5", 0x74}, {"F6", 0x75},
    {"F7", 0x76}, {"F8", 0x77}, {"F9", 0x78}, {"F10", 0x79}, {"F11", 0x7A}, {"F12", 0x7B},
    {"Num 0", 0x60}, {"Num 1", 0x61}, {"Num 2", 0x62}, {"Num 3", 0x63}, {"Num 4", 0x64},
    {"Num 5", 0x65}, {"Num 6", 0x66}, {"Num 7", 0x67}, {"Num 8", 0x68}, {"Num 9", 0x69},
    {"Num +", 0x6B}, {"Num -", 0x6D}, {"Num *", 0x6A}, {"Num /", 0x6F}, {"Num Del", 0x6E},
    {"0", 0x30}, {"1", 0x31}, {"2", 0x32}, {"3", 0x33}, {"4", 0x34},
    {"5", 0x35}, {"6", 0x36}, {"7", 0x37}, {"8", 0x38}, {"9", 0x39},
    {"Num Lock", 0x90}, {"Scroll Lock", 0x91}, {"Esc", 0x1B}, {"Caps Lock", 0x14},
    {"Enter", 0x0D}, {"Tab", 0x09}, {"BKSP", 0x08}, {"Space", 0x20},
    {"Page up", 0x21}, {"Page down", 0x22}, {"End", 0x23}, {"Home", 0x24},
    {"Up", 0x26}, {"Down", 0x28}, {"Ins", 0x2D}, {"Del", 0x2E},
};

static_assert(std::size(kModifiers) == kBossModifierCount);
static_assert(std::size(kKeys) == kBossKeyCount);

template <std::size_t N>
constexpr std::array<std::string_view, N> NamesOf(const Named (&table)[N]) {
  std::array<std::string_view, N> names{};
  for (std::size_t i = 0; i < N; ++i) names[i] = table[i].name;
  return names;
}

template <std::size_t N>
int Find(const Named (&table)[N], std::string_view name) {
  for (const Named& entry : table)
    if (entry.name == name) return entry.value;
  return -1;
}

}  // namespace

const std::array<std::string_view, kBossModifierCount> kBossModifierNames = NamesOf(kModifiers);
const std::array<std::string_view, kBossKeyCount> kBossKeyNames = NamesOf(kKeys);

BossKeyParts SplitBossKeyText(std::string_view text) {
  // A "+" in last place belongs to the key name.
  const std::size_t plus = text.size() < 2 ? std::string_view::npos : text.rfind('+', text.size() - 2);
  if (plus == std::string_view::npos) return {std::string(), std::string(text)};
  return {std::string(text.substr(0, plus)), std::string(text.substr(plus + 1))};
}

int BossModifierFlags(std::string_view modifier) { return Find(kModifiers, modifier); }

int BossKeyCode(std::string_view key) { return Find(kKeys, key); }

}  // namespace app
