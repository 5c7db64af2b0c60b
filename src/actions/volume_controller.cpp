#include "actions/volume_controller.h"

#include <algorithm>

namespace talvoro::actions {

VolumeController::VolumeController(platform::IMixer& mixer) : mixer_(mixer) {
  SetMute(false);
  ReadLevels();
}

platform::ChannelLevels VolumeController::LevelsFor(int volume, int balance) {
  const std::uint32_t full = static_cast<std::uint32_t>(volume) * 65535u / 100u;
  if (balance < 0) return {full, full * static_cast<std::uint32_t>(balance + 100) / 100u};
  return {full * static_cast<std::uint32_t>(100 - balance) / 100u, full};
}

void VolumeController::SetVolume(int volume) {
  if (volume < 0 || volume > 100) return;
  volume_ = volume;
  Apply();
}

void VolumeController::SetBalance(int balance) {
  if (balance < -100 || balance > 100) return;
  balance_ = balance;
  Apply();
}

void VolumeController::SetMute(bool mute) {
  mute_ = mute;
  mixer_.WriteMasterMute(mute);
}

int VolumeController::Volume() {
  ReadLevels();
  return volume_;
}

int VolumeController::Balance() {
  ReadLevels();
  return balance_;
}

void VolumeController::Apply() {
  mixer_.WriteMasterLevels(LevelsFor(volume_, balance_));
}

void VolumeController::ReadLevels() {
  platform::ChannelLevels levels;
  mixer_.ReadMasterLevels(levels);
  const auto left = static_cast<int>(levels.left);
  const auto right = static_cast<int>(levels.right);
  volume_ = static_cast<int>(static_cast<long long>(std::max(left, right)) * 100 / 65535);
  if (volume_ == 0)
    balance_ = 0;
  else if (right < left)
    balance_ = static_cast<int>(static_cast<long long>(right - left) * 100 / left);
  else
    balance_ = static_cast<int>(static_cast<long long>(right - left) * 100 / right);
}

int DeviceVolumes::Read(int index) {
  if (!mixer_.HasDevice(index)) return 0;
  const std::uint32_t v = mixer_.ReadDeviceVolume(index);
  return static_cast<int>(((v & 0xFFFFu) + (v >> 16)) >> 9);
}

void DeviceVolumes::Write(int index, int volume) {
  if (!mixer_.HasDevice(index)) return;
  const auto v = static_cast<std::uint32_t>(std::clamp(volume, 0, 255));
  mixer_.WriteDeviceVolume(index, v * 0x01000100u);
}

}  // namespace talvoro::actions
