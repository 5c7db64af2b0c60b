// The keys the program sends are for the window in front; when that is one of
// the program's own windows they do nothing there. Keys that other programs
// inject (here the test program, with the extra information 0 most programs
// give) still work the program's windows, in a message box too.
//
// The program's window is in front and the key recorder shows no window of
// its own: its hook sees every key the program sends.
#include <windows.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "harness.h"
#include "remote_fixture.h"
#include "tables.h"

namespace e2e {
namespace {

using namespace std::chrono_literals;

constexpr DWORD kCtrl = 0x11;
constexpr DWORD kEnter = 0x0D;
constexpr DWORD kN = 0x4E;

constexpr int kPowerDvdPath = 70;
constexpr int kCloseState = 255;
constexpr int kCloseSlot = 258;
constexpr int kCloseCode = 25801;

class OwnKeys : public RemoteControlTest {
 protected:
  // Starts the program with `table`, then the recorder, and brings the main
  // window to the front, where the program's keys go.
  void StartInFront(const std::vector<std::string>& table) {
    Start(table);
    recorder_.emplace(dir_.File(L"keys.txt"));
    ASSERT_TRUE(recorder_->WaitReady()) << "the key recorder did not start";
    ASSERT_TRUE(InFront());
  }

  ::testing::AssertionResult InFront() const {
    HWND main = app_->main_window();
    if (GetForegroundWindow() != main) SetForegroundWindow(main);
    if (WaitUntil([&] { return GetForegroundWindow() == main; }, kWait))
      return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the main window is not in front";
  }

  // Everything the hook saw so far (the recorder stays on).
  std::vector<KeyEvent> Keys() {
    auto events = recorder_->EventsUntilNow();
    EXPECT_TRUE(events) << "the key recorder did not see the test's mark";
    return events.value_or(std::vector<KeyEvent>{});
  }

  // Whether the main window's thread is in a menu's loop (the menu bar
  // opened by an Alt release, or a popup menu).
  bool InMenuMode() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(app_->main_window(), nullptr), &info) &&
           (info.flags & GUI_INMENUMODE) != 0;
  }

  std::optional<KeyRecorder> recorder_;
};

// A click on Power DVD's "Lecture" button while its path starts a program
// that does not come to the front: the button has the focus, and the Enter
// the button sends lands on it.
TEST_F(OwnKeys, PowerDvdPlayClickedInFrontStartsThePlayerOnce) {
  std::vector<std::string> table = ValidProgramme();
  table[kPowerDvdPath] = ToCp1252(Plant(L"powerdvd.exe"));
  StartInFront(table);
  ASSERT_TRUE(app_->SelectPage("TabSheet5"));
  HWND play = app_->Control("SpeedButton42");
  ASSERT_NE(play, nullptr);
  ASSERT_TRUE(TabTo(play));
  ClickButton(play);

  ASSERT_TRUE(WaitForRun(L"powerdvd.exe")) << "the Power DVD path was not started";
  // Wait 100 ms, Enter, wait 1 ms, Ctrl+N: once. The keys follow the start;
  // the test waits for them all before it adds its own mark, as the program
  // may answer a message (Sync) between two of them.
  const std::vector<KeyEvent> want = {Injected(kEnter, true), Injected(kEnter, false),
                                      Injected(kCtrl, true),  Injected(kN, true),
                                      Injected(kN, false),    Injected(kCtrl, false)};
  WaitUntil([&] { return recorder_->Events().size() >= want.size(); }, kWait);
  EXPECT_TRUE(SameKeys(Keys(), want));
  // An Enter that pressed the button again would start the player again
  // within a few tenths of a second.
  EXPECT_FALSE(WaitUntil([&] { return Runs(L"powerdvd.exe") > 1; }, 2s))
      << Runs(L"powerdvd.exe") << " starts";
  EXPECT_EQ(Runs(L"powerdvd.exe"), 1);
  ASSERT_TRUE(app_->Sync());
  EXPECT_EQ(GetForegroundWindow(), app_->main_window());
  EXPECT_EQ(FocusOf(app_->main_window()), play);
  EXPECT_EQ(app_->MessageBoxWindow(), nullptr);
}

// "Fermer" from the remote while the program is in front, then the keys of
// another program: they work the focused button, and in the box it opens
// only they answer, not a key with the program's mark.
TEST_F(OwnKeys, FermerLeavesTheProgramInFrontRunningAndOtherProgramsKeysStillWork) {
  std::vector<std::string> table = ValidProgramme();
  table[kCloseState] = "ON";
  table[kCloseSlot] = std::to_string(kCloseCode);
  StartInFront(table);
  ASSERT_TRUE(app_->SelectPage("TabSheet14"));
  HWND clear = app_->Control("SpeedButton155");
  ASSERT_NE(clear, nullptr);
  ASSERT_TRUE(TabTo(clear));

  ASSERT_TRUE(Send(kCloseCode));
  EXPECT_TRUE(SameKeys(Keys(), {Injected(VK_MENU, true), Injected(VK_F4, true),
                                Injected(VK_F4, false), Injected(VK_MENU, false)}));
  ASSERT_TRUE(app_->Sync());
  // Neither closed by Alt+F4 nor left in the menu bar by the Alt release.
  EXPECT_FALSE(app_->process().WaitExit(1s)) << "the program ended";
  ASSERT_TRUE(app_->Sync());
  EXPECT_TRUE(IsWindowVisible(app_->main_window()));
  EXPECT_FALSE(InMenuMode());
  EXPECT_EQ(VisibleMenuWindow(app_->process().pid()), nullptr);

  // Space from another program presses the focused "Effacer".
  ASSERT_TRUE(InFront());
  ASSERT_TRUE(TypeChord(app_->main_window(), {VK_SPACE}));
  const HWND box = app_->WaitForMessageBox(kWait);
  ASSERT_NE(box, nullptr) << "Space did not press the focused button";
  EXPECT_EQ(ReadMessageBox(box).message,
            L"Êtes-vous sûr de vouloir effacer tous les codes IR de l'onglet \"Fermer une "
            L"application\" ?");
  // Enter with the program's mark does not answer "Oui"; Enter from
  // another program does.
  ASSERT_TRUE(TypeChord(box, {VK_RETURN}, kProgramKeyMark));
  EXPECT_FALSE(WaitUntil([&] { return !IsWindowVisible(box); }, 1500ms))
      << "the program's Enter answered the box";
  EXPECT_EQ(Slot(kCloseSlot), std::to_string(kCloseCode));
  ASSERT_TRUE(TypeChord(box, {VK_RETURN}));
  EXPECT_TRUE(WaitUntilDialogClosed(box, kWait));
  EXPECT_EQ(WaitForSlot(kCloseSlot, "0"), "0");
  EXPECT_TRUE(app_->process().Running());
}

}  // namespace
}  // namespace e2e
