// The sound mixer as the winmm multimedia API exposes it: the speakers line of
// mixer 0 (two channel levels 0..65535 and a mute switch) and the per-device
// volumes (index 0 CD audio, 1 wave output, 2 MIDI output).
#pragma once

#include <cstdint>

namespace talvoro::platform {

struct ChannelLevels {
  std::uint32_t left = 0;
  std::uint32_t right = 0;
};

class IMixer {
 public:
  virtual ~IMixer() = default;
  virtual void WriteMasterLevels(ChannelLevels levels) = 0;
  // Reads the speakers line's levels; a failed read leaves `levels` as given.
  virtual void ReadMasterLevels(ChannelLevels& levels) = 0;
  virtual void WriteMasterMute(bool mute) = 0;
  // Device volumes: low word left, high word right. A missing device reads 0
  // and ignores writes.
  virtual bool HasDevice(int index) = 0;
  virtual std::uint32_t ReadDeviceVolume(int index) = 0;
  virtual void WriteDeviceVolume(int index, std::uint32_t volume) = 0;
};

}  // namespace talvoro::platform
