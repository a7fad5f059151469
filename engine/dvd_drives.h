#pragma once
// The optical drives the system has, their volume labels and the path a disc
// in them is played from.
#include <string>
#include <vector>

namespace engine {

struct DiscDrive {
  std::string device;   // its identity: the device node, as "/dev/sr0"
  std::string caption;  // the menu's text: the device, then " " and the label when readable
};

// The drives named by the kernel's CD-ROM table ("drive name:" row), devices under `devices`.
std::vector<DiscDrive> ListDiscDrives(const std::string& table = "/proc/sys/dev/cdrom/info",
                                      const std::string& devices = "/dev");
// The ISO 9660 volume identifier (sector 16, 32 bytes from byte 40), blanks
// trimmed; false when no readable volume is in the drive.
bool ReadVolumeLabel(const std::string& device, std::string* label);
// Where a disc in the drive is read: its mount point when mounted, else the device.
std::string DiscPath(const std::string& device, const std::string& mounts = "/proc/mounts");

}  // namespace engine
