#include "app/command_line.h"

#include "platform/media_path.h"

namespace app {

std::vector<std::string> ShowTimeFiles(const std::vector<std::string>& args,
                                       const PathTest& pathExists) {
  std::vector<std::string> files;
  if (args.size() == 2 && args[0] == "/o" && !pathExists(platform::AbsolutePath(args[1])))
    return files;
  for (const std::string& a : args)
    if (a != "/o" && a != "/a") files.push_back(platform::AbsolutePath(a));
  return files;
}

ActivationSwitch ActivationSwitchFor(const std::vector<std::string>& args,
                                     const PathTest& pathExists) {
  ActivationSwitch result;
  if (args.size() != 2) return result;
  const std::string file = platform::AbsolutePath(args[1]);
  if (args[0] == "/o" && pathExists(file)) {
    result.kind = ActivationSwitch::OpenFile;
    result.file = file;
  } else if (args[0] == "/a") {
    result.kind = ActivationSwitch::AddFile;
    result.file = file;
  }
  return result;
}

}  // namespace app
