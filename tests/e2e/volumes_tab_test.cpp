// The Volumes tab: its buttons, by mouse and by the remote's learned codes,
// move the levels the program keeps in programme_IR.inf (master volume in
// slot 3, mute in slot 4, balance in slot 5, wave volume in slot 6, the
// selection in slot 2) and in the tab's bars; choosing the wave volume hides
// the balance group and the mute button.
#include <gtest/gtest.h>

#include "harness.h"
#include "remote_fixture.h"
#include "tables.h"

// After the Windows header that harness.h brings.
#include <commctrl.h>

namespace e2e {
namespace {

constexpr int kVolumesState = 1;
constexpr int kSelection = 2;
constexpr int kMaster = 3;
constexpr int kMute = 4;
constexpr int kBalance = 5;
constexpr int kWave = 6;

// Codes learned for the tab's eight actions, in slots 7 to 14.
constexpr int kSelectMasterCode = 701;
constexpr int kSelectWaveCode = 801;
constexpr int kUpCode = 901;
constexpr int kDownCode = 1001;
constexpr int kMuteCode = 1101;
constexpr int kRightCode = 1201;
constexpr int kLeftCode = 1301;
constexpr int kCentreCode = 1401;

std::vector<std::string> StartingLevels() {
  std::vector<std::string> table = ValidProgramme();
  table[kSelection] = std::string("VG");
  table[kMaster] = std::string("60");
  table[kMute] = std::string("SON_ON");
  table[kBalance] = std::string("0");
  table[kWave] = std::string("255");
  return table;
}

class VolumesTab : public RemoteControlTest {
 protected:
  // The position a progress bar or track bar of the main window shows.
  int Position(std::string_view name) const {
    HWND control = app_->Control(name);
    if (!control) return -1000;
    const UINT message = ClassName(control) == TRACKBAR_CLASSW ? TBM_GETPOS : PBM_GETPOS;
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(control, message, 0, 0, SMTO_ABORTIFHUNG, 5000, &result)) return -1000;
    return static_cast<int>(static_cast<LRESULT>(result));
  }
  bool Checked(std::string_view name) const {
    HWND control = app_->Control(name);
    DWORD_PTR result = 0;
    return control &&
           SendMessageTimeoutW(control, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 5000, &result) &&
           result == BST_CHECKED;
  }
  bool Shown(std::string_view name) const {
    HWND control = app_->Control(name);
    return control && IsWindowVisible(control);
  }

  // Clicks the main window's button `name`.
  void Click(std::string_view name) {
    HWND button = app_->Control(name);
    ASSERT_NE(button, nullptr) << name;
    ClickButton(button);
  }

  // What the tab shows for the master volume chosen (true) or the wave
  // volume chosen (false).
  void ExpectSelection(bool master) const {
    EXPECT_EQ(WindowText(app_->Control("Label16")),
              master ? L"Volume général" : L"Volume wave / MP3");
    EXPECT_EQ(Shown("Panel4"), master) << "balance group";
    EXPECT_EQ(Shown("SpeedButton6"), master) << "mute button";
    EXPECT_EQ(Shown("Label15"), master) << "mute code label";
  }
};

TEST_F(VolumesTab, MouseButtonsMoveTheLevels) {
  Start(StartingLevels());
  ASSERT_TRUE(app_->SelectPage("TabSheet1"));
  ASSERT_TRUE(Checked("RadioButton1"));
  ExpectSelection(true);

  Click("SpeedButton1");  // volume up
  EXPECT_EQ(WaitForSlot(kMaster, "70"), "70");
  ASSERT_TRUE(app_->Sync());
  EXPECT_EQ(Position("ProgressBar1"), 70);

  Click("SpeedButton4");  // balance right
  EXPECT_EQ(WaitForSlot(kBalance, "10"), "10");
  ASSERT_TRUE(app_->Sync());
  EXPECT_EQ(Position("TrackBar1"), 10);

  Click("SpeedButton6");  // mute
  EXPECT_EQ(WaitForSlot(kMute, "SON_OFF"), "SON_OFF");

  // Wave volume: the press selects it, the click that completes it checks
  // the radio button (were the click lost, the master volume would stay
  // checked, and the next volume button would act on it).
  Click("RadioButton2");
  EXPECT_EQ(WaitForSlot(kSelection, "VW"), "VW");
  ASSERT_TRUE(app_->Sync());
  EXPECT_TRUE(Checked("RadioButton2"));
  EXPECT_FALSE(Checked("RadioButton1"));
  ExpectSelection(false);

  Click("SpeedButton2");  // volume down: the wave volume now
  EXPECT_EQ(WaitForSlot(kWave, "230"), "230");
  ASSERT_TRUE(app_->Sync());
  EXPECT_EQ(Position("ProgressBar2"), 230);

  std::vector<std::string> slots = Programme();
  ASSERT_FALSE(slots.empty());
  EXPECT_EQ(slots[kMaster], "70");
  EXPECT_EQ(slots[kBalance], "10");
  EXPECT_EQ(slots[kMute], "SON_OFF");
  EXPECT_EQ(slots[kSelection], "VW");
  EXPECT_EQ(Position("ProgressBar1"), 70);
}

TEST_F(VolumesTab, LearnedCodesMoveTheLevels) {
  std::vector<std::string> table = StartingLevels();
  table[kVolumesState] = "ON";
  int slot = 7;
  for (int code : {kSelectMasterCode, kSelectWaveCode, kUpCode, kDownCode, kMuteCode, kRightCode,
                   kLeftCode, kCentreCode})
    table[slot++] = std::to_string(code);
  Start(table);
  ASSERT_TRUE(app_->SelectPage("TabSheet1"));

  ASSERT_TRUE(Send(kUpCode));
  EXPECT_EQ(Slot(kMaster), "70");
  EXPECT_EQ(Position("ProgressBar1"), 70);
  ASSERT_TRUE(Send(kRightCode));
  EXPECT_EQ(Slot(kBalance), "10");
  EXPECT_EQ(Position("TrackBar1"), 10);
  ASSERT_TRUE(Send(kMuteCode));
  EXPECT_EQ(Slot(kMute), "SON_OFF");

  ASSERT_TRUE(Send(kSelectWaveCode));
  EXPECT_EQ(Slot(kSelection), "VW");
  EXPECT_TRUE(Checked("RadioButton2"));
  EXPECT_FALSE(Checked("RadioButton1"));
  ExpectSelection(false);
  ASSERT_TRUE(Send(kDownCode));
  EXPECT_EQ(Slot(kWave), "230");
  EXPECT_EQ(Position("ProgressBar2"), 230);
  EXPECT_EQ(Slot(kMaster), "70");
  // With the wave volume chosen, balance and mute do nothing.
  ASSERT_TRUE(Send(kRightCode));
  ASSERT_TRUE(Send(kMuteCode));
  EXPECT_EQ(Slot(kBalance), "10");
  EXPECT_EQ(Slot(kMute), "SON_OFF");

  ASSERT_TRUE(Send(kSelectMasterCode));
  EXPECT_EQ(Slot(kSelection), "VG");
  EXPECT_TRUE(Checked("RadioButton1"));
  EXPECT_FALSE(Checked("RadioButton2"));
  ExpectSelection(true);
  ASSERT_TRUE(Send(kLeftCode));
  ASSERT_TRUE(Send(kLeftCode));
  EXPECT_EQ(Slot(kBalance), "-10");
  EXPECT_EQ(Position("TrackBar1"), -10);
  ASSERT_TRUE(Send(kCentreCode));
  EXPECT_EQ(Slot(kBalance), "0");
  EXPECT_EQ(Position("TrackBar1"), 0);
  EXPECT_EQ(Slot(kWave), "230");
}

}  // namespace
}  // namespace e2e
