#include "app/command_line.h"

namespace app {

std::vector<std::string> ShowTimeFiles(const std::vector<std::string>& args) {
  std::vector<std::string> files;
  for (const std::string& a : args)
    if (a != "/o" && a != "/a") files.push_back(a);
  return files;
}

ActivationSwitch ActivationSwitchFor(const std::vector<std::string>& args,
                                     const std::function<bool(const std::string&)>& fileExists) {
  ActivationSwitch result;
  if (args.size() != 2) return result;
  if (args[0] == "/o" && fileExists(args[1])) {
    result.kind = ActivationSwitch::OpenFile;
    result.file = args[1];
  } else if (args[0] == "/a") {
    result.kind = ActivationSwitch::AddFile;
    result.file = args[1];
  }
  return result;
}

}  // namespace app
