// A test fixture for driving the program with the remote and the mouse: the
// program runs from a fresh directory with /simulate and a simulated receiver
// plugged in (which also enables the programming switches). Each irsim send
// returns once the program has handled the code, so the files and windows
// can be read right after it; mouse presses are posted and waited for.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "harness.h"
#include "tables.h"

namespace e2e {

// The extra information the program gives every key event it injects ("TALV"
// in ASCII), by which it keeps them from its own windows.
inline constexpr ULONG_PTR kProgramKeyMark = 0x54414C56;

// A key event as the program injects it: `vk` pressed (`down`) or released,
// with the program's mark.
inline KeyEvent Injected(DWORD vk, bool down) {
  KeyEvent event;
  event.vk = vk;
  event.down = down;
  event.injected = true;
  event.extra_info = kProgramKeyMark;
  return event;
}

// Whether `seen` are exactly the events `want`, in order: same keys, same
// directions, same injected flags, same extra information.
inline ::testing::AssertionResult SameKeys(const std::vector<KeyEvent>& seen,
                                           const std::vector<KeyEvent>& want) {
  for (std::size_t i = 0; i < seen.size() && i < want.size(); ++i) {
    if (seen[i].extra_info != want[i].extra_info) {
      return ::testing::AssertionFailure()
             << "event " << i << " (" << Describe(seen[i]) << ") has the extra information "
             << std::hex << seen[i].extra_info << ", not " << want[i].extra_info;
    }
  }
  bool same = seen.size() == want.size();
  for (std::size_t i = 0; same && i < seen.size(); ++i)
    same = seen[i].vk == want[i].vk && seen[i].down == want[i].down &&
           seen[i].injected == want[i].injected;
  if (same) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "saw " << Describe(seen) << "\n want " << Describe(want);
}

// The control that has the keyboard focus in `window`'s thread, or nullptr.
inline HWND FocusOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

class RemoteControlTest : public ::testing::Test {
 protected:
  static constexpr std::chrono::seconds kWait{10};

  void SetUp() override { dir_.InstallProgram(); }
  void TearDown() override {
    if (app_) app_->Quit();
  }

  // Writes both tables, starts the program with /simulate, waits for its
  // main window and plugs a receiver.
  void Start(const std::vector<std::string>& programme,
             const std::vector<std::string>& settings = EmptySettings()) {
    dir_.WriteFile(L"parametres.inf", Lines(settings));
    dir_.WriteFile(L"programme_IR.inf", Lines(programme));
    app_.emplace(dir_, L"/simulate");
    ASSERT_TRUE(app_->WaitUntilShown());
    ASSERT_TRUE(app_->WaitForAllForms());
    IrsimResult plug = RunIrsim(dir_, L"plug");
    ASSERT_TRUE(plug.finished && plug.exit_code == 0) << "irsim plug: " << plug.output;
    ASSERT_EQ(app_->Panel(0), L"Récepteur IR USB connecté");
  }

  // The remote: one press of a button whose code is `code`.
  ::testing::AssertionResult Send(int code) {
    IrsimResult result = RunIrsim(dir_, L"send " + std::to_wstring(code));
    if (!result.finished) return ::testing::AssertionFailure() << "irsim send did not end";
    if (result.exit_code != 0) {
      return ::testing::AssertionFailure() << "irsim send " << code << " exited with "
                                           << result.exit_code << ": " << result.output;
    }
    return ::testing::AssertionSuccess();
  }

  // The programme file's 300 slots; empty when it is not 300 CR LF lines.
  std::vector<std::string> Programme() const {
    auto bytes = dir_.ReadFile(L"programme_IR.inf");
    auto lines = bytes ? SplitCrLf(*bytes) : std::nullopt;
    if (!lines || lines->size() != static_cast<std::size_t>(kProgrammeLines)) return {};
    return *lines;
  }
  std::string Slot(int slot) const {
    auto slots = Programme();
    return slots.empty() ? "<no valid programme file>" : slots[static_cast<std::size_t>(slot)];
  }
  std::string ProgrammeBytes() const { return dir_.ReadFile(L"programme_IR.inf").value_or(""); }

  // Waits until `slot` of the programme file holds `value` (after a mouse
  // press, which the program handles in its own time); returns what it holds.
  std::string WaitForSlot(int slot, std::string_view value) const {
    std::string seen;
    WaitUntil(
        [&] {
          seen = Slot(slot);
          return seen == value;
        },
        kWait);
    return seen;
  }

  // Waits until the main window's switch `name` shows on or off.
  ::testing::AssertionResult WaitForSwitch(std::string_view name, bool on) const {
    HWND control = app_->Control(name);
    if (!control) return ::testing::AssertionFailure() << "no switch " << name;
    const SwitchFace want = on ? SwitchFace::On : SwitchFace::Off;
    SwitchFace seen = SwitchFace::Unknown;
    WaitUntil(
        [&] {
          seen = ReadSwitch(control);
          return seen == want;
        },
        kWait);
    if (seen == want) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << name << " shows "
                                         << (seen == SwitchFace::On    ? "on"
                                             : seen == SwitchFace::Off ? "off"
                                                                       : "neither face")
                                         << ", not " << (on ? "on" : "off");
  }

  // Waits until the main window's lamp `name` shows ledon.bmp (lit) or
  // ledoff.bmp.
  ::testing::AssertionResult WaitForLamp(std::string_view name, bool lit) const {
    HWND control = app_->Control(name);
    if (!control) return ::testing::AssertionFailure() << "no lamp " << name;
    const std::wstring picture = dir_.File(lit ? L"ledon.bmp" : L"ledoff.bmp");
    if (WaitUntil([&] { return ShowsPicture(control, picture); }, kWait))
      return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << name << " does not show " << (lit ? "ledon.bmp" : "ledoff.bmp");
  }

  // Waits until form window `form_class` is shown (or hidden).
  ::testing::AssertionResult WaitForForm(const wchar_t* form_class, bool shown) const {
    HWND form = app_->Form(form_class);
    if (!form) return ::testing::AssertionFailure() << "no window " << ToUtf8(form_class);
    if (WaitUntil([&] { return (IsWindowVisible(form) != FALSE) == shown; }, kWait))
      return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << ToUtf8(form_class) << " is still " << (shown ? "hidden" : "shown");
  }

  // Presses Tab until `target` has the focus; false when a round of every
  // stop of the window never reached it.
  ::testing::AssertionResult TabTo(HWND target) {
    using namespace std::chrono_literals;
    HWND main = app_->main_window();
    if (!WaitUntil([&] { return FocusOf(main) != nullptr; }, kWait))
      return ::testing::AssertionFailure() << "the main window has no focus";
    for (int press = 0; press < 80; ++press) {
      const HWND focus = FocusOf(main);
      if (focus == target) return ::testing::AssertionSuccess();
      PostKey(focus, VK_TAB);
      if (!app_->Sync()) return ::testing::AssertionFailure() << "the program does not answer";
      WaitUntil([&] { return FocusOf(main) != focus; }, 2s);
    }
    return ::testing::AssertionFailure() << "Tab never reached the control";
  }

  // Copies the stand-in program (MarkerProgram) to `name`, relative to the
  // program directory; returns its full path.
  std::wstring Plant(std::wstring_view name) const {
    namespace fs = std::filesystem;
    const fs::path target(dir_.File(name));
    fs::create_directories(target.parent_path());
    fs::copy_file(fs::path(MarkerProgram()), target, fs::copy_options::overwrite_existing);
    return target.wstring();
  }

  // Waits for the marker the stand-in `name` leaves when it runs; what it
  // holds (the command line it was given), or nullopt when it did not run.
  std::optional<std::string> WaitForRun(std::wstring_view name) const {
    const std::wstring marker = std::wstring(name) + L".ran";
    if (!WaitUntil([&] { return dir_.Exists(marker); }, kWait)) return std::nullopt;
    return dir_.ReadFile(marker);
  }

  // How many times the stand-in `name` has started so far.
  int Runs(std::wstring_view name) const {
    const std::string lines = dir_.ReadFile(std::wstring(name) + L".runs").value_or("");
    return static_cast<int>(std::count(lines.begin(), lines.end(), '\n'));
  }

  static bool Topmost(HWND window) {
    return (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
  }

  // Saves what the screen shows of `window` as build/screenshots/<name>.png
  // (the script that runs the tests turns the BMP into a PNG).
  static void Screenshot(HWND window, const std::wstring& name) {
    const std::wstring& folder = TestPaths().screenshots;
    ASSERT_FALSE(folder.empty()) << "TALVORO_E2E_SCREENSHOTS is not set";
    EXPECT_TRUE(SaveScreenshot(window, folder + L"\\" + name + L".bmp")) << ToUtf8(name);
  }
  // The same for pixels captured earlier (CaptureWindow).
  static void Screenshot(const Pixels& pixels, const std::wstring& name) {
    const std::wstring& folder = TestPaths().screenshots;
    ASSERT_FALSE(folder.empty()) << "TALVORO_E2E_SCREENSHOTS is not set";
    EXPECT_TRUE(SaveBmp(pixels, folder + L"\\" + name + L".bmp")) << ToUtf8(name);
  }

  ProgramDir dir_{CurrentTestDirName()};
  std::optional<TalvoroApp> app_;
};

}  // namespace e2e
