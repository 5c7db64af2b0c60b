// A HID backend that lists simulated receivers next to the real devices, so
// that the program can be driven without hardware (/simulate, irsim.exe).
//
// Requests (Plug, Unplug, Deliver, Handle) come from other threads and block
// until the program has taken notice: a plug or unplug until the program has
// rescanned its devices, a report until the program has finished handling it.
// The platform supplies `post_change`, which must make the main thread call
// OnDeviceChange() soon (the same road as a real device-change broadcast);
// its argument is true for the first scan after a handler is set.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/hid_backend.h"
#include "platform/sim_protocol.h"

namespace talvoro::platform::sim {

struct SimBusTimeouts {
  // How long a request waits for the program at most.
  std::chrono::milliseconds request{30000};
  // A report that nobody is reading fails after this long (the program did
  // not take the device) instead of waiting for the whole request timeout.
  std::chrono::milliseconds no_reader{3000};
};

class SimHidBus : public IHidBackend {
 public:
  // `real` may be null (only simulated devices are then listed).
  SimHidBus(std::unique_ptr<IHidBackend> real, std::function<void(bool first)> post_change,
            SimBusTimeouts timeouts = {});
  ~SimHidBus() override;

  SimHidBus(const SimHidBus&) = delete;
  SimHidBus& operator=(const SimHidBus&) = delete;

  // IHidBackend. Always available: the simulated devices need no library.
  bool Available() override { return true; }
  std::vector<HidInterfaceInfo> Enumerate() override;
  std::unique_ptr<IHidDevice> Open(const HidInterfaceInfo& info) override;
  void SetDeviceChangeHandler(std::function<void()> changed) override;

  // Main thread, when a device-change message arrives: runs the handler.
  void OnDeviceChange();

  // Any thread but the main one.
  Reply Plug(std::uint16_t vendor_id, std::uint16_t product_id, std::uint16_t report_length);
  Reply Unplug(int device);  // 0: every plugged device
  // One report; `device` 0 is the last one plugged that is still plugged.
  Reply Deliver(int device, std::vector<std::uint8_t> report);
  // Runs one pipe request.
  Reply Handle(const Request& request);

  // Wakes every waiting request with Status::Ending; later requests fail too.
  void Shutdown();

  // Device instance numbers of simulated devices: far above what the system
  // hands out, so they never match a real device across rescans.
  static constexpr std::uint32_t kInstanceBase = 0xF0000000u;

  struct Report;
  struct Device;
  struct Shared;

 private:
  class SimDevice;

  // Waits until the program has rescanned past `generation`.
  Reply WaitForRescan(std::uint64_t generation, Reply success);

  std::unique_ptr<IHidBackend> real_;
  std::function<void(bool first)> post_change_;
  SimBusTimeouts timeouts_;
  std::shared_ptr<Shared> shared_;
};

}  // namespace talvoro::platform::sim
