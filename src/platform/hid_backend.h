// Access to HID interfaces: what the device controller needs of the OS.
// Enumeration, opening and closing happen on the main thread; StartRead,
// WaitRead and CancelRead are called only by the device's read thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace talvoro::platform {

struct HidInterfaceInfo {
  std::string path;                   // interface path used to open the device
  std::uint32_t device_instance = 0;  // identity across rescans
};

struct HidAttributes {
  std::uint16_t vendor_id = 0;
  std::uint16_t product_id = 0;
  std::uint16_t version = 0;
};

enum class HidWait { Completed, Pending };

class IHidDevice {
 public:
  virtual ~IHidDevice() = default;
  // True when the path opened for reading and writing, false when only for query.
  virtual bool ReadWrite() const = 0;
  virtual std::optional<HidAttributes> Attributes() = 0;
  // Input report length including the report id byte.
  virtual std::uint16_t InputReportLength() = 0;
  // Starts one read of `length` bytes into `buffer`. On failure returns false
  // and sets `error` to the system error code.
  virtual bool StartRead(std::uint8_t* buffer, std::size_t length, std::uint32_t& error) = 0;
  // Waits up to `timeout_ms` for the started read. Completed with
  // `bytes_read` 0 means the read failed.
  virtual HidWait WaitRead(int timeout_ms, std::size_t& bytes_read) = 0;
  // From any thread: makes a WaitRead in progress return Pending at once, or
  // the next one if none is in progress (one wake-up each call). Stopping the
  // read thread so ends its wait without waiting out the timeout.
  virtual void WakeRead() = 0;
  // Cancels the started read; returns once the system no longer writes into
  // the buffer (the read thread ends right after and frees it).
  virtual void CancelRead() = 0;
  // Closes every handle; later reads fail. The controller calls it only after
  // the device's read loop has ended or can no longer touch the device.
  virtual void Close() = 0;
};

class IHidBackend {
 public:
  virtual ~IHidBackend() = default;
  // False when the system's HID libraries could not be loaded.
  virtual bool Available() = 0;
  virtual std::vector<HidInterfaceInfo> Enumerate() = 0;
  // Opens read-write, falling back to query-only; nullptr when neither works.
  virtual std::unique_ptr<IHidDevice> Open(const HidInterfaceInfo& info) = 0;
  // `changed` runs on the main thread whenever the set of devices may have
  // changed, and once soon after it is set (the first enumeration).
  virtual void SetDeviceChangeHandler(std::function<void()> changed) = 0;
};

}  // namespace talvoro::platform
