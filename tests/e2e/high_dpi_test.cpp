// The program on a screen of 144 dots per inch (150 %), on a screen whose
// scale changes while it runs, and on two monitors: Wine reads the density
// of its windows from the user's "LogPixels" value when a program starts,
// so each test sets it, starts the program, and puts the previous value
// back. These tests run in a Wine prefix of their own, so that a run cut
// short can never leave another test on a dense screen.
#include <gtest/gtest.h>

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

#include <map>
#include <optional>
#include <string>

#include "harness.h"
#include "remote_fixture.h"
#include "tables.h"
#include "ui/forms/forms.h"

namespace e2e {
namespace {

using namespace std::chrono_literals;

constexpr wchar_t kDesktopKey[] = L"Control Panel\\Desktop";
constexpr wchar_t kLogPixels[] = L"LogPixels";

std::optional<DWORD> ReadLogPixels() {
  DWORD value = 0;
  DWORD size = sizeof value;
  if (RegGetValueW(HKEY_CURRENT_USER, kDesktopKey, kLogPixels, RRF_RT_REG_DWORD, nullptr, &value,
                   &size) != ERROR_SUCCESS)
    return std::nullopt;
  return value;
}

bool WriteLogPixels(std::optional<DWORD> value) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, kDesktopKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS)
    return false;
  LSTATUS status = ERROR_SUCCESS;
  if (value) {
    status = RegSetValueExW(key, kLogPixels, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&*value),
                            sizeof *value);
  } else {
    status = RegDeleteValueW(key, kLogPixels);
    if (status == ERROR_FILE_NOT_FOUND) status = ERROR_SUCCESS;
  }
  RegCloseKey(key);
  return status == ERROR_SUCCESS;
}

// A control's rectangle in its parent window's client area.
RECT RectInParent(HWND control) {
  RECT rect{};
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

// 96 dpi pixels at 144 dpi, rounded as the program rounds (halves up).
int At144(int logical) {
  return (logical * 3 + 1) / 2;
}

::testing::AssertionResult Scaled(const RECT& at96, const RECT& at144) {
  const RECT expected{At144(at96.left), At144(at96.top), At144(at96.right), At144(at96.bottom)};
  // One pixel either way: a control's place is scaled as a whole, its width
  // and height on their own.
  auto close_to = [](LONG a, LONG b) { return a - b <= 1 && b - a <= 1; };
  if (close_to(expected.left, at144.left) && close_to(expected.top, at144.top) &&
      close_to(expected.right, at144.right) && close_to(expected.bottom, at144.bottom))
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "expected about (" << expected.left << ", " << expected.top << ", " << expected.right
         << ", " << expected.bottom << "), got (" << at144.left << ", " << at144.top << ", "
         << at144.right << ", " << at144.bottom << ")";
}

// Controls whose table box the window keeps as it is (no label, which
// follows its text): a switch on a page, a panel, a speed button in a
// panel, the page control and the tool bar.
const char* const kCheckedControls[] = {"RxSwitch1", "Panel1", "SpeedButton1", "PageControl1",
                                        "ToolBar1"};

struct Look {
  SIZE client{};
  std::map<std::string, RECT> rects;
  std::vector<int> status_edges;
  SIZE text{};  // a label sized to its text: "Activer les codes IR programmés"
};

class HighDpi : public ::testing::Test {
 protected:
  void SetUp() override {
    // This process reads the program's windows and the screen in pixels.
    SetProcessDPIAware();
    saved_ = ReadLogPixels();
    dir_.InstallProgram();
  }
  void TearDown() override {
    if (app_) app_->Quit();
    EXPECT_TRUE(WriteLogPixels(saved_)) << "LogPixels could not be put back";
  }

  // Starts the program with the screen at `dpi` (nullopt: as the prefix has it).
  void Start(std::optional<DWORD> dpi) {
    if (app_) {
      ASSERT_TRUE(app_->Quit());
    }
    app_.reset();
    ASSERT_TRUE(WriteLogPixels(dpi));
    app_.emplace(dir_);
    ASSERT_TRUE(app_->WaitUntilShown());
    // The first clock tick and the lamps painted.
    WaitUntil([&] { return !app_->Panel(1).empty(); }, 5s);
  }

  Look Read() {
    Look look;
    look.client = ClientSize(app_->main_window());
    for (const char* name : kCheckedControls) {
      HWND control = app_->Control(name);
      EXPECT_NE(control, nullptr) << name;
      if (control) look.rects[name] = RectInParent(control);
    }
    HWND status = app_->status_bar();
    if (status) {
      StatusBarParts(app_->process().handle(), status, &look.status_edges);
    }
    if (HWND label = app_->Control("LabelAct1")) look.text = ClientSize(label);
    return look;
  }

  void Screenshot(const wchar_t* name) const {
    const std::wstring& folder = TestPaths().screenshots;
    if (folder.empty()) return;
    Sleep(500);
    EXPECT_TRUE(SaveScreenshot(app_->main_window(), folder + L"\\" + name + L".bmp"));
  }

  static void ExpectScaled(const Look& at96, const Look& at144) {
    EXPECT_EQ(at144.client.cx, 1056);
    EXPECT_EQ(at144.client.cy, 770);
    for (const auto& [name, rect] : at96.rects) {
      auto it = at144.rects.find(name);
      ASSERT_NE(it, at144.rects.end()) << name;
      EXPECT_TRUE(Scaled(rect, it->second)) << name;
    }
    // The status panels' edges (the last one runs to the window's edge).
    ASSERT_EQ(at96.status_edges.size(), at144.status_edges.size());
    for (std::size_t n = 0; n + 1 < at96.status_edges.size(); ++n)
      EXPECT_EQ(at144.status_edges[n], At144(at96.status_edges[n])) << "panel " << n;
    // The text grew with the screen (its font is about half as large again).
    EXPECT_GE(at144.text.cx * 10, at96.text.cx * 13) << at96.text.cx << " -> " << at144.text.cx;
    EXPECT_GE(at144.text.cy * 10, at96.text.cy * 13) << at96.text.cy << " -> " << at144.text.cy;
  }

  std::optional<DWORD> saved_;
  ProgramDir dir_{CurrentTestDirName()};
  std::optional<TalvoroApp> app_;
};

TEST_F(HighDpi, MainWindowIsDrawnLargerAt144Dpi) {
  Start(96);
  const Look at96 = Read();
  EXPECT_EQ(at96.client.cx, 704);
  EXPECT_EQ(at96.client.cy, 513);
  Screenshot(L"main_window_96dpi");
  ASSERT_TRUE(app_->SelectPage("TabSheet3"));
  Screenshot(L"media_page_96dpi");

  Start(144);
  const Look at144 = Read();
  ExpectScaled(at96, at144);
  Screenshot(L"main_window_144dpi");
  // Pages with pictures (the media buttons' pictograms, the launcher's
  // digits on their own faces), for a look.
  ASSERT_TRUE(app_->SelectPage("TabSheet3"));
  Screenshot(L"media_page_144dpi");
  ASSERT_TRUE(app_->SelectPage("TabSheet12"));
  Screenshot(L"launcher_page_144dpi");

  // The about box gives the screen's resolution in its own pixels, not in
  // the layout's.
  ASSERT_TRUE(app_->MenuCommand("Aproposde1"));
  HWND about = app_->Form(L"TForm8");
  ASSERT_TRUE(WaitUntil([&] { return about && IsWindowVisible(about); }, 10s));
  EXPECT_EQ(WindowText(app_->Control(L"TForm8", "Label8")),
            std::to_wstring(GetSystemMetrics(SM_CXSCREEN)) + L" x " +
                std::to_wstring(GetSystemMetrics(SM_CYSCREEN)));
  const std::wstring& folder = TestPaths().screenshots;
  if (!folder.empty()) {
    Sleep(300);
    EXPECT_TRUE(SaveScreenshot(about, folder + L"\\about_box_144dpi.bmp"));
  }
}

TEST_F(HighDpi, TheSettingsDialogIsScaledToo) {
  Start(144);
  ASSERT_TRUE(app_->MenuCommand("Paramtres1"));
  HWND settings = app_->Form(L"TForm3");
  ASSERT_TRUE(WaitUntil([&] { return settings && IsWindowVisible(settings); }, 10s));
  const talvoro::ui::ControlSpec& table = talvoro::ui::SettingsLayout().controls[0];
  const SIZE client = ClientSize(settings);
  EXPECT_EQ(client.cx, At144(table.w));
  EXPECT_EQ(client.cy, At144(table.h));
  const std::wstring& folder = TestPaths().screenshots;
  if (!folder.empty()) {
    Sleep(300);
    EXPECT_TRUE(SaveScreenshot(settings, folder + L"\\settings_dialog_144dpi.bmp"));
  }
}

TEST_F(HighDpi, ADensityChangeLaysTheOpenWindowOutAgain) {
  Start(144);
  const Look fresh = Read();
  Start(96);
  const Look at96 = Read();
  // What the system sends when the window moves to a monitor of another
  // density; without a suggested frame the window keeps its place.
  DWORD_PTR result = 0;
  ASSERT_NE(SendMessageTimeoutW(app_->main_window(), WM_DPICHANGED, MAKEWPARAM(144, 144), 0,
                                SMTO_ABORTIFHUNG, 10000, &result),
            0);
  const Look moved = Read();
  ExpectScaled(at96, moved);
  // Laid out again exactly as when started at that density.
  for (const auto& [name, rect] : fresh.rects)
    EXPECT_TRUE(EqualRect(&rect, &moved.rects.at(name))) << name;
  EXPECT_EQ(moved.status_edges, fresh.status_edges);
  Screenshot(L"main_window_96dpi_moved_to_144dpi");
}

// The program driven by the remote, started with the screen at `Dpi` dots
// per inch.
template <DWORD Dpi>
class RemoteAt : public RemoteControlTest {
 protected:
  static constexpr int kToggle = 4501;  // Windows Media Player's toggle, slot 45

  void SetUp() override {
    SetProcessDPIAware();
    saved_ = ReadLogPixels();
    ASSERT_TRUE(WriteLogPixels(Dpi));
    RemoteControlTest::SetUp();
  }
  void TearDown() override {
    RemoteControlTest::TearDown();
    EXPECT_TRUE(WriteLogPixels(saved_)) << "LogPixels could not be put back";
  }

  // Starts the program with the OSD on at `position` (settings entry 7) and
  // `screen` in settings entry 11.
  void StartWithOsd(const char* position, const char* screen = "") {
    std::vector<std::string> programme = ValidProgramme();
    programme[45] = std::to_string(kToggle);
    std::vector<std::string> settings = EmptySettings();
    settings[5] = "OSD_ON";
    settings[6] = position;
    settings[10] = screen;
    Start(programme, settings);
    ASSERT_TRUE(app_->ClickToolButton("ToolButton2"));  // "Réduire"
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(app_->main_window()); }, kWait));
  }

  // The remote toggles the player's codes: where the on-screen display
  // showed, once the program is done with the code.
  std::optional<RECT> Announce() {
    HWND osd = app_->Form(L"TForm5");
    if (!osd) return std::nullopt;
    ShowWatch watch(osd);
    if (!Send(kToggle) || !watch.WaitShown(kWait) || !app_->Sync()) return std::nullopt;
    RECT place{};
    GetWindowRect(osd, &place);
    return place;
  }

  std::optional<DWORD> saved_;
};

// The on-screen display, announced by the remote while the window is reduced.
class HighDpiOsd : public RemoteAt<144> {};

TEST_F(HighDpiOsd, LandsWhereItsFormulaPutsItOnTheScreensPixels) {
  StartWithOsd("POSI_OSD_HG");  // top left: a sixteenth of the screen's width in from both edges
  const std::optional<RECT> place = Announce();
  ASSERT_TRUE(place) << "no on-screen display";
  // The formula works on the screen in layout pixels (1280 / 1.5 = 853,
  // 853 / 16 = 53); 53 layout pixels are 80 of the screen's, its sixteenth.
  const int margin = GetSystemMetrics(SM_CXSCREEN) / 16;
  EXPECT_NEAR(place->left, margin, 1);
  EXPECT_NEAR(place->top, margin, 1);
  HWND osd = app_->Form(L"TForm5");
  const talvoro::ui::ControlSpec& table = talvoro::ui::OsdLayout().controls[0];
  const SIZE client = ClientSize(osd);
  EXPECT_EQ(client.cx, At144(table.w));
  EXPECT_EQ(client.cy, At144(table.h));
  Sleep(100);  // its first paint
  const std::wstring& folder = TestPaths().screenshots;
  if (!folder.empty() && IsWindowVisible(osd)) {
    EXPECT_TRUE(SaveScreenshot(osd, folder + L"\\osd_144dpi.bmp"));
  }
}

// The scale goes from 100 % to 150 % while the program runs (docking, a
// remote-desktop reconnection, the user's slider): the hidden on-screen
// display is told, as Windows tells the windows of the monitor. Run on a
// 1920 x 1080 screen (CMakeLists.txt).
class ScaleChange : public RemoteAt<96> {};

TEST_F(ScaleChange, TheOsdStaysInsideTheScreenAndAHiddenDialogTakesTheNewSize) {
  const int width = GetSystemMetrics(SM_CXSCREEN);
  ASSERT_LT(GetSystemMetrics(SM_CYSCREEN) * 4, width * 3) << "a wide screen is needed";
  StartWithOsd("POSI_OSD_HD");
  HWND osd = app_->Form(L"TForm5");
  ASSERT_NE(osd, nullptr);
  DWORD_PTR result = 0;
  ASSERT_NE(SendMessageTimeoutW(osd, WM_DPICHANGED, MAKEWPARAM(144, 144), 0, SMTO_ABORTIFHUNG,
                                10000, &result),
            0);

  const std::optional<RECT> place = Announce();
  ASSERT_TRUE(place) << "no on-screen display";
  const talvoro::ui::ControlSpec& osd_table = talvoro::ui::OsdLayout().controls[0];
  EXPECT_EQ(ClientSize(osd).cx, At144(osd_table.w));
  // Top right, inside the screen: the right margin is a thirty-second of the
  // screen's width and the top one a sixteenth, as at 100 %.
  EXPECT_LE(place->right, width);
  EXPECT_NEAR(width - place->right, width / 32, 2);
  EXPECT_NEAR(place->top, width / 16, 1);

  // The settings dialog, hidden all along, was never told: shown, it follows
  // its monitor.
  ASSERT_TRUE(app_->MenuCommand("Paramtres1"));
  ASSERT_TRUE(WaitForForm(L"TForm3", true));
  const talvoro::ui::ControlSpec& dialog_table = talvoro::ui::SettingsLayout().controls[0];
  const SIZE client = ClientSize(app_->Form(L"TForm3"));
  EXPECT_EQ(client.cx, At144(dialog_table.w));
  EXPECT_EQ(client.cy, At144(dialog_table.h));
}

// Two monitors (CMakeLists.txt): a 1920 x 1080 primary and a 2560 x 1440
// second one. Xvfb lays both at the origin, so the second reaches right of
// and below the primary; a window there lies on the second alone.
class Monitors : public RemoteAt<96> {};

TEST_F(Monitors, TheOsdShowsOnTheMonitorOfTheWindowInFrontWhenAsked) {
  ASSERT_EQ(GetSystemMetrics(SM_CMONITORS), 2) << "two monitors are needed";
  StartWithOsd("POSI_OSD_HD", "OSD_ECRAN_ACTIF");
  // The application the user watches, on the second monitor only.
  KeyRecorder front(dir_.File(L"front.txt"), L"Film");
  ASSERT_TRUE(front.WaitReady());
  ASSERT_TRUE(WaitUntil([&] { return front.window() != nullptr; }, kWait));
  const int primary_width = GetSystemMetrics(SM_CXSCREEN);
  ASSERT_TRUE(
      SetWindowPos(front.window(), HWND_TOP, primary_width + 100, 100, 400, 300, SWP_SHOWWINDOW));
  SetForegroundWindow(front.window());
  ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == front.window(); }, kWait));
  MONITORINFO second{};
  second.cbSize = sizeof second;
  ASSERT_TRUE(GetMonitorInfoW(MonitorFromWindow(front.window(), MONITOR_DEFAULTTONULL), &second));
  ASSERT_FALSE(second.dwFlags & MONITORINFOF_PRIMARY);
  const int width = second.rcMonitor.right - second.rcMonitor.left;

  const std::optional<RECT> place = Announce();
  ASSERT_TRUE(place) << "no on-screen display";
  // Top right of the second monitor, past the primary's right edge.
  EXPECT_GT(place->left, primary_width);
  EXPECT_NEAR(second.rcMonitor.right - place->right, width / 32, 1);
  EXPECT_EQ(place->top, second.rcMonitor.top + width / 16);
}

}  // namespace
}  // namespace e2e
