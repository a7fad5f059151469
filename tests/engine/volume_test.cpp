// The volume table, the volume step's pixel rule, mute and channel on the two
// output paths (scripted engines), and the balance rule on a scripted system volume.
#include <gtest/gtest.h>

#include "app/seek_bar_rules.h"
#include "engine/scripted_engines.h"
#include "engine/volume.h"

using namespace engine;

TEST(VolumeTable, ExactValuesAtTheIrregularLevelsAndClampedOutsideIt) {
  EXPECT_EQ(kVolumeTable[0], -10000);
  EXPECT_EQ(kVolumeTable[16], -3100);
  EXPECT_EQ(kVolumeTable[17], -3153);  // below level 16
  EXPECT_EQ(kVolumeTable[30], -2246);
  EXPECT_EQ(kVolumeTable[66], -774);
  EXPECT_EQ(kVolumeTable[67], -784);  // below level 66
  EXPECT_EQ(kVolumeTable[99], 0);
  EXPECT_EQ(kVolumeTable[100], 0);
  EXPECT_EQ(VolumeForLevel(-1), -10000);
  EXPECT_EQ(VolumeForLevel(250), 0);
  // Apart from the two known dips, louder never gets quieter.
  for (int level = 1; level <= 100; ++level) {
    if (level == 17 || level == 67) continue;
    EXPECT_GE(kVolumeTable[level], kVolumeTable[level - 1]) << level;
  }
}

TEST(VolumeStep, TwoPercentOfTheFreeLengthAtLeastOnePixelAndTheLevelFromThePixel) {
  using app::BarGeometry;
  using app::BarState;
  // Free length 40: 0.8 is raised to one pixel.
  const BarGeometry small{100, 52, 12};
  BarState s = app::StepBar(small, {110, 10}, true);
  EXPECT_EQ(s.thumbLeft, 111);
  EXPECT_EQ(s.playedWidth, 11);
  EXPECT_EQ(app::BarValue(small, s, 100), 27);  // 11 / 40, truncated
  // Free length 150: three pixels.
  const BarGeometry wide{0, 162, 12};
  s = app::StepBar(wide, {75, 75}, false);
  EXPECT_EQ(s.thumbLeft, 72);
  EXPECT_EQ(app::BarValue(wide, s, 100), 48);
  // The start position of a stored level.
  EXPECT_EQ(app::ThumbForPercent({34, 90, 12}, 30), 34 + 23);  // Trunc(0.3 * 78)
}

namespace {
struct VolumeSession : ScriptedSessionParts, ::testing::Test {
  VolumeSession() { session.RendererKind = kRendererMixer7; }
};
}  // namespace

// What the real-sound tests cannot show: where a change goes with nothing open.
TEST_F(VolumeSession, WithNoGraphTheStreamKeepsTheLevelAndTheChannelWaitsForTheNextBuild) {
  session.LoadSoundLevel(-1);
  EXPECT_EQ(session.SoundLevel, 0);
  EXPECT_EQ(session.DirectShowVolume, -10000);
  session.SetVolumeLevel(40);
  EXPECT_FLOAT_EQ(audio.volume, 0.4f);
  session.SetChannel(kChannelLeft);
  EXPECT_EQ(graph.balance, 1);  // untouched
  ASSERT_TRUE(session.OpenFile("/m/clip.mp4"));
  EXPECT_EQ(graph.balance, kChannelLeft);
  EXPECT_EQ(graph.volume, -1800);
}

namespace {
struct FakeSystemVolume : platform::SystemVolume {
  bool server = true;
  platform::ChannelVolumes volumes{0xC000, 0x8000};
  int sets = 0;
  platform::SoundDevice device = platform::SoundDevice::FirstBalanced;
  bool GetVolume(platform::SoundDevice d, platform::ChannelVolumes* v) override {
    device = d;
    if (server) *v = volumes;
    return server;
  }
  bool SetVolume(platform::SoundDevice, const platform::ChannelVolumes& v) override {
    ++sets;
    if (server) volumes = v;
    return server;
  }
};
}  // namespace

TEST(WaveBalance, TheLouderChannelIsTheLevelAndTheCentreRestoresBoth) {
  FakeSystemVolume system;
  ApplyWaveBalance(system, 0, 100, platform::SoundDevice::Default);
  EXPECT_EQ(system.device, platform::SoundDevice::Default);
  EXPECT_EQ(system.volumes.left, 0xC000);
  EXPECT_EQ(system.volumes.right, 0);
  ApplyWaveBalance(system, 150, 100, platform::SoundDevice::Default);
  EXPECT_EQ(system.volumes.left, 50 * 0xC000 / 100);
  EXPECT_EQ(system.volumes.right, 0xC000);
  ApplyWaveBalance(system, 100, 100, platform::SoundDevice::Default);
  EXPECT_EQ(system.volumes.left, 0xC000);
  EXPECT_EQ(system.volumes.right, 0xC000);
  ApplyWaveBalance(system, 37, 100, platform::SoundDevice::Default);
  EXPECT_EQ(system.volumes.right, 37 * 0xC000 / 100);  // integer division
  // No sound server: nothing is written.
  system.server = false;
  const int sets = system.sets;
  ApplyWaveBalance(system, 0, 100, platform::SoundDevice::Default);
  EXPECT_EQ(system.sets, sets);
}
