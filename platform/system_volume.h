#pragma once
// The system's output volume per channel (the sound server's sink), each
// channel 0 .. 0xFFFF. It outlives the player and is not stored by it.
#include <memory>

namespace platform {

enum class SoundDevice {
  Default,        // the sound server's default output
  FirstBalanced,  // the first output that has a left and a right channel, else the default
};

struct ChannelVolumes {
  int left = 0, right = 0;  // 0 .. 0xFFFF
};

inline constexpr int kChannelVolumeMax = 0xFFFF;

class SystemVolume {
 public:
  virtual ~SystemVolume() = default;
  // False when there is no sound server or no such output.
  virtual bool GetVolume(SoundDevice device, ChannelVolumes* volumes) = 0;
  virtual bool SetVolume(SoundDevice device, const ChannelVolumes& volumes) = 0;
};

// The PulseAudio (or PipeWire-Pulse) server of the session. Without a server
// every call answers false at once and is retried only after a pause.
std::unique_ptr<SystemVolume> MakePulseSystemVolume();

}  // namespace platform
