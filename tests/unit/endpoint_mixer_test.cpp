#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "actions/volume_controller.h"
#include "platform/endpoint_mixer.h"

namespace talvoro::platform {
namespace {

using actions::DeviceVolumes;
using actions::VolumeController;

// One playback device as the system keeps it: channel levels (the master is
// the loudest), mute and the audio sessions playing on it.
struct FakeDevice {
  struct Session {
    SessionOwner owner;
    float volume;
  };
  std::vector<float> channels{1.0f, 1.0f};
  bool levels_readable = true;
  bool counts_channels = true;
  bool muted = true;
  int master_writes = 0;
  std::vector<Session> sessions;

  float Master() const { return *std::max_element(channels.begin(), channels.end()); }
};

class FakeSession final : public IAudioSession {
 public:
  explicit FakeSession(FakeDevice::Session& session) : session_(session) {}
  SessionOwner Owner() override { return session_.owner; }
  std::optional<float> Volume() override { return session_.volume; }
  void SetVolume(float level) override { session_.volume = level; }

 private:
  FakeDevice::Session& session_;
};

class FakeEndpoint final : public IAudioEndpoint {
 public:
  explicit FakeEndpoint(FakeDevice& device) : device_(device) {}
  unsigned ChannelCount() override {
    return device_.counts_channels ? static_cast<unsigned>(device_.channels.size()) : 0;
  }
  std::optional<float> ChannelLevel(unsigned channel) override {
    if (!device_.levels_readable || channel >= device_.channels.size()) return std::nullopt;
    return device_.channels[channel];
  }
  void SetChannelLevel(unsigned channel, float level) override {
    if (channel < device_.channels.size()) device_.channels[channel] = level;
  }
  std::optional<float> MasterLevel() override {
    if (!device_.levels_readable) return std::nullopt;
    return device_.Master();
  }
  // As the system does: every channel scaled so that the loudest is at `level`.
  void SetMasterLevel(float level) override {
    ++device_.master_writes;
    const float master = device_.Master();
    for (float& channel : device_.channels) channel = master > 0 ? channel / master * level : level;
  }
  void SetMute(bool mute) override { device_.muted = mute; }
  std::vector<std::unique_ptr<IAudioSession>> Sessions() override {
    std::vector<std::unique_ptr<IAudioSession>> sessions;
    for (auto& session : device_.sessions)
      sessions.push_back(std::make_unique<FakeSession>(session));
    return sessions;
  }

 private:
  FakeDevice& device_;
};

// The default playback device is whichever `current` points to (none when
// null); each request gives a new endpoint object over it.
class FakeEndpoints final : public IAudioEndpoints {
 public:
  FakeDevice* current = nullptr;
  std::unique_ptr<IAudioEndpoint> DefaultPlayback() override {
    if (!current) return nullptr;
    return std::make_unique<FakeEndpoint>(*current);
  }
};

constexpr float Scalar(std::uint32_t level) {
  return static_cast<float>(level / 65535.0);
}

struct EndpointMixerTest : ::testing::Test {
  FakeDevice speakers;
  FakeEndpoints endpoints;
  EndpointMixer mixer{endpoints};

  EndpointMixerTest() { endpoints.current = &speakers; }

  ChannelLevels Read() {
    ChannelLevels levels;
    mixer.ReadMasterLevels(levels);
    return levels;
  }
};

TEST_F(EndpointMixerTest, SixtyPercentCentredSetsBothChannelsAndReadsBack) {
  mixer.WriteMasterLevels(VolumeController::LevelsFor(60, 0));
  EXPECT_FLOAT_EQ(speakers.channels[0], Scalar(39321));
  EXPECT_FLOAT_EQ(speakers.channels[1], Scalar(39321));
  EXPECT_EQ(speakers.master_writes, 0);  // the master follows the channels
  const auto levels = Read();
  EXPECT_EQ(levels.left, 39321u);
  EXPECT_EQ(levels.right, 39321u);
}

TEST_F(EndpointMixerTest, BalanceAttenuatesTheQuieterChannel) {
  mixer.WriteMasterLevels(VolumeController::LevelsFor(100, 30));
  EXPECT_FLOAT_EQ(speakers.channels[0], Scalar(45874));
  EXPECT_FLOAT_EQ(speakers.channels[1], 1.0f);

  mixer.WriteMasterLevels(VolumeController::LevelsFor(100, -90));
  EXPECT_FLOAT_EQ(speakers.channels[0], 1.0f);
  EXPECT_FLOAT_EQ(speakers.channels[1], Scalar(6553));
  const auto levels = Read();
  EXPECT_EQ(levels.left, 65535u);
  EXPECT_EQ(levels.right, 6553u);
}

TEST_F(EndpointMixerTest, VolumeControllerReadsBackWhatTheDeviceHolds) {
  speakers.channels = {1.0f, Scalar(45874)};
  VolumeController controller(mixer);
  EXPECT_FALSE(speakers.muted);  // creation unmutes
  EXPECT_EQ(controller.Volume(), 100);
  EXPECT_EQ(controller.Balance(), -30);

  controller.SetVolume(80);
  controller.SetBalance(25);
  EXPECT_EQ(controller.Volume(), 80);
  EXPECT_EQ(controller.Balance(), 25);
}

TEST_F(EndpointMixerTest, OneChannelEndpointTakesTheLouderLevelAsItsMaster) {
  speakers.channels = {0.2f};
  mixer.WriteMasterLevels(VolumeController::LevelsFor(60, -40));
  EXPECT_FLOAT_EQ(speakers.channels[0], Scalar(39321));
  EXPECT_EQ(speakers.master_writes, 1);
  const auto levels = Read();
  EXPECT_EQ(levels.left, 39321u);
  EXPECT_EQ(levels.right, 39321u);
}

TEST_F(EndpointMixerTest, SurroundChannelsFollowTheVolumeNotTheBalance) {
  speakers.channels = std::vector<float>(6, 1.0f);
  mixer.WriteMasterLevels(VolumeController::LevelsFor(50, -40));
  EXPECT_FLOAT_EQ(speakers.channels[0], Scalar(32767));
  EXPECT_FLOAT_EQ(speakers.channels[1], Scalar(19660));
  for (std::size_t c = 2; c < 6; ++c) EXPECT_FLOAT_EQ(speakers.channels[c], Scalar(32767)) << c;
  const auto levels = Read();
  EXPECT_EQ(levels.left, 32767u);
  EXPECT_EQ(levels.right, 19660u);
}

TEST_F(EndpointMixerTest, MuteSwitchesTheEndpoint) {
  mixer.WriteMasterMute(true);
  EXPECT_TRUE(speakers.muted);
  mixer.WriteMasterMute(false);
  EXPECT_FALSE(speakers.muted);
}

TEST_F(EndpointMixerTest, WithoutPlaybackDeviceNothingHappensAndReadsGiveZero) {
  endpoints.current = nullptr;
  mixer.WriteMasterLevels({100, 200});
  mixer.WriteMasterMute(false);
  mixer.WriteDeviceVolume(EndpointMixer::kWave, 10u * 0x01000100u);
  ChannelLevels kept{7, 9};
  mixer.ReadMasterLevels(kept);
  EXPECT_EQ(kept.left, 7u);
  EXPECT_EQ(kept.right, 9u);
  EXPECT_FALSE(mixer.HasDevice(EndpointMixer::kWave));
  EXPECT_EQ(mixer.ReadDeviceVolume(EndpointMixer::kWave), 0u);

  VolumeController controller(mixer);
  EXPECT_EQ(controller.Volume(), 0);
  EXPECT_EQ(controller.Balance(), 0);
  EXPECT_EQ(DeviceVolumes(mixer).Read(DeviceVolumes::kWave), 0);

  // Nothing was kept back for a device plugged in later.
  endpoints.current = &speakers;
  EXPECT_TRUE(speakers.muted);
  EXPECT_FLOAT_EQ(speakers.channels[0], 1.0f);
}

TEST_F(EndpointMixerTest, UnreadableLevelsLeaveTheCallersLevels) {
  speakers.levels_readable = false;
  ChannelLevels kept{7, 9};
  mixer.ReadMasterLevels(kept);
  EXPECT_EQ(kept.left, 7u);
  EXPECT_EQ(kept.right, 9u);

  speakers.levels_readable = true;
  speakers.counts_channels = false;
  mixer.WriteMasterLevels({0, 0});
  mixer.ReadMasterLevels(kept);
  EXPECT_FLOAT_EQ(speakers.channels[0], 1.0f);
  EXPECT_EQ(kept.left, 7u);
}

TEST_F(EndpointMixerTest, EachCallGoesToTheDefaultDeviceOfTheMoment) {
  FakeDevice headphones;
  headphones.channels = {0.5f, 0.5f};
  mixer.WriteMasterLevels(VolumeController::LevelsFor(60, 0));
  endpoints.current = &headphones;
  mixer.WriteMasterLevels(VolumeController::LevelsFor(100, 30));
  mixer.WriteMasterMute(false);

  EXPECT_FLOAT_EQ(headphones.channels[0], Scalar(45874));
  EXPECT_FLOAT_EQ(headphones.channels[1], 1.0f);
  EXPECT_FALSE(headphones.muted);
  EXPECT_FLOAT_EQ(speakers.channels[0], Scalar(39321));
  EXPECT_TRUE(speakers.muted);
  EXPECT_EQ(Read().left, 45874u);
}

TEST_F(EndpointMixerTest, WaveVolumeGoesToTheOtherProgramsSessionsOnly) {
  speakers.sessions = {{SessionOwner::SystemSounds, 0.5f},
                       {SessionOwner::OtherProgram, 1.0f},
                       {SessionOwner::ThisProgram, 0.7f},
                       {SessionOwner::OtherProgram, 0.3f}};
  DeviceVolumes volumes(mixer);
  EXPECT_TRUE(mixer.HasDevice(DeviceVolumes::kWave));
  volumes.Write(DeviceVolumes::kWave, 128);
  EXPECT_FLOAT_EQ(speakers.sessions[1].volume, 128.0f / 255.0f);
  EXPECT_FLOAT_EQ(speakers.sessions[3].volume, 128.0f / 255.0f);
  EXPECT_FLOAT_EQ(speakers.sessions[0].volume, 0.5f);
  EXPECT_FLOAT_EQ(speakers.sessions[2].volume, 0.7f);
  EXPECT_EQ(mixer.ReadDeviceVolume(DeviceVolumes::kWave), 128u * 0x01000100u);
  EXPECT_EQ(volumes.Read(DeviceVolumes::kWave), 128);

  volumes.Write(DeviceVolumes::kWave, 255);
  EXPECT_FLOAT_EQ(speakers.sessions[1].volume, 1.0f);
  EXPECT_EQ(volumes.Read(DeviceVolumes::kWave), 255);
}

TEST_F(EndpointMixerTest, WaveVolumeReadsZeroWithoutAnotherProgram) {
  speakers.sessions = {{SessionOwner::SystemSounds, 0.5f}, {SessionOwner::ThisProgram, 0.7f}};
  EXPECT_TRUE(mixer.HasDevice(EndpointMixer::kWave));
  EXPECT_EQ(mixer.ReadDeviceVolume(EndpointMixer::kWave), 0u);
}

TEST_F(EndpointMixerTest, CdAudioAndMidiAreNeverPresent) {
  speakers.sessions = {{SessionOwner::OtherProgram, 0.4f}};
  for (const int index : {0, 2}) {
    EXPECT_FALSE(mixer.HasDevice(index)) << index;
    mixer.WriteDeviceVolume(index, 255u * 0x01000100u);
    EXPECT_EQ(mixer.ReadDeviceVolume(index), 0u) << index;
  }
  EXPECT_FLOAT_EQ(speakers.sessions[0].volume, 0.4f);
}

}  // namespace
}  // namespace talvoro::platform
