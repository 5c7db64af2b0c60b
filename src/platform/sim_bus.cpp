#include "platform/sim_bus.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <string>

namespace talvoro::platform::sim {

namespace {

// What a read of an unplugged device fails with on Windows
// (ERROR_DEVICE_NOT_CONNECTED); the value is part of the backend contract,
// not of this header's includes.
constexpr std::uint32_t kErrorDeviceNotConnected = 1167;

}  // namespace

struct SimHidBus::Report {
  enum class State { Queued, Delivered, Done, Dropped };
  std::vector<std::uint8_t> bytes;
  State state = State::Queued;
};

struct SimHidBus::Device {
  int number = 0;
  HidAttributes attributes;
  std::uint16_t report_length = kDefaultReportLength;
  bool plugged = true;
  std::deque<std::shared_ptr<Report>> queue;
  int readers = 0;  // opened objects that have started reading and are not closed
};

// Everything the pipe threads, the read threads and the main thread share,
// under one lock. Device objects keep it alive, so a device that outlives
// the bus stays safe to use (its reads then simply fail).
struct SimHidBus::Shared {
  std::mutex mutex;
  std::condition_variable changed;  // any state change; waiters re-check their own condition
  std::map<int, std::shared_ptr<Device>> devices;  // unplugged ones stay, so they can't reopen
  int last_number = 0;
  std::uint64_t generation = 0;             // bumped by each plug and unplug
  std::uint64_t enumerated_generation = 0;  // generation seen by the last Enumerate
  std::uint64_t handled_generation = 0;     // generation the program's last rescan saw
  std::uint64_t enumerations = 0;
  bool ending = false;
  std::function<void()> handler;

  // The most recently plugged device that is still plugged, or null.
  std::shared_ptr<Device> LastPlugged() const {
    for (auto it = devices.rbegin(); it != devices.rend(); ++it) {
      if (it->second->plugged) return it->second;
    }
    return nullptr;
  }

  // Device `number` if it is still plugged; otherwise `error` says why.
  std::shared_ptr<Device> Plugged(int number, Reply& error) const {
    auto it = devices.find(number);
    if (it == devices.end()) {
      error = {Status::NoDevice, "no simulated device " + std::to_string(number)};
      return nullptr;
    }
    if (!it->second->plugged) {
      error = {Status::NoDevice, "simulated device " + std::to_string(number) + " is unplugged"};
      return nullptr;
    }
    return it->second;
  }
};

// One opened simulated device. Its read calls come from the controller's
// read thread, Close and destruction from the main thread.
class SimHidBus::SimDevice : public IHidDevice {
 public:
  SimDevice(std::shared_ptr<Shared> shared, std::shared_ptr<Device> device)
      : shared_(std::move(shared)), device_(std::move(device)) {}

  ~SimDevice() override {
    Close();
    // Defensive: a read thread still inside WaitRead must leave it before the
    // object goes away (Close has woken it up).
    std::unique_lock lock(shared_->mutex);
    shared_->changed.wait(lock, [&] { return waiting_ == 0; });
  }

  bool ReadWrite() const override { return true; }
  std::optional<HidAttributes> Attributes() override { return device_->attributes; }
  std::uint16_t InputReportLength() override { return device_->report_length; }

  bool StartRead(std::uint8_t* buffer, std::size_t length, std::uint32_t& error) override {
    std::lock_guard lock(shared_->mutex);
    // The read thread asks for the next report only after the previous one
    // was handled: that is when a SEND or REPORT request may answer.
    FinishDelivered();
    if (closed_ || !device_->plugged) {
      error = kErrorDeviceNotConnected;
      return false;
    }
    if (!reading_) {
      reading_ = true;
      ++device_->readers;
      shared_->changed.notify_all();
    }
    buffer_ = buffer;
    length_ = length;
    pending_ = true;
    return true;
  }

  HidWait WaitRead(int timeout_ms, std::size_t& bytes_read) override {
    bytes_read = 0;
    std::unique_lock lock(shared_->mutex);
    FinishDelivered();
    if (!pending_) return HidWait::Completed;
    ++waiting_;
    shared_->changed.wait_for(lock, std::chrono::milliseconds(std::max(timeout_ms, 0)), [&] {
      return closed_ || !device_->plugged || !pending_ || !device_->queue.empty() || woken_;
    });
    --waiting_;
    shared_->changed.notify_all();
    if (woken_ && !closed_ && device_->plugged && pending_) {
      woken_ = false;
      return HidWait::Pending;
    }
    woken_ = false;
    if (closed_ || !device_->plugged || !pending_) {
      pending_ = false;
      return HidWait::Completed;  // failed read
    }
    if (device_->queue.empty()) return HidWait::Pending;

    auto report = device_->queue.front();
    device_->queue.pop_front();
    // Longer than asked for: cut, as a real device's fixed-size report would
    // be; shorter: a short read of what there is.
    const std::size_t count = std::min(length_, report->bytes.size());
    if (count > 0) std::memcpy(buffer_, report->bytes.data(), count);
    report->state = Report::State::Delivered;
    delivered_ = std::move(report);
    pending_ = false;
    bytes_read = count;
    return HidWait::Completed;
  }

  void WakeRead() override {
    std::lock_guard lock(shared_->mutex);
    woken_ = true;
    shared_->changed.notify_all();
  }

  void CancelRead() override {
    std::lock_guard lock(shared_->mutex);
    pending_ = false;
    FinishDelivered();
    shared_->changed.notify_all();
  }

  void Close() override {
    std::lock_guard lock(shared_->mutex);
    closed_ = true;
    pending_ = false;
    FinishDelivered();
    if (reading_) {
      reading_ = false;
      --device_->readers;
    }
    shared_->changed.notify_all();
  }

 private:
  // Lock held.
  void FinishDelivered() {
    if (!delivered_) return;
    delivered_->state = Report::State::Done;
    delivered_.reset();
    shared_->changed.notify_all();
  }

  std::shared_ptr<Shared> shared_;
  std::shared_ptr<Device> device_;
  // Guarded by shared_->mutex.
  bool closed_ = false;
  bool woken_ = false;  // WakeRead: the next wait ends at once
  bool reading_ = false;
  bool pending_ = false;
  int waiting_ = 0;
  std::uint8_t* buffer_ = nullptr;
  std::size_t length_ = 0;
  std::shared_ptr<Report> delivered_;
};

SimHidBus::SimHidBus(std::unique_ptr<IHidBackend> real, std::function<void(bool)> post_change,
                     SimBusTimeouts timeouts)
    : real_(std::move(real)),
      post_change_(std::move(post_change)),
      timeouts_(timeouts),
      shared_(std::make_shared<Shared>()) {}

SimHidBus::~SimHidBus() {
  Shutdown();
}

std::vector<HidInterfaceInfo> SimHidBus::Enumerate() {
  std::vector<HidInterfaceInfo> list;
  if (real_ && real_->Available()) list = real_->Enumerate();
  std::lock_guard lock(shared_->mutex);
  ++shared_->enumerations;
  shared_->enumerated_generation = shared_->generation;
  for (const auto& [number, device] : shared_->devices) {
    if (device->plugged) {
      list.push_back({DevicePath(number), kInstanceBase + static_cast<std::uint32_t>(number)});
    }
  }
  return list;
}

std::unique_ptr<IHidDevice> SimHidBus::Open(const HidInterfaceInfo& info) {
  const std::string_view path = info.path;
  if (!path.starts_with(kDevicePathPrefix)) {
    return real_ ? real_->Open(info) : nullptr;
  }
  auto number = detail::ParseDecimal(path.substr(kDevicePathPrefix.size()), 1, 1000000);
  if (!number) return nullptr;
  std::lock_guard lock(shared_->mutex);
  auto it = shared_->devices.find(static_cast<int>(*number));
  if (it == shared_->devices.end() || !it->second->plugged) return nullptr;
  return std::make_unique<SimDevice>(shared_, it->second);
}

void SimHidBus::SetDeviceChangeHandler(std::function<void()> changed) {
  const bool set = static_cast<bool>(changed);
  {
    std::lock_guard lock(shared_->mutex);
    shared_->handler = std::move(changed);
  }
  if (set && post_change_) post_change_(true);
}

void SimHidBus::OnDeviceChange() {
  std::function<void()> handler;
  std::uint64_t enumerations = 0;
  {
    std::lock_guard lock(shared_->mutex);
    handler = shared_->handler;
    enumerations = shared_->enumerations;
  }
  if (!handler) return;
  handler();

  bool missed = false;
  {
    std::lock_guard lock(shared_->mutex);
    // Only a handler that did rescan tells us what the program has seen (a
    // nested call may have been turned away by the controller's guard).
    if (shared_->enumerations != enumerations) {
      shared_->handled_generation =
          std::max(shared_->handled_generation, shared_->enumerated_generation);
      missed = shared_->enumerated_generation < shared_->generation;
    }
  }
  shared_->changed.notify_all();
  // A plug or unplug landed after the rescan's enumeration: make sure another
  // rescan follows even if its own message was swallowed by a nested rescan.
  if (missed && post_change_) post_change_(false);
}

Reply SimHidBus::WaitForRescan(std::uint64_t generation, Reply success) {
  std::unique_lock lock(shared_->mutex);
  shared_->changed.wait_for(lock, timeouts_.request, [&] {
    return shared_->handled_generation >= generation || shared_->ending;
  });
  if (shared_->handled_generation >= generation) return success;
  if (shared_->ending) return {Status::Ending, "the program is ending"};
  return {Status::Timeout, "the program did not rescan its devices"};
}

Reply SimHidBus::Plug(std::uint16_t vendor_id, std::uint16_t product_id,
                      std::uint16_t report_length) {
  if (report_length < 1 || report_length > kMaxReportLength) {
    return {Status::BadArgument, "bad report length"};
  }
  std::uint64_t generation = 0;
  int number = 0;
  {
    std::lock_guard lock(shared_->mutex);
    if (shared_->ending) return {Status::Ending, "the program is ending"};
    auto device = std::make_shared<Device>();
    number = ++shared_->last_number;
    device->number = number;
    device->attributes = {vendor_id, product_id, 1};
    device->report_length = report_length;
    shared_->devices[number] = std::move(device);
    generation = ++shared_->generation;
  }
  shared_->changed.notify_all();
  if (post_change_) post_change_(false);
  return WaitForRescan(generation, {Status::Ok, std::to_string(number)});
}

Reply SimHidBus::Unplug(int device) {
  std::uint64_t generation = 0;
  {
    std::lock_guard lock(shared_->mutex);
    if (shared_->ending) return {Status::Ending, "the program is ending"};
    std::vector<std::shared_ptr<Device>> targets;
    if (device == 0) {
      for (const auto& [number, candidate] : shared_->devices) {
        if (candidate->plugged) targets.push_back(candidate);
      }
      if (targets.empty()) return {};
    } else {
      Reply error;
      auto target = shared_->Plugged(device, error);
      if (!target) return error;
      targets.push_back(std::move(target));
    }
    for (auto& target : targets) {
      target->plugged = false;
      // Queued reports will never be read now; delivered ones count as handled.
      for (auto& report : target->queue) report->state = Report::State::Dropped;
      target->queue.clear();
    }
    generation = ++shared_->generation;
  }
  shared_->changed.notify_all();
  if (post_change_) post_change_(false);
  return WaitForRescan(generation, {});
}

Reply SimHidBus::Deliver(int device, std::vector<std::uint8_t> bytes) {
  using Clock = std::chrono::steady_clock;
  std::unique_lock lock(shared_->mutex);
  if (shared_->ending) return {Status::Ending, "the program is ending"};
  std::shared_ptr<Device> target;
  if (device == 0) {
    target = shared_->LastPlugged();
    if (!target) return {Status::NoDevice, "no simulated device is plugged in"};
  } else {
    Reply error;
    target = shared_->Plugged(device, error);
    if (!target) return error;
  }

  auto report = std::make_shared<Report>();
  report->bytes = std::move(bytes);
  target->queue.push_back(report);
  shared_->changed.notify_all();

  const auto start = Clock::now();
  const auto deadline = start + timeouts_.request;
  const auto reader_deadline = start + timeouts_.no_reader;
  for (;;) {
    switch (report->state) {
      case Report::State::Done:
        return {};
      case Report::State::Dropped:
        return {Status::NotRead, "the device was unplugged before the program read the report"};
      case Report::State::Delivered:
        if (!target->plugged) return {};
        break;
      case Report::State::Queued:
        break;
    }
    if (shared_->ending) return {Status::Ending, "the program is ending"};

    const auto now = Clock::now();
    const bool queued = report->state == Report::State::Queued;
    if (queued && (now >= deadline || (target->readers == 0 && now >= reader_deadline))) {
      auto& queue = target->queue;
      queue.erase(std::remove(queue.begin(), queue.end(), report), queue.end());
      return {Status::NotRead,
              "the program did not read the report (it has not taken simulated device " +
                  std::to_string(target->number) + ")"};
    }
    if (now >= deadline) {
      return {Status::Timeout, "the program did not finish handling the report"};
    }
    auto wake = deadline;
    if (queued && target->readers == 0) wake = std::min(wake, reader_deadline);
    shared_->changed.wait_until(lock, wake);
  }
}

Reply SimHidBus::Handle(const Request& request) {
  switch (request.command) {
    case Command::Plug:
      return Plug(request.vendor_id, request.product_id, request.report_length);
    case Command::Unplug:
      return Unplug(request.device);
    case Command::Send: {
      int device = request.device;
      if (device == 0) {
        // Every repeat goes to the same device, even if another is plugged meanwhile.
        std::lock_guard lock(shared_->mutex);
        auto last = shared_->LastPlugged();
        if (!last) return {Status::NoDevice, "no simulated device is plugged in"};
        device = last->number;
      }
      const std::uint8_t high = static_cast<std::uint8_t>(request.code >> 8);
      const std::uint8_t low = static_cast<std::uint8_t>(request.code & 0xFF);
      for (int i = 0; i < request.repeat; ++i) {
        Reply reply = Deliver(device, {0x00, high, low});
        if (reply.status != Status::Ok) return reply;
      }
      return {};
    }
    case Command::Report:
      if (request.bytes.empty()) return {Status::BadArgument, "a report needs at least one byte"};
      return Deliver(request.device, request.bytes);
  }
  return {Status::BadArgument, "unknown request"};
}

void SimHidBus::Shutdown() {
  {
    std::lock_guard lock(shared_->mutex);
    shared_->ending = true;
  }
  shared_->changed.notify_all();
}

}  // namespace talvoro::platform::sim
