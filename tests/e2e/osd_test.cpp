// The on-screen display (TForm5): while the main window is reduced and the
// settings say "OSD_ON", what the remote does is announced in a small window
// that floats above the others at the chosen place, never takes the focus,
// and hides itself after a second or two.
#include <gtest/gtest.h>

#include <cstdio>

#include "harness.h"
#include "remote_fixture.h"
#include "tables.h"

namespace e2e {
namespace {

constexpr int kWmpToggle = 4501;  // stored in slot 45, Windows Media Player's toggle
constexpr int kWmpState = 35;

std::vector<std::string> ProgrammeWithToggle() {
  std::vector<std::string> table = ValidProgramme();
  table[45] = std::to_string(kWmpToggle);
  return table;
}

std::vector<std::string> OsdSettings(const std::string& osd, const std::string& start_up) {
  std::vector<std::string> settings = EmptySettings();
  settings[2] = start_up;       // entry 3: start-up
  settings[5] = osd;            // entry 6: OSD switch
  settings[6] = "POSI_OSD_HG";  // entry 7: OSD position, top left
  return settings;
}

class OnScreenDisplay : public RemoteControlTest {
 protected:
  HWND Osd() const { return app_->Form(L"TForm5"); }

  ::testing::AssertionResult WaitUntilReduced() const {
    HWND main = app_->main_window();
    if (WaitUntil([&] { return !IsWindowVisible(main); }, kWait))
      return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the main window is still shown";
  }
};

TEST_F(OnScreenDisplay, RemoteToggleIsAnnouncedWhileTheWindowIsReduced) {
  Start(ProgrammeWithToggle(), OsdSettings("OSD_ON", "LANCE_OFF"));
  HWND osd = Osd();
  ASSERT_NE(osd, nullptr);
  ASSERT_TRUE(app_->ClickToolButton("ToolButton2"));  // "Réduire"
  ASSERT_TRUE(WaitUntilReduced());
  ASSERT_FALSE(IsWindowVisible(osd));
  const HWND foreground_before = GetForegroundWindow();

  ShowWatch watch(osd);
  ASSERT_TRUE(Send(kWmpToggle));
  EXPECT_EQ(Slot(kWmpState), "ON");
  auto sight = watch.WaitShown(kWait);
  ASSERT_TRUE(sight) << "no on-screen display";

  EXPECT_TRUE(sight->topmost) << "the on-screen display does not float above other windows";

  // It never takes the focus from the window the user works in, neither when
  // it shows nor once the program is done with the code.
  EXPECT_NE(sight->foreground, osd) << "the on-screen display became the foreground window";
  EXPECT_NE(sight->active, osd) << "the on-screen display became the active window";
  EXPECT_FALSE(sight->focus && (sight->focus == osd || IsChild(osd, sight->focus)))
      << "the on-screen display took the keyboard focus";
  ASSERT_TRUE(app_->Sync());
  EXPECT_NE(GetForegroundWindow(), osd) << "the on-screen display became the foreground window";
  // Top left of the screen: W div 16 from the left and from the top. (Once
  // the program is done with the code: the window keeps its place when it
  // hides.)
  const int margin = GetSystemMetrics(SM_CXSCREEN) / 16;
  RECT place{};
  GetWindowRect(osd, &place);
  EXPECT_EQ(place.left, margin);
  EXPECT_EQ(place.top, margin);
  if (foreground_before) {
    EXPECT_EQ(GetForegroundWindow(), foreground_before);
  }
  GUITHREADINFO thread{};
  thread.cbSize = sizeof thread;
  ASSERT_TRUE(GetGUIThreadInfo(GetWindowThreadProcessId(osd, nullptr), &thread));
  EXPECT_NE(thread.hwndActive, osd) << "the on-screen display became the active window";

  // The message panel, with the player's name and what happened.
  EXPECT_TRUE(IsWindowVisible(app_->Control(L"TForm5", "Panel5")));
  EXPECT_EQ(WindowText(app_->Control(L"TForm5", "Label11")), L"Lecteur Windows Media");
  EXPECT_EQ(WindowText(app_->Control(L"TForm5", "Label12")), L"Activation des codes IR");
  // The picture, if the display is still there by now (it stays a second or two).
  Sleep(100);  // its first paint
  if (IsWindowVisible(osd)) {
    Screenshot(osd, L"osd_message");
  } else {
    std::printf("[ note     ] the on-screen display was gone before its screenshot\n");
  }

  EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(osd); }, kWait))
      << "the on-screen display did not hide itself";
  EXPECT_FALSE(Topmost(osd)) << "the hidden on-screen display still floats above other windows";
  EXPECT_FALSE(IsWindowVisible(app_->main_window()));
}

TEST_F(OnScreenDisplay, NothingIsAnnouncedWhileTheWindowIsShown) {
  Start(ProgrammeWithToggle(), OsdSettings("OSD_ON", "LANCE_OFF"));
  HWND osd = Osd();
  ASSERT_NE(osd, nullptr);

  ShowWatch watch(osd);
  ASSERT_TRUE(Send(kWmpToggle));
  EXPECT_EQ(Slot(kWmpState), "ON");
  ASSERT_TRUE(app_->Sync());
  EXPECT_FALSE(watch.SeenShown()) << "an on-screen display over the shown main window";
  EXPECT_TRUE(IsWindowVisible(app_->main_window()));
}

TEST_F(OnScreenDisplay, NothingIsAnnouncedWhenTheSettingIsOff) {
  // "LANCE_ON" reduces the window about two seconds after start.
  Start(ProgrammeWithToggle(), OsdSettings("OSD_OFF", "LANCE_ON"));
  HWND osd = Osd();
  ASSERT_NE(osd, nullptr);
  ASSERT_TRUE(WaitUntilReduced());

  ShowWatch watch(osd);
  ASSERT_TRUE(Send(kWmpToggle));
  EXPECT_EQ(Slot(kWmpState), "ON");
  ASSERT_TRUE(app_->Sync());
  EXPECT_FALSE(watch.SeenShown()) << "an on-screen display with \"OSD_OFF\"";
}

TEST_F(OnScreenDisplay, ReducedAtStartUpTheToggleOffIsAnnounced) {
  std::vector<std::string> table = ProgrammeWithToggle();
  table[kWmpState] = "ON";
  Start(table, OsdSettings("OSD_ON", "LANCE_ON"));
  HWND osd = Osd();
  ASSERT_NE(osd, nullptr);
  ASSERT_TRUE(WaitUntilReduced());

  ShowWatch watch(osd);
  ASSERT_TRUE(Send(kWmpToggle));
  EXPECT_EQ(Slot(kWmpState), "OFF");
  auto sight = watch.WaitShown(kWait);
  ASSERT_TRUE(sight) << "no on-screen display";
  EXPECT_NE(sight->foreground, osd) << "the on-screen display became the foreground window";
  EXPECT_EQ(WindowText(app_->Control(L"TForm5", "Label11")), L"Lecteur Windows Media");
  EXPECT_EQ(WindowText(app_->Control(L"TForm5", "Label12")), L"Désactivation des codes IR");
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(osd); }, kWait))
      << "the on-screen display did not hide itself";
}

}  // namespace
}  // namespace e2e
