#include <gtest/gtest.h>

#include "actions/volume_controller.h"
#include "fakes.h"

namespace talvoro::actions {
namespace {

TEST(VolumeController, CreationUnmutesAndReadsTheLevels) {
  test::FakeMixer mixer;
  mixer.master = {65535, 45874};
  VolumeController c(mixer);
  EXPECT_FALSE(mixer.mute);
  EXPECT_EQ(c.Volume(), 100);
  EXPECT_EQ(c.Balance(), -30);
}

TEST(VolumeController, ChannelArithmetic) {
  auto l = VolumeController::LevelsFor(60, 0);
  EXPECT_EQ(l.left, 39321u);
  EXPECT_EQ(l.right, 39321u);
  l = VolumeController::LevelsFor(100, 30);
  EXPECT_EQ(l.left, 45874u);
  EXPECT_EQ(l.right, 65535u);
  l = VolumeController::LevelsFor(100, -90);
  EXPECT_EQ(l.left, 65535u);
  EXPECT_EQ(l.right, 6553u);
  EXPECT_EQ(VolumeController::LevelsFor(100, 100).left, 0u);
  EXPECT_EQ(VolumeController::LevelsFor(100, -100).right, 0u);
}

TEST(VolumeController, OutOfRangeValuesAreDropped) {
  test::FakeMixer mixer;
  VolumeController c(mixer);
  c.SetVolume(50);
  const auto writes = mixer.writes.size();
  c.SetVolume(101);
  c.SetVolume(-1);
  c.SetBalance(101);
  c.SetBalance(-101);
  EXPECT_EQ(mixer.writes.size(), writes);
  c.SetBalance(100);
  EXPECT_EQ(mixer.master.left, 0u);
  EXPECT_EQ(mixer.master.right, 50u * 65535u / 100u);
}

TEST(VolumeController, ZeroLevelsReadAsVolumeAndBalanceZero) {
  test::FakeMixer mixer;
  VolumeController c(mixer);
  c.SetBalance(40);
  mixer.master = {0, 0};
  EXPECT_EQ(c.Volume(), 0);
  EXPECT_EQ(c.Balance(), 0);
}

TEST(VolumeController, MuteGetterReturnsTheLastValueSet) {
  test::FakeMixer mixer;
  VolumeController c(mixer);
  c.SetMute(true);
  mixer.mute = false;  // changed behind the program's back
  EXPECT_TRUE(c.Mute());
}

TEST(DeviceVolumes, WaveVolumeScaling) {
  test::FakeMixer mixer;
  DeviceVolumes d(mixer);
  d.Write(DeviceVolumes::kWave, 255);
  EXPECT_EQ(mixer.wave, 0xFF00FF00u);
  EXPECT_EQ(d.Read(DeviceVolumes::kWave), 255);
  mixer.wave = 0xFFFFFFFFu;
  EXPECT_EQ(d.Read(DeviceVolumes::kWave), 255);
  EXPECT_EQ(d.Read(0), 0);  // no CD audio device
  mixer.has_wave = false;
  d.Write(DeviceVolumes::kWave, 10);
  EXPECT_EQ(mixer.wave, 0xFFFFFFFFu);
}

}  // namespace
}  // namespace talvoro::actions
