// Configuration import and export: the proposed name, the save dialog and
// the question before replacing a file, the import and what it refuses, and
// the dialog folder kept in the settings.
#include "app/import_export.h"
#include "config/import_file.h"
#include "config/text.h"
#include "heart_fixture.h"

namespace talvoro::test {
namespace {

using platform::BoxButtons;
using platform::BoxIcon;
using platform::BoxResult;
using platform::DateTime;
using ui::MainId;

// --- the proposed name -----------------------------------------------------

TEST(ExportFileName, DayMonthYearAndHourPlainMinuteAndSecondTwoDigits) {
  EXPECT_EQ(app::ExportFileName(DateTime{2026, 12, 7, 9, 5, 7}), "Talvoro_7_12_2026_9_05_07");
  EXPECT_EQ(app::ExportFileName(DateTime{2026, 12, 31, 23, 59, 59}), "Talvoro_31_12_2026_23_59_59");
  EXPECT_EQ(app::ExportFileName(DateTime{2027, 1, 1, 0, 0, 0}), "Talvoro_1_1_2027_0_00_00");
  EXPECT_EQ(app::ExportFileName(DateTime{2027, 3, 9, 10, 10, 9}), "Talvoro_9_3_2027_10_10_09");
}

// --- the import file's bytes -----------------------------------------------

TEST(ImportedFile, ReadsLikeTheProgrammeFileAndFillsMissingSlots) {
  const config::ImportedFile file = config::ReadImportedFile("ON\r\nVG\r\n60\nCR\rjoined\r\n");
  ASSERT_FALSE(file.refusal);
  ASSERT_EQ(file.slots.size(), 300u);
  EXPECT_EQ(file.slots[0], "ON");
  EXPECT_EQ(file.slots[1], "VG");
  EXPECT_EQ(file.slots[2], "60");
  EXPECT_EQ(file.slots[3], "CRjoined");
  EXPECT_EQ(file.slots[4], "");
  EXPECT_EQ(file.slots[299], "");
  // An empty file is an empty table, not a refusal.
  EXPECT_FALSE(config::ReadImportedFile("").refusal);
}

TEST(ImportedFile, ANulByteAnywhereRefusesTheFile) {
  for (std::string bytes :
       {std::string("\0", 1), std::string("ON\r\n\0\r\n", 6), std::string(5000, 'x') + '\0'}) {
    const config::ImportedFile file = config::ReadImportedFile(bytes);
    EXPECT_EQ(file.refusal, config::ImportRefusal::Binary) << bytes.size();
    EXPECT_TRUE(file.slots.empty());
  }
}

TEST(ImportedFile, OneMebibyteIsTheLargestAccepted) {
  std::string bytes(config::kMaxImportBytes, 'a');
  EXPECT_FALSE(config::ReadImportedFile(bytes).refusal);
  bytes.push_back('a');
  EXPECT_EQ(config::ReadImportedFile(bytes).refusal, config::ImportRefusal::TooLarge);
  // Too large wins over binary: the size is what is known first.
  bytes[0] = '\0';
  EXPECT_EQ(config::ReadImportedFile(bytes).refusal, config::ImportRefusal::TooLarge);
}

TEST(ImportedFile, TheRefusalNamesTheFileAndSaysNothingChanged) {
  const std::string text = config::RefusalMessage(config::ImportRefusal::Binary, "C:\\a\\b.GML");
  EXPECT_NE(text.find("Ce fichier n'est pas une configuration IR"), std::string::npos);
  EXPECT_NE(text.find("« C:\\a\\b.GML »"), std::string::npos);
  EXPECT_NE(text.find("conservée"), std::string::npos);
  // Every character fits the program's Windows-1252 texts.
  for (auto refusal : {config::ImportRefusal::Binary, config::ImportRefusal::TooLarge}) {
    const std::string message = config::RefusalMessage(refusal, "x");
    EXPECT_EQ(config::AnsiToUtf8(config::Utf8ToAnsi(message)), message);
  }
  EXPECT_NE(config::RefusalMessage(config::ImportRefusal::TooLarge, "x"),
            config::RefusalMessage(config::ImportRefusal::Binary, "x"));
}

// --- the path an export writes to ------------------------------------------

TEST(PathToWrite, AWindows1252PathIsItsOwnBytes) {
  FakeFileSystem files;
  EXPECT_EQ(app::PathToWrite("C:\\Télé\\a €.GML", files), "C:\\T\xE9l\xE9\\a \x80.GML");
}

TEST(PathToWrite, ANewFileInAFolderWindows1252CannotHoldGoesThroughTheFoldersShortForm) {
  FakeFileSystem files;
  EXPECT_EQ(app::PathToWrite("C:\\Музыка\\télé.GML", files), std::nullopt);
  files.short_paths["C:\\Музыка"] = "C:\\8D4C~1";
  EXPECT_EQ(app::PathToWrite("C:\\Музыка\\télé.GML", files), "C:\\8D4C~1\\t\xE9l\xE9.GML");
  // A name of its own that Windows-1252 cannot hold cannot be written.
  EXPECT_EQ(app::PathToWrite("C:\\Музыка\\Музыка.GML", files), std::nullopt);
}

// --- the commands, on a running program ---------------------------------------

class TransferTest : public HeartTest {
 protected:
  static constexpr const char* kGml = "C:\\Sauvegardes\\remote.GML";

  TransferTest() {
    table[7] = "4660";
    table[35] = "ON";
    table[50] = "C:\\Program Files\\Winamp\\winamp.exe";
    table[221] = "C:\\Vid\xE9o\\lecteur.exe";
    table[3] = "40";
  }

  void Export() { Click(MainId::Exporteruneconfiguration1); }
  void Import() { Click(MainId::Importeruneconfiguration1); }

  std::string ProgrammeFile() { return fake.files.files.at(Path("programme_IR.inf")); }
  std::string SettingsFile() { return fake.files.files.at(Path("parametres.inf")); }
  std::string SettingsLine(int entry) {
    return config::ParseLines(SettingsFile(), 30).at(entry - 1);
  }
  int SettingsSaves() { return fake.files.replace_count[Path("parametres.inf")]; }
  // The label of the first Volumes code (slot 7).
  std::string VolumesCodeLabel() { return form().Text(dispatch::Tab(1).codes[0].code_label); }
  // No temporary file of a safe write was left behind.
  bool NoTemporaryFiles() {
    for (const auto& [path, bytes] : fake.files.files)
      if (path.ends_with(".tmp")) return false;
    return true;
  }
};

TEST_F(TransferTest, EveryImportAndExportRowRunsItsCommand) {
  Start();
  fake.dialogs.chosen = std::nullopt;
  fake.dialogs.save_chosen = std::nullopt;
  for (MainId row :
       {MainId::Importeruneconfiguration1, MainId::Importeruneconfiguration2, MainId::ToolButton3})
    Click(row);
  for (MainId row :
       {MainId::Exporteruneconfiguration1, MainId::Exporteruneconfiguration2, MainId::ToolButton4})
    Click(row);
  EXPECT_EQ(fake.dialogs.open_requests.size(), 3u);
  EXPECT_EQ(fake.dialogs.save_requests.size(), 3u);
}

TEST_F(TransferTest, ExportProposesTheTimedNameInTheDialogFolderAndWritesThe300Lines) {
  settings_lines[4] = "C:\\Sauvegardes\\T\xE9l\xE9";
  fake.clock.now = DateTime{2026, 12, 7, 9, 5, 7};
  Start();
  fake.dialogs.save_chosen = kGml;
  Export();

  ASSERT_EQ(fake.dialogs.save_requests.size(), 1u);
  const platform::SaveFileRequest& request = fake.dialogs.save_requests[0];
  EXPECT_EQ(request.filter, "GML (*.GML)|*.GML");
  EXPECT_EQ(request.default_name, "Talvoro_7_12_2026_9_05_07");
  EXPECT_EQ(request.default_extension, "GML");
  EXPECT_EQ(request.initial_folder, "C:\\Sauvegardes\\Télé");  // UTF-8 for the dialog

  // The very bytes of programme_IR.inf, written safely.
  EXPECT_EQ(fake.files.files.at(kGml), ProgrammeFile());
  EXPECT_EQ(config::ParseLines(fake.files.files.at(kGml), 300), table.Lines());
  EXPECT_EQ(fake.files.replace_count[kGml], 1);
  EXPECT_TRUE(NoTemporaryFiles());
  EXPECT_TRUE(fake.dialogs.messages.empty());  // a new file: no question
  EXPECT_TRUE(fake.dialogs.errors.empty());
  EXPECT_EQ(SavesSinceStart(), 0);  // the programme file is not touched
}

TEST_F(TransferTest, CancellingTheExportWritesNothing) {
  Start();
  const auto files_before = fake.files.files;
  fake.dialogs.save_chosen = std::nullopt;
  Export();
  EXPECT_EQ(fake.files.files, files_before);
  EXPECT_TRUE(fake.dialogs.messages.empty());
}

TEST_F(TransferTest, ExportingOverAFileAsksAndNoLeavesItUntouched) {
  Start();
  fake.files.files[kGml] = "an older configuration";
  fake.dialogs.save_chosen = kGml;
  fake.dialogs.answer = BoxResult::No;
  Export();
  ASSERT_EQ(fake.dialogs.messages.size(), 1u);
  EXPECT_EQ(fake.dialogs.messages[0], "Le nom du fichier existe déjà. Voulez-vous l'écraser ?");
  EXPECT_EQ(fake.dialogs.boxes[0].icon, BoxIcon::Warning);
  EXPECT_EQ(fake.dialogs.boxes[0].buttons, BoxButtons::YesNo);
  EXPECT_EQ(fake.files.files.at(kGml), "an older configuration");
  EXPECT_EQ(fake.files.replace_count[kGml], 0);
  EXPECT_TRUE(NoTemporaryFiles());

  fake.dialogs.answer = BoxResult::Yes;
  Export();
  EXPECT_EQ(fake.dialogs.messages.size(), 2u);
  EXPECT_EQ(fake.files.files.at(kGml), ProgrammeFile());
}

TEST_F(TransferTest, AnExportThatCannotBeWrittenIsReportedAndLeavesTheOldFileWhole) {
  Start();
  fake.files.files[kGml] = "an older configuration";
  fake.dialogs.save_chosen = kGml;
  fake.files.fail_write = platform::FileError::DiskFull;
  Export();
  EXPECT_EQ(fake.dialogs.errors, std::vector<std::string>{"Disque plein"});
  EXPECT_EQ(fake.files.files.at(kGml), "an older configuration");
  EXPECT_TRUE(NoTemporaryFiles());
}

// The folder may hold anything, a file named like the export's with ".tmp"
// too: the temporary file is a new one of its own, gone on every outcome.
TEST_F(TransferTest, AnExportsTemporaryFileIsNeverAFileOfTheUsersAndIsNeverLeft) {
  Start();
  const std::string mine = std::string(kGml) + ".tmp";
  fake.files.files[mine] = "the user's own";
  fake.dialogs.save_chosen = kGml;
  Export();
  EXPECT_EQ(fake.files.files.at(kGml), ProgrammeFile());
  EXPECT_EQ(fake.files.files.at(mine), "the user's own");
  ASSERT_EQ(fake.files.unique_files.size(), 1u);
  EXPECT_EQ(fake.files.unique_files[0].rfind("C:\\Sauvegardes\\", 0), 0u);  // beside it
  EXPECT_EQ(fake.files.files.count(fake.files.unique_files[0]), 0u);

  fake.files.files[kGml] = "an older configuration";
  const auto before = fake.files.files;
  fake.files.fail_write = platform::FileError::DiskFull;  // a torn write
  Export();
  fake.files.fail_write.reset();
  fake.files.replace_errors[kGml] = platform::FileError::SharingViolation;
  Export();
  EXPECT_EQ(fake.dialogs.errors,
            (std::vector<std::string>{"Disque plein", "Accès au fichier refusé"}));
  EXPECT_EQ(fake.files.unique_files.size(), 3u);
  EXPECT_EQ(fake.files.files, before);
}

// parametres.inf held by a sync tool or a virus scanner: what the dialog was
// for is done all the same, and the settings' failure told once, after it.
TEST_F(TransferTest, ASettingsFileThatCannotBeSavedStopsNeitherExportNorImport) {
  Start();
  fake.files.replace_errors[Path("parametres.inf")] = platform::FileError::SharingViolation;
  const std::vector<std::string> refused{"Accès au fichier refusé"};

  fake.dialogs.save_chosen = kGml;
  fake.dialogs.save_ended_in = "C:\\Sauvegardes";
  Export();
  EXPECT_EQ(fake.files.files.at(kGml), ProgrammeFile());
  EXPECT_EQ(fake.dialogs.errors, refused);

  fake.dialogs.errors.clear();
  programme()[7] = "1234";
  fake.dialogs.chosen = std::nullopt;  // moved, then cancelled
  fake.dialogs.ended_in = "D:\\Ailleurs";
  Import();
  EXPECT_EQ(File()[7], "1234");
  EXPECT_EQ(VolumesCodeLabel(), "IR: 1234");
  EXPECT_EQ(fake.dialogs.errors, refused);

  fake.dialogs.errors.clear();
  fake.dialogs.chosen = kGml;
  fake.dialogs.ended_in = "C:\\Sauvegardes";
  Import();
  EXPECT_EQ(File()[7], "4660");
  EXPECT_EQ(VolumesCodeLabel(), "IR: 4660");
  EXPECT_EQ(fake.dialogs.errors, refused);
  EXPECT_EQ(win().settings()[config::kDialogFolder], "C:\\Sauvegardes");

  // When the import itself fails, its error is the one told; the settings'
  // save is tried again after the next dialog.
  fake.dialogs.errors.clear();
  fake.dialogs.chosen = "C:\\Sauvegardes\\absent.GML";
  fake.dialogs.ended_in = "E:\\Autre";
  Import();
  EXPECT_EQ(fake.dialogs.errors, std::vector<std::string>{"Fichier introuvable"});
  fake.files.replace_errors.clear();
  fake.dialogs.chosen = std::nullopt;
  Import();
  EXPECT_EQ(SettingsLine(5), "E:\\Autre");
  EXPECT_EQ(fake.dialogs.errors, std::vector<std::string>{"Fichier introuvable"});
}

TEST_F(TransferTest, AnExportNameTheFileSystemCannotBeGivenIsReported) {
  Start();
  fake.dialogs.save_chosen = "C:\\Музыка\\remote.GML";  // no short form known
  const auto files_before = fake.files.files;
  Export();
  EXPECT_EQ(fake.dialogs.errors, std::vector<std::string>{"Nom de fichier incorrect"});
  EXPECT_EQ(fake.files.files, files_before);
}

TEST_F(TransferTest, ExportThenImportLeavesTheProgrammeFileByteForByte) {
  Start();
  const std::string original = ProgrammeFile();
  fake.dialogs.save_chosen = kGml;
  Export();

  // Another configuration comes in between.
  config::ProgrammeTable other = config::FreshProgramme();
  other[7] = "999";
  fake.files.files["C:\\Autre\\other.GML"] = config::FormatLines(other.Lines());
  fake.dialogs.chosen = "C:\\Autre\\other.GML";
  Import();
  ASSERT_NE(ProgrammeFile(), original);
  EXPECT_EQ(VolumesCodeLabel(), "IR: 999");
  EXPECT_FALSE(On(dispatch::Tab(3).activation));

  fake.dialogs.chosen = kGml;
  Import();
  EXPECT_EQ(ProgrammeFile(), original);
  EXPECT_EQ(programme(), table);
  EXPECT_TRUE(fake.dialogs.errors.empty());
  // Applied: labels, switches and levels follow the table again.
  EXPECT_EQ(VolumesCodeLabel(), "IR: 4660");
  EXPECT_TRUE(On(dispatch::Tab(3).activation));
  EXPECT_EQ(form().Position(MainId::ProgressBar1), 40);
  EXPECT_EQ(fake.files.copied.count(kGml), 1u);
}

TEST_F(TransferTest, ImportKeepsTheFilesBytesAndReplacesTheWholeTable) {
  Start();
  // LF-only lines, a Ctrl+Z, a CR alone, Windows-1252 text; fewer than 300.
  fake.files.files[kGml] =
      "spare\nON\nVW\n20\nSON_OFF\n-5\n100\nT\xE9l\xE9\x1Aignored\n7\rjoined\n";
  fake.dialogs.chosen = kGml;
  Import();
  EXPECT_TRUE(fake.dialogs.errors.empty()) << fake.dialogs.errors.front();
  EXPECT_EQ(programme()[0], "spare");
  EXPECT_EQ(programme()[7], "T\xE9l\xE9");
  EXPECT_EQ(programme()[8], "7joined");
  EXPECT_EQ(programme()[35], "");  // what the file did not hold is emptied
  EXPECT_EQ(programme()[50], "");
  EXPECT_EQ(File()[7], "T\xE9l\xE9");
  EXPECT_EQ(ProgrammeFile(), config::FormatLines(programme().Lines()));
  // Applied.
  EXPECT_EQ(VolumesCodeLabel(), "IR: Télé");
  EXPECT_TRUE(On(MainId::RxSwitch1));
  EXPECT_TRUE(On(MainId::RadioButton2));
  EXPECT_EQ(form().Position(MainId::ProgressBar1), 20);
  EXPECT_FALSE(On(dispatch::Tab(3).activation));
}

TEST_F(TransferTest, ACancelledImportStillSavesAndApplies) {
  Start();
  programme()[7] = "1234";  // changed in memory only
  fake.dialogs.chosen = std::nullopt;
  Import();
  EXPECT_EQ(SavesSinceStart(), 1);
  EXPECT_EQ(File()[7], "1234");
  EXPECT_EQ(VolumesCodeLabel(), "IR: 1234");
  EXPECT_TRUE(fake.dialogs.errors.empty());
}

TEST_F(TransferTest, AFileThatCannotBeOpenedIsReportedAndNothingIsSavedOrApplied) {
  Start();
  programme()[7] = "1234";  // an apply would show it
  fake.dialogs.chosen = "C:\\Sauvegardes\\absent.GML";
  Import();
  EXPECT_EQ(fake.dialogs.errors, std::vector<std::string>{"Fichier introuvable"});
  EXPECT_EQ(SavesSinceStart(), 0);
  EXPECT_EQ(VolumesCodeLabel(), "IR: 4660");
  EXPECT_EQ(programme()[7], "1234");
  EXPECT_EQ(programme()[50], table[50]);

  // One that exists but is locked says so.
  fake.dialogs.errors.clear();
  fake.files.unreadable.insert(kGml);
  fake.dialogs.chosen = kGml;
  Import();
  EXPECT_EQ(fake.dialogs.errors, std::vector<std::string>{"Accès au fichier refusé"});
  EXPECT_EQ(SavesSinceStart(), 0);
}

TEST_F(TransferTest, ThreeHundredEmptyLinesAreSavedThenTheApplyFailsOnTheMasterVolume) {
  Start();
  fake.files.files[kGml] = config::FormatLines(std::vector<std::string>(300));
  fake.dialogs.chosen = kGml;
  Import();
  EXPECT_EQ(fake.dialogs.errors,
            std::vector<std::string>{"'' n'est pas une valeur entière correcte"});
  EXPECT_EQ(ProgrammeFile(), config::FormatLines(std::vector<std::string>(300)));
  EXPECT_EQ(ProgrammeFile().size(), 600u);
  EXPECT_EQ(SavesSinceStart(), 1);
  // The apply stopped at the master volume: the code labels were not reached.
  EXPECT_EQ(VolumesCodeLabel(), "IR: 4660");
}

TEST_F(TransferTest, AFileWithANulByteIsRefusedAndChangesNothing) {
  Start();
  const auto files_before = fake.files.files;
  const config::ProgrammeTable table_before = programme();
  std::string binary = config::FormatLines(config::FreshProgramme().Lines());
  binary[10] = '\0';
  fake.files.files[kGml] = binary;
  fake.dialogs.chosen = kGml;
  Import();
  ASSERT_EQ(fake.dialogs.messages.size(), 1u);
  EXPECT_EQ(fake.dialogs.messages[0], config::RefusalMessage(config::ImportRefusal::Binary, kGml));
  EXPECT_EQ(fake.dialogs.boxes[0].icon, BoxIcon::Warning);
  EXPECT_EQ(fake.dialogs.boxes[0].buttons, BoxButtons::Ok);
  EXPECT_TRUE(fake.dialogs.errors.empty());
  EXPECT_EQ(programme(), table_before);
  EXPECT_EQ(ProgrammeFile(), files_before.at(Path("programme_IR.inf")));
  EXPECT_EQ(SettingsFile(), files_before.at(Path("parametres.inf")));
  EXPECT_EQ(SavesSinceStart(), 0);
}

TEST_F(TransferTest, AFileLargerThanOneMebibyteIsRefusedOnItsSizeWithoutBeingRead) {
  Start();
  const config::ProgrammeTable table_before = programme();
  const std::string original = ProgrammeFile();
  fake.files.files[kGml] = std::string(config::kMaxImportBytes + 1, '1');
  fake.dialogs.chosen = kGml;
  fake.files.bounded_reads.clear();
  Import();
  ASSERT_EQ(fake.dialogs.messages.size(), 1u);
  EXPECT_EQ(fake.dialogs.messages[0],
            config::RefusalMessage(config::ImportRefusal::TooLarge, kGml));
  // Asked with the limit, and none of its bytes copied.
  EXPECT_EQ(fake.files.bounded_reads, std::vector<std::string>{kGml});
  EXPECT_EQ(fake.files.copied.count(kGml), 0u);
  EXPECT_EQ(programme(), table_before);
  EXPECT_EQ(ProgrammeFile(), original);
  EXPECT_EQ(SavesSinceStart(), 0);
  EXPECT_TRUE(fake.dialogs.errors.empty());
}

TEST_F(TransferTest, TheFolderEitherDialogEndsInIsStoredInEntry5AndSaved) {
  settings_lines[4] = "C:\\Avant";
  Start();
  const int saves = SettingsSaves();

  fake.dialogs.chosen = std::nullopt;  // moved, then cancelled
  fake.dialogs.ended_in = "C:\\Configurations IR";
  Import();
  EXPECT_EQ(fake.dialogs.open_requests.back().initial_folder, "C:\\Avant");
  EXPECT_EQ(win().settings()[config::kDialogFolder], "C:\\Configurations IR");
  EXPECT_EQ(SettingsLine(5), "C:\\Configurations IR");
  EXPECT_EQ(SettingsSaves(), saves + 1);

  // The export's dialog opens there, and keeps where it ended.
  fake.dialogs.save_chosen = std::nullopt;
  fake.dialogs.save_ended_in = "D:\\Télé";
  Export();
  EXPECT_EQ(fake.dialogs.save_requests.back().initial_folder, "C:\\Configurations IR");
  EXPECT_EQ(SettingsLine(5), "D:\\T\xE9l\xE9");
  EXPECT_EQ(SettingsSaves(), saves + 2);

  // The import's dialog opens where the export's ended; staying there saves
  // nothing more.
  fake.dialogs.ended_in = "D:\\Télé";
  Import();
  EXPECT_EQ(fake.dialogs.open_requests.back().initial_folder, "D:\\Télé");
  EXPECT_EQ(SettingsSaves(), saves + 2);
  // The programme file is not the settings' business.
  EXPECT_EQ(SettingsLine(9), kDir);
}

TEST_F(TransferTest, ImportLeavesProgrammingSwitchesAndPendingActionsAlone) {
  Start();
  form().SetChecked(dispatch::Tab(4).programming, true);
  state().Pending(4) = 5;
  config::ProgrammeTable imported = config::FreshProgramme();
  imported[51] = "ON";  // Winamp on
  fake.files.files[kGml] = config::FormatLines(imported.Lines());
  fake.dialogs.chosen = kGml;
  Import();
  EXPECT_TRUE(fake.dialogs.errors.empty());
  EXPECT_TRUE(On(dispatch::Tab(4).programming));
  EXPECT_TRUE(On(dispatch::Tab(4).activation));
  EXPECT_EQ(state().Pending(4), 5);
}

}  // namespace
}  // namespace talvoro::test
