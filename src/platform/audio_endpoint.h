// The default playback device as today's Windows exposes it (Core Audio): the
// endpoint's volume control and the audio sessions of the programs playing
// on it. Levels are scalars 0.0..1.0, as the system shows them.
#pragma once

#include <memory>
#include <optional>
#include <vector>

namespace talvoro::platform {

// Whose audio session this is.
enum class SessionOwner { OtherProgram, ThisProgram, SystemSounds };

// One program's audio session on an endpoint: its own volume, applied on top
// of the endpoint's.
class IAudioSession {
 public:
  virtual ~IAudioSession() = default;
  virtual SessionOwner Owner() = 0;
  // Nothing when the volume cannot be read.
  virtual std::optional<float> Volume() = 0;
  virtual void SetVolume(float level) = 0;
};

// One playback endpoint. Failed writes are without effect and not reported.
class IAudioEndpoint {
 public:
  virtual ~IAudioEndpoint() = default;
  // Channels of the endpoint's volume control; 0 when they cannot be counted.
  virtual unsigned ChannelCount() = 0;
  // Nothing when the level cannot be read.
  virtual std::optional<float> ChannelLevel(unsigned channel) = 0;
  // Sets one channel; the system keeps the master level at the loudest one.
  virtual void SetChannelLevel(unsigned channel, float level) = 0;
  virtual std::optional<float> MasterLevel() = 0;
  // Sets the master level; the system scales every channel with it.
  virtual void SetMasterLevel(float level) = 0;
  virtual void SetMute(bool mute) = 0;
  // Every audio session on the endpoint, whatever its state.
  virtual std::vector<std::unique_ptr<IAudioSession>> Sessions() = 0;
};

class IAudioEndpoints {
 public:
  virtual ~IAudioEndpoints() = default;
  // The default playback endpoint as it is now; nothing without a playback
  // device.
  virtual std::unique_ptr<IAudioEndpoint> DefaultPlayback() = 0;
};

}  // namespace talvoro::platform
