// The "Touches personnalisées" tab: learned codes send the keys chosen for
// their rows, exactly as a low-level keyboard hook in another process of the
// session sees them (keyrecorder.exe), the extended flag included; the keys
// dialog stores what the user presses into its hot-key field. The file also
// leaves screenshots of the tab and of the dialog.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include "harness.h"
#include "remote_fixture.h"
#include "tables.h"

namespace e2e {
namespace {

constexpr int kState = 259;

// Virtual-key codes, from the Windows virtual-key table.
constexpr DWORD kCtrl = 0x11;
constexpr DWORD kShift = 0x10;
constexpr DWORD kLeftWindows = 0x5B;
constexpr DWORD kK = 0x4B;
constexpr DWORD kD = 0x44;
constexpr DWORD kPlayPause = 0xB3;

// A key event as injected, with the extended-key flag or without.
KeyEvent Key(DWORD vk, bool down, bool extended = false) {
  KeyEvent event = Injected(vk, down);
  event.flags = extended ? LLKHF_EXTENDED : 0;
  return event;
}

// The same keys as SameKeys compares, and the same extended flags.
::testing::AssertionResult SameKeysAndFlags(const std::vector<KeyEvent>& seen,
                                            const std::vector<KeyEvent>& want) {
  ::testing::AssertionResult same = SameKeys(seen, want);
  if (!same) return same;
  for (std::size_t i = 0; i < seen.size(); ++i)
    if ((seen[i].flags & LLKHF_EXTENDED) != (want[i].flags & LLKHF_EXTENDED))
      return ::testing::AssertionFailure()
             << Describe(seen[i]) << " (event " << i << ") "
             << ((want[i].flags & LLKHF_EXTENDED) ? "lacks" : "has") << " the extended flag";
  return ::testing::AssertionSuccess();
}

// Rows 1 to 4: a chord, a media key, a Windows chord and a text that does
// not parse; row n's code is 2600 + n.
std::vector<std::string> ProgrammeWithRows() {
  std::vector<std::string> table = ValidProgramme();
  table[kState] = std::string("ON");
  for (int row = 1; row <= 4; ++row) table[258 + 2 * row] = std::to_string(2600 + row);
  table[261] = std::string("Ctrl+Shift+K");
  table[263] = std::string("MediaPlayPause");
  table[265] = std::string("Win+D");
  table[267] = std::string("Ctrl+\xE9");
  return table;
}

class CustomKeys : public RemoteControlTest {
 protected:
  // Everything the hook saw since the last call (the recorder stays on).
  std::vector<KeyEvent> NewKeys() {
    auto events = recorder_->EventsUntilNow();
    EXPECT_TRUE(events) << "the key recorder did not see the test's mark";
    std::vector<KeyEvent> all = events.value_or(std::vector<KeyEvent>{});
    std::vector<KeyEvent> fresh(all.begin() + static_cast<long>(std::min(seen_, all.size())),
                                all.end());
    seen_ = all.size();
    return fresh;
  }

  void StartWithRecorder() {
    Start(ProgrammeWithRows());
    recorder_.emplace(dir_.File(L"keys.txt"), L"Application in front");
    ASSERT_TRUE(recorder_->WaitReady()) << "the key recorder did not start";
    HWND front = recorder_->window();
    ASSERT_NE(front, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == front; }, kWait))
        << "the recorder's window did not come to the front";
  }

  std::optional<KeyRecorder> recorder_;
  std::size_t seen_ = 0;
};

TEST_F(CustomKeys, RowsSendChordsMediaKeysAndWindowsChordsAndNothingWhenInvalidOrOff) {
  StartWithRecorder();
  ASSERT_TRUE(Send(2601));
  EXPECT_TRUE(SameKeysAndFlags(NewKeys(), {Key(kCtrl, true), Key(kShift, true), Key(kK, true),
                                           Key(kK, false), Key(kShift, false), Key(kCtrl, false)}));
  ASSERT_TRUE(Send(2602));
  EXPECT_TRUE(
      SameKeysAndFlags(NewKeys(), {Key(kPlayPause, true, true), Key(kPlayPause, false, true)}));
  ASSERT_TRUE(Send(2603));
  EXPECT_TRUE(SameKeysAndFlags(NewKeys(), {Key(kLeftWindows, true, true), Key(kD, true),
                                           Key(kD, false), Key(kLeftWindows, false, true)}));
  ASSERT_TRUE(Send(2604));
  EXPECT_TRUE(SameKeys(NewKeys(), {}));
  EXPECT_EQ(WindowText(app_->Control("LabelKeys1")), L"Ctrl+Maj+K");
  EXPECT_EQ(WindowText(app_->Control("LabelKeys2")), L"Lecture/Pause");
  EXPECT_EQ(WindowText(app_->Control("LabelKeys4")), L"(invalide)");

  // The tab switched off with the mouse: its codes send nothing.
  PressMouse(app_->Control("RxSwitch30"));
  ASSERT_EQ(WaitForSlot(kState, "OFF"), "OFF");
  ASSERT_TRUE(Send(2601));
  ASSERT_TRUE(Send(2602));
  EXPECT_TRUE(SameKeys(NewKeys(), {}));
  EXPECT_EQ(Slot(267), "Ctrl+\xE9");
}

TEST_F(CustomKeys, TheDialogStoresTheChordPressedInItsFieldWithTheWindowsKey) {
  Start(ProgrammeWithRows());
  ASSERT_TRUE(app_->SelectPage("TabSheet15"));
  ASSERT_TRUE(app_->Sync());
  Sleep(500);  // shown pages paint in their own time
  Screenshot(app_->main_window(), L"tab_custom_keys");

  ClickButton(app_->Control("KeyChooser5"));
  ASSERT_TRUE(WaitForForm(L"TForm9", true));
  HWND dialog = app_->Form(L"TForm9");
  EXPECT_EQ(WindowText(dialog), L"Touche 5 : touches à envoyer");
  HWND field = app_->Control(L"TForm9", "HotKey1");
  HWND shown = app_->Control(L"TForm9", "Label3");
  ASSERT_NE(field, nullptr);
  EXPECT_EQ(ClassName(field), L"msctls_hotkey32");
  EXPECT_EQ(WindowText(shown), L"Touches envoyées : (aucune)");

  // The user clicks into the field and presses Ctrl+Shift+K.
  PressMouse(field);
  ASSERT_TRUE(app_->Sync());
  ASSERT_TRUE(TypeChord(dialog, {VK_CONTROL, VK_SHIFT, 'K'}));
  EXPECT_TRUE(
      WaitUntil([&] { return WindowText(shown) == L"Touches envoyées : Ctrl+Maj+K"; }, kWait))
      << ToUtf8(WindowText(shown));
  EXPECT_EQ(SendMessageW(field, HKM_GETHOTKEY, 0, 0),
            MAKEWORD('K', HOTKEYF_CONTROL | HOTKEYF_SHIFT));

  // Then ticks the Windows key, which the field cannot hold.
  HWND win = app_->Control(L"TForm9", "CheckBox4");
  SendMessageW(win, BM_SETCHECK, BST_CHECKED, 0);
  PostMessageW(GetParent(win), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(win), BN_CLICKED),
               reinterpret_cast<LPARAM>(win));
  EXPECT_TRUE(
      WaitUntil([&] { return WindowText(shown) == L"Touches envoyées : Ctrl+Maj+Win+K"; }, kWait))
      << ToUtf8(WindowText(shown));
  ASSERT_TRUE(app_->Sync());
  Screenshot(dialog, L"keys_dialog");

  ClickButton(app_->Control(L"TForm9", "Button1"));
  EXPECT_EQ(WaitForSlot(269, "Ctrl+Shift+Win+K"), "Ctrl+Shift+Win+K");
  EXPECT_TRUE(WaitForForm(L"TForm9", false));
  EXPECT_TRUE(WaitUntil(
      [&] { return WindowText(app_->Control("LabelKeys5")) == L"Ctrl+Maj+Win+K"; }, kWait));
}

}  // namespace
}  // namespace e2e
