// The HID device controller: the list of present HID interfaces, their arrival
// and removal, exclusive use of one device by a client (check-out), and a read
// thread per checked-out device that hands every input report to the main
// thread.
//
// Threads. Everything here runs on the main thread except the loop inside
// HidReadThread, which touches only its own buffer and the backend device's
// StartRead / WaitRead / CancelRead, and reaches the main thread only through
// MainThreadQueue::RunSync.
//
// Ownership. The controller owns every listed device that is not checked out.
// CheckOutByIds hands the device to the client as a std::unique_ptr; the device
// stays listed, and destroying that pointer is the release: a device that is
// still plugged in is replaced in its list slot by a fresh, not checked-out
// device for the same interface, an unplugged one leaves the list.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "platform/hid_backend.h"
#include "platform/main_thread.h"

namespace talvoro::hid {

// Raised by the device constructor ("device cannot be opened", "device cannot
// be identified").
class ControllerError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Plug-and-play facts about one interface.
struct HidPnpInfo {
  std::string device_path;            // what the backend opens
  std::uint32_t device_instance = 0;  // identity across rescans
};

class HidDevice;
class HidDeviceController;

using HidPlugHandler = std::function<void(HidDevice& device)>;
// `data` points just past the report id byte and is valid only during the call.
using HidDataHandler = std::function<void(HidDevice& device, std::uint8_t report_id,
                                          const std::uint8_t* data, std::uint16_t size)>;
using HidDataErrorHandler = std::function<void(HidDevice& device, std::uint32_t error)>;
// Returns false to stop the walk.
using HidEnumerateHandler = std::function<bool(HidDevice& device, int index)>;
using HidNotifyHandler = std::function<void()>;

inline constexpr int kDefaultThreadSleepTime = 100;
// How long the read thread waits for a report at a time; Stop wakes it
// sooner.
inline constexpr int kReadWaitMs = 2000;
inline constexpr int kMinThreadSleepTime = 10;
inline constexpr int kMaxThreadSleepTime = 10000;

// The read loop of one device.
//
// Each pass zeroes the buffer over the report length, starts a read and waits
// for it in slices of the sleep time, so that Stop() is noticed within one
// sleep time. A completed read of n > 0 bytes is handed to `on_report` on the
// main thread (report id = byte 0, data = byte 1.., size = n - 1) and the loop
// waits until it has returned. A read that cannot start is recorded and handed
// to `on_error` on the main thread; the loop then waits one sleep time before
// trying again (likewise after a read that completes with nothing), so a
// failing device does not keep a core busy.
//
// Stop() and the backend's handles: Stop(true) returns only once the loop has
// ended, and the loop cancels a pending read before it ends, so the owner may
// Close() the backend device right after. The sinks are never called once
// Stop() was requested: a report still waiting in RunSync is dropped (its
// hand-over job counts as abandoned, see MainThreadQueue).
class HidReadThread {
 public:
  using ReportSink =
      std::function<void(std::uint8_t report_id, const std::uint8_t* data, std::uint16_t size)>;
  using ErrorSink = std::function<void(std::uint32_t error)>;

  // Starts the thread at once. `io` must stay usable until Stop() returns.
  HidReadThread(platform::IHidDevice& io, std::size_t report_length, int sleep_ms,
                platform::MainThreadQueue& main_thread, ReportSink on_report, ErrorSink on_error);
  ~HidReadThread();  // Stop(true)
  HidReadThread(const HidReadThread&) = delete;
  HidReadThread& operator=(const HidReadThread&) = delete;

  void SetSleepTime(int ms);

  // Main thread only. With `wait`, returns once the loop has ended, running
  // queued main-thread jobs meanwhile (the loop may be blocked in RunSync);
  // called from inside any hand-over job, it runs only the abandoned ones, so
  // it ends without another handler running. Without it (the caller is
  // inside one of this thread's own sinks, so the loop cannot end before the
  // caller returns), the loop is told to end and left to finish alone: after
  // the sink returns it ends without touching the backend device again, and
  // it holds its own share of the queue, so the queue may be destroyed
  // before it has ended.
  void Stop(bool wait);
  // Main thread only: tells the loop to end and returns at once; the sinks
  // are not called any more (a report waiting in RunSync is dropped). Stop
  // still waits for the end, or leaves the loop to end alone.
  void RequestStop();

  std::uint32_t LastError() const;
  std::size_t LastBytesRead() const;

  // Read loops that have not ended yet, in the whole process.
  static int LiveCount();

 private:
  struct State;
  static void Run(std::shared_ptr<State> state);

  std::shared_ptr<State> state_;
  platform::MainThreadQueue& main_thread_;
  std::thread thread_;
};

class HidDevice {
 public:
  // Opens the interface through the backend; throws ControllerError when it
  // cannot be opened or identified. A device created directly belongs to no
  // controller.
  HidDevice(HidPnpInfo info, platform::IHidBackend& backend,
            platform::MainThreadQueue& main_thread);
  // The release: stops the read thread, closes the backend device and, when
  // listed, gives the slot back to the controller (see the file comment).
  ~HidDevice();
  HidDevice(const HidDevice&) = delete;
  HidDevice& operator=(const HidDevice&) = delete;

  const HidPnpInfo& PnpInfo() const { return pnp_info_; }
  HidDeviceController* Controller() const { return controller_; }
  bool IsPluggedIn() const { return plugged_in_; }
  bool IsCheckedOut() const { return checked_out_; }
  bool HasReadWriteAccess() const { return read_write_; }

  const platform::HidAttributes& Attributes() const { return attributes_; }
  std::uint16_t VendorId() const { return attributes_.vendor_id; }
  std::uint16_t ProductId() const { return attributes_.product_id; }
  std::uint16_t VersionNumber() const { return attributes_.version; }
  // Including the report id byte; asked of the backend once. 0 once closed
  // before it was ever asked.
  std::uint16_t InputReportLength();

  int ThreadSleepTime() const { return sleep_time_; }
  // Accepted only within 10..10000 ms; other values are ignored.
  void SetThreadSleepTime(int ms);

  // Setting none stops the read thread first. The thread starts once a
  // handler is set and the device is plugged in, checked out and read-write.
  void SetOnData(HidDataHandler handler);
  void SetOnDataError(HidDataErrorHandler handler);
  void SetOnUnplug(HidPlugHandler handler);
  bool HasDataHandler() const { return on_data_ && *on_data_; }
  bool HasReadThread() const { return read_thread_ != nullptr; }
  // Tells the read thread to end without waiting for it: no handler of this
  // device runs from then on. The release waits for it. For an owner that
  // releases several devices: telling every thread first lets none of them
  // deliver while the main thread waits for another to end.
  void RequestReadStop();
  std::uint32_t LastReadError() const;

 private:
  friend class HidDeviceController;
  template <class F>
  using Shared = std::shared_ptr<const F>;

  // Handlers are shared so that the controller can tell whether a device
  // still carries the controller's own handler (std::function has no ==).
  void SetData(Shared<HidDataHandler> handler);
  void SetDataError(Shared<HidDataErrorHandler> handler);
  void SetUnplug(Shared<HidPlugHandler> handler) { on_unplug_ = std::move(handler); }
  void StartReadThreadIfReady();
  void StopReadThread();
  void CloseIo();
  // Stops reading, closes the device, clears the plugged-in flag and fires
  // (then clears) the unplug handler. The handler may destroy the device.
  void Unplug();
  void DeliverReport(std::uint8_t report_id, const std::uint8_t* data, std::uint16_t size);
  void DeliverError(std::uint32_t error);

  HidPnpInfo pnp_info_;
  platform::IHidBackend& backend_;
  platform::MainThreadQueue& main_thread_;
  HidDeviceController* controller_ = nullptr;
  std::unique_ptr<platform::IHidDevice> io_;
  platform::HidAttributes attributes_;
  std::uint16_t input_report_length_ = 0;
  bool report_length_known_ = false;
  bool plugged_in_ = true;
  bool checked_out_ = false;
  bool read_write_ = false;
  int sleep_time_ = kDefaultThreadSleepTime;
  Shared<HidDataHandler> on_data_;
  Shared<HidDataErrorHandler> on_data_error_;
  Shared<HidPlugHandler> on_unplug_;
  std::unique_ptr<HidReadThread> read_thread_;
  std::uint32_t last_read_error_ = 0;  // kept after the thread is gone
  int delivering_ = 0;                 // depth of this device's handlers on the stack
  // Expires when the device is destroyed: lets callers of client handlers
  // tell whether the handler released the device.
  std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

class HidDeviceController {
 public:
  static constexpr const char* kVersion = "1.0.34";

  // Subscribes to the backend's device changes (each runs DeviceChange(); the
  // first comes soon after, which is the first enumeration). Nothing happens
  // when the backend is not available.
  HidDeviceController(platform::IHidBackend& backend, platform::MainThreadQueue& main_thread);
  // Clears the handlers and unsubscribes; checked-out devices are unplugged
  // (their unplug handler fires) and left to their owners, the rest destroyed.
  ~HidDeviceController();
  HidDeviceController(const HidDeviceController&) = delete;
  HidDeviceController& operator=(const HidDeviceController&) = delete;

  std::string Version() const { return kVersion; }

  // Fired during a rescan. A client may release a checked-out device from
  // inside OnRemoval (or its unplug handler): the controller does not touch it
  // afterwards. An unplugged device that its owner keeps checked out stays
  // listed, and every later pass reports its removal again until it is
  // released.
  void SetOnArrival(HidPlugHandler handler);
  void SetOnRemoval(HidPlugHandler handler);
  // Runs a rescan at once, and then after every pass that changed the list
  // (and after the first pass).
  void SetOnDeviceChange(HidNotifyHandler handler);
  void SetOnEnumerate(HidEnumerateHandler handler);
  // These three are handed to every listed device whose own handler is still
  // the controller's previous one. New devices take the data and unplug
  // handlers, not the data error handler.
  void SetOnDeviceData(HidDataHandler handler);
  void SetOnDeviceDataError(HidDataErrorHandler handler);
  void SetOnDeviceUnplug(HidPlugHandler handler);

  // Default 100; accepted within 10..10000 ms only. Passed to every listed
  // device whose sleep time still equals the old value (new devices start at
  // 100 whatever this is).
  int DevThreadSleepTime() const { return sleep_time_; }
  void SetDevThreadSleepTime(int ms);

  // The first listed device with these IDs that is not checked out (product
  // -1 accepts any product). `device` is emptied first; false when none.
  bool CheckOutByIds(int vendor_id, int product_id, std::unique_ptr<HidDevice>& device);

  // Rescans the interfaces; ignored while a rescan runs.
  void DeviceChange();

  // Calls OnEnumerate for each plugged-in listed device in order until it
  // returns false; returns the number of calls.
  int Enumerate();

  std::vector<HidDevice*> Devices() const;
  int CheckedInCount() const { return checked_in_count_; }    // plugged in, not checked out
  int CheckedOutCount() const { return checked_out_count_; }  // checked out
  int UnpluggedCount() const { return unplugged_count_; }

 private:
  friend class HidDevice;
  struct Entry {
    HidDevice* device = nullptr;
    std::unique_ptr<HidDevice> owned;  // empty while checked out
  };

  std::unique_ptr<HidDevice> CreateDevice(const HidPnpInfo& info);
  void Rescan();
  std::vector<std::unique_ptr<HidDevice>> EnumerateInterfaces();
  int IndexOf(const HidDevice* device) const;
  void Recount();
  // A listed device is being destroyed (released by its owner).
  void DeviceReleased(HidDevice* device, HidDevice::Shared<HidDataHandler> data,
                      HidDevice::Shared<HidPlugHandler> unplug, int sleep_time);

  platform::IHidBackend& backend_;
  platform::MainThreadQueue& main_thread_;
  bool available_ = false;
  std::vector<Entry> list_;
  bool rescanning_ = false;
  bool first_pass_ = true;
  int sleep_time_ = kDefaultThreadSleepTime;
  int checked_in_count_ = 0;
  int checked_out_count_ = 0;
  int unplugged_count_ = 0;
  HidPlugHandler on_arrival_;
  HidPlugHandler on_removal_;
  HidNotifyHandler on_device_change_;
  HidEnumerateHandler on_enumerate_;
  HidDevice::Shared<HidDataHandler> on_device_data_;
  HidDevice::Shared<HidDataErrorHandler> on_device_data_error_;
  HidDevice::Shared<HidPlugHandler> on_device_unplug_;
};

}  // namespace talvoro::hid
