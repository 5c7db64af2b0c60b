// The programs' paths: the "..." choosers and their shared dialogs, the
// start step of the media tabs, and the application launcher.
#include "config/file_dialogs.h"
#include "heart_fixture.h"
#include "media/app_paths.h"

namespace talvoro::test {
namespace {

using ui::MainId;
using Strings = std::vector<std::string>;

// The path slots of every chooser, in slot-map order.
std::vector<const dispatch::PathSlot*> AllPaths() {
  std::vector<const dispatch::PathSlot*> paths;
  for (const dispatch::TabSpec& tab : dispatch::Tabs())
    for (const dispatch::PathSlot& path : tab.paths) paths.push_back(&path);
  return paths;
}

// --- what the start routine is given ---------------------------------------

TEST(StartCommand, APathWithBlanksIsTheApplicationAndQuotedTheCommandLine) {
  const media::StartCommand command = media::CommandFor("C:\\Program Files\\App\\app.exe");
  EXPECT_EQ(command.application, "C:\\Program Files\\App\\app.exe");
  EXPECT_EQ(command.command_line, "\"C:\\Program Files\\App\\app.exe\"");
}

TEST(StartCommand, QuotesAlreadyThereAreNotDoubled) {
  const media::StartCommand command = media::CommandFor("\"C:\\Program Files\\App\\app.exe\"");
  EXPECT_EQ(command.application, "C:\\Program Files\\App\\app.exe");
  EXPECT_EQ(command.command_line, "\"C:\\Program Files\\App\\app.exe\"");
}

TEST(StartCommand, AnEmptyPathOrOneOfQuotesOnlyNamesNothing) {
  for (const char* stored : {"", "\"\"", "\""}) {
    const media::StartCommand command = media::CommandFor(stored);
    EXPECT_EQ(command.application, "") << stored;
    EXPECT_EQ(command.command_line, "") << stored;
  }
}

TEST(StartCommand, Windows1252BytesPassUnchanged) {
  const media::StartCommand command = media::CommandFor("C:\\Vid\xE9o\\lecteur.exe");
  EXPECT_EQ(command.application, "C:\\Vid\xE9o\\lecteur.exe");
  EXPECT_EQ(command.command_line, "\"C:\\Vid\xE9o\\lecteur.exe\"");
}

// --- the form a chosen path is kept in --------------------------------------

TEST(ProgramPath, AWestern1252PathIsKeptAsItsOwnBytes) {
  FakeFileSystem files;
  files.short_paths["C:\\Vidéo\\lecteur €.exe"] = "C:\\VIDEO~1\\LECTEU~1.EXE";
  EXPECT_EQ(config::ProgramPath("C:\\Vidéo\\lecteur €.exe", files),
            "C:\\Vid\xE9o\\lecteur \x80.exe");
}

TEST(ProgramPath, APathWindows1252CannotHoldGivesItsShortFormOrNothing) {
  FakeFileSystem files;
  EXPECT_EQ(config::ProgramPath("C:\\Музыка\\player.exe", files), std::nullopt);
  files.short_paths["C:\\Музыка\\player.exe"] = "C:\\8D4C~1\\player.exe";
  EXPECT_EQ(config::ProgramPath("C:\\Музыка\\player.exe", files), "C:\\8D4C~1\\player.exe");
}

// --- the choosers ------------------------------------------------------------

class PathsTest : public HeartTest {
 protected:
  media::AppPaths& paths() { return win().paths(); }
  std::string Settings(int entry) {
    return config::ParseLines(fake.files.files.at(Path("parametres.inf")), 30).at(entry - 1);
  }
  int SettingsSaves() { return fake.files.replace_count[Path("parametres.inf")]; }
};

TEST_F(PathsTest, EveryChooserAsksForAnExeThenSetsLabelSlotAndFile) {
  Start();
  for (const dispatch::PathSlot* path : AllPaths()) {
    const std::string chosen = "C:\\Apps\\" + std::to_string(path->slot) + "\\prog.exe";
    fake.dialogs.chosen = chosen;
    fake.dialogs.open_requests.clear();
    const int saves = Saves();
    Click(path->chooser);
    ASSERT_EQ(fake.dialogs.open_requests.size(), 1u) << path->slot;
    EXPECT_EQ(fake.dialogs.open_requests[0].filter, "Fichiers EXE (*.EXE)|*.EXE");
    EXPECT_EQ(fake.dialogs.open_requests[0].title, "");
    EXPECT_EQ(form().Text(path->label), std::string(path->prefix) + chosen) << path->slot;
    EXPECT_EQ(programme()[path->slot], chosen);
    EXPECT_EQ(File()[path->slot], chosen);
    EXPECT_EQ(Saves(), saves + 1) << path->slot;
  }
  EXPECT_EQ(form().Text(MainId::Label81), "Winamp => C:\\Apps\\50\\prog.exe");
  EXPECT_EQ(form().Text(MainId::Label168), "PCTV => C:\\Apps\\130\\prog.exe");
  EXPECT_EQ(form().Text(MainId::Label269), "C:\\Apps\\221\\prog.exe");  // the path alone
  EXPECT_TRUE(fake.dialogs.errors.empty());
}

TEST_F(PathsTest, TheLabelAndTheSlotComeBeforeTheSaveThatFails) {
  Start();
  fake.dialogs.chosen = "C:\\Apps\\winamp.exe";
  fake.files.fail_replace = platform::FileError::DiskFull;
  Click(MainId::SpeedButton35);
  EXPECT_EQ(form().Text(MainId::Label81), "Winamp => C:\\Apps\\winamp.exe");
  EXPECT_EQ(programme()[50], "C:\\Apps\\winamp.exe");
  EXPECT_EQ(File()[50], "");  // the save was the step that failed
  EXPECT_EQ(fake.dialogs.errors.size(), 1u);
}

TEST_F(PathsTest, CancellingChangesNothing) {
  table[70] = "C:\\Old\\powerdvd.exe";
  table[223] = "C:\\Old\\two.exe";
  Start();
  fake.dialogs.chosen = std::nullopt;
  const std::string before = fake.files.files.at(Path("programme_IR.inf"));
  for (MainId chooser : {MainId::SpeedButton37, MainId::SpeedButton134}) Click(chooser);
  EXPECT_EQ(fake.dialogs.open_requests.size(), 2u);
  EXPECT_EQ(form().Text(MainId::Label87), "Power DVD => C:\\Old\\powerdvd.exe");
  EXPECT_EQ(form().Text(MainId::Label270), "C:\\Old\\two.exe");
  EXPECT_EQ(programme()[70], "C:\\Old\\powerdvd.exe");
  EXPECT_EQ(programme()[223], "C:\\Old\\two.exe");
  EXPECT_EQ(fake.files.files.at(Path("programme_IR.inf")), before);
  EXPECT_EQ(SavesSinceStart(), 0);
}

TEST_F(PathsTest, SharedDialogsOpenWhereAnyOfTheirChoosersLeftThem) {
  Start();
  const std::vector<const dispatch::PathSlot*> paths = AllPaths();
  fake.dialogs.chosen = "C:\\prog.exe";
  for (const dispatch::PathSlot* path : paths) {
    fake.dialogs.ended_in = "C:\\F" + std::to_string(path->slot);
    Click(path->chooser);
  }
  // Dialog 1 (Winamp) keeps its folder in settings entry 5; 2 is shared by
  // Power DVD, RealOne Player and the launcher, 7 by K!TV XP and Prog DVB.
  const std::map<int, std::string> expected = {
      {50, "C:\\F50"},   {70, "C:\\F229"},  {90, "C:\\F90"},   {110, "C:\\F110"}, {130, "C:\\F130"},
      {150, "C:\\F150"}, {170, "C:\\F235"}, {200, "C:\\F229"}, {235, "C:\\F235"}, {221, "C:\\F229"},
      {223, "C:\\F229"}, {225, "C:\\F229"}, {227, "C:\\F229"}, {229, "C:\\F229"},
  };
  fake.dialogs.ended_in = "";
  for (const dispatch::PathSlot* path : paths) {
    fake.dialogs.open_requests.clear();
    Click(path->chooser);
    ASSERT_EQ(fake.dialogs.open_requests.size(), 1u);
    EXPECT_EQ(fake.dialogs.open_requests[0].initial_folder, expected.at(path->slot)) << path->slot;
  }
}

TEST_F(PathsTest, TheWinampDialogIsTheImportDialogItsFolderIsSettingFiveSavedAtOnce) {
  settings_lines[4] = "C:\\Import\xE9s";
  Start();
  const int settings_saves = SettingsSaves();
  fake.dialogs.chosen = "D:\\Musique\\Winamp\\winamp.exe";
  fake.dialogs.ended_in = "D:\\Musique\\Winamp";
  Click(MainId::SpeedButton35);
  ASSERT_EQ(fake.dialogs.open_requests.size(), 1u);
  EXPECT_EQ(fake.dialogs.open_requests[0].initial_folder, "C:\\Importés");
  EXPECT_EQ(Settings(config::kDialogFolder), "D:\\Musique\\Winamp");
  EXPECT_EQ(SettingsSaves(), settings_saves + 1);
  EXPECT_EQ(File()[50], "D:\\Musique\\Winamp\\winamp.exe");

  // A folder change counts even when the user then cancels the choice.
  fake.dialogs.chosen = std::nullopt;
  fake.dialogs.ended_in = "E:\\Ailleurs";
  Click(MainId::SpeedButton35);
  EXPECT_EQ(fake.dialogs.open_requests.back().initial_folder, "D:\\Musique\\Winamp");
  EXPECT_EQ(Settings(config::kDialogFolder), "E:\\Ailleurs");
  EXPECT_EQ(File()[50], "D:\\Musique\\Winamp\\winamp.exe");

  // The other dialogs leave the setting alone.
  const int saves = SettingsSaves();
  fake.dialogs.ended_in = "F:\\Autre";
  for (MainId chooser : {MainId::SpeedButton37, MainId::SpeedButton54, MainId::SpeedButton104})
    Click(chooser);
  EXPECT_EQ(Settings(config::kDialogFolder), "E:\\Ailleurs");
  EXPECT_EQ(SettingsSaves(), saves);
}

TEST_F(PathsTest, ASettingsFileThatCannotBeSavedStillLetsTheWinampPathBeKept) {
  Start();
  fake.files.replace_errors[Path("parametres.inf")] = platform::FileError::SharingViolation;
  fake.dialogs.chosen = "D:\\Musique\\Winamp\\winamp.exe";
  fake.dialogs.ended_in = "D:\\Musique\\Winamp";
  Click(MainId::SpeedButton35);
  EXPECT_EQ(File()[50], "D:\\Musique\\Winamp\\winamp.exe");
  EXPECT_EQ(form().Text(MainId::Label81), "Winamp => D:\\Musique\\Winamp\\winamp.exe");
  EXPECT_EQ(win().settings()[config::kDialogFolder], "D:\\Musique\\Winamp");
  EXPECT_EQ(fake.dialogs.errors, std::vector<std::string>{"Accès au fichier refusé"});
}

TEST_F(PathsTest, AChosenPathIsStoredAsWindows1252AndShownAsText) {
  Start();
  fake.dialogs.chosen = "C:\\Vidéo\\Lecteur.exe";
  Click(MainId::SpeedButton54);
  EXPECT_EQ(File()[90], "C:\\Vid\xE9o\\Lecteur.exe");
  EXPECT_EQ(form().Text(MainId::Label114), "Win DVD => C:\\Vidéo\\Lecteur.exe");
}

TEST_F(PathsTest, APathWindows1252CannotHoldIsKeptByItsShortForm) {
  Start();
  fake.dialogs.chosen = "C:\\Музыка\\player.exe";
  fake.files.short_paths["C:\\Музыка\\player.exe"] = "C:\\8D4C~1\\player.exe";
  Click(MainId::SpeedButton135);
  EXPECT_EQ(File()[225], "C:\\8D4C~1\\player.exe");
  EXPECT_EQ(form().Text(MainId::Label271), "C:\\8D4C~1\\player.exe");
  EXPECT_TRUE(fake.dialogs.messages.empty());
}

TEST_F(PathsTest, WithoutAShortFormSuchAPathIsRefusedAndTheSlotStaysAsItWas) {
  table[130] = "C:\\PCTV\\pctv.exe";
  Start();
  fake.dialogs.chosen = "C:\\Музыка\\pctv.exe";
  Click(MainId::SpeedButton82);
  ASSERT_EQ(fake.dialogs.messages.size(), 1u);
  EXPECT_EQ(fake.dialogs.messages[0], media::RefusalMessage("C:\\Музыка\\pctv.exe"));
  EXPECT_NE(fake.dialogs.messages[0].find("C:\\Музыка\\pctv.exe"), std::string::npos);
  EXPECT_NE(fake.dialogs.messages[0].find("ne peut pas enregistrer"), std::string::npos);
  EXPECT_EQ(File()[130], "C:\\PCTV\\pctv.exe");
  EXPECT_EQ(programme()[130], "C:\\PCTV\\pctv.exe");
  EXPECT_EQ(form().Text(MainId::Label168), "PCTV => C:\\PCTV\\pctv.exe");
  EXPECT_EQ(SavesSinceStart(), 0);
}

// --- the start step ----------------------------------------------------------

TEST_F(PathsTest, EachTabWarnsWithItsOwnMessageAfterABeep) {
  Start();
  const std::map<int, std::string> messages = {
      {dispatch::kTabWinamp, "Le chemin de Winamp n'est pas valide !"},
      {dispatch::kTabPowerDvd, "Le chemin de Power DVD n'est pas valide !"},
      {dispatch::kTabWinDvd, "Le chemin de Win DVD n'est pas valide !"},
      {dispatch::kTabMsiDvd, "Le chemin de MSI DVD n'est pas valide !"},
      {dispatch::kTabPinnacle, "Le chemin de PCTV Pinnacle n'est pas valide !"},
      {dispatch::kTabPowerPoint, "Le chemin de Microsoft PowerPoint n'est pas valide !"},
      {dispatch::kTabKtv, "Le chemin de K!TV XP n'est pas valide !"},
      {dispatch::kTabRealOne, "Le chemin de RealOne Player n'est pas valide !"},
      {dispatch::kTabProgDvb, "Le chemin de Prog DVB n'est pas valide !"},
  };
  for (const auto& [tab, message] : messages) {
    fake.dialogs.alerts.clear();
    EXPECT_FALSE(paths().StartApplication(tab)) << tab;  // empty slot: nothing to start
    EXPECT_EQ(fake.dialogs.alerts, (Strings{"beep", "Avertissement: " + message})) << tab;
  }
  EXPECT_TRUE(fake.programs.calls.empty());
}

TEST_F(PathsTest, AStartThatFailsWarnsOneThatSucceedsDoesNot) {
  table[70] = "C:\\DVD\\powerdvd.exe";
  Start();
  EXPECT_TRUE(paths().StartApplication(dispatch::kTabPowerDvd));
  EXPECT_TRUE(fake.dialogs.alerts.empty());
  fake.programs.fails = {"start C:\\DVD\\powerdvd.exe | \"C:\\DVD\\powerdvd.exe\""};
  EXPECT_FALSE(paths().StartApplication(dispatch::kTabPowerDvd));
  const std::string start = "start C:\\DVD\\powerdvd.exe | \"C:\\DVD\\powerdvd.exe\"";
  EXPECT_EQ(fake.programs.calls, (Strings{start, start}));
  EXPECT_EQ(fake.dialogs.alerts,
            (Strings{"beep", "Avertissement: Le chemin de Power DVD n'est pas valide !"}));
}

TEST_F(PathsTest, TheStoredFileIsStartedByItselfAndQuoted) {
  table[150] = "C:\\Program Files\\Microsoft Office\\POWERPNT.EXE";
  table[170] = "\"C:\\Program Files\\KTV\\ktv.exe\"";
  Start();
  EXPECT_TRUE(paths().StartApplication(dispatch::kTabPowerPoint));
  EXPECT_TRUE(paths().StartApplication(dispatch::kTabKtv));
  EXPECT_EQ(
      fake.programs.calls,
      (Strings{"start C:\\Program Files\\Microsoft Office\\POWERPNT.EXE | "
               "\"C:\\Program Files\\Microsoft Office\\POWERPNT.EXE\"",
               "start C:\\Program Files\\KTV\\ktv.exe | \"C:\\Program Files\\KTV\\ktv.exe\""}));
  // The slots keep their bytes.
  EXPECT_EQ(File()[170], "\"C:\\Program Files\\KTV\\ktv.exe\"");
}

TEST_F(PathsTest, OnlyTheNineTabsWithOnePathHaveAStartStep) {
  Start();
  EXPECT_THROW(paths().StartApplication(dispatch::kTabWindowsMediaPlayer), std::invalid_argument);
  EXPECT_THROW(paths().StartApplication(dispatch::kTabLauncher), std::invalid_argument);
}

}  // namespace
}  // namespace talvoro::test
