#pragma once
// Loudness and channels: the 101-step volume table every output path reads,
// the channel choices, and the balance rule for the system's sound device.
#include <array>

#include "platform/system_volume.h"

namespace engine {

inline constexpr int kVolumeLevels = 101;
// Hundredths of a decibel for each level 0..100. Not a formula and not
// monotonic (17 < 16, 67 < 66): the values are the player's own and kept as they are.
extern const std::array<int, kVolumeLevels> kVolumeTable;

// A stored level may be anything (a missing key reads -1): 0..100 before any use.
int ClampSoundLevel(int level);
// The table value of a level, clamped first.
int VolumeForLevel(int level);

// SoundBalance values: both channels, left only, right only.
inline constexpr int kChannelStereo = 0;
inline constexpr int kChannelLeft = -9999;
inline constexpr int kChannelRight = 9999;
inline constexpr std::array<int, 3> kChannelChoices = {kChannelStereo, kChannelLeft, kChannelRight};

// Pans the system device's volume: position 0 .. 2 * centre, centre keeps both
// channels. The louder channel is the level, so moving never raises it and the
// centre gives both channels the louder one back. Without a sound server
// nothing happens.
void ApplyWaveBalance(platform::SystemVolume& system, int position, int centre,
                      platform::SoundDevice device);

}  // namespace engine
