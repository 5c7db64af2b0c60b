// The programs the application launcher starts: exactly the file stored for
// an entry, never another that the blanks of its path could name; the
// warning of a start that fails, above every window; and the "..." choosers
// with their open-file dialogs.
#include <gtest/gtest.h>

#include <filesystem>
#include <future>
#include <optional>
#include <string>
#include <vector>

#include "harness.h"
#include "remote_fixture.h"
#include "tables.h"

namespace e2e {
namespace {

namespace fs = std::filesystem;

constexpr int kLauncherState = 220;
constexpr int kWinampPath = 50;
// Launcher entry n (1..5): its path slot, its code slot and the code the
// tests store there.
int PathSlot(int entry) {
  return 219 + 2 * entry;
}
int CodeSlot(int entry) {
  return 220 + 2 * entry;
}
int Code(int entry) {
  return 2200 + entry;
}

std::vector<std::string> LauncherProgramme() {
  std::vector<std::string> table = ValidProgramme();
  table[kLauncherState] = std::string("ON");
  for (int entry = 1; entry <= 5; ++entry) table[CodeSlot(entry)] = std::to_string(Code(entry));
  return table;
}

std::vector<std::string> OsdSettings() {
  std::vector<std::string> settings = EmptySettings();
  settings[2] = "LANCE_OFF";    // entry 3: start-up
  settings[5] = "OSD_ON";       // entry 6: OSD switch
  settings[6] = "POSI_OSD_HG";  // entry 7: OSD position
  return settings;
}

class ProgramPaths : public RemoteControlTest {
 protected:
  // Clicks a "..." chooser, types `entry` into the dialog it opens and
  // confirms; true once the dialog has closed.
  ::testing::AssertionResult ChooseInDialog(HWND chooser, const std::wstring& entry) {
    ClickButton(chooser);
    HWND dialog = WaitForOpenDialog();
    if (!dialog) return ::testing::AssertionFailure() << "no open-file dialog";
    if (!Open(dialog, entry, false)) return ::testing::AssertionFailure() << "could not type";
    if (!WaitUntilClosed(dialog)) return ::testing::AssertionFailure() << "dialog stayed open";
    return ::testing::AssertionSuccess();
  }

  ::testing::AssertionResult WaitUntilReduced() const {
    HWND main = app_->main_window();
    if (WaitUntil([&] { return !IsWindowVisible(main); }, kWait))
      return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the main window is still shown";
  }

  std::string Setting(int entry) const {
    auto bytes = dir_.ReadFile(L"parametres.inf");
    auto lines = bytes ? SplitCrLf(*bytes) : std::nullopt;
    if (!lines || lines->size() != static_cast<std::size_t>(kSettingsLines))
      return "<no valid settings file>";
    return (*lines)[static_cast<std::size_t>(entry - 1)];
  }

  // The program's open-file dialog, once it shows.
  HWND WaitForOpenDialog() { return WaitForFileDialog(app_->process().pid()); }
  static bool Open(HWND dialog, const std::wstring& name, bool wait) {
    return ConfirmFileName(dialog, name, wait);
  }
  ::testing::AssertionResult WaitUntilClosed(HWND dialog) const {
    if (WaitUntilDialogClosed(dialog, kWait)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the open-file dialog is still shown";
  }
};

// Regression test: the stored path used to be handed over unquoted as the
// command line, and Windows then ran "<dir>\Prog.exe" with "Files\real.exe"
// as its argument.
TEST_F(ProgramPaths, ALaunchRunsTheStoredFileNeverOneItsBlanksCutOut) {
  const std::wstring real = Plant(L"Prog Files\\real.exe");
  Plant(L"Prog.exe");
  std::vector<std::string> table = LauncherProgramme();
  table[PathSlot(1)] = ToCp1252(real);
  Start(table, OsdSettings());
  ASSERT_TRUE(app_->ClickToolButton("ToolButton2"));  // "Réduire"
  ASSERT_TRUE(WaitUntilReduced());
  HWND osd = app_->Form(L"TForm5");
  ASSERT_NE(osd, nullptr);

  ASSERT_TRUE(Send(Code(1)));
  const std::optional<std::string> ran = WaitForRun(L"Prog Files\\real.exe");
  ASSERT_TRUE(ran) << "the stored program did not run";
  // It got its own path, quoted, as its command line.
  EXPECT_EQ(*ran, "\"" + ToUtf8(real) + "\"");
  EXPECT_FALSE(dir_.Exists(L"Prog.exe.ran")) << "the planted Prog.exe ran";
  EXPECT_EQ(app_->MessageBoxWindow(), nullptr);
  EXPECT_EQ(Slot(PathSlot(1)), ToCp1252(real));
  // The reduced window announces the launch.
  EXPECT_TRUE(IsWindowVisible(osd));
  EXPECT_EQ(WindowText(app_->Control(L"TForm5", "Label11")), L"Lanceur d'applications");
  EXPECT_EQ(WindowText(app_->Control(L"TForm5", "Label12")), L"Application n°1 lancée...");
}

TEST_F(ProgramPaths, ALaunchButtonStartsItsEntrysProgram) {
  const std::wstring program = Plant(L"Lancé\\programme.exe");
  std::vector<std::string> table = LauncherProgramme();
  table[PathSlot(3)] = ToCp1252(program);
  Start(table);
  ASSERT_TRUE(app_->SelectPage("TabSheet12"));
  EXPECT_EQ(WindowText(app_->Control("Label271")), program);  // the path alone
  HWND button = app_->Control("AOLButton3");
  ASSERT_NE(button, nullptr);

  ClickButton(button);
  const std::optional<std::string> ran = WaitForRun(L"Lancé\\programme.exe");
  ASSERT_TRUE(ran) << "the program of entry 3 did not run";
  EXPECT_EQ(*ran, "\"" + ToUtf8(program) + "\"");
  ASSERT_TRUE(app_->Sync());
  EXPECT_EQ(app_->MessageBoxWindow(), nullptr);
}

TEST_F(ProgramPaths, LaunchButtonsAreBlueSquaresWithAWhiteDigitLitByALighterBlue) {
  Start(LauncherProgramme());
  ASSERT_TRUE(app_->SelectPage("TabSheet12"));
  ASSERT_TRUE(app_->Sync());
  for (const char* name : {"AOLButton1", "AOLButton2", "AOLButton3", "AOLButton4", "AOLButton5"}) {
    HWND button = app_->Control(name);
    ASSERT_NE(button, nullptr) << name;
    std::optional<Pixels> pixels;
    // Shown pages are painted in their own time: wait for the face.
    WaitUntil(
        [&] {
          pixels = CaptureWindow(button);
          return pixels && pixels->width == 25 && pixels->height == 25 &&
                 pixels->at(4, 12) == 0x3469A5;
        },
        kWait);
    ASSERT_TRUE(pixels) << name;
    ASSERT_EQ(pixels->width, 25) << name;
    ASSERT_EQ(pixels->height, 25) << name;
    EXPECT_EQ(pixels->at(4, 12), 0x3469A5u) << name << ": the face";
    EXPECT_EQ(pixels->at(0, 0), 0x8AA2D7u) << name << ": the lit edge";
    EXPECT_EQ(pixels->at(12, 1), 0x8AA2D7u) << name << ": the lit edge";
    EXPECT_EQ(pixels->at(1, 12), 0x8AA2D7u) << name << ": the lit edge";
    EXPECT_NE(pixels->at(24, 12), 0x8AA2D7u) << name << ": the shaded edge";
    int white = 0;
    for (int y = 6; y < 19; ++y)
      for (int x = 6; x < 19; ++x) white += pixels->at(x, y) == 0xFFFFFF;
    EXPECT_GT(white, 5) << name << ": no white digit";
  }
  Screenshot(app_->Control("TabSheet12"), L"launcher_page");
}

TEST_F(ProgramPaths, AFailedLaunchFromTheRemoteWarnsAboveEveryWindowAndClaimsNothing) {
  Start(LauncherProgramme(), OsdSettings());  // entry 2 has no path
  ASSERT_TRUE(app_->ClickToolButton("ToolButton2"));
  ASSERT_TRUE(WaitUntilReduced());
  HWND osd = app_->Form(L"TForm5");
  ASSERT_NE(osd, nullptr);
  ShowWatch osd_watch(osd);

  // The code is handled once the warning is closed: irsim waits meanwhile.
  auto send = std::async(std::launch::async,
                         [this] { return RunIrsim(dir_, L"send " + std::to_wstring(Code(2))); });
  HWND box = app_->WaitForMessageBox(kWait);
  if (box) {
    const MessageBoxTexts texts = ReadMessageBox(box);
    EXPECT_EQ(texts.caption, L"Avertissement");
    EXPECT_EQ(texts.message, L"Le chemin de l'application n°2 n'est pas valide !");
    EXPECT_TRUE(Topmost(box)) << "the warning does not stand above the other windows";
    EXPECT_EQ(GetForegroundWindow(), box) << "the warning did not come to the foreground";
    EXPECT_FALSE(IsWindowVisible(osd));
    PressOk(box);
  }
  const IrsimResult result = send.get();
  ASSERT_NE(box, nullptr) << "no warning";
  ASSERT_TRUE(result.finished && result.exit_code == 0) << "irsim send: " << result.output;
  ASSERT_TRUE(app_->Sync());
  EXPECT_FALSE(osd_watch.SeenShown()) << "the display announced a launch that failed";
}

TEST_F(ProgramPaths, AChooserStoresTheFileChosenInItsDialog) {
  const std::wstring program = Plant(L"Mes Programmes\\choisi.exe");
  Start(LauncherProgramme());
  ASSERT_TRUE(app_->SelectPage("TabSheet12"));
  HWND chooser = app_->Control("SpeedButton133");
  ASSERT_NE(chooser, nullptr);
  EXPECT_TRUE(ChooseInDialog(chooser, program));
  EXPECT_EQ(WaitForSlot(PathSlot(1), ToCp1252(program)), ToCp1252(program));
  ASSERT_TRUE(app_->Sync());
  EXPECT_EQ(WindowText(app_->Control("Label269")), program);
}

// The programme file holds Windows-1252 text: a path with other characters is
// kept in its short form, which still starts the program.
TEST_F(ProgramPaths, APathWindows1252CannotHoldIsKeptShortAndStillStarts) {
  const std::wstring program = Plant(L"Музыка\\player.exe");
  Start(LauncherProgramme());
  ASSERT_TRUE(app_->SelectPage("TabSheet12"));
  HWND chooser = app_->Control("SpeedButton134");
  ASSERT_NE(chooser, nullptr);
  EXPECT_TRUE(ChooseInDialog(chooser, program));
  std::string kept;
  WaitUntil(
      [&] {
        kept = Slot(PathSlot(2));
        return !kept.empty();
      },
      kWait);
  ASSERT_TRUE(app_->Sync());
  EXPECT_EQ(app_->MessageBoxWindow(), nullptr) << "the path was refused";
  EXPECT_NE(kept.find('~'), std::string::npos) << kept;
  EXPECT_EQ(kept.find('?'), std::string::npos) << kept;
  EXPECT_EQ(kept.substr(kept.size() - 11), "\\player.exe") << kept;
  EXPECT_EQ(ToCp1252(WindowText(app_->Control("Label270"))), kept);

  ASSERT_TRUE(Send(Code(2)));
  EXPECT_TRUE(WaitForRun(L"Музыка\\player.exe")) << "the program did not run from " << kept;
}

TEST_F(ProgramPaths, TheWinampChooserKeepsItsFolderInTheSettingsAsTheImportDoes) {
  const std::wstring winamp = Plant(L"Dossier Winamp\\winamp.exe");
  const std::wstring folder = fs::path(winamp).parent_path().wstring();
  Start(ValidProgramme());
  ASSERT_TRUE(app_->SelectPage("TabSheet4"));
  HWND chooser = app_->Control("SpeedButton35");
  ASSERT_NE(chooser, nullptr);

  // The user moves to another folder, then cancels: the folder is kept in
  // settings entry 5, the path slot stays empty.
  ClickButton(chooser);
  HWND dialog = WaitForOpenDialog();
  ASSERT_NE(dialog, nullptr) << "no open-file dialog";
  ASSERT_TRUE(Open(dialog, folder, true));
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  ASSERT_TRUE(WaitUntilClosed(dialog));
  ASSERT_TRUE(app_->Sync());
  EXPECT_EQ(Setting(5), ToCp1252(folder));
  EXPECT_EQ(Slot(kWinampPath), "");

  // The dialog opens there again: the bare file name is found in it.
  EXPECT_TRUE(ChooseInDialog(chooser, L"winamp.exe"));
  EXPECT_EQ(WaitForSlot(kWinampPath, ToCp1252(winamp)), ToCp1252(winamp));
  ASSERT_TRUE(app_->Sync());
  EXPECT_EQ(WindowText(app_->Control("Label81")), L"Winamp => " + winamp);
  EXPECT_EQ(Setting(5), ToCp1252(folder));
}

}  // namespace
}  // namespace e2e
