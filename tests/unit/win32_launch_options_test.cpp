// Small text rules of the Windows layer: the /simulate switch, registry key
// names and fixed-size text fields.
#include <gtest/gtest.h>

#include "platform/win32/launch_options.h"

namespace talvoro::platform::win32 {
namespace {

TEST(Win32LaunchOptions, SimulateSwitchInAnyCaseAfterTheProgramPath) {
  EXPECT_TRUE(HasSimulateSwitch({L"C:\\Talvoro_IR.exe", L"/simulate"}));
  EXPECT_TRUE(HasSimulateSwitch({L"Talvoro_IR.exe", L"x", L"/SIMULATE"}));
  EXPECT_TRUE(HasSimulateSwitch({L"Talvoro_IR.exe", L"/SiMuLaTe"}));
  EXPECT_FALSE(HasSimulateSwitch({L"Talvoro_IR.exe"}));
  EXPECT_FALSE(HasSimulateSwitch({}));
  // The program path itself is never taken for the switch.
  EXPECT_FALSE(HasSimulateSwitch({L"/simulate"}));
  EXPECT_FALSE(HasSimulateSwitch({L"Talvoro_IR.exe", L"-simulate"}));
  EXPECT_FALSE(HasSimulateSwitch({L"Talvoro_IR.exe", L"/simulated"}));
  EXPECT_FALSE(HasSimulateSwitch({L"Talvoro_IR.exe", L"simulate"}));
}

TEST(Win32LaunchOptions, RegistryKeysLoseTheirLeadingSeparators) {
  EXPECT_EQ(RelativeRegistryKey("\\Software\\RunOneTalvoro_IR.exe"),
            "Software\\RunOneTalvoro_IR.exe");
  EXPECT_EQ(RelativeRegistryKey("Software\\X"), "Software\\X");
  EXPECT_EQ(RelativeRegistryKey("\\\\Software"), "Software");
  EXPECT_EQ(RelativeRegistryKey(""), "");
}

TEST(Win32LaunchOptions, TextIsCutToItsFieldKeepingRoomForTheTerminator) {
  EXPECT_EQ(FitToField(L"Talvoro IR", 64), L"Talvoro IR");
  EXPECT_EQ(FitToField(L"abcdef", 4), L"abc");
  EXPECT_EQ(FitToField(L"abc", 4), L"abc");
  EXPECT_EQ(FitToField(L"abc", 0), L"");
  // A surrogate pair is never split: its lone first half would be garbage.
  std::wstring pair = L"ab";
  pair.push_back(static_cast<wchar_t>(0xD83D));
  pair.push_back(static_cast<wchar_t>(0xDE00));
  EXPECT_EQ(FitToField(pair, 4), L"ab");
}

}  // namespace
}  // namespace talvoro::platform::win32
