#include "platform/win32/audio_win32.h"

#include <utility>
#include <vector>

#include "platform/win32/win32_api.h"

// After the program's own Windows header, which settles the macros.
#include <audiopolicy.h>
#include <endpointvolume.h>
#include <mmdeviceapi.h>

namespace talvoro::platform::win32 {
namespace {

// Holds one reference to a COM interface and releases it.
template <typename T>
class ComRef {
 public:
  ComRef() = default;
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  ComRef(ComRef&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  ComRef& operator=(ComRef&& other) noexcept {
    if (this != &other) {
      Reset();
      p_ = std::exchange(other.p_, nullptr);
    }
    return *this;
  }
  ~ComRef() { Reset(); }

  T* operator->() const { return p_; }
  T& operator*() const { return *p_; }
  explicit operator bool() const { return p_ != nullptr; }
  // For an out parameter: drops what was held, receives the new reference.
  T** Put() {
    Reset();
    return &p_;
  }
  void** PutVoid() { return reinterpret_cast<void**>(Put()); }
  void Reset() {
    if (p_) std::exchange(p_, nullptr)->Release();
  }

 private:
  T* p_ = nullptr;
};

class Win32AudioSession final : public IAudioSession {
 public:
  Win32AudioSession(SessionOwner owner, ComRef<ISimpleAudioVolume> volume)
      : owner_(owner), volume_(std::move(volume)) {}

  SessionOwner Owner() override { return owner_; }
  std::optional<float> Volume() override {
    float level = 0;
    if (FAILED(volume_->GetMasterVolume(&level))) return std::nullopt;
    return level;
  }
  void SetVolume(float level) override { volume_->SetMasterVolume(level, nullptr); }

 private:
  SessionOwner owner_;
  ComRef<ISimpleAudioVolume> volume_;
};

// Whose session it is; nothing when that cannot be told (such a session is
// left alone).
std::optional<SessionOwner> OwnerOf(IAudioSessionControl2& control) {
  if (control.IsSystemSoundsSession() == S_OK) return SessionOwner::SystemSounds;
  DWORD process = 0;
  // A session shared by several processes reports the one that created it.
  if (FAILED(control.GetProcessId(&process))) return std::nullopt;
  return process == GetCurrentProcessId() ? SessionOwner::ThisProgram : SessionOwner::OtherProgram;
}

class Win32AudioEndpoint final : public IAudioEndpoint {
 public:
  explicit Win32AudioEndpoint(ComRef<IMMDevice> device) : device_(std::move(device)) {
    // Without a volume control (a failed activation) the levels and mute
    // are without effect; the sessions are still reached.
    device_->Activate(__uuidof(IAudioEndpointVolume), CLSCTX_INPROC_SERVER, nullptr,
                      volume_.PutVoid());
  }

  unsigned ChannelCount() override {
    UINT count = 0;
    if (!volume_ || FAILED(volume_->GetChannelCount(&count))) return 0;
    return count;
  }
  std::optional<float> ChannelLevel(unsigned channel) override {
    float level = 0;
    if (!volume_ || FAILED(volume_->GetChannelVolumeLevelScalar(channel, &level)))
      return std::nullopt;
    return level;
  }
  void SetChannelLevel(unsigned channel, float level) override {
    if (volume_) volume_->SetChannelVolumeLevelScalar(channel, level, nullptr);
  }
  std::optional<float> MasterLevel() override {
    float level = 0;
    if (!volume_ || FAILED(volume_->GetMasterVolumeLevelScalar(&level))) return std::nullopt;
    return level;
  }
  void SetMasterLevel(float level) override {
    if (volume_) volume_->SetMasterVolumeLevelScalar(level, nullptr);
  }
  void SetMute(bool mute) override {
    if (volume_) volume_->SetMute(mute ? TRUE : FALSE, nullptr);
  }

  std::vector<std::unique_ptr<IAudioSession>> Sessions() override {
    std::vector<std::unique_ptr<IAudioSession>> sessions;
    ComRef<IAudioSessionManager2> manager;
    if (FAILED(device_->Activate(__uuidof(IAudioSessionManager2), CLSCTX_INPROC_SERVER, nullptr,
                                 manager.PutVoid())) ||
        !manager)
      return sessions;
    ComRef<IAudioSessionEnumerator> list;
    if (FAILED(manager->GetSessionEnumerator(list.Put())) || !list) return sessions;
    int count = 0;
    if (FAILED(list->GetCount(&count))) return sessions;
    for (int i = 0; i < count; ++i) {
      ComRef<IAudioSessionControl> control;
      if (FAILED(list->GetSession(i, control.Put())) || !control) continue;
      ComRef<IAudioSessionControl2> control2;
      if (FAILED(control->QueryInterface(__uuidof(IAudioSessionControl2), control2.PutVoid())) ||
          !control2)
        continue;
      const auto owner = OwnerOf(*control2);
      if (!owner) continue;
      ComRef<ISimpleAudioVolume> volume;
      if (FAILED(control->QueryInterface(__uuidof(ISimpleAudioVolume), volume.PutVoid())) ||
          !volume)
        continue;
      sessions.push_back(std::make_unique<Win32AudioSession>(*owner, std::move(volume)));
    }
    return sessions;
  }

 private:
  ComRef<IMMDevice> device_;
  ComRef<IAudioEndpointVolume> volume_;
};

}  // namespace

// The enumerator is created at each call, as the endpoint is: no interface
// is kept between the mixer's calls.
std::unique_ptr<IAudioEndpoint> Win32AudioEndpoints::DefaultPlayback() {
  ComRef<IMMDeviceEnumerator> enumerator;
  if (FAILED(CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_INPROC_SERVER,
                              __uuidof(IMMDeviceEnumerator), enumerator.PutVoid())) ||
      !enumerator)
    return nullptr;
  ComRef<IMMDevice> device;
  // No playback device: E_NOTFOUND.
  if (FAILED(enumerator->GetDefaultAudioEndpoint(eRender, eConsole, device.Put())) || !device)
    return nullptr;
  return std::make_unique<Win32AudioEndpoint>(std::move(device));
}

}  // namespace talvoro::platform::win32
