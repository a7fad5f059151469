#pragma once
// The folders the player derives from the location of its own executable.
#include <string>

namespace platform {

// Appends "/" unless the text is empty or already ends with "/" or "\".
std::string EnsureTrailingSeparator(const std::string& path);

struct ProgramFolders {
  std::string program;     // with trailing separator
  std::string temp;        // program + "Temp/"
  std::string sysCodec;    // program + "Codec/SysCodec"
  std::string otherCodec;  // program + "Codec/OtherCodec"
  std::string project;     // program + "Project"
  std::string ini;         // program + "Ini"
  std::string image;       // program + "Image"
  std::string skin;        // program + "Skin/"
};

ProgramFolders ProgramFoldersFor(const std::string& programDirectory);

// Directory of the running executable (/proc/self/exe), with trailing "/".
std::string ExecutableDirectory();

}  // namespace platform
