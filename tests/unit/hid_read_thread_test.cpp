#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <vector>

#include "fake_hid.h"
#include "hid/hid_controller.h"

namespace talvoro::hid {
namespace {

using testing::Bytes;
using testing::FakeInterface;
using testing::PumpUntil;
using testing::WaitFor;

struct Report {
  std::uint8_t id;
  Bytes bytes;  // the whole payload buffer, past `size` too
  std::uint16_t size;
};

class HidReadThreadTest : public ::testing::Test {
 protected:
  // Lists one device with the given input report length and checks it out.
  void TakeDevice(std::uint16_t report_length = 3, bool read_write = true) {
    state = backend.Add("dev", 1, 0x04D8, 1);
    state->report_length = report_length;
    state->read_write = read_write;
    backend.Fire();
    ASSERT_TRUE(controller.CheckOutByIds(0x04D8, 1, device));
  }
  // Records every report with the bytes the buffer holds over the report length.
  void Record() {
    device->SetOnData(
        [this](HidDevice& d, std::uint8_t id, const std::uint8_t* data, std::uint16_t size) {
          const std::size_t payload = d.InputReportLength() - 1;
          reports.push_back({id, Bytes(data, data + payload), size});
        });
  }

  testing::FakeHidBackend backend;
  platform::MainThreadQueue queue;
  HidDeviceController controller{backend, queue};
  std::shared_ptr<FakeInterface> state;
  std::unique_ptr<HidDevice> device;
  std::vector<Report> reports;
};

TEST_F(HidReadThreadTest, SplitsReportIdAndZeroFillsPastTheBytesRead) {
  TakeDevice(8);
  Record();
  state->Feed({5, 0x12, 0x34, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE});
  state->Feed({7, 0x01});
  ASSERT_TRUE(PumpUntil(queue, [&] { return reports.size() == 2; }));

  EXPECT_EQ(reports[0].id, 5);
  EXPECT_EQ(reports[0].size, 7);
  EXPECT_EQ(reports[0].bytes, (Bytes{0x12, 0x34, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE}));
  EXPECT_EQ(reports[1].id, 7);
  EXPECT_EQ(reports[1].size, 1);
  EXPECT_EQ(reports[1].bytes, (Bytes{0x01, 0, 0, 0, 0, 0, 0}));
}

TEST_F(HidReadThreadTest, DeliversInOrderAndReadsNextOnlyAfterTheHandlerReturned) {
  TakeDevice();
  std::vector<int> values;
  std::vector<int> reads_started;
  const auto main_thread = std::this_thread::get_id();
  device->SetOnData([&](HidDevice&, std::uint8_t, const std::uint8_t* data, std::uint16_t) {
    EXPECT_EQ(std::this_thread::get_id(), main_thread);
    values.push_back(data[0]);
    reads_started.push_back(state->starts);
  });
  for (std::uint8_t i = 1; i <= 3; ++i) state->Feed({0, i, 0});
  ASSERT_TRUE(PumpUntil(queue, [&] { return values.size() == 3; }));
  EXPECT_EQ(values, (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(reads_started, (std::vector<int>{1, 2, 3}));
}

TEST_F(HidReadThreadTest, ReadThatCannotStartIsReportedOnMainThreadAndRetried) {
  TakeDevice();
  device->SetThreadSleepTime(10);
  state->failing_starts = 3;
  std::vector<std::uint32_t> errors;
  const auto main_thread = std::this_thread::get_id();
  device->SetOnDataError([&](HidDevice&, std::uint32_t error) {
    EXPECT_EQ(std::this_thread::get_id(), main_thread);
    errors.push_back(error);
  });
  int starts_at_report = 0;
  device->SetOnData([&](HidDevice&, std::uint8_t, const std::uint8_t*, std::uint16_t) {
    starts_at_report = state->starts;
  });
  state->Feed({0, 9, 9});
  ASSERT_TRUE(PumpUntil(queue, [&] { return starts_at_report != 0; }));
  EXPECT_EQ(errors, (std::vector<std::uint32_t>{31, 31, 31}));
  EXPECT_EQ(starts_at_report, 4);
  EXPECT_EQ(device->LastReadError(), 31u);
}

TEST_F(HidReadThreadTest, FailingDeviceWaitsOneSleepTimeBetweenAttempts) {
  TakeDevice();
  device->SetThreadSleepTime(10000);
  state->failing_starts = -1;
  int errors = 0;
  device->SetOnDataError([&](HidDevice&, std::uint32_t) { ++errors; });
  Record();
  ASSERT_TRUE(PumpUntil(queue, [&] { return errors == 1; }));
  EXPECT_EQ(state->starts, 1);  // the next attempt is ten seconds away
  device.reset();               // and stopping does not wait for it
  EXPECT_EQ(HidReadThread::LiveCount(), 0);
}

TEST_F(HidReadThreadTest, StoppingCancelsThePendingReadBeforeClosing) {
  TakeDevice();
  Record();
  ASSERT_TRUE(WaitFor([&] { return state->starts == 1; }));
  device.reset();
  // The wait was woken, not waited out, then the read cancelled.
  EXPECT_EQ(state->wakes.load(), 1);
  EXPECT_EQ(state->Log(), (std::vector<std::string>{"cancel", "close"}));
}

TEST_F(HidReadThreadTest, StoppingWhileAReportWaitsForTheMainThreadDropsIt) {
  TakeDevice();
  Record();
  state->Feed({0, 1, 2});
  // The thread is now blocked handing the report over; nobody serves the queue.
  ASSERT_TRUE(WaitFor([&] { return state->completions == 1; }));
  device->SetOnData(nullptr);
  EXPECT_FALSE(device->HasReadThread());
  EXPECT_TRUE(reports.empty());
}

TEST_F(HidReadThreadTest, AReadThreadStartedAgainAfterAStopStillReads) {
  TakeDevice();
  Record();
  ASSERT_TRUE(WaitFor([&] { return state->starts == 1; }));
  device->SetOnData(nullptr);  // stops the thread, waking its wait
  EXPECT_FALSE(device->HasReadThread());
  Record();
  state->Feed({0, 4, 2});
  ASSERT_TRUE(PumpUntil(queue, [&] { return reports.size() == 1; }));
  EXPECT_EQ(reports[0].bytes[0], 4);
}

TEST_F(HidReadThreadTest, HandlerMayReleaseItsOwnDevice) {
  TakeDevice();
  device->SetOnData([&](HidDevice&, std::uint8_t, const std::uint8_t*, std::uint16_t) {
    reports.push_back({});
    device.reset();
  });
  state->Feed({0, 1, 2});
  ASSERT_TRUE(PumpUntil(queue, [&] { return HidReadThread::LiveCount() == 0; }));
  EXPECT_EQ(reports.size(), 1u);
  EXPECT_EQ(state->Log(), std::vector<std::string>{"close"});
  ASSERT_EQ(controller.Devices().size(), 1u);  // given back, still plugged
  EXPECT_FALSE(controller.Devices()[0]->IsCheckedOut());
}

TEST_F(HidReadThreadTest, HandlerMayReleaseAnotherDeviceWhoseReportWaits) {
  TakeDevice();
  auto other_state = backend.Add("other", 2, 0x1111, 1);
  backend.Fire();
  std::unique_ptr<HidDevice> other;
  ASSERT_TRUE(controller.CheckOutByIds(0x1111, 1, other));
  int other_reports = 0;
  other->SetOnData(
      [&](HidDevice&, std::uint8_t, const std::uint8_t*, std::uint16_t) { ++other_reports; });
  device->SetOnData([&](HidDevice&, std::uint8_t, const std::uint8_t*, std::uint16_t) {
    // While this handler runs (shows a box, say), the other device reads a
    // report and is then released: waiting for its loop from inside this
    // job must neither hang nor handle that report.
    other_state->Feed({0, 1, 1});
    ASSERT_TRUE(WaitFor([&] { return other_state->completions == 1; }));
    other.reset();
    reports.push_back({});
  });
  state->Feed({0, 2, 2});
  ASSERT_TRUE(PumpUntil(queue, [&] { return reports.size() == 1; }));
  EXPECT_EQ(other, nullptr);
  EXPECT_EQ(other_reports, 0);
  EXPECT_EQ(other_state->Log(), std::vector<std::string>{"close"});
}

TEST_F(HidReadThreadTest, UnplugStopsTheThreadBeforeClosing) {
  TakeDevice();
  Record();
  int unplugs = 0;
  device->SetOnUnplug([&](HidDevice&) { ++unplugs; });
  ASSERT_TRUE(WaitFor([&] { return state->starts == 1; }));
  backend.Remove("dev");
  backend.Fire();
  EXPECT_EQ(unplugs, 1);
  EXPECT_FALSE(device->HasReadThread());
  EXPECT_EQ(state->Log(), (std::vector<std::string>{"cancel", "close"}));
  device->SetOnData([](HidDevice&, std::uint8_t, const std::uint8_t*, std::uint16_t) {});
  EXPECT_FALSE(device->HasReadThread());  // an unplugged device never reads again
}

TEST_F(HidReadThreadTest, NoThreadWithoutHandlerOrForQueryOnlyDevice) {
  TakeDevice(3, /*read_write=*/false);
  EXPECT_FALSE(device->HasReadThread());
  Record();
  EXPECT_FALSE(device->HasReadThread());
  EXPECT_EQ(state->starts, 0);

  backend.Add("rw", 2, 0x1111, 1);
  backend.Fire();
  HidDevice* listed = controller.Devices()[1];
  listed->SetOnData([](HidDevice&, std::uint8_t, const std::uint8_t*, std::uint16_t) {});
  EXPECT_FALSE(listed->HasReadThread());  // not checked out
}

TEST(HidReadThreadLifetimeTest, QueueAndControllerMayGoBeforeALoopLeftAloneHasEnded) {
  testing::FakeHidBackend backend;
  auto queue = std::make_unique<platform::MainThreadQueue>();
  auto controller = std::make_unique<HidDeviceController>(backend, *queue);
  auto state = backend.Add("r", 1, 0x04D8, 1);
  backend.Fire();
  std::unique_ptr<HidDevice> device;
  ASSERT_TRUE(controller->CheckOutByIds(0x04D8, 1, device));
  bool handled = false;
  // Released from inside its own handler: the loop is left to end alone.
  device->SetOnData([&](HidDevice&, std::uint8_t, const std::uint8_t*, std::uint16_t) {
    handled = true;
    device.reset();
  });
  state->Feed({0, 1, 2});
  ASSERT_TRUE(PumpUntil(*queue, [&] { return handled; }));
  // The end of the program, at once: the loop may not even have left its
  // hand-over yet (the sanitizer builds check that it touches nothing freed).
  controller.reset();
  queue.reset();
  EXPECT_TRUE(WaitFor([] { return HidReadThread::LiveCount() == 0; }));
  EXPECT_EQ(state->Log(), (std::vector<std::string>{"close", "close"}));
}

}  // namespace
}  // namespace talvoro::hid
