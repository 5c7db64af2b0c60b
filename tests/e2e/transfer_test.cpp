// Configuration export and import through the program's own save and open
// dialogs, with the simulated receiver plugged (export waits for it).
#include <gtest/gtest.h>

#include <cwctype>
#include <filesystem>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "harness.h"
#include "remote_fixture.h"
#include "tables.h"

namespace e2e {
namespace {

namespace fs = std::filesystem;

// Whether `name` is an export's proposed name with its extension:
// "Talvoro_" then day, month, year, hour (plain), minute, second (two
// digits), joined by "_", then ".GML".
bool IsTimedExportName(const std::wstring& name) {
  const std::wstring prefix = L"Talvoro_";
  const std::wstring suffix = L".GML";
  if (name.size() <= prefix.size() + suffix.size() || name.rfind(prefix, 0) != 0 ||
      _wcsicmp(name.c_str() + name.size() - suffix.size(), suffix.c_str()) != 0)
    return false;
  const std::wstring middle =
      name.substr(prefix.size(), name.size() - prefix.size() - suffix.size());
  std::vector<std::wstring> parts{L""};
  for (wchar_t c : middle) {
    if (c == L'_')
      parts.emplace_back();
    else if (std::iswdigit(c))
      parts.back().push_back(c);
    else
      return false;
  }
  if (parts.size() != 6) return false;
  for (std::size_t i = 0; i < 6; ++i) {
    if (parts[i].empty()) return false;
    if (i < 4 && parts[i].size() > 1 && parts[i][0] == L'0') return false;  // plain
    if (i >= 4 && parts[i].size() != 2) return false;                       // two digits
  }
  return parts[2].size() == 4;
}

class Transfer : public RemoteControlTest {
 protected:
  // Runs the dialog a tool button opens, types `name` into it (or keeps the
  // name it proposes) and confirms; true once the dialog has closed.
  ::testing::AssertionResult RunDialog(std::string_view tool_button,
                                       const std::optional<std::wstring>& name,
                                       std::wstring* proposed = nullptr) {
    if (!app_->ClickToolButton(tool_button))
      return ::testing::AssertionFailure() << "could not click " << tool_button;
    HWND dialog = WaitForFileDialog(app_->process().pid());
    if (!dialog) return ::testing::AssertionFailure() << "no file dialog after " << tool_button;
    const std::wstring shown = WindowText(FileNameBox(dialog));
    if (proposed) *proposed = shown;
    if (!ConfirmFileName(dialog, name.value_or(shown), false))
      return ::testing::AssertionFailure() << "could not type into the dialog";
    if (!WaitUntilDialogClosed(dialog, kWait))
      return ::testing::AssertionFailure() << "the file dialog stayed open";
    return ::testing::AssertionSuccess();
  }

  // The .GML files in the program directory (the dialog may have added the
  // extension in lower case).
  std::vector<std::wstring> ExportFiles() const {
    std::vector<std::wstring> names;
    for (const auto& entry : fs::directory_iterator(fs::path(dir_.path()))) {
      const std::wstring name = entry.path().filename().wstring();
      if (name.size() > 4 && _wcsicmp(name.c_str() + name.size() - 4, L".GML") == 0)
        names.push_back(name);
    }
    return names;
  }

  // Waits for programme_IR.inf to hold `bytes`; true when it does.
  bool WaitForProgrammeBytes(const std::string& bytes) const {
    return WaitUntil([&] { return ProgrammeBytes() == bytes; }, kWait);
  }
};

TEST_F(Transfer, ExportThenImportLeavesTheProgrammeFileByteForByte) {
  std::vector<std::string> table = ValidProgramme();
  table[7] = "4660";
  table[35] = "ON";  // Windows Media Player on
  table[221] = "C:\\Vid\xE9o\\lecteur.exe";
  std::vector<std::string> settings = EmptySettings();
  settings[4] = ToCp1252(dir_.path());  // entry 5: the dialogs' folder
  Start(table, settings);
  const std::string original = ProgrammeBytes();
  ASSERT_EQ(original, Lines(table));

  // Export under the proposed name, in the folder of entry 5; the dialog adds
  // the extension.
  std::wstring proposed;
  ASSERT_TRUE(RunDialog("ToolButton4", std::nullopt, &proposed));
  ASSERT_TRUE(app_->Sync());
  EXPECT_TRUE(IsTimedExportName(proposed + L".GML")) << ToUtf8(proposed);
  const std::vector<std::wstring> exported = ExportFiles();
  ASSERT_EQ(exported.size(), 1u) << "no export in the folder of entry 5";
  const std::wstring name = exported[0];
  EXPECT_EQ(_wcsicmp(name.c_str(), (proposed + L".GML").c_str()), 0) << ToUtf8(name);
  EXPECT_EQ(dir_.ReadFile(name), original);
  EXPECT_EQ(app_->MessageBoxWindow(), nullptr);

  // Another configuration in between: Windows Media Player off, Winamp on.
  std::vector<std::string> other = ValidProgramme();
  other[7] = "999";
  other[51] = "ON";
  dir_.WriteFile(L"autre.GML", Lines(other));
  ASSERT_TRUE(RunDialog("ToolButton3", dir_.File(L"autre.GML")));
  ASSERT_TRUE(WaitForProgrammeBytes(Lines(other)));
  ASSERT_TRUE(app_->SelectPage("TabSheet4"));     // Winamp
  EXPECT_TRUE(WaitForSwitch("RxSwitch7", true));  // its activation switch

  // The exported file brings everything back, to the byte.
  ASSERT_TRUE(RunDialog("ToolButton3", dir_.File(name)));
  EXPECT_TRUE(WaitForProgrammeBytes(original)) << "programme_IR.inf differs from the original";
  EXPECT_TRUE(WaitForSwitch("RxSwitch7", false));
  ASSERT_TRUE(app_->Sync());
  EXPECT_EQ(app_->MessageBoxWindow(), nullptr);
}

// A file of the user's named like the export with ".tmp" is never the
// export's temporary file, and the export leaves no file of its own behind.
TEST_F(Transfer, ExportingOverAFileAsksAndNoLeavesItUntouchedYesReplacesIt) {
  Start(ValidProgramme());
  dir_.WriteFile(L"existant.GML", "keep me\r\n");
  dir_.WriteFile(L"existant.GML.tmp", "mine\r\n");
  auto count_files = [&] {
    return std::distance(fs::directory_iterator(fs::path(dir_.path())), fs::directory_iterator());
  };
  const auto files_before = count_files();
  for (const int answer : {IDNO, IDYES}) {
    ASSERT_TRUE(RunDialog("ToolButton4", dir_.File(L"existant.GML")));
    HWND box = app_->WaitForMessageBox(kWait);
    ASSERT_NE(box, nullptr) << "no question";
    const MessageBoxTexts texts = ReadMessageBox(box);
    EXPECT_EQ(texts.message, L"Le nom du fichier existe déjà. Voulez-vous l'écraser ?");
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), 0);
    ASSERT_TRUE(WaitUntilDialogClosed(box, kWait));
    ASSERT_TRUE(app_->Sync());
    EXPECT_EQ(dir_.ReadFile(L"existant.GML"),
              answer == IDNO ? std::optional<std::string>("keep me\r\n") : ProgrammeBytes());
  }
  EXPECT_EQ(dir_.ReadFile(L"existant.GML.tmp"), "mine\r\n");
  EXPECT_EQ(count_files(), files_before);
}

// Any file can be chosen and an import cannot be undone: a binary file and a
// file of more than 1 MiB are refused, and nothing changes.
TEST_F(Transfer, ABinaryOrOversizedFileIsRefusedAndChangesNothing) {
  // The dialog opens and ends in the program directory: no folder to store.
  std::vector<std::string> settings_lines = EmptySettings();
  settings_lines[4] = ToCp1252(dir_.path());
  Start(ValidProgramme(), settings_lines);
  const std::string original = ProgrammeBytes();
  const std::string settings = dir_.ReadFile(L"parametres.inf").value_or("");
  std::string binary = Lines(ValidProgramme());
  binary[3] = '\0';
  dir_.WriteFile(L"binaire.GML", binary);
  dir_.WriteFile(L"enorme.GML", std::string(1024 * 1024 + 1, '7'));

  for (const wchar_t* name : {L"binaire.GML", L"enorme.GML"}) {
    ASSERT_TRUE(RunDialog("ToolButton3", dir_.File(name))) << ToUtf8(name);
    HWND box = app_->WaitForMessageBox(kWait);
    ASSERT_NE(box, nullptr) << ToUtf8(name) << ": no warning";
    const MessageBoxTexts texts = ReadMessageBox(box);
    EXPECT_EQ(texts.message.rfind(L"Ce fichier n'est pas une configuration IR : ", 0), 0u)
        << ToUtf8(texts.message);
    EXPECT_NE(texts.message.find(name), std::wstring::npos) << ToUtf8(texts.message);
    PressOk(box);
    ASSERT_TRUE(WaitUntilDialogClosed(box, kWait));
    ASSERT_TRUE(app_->Sync());
    EXPECT_EQ(ProgrammeBytes(), original) << ToUtf8(name);
    EXPECT_EQ(dir_.ReadFile(L"parametres.inf"), settings) << ToUtf8(name);
  }
}

}  // namespace
}  // namespace e2e
