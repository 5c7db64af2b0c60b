// Start-up of the real program: the files of a first run, the main window,
// its tabs and status bar, and the hidden secondary windows.
#include "harness.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "tables.h"

namespace e2e {
namespace {

using namespace std::chrono_literals;

// Waits until `name` holds `lines` complete CR LF lines; the program may
// still be writing it when the test first looks.
std::optional<std::vector<std::string>> WaitForLineFile(const ProgramDir& dir,
                                                        std::wstring_view name, std::size_t lines) {
  std::optional<std::vector<std::string>> parsed;
  WaitUntil(
      [&] {
        auto bytes = dir.ReadFile(name);
        parsed = bytes ? SplitCrLf(*bytes) : std::nullopt;
        return parsed && parsed->size() == lines;
      },
      10s);
  return parsed;
}

// The clock text for one moment: hour with a leading blank below 10, the
// other fields with a leading zero.
std::wstring ClockText(const SYSTEMTIME& t) {
  wchar_t text[64];
  swprintf(text, 64, L" %2u:%02u:%02u   %02u/%02u/%u", t.wHour, t.wMinute, t.wSecond, t.wDay,
           t.wMonth, t.wYear);
  return text;
}

long long Seconds(const SYSTEMTIME& t) {
  FILETIME file;
  SystemTimeToFileTime(&t, &file);
  ULARGE_INTEGER value{{file.dwLowDateTime, file.dwHighDateTime}};
  return static_cast<long long>(value.QuadPart / 10'000'000ULL);
}

SYSTEMTIME FromSeconds(long long seconds) {
  ULARGE_INTEGER value;
  value.QuadPart = static_cast<unsigned long long>(seconds) * 10'000'000ULL;
  FILETIME file{value.LowPart, value.HighPart};
  SYSTEMTIME out;
  FileTimeToSystemTime(&file, &out);
  return out;
}

// True when `text` is the clock text of a second from just before `before`
// (the panel is refreshed by a tick, so it may lag a little) to `after`.
bool IsClockTextBetween(const std::wstring& text, const SYSTEMTIME& before,
                        const SYSTEMTIME& after) {
  for (long long s = Seconds(before) - 1; s <= Seconds(after); ++s) {
    if (text == ClockText(FromSeconds(s))) return true;
  }
  return false;
}

TEST(FirstRun, CreatesTheSettingsAndAFreshProgrammeFile) {
  ProgramDir dir(CurrentTestDirName());
  dir.InstallProgram();
  ASSERT_FALSE(dir.Exists(L"parametres.inf"));
  ASSERT_FALSE(dir.Exists(L"programme_IR.inf"));

  TalvoroApp app(dir);
  ASSERT_TRUE(app.WaitForMainWindow());

  auto settings = WaitForLineFile(dir, L"parametres.inf", kSettingsLines);
  ASSERT_TRUE(settings) << "parametres.inf missing or not 30 CR LF lines";
  for (int entry = 1; entry <= kSettingsLines; ++entry) {
    const std::string& value = (*settings)[entry - 1];
    if (entry == 9) {
      EXPECT_EQ(value, ToCp1252(dir.path()) + "\\") << "entry 9 is the program directory";
    } else {
      EXPECT_EQ(value, "") << "settings entry " << entry;
    }
  }

  auto programme = WaitForLineFile(dir, L"programme_IR.inf", kProgrammeLines);
  ASSERT_TRUE(programme) << "programme_IR.inf missing or not 300 CR LF lines";
  const auto& slot = *programme;
  EXPECT_EQ(slot[1], "OFF");
  EXPECT_EQ(slot[2], "VG");
  EXPECT_EQ(slot[3], "60");
  EXPECT_EQ(slot[4], "SON_ON");
  EXPECT_EQ(slot[5], "0");
  EXPECT_FALSE(slot[6].empty());
  EXPECT_EQ(slot[6].find_first_not_of("0123456789"), std::string::npos) << slot[6];
  for (int s : StateSlots()) EXPECT_EQ(slot[s], "OFF") << "state slot " << s;
  for (int s : CodeSlots()) EXPECT_EQ(slot[s], "") << "code slot " << s;

  // A first run goes through to the end of start-up: no error box.
  EXPECT_EQ(app.MessageBoxWindow(), nullptr);
  EXPECT_TRUE(app.Quit());
}

TEST(FirstRun, StoresAnAccentedProgramDirectoryInWindows1252) {
  ProgramDir dir(CurrentTestDirName() + L"\\Télécommande à l'écran");
  dir.InstallProgram();
  TalvoroApp app(dir);
  ASSERT_TRUE(app.WaitForMainWindow());

  auto settings = WaitForLineFile(dir, L"parametres.inf", kSettingsLines);
  ASSERT_TRUE(settings);
  std::string expected = ToCp1252(dir.path()) + "\\";
  ASSERT_NE(expected.find('\xE9'), std::string::npos);  // é as one byte
  EXPECT_EQ((*settings)[8], expected);
  EXPECT_TRUE(app.Quit());
}

class MainWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_.InstallProgram();
    dir_.WriteFile(L"programme_IR.inf", Lines(ValidProgramme()));
    app_.emplace(dir_);
    ASSERT_TRUE(app_->WaitUntilShown());
  }
  void TearDown() override {
    if (app_) app_->Quit();
  }

  ProgramDir dir_{CurrentTestDirName()};
  std::optional<TalvoroApp> app_;
};

TEST_F(MainWindow, HasItsCaptionAndClientSize) {
  EXPECT_EQ(FindWindowW(L"TForm1", L"Talvoro IR USB v2.0"), app_->main_window());
  SIZE client = ClientSize(app_->main_window());
  EXPECT_EQ(client.cx, 704);
  EXPECT_EQ(client.cy, 513);
}

TEST_F(MainWindow, ShowsTheFifteenTabsInPageOrder) {
  HWND tabs = app_->Control("PageControl1");
  ASSERT_NE(tabs, nullptr);
  std::vector<std::wstring> expected = {L"Volumes",
                                        L"Windows",
                                        L"Fermer une application",
                                        L"Windows Media Player",
                                        L"Winamp",
                                        L"Power DVD",
                                        L"Win DVD",
                                        L"MSI DVD",
                                        L"RealOne Player",
                                        L"Pinnacle PCTV",
                                        L"K!TV XP",
                                        L"Prog DVB",
                                        L"Microsoft PowerPoint",
                                        L"Lanceur d'applications",
                                        L"Touches personnalisées"};
  EXPECT_EQ(TabCaptions(app_->process().handle(), tabs), expected);
}

TEST_F(MainWindow, StatusBarShowsReceiverStateAndClock) {
  HWND bar = app_->status_bar();
  ASSERT_NE(bar, nullptr);
  std::vector<int> edges;
  EXPECT_EQ(StatusBarParts(app_->process().handle(), bar, &edges), 3);
  if (edges.size() == 3) {
    // Panels 300 and 180 pixels wide; the last one may run to the edge.
    EXPECT_EQ(edges[0], 300);
    EXPECT_EQ(edges[1], 480);
  }
  EXPECT_EQ(app_->WaitForPanel(0, L"Récepteur IR USB absent..."), L"Récepteur IR USB absent...");

  // The clock is refreshed by the periodic tick: wait for its first text.
  std::wstring clock;
  SYSTEMTIME before{}, after{};
  bool matched = WaitUntil(
      [&] {
        GetLocalTime(&before);
        clock = app_->Panel(1);
        GetLocalTime(&after);
        return IsClockTextBetween(clock, before, after);
      },
      5s, 200ms);
  EXPECT_TRUE(matched) << "panel 1 reads \"" << ToUtf8(clock) << "\", the time is \""
                       << ToUtf8(ClockText(after)) << "\"";
}

TEST_F(MainWindow, SecondaryWindowsExistHidden) {
  DWORD pid = app_->process().pid();
  EXPECT_TRUE(app_->WaitForAllForms());
  std::string classes;
  for (HWND window : TopLevelWindows(pid)) classes += " " + ToUtf8(ClassName(window));
  for (const wchar_t* name :
       {L"TForm2", L"TForm3", L"TForm4", L"TForm5", L"TForm6", L"TForm7", L"TForm8", L"TForm9"}) {
    HWND window = FindTopLevel(pid, name);
    ASSERT_NE(window, nullptr) << ToUtf8(name) << " missing; the program's windows:" << classes;
    EXPECT_FALSE(IsWindowVisible(window)) << ToUtf8(name);
  }
  EXPECT_EQ(WindowText(FindTopLevel(pid, L"TForm2")), L"Port RS232 physique ou virtuel USB");
  EXPECT_EQ(WindowText(FindTopLevel(pid, L"TForm3")), L"Paramètres");
  EXPECT_EQ(WindowText(FindTopLevel(pid, L"TForm8")), L"A propos de...");
  EXPECT_EQ(WindowText(FindTopLevel(pid, L"TForm9")), L"Touches à envoyer");
}

// The tests find controls by their names in the layout tables: every row
// that is a window of its own is found, each as a window of its own.
TEST_F(MainWindow, EveryControlWindowIsFoundByItsName) {
  DWORD pid = app_->process().pid();
  ASSERT_TRUE(app_->WaitForAllForms());
  for (const wchar_t* form_class : {L"TForm1", L"TForm2", L"TForm3", L"TForm4", L"TForm5",
                                    L"TForm6", L"TForm7", L"TForm8", L"TForm9"}) {
    HWND form = FindTopLevel(pid, form_class);
    ASSERT_NE(form, nullptr) << ToUtf8(form_class);
    // (The forms of features still to come have no controls yet.)
    std::map<std::string, HWND> windows = ControlWindows(form);
    std::set<HWND> distinct;
    for (const std::string& name : WindowControlNames(form_class)) {
      auto window = windows.find(name);
      EXPECT_NE(window, windows.end()) << ToUtf8(form_class) << " " << name << " has no window";
      if (window == windows.end()) continue;
      EXPECT_TRUE(distinct.insert(window->second).second)
          << ToUtf8(form_class) << " " << name << " is the window of another control";
    }
  }
  HWND switch_window = app_->Control("RxSwitch5");
  EXPECT_NE(switch_window, nullptr);
  EXPECT_EQ(ControlWindows(app_->main_window())["RxSwitch5"], switch_window);
  EXPECT_GT(WindowControlNames(L"TForm1").size(), 500u);
  EXPECT_EQ(FindControl(app_->main_window(), "NoSuchControl"), nullptr);
  // Menu entries and tool buttons are no windows.
  EXPECT_EQ(FindControl(app_->main_window(), "Fichier1"), nullptr);
  EXPECT_EQ(FindControl(app_->main_window(), "ToolButton2"), nullptr);
  EXPECT_EQ(ClassName(app_->Control("StatusBar1")), L"msctls_statusbar32");
  EXPECT_EQ(WindowText(app_->Control(L"TForm7", "Button1")), L"&Ok");
}

TEST(ProgrammeFile, ItsCodesAppearInTheCodeLabels) {
  ProgramDir dir(CurrentTestDirName());
  dir.InstallProgram();
  std::vector<std::string> table = ValidProgramme();
  table[22] = "4242";  // Windows tab, "Explorateur Windows"
  table[29] = "0";     // a cleared code
  dir.WriteFile(L"programme_IR.inf", Lines(table));
  TalvoroApp app(dir);
  ASSERT_TRUE(app.WaitUntilShown());

  // The code labels of the two actions, and no other control, show them.
  EXPECT_EQ(WindowText(app.Control("Label23")), L"IR: 4242");
  EXPECT_EQ(WindowText(app.Control("Label20")), L"IR: 0");
  int learned = 0, cleared = 0;
  for (HWND control : Descendants(app.main_window(), nullptr)) {
    std::wstring text = WindowText(control);
    if (text == L"IR: 4242") ++learned;
    if (text == L"IR: 0") ++cleared;
  }
  EXPECT_EQ(learned, 1);
  EXPECT_EQ(cleared, 1);
  EXPECT_TRUE(app.Quit());
}

// The controls of a page come when the page is first shown, and a dialog's
// when it is first opened, each with the state the program gave it meanwhile.
TEST(LazyControls, APageShownLaterHasTheStateItsControlsTookWhileItWasNot) {
  constexpr int kWinampToggle = 5201;  // slot 52
  ProgramDir dir(CurrentTestDirName());
  dir.InstallProgram();
  std::vector<std::string> table = ValidProgramme();
  table[52] = std::to_string(kWinampToggle);
  table[22] = "4242";  // Windows tab, "Explorateur Windows"
  dir.WriteFile(L"programme_IR.inf", Lines(table));
  TalvoroApp app(dir, L"/simulate");
  ASSERT_TRUE(app.WaitUntilShown());
  ASSERT_TRUE(app.WaitForAllForms());
  const HWND main = app.main_window();
  const DWORD pid = app.process().pid();

  // The page shown has its controls; the others are empty pages so far, and
  // the dialogs not opened yet have none.
  EXPECT_NE(FindBuiltControl(main, "RxSwitch1"), nullptr);
  const HWND winamp_page = FindBuiltControl(main, "TabSheet4");
  ASSERT_NE(winamp_page, nullptr);
  EXPECT_FALSE(IsWindowVisible(winamp_page));
  EXPECT_EQ(FindBuiltControl(main, "RxSwitch7"), nullptr);
  EXPECT_EQ(FindBuiltControl(main, "Label23"), nullptr);
  const HWND about = FindTopLevel(pid, L"TForm8");
  ASSERT_NE(about, nullptr);
  EXPECT_EQ(FindBuiltControl(about, "Button1"), nullptr);

  // The remote turns Winamp on while its page has never been shown.
  IrsimResult plug = RunIrsim(dir, L"plug");
  ASSERT_TRUE(plug.finished && plug.exit_code == 0) << plug.output;
  IrsimResult sent = RunIrsim(dir, L"send " + std::to_wstring(kWinampToggle));
  ASSERT_TRUE(sent.finished && sent.exit_code == 0) << sent.output;

  ASSERT_TRUE(SelectPage(app.process().handle(), main, "TabSheet4"));
  const HWND winamp_switch = FindBuiltControl(main, "RxSwitch7");
  ASSERT_NE(winamp_switch, nullptr);
  EXPECT_TRUE(WaitUntil([&] { return ReadSwitch(winamp_switch) == SwitchFace::On; }, 10s));
  EXPECT_TRUE(WaitUntil(
      [&] { return ShowsPicture(FindBuiltControl(main, "Led4"), dir.File(L"ledon.bmp")); }, 10s));
  // A label of another page takes its text, and its size from it, when made.
  ASSERT_TRUE(SelectPage(app.process().handle(), main, "TabSheet2"));
  const HWND code_label = FindBuiltControl(main, "Label23");
  ASSERT_NE(code_label, nullptr);
  EXPECT_EQ(WindowText(code_label), L"IR: 4242");
  EXPECT_GT(ClientSize(code_label).cx, 0);

  // Looking controls up by name has the program make all of them.
  EXPECT_NE(FindControl(about, "Button1"), nullptr);
  EXPECT_FALSE(IsWindowVisible(about));
  EXPECT_TRUE(app.Quit());
}

TEST_F(MainWindow, Screenshot) {
  const std::wstring& folder = TestPaths().screenshots;
  ASSERT_FALSE(folder.empty()) << "TALVORO_E2E_SCREENSHOTS is not set";
  // Let the first clock tick and the lamps paint before taking the picture.
  WaitUntil([&] { return !app_->Panel(1).empty(); }, 5s);
  Sleep(500);
  EXPECT_TRUE(SaveScreenshot(app_->main_window(), folder + L"\\main_window.bmp"));
}

}  // namespace
}  // namespace e2e
