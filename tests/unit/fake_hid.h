// A scripted HID bus for the controller tests: interfaces the test adds and
// removes, devices whose reads the test feeds, and a real main-thread queue
// that the test thread serves.
#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/hid_backend.h"
#include "platform/main_thread.h"

namespace talvoro::testing {

using Bytes = std::vector<std::uint8_t>;

// Only guards against hangs; no test depends on how long anything takes.
inline constexpr auto kHangGuard = std::chrono::seconds(10);

// Waits (without serving the main-thread queue) until `done` holds.
inline bool WaitFor(const std::function<bool()>& done) {
  const auto deadline = std::chrono::steady_clock::now() + kHangGuard;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

// Serves the main-thread queue until `done` holds.
inline bool PumpUntil(platform::MainThreadQueue& queue, const std::function<bool()>& done) {
  const auto deadline = std::chrono::steady_clock::now() + kHangGuard;
  queue.WaitUntil([&] { return done() || std::chrono::steady_clock::now() > deadline; });
  return done();
}

// One interface as the bus sees it; every open of its path shares it.
struct FakeInterface {
  platform::HidAttributes attributes;
  bool read_write = true;
  bool openable = true;
  bool identifiable = true;
  std::uint16_t report_length = 3;
  std::uint32_t fail_error = 31;
  std::atomic<int> failing_starts{0};  // StartRead calls still to refuse; -1 refuses forever

  std::atomic<int> opens{0};
  std::atomic<int> starts{0};
  std::atomic<int> completions{0};

  std::mutex mutex;
  std::condition_variable fed;
  std::deque<Bytes> reports;
  bool woken = false;  // WakeRead was called and no wait has ended on it yet
  std::atomic<int> wakes{0};
  std::vector<std::string> log;  // "cancel" and "close", in order

  void Feed(Bytes report) {
    {
      std::lock_guard lock(mutex);
      reports.push_back(std::move(report));
    }
    fed.notify_all();
  }
  std::vector<std::string> Log() {
    std::lock_guard lock(mutex);
    return log;
  }
};

class FakeHidDevice : public platform::IHidDevice {
 public:
  explicit FakeHidDevice(std::shared_ptr<FakeInterface> state) : state_(std::move(state)) {}

  bool ReadWrite() const override { return state_->read_write; }
  std::optional<platform::HidAttributes> Attributes() override {
    if (!state_->identifiable) return std::nullopt;
    return state_->attributes;
  }
  std::uint16_t InputReportLength() override { return state_->report_length; }

  bool StartRead(std::uint8_t* buffer, std::size_t length, std::uint32_t& error) override {
    NoteUseAfterClose();
    ++state_->starts;
    int failing = state_->failing_starts.load();
    if (failing != 0) {
      if (failing > 0) --state_->failing_starts;
      error = state_->fail_error;
      return false;
    }
    buffer_ = buffer;
    length_ = length;
    return true;
  }

  platform::HidWait WaitRead(int timeout_ms, std::size_t& bytes_read) override {
    NoteUseAfterClose();
    std::unique_lock lock(state_->mutex);
    if (!state_->fed.wait_for(lock, std::chrono::milliseconds(timeout_ms),
                              [&] { return !state_->reports.empty() || state_->woken; }) ||
        state_->woken) {
      state_->woken = false;
      return platform::HidWait::Pending;
    }
    Bytes report = std::move(state_->reports.front());
    state_->reports.pop_front();
    bytes_read = std::min(report.size(), length_);
    std::copy_n(report.begin(), bytes_read, buffer_);
    ++state_->completions;
    return platform::HidWait::Completed;
  }

  void WakeRead() override {
    NoteUseAfterClose();
    ++state_->wakes;
    std::lock_guard lock(state_->mutex);
    state_->woken = true;
    state_->fed.notify_all();
  }

  void CancelRead() override {
    NoteUseAfterClose();
    std::lock_guard lock(state_->mutex);
    state_->log.push_back("cancel");
  }
  void Close() override {
    std::lock_guard lock(state_->mutex);
    state_->log.push_back("close");
    closed_ = true;
  }

 private:
  void NoteUseAfterClose() {
    std::lock_guard lock(state_->mutex);
    if (closed_) state_->log.push_back("used after close");
  }

  bool closed_ = false;  // under the interface's mutex
  std::shared_ptr<FakeInterface> state_;
  std::uint8_t* buffer_ = nullptr;
  std::size_t length_ = 0;
};

class FakeHidBackend : public platform::IHidBackend {
 public:
  bool available = true;
  int enumerations = 0;
  std::function<void()> changed;

  std::shared_ptr<FakeInterface> Add(const std::string& path, std::uint32_t instance,
                                     std::uint16_t vendor, std::uint16_t product) {
    auto state = std::make_shared<FakeInterface>();
    state->attributes = {vendor, product, 0x0100};
    interfaces_[path] = state;
    present_.push_back({path, instance});
    return state;
  }
  void Remove(const std::string& path) {
    std::erase_if(present_, [&](const auto& info) { return info.path == path; });
  }
  // What the platform does on a device-change broadcast.
  void Fire() {
    if (changed) changed();
  }

  bool Available() override { return available; }
  std::vector<platform::HidInterfaceInfo> Enumerate() override {
    ++enumerations;
    return present_;
  }
  std::unique_ptr<platform::IHidDevice> Open(const platform::HidInterfaceInfo& info) override {
    auto found = interfaces_.find(info.path);
    if (found == interfaces_.end() || !found->second->openable) return nullptr;
    ++found->second->opens;
    return std::make_unique<FakeHidDevice>(found->second);
  }
  void SetDeviceChangeHandler(std::function<void()> handler) override {
    changed = std::move(handler);
  }

 private:
  std::vector<platform::HidInterfaceInfo> present_;
  std::map<std::string, std::shared_ptr<FakeInterface>> interfaces_;
};

}  // namespace talvoro::testing
