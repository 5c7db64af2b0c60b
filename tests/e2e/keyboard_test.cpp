// The keyboard in the program's windows: Tab moves between a form's controls
// as in a dialog box. The message loop hands keyboard messages, and only
// those, to the dialog manager, so this is what would break first.
#include <gtest/gtest.h>

#include "harness.h"
#include "tables.h"

namespace e2e {
namespace {

using namespace std::chrono_literals;

HWND FocusOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

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

}  // namespace
}  // namespace e2e
