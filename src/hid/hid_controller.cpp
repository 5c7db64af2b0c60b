#include "hid/hid_controller.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <utility>

namespace talvoro::hid {

namespace {

std::atomic<int> g_live_read_threads{0};

bool SleepTimeAccepted(int ms) {
  return ms >= kMinThreadSleepTime && ms <= kMaxThreadSleepTime;
}

}  // namespace

// ---------------------------------------------------------------------------
// HidReadThread

// Everything the loop touches lives here, shared with the loop, so that a loop
// left to finish alone (Stop without waiting) never outlives its memory.
struct HidReadThread::State {
  platform::IHidDevice& io;
  // The loop's own share of the queue: a loop left to finish alone may still
  // be leaving RunSync when the queue is destroyed at exit.
  platform::MainThreadQueue::Sender main_thread;
  ReportSink on_report;  // main thread only
  ErrorSink on_error;    // main thread only
  std::vector<std::uint8_t> buffer;
  std::size_t report_length = 0;
  std::atomic<int> sleep_ms{kDefaultThreadSleepTime};
  std::atomic<bool> terminated{false};
  std::atomic<bool> ended{false};
  std::atomic<std::uint32_t> last_error{0};
  std::atomic<std::size_t> bytes_read{0};
  std::mutex mutex;
  std::condition_variable wake;

  State(platform::IHidDevice& io_in, platform::MainThreadQueue& queue)
      : io(io_in), main_thread(queue.sender()) {}

  // Waits one sleep time unless told to end meanwhile; false when terminated.
  bool Pause() {
    std::unique_lock lock(mutex);
    wake.wait_for(lock, std::chrono::milliseconds(sleep_ms.load()),
                  [&] { return terminated.load(); });
    return !terminated.load();
  }
};

HidReadThread::HidReadThread(platform::IHidDevice& io, std::size_t report_length, int sleep_ms,
                             platform::MainThreadQueue& main_thread, ReportSink on_report,
                             ErrorSink on_error)
    : state_(std::make_shared<State>(io, main_thread)), main_thread_(main_thread) {
  state_->on_report = std::move(on_report);
  state_->on_error = std::move(on_error);
  state_->report_length = report_length;
  // At least one byte, so that the data pointer of an empty report still
  // points into (one past) a real buffer.
  state_->buffer.assign(std::max<std::size_t>(report_length, 1), 0);
  state_->sleep_ms = sleep_ms;
  ++g_live_read_threads;
  thread_ = std::thread(&HidReadThread::Run, state_);
}

HidReadThread::~HidReadThread() {
  Stop(true);
}

void HidReadThread::SetSleepTime(int ms) {
  state_->sleep_ms = ms;
}

std::uint32_t HidReadThread::LastError() const {
  return state_->last_error;
}
std::size_t HidReadThread::LastBytesRead() const {
  return state_->bytes_read;
}
int HidReadThread::LiveCount() {
  return g_live_read_threads;
}

void HidReadThread::RequestStop() {
  if (!thread_.joinable() || state_->terminated) return;
  {
    std::lock_guard lock(state_->mutex);
    state_->terminated = true;
  }
  state_->wake.notify_all();
  // Still open here: the owner closes the device only after Stop.
  state_->io.WakeRead();
}

void HidReadThread::Stop(bool wait) {
  if (!thread_.joinable()) return;
  RequestStop();
  if (!wait) {
    thread_.detach();
    return;
  }
  // The loop may be blocked in RunSync waiting for us: keep serving the queue
  // until the loop has ended. Its job is abandoned now (it sees `terminated`
  // and drops the report), so it runs even when we are inside another job.
  auto state = state_;
  main_thread_.WaitUntil([state] { return state->ended.load(); });
  thread_.join();
}

void HidReadThread::Run(std::shared_ptr<State> state) {
  State& s = *state;
  while (!s.terminated) {
    std::fill(s.buffer.begin(), s.buffer.end(), 0);
    std::uint32_t error = 0;
    if (!s.io.StartRead(s.buffer.data(), s.report_length, error)) {
      s.last_error = error;
      s.main_thread.RunSync(
          [state, error] {
            if (!state->terminated && state->on_error) state->on_error(error);
          },
          [state] { return state->terminated.load(); });
      // Nothing past this point may touch the device once terminated: the
      // owner may already have closed it (see Stop without waiting).
      if (!s.Pause()) break;
      continue;
    }

    std::size_t n = 0;
    bool completed = false;
    // Stop wakes the wait: a long one costs nothing while no report comes,
    // where waking every sleep time kept the idle program busy.
    while (!s.terminated) {
      if (s.io.WaitRead(kReadWaitMs, n) == platform::HidWait::Completed) {
        completed = true;
        break;
      }
    }
    if (!completed) {
      s.io.CancelRead();
      break;
    }
    n = std::min(n, s.report_length);
    s.bytes_read = n;
    if (n == 0) {
      // A failed read; pace the next one like a read that cannot start.
      if (!s.Pause()) break;
      continue;
    }
    const auto size = static_cast<std::uint16_t>(n - 1);
    s.main_thread.RunSync(
        [state, size] {
          if (!state->terminated && state->on_report)
            state->on_report(state->buffer[0], state->buffer.data() + 1, size);
        },
        [state] { return state->terminated.load(); });
  }
  state->ended = true;
  --g_live_read_threads;
}

// ---------------------------------------------------------------------------
// HidDevice

HidDevice::HidDevice(HidPnpInfo info, platform::IHidBackend& backend,
                     platform::MainThreadQueue& main_thread)
    : pnp_info_(std::move(info)), backend_(backend), main_thread_(main_thread) {
  io_ = backend_.Open(platform::HidInterfaceInfo{pnp_info_.device_path, pnp_info_.device_instance});
  if (!io_) throw ControllerError("device cannot be opened");
  read_write_ = io_->ReadWrite();
  auto attributes = io_->Attributes();
  if (!attributes) {
    io_->Close();
    throw ControllerError("device cannot be identified");
  }
  attributes_ = *attributes;
}

HidDevice::~HidDevice() {
  alive_.reset();
  auto data = std::move(on_data_);
  auto unplug = std::move(on_unplug_);
  on_data_error_.reset();
  StopReadThread();
  CloseIo();
  if (controller_)
    controller_->DeviceReleased(this, std::move(data), std::move(unplug), sleep_time_);
}

std::uint16_t HidDevice::InputReportLength() {
  if (!report_length_known_ && io_) {
    input_report_length_ = io_->InputReportLength();
    report_length_known_ = input_report_length_ > 0;  // a failed query may be retried
  }
  return input_report_length_;
}

void HidDevice::SetThreadSleepTime(int ms) {
  if (!SleepTimeAccepted(ms)) return;
  sleep_time_ = ms;
  if (read_thread_) read_thread_->SetSleepTime(ms);
}

void HidDevice::SetOnData(HidDataHandler handler) {
  SetData(handler ? std::make_shared<const HidDataHandler>(std::move(handler)) : nullptr);
}

void HidDevice::SetOnDataError(HidDataErrorHandler handler) {
  SetDataError(handler ? std::make_shared<const HidDataErrorHandler>(std::move(handler)) : nullptr);
}

void HidDevice::SetOnUnplug(HidPlugHandler handler) {
  SetUnplug(handler ? std::make_shared<const HidPlugHandler>(std::move(handler)) : nullptr);
}

void HidDevice::SetData(Shared<HidDataHandler> handler) {
  if (!handler) StopReadThread();
  on_data_ = std::move(handler);
  StartReadThreadIfReady();
}

void HidDevice::SetDataError(Shared<HidDataErrorHandler> handler) {
  on_data_error_ = std::move(handler);
}

std::uint32_t HidDevice::LastReadError() const {
  return read_thread_ ? read_thread_->LastError() : last_read_error_;
}

void HidDevice::StartReadThreadIfReady() {
  if (!HasDataHandler() || !plugged_in_ || !checked_out_ || !read_write_ || read_thread_ || !io_)
    return;
  const std::size_t length = InputReportLength();
  read_thread_ = std::make_unique<HidReadThread>(
      *io_, length, sleep_time_, main_thread_,
      [this](std::uint8_t id, const std::uint8_t* data, std::uint16_t size) {
        DeliverReport(id, data, size);
      },
      [this](std::uint32_t error) { DeliverError(error); });
}

void HidDevice::StopReadThread() {
  if (!read_thread_) return;
  // From inside one of this device's own handlers the loop is blocked until
  // we return, so waiting for it would never end.
  read_thread_->Stop(delivering_ == 0);
  last_read_error_ = read_thread_->LastError();
  read_thread_.reset();
}

void HidDevice::RequestReadStop() {
  if (read_thread_) read_thread_->RequestStop();
}

void HidDevice::CloseIo() {
  if (!io_) return;
  io_->Close();
  io_.reset();
}

void HidDevice::Unplug() {
  StopReadThread();
  CloseIo();
  plugged_in_ = false;
  auto handler = std::move(on_unplug_);
  on_unplug_.reset();
  if (handler && *handler) (*handler)(*this);
}

namespace {

// Counts a device's handler depth; the device may be destroyed by the handler,
// in which case its counter is gone too.
class DeliveryScope {
 public:
  DeliveryScope(int& depth, const std::shared_ptr<int>& alive) : depth_(depth), alive_(alive) {
    ++depth_;
  }
  ~DeliveryScope() {
    if (!alive_.expired()) --depth_;
  }

 private:
  int& depth_;
  std::weak_ptr<int> alive_;
};

}  // namespace

void HidDevice::DeliverReport(std::uint8_t report_id, const std::uint8_t* data,
                              std::uint16_t size) {
  auto handler = on_data_;  // the handler may replace itself
  if (!handler || !*handler) return;
  DeliveryScope scope(delivering_, alive_);
  (*handler)(*this, report_id, data, size);
}

void HidDevice::DeliverError(std::uint32_t error) {
  auto handler = on_data_error_;
  if (!handler || !*handler) return;
  DeliveryScope scope(delivering_, alive_);
  (*handler)(*this, error);
}

// ---------------------------------------------------------------------------
// HidDeviceController

HidDeviceController::HidDeviceController(platform::IHidBackend& backend,
                                         platform::MainThreadQueue& main_thread)
    : backend_(backend), main_thread_(main_thread), available_(backend.Available()) {
  if (available_) backend_.SetDeviceChangeHandler([this] { DeviceChange(); });
}

HidDeviceController::~HidDeviceController() {
  on_arrival_ = nullptr;
  on_removal_ = nullptr;
  on_device_change_ = nullptr;
  on_enumerate_ = nullptr;
  on_device_data_.reset();
  on_device_data_error_.reset();
  on_device_unplug_.reset();
  if (available_) backend_.SetDeviceChangeHandler(nullptr);
  auto list = std::move(list_);
  list_.clear();
  for (auto& entry : list) {
    entry.device->controller_ = nullptr;
    if (entry.device->IsCheckedOut()) {
      // Its owner keeps it; it only learns that it can no longer be used.
      entry.device->Unplug();
    } else {
      entry.owned.reset();
    }
  }
}

std::unique_ptr<HidDevice> HidDeviceController::CreateDevice(const HidPnpInfo& info) {
  auto device = std::make_unique<HidDevice>(info, backend_, main_thread_);
  device->SetData(on_device_data_);
  device->SetUnplug(on_device_unplug_);
  return device;
}

void HidDeviceController::SetOnArrival(HidPlugHandler handler) {
  on_arrival_ = std::move(handler);
}
void HidDeviceController::SetOnRemoval(HidPlugHandler handler) {
  on_removal_ = std::move(handler);
}
void HidDeviceController::SetOnEnumerate(HidEnumerateHandler handler) {
  on_enumerate_ = std::move(handler);
}

void HidDeviceController::SetOnDeviceChange(HidNotifyHandler handler) {
  on_device_change_ = std::move(handler);
  DeviceChange();
}

void HidDeviceController::SetOnDeviceData(HidDataHandler handler) {
  auto next = handler ? std::make_shared<const HidDataHandler>(std::move(handler)) : nullptr;
  auto previous = std::exchange(on_device_data_, next);
  for (HidDevice* device : Devices())
    if (device->on_data_ == previous) device->SetData(next);
}

void HidDeviceController::SetOnDeviceDataError(HidDataErrorHandler handler) {
  auto next = handler ? std::make_shared<const HidDataErrorHandler>(std::move(handler)) : nullptr;
  auto previous = std::exchange(on_device_data_error_, next);
  for (HidDevice* device : Devices())
    if (device->on_data_error_ == previous) device->SetDataError(next);
}

void HidDeviceController::SetOnDeviceUnplug(HidPlugHandler handler) {
  auto next = handler ? std::make_shared<const HidPlugHandler>(std::move(handler)) : nullptr;
  auto previous = std::exchange(on_device_unplug_, next);
  for (HidDevice* device : Devices())
    if (device->on_unplug_ == previous) device->SetUnplug(next);
}

void HidDeviceController::SetDevThreadSleepTime(int ms) {
  if (!SleepTimeAccepted(ms)) return;
  const int previous = std::exchange(sleep_time_, ms);
  for (HidDevice* device : Devices())
    if (device->ThreadSleepTime() == previous) device->SetThreadSleepTime(ms);
}

bool HidDeviceController::CheckOutByIds(int vendor_id, int product_id,
                                        std::unique_ptr<HidDevice>& device) {
  device.reset();
  for (auto& entry : list_) {
    HidDevice* candidate = entry.device;
    if (candidate->IsCheckedOut() || candidate->VendorId() != vendor_id) continue;
    if (product_id != -1 && candidate->ProductId() != product_id) continue;
    candidate->checked_out_ = true;
    device = std::move(entry.owned);
    Recount();
    candidate->StartReadThreadIfReady();
    return true;
  }
  return false;
}

void HidDeviceController::DeviceChange() {
  if (!available_ || rescanning_) return;
  rescanning_ = true;
  struct Reset {
    bool& flag;
    ~Reset() { flag = false; }
  } reset{rescanning_};
  Rescan();
}

int HidDeviceController::Enumerate() {
  if (!on_enumerate_) return 0;
  auto handler = on_enumerate_;
  int calls = 0;
  const auto devices = Devices();
  for (std::size_t i = 0; i < devices.size(); ++i) {
    if (!devices[i]->IsPluggedIn()) continue;
    ++calls;
    if (!handler(*devices[i], static_cast<int>(i))) break;
  }
  return calls;
}

std::vector<HidDevice*> HidDeviceController::Devices() const {
  std::vector<HidDevice*> devices;
  devices.reserve(list_.size());
  for (const auto& entry : list_) devices.push_back(entry.device);
  return devices;
}

int HidDeviceController::IndexOf(const HidDevice* device) const {
  for (std::size_t i = 0; i < list_.size(); ++i)
    if (list_[i].device == device) return static_cast<int>(i);
  return -1;
}

void HidDeviceController::Recount() {
  checked_in_count_ = checked_out_count_ = unplugged_count_ = 0;
  for (const auto& entry : list_) {
    if (!entry.device->IsPluggedIn()) ++unplugged_count_;
    if (entry.device->IsCheckedOut())
      ++checked_out_count_;
    else if (entry.device->IsPluggedIn())
      ++checked_in_count_;
  }
}

std::vector<std::unique_ptr<HidDevice>> HidDeviceController::EnumerateInterfaces() {
  std::vector<std::unique_ptr<HidDevice>> found;
  for (const auto& info : backend_.Enumerate()) {
    try {
      found.push_back(CreateDevice(HidPnpInfo{info.path, info.device_instance}));
    } catch (const ControllerError&) {
      // An interface that cannot be opened or identified is simply not listed.
    }
  }
  return found;
}

void HidDeviceController::Rescan() {
  auto found = EnumerateInterfaces();
  bool changed = false;

  auto present_in_found = [&](const HidDevice& device) {
    return std::any_of(found.begin(), found.end(), [&](const auto& other) {
      return other->pnp_info_.device_instance == device.pnp_info_.device_instance;
    });
  };

  // Removals, last to first. Client handlers run in between and may release
  // devices (which edits the list), so work from a snapshot and look each
  // device up again, by pointer, only while it is known to be alive.
  struct Listed {
    HidDevice* device;
    std::weak_ptr<int> alive;
  };
  std::vector<Listed> snapshot;
  for (const auto& entry : list_) snapshot.push_back({entry.device, entry.device->alive_});
  for (auto it = snapshot.rbegin(); it != snapshot.rend(); ++it) {
    if (it->alive.expired()) continue;
    HidDevice* device = it->device;
    if (device->IsPluggedIn() && present_in_found(*device)) continue;
    changed = true;
    device->Unplug();
    if (it->alive.expired()) continue;
    if (on_removal_) {
      auto handler = on_removal_;
      handler(*device);
    }
    if (it->alive.expired() || device->IsCheckedOut()) continue;
    const int index = IndexOf(device);
    if (index < 0) continue;
    auto owned = std::move(list_[index].owned);
    list_.erase(list_.begin() + index);
    owned->controller_ = nullptr;
    owned.reset();
  }

  // Arrivals, in enumeration order; interfaces already listed and plugged in
  // keep their existing object.
  for (auto& candidate : found) {
    const bool known = std::any_of(list_.begin(), list_.end(), [&](const Entry& entry) {
      return entry.device->IsPluggedIn() &&
             entry.device->pnp_info_.device_instance == candidate->pnp_info_.device_instance;
    });
    if (known) {
      candidate.reset();  // not yet attached: destroying it leaves the list alone
      continue;
    }
    changed = true;
    HidDevice* device = candidate.get();
    device->controller_ = this;
    list_.push_back(Entry{device, std::move(candidate)});
    if (on_arrival_) {
      auto handler = on_arrival_;
      handler(*device);
    }
  }

  Recount();
  const bool first = std::exchange(first_pass_, false);
  if ((changed || first) && on_device_change_) {
    auto handler = on_device_change_;
    handler();
  }
}

void HidDeviceController::DeviceReleased(HidDevice* device, HidDevice::Shared<HidDataHandler> data,
                                         HidDevice::Shared<HidPlugHandler> unplug, int sleep_time) {
  const int index = IndexOf(device);
  if (index < 0) return;
  Entry& entry = list_[index];
  if (device->IsPluggedIn()) {
    // Giving the device back: the slot gets a fresh, available device.
    try {
      auto fresh = std::make_unique<HidDevice>(device->pnp_info_, backend_, main_thread_);
      fresh->controller_ = this;
      fresh->SetUnplug(std::move(unplug));
      fresh->SetThreadSleepTime(sleep_time);
      fresh->SetData(std::move(data));
      entry.device = fresh.get();
      entry.owned = std::move(fresh);
      Recount();
      return;
    } catch (const ControllerError&) {
      // The interface can no longer be opened (it is on its way out): the
      // slot is dropped, as for an unplugged device.
    }
  }
  list_.erase(list_.begin() + index);
  Recount();
}

}  // namespace talvoro::hid
