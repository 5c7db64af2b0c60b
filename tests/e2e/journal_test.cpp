// Held remote buttons and the journal of received codes in the real program.
// A held button sends its code again and again, a few milliseconds apart
// through the simulated receiver: with settings entry 10 "ANTIREPET_ON" a
// toggle code flips its tab once while volume steps repeat; without it every
// repeat runs. The journal lists each code with what it did, copies its
// lines to the clipboard and empties.
#include <gtest/gtest.h>

#include <cwctype>

#include "remote_fixture.h"

namespace e2e {
namespace {

constexpr int kMaster = 3;
constexpr int kWinampState = 51;
constexpr int kUpCode = 901;
constexpr int kWinampToggleCode = 5252;
constexpr int kWindowsCode = 2222;

// Volumes on with "Augmenter le volume" learned, Winamp's toggle code, and a
// code of the Windows tab, which is off.
std::vector<std::string> HeldButtonsProgramme() {
  std::vector<std::string> table = ValidProgramme();
  table[1] = std::string("ON");
  table[9] = std::to_string(kUpCode);
  table[52] = std::to_string(kWinampToggleCode);
  table[22] = std::to_string(kWindowsCode);
  return table;
}

// What a journal line says after its time ("14:05:07.045"), or "<bad time>".
std::wstring AfterTime(const std::wstring& line) {
  const std::wstring pattern = L"00:00:00.000\t";
  bool ok = line.size() > pattern.size();
  for (std::size_t i = 0; ok && i < pattern.size(); ++i)
    ok = pattern[i] == L'0' ? std::iswdigit(line[i]) != 0 : line[i] == pattern[i];
  return ok ? line.substr(pattern.size()) : L"<bad time> " + line;
}

class HeldButtons : public RemoteControlTest {
 protected:
  // `count` presses of `code` in a row, as a held button sends them.
  ::testing::AssertionResult Hold(int code, int count) {
    IrsimResult result =
        RunIrsim(dir_, L"send " + std::to_wstring(code) + L" " + std::to_wstring(count));
    if (result.finished && result.exit_code == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "irsim send " << code << " " << count << ": " << result.output;
  }
  // The journal's lines, each without its time.
  std::vector<std::wstring> JournalLines() const {
    std::vector<std::wstring> lines;
    for (const std::wstring& line : ListBoxLines(app_->Control(L"TForm10", "ListBox1")))
      lines.push_back(AfterTime(line));
    return lines;
  }
};

TEST_F(HeldButtons, WithTheFilterAHeldToggleFlipsOnceWhileTheVolumeStepsOn) {
  std::vector<std::string> settings = EmptySettings();
  settings[9] = std::string("ANTIREPET_ON");
  Start(HeldButtonsProgramme(), settings);
  ASSERT_TRUE(Hold(kWinampToggleCode, 2));
  EXPECT_EQ(Slot(kWinampState), "ON");
  EXPECT_TRUE(WaitForSwitch("RxSwitch7", true));
  ASSERT_TRUE(Hold(kUpCode, 3));
  EXPECT_EQ(Slot(kMaster), "90");
}

TEST_F(HeldButtons, WithoutItEveryRepeatRunsAndTheJournalTellsEachCode) {
  Start(HeldButtonsProgramme());
  ASSERT_TRUE(app_->MenuCommand("Journaldescodes1"));
  ASSERT_TRUE(WaitForForm(L"TForm10", true));
  ASSERT_TRUE(Hold(kWinampToggleCode, 2));
  EXPECT_EQ(Slot(kWinampState), "OFF");  // on, then off again
  ASSERT_TRUE(Hold(kUpCode, 3));
  EXPECT_EQ(Slot(kMaster), "90");
  ASSERT_TRUE(Send(kWindowsCode));
  ASSERT_TRUE(app_->Sync());
  const std::vector<std::wstring> want = {
      L"5252\tWinamp activé",
      L"5252\tWinamp désactivé",
      L"901\tAugmenter le volume (Volumes)",
      L"901\tAugmenter le volume (Volumes)",
      L"901\tAugmenter le volume (Volumes)",
      L"2222\tProgrammé, mais onglet inactif : Windows",
  };
  EXPECT_EQ(JournalLines(), want);
  HWND journal = app_->Form(L"TForm10");
  Screenshot(journal, L"journal");

  const std::vector<std::wstring> lines = ListBoxLines(app_->Control(L"TForm10", "ListBox1"));
  std::wstring copied;
  for (const std::wstring& line : lines) copied += line + L"\r\n";
  // The clicks are posted: their effects are waited for. The clipboard is
  // opened only once the program has changed it, so as not to hold it
  // while the program wants it.
  const DWORD before = GetClipboardSequenceNumber();
  ClickButton(app_->Control(L"TForm10", "Button1"));
  ASSERT_TRUE(WaitUntil([&] { return GetClipboardSequenceNumber() != before; }, kWait));
  EXPECT_EQ(ClipboardText(), copied);

  ClickButton(app_->Control(L"TForm10", "Button2"));
  EXPECT_TRUE(WaitUntil([&] { return JournalLines().empty(); }, kWait));
}

}  // namespace
}  // namespace e2e
