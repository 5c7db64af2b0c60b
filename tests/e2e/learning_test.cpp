// Learning remote buttons: a tab's programming switch, a click on an action's
// control, the blinking learning dialog (TForm4) and the next code stored in
// the action's slot; the conflict warning (TForm7) for a code that already
// switches a media tab; and code 0, which is not a remote button.
#include <gtest/gtest.h>

#include "harness.h"
#include "remote_fixture.h"
#include "tables.h"

namespace e2e {
namespace {

constexpr int kWinampState = 51;
constexpr int kWinampToggleSlot = 52;
constexpr int kWinampStartSlot = 53;  // "Activer le lecteur Winamp", action 41
constexpr int kWmpState = 35;
constexpr int kWmpToggleSlot = 45;
constexpr int kVolumeUpSlot = 9;  // "Augmenter le volume", action 3

class Learning : public RemoteControlTest {
 protected:
  HWND LearnDialog() const { return app_->Form(L"TForm4"); }
  HWND ConflictWindow() const { return app_->Form(L"TForm7"); }

  // Turns the programming switch `name` on with the mouse.
  void TurnProgrammingOn(std::string_view name) {
    HWND control = app_->Control(name);
    ASSERT_NE(control, nullptr) << name;
    ASSERT_TRUE(WaitForSwitch(name, false));
    PressMouse(control);
    ASSERT_TRUE(WaitForSwitch(name, true));
  }

  // Arms learning for Winamp's start button (SpeedButton34, slot 53) and
  // waits for the learning dialog.
  void ArmWinampStart() {
    ASSERT_TRUE(app_->SelectPage("TabSheet4"));
    TurnProgrammingOn("RxSwitch8");
    HWND button = app_->Control("SpeedButton34");
    ASSERT_NE(button, nullptr);
    ClickButton(button);
    ASSERT_TRUE(WaitForForm(L"TForm4", true));
    ASSERT_TRUE(app_->Sync());
  }
};

TEST_F(Learning, AClickedActionLearnsTheNextCode) {
  Start(ValidProgramme());
  ASSERT_FALSE(IsWindowVisible(LearnDialog()));
  ArmWinampStart();
  HWND dialog = LearnDialog();
  EXPECT_TRUE(Topmost(dialog)) << "the learning dialog does not stay on top";
  // Let both lamps of the dialog paint before the picture is taken.
  EXPECT_TRUE(WaitUntil(
      [&] {
        HWND left = app_->Control(L"TForm4", "Image1");
        HWND right = app_->Control(L"TForm4", "Image3");
        return left && right &&
               (ShowsPicture(left, dir_.File(L"ledon.bmp")) ||
                ShowsPicture(right, dir_.File(L"ledon.bmp")));
      },
      kWait))
      << "neither lamp of the learning dialog is lit";
  Screenshot(dialog, L"learn_dialog");

  ASSERT_TRUE(Send(4660));
  std::vector<std::string> slots = Programme();
  ASSERT_FALSE(slots.empty());
  EXPECT_EQ(slots[kWinampStartSlot], "4660");
  for (int slot : CodeSlots()) {
    if (slot == kWinampStartSlot) continue;
    EXPECT_EQ(slots[slot], "") << "code slot " << slot;
  }
  EXPECT_FALSE(IsWindowVisible(dialog)) << "the learning dialog is still shown";
  EXPECT_FALSE(Topmost(dialog)) << "the hidden learning dialog still stays on top";
  EXPECT_EQ(WindowText(app_->Control("LabelIr53")), L"IR: 4660");
  EXPECT_TRUE(WaitForSwitch("RxSwitch8", false));
  EXPECT_EQ(app_->Panel(2), L" Code IR: 4660");
}

TEST_F(Learning, TheActivationSwitchLearnsTheToggleCode) {
  Start(ValidProgramme());
  ASSERT_TRUE(app_->SelectPage("TabSheet4"));  // Winamp
  TurnProgrammingOn("RxSwitch8");
  HWND activation = app_->Control("RxSwitch7");
  ASSERT_NE(activation, nullptr);

  // With programming on, the activation switch arms the toggle code
  // (action 40) and stays off.
  PressMouse(activation);
  ASSERT_TRUE(WaitForForm(L"TForm4", true));
  ASSERT_TRUE(app_->Sync());
  EXPECT_TRUE(WaitForSwitch("RxSwitch7", false));
  EXPECT_TRUE(WaitForLamp("Led4", false));
  EXPECT_EQ(Slot(kWinampState), "OFF");

  ASSERT_TRUE(Send(777));
  EXPECT_EQ(Slot(kWinampToggleSlot), "777");
  EXPECT_EQ(Slot(kWinampState), "OFF");
  EXPECT_FALSE(IsWindowVisible(LearnDialog()));
  EXPECT_EQ(WindowText(app_->Control("LabelIr52")), L"IR: 777");
  EXPECT_TRUE(WaitForSwitch("RxSwitch8", false));

  // The learned code now switches Winamp on.
  ASSERT_TRUE(Send(777));
  EXPECT_EQ(Slot(kWinampState), "ON");
  EXPECT_EQ(Slot(kWinampToggleSlot), "777");
  EXPECT_TRUE(WaitForSwitch("RxSwitch7", true));
  EXPECT_TRUE(WaitForLamp("Led4", true));
}

TEST_F(Learning, AMediaToggleCodeIsRefusedWithAWarning) {
  std::vector<std::string> table = ValidProgramme();
  table[kWmpToggleSlot] = "4501";
  Start(table);
  ASSERT_TRUE(app_->SelectPage("TabSheet1"));  // Volumes
  TurnProgrammingOn("RxSwitch2");
  HWND volume_up = app_->Control("SpeedButton1");
  ASSERT_NE(volume_up, nullptr);
  // On the Volumes tab the button arms learning (and acts as well: the file
  // is compared from the end of its handler on).
  ClickButton(volume_up);
  ASSERT_TRUE(WaitForForm(L"TForm4", true));
  ASSERT_TRUE(app_->Sync());
  const std::string before = ProgrammeBytes();
  HWND conflict = ConflictWindow();
  ASSERT_NE(conflict, nullptr);
  ASSERT_FALSE(IsWindowVisible(conflict));

  ASSERT_TRUE(Send(4501));
  EXPECT_TRUE(IsWindowVisible(conflict)) << "no conflict warning";
  EXPECT_TRUE(Topmost(conflict)) << "the conflict warning does not stay on top";
  EXPECT_FALSE(IsWindowVisible(LearnDialog())) << "the learning dialog is still shown";
  EXPECT_EQ(ProgrammeBytes(), before) << "the refused code changed the programme file";
  EXPECT_EQ(Slot(kWmpState), "OFF") << "the refused code switched Windows Media Player";
  // The Volumes tab keeps learning.
  EXPECT_TRUE(WaitForSwitch("RxSwitch2", true));
  EXPECT_TRUE(WaitForForm(L"TForm7", true));
  EXPECT_EQ(WindowText(app_->Control(L"TForm7", "Label1")), L"Ce code IR est déjà utilisé");
  Screenshot(conflict, L"conflict_window");

  HWND ok = app_->Control(L"TForm7", "Button1");
  ASSERT_NE(ok, nullptr);
  EXPECT_EQ(WindowText(ok), L"&Ok");
  ClickButton(ok);
  EXPECT_TRUE(WaitForForm(L"TForm7", false));
  ASSERT_TRUE(app_->Sync());
  EXPECT_FALSE(Topmost(conflict)) << "the hidden conflict warning still stays on top";

  // The volume-up action is still armed: the next code is stored for it.
  ASSERT_TRUE(Send(4242));
  EXPECT_EQ(Slot(kVolumeUpSlot), "4242");
  EXPECT_EQ(WindowText(app_->Control("Label5")), L"IR: 4242");
}

TEST_F(Learning, CodeZeroChangesNothing) {
  // Cleared codes everywhere code 0 could reach: the active Volumes tab's
  // actions, Windows Media Player's toggle and every Winamp slot.
  std::vector<std::string> table = ValidProgramme();
  table[1] = "ON";
  for (int slot = 7; slot <= 14; ++slot) table[slot] = "0";
  table[kWmpToggleSlot] = "0";
  for (int slot = 52; slot <= 63; ++slot) table[slot] = "0";
  Start(table);
  ArmWinampStart();
  const std::string before = ProgrammeBytes();

  ASSERT_TRUE(Send(0));
  EXPECT_EQ(app_->Panel(2), L" Code IR: 0");
  EXPECT_EQ(ProgrammeBytes(), before) << "code 0 changed the programme file";
  EXPECT_TRUE(IsWindowVisible(LearnDialog())) << "code 0 ended learning";
  EXPECT_FALSE(IsWindowVisible(ConflictWindow())) << "code 0 was refused as a toggle code";
  EXPECT_TRUE(WaitForSwitch("RxSwitch8", true));

  // Learning is still armed for the same action.
  ASSERT_TRUE(Send(4660));
  EXPECT_EQ(Slot(kWinampStartSlot), "4660");
  EXPECT_FALSE(IsWindowVisible(LearnDialog()));
}

}  // namespace
}  // namespace e2e
