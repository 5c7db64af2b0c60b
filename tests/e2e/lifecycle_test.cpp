// The main window's life: reduction at start-up, the single running copy,
// and quitting by the close box.
#include <gtest/gtest.h>

#include <cstdio>

#include "harness.h"
#include "tables.h"

namespace e2e {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

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
