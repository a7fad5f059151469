#include <gtest/gtest.h>

#include <set>

#include "app/boss_key_text.h"

using namespace app;

namespace {
std::pair<int, int> Combination(std::string_view text) {
  const BossKeyParts parts = SplitBossKeyText(text);
  return {BossModifierFlags(parts.modifier), BossKeyCode(parts.key)};
}
}  // namespace

TEST(BossKeyText, SplitsAtTheLastPlusThatIsNotTheLastCharacter) {
  auto split = [](std::string_view text) {
    const BossKeyParts p = SplitBossKeyText(text);
    return p.modifier + "|" + p.key;
  };
  EXPECT_EQ(split("Ctrl+Num +"), "Ctrl|Num +");
  EXPECT_EQ(split("Num +"), "|Num +");
  EXPECT_EQ(split("Ctrl+Alt+F12"), "Ctrl+Alt|F12");
  EXPECT_EQ(split("Alt++"), "Alt|+");
  EXPECT_EQ(split(""), "|");
}

TEST(BossKeyText, TextsGiveFlagsAndVirtualKeys) {
  EXPECT_EQ(Combination("Ctrl+Num +"), std::pair(2, 0x6B));  // keypad add, not "+" of the split
  EXPECT_EQ(Combination("Ctrl+Alt+P"), std::pair(3, 0x50));
  EXPECT_EQ(Combination("Ctrl+Alt+Shift+Num Del"), std::pair(7, 0x6E));
  // Both default boss keys (settings text and the dialog's default button).
  EXPECT_EQ(Combination("Ctrl+F12"), std::pair(2, 0x7B));
  EXPECT_EQ(Combination("Ctrl+B"), std::pair(2, 0x42));
  // No modifier part looks up the empty text, which is not in the table.
  EXPECT_EQ(Combination("F12"), std::pair(-1, 0x7B));
  // Lookups are exact: another order, case or the menu shortcut names fail.
  EXPECT_EQ(BossModifierFlags("Alt+Ctrl"), -1);
  EXPECT_EQ(BossModifierFlags("ctrl"), -1);
  EXPECT_EQ(BossKeyCode("Page up"), 0x21);
  EXPECT_EQ(BossKeyCode("PgUp"), -1);
  EXPECT_EQ(BossKeyCode("Page Up"), -1);
  EXPECT_EQ(BossKeyCode("BKSP"), 0x08);
}

TEST(BossKeyText, TablesHoldTheListsInDialogOrder) {
  std::vector<int> flags;
  for (std::string_view name : kBossModifierNames) flags.push_back(BossModifierFlags(name));
  EXPECT_EQ(flags, (std::vector<int>{1, 2, 4, 3, 6, 5, 7}));

  EXPECT_EQ(kBossKeyNames.front(), "A");
  EXPECT_EQ(kBossKeyNames[28], "Del");
  EXPECT_EQ(kBossKeyNames.back(), "Del");
  // 82 entries, 81 names: every other name has a code of its own.
  std::set<std::string_view> names(kBossKeyNames.begin(), kBossKeyNames.end());
  std::set<int> codes;
  for (std::string_view name : names) {
    const int code = BossKeyCode(name);
    EXPECT_GT(code, 0) << name;
    codes.insert(code);
  }
  EXPECT_EQ(names.size(), 81u);
  EXPECT_EQ(codes.size(), 81u);
  EXPECT_EQ(BossKeyCode("Del"), 0x2E);
  EXPECT_EQ(BossKeyCode("Num 0"), 0x60);
  EXPECT_EQ(BossKeyCode("0"), 0x30);
  EXPECT_EQ(BossKeyCode("Scroll Lock"), 0x91);
}
