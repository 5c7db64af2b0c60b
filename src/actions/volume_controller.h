// Master volume, balance and mute of the speakers line, and the per-device
// volumes (CD audio, wave output, MIDI output), over the platform mixer.
#pragma once

#include <cstdint>

#include "platform/mixer.h"

namespace talvoro::actions {

class VolumeController {
 public:
  // Unmutes the speakers line and reads the current levels, as the mixer
  // component does when it is created.
  explicit VolumeController(platform::IMixer& mixer);

  // Percent 0..100; other values are ignored. Applied with the stored balance.
  void SetVolume(int volume);
  // -100..100 (negative: left louder); other values are ignored.
  void SetBalance(int balance);
  void SetMute(bool mute);

  // Read back from the mixer (and stored).
  int Volume();
  int Balance();
  // The last value given to SetMute; the mixer is not read.
  bool Mute() const { return mute_; }

  // Channel levels for a volume and balance: the louder side gets the full
  // level, the other is attenuated linearly.
  static platform::ChannelLevels LevelsFor(int volume, int balance);

 private:
  void Apply();
  void ReadLevels();

  platform::IMixer& mixer_;
  bool mute_ = false;
  int volume_ = 0;
  int balance_ = 0;
};

// Device volumes 0..255 by index: 0 CD audio, 1 wave output, 2 MIDI output.
class DeviceVolumes {
 public:
  static constexpr int kWave = 1;
  explicit DeviceVolumes(platform::IMixer& mixer) : mixer_(mixer) {}
  // The mean of both channels scaled to 0..255; 0 without a device.
  int Read(int index);
  // Values outside 0..255 are held at the nearest bound.
  void Write(int index, int volume);

 private:
  platform::IMixer& mixer_;
};

}  // namespace talvoro::actions
