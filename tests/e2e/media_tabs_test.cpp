// Switching media tabs on and off, by the remote's toggle codes and by the
// activation switches: the state slots in programme_IR.inf, the switches and
// the lamps. The media players form one exclusive group (one on turns the
// others off, by remote or by mouse); the television tabs form another that
// only the mouse keeps exclusive.
#include <gtest/gtest.h>

#include "harness.h"
#include "remote_fixture.h"
#include "tables.h"

namespace e2e {
namespace {

// Toggle codes, stored in the media tabs' toggle slots.
constexpr int kWmpToggle = 4501;     // slot 45, Windows Media Player
constexpr int kWinampToggle = 5201;  // slot 52, Winamp
constexpr int kPctvToggle = 13201;   // slot 132, Pinnacle PCTV
constexpr int kKtvToggle = 17201;    // slot 172, K!TV XP

// State slots.
constexpr int kWmp = 35;
constexpr int kWinamp = 51;
constexpr int kPowerDvd = 71;
constexpr int kWinDvd = 91;
constexpr int kMsiDvd = 111;
constexpr int kPctv = 131;
constexpr int kKtv = 171;
constexpr int kRealOne = 201;
constexpr int kProgDvb = 236;

std::vector<std::string> ProgrammeWithToggles() {
  std::vector<std::string> table = ValidProgramme();
  table[45] = std::to_string(kWmpToggle);
  table[52] = std::to_string(kWinampToggle);
  table[132] = std::to_string(kPctvToggle);
  table[172] = std::to_string(kKtvToggle);
  return table;
}

class MediaTabs : public RemoteControlTest {};

TEST_F(MediaTabs, RemoteToggleTurnsAPlayerOnAndTheOtherPlayersOff) {
  std::vector<std::string> table = ProgrammeWithToggles();
  table[kWinamp] = "ON";
  table[kRealOne] = "ON";
  Start(table);
  ASSERT_TRUE(app_->SelectPage("TabSheet3"));  // Windows Media Player
  EXPECT_TRUE(WaitForSwitch("RxSwitch5", false));
  EXPECT_TRUE(WaitForLamp("Led3", false));

  ASSERT_TRUE(Send(kWmpToggle));
  std::vector<std::string> slots = Programme();
  ASSERT_FALSE(slots.empty());
  EXPECT_EQ(slots[kWmp], "ON");
  EXPECT_EQ(slots[kWinamp], "OFF");
  EXPECT_EQ(slots[kRealOne], "OFF");
  for (int other : {kPowerDvd, kWinDvd, kMsiDvd}) EXPECT_EQ(slots[other], "OFF") << other;
  // The television tabs are another group.
  EXPECT_EQ(slots[kPctv], "OFF");
  EXPECT_EQ(slots[kKtv], "OFF");
  EXPECT_TRUE(WaitForSwitch("RxSwitch5", true));
  EXPECT_TRUE(WaitForLamp("Led3", true));
  ASSERT_TRUE(app_->SelectPage("TabSheet4"));  // Winamp
  EXPECT_TRUE(WaitForSwitch("RxSwitch7", false));
  EXPECT_TRUE(WaitForLamp("Led4", false));
  ASSERT_TRUE(app_->SelectPage("TabSheet11"));  // RealOne Player
  EXPECT_TRUE(WaitForSwitch("RxSwitch21", false));
  EXPECT_TRUE(WaitForLamp("Led11", false));

  // The same code again turns the player off; the others stay off.
  ASSERT_TRUE(Send(kWmpToggle));
  slots = Programme();
  ASSERT_FALSE(slots.empty());
  EXPECT_EQ(slots[kWmp], "OFF");
  EXPECT_EQ(slots[kWinamp], "OFF");
  EXPECT_EQ(slots[kRealOne], "OFF");
  ASSERT_TRUE(app_->SelectPage("TabSheet3"));
  EXPECT_TRUE(WaitForSwitch("RxSwitch5", false));
  EXPECT_TRUE(WaitForLamp("Led3", false));
}

TEST_F(MediaTabs, RemoteToggleOfATelevisionTabLeavesTheOtherOneOn) {
  std::vector<std::string> table = ProgrammeWithToggles();
  table[kKtv] = "ON";
  Start(table);

  ASSERT_TRUE(Send(kPctvToggle));
  std::vector<std::string> slots = Programme();
  ASSERT_FALSE(slots.empty());
  EXPECT_EQ(slots[kPctv], "ON");
  EXPECT_EQ(slots[kKtv], "ON");
  EXPECT_EQ(slots[kProgDvb], "OFF");
  ASSERT_TRUE(app_->SelectPage("TabSheet10"));  // K!TV XP
  EXPECT_TRUE(WaitForSwitch("RxSwitch19", true));
  EXPECT_TRUE(WaitForLamp("Led10", true));
  ASSERT_TRUE(app_->SelectPage("TabSheet8"));  // Pinnacle PCTV
  EXPECT_TRUE(WaitForSwitch("RxSwitch15", true));
  EXPECT_TRUE(WaitForLamp("Led8", true));

  // By mouse the group is exclusive: Pinnacle PCTV off, then on again, turns
  // K!TV XP off.
  HWND pctv = app_->Control("RxSwitch15");
  ASSERT_NE(pctv, nullptr);
  PressMouse(pctv);
  EXPECT_EQ(WaitForSlot(kPctv, "OFF"), "OFF");
  EXPECT_TRUE(WaitForSwitch("RxSwitch15", false));
  EXPECT_EQ(Slot(kKtv), "ON");
  PressMouse(pctv);
  EXPECT_EQ(WaitForSlot(kPctv, "ON"), "ON");
  EXPECT_EQ(WaitForSlot(kKtv, "OFF"), "OFF");
  EXPECT_EQ(Slot(kProgDvb), "OFF");
  EXPECT_TRUE(WaitForSwitch("RxSwitch15", true));
  EXPECT_TRUE(WaitForLamp("Led8", true));
  ASSERT_TRUE(app_->SelectPage("TabSheet10"));
  EXPECT_TRUE(WaitForSwitch("RxSwitch19", false));
  EXPECT_TRUE(WaitForLamp("Led10", false));
}

TEST_F(MediaTabs, ActivationSwitchPressedByMouseTurnsTheOtherPlayersOff) {
  std::vector<std::string> table = ProgrammeWithToggles();
  table[kWmp] = "ON";
  table[kRealOne] = "ON";
  Start(table);
  ASSERT_TRUE(app_->SelectPage("TabSheet4"));  // Winamp
  HWND winamp = app_->Control("RxSwitch7");
  ASSERT_NE(winamp, nullptr);
  EXPECT_TRUE(WaitForSwitch("RxSwitch7", false));

  PressMouse(winamp);
  EXPECT_EQ(WaitForSlot(kWinamp, "ON"), "ON");
  EXPECT_EQ(WaitForSlot(kWmp, "OFF"), "OFF");
  EXPECT_EQ(WaitForSlot(kRealOne, "OFF"), "OFF");
  ASSERT_TRUE(app_->Sync());
  std::vector<std::string> slots = Programme();
  ASSERT_FALSE(slots.empty());
  for (int other : {kPowerDvd, kWinDvd, kMsiDvd}) EXPECT_EQ(slots[other], "OFF") << other;
  EXPECT_EQ(slots[kPctv], "OFF");
  EXPECT_TRUE(WaitForSwitch("RxSwitch7", true));
  EXPECT_TRUE(WaitForLamp("Led4", true));

  // A right-button press runs the switch's handler without flipping it: the
  // state slot is written again, unchanged.
  const FILETIME long_ago{0x00000000, 0x01C00000};  // the 1980s
  dir_.SetWriteTime(L"programme_IR.inf", long_ago);
  PressMouse(winamp, Mouse::Right);
  EXPECT_TRUE(WaitUntil(
      [&] {
        auto written = dir_.WriteTime(L"programme_IR.inf");
        return written && CompareFileTime(&*written, &long_ago) != 0;
      },
      kWait))
      << "the right-button press did not save the programme file";
  ASSERT_TRUE(app_->Sync());
  EXPECT_EQ(Slot(kWinamp), "ON");
  EXPECT_TRUE(WaitForSwitch("RxSwitch7", true));

  // A second left press turns Winamp off and nothing else on.
  PressMouse(winamp);
  EXPECT_EQ(WaitForSlot(kWinamp, "OFF"), "OFF");
  EXPECT_TRUE(WaitForSwitch("RxSwitch7", false));
  EXPECT_TRUE(WaitForLamp("Led4", false));
  EXPECT_EQ(Slot(kWmp), "OFF");
  EXPECT_EQ(Slot(kRealOne), "OFF");
  ASSERT_TRUE(app_->SelectPage("TabSheet3"));  // Windows Media Player
  EXPECT_TRUE(WaitForSwitch("RxSwitch5", false));
  EXPECT_TRUE(WaitForLamp("Led3", false));
}

}  // namespace
}  // namespace e2e
