#pragma once
// The player's command line: OrvanePlayer ["/o" file | "/a" file | file ...].
#include <functional>
#include <string>
#include <vector>

namespace app {

// Every argument that is not exactly "/o" or "/a", in order (opened at show).
std::vector<std::string> ShowTimeFiles(const std::vector<std::string>& args);

struct ActivationSwitch {
  enum Kind { None, OpenFile, AddFile } kind = None;
  std::string file;
};

// Exactly two arguments: "/o" with an existing file opens it, "/a" adds the
// file to the stored play list; anything else does nothing.
ActivationSwitch ActivationSwitchFor(const std::vector<std::string>& args,
                                     const std::function<bool(const std::string&)>& fileExists);

}  // namespace app
