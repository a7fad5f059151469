#include <gtest/gtest.h>

#include <unistd.h>

#include "app/command_line.h"
#include "platform/media_path.h"

using namespace app;

namespace {
bool Exists(const std::string& p) { return p == "/m/a.mp4"; }
std::string WorkingFolder() {
  char buffer[4096];
  return ::getcwd(buffer, sizeof buffer);
}
}  // namespace

TEST(CommandLine, ShowTimeCollectsEveryNonSwitchAsAFullPath) {
  const std::string cwd = WorkingFolder();
  EXPECT_EQ(ShowTimeFiles({"/o", "/m/a.mp4"}, Exists), std::vector<std::string>{"/m/a.mp4"});
  EXPECT_EQ(ShowTimeFiles({"a", "/O", "/a", "sub/../b"}, Exists),
            (std::vector<std::string>{cwd + "/a", "/O", cwd + "/b"}));
  EXPECT_TRUE(ShowTimeFiles({"/o", "/a"}, Exists).empty());
  // "/o" with a file that is not there is ignored whole; "/a" still plays its file.
  EXPECT_TRUE(ShowTimeFiles({"/o", "/m/gone.mp4"}, Exists).empty());
  EXPECT_EQ(ShowTimeFiles({"/a", "/m/gone.mp4"}, Exists), std::vector<std::string>{"/m/gone.mp4"});
}

TEST(CommandLine, SwitchFilesAreFullCleanPaths) {
  const std::string cwd = WorkingFolder();
  ActivationSwitch add = ActivationSwitchFor({"/a", "./x//y/../z.mp3"}, Exists);
  EXPECT_EQ(add.file, cwd + "/x/z.mp3");
  ActivationSwitch open = ActivationSwitchFor({"/o", "/m/./sub/../a.mp4"}, Exists);
  EXPECT_EQ(open.kind, ActivationSwitch::OpenFile);
  EXPECT_EQ(open.file, "/m/a.mp4");
  EXPECT_EQ(platform::AbsolutePath("/../.."), "/");
  EXPECT_EQ(platform::AbsolutePath(""), "");
}

TEST(CommandLine, ActivationNeedsExactlyTwoArguments) {
  auto exists = Exists;
  EXPECT_EQ(ActivationSwitchFor({"/o", "/m/a.mp4"}, exists).kind, ActivationSwitch::OpenFile);
  EXPECT_EQ(ActivationSwitchFor({"/o", "/m/gone.mp4"}, exists).kind, ActivationSwitch::None);
  EXPECT_EQ(ActivationSwitchFor({"/a", "/m/gone.mp4"}, exists).kind, ActivationSwitch::AddFile);
  EXPECT_EQ(ActivationSwitchFor({"/O", "/m/a.mp4"}, exists).kind, ActivationSwitch::None);
  EXPECT_EQ(ActivationSwitchFor({"/o", "/m/a.mp4", "x"}, exists).kind, ActivationSwitch::None);
  EXPECT_EQ(ActivationSwitchFor({"/m/a.mp4", "/o"}, exists).kind, ActivationSwitch::None);
}
