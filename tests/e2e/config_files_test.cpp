// What start-up does to configuration files that already exist: the
// programme file is only read, the settings file is written back with the
// program directory as its only change, and a damaged programme file is
// reported without stopping the program.
#include <gtest/gtest.h>

#include "harness.h"
#include "tables.h"

namespace e2e {
namespace {

using namespace std::chrono_literals;

// Raw bytes the program must carry through untouched, including the five that
// Windows-1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D).
std::string HighBytes(int first, int count) {
  std::string bytes;
  for (int i = 0; i < count; ++i) bytes.push_back(static_cast<char>(0x80 + (first + i) % 128));
  return bytes;
}

// Waits for the end of start-up: the receiver state is its last visible step.
void WaitForStartUp(TalvoroApp& app) {
  ASSERT_TRUE(app.WaitUntilShown());
  ASSERT_EQ(app.WaitForPanel(0, L"Récepteur IR USB absent..."), L"Récepteur IR USB absent...");
}

TEST(ExistingFiles, ProgrammeFileIsNotRewrittenAtStart) {
  ProgramDir dir(CurrentTestDirName());
  dir.InstallProgram();
  std::vector<std::string> table = ValidProgramme();
  table[0] = HighBytes(0, 128);  // every byte from 0x80 to 0xFF, in order
  int n = 0;
  for (int slot : SpareSlots()) {
    if (slot != 0) table[slot] = HighBytes(n++ * 5, 1 + slot % 7);
  }
  table[152] = "31337";  // reserved: nothing reads it
  table[21] = "ON";
  table[50] = "C:\\Program Files\\Winamp \xE9t\xE9\\winamp.exe";
  table[53] = "4660";
  std::string bytes = Lines(table);
  dir.WriteFile(L"programme_IR.inf", bytes);
  const FILETIME old_time{0x2A3B4C00u, 0x01C1D2E3u};  // some day in 2001
  dir.SetWriteTime(L"programme_IR.inf", old_time);

  TalvoroApp app(dir);
  WaitForStartUp(app);
  Sleep(1000);  // room for a late write, which must not come

  EXPECT_EQ(dir.ReadFile(L"programme_IR.inf"), bytes);
  auto time = dir.WriteTime(L"programme_IR.inf");
  ASSERT_TRUE(time);
  EXPECT_EQ(time->dwLowDateTime, old_time.dwLowDateTime);
  EXPECT_EQ(time->dwHighDateTime, old_time.dwHighDateTime);
  EXPECT_TRUE(app.Quit());
  EXPECT_EQ(dir.ReadFile(L"programme_IR.inf"), bytes) << "rewritten at quit";
}

TEST(ExistingFiles, TemporaryFilesOfAnEndedCopyAreRemovedAndNotTaken) {
  // What a copy killed between writing its temporary files and putting them
  // in place leaves: the old files whole, torn new ones beside them.
  ProgramDir dir(CurrentTestDirName());
  dir.InstallProgram();
  std::vector<std::string> table = ValidProgramme();
  table[21] = "ON";
  const std::string bytes = Lines(table);
  dir.WriteFile(L"programme_IR.inf", bytes);
  std::vector<std::string> settings = EmptySettings();
  settings[0] = "COM2";
  dir.WriteFile(L"parametres.inf", Lines(settings));
  dir.WriteFile(L"programme_IR.inf.tmp", "OFF\r\nVG\r\n6");
  dir.WriteFile(L"parametres.inf.tmp", "COM3\r\n");

  TalvoroApp app(dir);
  WaitForStartUp(app);
  // The settings are saved again whenever the window becomes active, through
  // a temporary file of the same name that lives a moment.
  EXPECT_TRUE(WaitUntil(
      [&] { return !dir.Exists(L"programme_IR.inf.tmp") && !dir.Exists(L"parametres.inf.tmp"); },
      10s));
  EXPECT_EQ(dir.ReadFile(L"programme_IR.inf"), bytes);
  auto written = SplitCrLf(dir.ReadFile(L"parametres.inf").value_or(""));
  ASSERT_TRUE(written && written->size() == kSettingsLines);
  EXPECT_EQ((*written)[0], "COM2");
  EXPECT_TRUE(app.Quit());
}

TEST(ExistingFiles, SettingsAreWrittenBackWithOnlyTheProgramDirectoryChanged) {
  ProgramDir dir(CurrentTestDirName());
  dir.InstallProgram();
  dir.WriteFile(L"programme_IR.inf", Lines(ValidProgramme()));
  std::vector<std::string> settings(kSettingsLines);
  settings[0] = "COM3";
  settings[1] = "1";
  settings[2] = "LANCE_OFF";
  settings[3] = "quatre " + HighBytes(0, 64);
  settings[4] =
      "C:\\Mes documents\\T\xE9l\xE9"
      "commande";
  settings[5] = "OSD_OFF";
  settings[6] = "POSI_OSD_BD";
  settings[7] = HighBytes(64, 64);
  settings[8] = "C:\\ailleurs\\";
  settings[29] = "trente";
  dir.WriteFile(L"parametres.inf", Lines(settings));

  TalvoroApp app(dir);
  WaitForStartUp(app);

  std::vector<std::string> expected = settings;
  expected[8] = ToCp1252(dir.path()) + "\\";
  EXPECT_EQ(dir.ReadFile(L"parametres.inf"), Lines(expected));
  EXPECT_TRUE(app.Quit());
}

TEST(ExistingFiles, ShortAndLongSettingsFilesAreRewrittenWithThirtyLines) {
  for (int lines : {5, 45}) {
    SCOPED_TRACE(lines);
    ProgramDir dir(CurrentTestDirName() + L"." + std::to_wstring(lines));
    dir.InstallProgram();
    dir.WriteFile(L"programme_IR.inf", Lines(ValidProgramme()));
    std::vector<std::string> settings;
    for (int i = 1; i <= lines; ++i) settings.push_back("ligne " + std::to_string(i));
    dir.WriteFile(L"parametres.inf", Lines(settings));

    TalvoroApp app(dir);
    WaitForStartUp(app);

    std::vector<std::string> expected(kSettingsLines);
    for (int i = 0; i < kSettingsLines && i < lines; ++i) expected[i] = settings[i];
    expected[8] = ToCp1252(dir.path()) + "\\";
    EXPECT_EQ(dir.ReadFile(L"parametres.inf"), Lines(expected));
    EXPECT_TRUE(app.Quit());
  }
}

// A programme file whose master volume slot is not a number: the standard
// error box names the value, and once it is closed the program runs on.
void ExpectConversionError(const std::string& master_volume, const std::wstring& message) {
  ProgramDir dir(CurrentTestDirName());
  dir.InstallProgram();
  std::vector<std::string> table = ValidProgramme();
  table[3] = master_volume;
  dir.WriteFile(L"programme_IR.inf", Lines(table));

  TalvoroApp app(dir);
  HWND box = nullptr;
  ASSERT_TRUE(WaitUntil(
      [&] {
        box = app.MessageBoxWindow();
        return box != nullptr || !app.process().Running();
      },
      30s));
  ASSERT_NE(box, nullptr) << "no error box; the program has ended: " << !app.process().Running();
  MessageBoxTexts texts = ReadMessageBox(box);
  EXPECT_EQ(texts.message, message) << ToUtf8(texts.message);
  EXPECT_EQ(texts.caption, L"Talvoro_IR");

  PressOk(box);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }, 10s));
  ASSERT_TRUE(app.WaitUntilShown(15s));
  Sleep(1000);
  EXPECT_TRUE(app.process().Running());
  EXPECT_TRUE(IsWindowVisible(app.main_window()));
  EXPECT_EQ(app.MessageBoxWindow(), nullptr);
  EXPECT_TRUE(app.Quit());
}

TEST(DamagedProgramme, NonNumericVolumeIsReportedAndTheProgramRunsOn) {
  ExpectConversionError("abc", L"'abc' n'est pas une valeur entière correcte.");
}

TEST(DamagedProgramme, EmptyVolumeIsReportedAndTheProgramRunsOn) {
  ExpectConversionError("", L"'' n'est pas une valeur entière correcte.");
}

}  // namespace
}  // namespace e2e
