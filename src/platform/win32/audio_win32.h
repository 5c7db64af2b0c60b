// The default playback endpoint through Core Audio (MMDevice API, endpoint
// volume and audio session manager).
#pragma once

#include <memory>

#include "platform/audio_endpoint.h"

namespace talvoro::platform::win32 {

// COM must be initialised on the calling thread; the program makes every
// mixer call on its main thread, which is a single-threaded apartment.
// Every call that fails is without effect: no device, no volume control
// (Wine's is partly a stub) and no session list all read as nothing.
class Win32AudioEndpoints final : public IAudioEndpoints {
 public:
  std::unique_ptr<IAudioEndpoint> DefaultPlayback() override;
};

}  // namespace talvoro::platform::win32
