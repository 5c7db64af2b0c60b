// The receiver seen through the simulated HID bus: the program runs with
// /simulate and irsim.exe plugs devices and sends reports. Each irsim command
// returns only once the program has handled it, so the status bar can be
// read right after.
#include <gtest/gtest.h>

#include <cctype>

#include "harness.h"
#include "tables.h"

namespace e2e {
namespace {

using namespace std::chrono_literals;

const std::wstring kAbsent = L"Récepteur IR USB absent...";
const std::wstring kConnected = L"Récepteur IR USB connecté";

std::wstring CodeText(int code) {
  return L" Code IR: " + std::to_wstring(code);
}

class SimulatedReceiver : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_.InstallProgram();
    dir_.WriteFile(L"programme_IR.inf", Lines(ValidProgramme()));
  }

  void StartProgram(const std::string& start_up_setting = "LANCE_OFF") {
    std::vector<std::string> settings = EmptySettings();
    settings[2] = start_up_setting;
    dir_.WriteFile(L"parametres.inf", Lines(settings));
    app_.emplace(dir_, L"/simulate");
    ASSERT_TRUE(app_->WaitUntilShown());
    ASSERT_EQ(app_->WaitForPanel(0, kAbsent), kAbsent);
  }

  void TearDown() override {
    if (app_) app_->Quit();
  }

  // Runs irsim and expects it to succeed.
  ::testing::AssertionResult Irsim(std::wstring_view arguments, std::string* output = nullptr) {
    IrsimResult result = RunIrsim(dir_, arguments);
    if (output) *output = result.output;
    if (!result.finished) {
      return ::testing::AssertionFailure() << "irsim " << ToUtf8(arguments) << " did not end";
    }
    if (result.exit_code != 0) {
      return ::testing::AssertionFailure() << "irsim " << ToUtf8(arguments) << " exited with "
                                           << result.exit_code << ": " << result.output;
    }
    return ::testing::AssertionSuccess();
  }

  // Plugs a device and returns the number irsim gave it, or -1.
  int Plug(std::wstring_view ids = L"") {
    std::string output;
    std::wstring arguments = L"plug";
    if (!ids.empty()) arguments += L" " + std::wstring(ids);
    auto ok = Irsim(arguments, &output);
    EXPECT_TRUE(ok);
    if (!ok) return -1;
    auto digit = std::find_if(output.begin(), output.end(),
                              [](unsigned char c) { return std::isdigit(c) != 0; });
    if (digit == output.end()) {
      ADD_FAILURE() << "irsim plug printed no device number: " << output;
      return -1;
    }
    return std::atoi(&*digit);
  }

  static std::wstring OnDevice(int device) { return L" --device " + std::to_wstring(device); }

  ProgramDir dir_{CurrentTestDirName()};
  std::optional<TalvoroApp> app_;
};

TEST_F(SimulatedReceiver, IrsimWithoutARunningProgramExitsWithStatusTwo) {
  for (const wchar_t* arguments : {L"plug", L"send 4660"}) {
    IrsimResult result = RunIrsim(dir_, arguments, 60s);
    ASSERT_TRUE(result.finished) << ToUtf8(arguments);
    EXPECT_EQ(result.exit_code, 2u) << ToUtf8(arguments) << ": " << result.output;
  }
}

TEST_F(SimulatedReceiver, PluggingTheReceiverConnectsIt) {
  StartProgram();
  EXPECT_GT(Plug(), 0);
  EXPECT_EQ(app_->Panel(0), kConnected);
  EXPECT_TRUE(app_->process().Running());
}

TEST_F(SimulatedReceiver, EachReportShowsItsCodeInPanelTwo) {
  StartProgram();
  int receiver = Plug();
  ASSERT_GT(receiver, 0);
  const std::wstring on = OnDevice(receiver);

  EXPECT_TRUE(Irsim(L"send 4660" + on));  // payload 0x12 0x34
  EXPECT_EQ(app_->Panel(2), CodeText(4660));
  EXPECT_TRUE(Irsim(L"send 65535" + on));
  EXPECT_EQ(app_->Panel(2), CodeText(65535));
  EXPECT_TRUE(Irsim(L"send 0" + on));
  EXPECT_EQ(app_->Panel(2), CodeText(0));
  // The report id is not part of the code.
  EXPECT_TRUE(Irsim(L"report 05 12 34" + on));
  EXPECT_EQ(app_->Panel(2), CodeText(4660));
  // A short report: the missing payload byte reads as 0, not as what the
  // previous report left in the buffer.
  EXPECT_TRUE(Irsim(L"report 00 12" + on));
  EXPECT_EQ(app_->Panel(2), CodeText(0x1200));
  EXPECT_TRUE(Irsim(L"report 00 00" + on));
  EXPECT_EQ(app_->Panel(2), CodeText(0));
  EXPECT_TRUE(Irsim(L"send 65535" + on));
  EXPECT_TRUE(Irsim(L"report 00" + on));
  EXPECT_EQ(app_->Panel(2), CodeText(0));

  EXPECT_EQ(app_->Panel(0), kConnected);
  EXPECT_TRUE(app_->process().Running());
}

TEST_F(SimulatedReceiver, OtherDevicesAreIgnoredOnArrivalAndRemoval) {
  StartProgram();
  int other = Plug(L"04D8 0002");
  ASSERT_GT(other, 0);
  EXPECT_EQ(app_->Panel(0), kAbsent) << "a device with another product id was taken";
  int stranger = Plug(L"1234 0001");
  ASSERT_GT(stranger, 0);
  EXPECT_EQ(app_->Panel(0), kAbsent) << "a device with another vendor id was taken";

  int receiver = Plug();
  ASSERT_GT(receiver, 0);
  EXPECT_EQ(app_->Panel(0), kConnected);
  int late = Plug(L"04D8 0002");
  ASSERT_GT(late, 0);
  EXPECT_EQ(app_->Panel(0), kConnected);

  for (int device : {other, stranger, late}) {
    EXPECT_TRUE(Irsim(L"unplug " + std::to_wstring(device)));
    EXPECT_EQ(app_->Panel(0), kConnected);
    EXPECT_TRUE(app_->process().Running()) << "ended by the removal of device " << device;
  }
  EXPECT_TRUE(Irsim(L"send 4660" + OnDevice(receiver)));
  EXPECT_EQ(app_->Panel(2), CodeText(4660));
}

TEST_F(SimulatedReceiver, AThousandCodesInARowAreAllHandled) {
  StartProgram();
  int receiver = Plug();
  ASSERT_GT(receiver, 0);
  // Ten batches of a hundred: irsim fails when a report is not read, and the
  // panel after each batch shows that batch's code, so every batch was
  // handled in order.
  for (int batch = 0; batch < 10; ++batch) {
    int code = 1000 + 777 * batch;
    ASSERT_TRUE(Irsim(L"send " + std::to_wstring(code) + L" 100" + OnDevice(receiver)));
    EXPECT_EQ(app_->Panel(2), CodeText(code)) << "batch " << batch;
  }
  EXPECT_TRUE(app_->process().Running());
}

TEST_F(SimulatedReceiver, CodesFromTwoReceiversAreBothHandled) {
  StartProgram();
  int first = Plug();
  int second = Plug();
  ASSERT_GT(first, 0);
  ASSERT_GT(second, 0);
  ASSERT_NE(first, second);
  EXPECT_TRUE(Irsim(L"send 111" + OnDevice(first)));
  EXPECT_EQ(app_->Panel(2), CodeText(111));
  EXPECT_TRUE(Irsim(L"send 222" + OnDevice(second)));
  EXPECT_EQ(app_->Panel(2), CodeText(222));
  EXPECT_TRUE(Irsim(L"send 333" + OnDevice(first)));
  EXPECT_EQ(app_->Panel(2), CodeText(333));
}

TEST_F(SimulatedReceiver, UnpluggingTheReceiverEndsTheProgram) {
  StartProgram();
  int receiver = Plug();
  ASSERT_GT(receiver, 0);
  KeyboardRecorder keys;
  ASSERT_TRUE(keys.installed());

  // The program may end before irsim hears back: only its end is asked for.
  IrsimResult result = RunIrsim(dir_, L"unplug " + std::to_wstring(receiver), 60s);
  EXPECT_TRUE(result.finished);
  EXPECT_TRUE(app_->process().WaitExit(10s)) << "still running after the receiver left";
  EXPECT_TRUE(WaitUntil([&] { return SawAltRelease(keys); }, 2s)) << "no Alt key release seen";
}

TEST_F(SimulatedReceiver, UnpluggingTheReceiverEndsAReducedProgram) {
  StartProgram("LANCE_ON");
  ASSERT_GT(Plug(), 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(app_->main_window()); }, 6s));

  IrsimResult result = RunIrsim(dir_, L"unplug", 60s);
  EXPECT_TRUE(result.finished);
  EXPECT_TRUE(app_->process().WaitExit(10s)) << "still running after the receiver left";
}

}  // namespace
}  // namespace e2e
