// Arbitrary input reports through the whole road of a code: the device
// controller takes the receivers, their read threads read the reports into
// their buffers and hand them to the main thread, the receiver connection
// turns each into a code. The receivers are stand-ins that deliver the
// fuzzer's reports, and may claim to have read more than they were asked for.
// They stay plugged in from one input to the next, each with its own input
// report length (1 to 65535 bytes), as a long session would have them.
//
// Input: one byte picks the receiver; then reports, each a length byte n and
// n + 1 bytes (report id first), as many as the input holds, at most 64.
//
// Checks that every report gives one code, in order, and that the code is
// byte 1 × 256 + byte 2 of what the device wrote within the report length,
// bytes it did not write counting as 0: nothing of an earlier, longer report
// and nothing past the buffer may leak into a code.
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "hid/hid_controller.h"
#include "hid/receiver.h"
#include "platform/main_thread.h"

namespace {

using talvoro::hid::HidDeviceController;
using talvoro::hid::ReceiverConnection;
namespace platform = talvoro::platform;
using Report = std::vector<std::uint8_t>;

constexpr std::uint16_t kReportLengths[] = {1, 2, 3, 4, 5, 8, 64, 255, 4096, 65535};

void Check(bool condition) {
  if (!condition) std::abort();
}

// The reports waiting on one receiver's interface; every open shares it.
struct Line {
  std::uint16_t report_length = 3;
  std::mutex mutex;
  std::condition_variable fed;
  std::deque<Report> reports;
  bool woken = false;
};

class ScriptedReceiver : public platform::IHidDevice {
 public:
  explicit ScriptedReceiver(std::shared_ptr<Line> line) : line_(std::move(line)) {}

  bool ReadWrite() const override { return true; }
  std::optional<platform::HidAttributes> Attributes() override {
    return platform::HidAttributes{0x04D8, 0x0001, 0x0100};
  }
  std::uint16_t InputReportLength() override { return line_->report_length; }

  bool StartRead(std::uint8_t* buffer, std::size_t length, std::uint32_t&) override {
    buffer_ = buffer;
    length_ = length;
    return true;
  }
  platform::HidWait WaitRead(int timeout_ms, std::size_t& bytes_read) override {
    std::unique_lock lock(line_->mutex);
    if (!line_->fed.wait_for(lock, std::chrono::milliseconds(timeout_ms),
                             [&] { return !line_->reports.empty() || line_->woken; }) ||
        line_->woken) {
      line_->woken = false;
      return platform::HidWait::Pending;
    }
    const Report report = std::move(line_->reports.front());
    line_->reports.pop_front();
    // A device writes at most what it was asked for, but may say it read
    // the whole report.
    std::copy_n(report.begin(), std::min(report.size(), length_), buffer_);
    bytes_read = report.size();
    return platform::HidWait::Completed;
  }
  void WakeRead() override {
    std::lock_guard lock(line_->mutex);
    line_->woken = true;
    line_->fed.notify_all();
  }
  void CancelRead() override {}
  void Close() override {}

 private:
  std::shared_ptr<Line> line_;
  std::uint8_t* buffer_ = nullptr;
  std::size_t length_ = 0;
};

class ReceiverBus : public platform::IHidBackend {
 public:
  ReceiverBus() {
    for (std::uint16_t length : kReportLengths) {
      auto line = std::make_shared<Line>();
      line->report_length = length;
      const std::string path = "\\\\?\\hid#vid_04d8&pid_0001#" + std::to_string(length);
      interfaces_.push_back({path, static_cast<std::uint32_t>(interfaces_.size() + 1)});
      lines_[path] = line;
      by_index_.push_back(line);
    }
  }

  bool Available() override { return true; }
  std::vector<platform::HidInterfaceInfo> Enumerate() override { return interfaces_; }
  std::unique_ptr<platform::IHidDevice> Open(const platform::HidInterfaceInfo& info) override {
    return std::make_unique<ScriptedReceiver>(lines_.at(info.path));
  }
  void SetDeviceChangeHandler(std::function<void()> changed) override {
    changed_ = std::move(changed);
  }
  void Scan() {
    if (changed_) changed_();
  }
  Line& line(std::size_t index) { return *by_index_[index % by_index_.size()]; }

 private:
  std::vector<platform::HidInterfaceInfo> interfaces_;
  std::map<std::string, std::shared_ptr<Line>> lines_;
  std::vector<std::shared_ptr<Line>> by_index_;
  std::function<void()> changed_;
};

class CodeRecorder : public talvoro::hid::IReceiverHost {
 public:
  void OnReceiverStatus(const std::string&) override {}
  void OnReceiverArrived() override { ++arrivals; }
  void OnReceiverGone() override {}
  void OnCode(int code) override { codes.push_back(code); }

  int arrivals = 0;
  std::vector<int> codes;
};

// Every receiver plugged in and taken once; this thread is the main thread.
struct Session {
  platform::MainThreadQueue main_thread;
  ReceiverBus bus;
  CodeRecorder host;
  HidDeviceController controller{bus, main_thread};
  ReceiverConnection connection{controller, host};
  std::size_t last_count = 0;  // codes the last input gave

  Session() {
    bus.Scan();
    Check(host.arrivals == static_cast<int>(std::size(kReportLengths)));
    Check(connection.HeldCount() == std::size(kReportLengths));
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Left running to the end of the process: its read threads never stop.
  static Session* session = new Session;
  if (size < 1) return 0;
  Line& line = session->bus.line(data[0]);

  std::vector<Report> reports;
  for (std::size_t at = 1; at < size && reports.size() < 64;) {
    const std::size_t length = std::size_t{data[at]} + 1;
    ++at;
    const std::size_t take = std::min(length, size - at);
    reports.emplace_back(data + at, data + at + take);
    if (reports.back().empty()) reports.back().push_back(0);
    at += take;
  }

  // What each report must give: the bytes within the report length, the
  // rest of the buffer zero.
  std::vector<int> expected;
  for (const Report& report : reports) {
    const std::size_t written = std::min<std::size_t>(report.size(), line.report_length);
    const int high = written > 1 ? report[1] : 0;
    const int low = written > 2 ? report[2] : 0;
    expected.push_back(high * 256 + low);
  }

  // No report gives a second code, not even late.
  std::vector<int>& codes = session->host.codes;
  session->main_thread.RunPending();
  Check(codes.size() == session->last_count);
  codes.clear();
  {
    std::lock_guard lock(line.mutex);
    for (Report& report : reports) line.reports.push_back(std::move(report));
  }
  line.fed.notify_all();
  session->main_thread.WaitUntil([&] { return codes.size() >= expected.size(); }, 1);
  Check(codes == expected);
  session->last_count = codes.size();
  return 0;
}
