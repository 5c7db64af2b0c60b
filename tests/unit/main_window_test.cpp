#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "app/application.h"
#include "app/clock_text.h"
#include "app/main_window.h"
#include "config/line_file.h"
#include "fakes.h"

namespace talvoro::app {
namespace {

using config::FormatLines;
using config::FreshProgramme;
using ui::MainId;

constexpr const char* kDir = "C:\\Programmes\\Talvoro\\";

class MainWindowTest : public ::testing::Test {
 protected:
  MainWindowTest() {
    fake.files.files[Path("ledon.bmp")] = "BMon";
    fake.files.files[Path("ledoff.bmp")] = "BMoff";
    fake.files.files[Path("SON_ON.BMP")] = "BMson";
    fake.files.files[Path("SON_OFF.BMP")] = "BMsoff";
  }
  static std::string Path(const std::string& name) { return std::string(kDir) + "\\" + name; }
  void WriteProgramme(const config::ProgrammeTable& t) {
    fake.files.files[Path("programme_IR.inf")] = FormatLines(t.Lines());
  }
  void WriteSettingsLine3(const std::string& value) {
    std::vector<std::string> lines(30);
    lines[2] = value;
    fake.files.files[Path("parametres.inf")] = FormatLines(lines);
  }
  Application& Start() {
    app = std::make_unique<Application>(fake.services());
    app->OnMainWindowCreated();
    return *app;
  }
  MainWindow& win() { return app->main_window(); }
  ui::MainForm& form() { return app->main_form(); }

  test::FakePlatform fake;
  std::unique_ptr<Application> app;
};

TEST_F(MainWindowTest, FirstRunEndsWithTheWindowShownTheIconAddedAndBothFilesWritten) {
  Start();
  EXPECT_TRUE(fake.dialogs.errors.empty()) << fake.dialogs.errors.front();
  EXPECT_TRUE(form().Visible(MainId::TForm1));
  EXPECT_TRUE(fake.shell.icon);
  EXPECT_EQ(fake.shell.added.tip, "Talvoro IR");
  EXPECT_EQ(fake.shell.added.callback_message, 0x0464u);
  EXPECT_EQ(fake.shell.added.id, 1u);
  EXPECT_EQ(form().Get(MainId::StatusBar1).panels[0], "Récepteur IR USB absent...");
  EXPECT_TRUE(fake.files.files.count(Path("parametres.inf")));
  EXPECT_EQ(fake.files.files.at(Path("programme_IR.inf")), FormatLines(FreshProgramme().Lines()));
  EXPECT_FALSE(win().auto_minimise_enabled());
  EXPECT_EQ(win().minimised(), 0);
  // Nothing works without the receiver yet.
  for (const auto& tab : dispatch::Tabs()) EXPECT_FALSE(form().Enabled(tab.programming));
  EXPECT_FALSE(form().Enabled(MainId::ToolButton4));
  EXPECT_FALSE(form().Enabled(MainId::Exporteruneconfiguration1));
  EXPECT_FALSE(form().Enabled(MainId::Exporteruneconfiguration2));
  EXPECT_TRUE(form().Enabled(MainId::ToolButton3));
  EXPECT_TRUE(form().Enabled(MainId::Importeruneconfiguration1));
}

// At start every media button shows the picture its slot map row names;
// the other buttons show none.
TEST_F(MainWindowTest, StartGivesEveryMediaButtonItsPicture) {
  Start();
  int media_buttons = 0;
  for (const auto& tab : dispatch::Tabs())
    for (const dispatch::CodeSlot& code : tab.codes) {
      SCOPED_TRACE(code.slot);
      const char* shown = form().Get(code.control).picture;
      if (code.picture == ui::ButtonPicture::None) {
        EXPECT_EQ(shown, nullptr);
        continue;
      }
      ++media_buttons;
      ASSERT_NE(shown, nullptr);
      EXPECT_STREQ(shown, ui::ResourceName(code.picture));
    }
  EXPECT_EQ(media_buttons, 109);
  EXPECT_STREQ(form().Get(MainId::SpeedButton28).picture, "BUTTON_PLAY");   // Winamp "Lire"
  EXPECT_STREQ(form().Get(MainId::SpeedButton36).picture, "BUTTON_POWER");  // Power DVD Activer
}

TEST_F(MainWindowTest, LanceOnReducesTheWindowOnTheSecondAutoMinimiseTick) {
  WriteSettingsLine3("LANCE_ON");
  Start();
  EXPECT_TRUE(win().auto_minimise_enabled());
  fake.timers.Fire(1000);
  EXPECT_TRUE(form().Visible(MainId::TForm1));
  fake.timers.Fire(1000);
  EXPECT_FALSE(form().Visible(MainId::TForm1));
  EXPECT_EQ(win().minimised(), 1);
  EXPECT_TRUE(fake.shell.icon);
  EXPECT_EQ(fake.shell.calls.back(), "taskbar-hide");
  EXPECT_FALSE(win().auto_minimise_enabled());
}

TEST_F(MainWindowTest, OnlyTheExactStartupSettingReducesTheWindow) {
  for (const char* value : {"LANCE_ON ", "lance_on", "LANCE_OFF", ""}) {
    WriteSettingsLine3(value);
    Start();
    fake.timers.Fire(1000);
    fake.timers.Fire(1000);
    fake.timers.Fire(1000);
    EXPECT_TRUE(form().Visible(MainId::TForm1)) << value;
    EXPECT_EQ(win().minimised(), 0) << value;
  }
}

TEST_F(MainWindowTest, ADamagedProgrammeFileIsReportedAndStartUpCarriesOn) {
  auto t = FreshProgramme();
  t[3] = "abc";
  WriteProgramme(t);
  WriteSettingsLine3("LANCE_ON");
  Start();
  ASSERT_EQ(fake.dialogs.errors.size(), 1u);
  EXPECT_EQ(fake.dialogs.errors[0], "'abc' n'est pas une valeur entière correcte");
  EXPECT_TRUE(form().Visible(MainId::TForm1));
  EXPECT_TRUE(fake.shell.icon);
  EXPECT_TRUE(win().auto_minimise_enabled());
  // The file is the user's: it is not replaced.
  EXPECT_EQ(fake.files.replace_count[Path("programme_IR.inf")], 0);
}

TEST_F(MainWindowTest, AnEmptyProgrammeFileReportsTheEmptyValue) {
  fake.files.files[Path("programme_IR.inf")] = "";
  Start();
  ASSERT_EQ(fake.dialogs.errors.size(), 1u);
  EXPECT_EQ(fake.dialogs.errors[0], "'' n'est pas une valeur entière correcte");
  EXPECT_TRUE(fake.shell.icon);
}

TEST_F(MainWindowTest, EveryTickShowsTheClock) {
  Start();
  fake.clock.now = {2026, 12, 7, 9, 5, 7};
  fake.timers.table.Tick(win().tick_timer());
  EXPECT_EQ(form().Get(MainId::StatusBar1).panels[1], "  9:05:07   07/12/2026");
}

TEST(ClockText, PadsTheHourWithASpaceAndTheRestWithZeros) {
  EXPECT_EQ(ClockText({2026, 12, 7, 14, 5, 7}), " 14:05:07   07/12/2026");
  EXPECT_EQ(ClockText({2026, 12, 7, 9, 5, 7}), "  9:05:07   07/12/2026");
  EXPECT_EQ(ClockText({2026, 12, 31, 23, 59, 59}), " 23:59:59   31/12/2026");
  EXPECT_EQ(ClockText({2027, 1, 1, 0, 0, 0}), "  0:00:00   01/01/2027");
}

TEST_F(MainWindowTest, ReduceAndRestore) {
  Start();
  win().Reduce();
  EXPECT_FALSE(form().Visible(MainId::TForm1));
  EXPECT_EQ(win().minimised(), 1);
  app->OnNotifyIcon(platform::TrayEvent::Other);  // a mouse move over the icon does nothing
  EXPECT_EQ(win().minimised(), 1);
  app->OnNotifyIcon(platform::TrayEvent::RightUp);
  EXPECT_EQ(win().minimised(), 1);
  app->OnNotifyIcon(platform::TrayEvent::LeftDown);  // left button down restores
  EXPECT_TRUE(form().Visible(MainId::TForm1));
  EXPECT_EQ(win().minimised(), 0);
  EXPECT_EQ(fake.shell.calls.back(), "taskbar-show");
}

// At log-on the shell may refuse the icon, and nothing says when it is ready
// if Explorer was already running: the program offers it again every two
// seconds, and meanwhile a reduced window keeps a minimised taskbar entry, a
// click on which brings it back.
TEST_F(MainWindowTest, ARefusedIconIsOfferedAgainAndTheTaskbarEntryStaysUntilItIsIn) {
  auto adds = [&] {
    return std::count(fake.shell.calls.begin(), fake.shell.calls.end(), "add-icon");
  };
  fake.shell.refuse_icon = true;
  WriteSettingsLine3("LANCE_ON");
  Start();
  EXPECT_FALSE(win().notify_icon_shown());
  fake.timers.Fire(1000);
  fake.timers.Fire(1000);
  EXPECT_FALSE(form().Visible(MainId::TForm1));
  EXPECT_EQ(win().minimised(), 1);
  EXPECT_EQ(fake.shell.calls.back(), "taskbar-minimised");
  fake.timers.Fire(2000);
  EXPECT_EQ(adds(), 2);
  EXPECT_EQ(fake.shell.calls.back(), "add-icon");

  app->OnTaskbarEntryRestored();
  EXPECT_TRUE(form().Visible(MainId::TForm1));
  EXPECT_EQ(win().minimised(), 0);
  EXPECT_EQ(fake.shell.calls.back(), "taskbar-show");
  win().Reduce();
  EXPECT_EQ(fake.shell.calls.back(), "taskbar-minimised");
  // A second launch leaves the entry minimised, one click from the window.
  const auto block = HandOver::FromCommandLine({"x"}).Encode();
  app->OnCopyData(block.data(), block.size());
  EXPECT_EQ(fake.shell.calls[fake.shell.calls.size() - 2], "taskbar-minimised");

  fake.shell.refuse_icon = false;
  fake.timers.Fire(2000);
  EXPECT_TRUE(fake.shell.icon);
  EXPECT_TRUE(win().notify_icon_shown());
  EXPECT_EQ(fake.shell.calls.back(), "taskbar-hide");
  EXPECT_EQ(win().minimised(), 1);
  fake.timers.Fire(2000);
  EXPECT_EQ(adds(), 3);
  // From now on reducing hides the entry at once.
  app->OnNotifyIcon(platform::TrayEvent::LeftDown);
  win().Reduce();
  EXPECT_EQ(fake.shell.calls.back(), "taskbar-hide");
}

// A new notification area (Explorer restarted) has forgotten the icon.
TEST_F(MainWindowTest, ANewNotificationAreaGetsTheIconAgainUntilQuit) {
  Start();
  win().Reduce();
  fake.shell.icon = false;
  fake.shell.refuse_icon = true;
  app->OnTaskbarCreated();
  EXPECT_EQ(fake.shell.calls.back(), "taskbar-minimised");
  fake.shell.refuse_icon = false;
  app->OnTaskbarCreated();
  EXPECT_TRUE(fake.shell.icon);
  EXPECT_EQ(fake.shell.calls.back(), "taskbar-hide");

  form().ViewClose();
  app->OnTaskbarCreated();
  fake.timers.Fire(2000);
  EXPECT_FALSE(fake.shell.icon);
  EXPECT_EQ(fake.shell.calls.back(), "terminate");
}

TEST_F(MainWindowTest, ClosingTheWindowQuitsAndReleasesAlt) {
  Start();
  form().ViewClose();
  EXPECT_FALSE(fake.shell.icon);
  ASSERT_EQ(fake.keyboard.events.size(), 1u);
  EXPECT_EQ(fake.keyboard.events[0], std::make_pair(std::uint8_t{18}, true));
  ASSERT_GE(fake.shell.calls.size(), 2u);
  EXPECT_EQ(fake.shell.calls[fake.shell.calls.size() - 2], "delete-icon");
  EXPECT_EQ(fake.shell.calls.back(), "terminate");
}

TEST_F(MainWindowTest, ActivationSavesTheSettingsAndHidesTheStrayComboBox) {
  Start();
  win().settings()[6] = "OSD_ON";
  form().ViewActivate();
  EXPECT_FALSE(form().Visible(MainId::ComboBox1));
  EXPECT_EQ(config::ParseLines(fake.files.files.at(Path("parametres.inf")), 30)[5], "OSD_ON");
}

TEST_F(MainWindowTest, ASaveErrorInAHandlerGoesToTheErrorBoxAndTheProgramGoesOn) {
  Start();
  fake.files.fail_write = platform::FileError::DiskFull;
  form().ViewActivate();
  ASSERT_EQ(fake.dialogs.errors.size(), 1u);
  EXPECT_EQ(fake.dialogs.errors[0], "Disque plein");
  fake.files.fail_write.reset();
  form().ViewActivate();
  EXPECT_EQ(fake.dialogs.errors.size(), 1u);
}

TEST_F(MainWindowTest, TheMixerGetsTheStoredLevelsAtStart) {
  auto t = FreshProgramme();
  t[3] = "40";
  t[4] = "SON_OFF";
  t[5] = "-30";
  t[6] = "100";
  WriteProgramme(t);
  Start();
  EXPECT_EQ(fake.mixer.master.left, 26214u);  // 40 % on the louder left side
  EXPECT_EQ(fake.mixer.master.right, 26214u * 70 / 100);
  EXPECT_TRUE(fake.mixer.mute);
  EXPECT_EQ(fake.mixer.wave, 100u * 0x01000100u);
  EXPECT_EQ(win().levels().master, 40);
  EXPECT_EQ(win().levels().balance, -30);
  EXPECT_EQ(win().levels().wave, 100);
}

// Two "processes" sharing mutexes and a registry.
TEST(SingleInstanceStartup, ASecondCopyHandsOverAndEndsWithoutShowingAnything) {
  std::set<std::string> mutexes;
  test::FakePlatform first_platform;
  first_platform.instance.existing_mutexes = &mutexes;
  Application first(first_platform.services());
  ASSERT_TRUE(first.OnMainWindowCreated());
  EXPECT_EQ(
      first_platform.registry.keys["\\Software\\RunOneTalvoro_IR.exe"]["Talvoro_IR.exeRunOne"],
      0x1234u);
  first.main_window().Reduce();

  test::FakePlatform second_platform;
  second_platform.instance.existing_mutexes = &mutexes;
  second_platform.registry = first_platform.registry;
  second_platform.instance.command_line = {"C:\\T\\Talvoro_IR.exe", "/x"};
  Application second(second_platform.services());
  EXPECT_FALSE(second.OnMainWindowCreated());
  EXPECT_TRUE(second_platform.shell.terminated);
  EXPECT_FALSE(second_platform.shell.icon);
  EXPECT_FALSE(second.main_form().Visible(MainId::TForm1));
  EXPECT_TRUE(second_platform.files.files.empty());
  ASSERT_EQ(second_platform.instance.sent.size(), 1u);
  EXPECT_EQ(second_platform.instance.sent[0].first, 0x1234u);

  // The first copy shows its taskbar entry and comes forward, but stays
  // reduced.
  const auto& block = second_platform.instance.sent[0].second;
  first.OnCopyData(block.data(), block.size());
  EXPECT_EQ(first_platform.shell.calls[first_platform.shell.calls.size() - 2],
            "taskbar-shownormal");
  EXPECT_EQ(first_platform.shell.calls.back(), "foreground");
  EXPECT_EQ(first.main_window().minimised(), 1);
  EXPECT_FALSE(first.main_form().Visible(MainId::TForm1));

  // Only the first copy removes the key at the end.
  second.OnExit();
  EXPECT_EQ(first_platform.registry.keys.count("\\Software\\RunOneTalvoro_IR.exe"), 1u);
  first.OnExit();
  EXPECT_EQ(first_platform.registry.keys.count("\\Software\\RunOneTalvoro_IR.exe"), 0u);
}

TEST(SingleInstanceStartup, CopiesWithAnotherFileNameDoNotSeeEachOther) {
  std::set<std::string> mutexes;
  test::FakePlatform a, b;
  a.instance.existing_mutexes = b.instance.existing_mutexes = &mutexes;
  b.instance.file_name = "Talvoro_IR2.exe";
  Application first(a.services());
  Application second(b.services());
  EXPECT_TRUE(first.OnMainWindowCreated());
  EXPECT_TRUE(second.OnMainWindowCreated());
}

TEST(SingleInstanceStartup, MalformedHandOverBlocksAreIgnored) {
  test::FakePlatform p;
  Application app(p.services());
  ASSERT_TRUE(app.OnMainWindowCreated());
  app.main_window().Reduce();
  const auto before = p.shell.calls.size();
  std::vector<std::uint8_t> block = HandOver::FromCommandLine({"x"}).Encode();
  app.OnCopyData(block.data(), block.size() - 1);
  app.OnCopyData(nullptr, block.size());
  block[0] = 12;
  app.OnCopyData(block.data(), block.size());
  block[0] = 0xFF;  // -1 once the other bytes follow
  block[1] = block[2] = block[3] = 0xFF;
  app.OnCopyData(block.data(), block.size());
  EXPECT_EQ(p.shell.calls.size(), before);
}

}  // namespace
}  // namespace talvoro::app
