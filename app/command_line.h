#pragma once
// The player's command line: OrvanePlayer ["/o" file | "/a" file | file ...].
// Every file comes back as a full path, so what is stored means the same
// file whatever folder the player is started from next time.
#include <functional>
#include <string>
#include <vector>

namespace app {

using PathTest = std::function<bool(const std::string&)>;

// Every argument that is not exactly "/o" or "/a", in order (opened at show).
// An "/o" pair whose file does not exist is ignored whole.
std::vector<std::string> ShowTimeFiles(const std::vector<std::string>& args,
                                       const PathTest& pathExists);

struct ActivationSwitch {
  enum Kind { None, OpenFile, AddFile } kind = None;
  std::string file;
};

// Exactly two arguments: "/o" with an existing file opens it, "/a" adds the
// file to the stored play list; anything else does nothing.
ActivationSwitch ActivationSwitchFor(const std::vector<std::string>& args,
                                     const PathTest& pathExists);

}  // namespace app
