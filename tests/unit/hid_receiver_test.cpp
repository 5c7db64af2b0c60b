#include "hid/receiver.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "fake_hid.h"

namespace talvoro::hid {
namespace {

using testing::PumpUntil;

class RecordingHost : public IReceiverHost {
 public:
  void OnReceiverStatus(const std::string& utf8) override {
    events.push_back("status:" + utf8);
    bound_at_status = connection->BoundReceiver() != nullptr;
  }
  void OnReceiverArrived() override { events.push_back("arrived"); }
  void OnReceiverGone() override { events.push_back("gone"); }
  void OnCode(int code) override { codes.push_back(code); }

  ReceiverConnection* connection = nullptr;
  std::vector<std::string> events;
  std::vector<int> codes;
  bool bound_at_status = false;
};

class ReceiverTest : public ::testing::Test {
 protected:
  std::shared_ptr<testing::FakeInterface> AddReceiver(const std::string& path,
                                                      std::uint32_t instance) {
    return backend.Add(path, instance, 0x04D8, 0x0001);
  }
  // Feeds one report and waits for its code.
  int CodeOf(testing::FakeInterface& state, testing::Bytes report) {
    const std::size_t before = host.codes.size();
    state.Feed(std::move(report));
    if (!PumpUntil(queue, [&] { return host.codes.size() > before; })) return -1;
    return host.codes.back();
  }

  testing::FakeHidBackend backend;
  platform::MainThreadQueue queue;
  HidDeviceController controller{backend, queue};
  RecordingHost host;
  ReceiverConnection connection{controller, host};
  void SetUp() override { host.connection = &connection; }
};

const std::string kConnected = std::string("status:") + kReceiverConnectedText;
const std::string kDisconnected = std::string("status:") + kReceiverDisconnectedText;

TEST(ReceiverCodeTest, HighByteFirstAndMissingBytesCountAsZero) {
  const std::uint8_t bytes[] = {0x12, 0x34};
  EXPECT_EQ(CodeFromReport(bytes, 2), 4660);
  EXPECT_EQ(CodeFromReport(bytes, 1), 0x1200);
  EXPECT_EQ(CodeFromReport(bytes, 0), 0);
  EXPECT_STREQ(kReceiverConnectedText,
               "R\xC3\xA9"
               "cepteur IR USB connect\xC3\xA9");
}

TEST_F(ReceiverTest, ArrivalTakesTheReceiverAndItsCodesReachTheHost) {
  backend.Add("mouse", 1, 0x1234, 0x0001);
  backend.Add("cousin", 2, 0x04D8, 0x0002);
  auto receiver = AddReceiver("ir", 3);
  backend.Fire();

  EXPECT_EQ(host.events, (std::vector<std::string>{kConnected, "arrived"}));
  ASSERT_NE(connection.BoundReceiver(), nullptr);
  EXPECT_EQ(connection.BoundReceiver()->PnpInfo().device_path, "ir");
  EXPECT_TRUE(connection.BoundReceiver()->IsCheckedOut());
  EXPECT_TRUE(connection.BoundReceiver()->HasReadThread());

  EXPECT_EQ(CodeOf(*receiver, {0, 0x12, 0x34}), 4660);
  EXPECT_EQ(CodeOf(*receiver, {0, 0x00, 0x00}), 0);
  EXPECT_EQ(CodeOf(*receiver, {9, 0xFF, 0xFF}), 65535);
}

TEST_F(ReceiverTest, ShortReportsAndShortDevicesGiveZeroForMissingBytes) {
  auto wide = AddReceiver("wide", 1);
  wide->report_length = 8;
  backend.Fire();
  EXPECT_EQ(CodeOf(*wide, {0, 0xAB, 0xCD, 0xEF}), 0xABCD);
  EXPECT_EQ(CodeOf(*wide, {0, 0x12}), 0x1200);  // 0xCD of the last report is gone

  auto narrow = AddReceiver("narrow", 2);
  narrow->report_length = 2;
  auto tiny = AddReceiver("tiny", 3);
  tiny->report_length = 1;
  backend.Fire();
  EXPECT_EQ(connection.HeldCount(), 3u);
  EXPECT_EQ(CodeOf(*narrow, {0, 0x56, 0x78}), 0x5600);  // the read stops at two bytes
  EXPECT_EQ(CodeOf(*tiny, {0}), 0);
}

TEST_F(ReceiverTest, RemovalSaysDisconnectedThenReleasesAndEnds) {
  backend.Add("cousin", 2, 0x04D8, 0x0002);
  auto receiver = AddReceiver("ir", 3);
  backend.Fire();
  host.events.clear();

  backend.Remove("cousin");
  backend.Fire();
  EXPECT_TRUE(host.events.empty());

  ASSERT_TRUE(testing::WaitFor([&] { return receiver->starts == 1; }));
  backend.Remove("ir");
  backend.Fire();
  EXPECT_EQ(host.events, (std::vector<std::string>{kDisconnected, "gone"}));
  EXPECT_TRUE(host.bound_at_status);
  EXPECT_EQ(connection.BoundReceiver(), nullptr);
  EXPECT_EQ(connection.HeldCount(), 0u);
  EXPECT_TRUE(controller.Devices().empty());
  // The first close is the duplicate opened by the rescan that removed "cousin".
  EXPECT_EQ(receiver->Log(), (std::vector<std::string>{"close", "cancel", "close"}));
}

TEST_F(ReceiverTest, QueryOnlyReceiverIsConnectedButNeverRead) {
  auto receiver = AddReceiver("ir", 1);
  receiver->read_write = false;
  backend.Fire();
  EXPECT_EQ(host.events, (std::vector<std::string>{kConnected, "arrived"}));
  ASSERT_NE(connection.BoundReceiver(), nullptr);
  EXPECT_FALSE(connection.BoundReceiver()->IsCheckedOut());
  EXPECT_FALSE(connection.BoundReceiver()->HasReadThread());
  EXPECT_EQ(receiver->starts, 0);

  backend.Remove("ir");
  backend.Fire();
  EXPECT_EQ(host.events.back(), "gone");
  EXPECT_TRUE(controller.Devices().empty());
}

TEST_F(ReceiverTest, SecondReceiverIsTakenTooAndBothDeliver) {
  auto first = AddReceiver("first", 1);
  backend.Fire();
  HidDevice* first_device = connection.BoundReceiver();
  auto second = AddReceiver("second", 2);
  backend.Fire();

  EXPECT_EQ(connection.HeldCount(), 2u);
  EXPECT_NE(connection.BoundReceiver(), first_device);
  EXPECT_TRUE(first_device->HasReadThread());
  EXPECT_EQ(CodeOf(*first, {0, 0, 1}), 1);
  EXPECT_EQ(CodeOf(*second, {0, 0, 2}), 2);
  EXPECT_EQ(host.events, (std::vector<std::string>{kConnected, "arrived", kConnected, "arrived"}));
}

TEST(ReceiverExitTest, ReleasingTheReceiversRunsNoCodeThatIsStillWaiting) {
  testing::FakeHidBackend backend;
  platform::MainThreadQueue queue;
  std::atomic<int> wakes{0};
  queue.SetWake([&] { ++wakes; });
  HidDeviceController controller{backend, queue};
  RecordingHost host;
  auto connection = std::make_unique<ReceiverConnection>(controller, host);
  host.connection = connection.get();
  backend.Add("first", 1, kReceiverVendorId, kReceiverProductId);
  backend.Fire();
  auto second = backend.Add("second", 2, kReceiverVendorId, kReceiverProductId);
  backend.Fire();
  ASSERT_EQ(connection->HeldCount(), 2u);

  // The second receiver's code waits for the main thread when the program
  // ends: releasing the first receiver must not run it.
  second->Feed({0, 0, 2});
  ASSERT_TRUE(testing::WaitFor([&] { return wakes > 0; }));
  connection.reset();
  EXPECT_TRUE(host.codes.empty());
}

}  // namespace
}  // namespace talvoro::hid
