// The main window's life: reduction at start-up, the single running copy,
// and quitting by the close box.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <thread>

#include "harness.h"
#include "tables.h"

namespace e2e {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// A hidden top-level window of class `class_name` on a thread of the test's
// own. A responsive one answers WM_COPYDATA with the answer set (and counts
// them); a hung one never takes a message.
class TestWindow {
 public:
  TestWindow(const wchar_t* class_name, bool responsive)
      : stop_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
        thread_([this, class_name, responsive] { Run(class_name, responsive); }) {
    WaitUntil([&] { return hwnd_.load() != nullptr; }, 10s);
  }
  ~TestWindow() {
    SetEvent(stop_);
    thread_.join();
    CloseHandle(stop_);
  }
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;

  HWND hwnd() const { return hwnd_; }
  int copies() const { return copies_; }
  void Answer(bool yes) { answer_ = yes; }

 private:
  void Run(const wchar_t* class_name, bool responsive) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &TestWindow::Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = class_name;
    RegisterClassExW(&wc);  // fails harmlessly when an earlier test registered it
    // Topmost: FindWindow, which looks in Z order, meets it first.
    HWND window = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, class_name, L"", WS_POPUP, 0, 0,
                                  0, 0, nullptr, nullptr, wc.hInstance, nullptr);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    hwnd_ = window;
    if (responsive) {
      while (MsgWaitForMultipleObjects(1, &stop_, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
      }
    } else {
      WaitForSingleObject(stop_, INFINITE);
    }
    DestroyWindow(window);
  }
  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* self = reinterpret_cast<TestWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (message != WM_COPYDATA || !self) return DefWindowProcW(hwnd, message, wparam, lparam);
    ++self->copies_;
    return self->answer_ ? TRUE : FALSE;
  }

  HANDLE stop_;
  std::atomic<HWND> hwnd_{nullptr};
  std::atomic<int> copies_{0};
  std::atomic<bool> answer_{false};
  std::thread thread_;
};

void InstallWithStartUpSetting(ProgramDir& dir, const std::string& setting) {
  dir.InstallProgram();
  dir.WriteFile(L"programme_IR.inf", Lines(ValidProgramme()));
  std::vector<std::string> settings = EmptySettings();
  settings[2] = setting;
  dir.WriteFile(L"parametres.inf", Lines(settings));
}

TEST(AutoMinimise, LanceOnReducesTheWindowAboutTwoSecondsAfterStart) {
  ProgramDir dir(CurrentTestDirName());
  InstallWithStartUpSetting(dir, "LANCE_ON");
  TalvoroApp app(dir);
  ASSERT_TRUE(app.WaitUntilShown());
  auto shown = Clock::now();

  // The window was seen shown first: the reduction comes later, from the
  // timer, not from start-up itself.
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(app.main_window()); }, 6s))
      << "still shown 6 s after start";
  auto delay = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - shown);
  std::printf("[ info     ] reduced %lld ms after it was seen shown\n",
              static_cast<long long>(delay.count()));
  EXPECT_TRUE(app.process().Running());
  EXPECT_TRUE(IsWindow(app.main_window()));
  EXPECT_TRUE(app.Quit());
}

void ExpectStillShownAfterFourSeconds(const std::string& setting) {
  ProgramDir dir(CurrentTestDirName());
  InstallWithStartUpSetting(dir, setting);
  TalvoroApp app(dir);
  ASSERT_TRUE(app.WaitUntilShown());
  auto start = Clock::now();
  while (Clock::now() - start < 4s) {
    ASSERT_TRUE(IsWindowVisible(app.main_window())) << "reduced with \"" << setting << "\"";
    Sleep(100);
  }
  EXPECT_TRUE(app.Quit());
}

TEST(AutoMinimise, LanceOnWithTrailingBlankKeepsTheWindowShown) {
  ExpectStillShownAfterFourSeconds("LANCE_ON ");
}

TEST(AutoMinimise, LowerCaseLanceOnKeepsTheWindowShown) {
  ExpectStillShownAfterFourSeconds("lance_on");
}

TEST(SingleInstance, SecondCopyFromTheSameFileEnds) {
  ProgramDir dir(CurrentTestDirName());
  InstallWithStartUpSetting(dir, "LANCE_OFF");
  TalvoroApp first(dir);
  ASSERT_TRUE(first.WaitUntilShown());

  TalvoroApp second(dir);
  EXPECT_TRUE(second.process().WaitExit(10s)) << "the second copy still runs";
  EXPECT_TRUE(first.process().Running());
  EXPECT_TRUE(IsWindowVisible(first.main_window()));
  // Only the first copy's main window is left.
  EXPECT_EQ(FindWindowW(L"TForm1", nullptr), first.main_window());
  EXPECT_TRUE(first.Quit());
}

TEST(SingleInstance, SecondCopyLeavesAReducedFirstCopyReduced) {
  ProgramDir dir(CurrentTestDirName());
  InstallWithStartUpSetting(dir, "LANCE_ON");
  TalvoroApp first(dir);
  ASSERT_TRUE(first.WaitUntilShown());
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(first.main_window()); }, 6s));

  TalvoroApp second(dir);
  EXPECT_TRUE(second.process().WaitExit(10s)) << "the second copy still runs";
  Sleep(500);
  EXPECT_TRUE(first.process().Running());
  EXPECT_FALSE(IsWindowVisible(first.main_window())) << "the hand-over showed the window";
  EXPECT_TRUE(first.Quit());
}

TEST(SingleInstance, CopiesWithDifferentFileNamesRunSideBySide) {
  ProgramDir dir(CurrentTestDirName());
  InstallWithStartUpSetting(dir, "LANCE_OFF");
  dir.CopyProgramAs(L"Talvoro_IR2.exe");
  TalvoroApp first(dir);
  ASSERT_TRUE(first.WaitUntilShown());
  TalvoroApp second(dir, L"", L"Talvoro_IR2.exe");
  ASSERT_TRUE(second.WaitUntilShown());

  Sleep(2000);
  EXPECT_TRUE(first.process().Running());
  EXPECT_TRUE(second.process().Running());
  EXPECT_NE(first.main_window(), second.main_window());
  EXPECT_TRUE(second.Quit());
  EXPECT_TRUE(first.Quit());
}

// The test plays a first copy that hangs: it holds the mutex and its window
// is in the registry, but that window never takes the hand-over.
TEST(SingleInstance, ASecondCopyDoesNotWaitForAHungFirstCopy) {
  HANDLE mutex = CreateMutexW(nullptr, FALSE, L"RunOneMutexTalvoro_IR.exe");
  ASSERT_NE(mutex, nullptr);
  TestWindow hung(L"TalvoroHungFirstCopy", false);
  ASSERT_NE(hung.hwnd(), nullptr);
  const wchar_t* key = L"Software\\RunOneTalvoro_IR.exe";
  const DWORD handle = static_cast<DWORD>(reinterpret_cast<std::uintptr_t>(hung.hwnd()));
  ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, key, L"Talvoro_IR.exeRunOne", REG_DWORD, &handle,
                            sizeof(handle)),
            ERROR_SUCCESS);
  ProgramDir dir(CurrentTestDirName());
  InstallWithStartUpSetting(dir, "LANCE_OFF");

  TalvoroApp second(dir);
  const auto started = Clock::now();
  EXPECT_TRUE(second.process().WaitExit(30s)) << "the second copy waits for the hung one";
  std::printf(
      "[ info     ] the second copy ended after %lld ms\n",
      static_cast<long long>(
          std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - started).count()));
  EXPECT_EQ(FindTopLevel(second.process().pid(), L"TForm1"), nullptr);
  RegDeleteTreeW(HKEY_CURRENT_USER, key);
  CloseHandle(mutex);
}

// At log-on the shell may refuse the icon. The test's own notification area
// (a window of the class Windows' shell uses, which Wine's shell32 sends the
// icons to) refuses it first: the window reduced at start keeps a minimised
// taskbar entry that restores it, until a later attempt is taken.
TEST(TrayIcon, UntilTheShellTakesTheIconAReducedWindowKeepsAMinimisedTaskbarEntry) {
  TestWindow tray(L"Shell_TrayWnd", true);
  ASSERT_NE(tray.hwnd(), nullptr);
  ProgramDir dir(CurrentTestDirName());
  InstallWithStartUpSetting(dir, "LANCE_ON");
  TalvoroApp app(dir);
  ASSERT_TRUE(app.WaitUntilShown());
  const HWND main = app.main_window();
  const HWND entry = FindTopLevel(app.process().pid(), L"TalvoroTaskbarEntry");
  ASSERT_NE(entry, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return tray.copies() > 0; }, 5s))
      << "the icon did not come to the test's notification area";
  auto entry_minimised = [&] { return IsWindowVisible(entry) && IsIconic(entry); };
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(main); }, 6s)) << "not reduced";
  EXPECT_TRUE(WaitUntil(entry_minimised, 2s)) << "no minimised taskbar entry";
  const int refused = tray.copies();
  EXPECT_TRUE(WaitUntil([&] { return tray.copies() > refused; }, 5s))
      << "the icon was not offered again";

  // A click on the entry restores it: the taskbar sends this command.
  PostMessageW(entry, WM_SYSCOMMAND, SC_RESTORE, 0);
  EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(main) != FALSE; }, 5s)) << "not restored";
  EXPECT_FALSE(IsIconic(entry));
  ASSERT_TRUE(app.ClickToolButton("ToolButton2"));  // "Réduire"
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(main); }, 5s));
  EXPECT_TRUE(WaitUntil(entry_minimised, 2s));

  tray.Answer(true);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(entry); }, 6s))
      << "the entry stayed once the icon was in";
  EXPECT_FALSE(IsWindowVisible(main));
  EXPECT_TRUE(app.Quit());
}

TEST(Quit, CloseBoxEndsTheProgramAndReleasesAlt) {
  ProgramDir dir(CurrentTestDirName());
  InstallWithStartUpSetting(dir, "LANCE_OFF");
  TalvoroApp app(dir);
  ASSERT_TRUE(app.WaitUntilShown());
  Sleep(500);

  KeyboardRecorder keys;
  ASSERT_TRUE(keys.installed());
  ASSERT_FALSE(SawAltRelease(keys));
  PostMessageW(app.main_window(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(app.process().WaitExit(15s)) << "still running after the close box";
  EXPECT_TRUE(WaitUntil([&] { return SawAltRelease(keys); }, 2s)) << "no Alt key release seen";
  // Nothing is saved at quit.
  EXPECT_EQ(dir.ReadFile(L"programme_IR.inf"), Lines(ValidProgramme()));
}

}  // namespace
}  // namespace e2e
