// The application launcher: five programs of the user's choice, started by
// their numbered buttons and by the remote.
#include "heart_fixture.h"

namespace talvoro::test {
namespace {

using ui::MainId;
using Strings = std::vector<std::string>;

class LauncherTest : public HeartTest {
 protected:
  void SetUp() override {
    table[220] = "ON";
    for (int entry = 1; entry <= 5; ++entry) table[220 + 2 * entry] = std::to_string(1000 + entry);
    table[225] = "C:\\Program Files\\Trois\\trois.exe";
    settings_lines[5] = "OSD_ON";
  }
  int Pending() { return state().Pending(dispatch::kTabLauncher); }
  bool Announced(const std::string& status) {
    return osd_form().Shown() && osd_form().Visible(ui::OsdId::Panel5) &&
           osd_form().Text(ui::OsdId::Label11) == "Lanceur d'applications" &&
           osd_form().Text(ui::OsdId::Label12) == status;
  }
};

TEST_F(LauncherTest, ALaunchStartsTheEntryWaitsRecordsItAndAnnouncesIt) {
  Start();
  win().Reduce();
  Send(1003);
  EXPECT_EQ(fake.programs.calls, (Strings{"start C:\\Program Files\\Trois\\trois.exe | "
                                          "\"C:\\Program Files\\Trois\\trois.exe\""}));
  EXPECT_EQ(fake.clock.slept_ms, 100);
  EXPECT_EQ(Pending(), 3);
  EXPECT_TRUE(Announced("Application n°3 lancée..."));
  EXPECT_TRUE(fake.dialogs.alerts.empty());
}

TEST_F(LauncherTest, WithTheWindowShownTheButtonLaunchesWithoutAnnouncement) {
  Start();
  Click(MainId::AOLButton3);
  EXPECT_EQ(fake.programs.calls.size(), 1u);
  EXPECT_EQ(Pending(), 3);
  EXPECT_FALSE(osd_form().Shown());
}

TEST_F(LauncherTest, AFailedStartWarnsThenGoesOnButDoesNotClaimALaunch) {
  Start();
  win().Reduce();
  int pending_during = -1;
  int slept_during = -1;
  fake.dialogs.during_warning = [&] {
    pending_during = Pending();
    slept_during = fake.clock.slept_ms;
  };
  Send(1002);  // entry 2 has no path
  EXPECT_TRUE(fake.programs.calls.empty());
  EXPECT_EQ(fake.dialogs.alerts,
            (Strings{"beep", "Avertissement: Le chemin de l'application n°2 n'est pas valide !"}));
  // The wait and the pending number come after the box is closed.
  EXPECT_EQ(pending_during, 0);
  EXPECT_EQ(slept_during, 0);
  EXPECT_EQ(fake.clock.slept_ms, 100);
  EXPECT_EQ(Pending(), 2);
  EXPECT_FALSE(osd_form().Shown());
}

TEST_F(LauncherTest, AnInvalidPathFailsTheSameWay) {
  Start();
  win().Reduce();
  fake.programs.fails = {"start C:\\Program Files\\Trois\\trois.exe | "
                         "\"C:\\Program Files\\Trois\\trois.exe\""};
  Click(MainId::AOLButton3);
  EXPECT_EQ(fake.dialogs.alerts,
            (Strings{"beep", "Avertissement: Le chemin de l'application n°3 n'est pas valide !"}));
  EXPECT_EQ(Pending(), 3);
  EXPECT_FALSE(Announced("Application n°3 lancée..."));
}

TEST_F(LauncherTest, WhileProgrammingAButtonArmsAndAnnouncesOnly) {
  Start();
  win().Reduce();
  Press(MainId::RxSwitch24);
  Click(MainId::AOLButton3);
  EXPECT_EQ(state().action_number, 193);
  EXPECT_TRUE(learn().Shown());
  EXPECT_TRUE(fake.programs.calls.empty());
  EXPECT_TRUE(fake.dialogs.alerts.empty());
  EXPECT_EQ(fake.clock.slept_ms, 0);
  EXPECT_EQ(Pending(), 0);
  EXPECT_TRUE(Announced("Application n°3 lancée..."));
}

TEST_F(LauncherTest, EveryEntryRunsItsOwnPathFromItsOwnCode) {
  for (int entry = 1; entry <= 5; ++entry)
    table[219 + 2 * entry] = "C:\\L\\" + std::to_string(entry) + ".exe";
  Start();
  for (int entry = 5; entry >= 1; --entry) {
    Send(1000 + entry);
    EXPECT_EQ(Pending(), entry);
  }
  EXPECT_EQ(fake.programs.calls,
            (Strings{"start C:\\L\\5.exe | \"C:\\L\\5.exe\"", "start C:\\L\\4.exe | \"C:\\L\\4.exe\"",
                     "start C:\\L\\3.exe | \"C:\\L\\3.exe\"", "start C:\\L\\2.exe | \"C:\\L\\2.exe\"",
                     "start C:\\L\\1.exe | \"C:\\L\\1.exe\""}));
  EXPECT_EQ(fake.clock.slept_ms, 500);
}

TEST_F(LauncherTest, ClearingTheTabKeepsThePathsAndTheirLabels) {
  Start();
  fake.dialogs.answer = platform::BoxResult::Yes;
  Click(MainId::SpeedButton138);
  EXPECT_EQ(File()[226], "0");
  EXPECT_EQ(File()[225], "C:\\Program Files\\Trois\\trois.exe");
  EXPECT_EQ(form().Text(MainId::Label271), "C:\\Program Files\\Trois\\trois.exe");
}

}  // namespace
}  // namespace talvoro::test
