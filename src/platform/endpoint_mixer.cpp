#include "platform/endpoint_mixer.h"

#include <algorithm>
#include <cmath>

namespace talvoro::platform {

// Every call asks for the default endpoint afresh instead of keeping one and
// following the device-change notifications: the calls are few (a click or a
// remote key), those notifications arrive on a thread of the system's and
// would need locking against the main thread, and a kept endpoint could be a
// device that was just unplugged. Plugging in headphones is thus followed at
// the next call.

namespace {

constexpr std::uint32_t kFullLevel = 65535;
constexpr int kFullDeviceVolume = 255;

float LevelScalar(std::uint32_t level) {
  return static_cast<float>(std::min(level, kFullLevel) / static_cast<double>(kFullLevel));
}

std::uint32_t LevelFromScalar(float scalar) {
  const double clamped = std::clamp(static_cast<double>(scalar), 0.0, 1.0);
  return static_cast<std::uint32_t>(std::lround(clamped * kFullLevel));
}

bool IsOtherProgram(IAudioSession& session) {
  return session.Owner() == SessionOwner::OtherProgram;
}

}  // namespace

void EndpointMixer::WriteMasterLevels(ChannelLevels levels) {
  const auto endpoint = endpoints_.DefaultPlayback();
  if (!endpoint) return;
  const unsigned channels = endpoint->ChannelCount();
  const float left = LevelScalar(levels.left);
  const float right = LevelScalar(levels.right);
  const float louder = std::max(left, right);
  if (channels == 1) {
    endpoint->SetMasterLevel(louder);
    return;
  }
  if (channels == 0) return;
  endpoint->SetChannelLevel(0, left);
  endpoint->SetChannelLevel(1, right);
  // Centre, low-frequency and rear channels follow the volume, not the
  // balance.
  for (unsigned channel = 2; channel < channels; ++channel)
    endpoint->SetChannelLevel(channel, louder);
}

void EndpointMixer::ReadMasterLevels(ChannelLevels& levels) {
  const auto endpoint = endpoints_.DefaultPlayback();
  if (!endpoint) return;
  const unsigned channels = endpoint->ChannelCount();
  if (channels == 1) {
    if (const auto master = endpoint->MasterLevel()) {
      levels.left = levels.right = LevelFromScalar(*master);
    }
    return;
  }
  if (channels == 0) return;
  const auto left = endpoint->ChannelLevel(0);
  const auto right = endpoint->ChannelLevel(1);
  if (!left || !right) return;
  levels.left = LevelFromScalar(*left);
  levels.right = LevelFromScalar(*right);
}

void EndpointMixer::WriteMasterMute(bool mute) {
  if (const auto endpoint = endpoints_.DefaultPlayback()) endpoint->SetMute(mute);
}

bool EndpointMixer::HasDevice(int index) {
  return index == kWave && endpoints_.DefaultPlayback() != nullptr;
}

std::uint32_t EndpointMixer::ReadDeviceVolume(int index) {
  if (index != kWave) return 0;
  const auto endpoint = endpoints_.DefaultPlayback();
  if (!endpoint) return 0;
  for (const auto& session : endpoint->Sessions()) {
    if (!IsOtherProgram(*session)) continue;
    const auto volume = session->Volume();
    if (!volume) continue;
    const double clamped = std::clamp(static_cast<double>(*volume), 0.0, 1.0);
    const auto level = static_cast<std::uint32_t>(std::lround(clamped * kFullDeviceVolume));
    return level * 0x01000100u;
  }
  return 0;
}

void EndpointMixer::WriteDeviceVolume(int index, std::uint32_t volume) {
  if (index != kWave) return;
  const auto endpoint = endpoints_.DefaultPlayback();
  if (!endpoint) return;
  const std::uint32_t level = (volume & 0xFFFFu) / 256u;
  const float scalar = static_cast<float>(level / static_cast<double>(kFullDeviceVolume));
  for (const auto& session : endpoint->Sessions())
    if (IsOtherProgram(*session)) session->SetVolume(scalar);
}

}  // namespace talvoro::platform
