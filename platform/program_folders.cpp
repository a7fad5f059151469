#include "platform/program_folders.h"

#include <climits>
#include <unistd.h>

namespace platform {

std::string EnsureTrailingSeparator(const std::string& path) {
  if (path.empty() || path.back() == '/' || path.back() == '\\') return path;
  return path + "/";
}

ProgramFolders ProgramFoldersFor(const std::string& programDirectory) {
  ProgramFolders f;
  f.program = EnsureTrailingSeparator(programDirectory);
  f.temp = f.program + "Temp" + "/";
  f.sysCodec = f.program + "Codec" + "/" + "SysCodec";
  f.otherCodec = f.program + "Codec" + "/" + "OtherCodec";
  f.project = f.program + "Project";
  f.ini = f.program + "Ini";
  f.image = f.program + "Image";
  f.skin = f.program + "Skin" + "/";
  return f;
}

std::string ExecutableDirectory() {
  char buffer[PATH_MAX];
  ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n <= 0) return "./";
  std::string exe(buffer, static_cast<size_t>(n));
  size_t slash = exe.rfind('/');
  return slash == std::string::npos ? "./" : exe.substr(0, slash + 1);
}

}  // namespace platform
