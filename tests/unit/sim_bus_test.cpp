#include "platform/sim_bus.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <future>
#include <thread>

namespace talvoro::platform::sim {
namespace {

using namespace std::chrono_literals;

// A stand-in for the system's devices.
class FakeRealBackend : public IHidBackend {
 public:
  bool Available() override { return true; }
  std::vector<HidInterfaceInfo> Enumerate() override { return devices; }
  std::unique_ptr<IHidDevice> Open(const HidInterfaceInfo& info) override {
    opened.push_back(info.path);
    return nullptr;
  }
  void SetDeviceChangeHandler(std::function<void()>) override {}

  std::vector<HidInterfaceInfo> devices{{"\\\\?\\hid#vid_046d&pid_c52b#1", 3},
                                        {"\\\\?\\hid#vid_045e&pid_0040#2", 7}};
  std::vector<std::string> opened;
};

// Plays the main thread: the bus asks for a rescan through `post_change`,
// the test answers with OnDeviceChange() whenever it wants to.
class SimBusTest : public ::testing::Test {
 protected:
  SimBusTest() {
    auto real = std::make_unique<FakeRealBackend>();
    real_ = real.get();
    bus_ = std::make_unique<SimHidBus>(
        std::move(real),
        [this](bool first) {
          if (first) ++first_posts_;
          ++posts_;
        },
        SimBusTimeouts{1000ms, 200ms});
    bus_->SetDeviceChangeHandler([this] {
      ++rescans_;
      seen_ = bus_->Enumerate();
    });
  }

  // Waits until the bus has posted `count` device changes in all.
  void WaitForPosts(int count) {
    for (int i = 0; i < 2000 && posts_.load() < count; ++i) std::this_thread::sleep_for(1ms);
    ASSERT_GE(posts_.load(), count);
  }

  // A plug as irsim does it: the request blocks until the main thread rescanned.
  int PlugReceiver(std::uint16_t pid = 0x0001, std::uint16_t length = 3) {
    const int before = posts_.load();
    auto plug = std::async(std::launch::async, [&] { return bus_->Plug(0x04D8, pid, length); });
    WaitForPosts(before + 1);
    bus_->OnDeviceChange();
    Reply reply = plug.get();
    EXPECT_EQ(reply.status, Status::Ok);
    return std::stoi(reply.text);
  }

  std::unique_ptr<IHidDevice> OpenSim(int number) {
    return bus_->Open({DevicePath(number), SimHidBus::kInstanceBase + number});
  }

  FakeRealBackend* real_ = nullptr;
  std::unique_ptr<SimHidBus> bus_;
  std::atomic<int> posts_{0};
  std::atomic<int> first_posts_{0};
  int rescans_ = 0;
  std::vector<HidInterfaceInfo> seen_;
};

// The controller's read loop in miniature: read, hand over, read again.
class ReadLoop {
 public:
  ReadLoop(IHidDevice& device, std::size_t length) : device_(device), length_(length) {
    thread_ = std::thread([this] { Run(); });
  }
  ~ReadLoop() { Stop(); }

  void Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
  }

  std::vector<std::vector<std::uint8_t>> Reports() {
    std::lock_guard lock(mutex_);
    return reports_;
  }

  std::atomic<int> handled{0};
  std::atomic<int> failed_starts{0};
  std::uint32_t last_error = 0;

 private:
  void Run() {
    std::vector<std::uint8_t> buffer(length_);
    while (!stop_) {
      std::fill(buffer.begin(), buffer.end(), 0);
      std::uint32_t error = 0;
      if (!device_.StartRead(buffer.data(), buffer.size(), error)) {
        last_error = error;
        ++failed_starts;
        std::this_thread::sleep_for(5ms);
        continue;
      }
      std::size_t bytes = 0;
      while (device_.WaitRead(10, bytes) == HidWait::Pending) {
        if (stop_) {
          device_.CancelRead();
          return;
        }
      }
      if (bytes == 0) continue;
      {
        std::lock_guard lock(mutex_);
        reports_.emplace_back(buffer.begin(), buffer.begin() + static_cast<long>(bytes));
      }
      // The handler takes its time; the request must not answer before it is done.
      std::this_thread::sleep_for(20ms);
      ++handled;
    }
  }

  IHidDevice& device_;
  std::size_t length_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
  std::mutex mutex_;
  std::vector<std::vector<std::uint8_t>> reports_;
};

TEST_F(SimBusTest, FirstScanIsPostedWhenTheHandlerIsSet) {
  EXPECT_EQ(first_posts_.load(), 1);
  EXPECT_TRUE(bus_->Available());
  bus_->OnDeviceChange();
  EXPECT_EQ(rescans_, 1);
  ASSERT_EQ(seen_.size(), 2u);  // the real devices only, so far
}

TEST_F(SimBusTest, PlugAnswersOnlyAfterTheProgramRescanned) {
  auto plug = std::async(std::launch::async, [&] { return bus_->Plug(0x04D8, 0x0001, 3); });
  WaitForPosts(2);
  EXPECT_EQ(plug.wait_for(50ms), std::future_status::timeout);
  bus_->OnDeviceChange();
  EXPECT_EQ(plug.get(), (Reply{Status::Ok, "1"}));

  // Real devices first, then the simulated one, whose identity can't be a real one's.
  ASSERT_EQ(seen_.size(), 3u);
  EXPECT_EQ(seen_[0].device_instance, 3u);
  EXPECT_EQ(seen_[2].path, "\\\\?\\sim#hid#1");
  EXPECT_EQ(seen_[2].device_instance, SimHidBus::kInstanceBase + 1);
}

TEST_F(SimBusTest, RescanThatDidNotEnumerateLeavesThePlugWaiting) {
  bus_->SetDeviceChangeHandler([] {});  // e.g. turned away by a rescan guard
  auto plug = std::async(std::launch::async, [&] { return bus_->Plug(0x04D8, 0x0001, 3); });
  WaitForPosts(3);
  bus_->OnDeviceChange();
  EXPECT_EQ(plug.wait_for(50ms), std::future_status::timeout);
  bus_->SetDeviceChangeHandler([this] { seen_ = bus_->Enumerate(); });
  bus_->OnDeviceChange();
  EXPECT_EQ(plug.get().status, Status::Ok);
}

TEST_F(SimBusTest, ChangeDuringARescanAsksForAnother) {
  std::future<Reply> plug;
  bus_->SetDeviceChangeHandler([this, &plug] {
    seen_ = bus_->Enumerate();
    if (rescans_++ == 0) {
      // A plug lands after this scan's enumeration.
      plug = std::async(std::launch::async, [&] { return bus_->Plug(0x04D8, 0x0001, 3); });
      WaitForPosts(3);
    }
  });
  bus_->OnDeviceChange();
  // The plug's own message plus the bus's reminder that the scan missed it.
  EXPECT_EQ(posts_.load(), 4);
  EXPECT_EQ(plug.wait_for(20ms), std::future_status::timeout);
  bus_->OnDeviceChange();
  EXPECT_EQ(plug.get().status, Status::Ok);
  EXPECT_EQ(seen_.size(), 3u);
}

TEST_F(SimBusTest, PlugTimesOutWhenNobodyRescans) {
  EXPECT_EQ(bus_->Plug(0x04D8, 0x0001, 3).status, Status::Timeout);
}

TEST_F(SimBusTest, ShutdownReleasesWaitingRequestsAndRefusesNewOnes) {
  auto plug = std::async(std::launch::async, [&] { return bus_->Plug(0x04D8, 0x0001, 3); });
  WaitForPosts(2);
  bus_->Shutdown();
  EXPECT_EQ(plug.get().status, Status::Ending);
  EXPECT_EQ(bus_->Deliver(1, {0, 1, 2}).status, Status::Ending);
}

TEST_F(SimBusTest, OpenedDeviceHasTheAttributesItWasPluggedWith) {
  const int number = PlugReceiver(0x0002, 5);
  auto device = OpenSim(number);
  ASSERT_TRUE(device);
  EXPECT_TRUE(device->ReadWrite());
  auto attributes = device->Attributes();
  ASSERT_TRUE(attributes);
  EXPECT_EQ(attributes->vendor_id, 0x04D8);
  EXPECT_EQ(attributes->product_id, 0x0002);
  EXPECT_EQ(attributes->version, 1);
  EXPECT_EQ(device->InputReportLength(), 5);
}

TEST_F(SimBusTest, OpenPassesRealPathsOnAndRefusesUnknownSimulatedOnes) {
  EXPECT_FALSE(bus_->Open(real_->devices[0]));
  ASSERT_EQ(real_->opened.size(), 1u);
  EXPECT_EQ(real_->opened[0], real_->devices[0].path);
  EXPECT_FALSE(OpenSim(9));
  EXPECT_FALSE(bus_->Open({"\\\\?\\sim#hid#x", 0}));
  EXPECT_EQ(real_->opened.size(), 1u);
}

TEST_F(SimBusTest, SendAnswersOnlyAfterEachReportWasHandled) {
  const int number = PlugReceiver();
  auto device = OpenSim(number);
  ASSERT_TRUE(device);
  ReadLoop loop(*device, device->InputReportLength());

  Request send;
  send.command = Command::Send;
  send.code = 4660;
  send.repeat = 3;
  EXPECT_EQ(bus_->Handle(send).status, Status::Ok);
  EXPECT_EQ(loop.handled.load(), 3);
  auto reports = loop.Reports();
  ASSERT_EQ(reports.size(), 3u);
  for (const auto& report : reports) {
    EXPECT_EQ(report, (std::vector<std::uint8_t>{0x00, 0x12, 0x34}));
  }
}

TEST_F(SimBusTest, ReportsAreCutToTheReadLengthOrReadShort) {
  const int number = PlugReceiver(0x0001, 3);
  auto device = OpenSim(number);
  ReadLoop loop(*device, device->InputReportLength());
  EXPECT_EQ(bus_->Deliver(number, {0x01, 0xFF, 0xFF, 0x99}).status, Status::Ok);
  EXPECT_EQ(bus_->Deliver(0, {0x00, 0x07}).status, Status::Ok);
  auto reports = loop.Reports();
  ASSERT_EQ(reports.size(), 2u);
  EXPECT_EQ(reports[0], (std::vector<std::uint8_t>{0x01, 0xFF, 0xFF}));
  EXPECT_EQ(reports[1], (std::vector<std::uint8_t>{0x00, 0x07}));
}

TEST_F(SimBusTest, ReportNobodyReadsFailsAsNotRead) {
  const int number = PlugReceiver();
  auto device = OpenSim(number);  // listed, but no read thread: not taken
  Reply reply = bus_->Deliver(number, {0x00, 0x00, 0x01});
  EXPECT_EQ(reply.status, Status::NotRead);

  // The failed report does not linger: a later reader gets only what follows.
  ReadLoop loop(*device, 3);
  EXPECT_EQ(bus_->Deliver(number, {0x00, 0x00, 0x02}).status, Status::Ok);
  auto reports = loop.Reports();
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0][2], 0x02);
}

TEST_F(SimBusTest, RequestsForMissingDevicesFail) {
  EXPECT_EQ(bus_->Deliver(0, {0x00}).status, Status::NoDevice);
  EXPECT_EQ(bus_->Deliver(4, {0x00}).status, Status::NoDevice);
  EXPECT_EQ(bus_->Unplug(4).status, Status::NoDevice);
  EXPECT_EQ(bus_->Unplug(0).status, Status::Ok);  // nothing to unplug is fine
  Request send;
  send.command = Command::Send;
  EXPECT_EQ(bus_->Handle(send).status, Status::NoDevice);
  Request empty_report;
  empty_report.command = Command::Report;
  EXPECT_EQ(bus_->Handle(empty_report).status, Status::BadArgument);
}

TEST_F(SimBusTest, DefaultDeviceIsTheLastOneStillPlugged) {
  const int first = PlugReceiver();
  const int second = PlugReceiver();
  auto first_device = OpenSim(first);
  auto second_device = OpenSim(second);
  ReadLoop first_loop(*first_device, 3);
  ReadLoop second_loop(*second_device, 3);

  EXPECT_EQ(bus_->Deliver(0, {0x00, 0x00, 0x02}).status, Status::Ok);
  EXPECT_EQ(second_loop.Reports().size(), 1u);

  const int posted = posts_.load();
  auto unplug = std::async(std::launch::async, [&] { return bus_->Unplug(second); });
  WaitForPosts(posted + 1);
  bus_->OnDeviceChange();
  EXPECT_EQ(unplug.get().status, Status::Ok);

  EXPECT_EQ(bus_->Deliver(0, {0x00, 0x00, 0x01}).status, Status::Ok);
  EXPECT_EQ(first_loop.Reports().size(), 1u);
  EXPECT_EQ(bus_->Deliver(second, {0x00}).status, Status::NoDevice);
}

TEST_F(SimBusTest, UnpluggedDeviceFailsReadsAndCannotBeOpenedAgain) {
  const int number = PlugReceiver();
  auto device = OpenSim(number);
  ReadLoop loop(*device, 3);

  const int posted = posts_.load();
  auto unplug = std::async(std::launch::async, [&] { return bus_->Unplug(0); });
  WaitForPosts(posted + 1);
  EXPECT_EQ(unplug.wait_for(50ms), std::future_status::timeout);
  bus_->OnDeviceChange();
  EXPECT_EQ(unplug.get().status, Status::Ok);
  EXPECT_EQ(seen_.size(), 2u);

  for (int i = 0; i < 1000 && loop.failed_starts.load() == 0; ++i) std::this_thread::sleep_for(1ms);
  loop.Stop();
  EXPECT_GT(loop.failed_starts.load(), 0);
  EXPECT_EQ(loop.last_error, 1167u);  // ERROR_DEVICE_NOT_CONNECTED
  EXPECT_FALSE(OpenSim(number));
  EXPECT_EQ(bus_->Unplug(number).status, Status::NoDevice);
}

TEST_F(SimBusTest, UnplugFailsQueuedReportsAndCompletesDeliveredOnes) {
  const int number = PlugReceiver();
  auto device = OpenSim(number);
  std::uint8_t buffer[3] = {};
  std::uint32_t error = 0;
  ASSERT_TRUE(device->StartRead(buffer, 3, error));

  auto delivered = std::async(std::launch::async, [&] { return bus_->Deliver(number, {0, 0, 1}); });
  std::size_t bytes = 0;
  while (device->WaitRead(10, bytes) == HidWait::Pending) {
  }
  ASSERT_EQ(bytes, 3u);
  auto queued = std::async(std::launch::async, [&] { return bus_->Deliver(number, {0, 0, 2}); });
  // The handler of the first report is still "running": neither answers yet.
  EXPECT_EQ(delivered.wait_for(30ms), std::future_status::timeout);
  EXPECT_EQ(queued.wait_for(30ms), std::future_status::timeout);

  const int posted = posts_.load();
  auto unplug = std::async(std::launch::async, [&] { return bus_->Unplug(number); });
  EXPECT_EQ(delivered.get().status, Status::Ok);
  EXPECT_EQ(queued.get().status, Status::NotRead);
  WaitForPosts(posted + 1);
  bus_->OnDeviceChange();
  EXPECT_EQ(unplug.get().status, Status::Ok);
}

TEST_F(SimBusTest, CloseWakesAWaitingReaderAndCompletesItsReport) {
  const int number = PlugReceiver();
  auto device = OpenSim(number);
  std::uint8_t buffer[3] = {};
  std::uint32_t error = 0;
  ASSERT_TRUE(device->StartRead(buffer, 3, error));
  auto wait = std::async(std::launch::async, [&] {
    std::size_t bytes = 99;
    HidWait result = device->WaitRead(5000, bytes);
    return std::make_pair(result, bytes);
  });
  EXPECT_EQ(wait.wait_for(30ms), std::future_status::timeout);
  device->Close();
  auto [result, bytes] = wait.get();
  EXPECT_EQ(result, HidWait::Completed);
  EXPECT_EQ(bytes, 0u);
  EXPECT_FALSE(device->StartRead(buffer, 3, error));

  // A report read by an object that is then closed counts as handled.
  auto reader = OpenSim(number);
  ASSERT_TRUE(reader->StartRead(buffer, 3, error));
  auto send = std::async(std::launch::async, [&] { return bus_->Deliver(number, {0, 0, 5}); });
  std::size_t read = 0;
  while (reader->WaitRead(10, read) == HidWait::Pending) {
  }
  EXPECT_EQ(buffer[2], 5);
  reader.reset();
  EXPECT_EQ(send.get().status, Status::Ok);
}

TEST_F(SimBusTest, WakeEndsOneWaitWithoutLosingTheReadOrItsReport) {
  const int number = PlugReceiver();
  auto device = OpenSim(number);
  std::uint8_t buffer[3] = {};
  std::uint32_t error = 0;
  ASSERT_TRUE(device->StartRead(buffer, 3, error));
  // A wake before the wait ends that wait (a minute long otherwise).
  device->WakeRead();
  std::size_t bytes = 99;
  EXPECT_EQ(device->WaitRead(60000, bytes), HidWait::Pending);
  // And one during it.
  auto wait = std::async(std::launch::async, [&] {
    std::size_t read = 99;
    return device->WaitRead(60000, read);
  });
  EXPECT_EQ(wait.wait_for(30ms), std::future_status::timeout);
  device->WakeRead();
  EXPECT_EQ(wait.get(), HidWait::Pending);
  // The read is still pending, and a report then completes it.
  auto send = std::async(std::launch::async, [&] { return bus_->Deliver(number, {0, 0, 7}); });
  while (device->WaitRead(10, bytes) == HidWait::Pending) {
  }
  EXPECT_EQ(bytes, 3u);
  EXPECT_EQ(buffer[2], 7);
  device.reset();
  EXPECT_EQ(send.get().status, Status::Ok);
}

TEST_F(SimBusTest, DeviceOutlivingTheBusStaysSafe) {
  const int number = PlugReceiver();
  auto device = OpenSim(number);
  bus_.reset();
  std::uint8_t buffer[3] = {};
  std::uint32_t error = 0;
  ASSERT_TRUE(device->StartRead(buffer, 3, error));
  std::size_t bytes = 0;
  EXPECT_EQ(device->WaitRead(10, bytes), HidWait::Pending);
  device->CancelRead();
  EXPECT_EQ(device->WaitRead(10, bytes), HidWait::Completed);
  EXPECT_EQ(bytes, 0u);
}

}  // namespace
}  // namespace talvoro::platform::sim
