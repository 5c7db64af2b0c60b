#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "config/configuration.h"
#include "config/io_error.h"
#include "config/line_file.h"
#include "config/text.h"
#include "fakes.h"
#include "tabs/images.h"

namespace talvoro::config {
namespace {

using test::FakeFileSystem;

TEST(LineFormat, LinesEndAtLfAndDropEveryCr) {
  auto v = ParseLines("one\r\ntw\ro\nthree\rfour\n", 4);
  EXPECT_EQ(v, (std::vector<std::string>{"one", "two", "threefour", ""}));
}

TEST(LineFormat, CtrlZEndsTheValueAndSkipsTheRestOfItsLine) {
  auto v = ParseLines(
      "ab\x1A"
      "cd\nef\n\x1A\ngh",
      4);
  EXPECT_EQ(v, (std::vector<std::string>{"ab", "ef", "", "gh"}));
}

TEST(LineFormat, MissingLinesAreEmptyAndExtraLinesIgnored) {
  EXPECT_EQ(ParseLines("a\nb", 4), (std::vector<std::string>{"a", "b", "", ""}));
  EXPECT_EQ(ParseLines("a\nb\nc\nd\n", 2), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(ParseLines("", 3), (std::vector<std::string>(3)));
}

TEST(LineFormat, NoLengthLimit) {
  const std::string big(100000, 'x');
  EXPECT_EQ(ParseLines(big + "\r\n", 1).front(), big);
}

TEST(LineFormat, WritesEachValueFollowedByCrLf) {
  EXPECT_EQ(FormatLines({"a", "", "\xE9t\xE9"}), "a\r\n\r\n\xE9t\xE9\r\n");
}

TEST(LineFormat, RoundTripOfArbitraryBytesIsExact) {
  std::mt19937 random(42);
  for (int round = 0; round < 50; ++round) {
    std::vector<std::string> values(300);
    for (auto& v : values) {
      const int length = random() % 40;
      for (int i = 0; i < length; ++i) {
        char c;
        do c = static_cast<char>(random() % 256);
        while (c == '\r' || c == '\n' || c == '\x1A');
        v.push_back(c);
      }
    }
    const std::string file = FormatLines(values);
    EXPECT_EQ(ParseLines(file, 300), values);
    EXPECT_EQ(FormatLines(ParseLines(file, 300)), file);
  }
}

TEST(TextConversion, EveryAnsiByteSurvivesARoundTripThroughUtf8) {
  std::string all;
  for (int b = 1; b < 256; ++b) all.push_back(static_cast<char>(b));
  EXPECT_EQ(Utf8ToAnsi(AnsiToUtf8(all)), all);
  EXPECT_EQ(AnsiToUtf8("\xE9\x80"), "é€");
  EXPECT_EQ(Utf8ToAnsi("Récepteur 日"),
            "R\xE9"
            "cepteur ?");
}

TEST(Integers, OnlyDecimalIntegersConvert) {
  EXPECT_EQ(ToInteger("60"), 60);
  EXPECT_EQ(ToInteger("-90"), -90);
  EXPECT_EQ(ToInteger("+5"), 5);
  for (const char* bad : {"", " 5", "5 ", "abc", "1e3", "0x10", "+-1", "99999999999"})
    EXPECT_THROW(ToInteger(bad), ConversionError) << bad;
  try {
    ToInteger("");
  } catch (const ConversionError& e) {
    EXPECT_STREQ(e.what(), "'' n'est pas une valeur entière correcte");
  }
  try {
    ToInteger("\xE9t\xE9");
  } catch (const ConversionError& e) {
    EXPECT_STREQ(e.what(), "'été' n'est pas une valeur entière correcte");
  }
}

TEST(SafeSave, AFailingReplaceLeavesTheOldFileWholeAndNoTemporaryBehind) {
  FakeFileSystem files;
  files.files["p"] = "old";
  files.fail_replace = platform::FileError::DiskFull;
  try {
    SaveFileSafely(files, "p", "new");
    FAIL() << "no error";
  } catch (const IoError& e) {
    EXPECT_STREQ(e.what(), "Disque plein");
  }
  EXPECT_EQ(files.files.at("p"), "old");
  EXPECT_EQ(files.files.count("p.tmp"), 0u);
}

TEST(SafeSave, AFailingWriteLeavesTheOldFileWhole) {
  FakeFileSystem files;
  files.files["p"] = "old";
  files.fail_write = platform::FileError::AccessDenied;
  EXPECT_THROW(
      {
        try {
          SaveFileSafely(files, "p", "new content");
        } catch (const IoError& e) {
          EXPECT_STREQ(e.what(), "Accès au fichier refusé");
          throw;
        }
      },
      IoError);
  EXPECT_EQ(files.files.at("p"), "old");
  EXPECT_EQ(files.files.size(), 1u);
}

TEST(SafeSave, EveryFileErrorHasItsFrenchText) {
  using platform::FileError;
  const std::pair<FileError, const char*> texts[] = {
      {FileError::NotFound, "Fichier introuvable"},
      {FileError::PathNotFound, "Fichier introuvable"},
      {FileError::TooManyOpenFiles, "Trop de fichiers ouverts"},
      {FileError::AccessDenied, "Accès au fichier refusé"},
      {FileError::WriteProtected, "Accès au fichier refusé"},
      {FileError::SharingViolation, "Accès au fichier refusé"},
      {FileError::LockViolation, "Accès au fichier refusé"},
      {FileError::DiskFull, "Disque plein"},
      {FileError::InvalidName, "Nom de fichier incorrect"},
  };
  for (const auto& [error, text] : texts)
    EXPECT_STREQ(IoError::FromFileError(error, 1234).what(), text) << text;
  // Errors the program does not name show the system's own number.
  EXPECT_STREQ(IoError::FromFileError(FileError::Other, 1117).what(), "Erreur d'E/S 1117");
}

TEST(SafeSave, ReplacesTheFileInOneStep) {
  FakeFileSystem files;
  files.files["p"] = "old";
  SaveFileSafely(files, "p", "new");
  EXPECT_EQ(files.files.at("p"), "new");
  EXPECT_EQ(files.replace_count["p"], 1);
  EXPECT_EQ(files.files.size(), 1u);
}

constexpr const char* kDir = "C:\\T\\";
constexpr const char* kSettingsPath = "C:\\T\\\\parametres.inf";
constexpr const char* kProgrammePath = "C:\\T\\\\programme_IR.inf";

TEST(Configuration, FirstRunCreatesThirtySettingLinesWithTheProgramDirectory) {
  FakeFileSystem files;
  files.files[kProgrammePath] = FormatLines(FreshProgramme().Lines());
  Configuration config(files);
  config.Load(kDir);
  std::vector<std::string> expected(30);
  expected[8] = kDir;
  EXPECT_EQ(files.files.at(kSettingsPath), FormatLines(expected));
}

TEST(Configuration, ShortSettingsFileIsReadAndWrittenBackAsThirtyLines) {
  FakeFileSystem files;
  files.files[kSettingsPath] = "COM1\r\n0\r\nLANCE_ON\r\nx\r\nC:\\Docs";
  Configuration config(files);
  config.Load(kDir);
  auto lines = ParseLines(files.files.at(kSettingsPath), 31);
  EXPECT_EQ(lines[0], "COM1");
  EXPECT_EQ(lines[2], "LANCE_ON");
  EXPECT_EQ(lines[3], "x");
  EXPECT_EQ(lines[4], "C:\\Docs");
  EXPECT_EQ(lines[8], kDir);
  EXPECT_EQ(lines[29], "");
  EXPECT_EQ(
      std::count(files.files.at(kSettingsPath).begin(), files.files.at(kSettingsPath).end(), '\n'),
      30);
}

TEST(Configuration, ProgrammeFileIsReadButNotRewrittenAtStart) {
  FakeFileSystem files;
  std::vector<std::string> lines = FreshProgramme().Lines();
  lines[0] = "\x80\xFF spare";
  lines[152] = "reserved";
  lines[299] = "\xE9";
  const std::string bytes = FormatLines(lines);
  files.files[kProgrammePath] = bytes;
  Configuration config(files);
  config.Load(kDir);
  EXPECT_EQ(config.programme()[152], "reserved");
  EXPECT_EQ(files.replace_count[kProgrammePath], 0);
  config.SaveProgramme();
  EXPECT_EQ(files.files.at(kProgrammePath), bytes);
}

TEST(Configuration, MissingProgrammeFileStartsFromTheFreshTableAndSavesIt) {
  FakeFileSystem files;
  Configuration config(files);
  config.Load(kDir);
  const ProgrammeTable& t = config.programme();
  EXPECT_EQ(t[1], "OFF");
  EXPECT_EQ(t[2], "VG");
  EXPECT_EQ(t[3], "60");
  EXPECT_EQ(t[4], "SON_ON");
  EXPECT_EQ(t[5], "0");
  EXPECT_EQ(ToInteger(t[6]), 255);
  for (int slot : {21, 35, 51, 71, 91, 111, 131, 151, 171, 201, 220, 236, 255, 259})
    EXPECT_EQ(t[slot], "OFF") << slot;
  for (int slot : {7, 14, 22, 45, 52, 157, 188, 222, 230, 258, 260, 261, 298, 299})
    EXPECT_EQ(t[slot], "") << slot;
  EXPECT_EQ(files.files.at(kProgrammePath), FormatLines(t.Lines()));
}

TEST(Configuration, TemporaryFilesLeftByAnEndedCopyAreRemovedBeforeLoading) {
  // A copy killed after writing its temporary files but before putting them
  // in place: the real files hold the old tables, the temporary ones the
  // new (possibly torn) tables, which must not be taken.
  FakeFileSystem files;
  std::vector<std::string> old_programme = FreshProgramme().Lines();
  old_programme[35] = "ON";
  files.files[kProgrammePath] = FormatLines(old_programme);
  files.files[kSettingsPath] = "COM2\r\n";
  files.files[std::string(kProgrammePath) + ".tmp"] = "OFF\r\nO";
  files.files[std::string(kSettingsPath) + ".tmp"] = "COM3\r\n";
  // Files of other names beside them are none of the program's business.
  files.files["C:\\T\\\\notes.tmp"] = "mine";

  Configuration config(files);
  config.Load(kDir);
  EXPECT_EQ(config.programme()[35], "ON");
  EXPECT_EQ(config.settings()[1], "COM2");
  EXPECT_EQ(files.files.count(TemporaryPath(kProgrammePath)), 0u);
  EXPECT_EQ(files.files.count(TemporaryPath(kSettingsPath)), 0u);
  EXPECT_EQ(files.files.at("C:\\T\\\\notes.tmp"), "mine");
  // The programme file is not rewritten at start; the settings file is, from
  // the old settings.
  EXPECT_EQ(files.files.at(kProgrammePath), FormatLines(old_programme));
  EXPECT_EQ(ParseLines(files.files.at(kSettingsPath), 30)[0], "COM2");
}

TEST(Configuration, ATemporaryFileIsNotTakenForAMissingProgrammeFile) {
  // Killed during the very first save: no programme file yet, only a torn
  // temporary one. The fresh table is used and saved, nothing left beside it.
  FakeFileSystem files;
  files.files[TemporaryPath(kProgrammePath)] = "ON\r\nVG\r\n6";
  Configuration config(files);
  config.Load(kDir);
  EXPECT_EQ(config.programme(), FreshProgramme());
  EXPECT_EQ(files.files.at(kProgrammePath), FormatLines(FreshProgramme().Lines()));
  EXPECT_EQ(files.files.count(TemporaryPath(kProgrammePath)), 0u);
}

TEST(Configuration, UnreadableFilesLeaveTheTablesEmptyWithoutError) {
  FakeFileSystem files;
  files.unreadable = {kSettingsPath, kProgrammePath};
  Configuration config(files);
  EXPECT_NO_THROW(config.Load(kDir));
  EXPECT_EQ(config.programme(), ProgrammeTable{});
  EXPECT_EQ(config.settings()[kProgramDirectory], kDir);
}

TEST(Configuration, ASettingsFileThatCannotBeReadIsReportedOnceEverythingIsLoaded) {
  FakeFileSystem files;
  files.files[kSettingsPath] = "COM1\r\n";
  files.read_errors[kSettingsPath] = platform::FileError::LockViolation;
  files.files[kProgrammePath] = "x\r\nON\r\n";
  Configuration config(files);
  try {
    config.Load(kDir);
    FAIL() << "the read failure was not reported";
  } catch (const IoError& e) {
    EXPECT_STREQ(e.what(), "Accès au fichier refusé");
  }
  // The program directory is set, so the settings went where they belong.
  EXPECT_EQ(config.settings()[kProgramDirectory], kDir);
  EXPECT_EQ(config.settings()[kSerialPort], "");
  EXPECT_EQ(files.replace_count[kSettingsPath], 1);
  EXPECT_EQ(files.files.count("\\parametres.inf"), 0u);
  EXPECT_EQ(config.programme()[1], "ON");
}

TEST(Configuration, AProgrammeFileThatCannotBeReadIsReportedAndNotReplaced) {
  FakeFileSystem files;
  files.files[kProgrammePath] = "x\r\nON\r\n";
  files.read_errors[kProgrammePath] = platform::FileError::Other;
  Configuration config(files);
  try {
    config.Load(kDir);
    FAIL() << "the read failure was not reported";
  } catch (const IoError& e) {
    EXPECT_STREQ(e.what(), "Erreur d'E/S 0");
  }
  EXPECT_EQ(config.programme(), ProgrammeTable{});
  EXPECT_EQ(files.files.at(kProgrammePath), "x\r\nON\r\n");
  EXPECT_EQ(files.replace_count[kProgrammePath], 0);
}

TEST(Configuration, ASettingsSaveFailureIsReportedAfterTheProgrammeIsRead) {
  FakeFileSystem files;
  files.files[kProgrammePath] = "x\r\nON\r\n";
  files.fail_write = platform::FileError::AccessDenied;
  Configuration config(files);
  EXPECT_THROW(config.Load(kDir), IoError);
  EXPECT_EQ(config.programme()[1], "ON");
}

TEST(Pictures, AreReadWholeOrReportedByHowFarTheReadWent) {
  FakeFileSystem files;
  const std::string bitmap("BM\x00\x01", 4);
  files.files["C:\\P\\on.bmp"] = bitmap;
  EXPECT_EQ(*tabs::LoadPicture(files, "C:\\P\\on.bmp"), bitmap);

  auto text_of = [&](const std::string& path) -> std::string {
    try {
      tabs::LoadPicture(files, path);
    } catch (const AppError& e) {
      return e.what();
    }
    return "no error";
  };
  files.unreadable = {"C:\\P\\locked.bmp"};
  files.files["C:\\P\\bad.bmp"] = "BM";
  files.read_errors["C:\\P\\bad.bmp"] = platform::FileError::Other;
  files.files["C:\\P\\huge.bmp"] = "BM" + std::string(4 * 1024 * 1024, '\0');
  EXPECT_EQ(text_of("C:\\P\\\xE9t\xE9.bmp"),
            "Impossible d'ouvrir le fichier \"C:\\P\\été.bmp\". Le fichier spécifié est "
            "introuvable");
  EXPECT_EQ(text_of("C:\\P\\locked.bmp"),
            "Impossible d'ouvrir le fichier \"C:\\P\\locked.bmp\". Accès au fichier refusé");
  EXPECT_EQ(text_of("C:\\P\\bad.bmp"),
            "Impossible d'ouvrir le fichier \"C:\\P\\bad.bmp\". Erreur d'E/S 0");
  EXPECT_EQ(text_of("C:\\P\\huge.bmp"),
            "Impossible d'ouvrir le fichier \"C:\\P\\huge.bmp\". Le fichier dépasse 4 Mo : ce "
            "n'est pas une image du programme");
  // The large one was refused on its size, none of its bytes copied.
  EXPECT_EQ(files.copied.count("C:\\P\\huge.bmp"), 0u);
}

}  // namespace
}  // namespace talvoro::config
