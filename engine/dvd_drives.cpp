#include "engine/dvd_drives.h"

#include <fcntl.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

namespace engine {

std::vector<DiscDrive> ListDiscDrives(const std::string& table, const std::string& devices) {
  std::vector<DiscDrive> drives;
  std::ifstream in(table);
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("drive name:", 0) != 0) continue;
    std::istringstream names(line.substr(11));
    std::string name;
    while (names >> name) {
      DiscDrive drive;
      drive.device = devices + "/" + name;
      drive.caption = drive.device;
      std::string label;
      if (ReadVolumeLabel(drive.device, &label)) drive.caption += " " + label;
      drives.push_back(drive);
    }
  }
  // The kernel lists the newest drive first; the menu goes in device order.
  return std::vector<DiscDrive>(drives.rbegin(), drives.rend());
}

bool ReadVolumeLabel(const std::string& device, std::string* label) {
  // Non-blocking: an empty tray answers at once instead of spinning up.
  const int fd = ::open(device.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  unsigned char sector[2048];
  const ssize_t read = ::pread(fd, sector, sizeof sector, 16 * 2048);
  ::close(fd);
  // A primary volume descriptor: type 1, "CD001".
  if (read != static_cast<ssize_t>(sizeof sector) || sector[0] != 1 ||
      std::string(reinterpret_cast<const char*>(sector + 1), 5) != "CD001")
    return false;
  std::string text(reinterpret_cast<const char*>(sector + 40), 32);
  const size_t end = text.find_last_not_of(" \0", std::string::npos, 2);
  *label = end == std::string::npos ? "" : text.substr(0, end + 1);
  return true;
}

std::string DiscPath(const std::string& device, const std::string& mounts) {
  std::ifstream in(mounts);
  std::string source, target, rest;
  while (in >> source >> target && std::getline(in, rest))
    if (source == device) return target;
  return device;
}

}  // namespace engine
