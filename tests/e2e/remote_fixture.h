// A test fixture for driving the program with the remote and the mouse: the
// program runs from a fresh directory with /simulate and a simulated receiver
// plugged in (which also enables the programming switches). Each irsim send
// returns once the program has handled the code, so the files and windows
// can be read right after it; mouse presses are posted and waited for.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "harness.h"
#include "tables.h"

namespace e2e {

// A key event as a program injects it: `vk` pressed (`down`) or released.
inline KeyEvent Injected(DWORD vk, bool down) {
  KeyEvent event;
  event.vk = vk;
  event.down = down;
  event.injected = true;
  return event;
}

// Whether `seen` are exactly the events `want`, in order: same keys, same
// directions, same injected flags.
inline ::testing::AssertionResult SameKeys(const std::vector<KeyEvent>& seen,
                                           const std::vector<KeyEvent>& want) {
  bool same = seen.size() == want.size();
  for (std::size_t i = 0; same && i < seen.size(); ++i)
    same = seen[i].vk == want[i].vk && seen[i].down == want[i].down &&
           seen[i].injected == want[i].injected;
  if (same) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "saw " << Describe(seen) << "\n want " << Describe(want);
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
