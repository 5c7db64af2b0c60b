// The mixer on the default playback device of today's Windows. Since Windows
// Vista the winmm mixer and the wave-output volume change only the calling
// program's own audio session; here the speakers line is the default playback
// endpoint's volume control and the wave-output volume is the volume of the
// other programs' audio sessions on it.
#pragma once

#include <cstdint>

#include "platform/audio_endpoint.h"
#include "platform/mixer.h"

namespace talvoro::platform {

class EndpointMixer final : public IMixer {
 public:
  static constexpr int kWave = 1;

  explicit EndpointMixer(IAudioEndpoints& endpoints) : endpoints_(endpoints) {}

  // Each channel gets its level / 65535 (a channel beyond the first two, the
  // louder of them); a one-channel endpoint gets the louder level as its
  // master level. The master level of a stereo endpoint is left to the
  // system, which keeps it at the louder channel: scaling it as well would
  // multiply the levels.
  void WriteMasterLevels(ChannelLevels levels) override;
  // The first two channels' levels × 65535, rounded to the nearest (a
  // one-channel endpoint: both from its master level). Without an endpoint or
  // when a level cannot be read, `levels` is left as given.
  void ReadMasterLevels(ChannelLevels& levels) override;
  void WriteMasterMute(bool mute) override;
  // Only the wave output (index 1) exists, and only while there is a default
  // playback endpoint; CD audio (0) and MIDI output (2) are never present.
  bool HasDevice(int index) override;
  // The volume of the first other program's session that can be read, as
  // 0..255 in both channel words (× 0x01000100); 0 without such a session.
  std::uint32_t ReadDeviceVolume(int index) override;
  // The low word / 256 (0..255) becomes the volume (/ 255) of every other
  // program's audio session; the system sounds and this program's own
  // sessions keep theirs.
  void WriteDeviceVolume(int index, std::uint32_t volume) override;

 private:
  IAudioEndpoints& endpoints_;
};

}  // namespace talvoro::platform
