#include "hid/receiver.h"

#include <algorithm>
#include <utility>

namespace talvoro::hid {

int CodeFromReport(const std::uint8_t* data, std::uint16_t size) {
  const int high = size >= 1 ? data[0] : 0;
  const int low = size >= 2 ? data[1] : 0;
  return high * 256 + low;
}

ReceiverConnection::ReceiverConnection(HidDeviceController& controller, IReceiverHost& host)
    : controller_(controller), host_(host) {
  controller_.SetOnArrival([this](HidDevice& device) { HandleArrival(device); });
  controller_.SetOnRemoval([this](HidDevice& device) { HandleRemoval(device); });
}

ReceiverConnection::~ReceiverConnection() {
  controller_.SetOnArrival(nullptr);
  controller_.SetOnRemoval(nullptr);
  bound_ = nullptr;
  auto held = std::move(held_);
  // Every read thread is told to end before the first is waited for: a
  // report of the second receiver would otherwise run while the main thread
  // waits for the first one's thread (at exit, after the windows are gone).
  for (auto& device : held) device->RequestReadStop();
  held.clear();
}

bool ReceiverConnection::IsReceiver(const HidDevice& device) {
  return device.VendorId() == kReceiverVendorId && device.ProductId() == kReceiverProductId;
}

void ReceiverConnection::HandleArrival(HidDevice& device) {
  if (!IsReceiver(device)) return;
  bound_ = &device;
  if (device.HasReadWriteAccess()) {
    // Takes the first listed receiver that is still free: normally `device`
    // itself, unless another one is listed before it.
    bound_ = nullptr;
    std::unique_ptr<HidDevice> taken;
    if (controller_.CheckOutByIds(kReceiverVendorId, kReceiverProductId, taken)) {
      bound_ = taken.get();
      held_.push_back(std::move(taken));
      bound_->SetOnData([this](HidDevice& from, std::uint8_t report_id, const std::uint8_t* data,
                               std::uint16_t size) { HandleReport(from, report_id, data, size); });
    }
  } else {
    // Opened for query only: accepted, but no read thread and no codes.
    device.SetOnData(nullptr);
  }
  host_.OnReceiverStatus(kReceiverConnectedText);
  host_.OnReceiverArrived();
}

void ReceiverConnection::HandleRemoval(HidDevice& device) {
  if (!IsReceiver(device)) return;
  host_.OnReceiverStatus(kReceiverDisconnectedText);
  // Releasing destroys the device (its thread stopped, out of the list). A
  // query-only receiver was never checked out: the controller drops it itself
  // once this handler returns, so forgetting it is its release.
  HidDevice* bound = std::exchange(bound_, nullptr);
  auto held = std::find_if(held_.begin(), held_.end(),
                           [bound](const auto& owned) { return owned.get() == bound; });
  if (bound && held != held_.end()) {
    auto released = std::move(*held);
    held_.erase(held);
    released.reset();
  }
  host_.OnReceiverGone();
}

void ReceiverConnection::HandleReport(HidDevice& device, std::uint8_t report_id,
                                      const std::uint8_t* data, std::uint16_t size) {
  host_.OnCode(CodeFromReport(data, size));
}

}  // namespace talvoro::hid
