// Learned codes on the Windows tab and on the "Fermer une application" tab
// send exactly their key events, as a low-level keyboard hook in another
// process of the session sees them (keyrecorder.exe). The recorder also
// shows the window in front, a stand-in for the user's application: the
// injected keys go there, and Alt+F4 asks it, not the program, to close.
//
// Wine adds no key event of its own to what the program injects (no
// physical event, no generic/left Alt translation: the hook sees VK_MENU as
// sent), so the recorded events are compared whole.
#include <gtest/gtest.h>

#include "harness.h"
#include "remote_fixture.h"
#include "tables.h"

namespace e2e {
namespace {

constexpr int kWindowsState = 21;
constexpr int kExplorerSlot = 22;
constexpr int kCloseState = 255;
constexpr int kSelectSlot = 256;
constexpr int kConfirmSlot = 257;
constexpr int kCloseSlot = 258;

constexpr int kExplorerCode = 2201;
constexpr int kSelectCode = 25601;
constexpr int kConfirmCode = 25701;
constexpr int kCloseCode = 25801;

constexpr DWORD kAlt = VK_MENU;
constexpr DWORD kLeftWindows = VK_LWIN;
constexpr DWORD kE = 'E';

std::vector<std::string> ProgrammeWithCodes() {
  std::vector<std::string> table = ValidProgramme();
  table[kWindowsState] = "ON";
  table[kExplorerSlot] = std::to_string(kExplorerCode);
  table[kCloseState] = "ON";
  table[kSelectSlot] = std::to_string(kSelectCode);
  table[kConfirmSlot] = std::to_string(kConfirmCode);
  table[kCloseSlot] = std::to_string(kCloseCode);
  return table;
}

class KeyActions : public RemoteControlTest {
 protected:
  // Starts the program with the codes learned and both tabs on, then the
  // recorder with its window in front.
  void StartWithRecorder() {
    Start(ProgrammeWithCodes());
    recorder_.emplace(dir_.File(L"keys.txt"), L"Application in front");
    ASSERT_TRUE(recorder_->WaitReady()) << "the key recorder did not start";
    HWND front = recorder_->window();
    ASSERT_NE(front, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == front; }, kWait))
        << "the recorder's window did not come to the front";
  }

  // Everything the hook saw so far (the recorder stays on).
  std::vector<KeyEvent> Keys() {
    auto events = recorder_->EventsUntilNow();
    EXPECT_TRUE(events) << "the key recorder did not see the test's mark";
    return events.value_or(std::vector<KeyEvent>{});
  }

  std::optional<KeyRecorder> recorder_;
};

TEST_F(KeyActions, ExplorerCodeSendsWindowsKeyAndE) {
  StartWithRecorder();
  ASSERT_TRUE(Send(kExplorerCode));
  EXPECT_TRUE(SameKeys(Keys(), {Injected(kLeftWindows, true), Injected(kE, true),
                                Injected(kE, false), Injected(kLeftWindows, false)}));
  EXPECT_TRUE(app_->process().Running());
}

TEST_F(KeyActions, SelectionHoldsAltUntilValidation) {
  StartWithRecorder();
  const std::vector<KeyEvent> selection = {Injected(kAlt, true), Injected(VK_TAB, true),
                                           Injected(VK_TAB, false)};
  std::vector<KeyEvent> want;
  for (int press = 1; press <= 3; ++press) {
    ASSERT_TRUE(Send(kSelectCode));
    want.insert(want.end(), selection.begin(), selection.end());
    // Alt stays down between the presses: no release so far.
    EXPECT_TRUE(SameKeys(Keys(), want)) << "after Sélection " << press;
  }
  ASSERT_TRUE(Send(kConfirmCode));
  want.push_back(Injected(kAlt, false));
  EXPECT_TRUE(SameKeys(Keys(), want)) << "after Validation";
  EXPECT_EQ(recorder_->CloseRequests(), 0);
  EXPECT_TRUE(app_->process().Running());
}

TEST_F(KeyActions, FermerSendsAltF4ToTheWindowInFront) {
  StartWithRecorder();
  ASSERT_TRUE(Send(kCloseCode));
  EXPECT_TRUE(SameKeys(Keys(), {Injected(kAlt, true), Injected(VK_F4, true), Injected(VK_F4, false),
                                Injected(kAlt, false)}));
  // The window in front, not the program, was asked to close, once.
  EXPECT_TRUE(WaitUntil([&] { return recorder_->CloseRequests() == 1; }, kWait))
      << recorder_->CloseRequests() << " close requests";
  ASSERT_TRUE(app_->Sync());
  EXPECT_TRUE(app_->process().Running());
}

}  // namespace
}  // namespace e2e
