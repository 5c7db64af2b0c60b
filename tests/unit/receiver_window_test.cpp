// The receiver as the main window sees it: a scripted HID bus, the real
// controller, read thread and hand-over, and the real main window.
#include <gtest/gtest.h>

#include "app/application.h"
#include "app/main_window.h"
#include "fake_hid.h"
#include "fakes.h"

namespace talvoro::app {
namespace {

using ui::MainId;

class ReceiverWindowTest : public ::testing::Test {
 protected:
  ReceiverWindowTest() {
    app_ = std::make_unique<Application>(Services{
        fake.files, fake.clock, fake.timers, fake.dialogs, fake.keyboard, fake.shell,
        fake.registry, fake.mixer, fake.instance, bus, fake.main_thread, fake.power,
        fake.programs, fake.shortcuts, fake.system_info});
    app_->OnMainWindowCreated();
  }
  ~ReceiverWindowTest() override { app_.reset(); }

  std::string Panel(int i) { return app_->main_form().Get(MainId::StatusBar1).panels[i]; }
  MainWindow& win() { return app_->main_window(); }
  ui::MainForm& form() { return app_->main_form(); }

  test::FakePlatform fake;
  talvoro::testing::FakeHidBackend bus;
  std::unique_ptr<Application> app_;
};

TEST_F(ReceiverWindowTest, ArrivalOpensTheWindowCodesShowRemovalEndsTheProgram) {
  auto receiver = bus.Add("\\\\?\\hid#receiver", 7, 0x04D8, 0x0001);
  bus.Fire();
  EXPECT_EQ(Panel(0), "Récepteur IR USB connecté");
  EXPECT_EQ(win().receiver_active(), 1);
  for (const auto& tab : dispatch::Tabs()) EXPECT_TRUE(form().Enabled(tab.programming));
  EXPECT_TRUE(form().Enabled(MainId::ToolButton4));
  EXPECT_TRUE(form().Enabled(MainId::Exporteruneconfiguration1));
  EXPECT_TRUE(form().Enabled(MainId::Exporteruneconfiguration2));

  receiver->Feed({0x00, 0x12, 0x34});
  ASSERT_TRUE(
      talvoro::testing::PumpUntil(fake.main_thread, [&] { return Panel(2) == " Code IR: 4660"; }));
  EXPECT_EQ(win().last_code(), 4660);
  receiver->Feed({0x00, 0xFF, 0xFF});
  ASSERT_TRUE(
      talvoro::testing::PumpUntil(fake.main_thread, [&] { return Panel(2) == " Code IR: 65535"; }));

  bus.Remove("\\\\?\\hid#receiver");
  bus.Fire();
  EXPECT_EQ(Panel(0), "Récepteur IR USB déconnecté");
  EXPECT_FALSE(fake.shell.icon);
  EXPECT_TRUE(fake.shell.terminated);
  ASSERT_FALSE(fake.keyboard.events.empty());
  EXPECT_EQ(fake.keyboard.events.back(), std::make_pair(std::uint8_t{18}, true));
}

TEST_F(ReceiverWindowTest, OtherHidDevicesAreIgnoredOnArrivalAndRemoval) {
  bus.Add("\\\\?\\hid#other", 3, 0x04D8, 0x0002);
  bus.Add("\\\\?\\hid#mouse", 4, 0x045E, 0x0001);
  bus.Fire();
  EXPECT_EQ(Panel(0), "Récepteur IR USB absent...");
  EXPECT_EQ(win().receiver_active(), 0);
  EXPECT_FALSE(form().Enabled(MainId::RxSwitch2));
  bus.Remove("\\\\?\\hid#other");
  bus.Remove("\\\\?\\hid#mouse");
  bus.Fire();
  EXPECT_EQ(Panel(0), "Récepteur IR USB absent...");
  EXPECT_FALSE(fake.shell.terminated);
}

}  // namespace
}  // namespace talvoro::app
