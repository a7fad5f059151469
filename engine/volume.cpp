// The volume level, mute and the channel choice on both output paths: the
// file graph in hundredths of a decibel, the audio stream as level / 100.
#include "engine/volume.h"

#include <algorithm>

#include "engine/session.h"

namespace engine {

const std::array<int, kVolumeLevels> kVolumeTable = {
    -10000, -6418, -6147, -6000, -5892, -4826, -4647, -4540, -4477, -4162,  //
    -3876,  -3614, -3500, -3492, -3374, -3261, -3100, -3153, -3048, -2947,  //
    -2849,  -2755, -2700, -2663, -2575, -2520, -2489, -2406, -2325, -2280,  //
    -2246,  -2170, -2095, -2050, -2023, -1952, -1900, -1884, -1834, -1820,  //
    -1800,  -1780, -1757, -1695, -1636, -1579, -1521, -1500, -1464, -1436,  //
    -1420,  -1408, -1353, -1299, -1246, -1195, -1144, -1096, -1060, -1049,  //
    -1020,  -1003, -957,  -912,  -868,  -800,  -774,  -784,  -760,  -744,   //
    -705,   -667,  -630,  -610,  -594,  -570,  -558,  -525,  -493,  -462,   //
    -432,   -403,  -375,  -348,  -322,  -297,  -285,  -273,  -250,  -228,   //
    -207,   -187,  -176,  -168,  -150,  -102,  -75,   -19,   -10,   0,      //
    0};

int ClampSoundLevel(int level) { return std::clamp(level, 0, kVolumeLevels - 1); }

int VolumeForLevel(int level) { return kVolumeTable[static_cast<size_t>(ClampSoundLevel(level))]; }

void ApplyWaveBalance(platform::SystemVolume& system, int position, int centre,
                      platform::SoundDevice device) {
  platform::ChannelVolumes volumes;
  if (centre <= 0 || !system.GetVolume(device, &volumes)) return;
  const long long level = std::max(volumes.left, volumes.right);
  long long left = level, right = level;
  if (position < centre)
    right = position * level / centre;
  else if (position > centre)
    left = (2LL * centre - position) * level / centre;
  auto channel = [](long long v) {
    return static_cast<int>(std::clamp<long long>(v, 0, platform::kChannelVolumeMax));
  };
  system.SetVolume(device, {channel(left), channel(right)});
}

void Session::LoadSoundLevel(int stored) {
  SoundLevel = ClampSoundLevel(stored);
  DirectShowVolume = VolumeForLevel(SoundLevel);
}

float Session::AudioStreamVolume() const {
  return isSlience ? 0.0f : static_cast<float>(ClampSoundLevel(SoundLevel)) / 100.0f;
}

void Session::SetVolumeLevel(int level) {
  SoundLevel = ClampSoundLevel(level);
  DirectShowVolume = VolumeForLevel(SoundLevel);
  // Muted, the level waits for the next toggle.
  if (isSlience) return;
  if (Graph().Exists())
    Graph().put_Volume(DirectShowVolume);
  else
    audio_.SetVolume(AudioStreamVolume());
}

void Session::ToggleMute() {
  isSlience = !isSlience;
  Road().ApplyMute();
}

void Session::SetChannel(int balance) {
  SoundBalance = balance;
  // The audio-only path keeps both channels: the choice waits for a graph.
  if (Graph().Exists()) Graph().put_Balance(SoundBalance);
}

void Session::ApplyGraphAudio(MediaGraph& graph) {
  // Media opened while muted stays muted.
  graph.put_Volume(isSlience ? kVolumeSilence : DirectShowVolume);
  graph.put_Balance(SoundBalance);
}

}  // namespace engine
