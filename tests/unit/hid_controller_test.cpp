#include "hid/hid_controller.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_hid.h"

namespace talvoro::hid {
namespace {

using testing::FakeHidBackend;

class HidControllerTest : public ::testing::Test {
 protected:
  // Logs "+path" for arrivals, "-path" for removals and "change".
  void Watch() {
    controller.SetOnArrival(
        [this](HidDevice& d) { events.push_back("+" + d.PnpInfo().device_path); });
    controller.SetOnRemoval(
        [this](HidDevice& d) { events.push_back("-" + d.PnpInfo().device_path); });
    controller.SetOnDeviceChange([this] { events.push_back("change"); });
  }
  std::vector<std::string> Paths() {
    std::vector<std::string> paths;
    for (HidDevice* device : controller.Devices()) paths.push_back(device->PnpInfo().device_path);
    return paths;
  }

  FakeHidBackend backend;
  platform::MainThreadQueue queue;
  HidDeviceController controller{backend, queue};
  std::vector<std::string> events;
};

TEST_F(HidControllerTest, FirstPassReportsEveryUsableDeviceThenOnlyChanges) {
  backend.Add("a", 1, 0x1111, 1);
  backend.Add("b", 2, 0x04D8, 1);
  backend.Add("closed", 3, 0x2222, 1)->openable = false;
  backend.Add("anonymous", 4, 0x2222, 2)->identifiable = false;
  ASSERT_TRUE(backend.changed);

  Watch();  // setting OnDeviceChange rescans at once
  EXPECT_EQ(events, (std::vector<std::string>{"+a", "+b", "change"}));
  EXPECT_EQ(Paths(), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(controller.CheckedInCount(), 2);

  const auto before = controller.Devices();
  events.clear();
  backend.Fire();
  EXPECT_TRUE(events.empty());
  EXPECT_EQ(controller.Devices(), before);  // the same objects
}

TEST_F(HidControllerTest, FirstPassSignalsChangeEvenWithNoDevice) {
  Watch();
  EXPECT_EQ(events, std::vector<std::string>{"change"});
}

TEST_F(HidControllerTest, RemovalsLastToFirstComeBeforeArrivals) {
  for (auto path : {"a", "b", "c"}) backend.Add(path, path[0], 0x1111, 1);
  Watch();
  HidDevice* b = controller.Devices()[1];
  events.clear();

  backend.Remove("a");
  backend.Remove("c");
  backend.Add("d", 'd', 0x1111, 1);
  backend.Fire();
  EXPECT_EQ(events, (std::vector<std::string>{"-c", "-a", "+d", "change"}));
  EXPECT_EQ(Paths(), (std::vector<std::string>{"b", "d"}));
  EXPECT_EQ(controller.Devices()[0], b);
}

TEST_F(HidControllerTest, CheckOutTakesFirstFreeMatchInListOrder) {
  backend.Add("other", 1, 0x1111, 1);
  backend.Add("second", 2, 0x04D8, 2);
  backend.Add("first", 3, 0x04D8, 1);
  backend.Fire();

  std::unique_ptr<HidDevice> taken;
  ASSERT_TRUE(controller.CheckOutByIds(0x04D8, 1, taken));
  EXPECT_EQ(taken->PnpInfo().device_path, "first");
  std::unique_ptr<HidDevice> any;
  ASSERT_TRUE(controller.CheckOutByIds(0x04D8, -1, any));
  EXPECT_EQ(any->PnpInfo().device_path, "second");
  EXPECT_TRUE(any->IsCheckedOut());
  EXPECT_EQ(controller.CheckedOutCount(), 2);
  EXPECT_EQ(controller.CheckedInCount(), 1);

  std::unique_ptr<HidDevice> none;
  EXPECT_FALSE(controller.CheckOutByIds(0x04D8, -1, none));
  EXPECT_FALSE(controller.CheckOutByIds(0x3333, -1, none));
  EXPECT_EQ(none, nullptr);
  EXPECT_EQ(controller.Devices().size(), 3u);  // checked-out devices stay listed
}

TEST_F(HidControllerTest, ReleaseOfPluggedDeviceLeavesFreshDeviceInItsSlot) {
  backend.Add("a", 1, 0x1111, 1);
  auto b_state = backend.Add("b", 2, 0x04D8, 1);
  backend.Fire();
  std::unique_ptr<HidDevice> b;
  ASSERT_TRUE(controller.CheckOutByIds(0x04D8, 1, b));
  b->SetThreadSleepTime(250);
  b->SetOnUnplug([](HidDevice&) {});
  const int opens = b_state->opens;

  b.reset();
  ASSERT_EQ(Paths(), (std::vector<std::string>{"a", "b"}));
  HidDevice* fresh = controller.Devices()[1];
  EXPECT_FALSE(fresh->IsCheckedOut());
  EXPECT_EQ(fresh->ThreadSleepTime(), 250);
  EXPECT_EQ(b_state->opens, opens + 1);
  EXPECT_EQ(b_state->Log(), std::vector<std::string>{"close"});
  EXPECT_EQ(controller.CheckedInCount(), 2);
  EXPECT_EQ(controller.CheckedOutCount(), 0);
}

TEST_F(HidControllerTest, UnpluggedCheckedOutDeviceStaysListedUntilReleased) {
  backend.Add("r", 7, 0x04D8, 1);
  Watch();
  std::unique_ptr<HidDevice> r;
  ASSERT_TRUE(controller.CheckOutByIds(0x04D8, 1, r));
  int unplugs = 0;
  r->SetOnUnplug([&](HidDevice& d) { unplugs += &d == r.get(); });
  events.clear();

  backend.Remove("r");
  backend.Fire();
  EXPECT_EQ(events, (std::vector<std::string>{"-r", "change"}));
  EXPECT_EQ(unplugs, 1);
  EXPECT_FALSE(r->IsPluggedIn());
  EXPECT_EQ(controller.Devices(), std::vector<HidDevice*>{r.get()});
  EXPECT_EQ(controller.UnpluggedCount(), 1);

  r.reset();
  EXPECT_TRUE(controller.Devices().empty());
  EXPECT_EQ(controller.CheckedOutCount(), 0);
}

TEST_F(HidControllerTest, ClientMayReleaseItsDeviceInsideRemoval) {
  backend.Add("keep", 1, 0x1111, 1);
  backend.Add("r", 2, 0x04D8, 1);
  backend.Fire();
  std::unique_ptr<HidDevice> r;
  ASSERT_TRUE(controller.CheckOutByIds(0x04D8, 1, r));
  controller.SetOnRemoval([&](HidDevice& d) {
    if (&d == r.get()) r.reset();
  });

  backend.Remove("r");
  backend.Fire();
  EXPECT_EQ(r, nullptr);
  EXPECT_EQ(Paths(), std::vector<std::string>{"keep"});
}

TEST_F(HidControllerTest, RescanFromInsideAHandlerIsIgnored) {
  backend.Add("a", 1, 0x1111, 1);
  controller.SetOnArrival([&](HidDevice&) { controller.DeviceChange(); });
  backend.Fire();
  EXPECT_EQ(backend.enumerations, 1);
  EXPECT_EQ(controller.Devices().size(), 1u);
}

TEST_F(HidControllerTest, SleepTimeAcceptsOnlyTenToTenThousandAndFollowsUnchangedDevices) {
  EXPECT_EQ(controller.DevThreadSleepTime(), 100);
  backend.Add("a", 1, 0x1111, 1);
  backend.Add("b", 2, 0x1111, 2);
  backend.Fire();
  HidDevice* a = controller.Devices()[0];
  HidDevice* b = controller.Devices()[1];
  b->SetThreadSleepTime(200);

  for (int rejected : {5, 20000, 9, 10001}) {
    controller.SetDevThreadSleepTime(rejected);
    a->SetThreadSleepTime(rejected);
  }
  EXPECT_EQ(controller.DevThreadSleepTime(), 100);
  EXPECT_EQ(a->ThreadSleepTime(), 100);

  controller.SetDevThreadSleepTime(10);
  EXPECT_EQ(a->ThreadSleepTime(), 10);
  EXPECT_EQ(b->ThreadSleepTime(), 200);
  controller.SetDevThreadSleepTime(10000);
  EXPECT_EQ(a->ThreadSleepTime(), 10000);

  backend.Add("c", 3, 0x1111, 3);
  backend.Fire();
  EXPECT_EQ(controller.Devices()[2]->ThreadSleepTime(), 100);  // new devices start at 100
}

TEST_F(HidControllerTest, ControllerHandlersReachDevicesStillCarryingThePreviousOne) {
  auto a_state = backend.Add("a", 1, 0x04D8, 1);
  auto b_state = backend.Add("b", 2, 0x04D8, 2);
  std::vector<std::string> received;
  controller.SetOnDeviceData([&](HidDevice& d, std::uint8_t, const std::uint8_t*, std::uint16_t) {
    received.push_back("first:" + d.PnpInfo().device_path);
  });
  int error_calls = 0;
  controller.SetOnDeviceDataError([&](HidDevice&, std::uint32_t) { ++error_calls; });
  backend.Fire();  // new devices take the data handler, not the data error handler

  std::unique_ptr<HidDevice> a, b;
  ASSERT_TRUE(controller.CheckOutByIds(0x04D8, 1, a));
  ASSERT_TRUE(controller.CheckOutByIds(0x04D8, 2, b));
  b->SetOnData([&](HidDevice&, std::uint8_t, const std::uint8_t*, std::uint16_t) {
    received.push_back("own:b");
  });
  controller.SetOnDeviceData([&](HidDevice& d, std::uint8_t, const std::uint8_t*, std::uint16_t) {
    received.push_back("second:" + d.PnpInfo().device_path);
  });

  a_state->Feed({0, 1, 2});
  ASSERT_TRUE(testing::PumpUntil(queue, [&] { return received.size() == 1; }));
  b_state->Feed({0, 1, 2});
  ASSERT_TRUE(testing::PumpUntil(queue, [&] { return received.size() == 2; }));
  EXPECT_EQ(received, (std::vector<std::string>{"second:a", "own:b"}));
  EXPECT_EQ(error_calls, 0);
}

TEST_F(HidControllerTest, EnumerateWalksPluggedDevicesUntilTheHandlerSaysStop) {
  for (auto path : {"a", "b", "c"}) backend.Add(path, path[0], 0x1111, 1);
  backend.Fire();
  std::vector<int> seen;
  controller.SetOnEnumerate([&](HidDevice&, int index) {
    seen.push_back(index);
    return index < 1;
  });
  EXPECT_EQ(controller.Enumerate(), 2);
  EXPECT_EQ(seen, (std::vector<int>{0, 1}));
}

TEST(HidControllerLifetimeTest, DestroyingUnplugsCheckedOutDeviceAndLeavesItToItsOwner) {
  FakeHidBackend backend;
  platform::MainThreadQueue queue;
  auto r_state = backend.Add("r", 1, 0x04D8, 1);
  auto other = backend.Add("other", 2, 0x1111, 1);
  std::unique_ptr<HidDevice> r;
  int unplugs = 0;
  {
    HidDeviceController controller(backend, queue);
    backend.Fire();
    ASSERT_TRUE(controller.CheckOutByIds(0x04D8, 1, r));
    r->SetOnUnplug([&](HidDevice&) { ++unplugs; });
    r->SetOnData([](HidDevice&, std::uint8_t, const std::uint8_t*, std::uint16_t) {});
    ASSERT_TRUE(r->HasReadThread());
    ASSERT_TRUE(testing::WaitFor([&] { return r_state->starts == 1; }));
  }
  EXPECT_FALSE(backend.changed);  // unsubscribed
  EXPECT_EQ(unplugs, 1);
  EXPECT_EQ(other->Log(), std::vector<std::string>{"close"});
  ASSERT_NE(r, nullptr);
  EXPECT_FALSE(r->IsPluggedIn());
  EXPECT_FALSE(r->HasReadThread());
  EXPECT_EQ(r->Controller(), nullptr);
  r.reset();
  EXPECT_EQ(r_state->Log(), (std::vector<std::string>{"cancel", "close"}));
}

TEST(HidControllerLifetimeTest, UnavailableBackendNeverEnumerates) {
  FakeHidBackend backend;
  platform::MainThreadQueue queue;
  backend.available = false;
  backend.Add("a", 1, 0x1111, 1);
  HidDeviceController controller(backend, queue);
  EXPECT_EQ(controller.Version(), "1.0.34");
  EXPECT_FALSE(backend.changed);
  controller.DeviceChange();
  EXPECT_EQ(backend.enumerations, 0);
  EXPECT_TRUE(controller.Devices().empty());
}

TEST(HidDeviceTest, ConstructorRefusesUnopenableOrUnidentifiableInterfaces) {
  FakeHidBackend backend;
  platform::MainThreadQueue queue;
  backend.Add("closed", 1, 0x1111, 1)->openable = false;
  backend.Add("anonymous", 2, 0x1111, 1)->identifiable = false;
  auto expect_error = [&](const char* path, const std::string& message) {
    try {
      HidDevice device(HidPnpInfo{path, 0}, backend, queue);
      ADD_FAILURE() << path << " was accepted";
    } catch (const ControllerError& error) {
      EXPECT_EQ(error.what(), message);
    }
  };
  expect_error("closed", "device cannot be opened");
  expect_error("anonymous", "device cannot be identified");
}

}  // namespace
}  // namespace talvoro::hid
