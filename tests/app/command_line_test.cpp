#include <gtest/gtest.h>

#include "app/command_line.h"

using namespace app;

TEST(CommandLine, ShowTimeCollectsEveryNonSwitch) {
  EXPECT_EQ(ShowTimeFiles({"/o", "/m/a.mp4"}), std::vector<std::string>{"/m/a.mp4"});
  EXPECT_EQ(ShowTimeFiles({"a", "/O", "/a", "b"}), (std::vector<std::string>{"a", "/O", "b"}));
  EXPECT_TRUE(ShowTimeFiles({"/o", "/a"}).empty());
}

TEST(CommandLine, ActivationNeedsExactlyTwoArguments) {
  auto exists = [](const std::string& p) { return p == "/m/a.mp4"; };
  EXPECT_EQ(ActivationSwitchFor({"/o", "/m/a.mp4"}, exists).kind, ActivationSwitch::OpenFile);
  EXPECT_EQ(ActivationSwitchFor({"/o", "/m/gone.mp4"}, exists).kind, ActivationSwitch::None);
  EXPECT_EQ(ActivationSwitchFor({"/a", "/m/gone.mp4"}, exists).kind, ActivationSwitch::AddFile);
  EXPECT_EQ(ActivationSwitchFor({"/O", "/m/a.mp4"}, exists).kind, ActivationSwitch::None);
  EXPECT_EQ(ActivationSwitchFor({"/o", "/m/a.mp4", "x"}, exists).kind, ActivationSwitch::None);
  EXPECT_EQ(ActivationSwitchFor({"/m/a.mp4", "/o"}, exists).kind, ActivationSwitch::None);
}
