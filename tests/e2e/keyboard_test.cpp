// The keyboard in the program's windows: Tab moves between a form's controls
// as in a dialog box, Ctrl+Tab goes through the pages, Space works the on/off
// switches and the speed buttons as a click does, Enter presses a button,
// Escape closes a dialog, and picture-only buttons have names for screen
// readers. The message loop hands keyboard messages, and only those, to the
// dialog manager, so this is what would break first.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include "harness.h"
#include "remote_fixture.h"
#include "tables.h"

namespace e2e {
namespace {

using namespace std::chrono_literals;

TEST(Keyboard, TabMovesTheFocusToAnotherControlOfTheMainWindow) {
  ProgramDir dir(CurrentTestDirName());
  dir.InstallProgram();
  dir.WriteFile(L"parametres.inf", Lines(EmptySettings()));
  dir.WriteFile(L"programme_IR.inf", Lines(ValidProgramme()));
  TalvoroApp app(dir);
  ASSERT_TRUE(app.WaitUntilShown());
  HWND main = app.main_window();
  HWND first = nullptr;
  ASSERT_TRUE(WaitUntil(
      [&] {
        first = FocusOf(main);
        return first == main || (first != nullptr && IsChild(main, first));
      },
      10s))
      << "the main window has no focus";

  // A posted key goes through the program's message loop, as a typed one does.
  PostMessageW(first, WM_KEYDOWN, VK_TAB, 0x000F0001);
  PostMessageW(first, WM_KEYUP, VK_TAB, 0xC00F0001);
  ASSERT_TRUE(app.Sync());
  HWND second = nullptr;
  EXPECT_TRUE(WaitUntil(
      [&] {
        second = FocusOf(main);
        return second != nullptr && second != first;
      },
      5s))
      << "Tab left the focus on " << ToUtf8(ClassName(first));
  EXPECT_TRUE(second == nullptr || IsChild(main, second));
  EXPECT_TRUE(app.Quit());
}

class KeyboardUse : public RemoteControlTest {
 protected:
  HWND WaitForBox() const { return app_->WaitForMessageBox(kWait); }

  static int SelectedPage(HWND tabs) {
    return static_cast<int>(SendMessageW(tabs, TCM_GETCURSEL, 0, 0));
  }
};

TEST_F(KeyboardUse, TabReachesASwitchWhichShowsTheFocusAndSpaceFlipsItAsAClickDoes) {
  Start(ValidProgramme());
  HWND activation = app_->Control("RxSwitch1");
  ASSERT_NE(activation, nullptr);
  ASSERT_TRUE(WaitForSwitch("RxSwitch1", false));
  ASSERT_TRUE(WaitForLamp("Led1", false));
  const std::optional<Pixels> unfocused = CaptureWindow(activation);
  ASSERT_TRUE(unfocused);

  ASSERT_TRUE(TabTo(activation));
  ASSERT_TRUE(app_->Sync());
  Sleep(200);  // its paint with the focus mark
  const std::optional<Pixels> focused = CaptureWindow(activation);
  ASSERT_TRUE(focused);
  ASSERT_EQ(focused->rgb.size(), unfocused->rgb.size());
  // The mark is drawn along the switch's edge; the switch itself is unchanged.
  int changed_on_edge = 0;
  for (int x = 0; x < focused->width; ++x)
    for (int y : {0, focused->height - 1})
      if (focused->at(x, y) != unfocused->at(x, y)) ++changed_on_edge;
  EXPECT_GT(changed_on_edge, focused->width / 2) << "no focus mark on the switch";
  EXPECT_EQ(ReadSwitch(activation), SwitchFace::Off);
  Screenshot(app_->main_window(), L"keyboard_focus");

  // Space flips it and runs its handler, as a left click does: the lamp
  // lights and the state slot is saved.
  PostKey(activation, VK_SPACE);
  EXPECT_TRUE(WaitForSwitch("RxSwitch1", true));
  EXPECT_TRUE(WaitForLamp("Led1", true));
  EXPECT_EQ(WaitForSlot(1, "ON"), "ON");
  EXPECT_EQ(FocusOf(app_->main_window()), activation);

  PostKey(activation, VK_SPACE);
  EXPECT_TRUE(WaitForSwitch("RxSwitch1", false));
  EXPECT_TRUE(WaitForLamp("Led1", false));
  EXPECT_EQ(WaitForSlot(1, "OFF"), "OFF");

  // A key held down repeats its press but the switch flips once, on release.
  const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(VK_SPACE, MAPVK_VK_TO_VSC)) << 16;
  PostMessageW(activation, WM_KEYDOWN, VK_SPACE, scan | 1);
  PostMessageW(activation, WM_KEYDOWN, VK_SPACE, scan | 1 | 0x40000000);
  PostMessageW(activation, WM_KEYDOWN, VK_SPACE, scan | 1 | 0x40000000);
  PostMessageW(activation, WM_KEYUP, VK_SPACE, scan | 1 | 0xC0000000);
  EXPECT_TRUE(WaitForSwitch("RxSwitch1", true));
  ASSERT_TRUE(app_->Sync());
  EXPECT_EQ(ReadSwitch(activation), SwitchFace::On);
  EXPECT_EQ(Slot(1), "ON");
}

TEST_F(KeyboardUse, CtrlTabChangesThePageAsAClickOnItsTabDoes) {
  Start(ValidProgramme());
  HWND tabs = app_->Control("PageControl1");
  ASSERT_NE(tabs, nullptr);
  ASSERT_EQ(SelectedPage(tabs), 0);
  HWND programming = app_->Control("RxSwitch2");
  ASSERT_NE(programming, nullptr);
  ASSERT_TRUE(WaitForSwitch("RxSwitch2", false));
  PressMouse(programming);
  ASSERT_TRUE(WaitForSwitch("RxSwitch2", true));

  // The page changes and the form hears of it: every programming switch
  // goes off, as after a click on the tab.
  ASSERT_TRUE(TypeChord(app_->main_window(), {VK_CONTROL, VK_TAB}));
  EXPECT_TRUE(WaitUntil([&] { return SelectedPage(tabs) == 1; }, kWait));
  EXPECT_TRUE(
      WaitUntil([&] { return IsWindowVisible(app_->Control("TabSheet2")) != FALSE; }, kWait));
  EXPECT_FALSE(IsWindowVisible(app_->Control("TabSheet1")));
  EXPECT_TRUE(WaitForSwitch("RxSwitch2", false));
  // The focus is on no control of the page left behind.
  ASSERT_TRUE(app_->Sync());
  const HWND focus = FocusOf(app_->main_window());
  EXPECT_TRUE(focus == nullptr || IsWindowVisible(focus)) << ToUtf8(ClassName(focus));

  // Backwards, and round from the first page to the last.
  ASSERT_TRUE(TypeChord(app_->main_window(), {VK_CONTROL, VK_SHIFT, VK_TAB}));
  EXPECT_TRUE(WaitUntil([&] { return SelectedPage(tabs) == 0; }, kWait));
  EXPECT_TRUE(
      WaitUntil([&] { return IsWindowVisible(app_->Control("TabSheet1")) != FALSE; }, kWait));
  ASSERT_TRUE(TypeChord(app_->main_window(), {VK_CONTROL, VK_SHIFT, VK_TAB}));
  const int last = static_cast<int>(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0)) - 1;
  EXPECT_EQ(last, 14);
  EXPECT_TRUE(WaitUntil([&] { return SelectedPage(tabs) == last; }, kWait));
  EXPECT_FALSE(IsWindowVisible(app_->Control("TabSheet1")));
  // Tab alone only moves the focus: the page stays.
  ASSERT_TRUE(WaitUntil([&] { return FocusOf(app_->main_window()) != nullptr; }, kWait));
  PostKey(FocusOf(app_->main_window()), VK_TAB);
  ASSERT_TRUE(app_->Sync());
  EXPECT_EQ(SelectedPage(tabs), last);
}

TEST_F(KeyboardUse, SpaceAndEnterPressAFocusedSpeedButton) {
  Start(ValidProgramme());
  const std::vector<std::string> before = Programme();
  HWND clear = app_->Control("SpeedButton50");
  ASSERT_NE(clear, nullptr);
  ASSERT_TRUE(TabTo(clear));

  for (WORD key : {static_cast<WORD>(VK_SPACE), static_cast<WORD>(VK_RETURN)}) {
    PostKey(clear, key);
    HWND box = WaitForBox();
    ASSERT_NE(box, nullptr) << "no confirmation after key " << key;
    EXPECT_EQ(ReadMessageBox(box).message,
              L"Êtes-vous sûr de vouloir effacer tous les codes IR de l'onglet \"Volumes\" ?");
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDNO, BN_CLICKED), 0);
    ASSERT_TRUE(WaitUntilDialogClosed(box, kWait));
    ASSERT_TRUE(app_->Sync());
  }
  EXPECT_EQ(Programme(), before);
}

// Master volume at 60: "Volume +" (SpeedButton1) takes it to 70.
std::vector<std::string> MasterAt60() {
  std::vector<std::string> table = ValidProgramme();
  table[3] = "60";
  return table;
}

TEST_F(KeyboardUse, AMouseClickOnASpeedButtonLeavesTheFocusWhereItWas) {
  Start(MasterAt60());
  HWND activation = app_->Control("RxSwitch1");
  HWND volume_up = app_->Control("SpeedButton1");
  ASSERT_TRUE(activation && volume_up);
  ASSERT_TRUE(TabTo(activation));
  // The mouse itself: the button class would take the focus on this press.
  ASSERT_TRUE(ClickWithMouse(app_->main_window(), volume_up));
  EXPECT_EQ(WaitForSlot(3, "70"), "70");
  ASSERT_TRUE(app_->Sync());
  EXPECT_EQ(FocusOf(app_->main_window()), activation);
}

TEST_F(KeyboardUse, ProgramsAndScreenReadersPressTheSpeedButtons) {
  Start(MasterAt60());
  HWND volume_up = app_->Control("SpeedButton1");
  ASSERT_NE(volume_up, nullptr);
  // Active Accessibility's default action, which screen readers run.
  const HRESULT action = AccessibleDefaultAction(volume_up);
  if (action == E_NOTIMPL && UnderWine()) {
    // Wine's oleacc does not implement accDoDefaultAction on a window's
    // client object. On Windows a button's object sends BM_CLICK: that
    // stands in for it here.
    PostMessageW(volume_up, BM_CLICK, 0, 0);
  } else {
    EXPECT_EQ(action, S_OK);
  }
  EXPECT_EQ(WaitForSlot(3, "70"), "70");

  // BM_CLICK, which UI Automation's Invoke sends, with programming on: the
  // learning dialog comes for "Volume +".
  HWND programming = app_->Control("RxSwitch2");
  ASSERT_NE(programming, nullptr);
  PressMouse(programming);
  ASSERT_TRUE(WaitForSwitch("RxSwitch2", true));
  PostMessageW(volume_up, BM_CLICK, 0, 0);
  EXPECT_TRUE(WaitForForm(L"TForm4", true));
}

TEST_F(KeyboardUse, EscapeClosesTheAboutBoxButNotTheMainWindow) {
  Start(ValidProgramme());
  ASSERT_TRUE(app_->MenuCommand("Aproposde1"));
  ASSERT_TRUE(WaitForForm(L"TForm8", true));
  HWND about = app_->Form(L"TForm8");
  HWND ok = app_->Control(L"TForm8", "Button1");
  ASSERT_NE(ok, nullptr);
  EXPECT_TRUE(GetWindowLongW(ok, GWL_STYLE) & WS_TABSTOP);
  // The box comes up active; the user may also have clicked it.
  auto focus_in_about = [&] {
    const HWND focus = FocusOf(about);
    return focus == about || (focus != nullptr && IsChild(about, focus));
  };
  if (!WaitUntil(focus_in_about, 3s)) SetForegroundWindow(about);
  ASSERT_TRUE(WaitUntil(focus_in_about, kWait)) << "the about box has no focus";
  const HWND focus = FocusOf(about);
  PostKey(focus, VK_ESCAPE);
  EXPECT_TRUE(WaitForForm(L"TForm8", false));

  // The user comes back to the main window (Wine activates no other window
  // of the program when the box hides).
  HWND main = app_->main_window();
  if (GetForegroundWindow() != main) SetForegroundWindow(main);
  ASSERT_TRUE(WaitUntil([&] { return FocusOf(main) != nullptr; }, kWait));
  PostKey(FocusOf(main), VK_ESCAPE);
  ASSERT_TRUE(app_->Sync());
  EXPECT_TRUE(IsWindowVisible(main));
}

TEST_F(KeyboardUse, PictureOnlyButtonsAndSwitchesHaveNamesForScreenReaders) {
  Start(ValidProgramme());
  struct Named {
    const char* control;
    const wchar_t* name;
  };
  const Named named[] = {
      {"SpeedButton11", L"Explorateur Windows"},  // a picture only: its hint
      {"SpeedButton9", L"Redémarrer le PC (vous avez 5 secondes pour annuler)"},
      {"SpeedButton50", L"Effacer"},                      // its caption says it
      {"RxSwitch1", L"Activer les codes IR programmés"},  // the words beside it
      {"RxSwitch2", L"Autoriser la programmation de nouvelles touches"},
  };
  for (const Named& entry : named) {
    HWND control = app_->Control(entry.control);
    ASSERT_NE(control, nullptr) << entry.control;
    EXPECT_EQ(WindowText(control), entry.name) << entry.control;
    const std::optional<std::wstring> accessible = AccessibleName(control);
    ASSERT_TRUE(accessible) << "no accessible object for " << entry.control;
    EXPECT_EQ(*accessible, entry.name) << entry.control;
  }
  // Nothing of it shows: the switch still draws its own face, the button
  // its picture (checked by the switch and picture tests).
  EXPECT_EQ(ReadSwitch(app_->Control("RxSwitch1")), SwitchFace::Off);
}

}  // namespace
}  // namespace e2e
