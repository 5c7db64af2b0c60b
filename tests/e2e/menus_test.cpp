// The menus and the help of the real program: the notification icon's
// callback message opens the tray menu and keys choose its entries; a right
// click opens the window menu; the menu bar opens from the keyboard; the help
// opens its page in a stand-in browser registered for ".html". Each open
// menu is captured (build/screenshots/menu_*.png).
#include <gtest/gtest.h>

#include <cctype>
#include <optional>
#include <string>
#include <vector>

#include "harness.h"
#include "tables.h"

namespace e2e {
namespace {

using namespace std::chrono_literals;

// The message the notification icon sends the main window (WM_USER + 100);
// its lParam is the mouse message that happened over the icon.
constexpr UINT kNotifyCallback = WM_USER + 100;

// Sets the default value of the key Software\\Classes\\<key> for the current
// user (and, under Wine 8, whose shell reads associations from the machine's
// classes only, for the machine too) while the object lives; what was there
// before comes back with its end.
class ClassesValue {
 public:
  ClassesValue(const std::wstring& key, const std::wstring& value) : key_(key) {
    roots_.push_back({HKEY_CURRENT_USER, std::nullopt, L""});
    if (UnderWine()) roots_.push_back({HKEY_LOCAL_MACHINE, std::nullopt, L""});
    ok_ = true;
    for (Root& root : roots_) {
      root.previous = ReadDefault(root.hive, key_);
      root.created = FirstMissing(root.hive, key_);
      ok_ = ok_ && SetDefault(root.hive, key_, value);
    }
  }
  ~ClassesValue() {
    for (const Root& root : roots_) {
      if (root.previous)
        SetDefault(root.hive, key_, *root.previous);
      else if (!root.created.empty())
        RegDeleteTreeW(root.hive, (kClasses + root.created).c_str());
    }
  }
  ClassesValue(const ClassesValue&) = delete;
  ClassesValue& operator=(const ClassesValue&) = delete;
  bool ok() const { return ok_; }

 private:
  static constexpr const wchar_t* kClasses = L"Software\\Classes\\";
  struct Root {
    HKEY hive;
    std::optional<std::wstring> previous;  // the value before, if there was one
    std::wstring created;                  // the first key of the path made here
  };
  static bool Exists(HKEY hive, const std::wstring& key) {
    HKEY handle = nullptr;
    if (RegOpenKeyExW(hive, (kClasses + key).c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
      return false;
    RegCloseKey(handle);
    return true;
  }
  static std::wstring FirstMissing(HKEY hive, const std::wstring& key) {
    for (std::size_t end = 0; end != std::wstring::npos;) {
      end = key.find(L'\\', end + 1);
      const std::wstring prefix = key.substr(0, end);
      if (!Exists(hive, prefix)) return prefix;
    }
    return L"";
  }
  static std::optional<std::wstring> ReadDefault(HKEY hive, const std::wstring& key) {
    wchar_t value[512] = {};
    DWORD size = sizeof value;
    if (RegGetValueW(hive, (kClasses + key).c_str(), nullptr, RRF_RT_REG_SZ, nullptr, value,
                     &size) != ERROR_SUCCESS)
      return std::nullopt;
    return std::wstring(value);
  }
  static bool SetDefault(HKEY hive, const std::wstring& key, const std::wstring& value) {
    HKEY handle = nullptr;
    if (RegCreateKeyExW(hive, (kClasses + key).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &handle,
                        nullptr) != ERROR_SUCCESS)
      return false;
    const LONG result =
        RegSetValueExW(handle, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(handle);
    return result == ERROR_SUCCESS;
  }
  std::wstring key_;
  std::vector<Root> roots_;
  bool ok_ = false;
};

// Makes `browser` the program the shell opens ".html" files with.
class HtmlBrowserStandIn {
 public:
  explicit HtmlBrowserStandIn(const std::wstring& browser)
      : command_(std::wstring(kProgId) + L"\\shell\\open\\command", L"\"" + browser + L"\" \"%1\""),
        extension_(L".html", kProgId) {}
  bool ok() const { return command_.ok() && extension_.ok(); }

 private:
  static constexpr const wchar_t* kProgId = L"TalvoroE2E.HtmlPage";
  ClassesValue command_;
  ClassesValue extension_;
};

class Menus : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_.InstallProgram();
    dir_.WriteFile(L"programme_IR.inf", Lines(ValidProgramme()));
    dir_.WriteFile(L"parametres.inf", Lines(EmptySettings()));
    app_.emplace(dir_);
    ASSERT_TRUE(app_->WaitUntilShown());
    ASSERT_TRUE(app_->WaitForAllForms());
  }
  void TearDown() override {
    if (!app_ || !app_->process().Running()) return;
    // A menu left open would hold the close box's message back.
    if (VisibleMenuWindow(pid())) PostMessageW(main(), WM_CANCELMODE, 0, 0);
    EXPECT_TRUE(app_->Quit());
  }

  HWND main() const { return app_->main_window(); }
  DWORD pid() { return app_->process().pid(); }
  HWND WaitForMenu() {
    HWND menu = nullptr;
    WaitUntil([&] { return (menu = VisibleMenuWindow(pid())) != nullptr; }, 10s);
    return menu;
  }
  bool WaitMenuGone() {
    return WaitUntil([&] { return VisibleMenuWindow(pid()) == nullptr; }, 10s);
  }
  // Saves what the screen shows over `rect` as build/screenshots/<name>.png.
  static void Screenshot(const RECT& rect, const wchar_t* name) {
    const std::wstring& folder = TestPaths().screenshots;
    if (folder.empty()) return;
    auto shot = CaptureRect(rect);
    ASSERT_TRUE(shot.has_value());
    EXPECT_TRUE(SaveBmp(*shot, folder + L"\\" + name + L".bmp"));
  }
  // The window and its open menu in one picture.
  void ScreenshotWithMenu(HWND menu, const wchar_t* name) {
    RECT window{}, popup{}, both{};
    GetWindowRect(main(), &window);
    GetWindowRect(menu, &popup);
    UnionRect(&both, &window, &popup);
    Screenshot(both, name);
  }
  bool Reduce() {
    return app_->ClickToolButton("ToolButton2") &&
           WaitUntil([&] { return !IsWindowVisible(main()); }, 10s);
  }

  ProgramDir dir_{CurrentTestDirName()};
  std::optional<TalvoroApp> app_;
};

TEST_F(Menus, TheTrayMenuOpensOnARightPressOnTheIconAndItsEntriesWork) {
  ASSERT_TRUE(Reduce());
  // Every other mouse message over the icon is ignored.
  for (LPARAM mouse : {WM_MOUSEMOVE, WM_RBUTTONUP, WM_LBUTTONUP, WM_RBUTTONDBLCLK})
    PostMessageW(main(), kNotifyCallback, 1, mouse);
  ASSERT_TRUE(app_->Sync());
  EXPECT_EQ(VisibleMenuWindow(pid()), nullptr);
  EXPECT_FALSE(IsWindowVisible(main()));

  // The foreground the menu needs is no activation by the user: the settings
  // file is not written (its time is set back first, so a rewrite shows).
  const FILETIME long_ago{0x2EC6C000u, 0x01D0A1B2u};
  dir_.SetWriteTime(L"parametres.inf", long_ago);
  const std::optional<std::string> settings = dir_.ReadFile(L"parametres.inf");
  PostMessageW(main(), kNotifyCallback, 1, WM_RBUTTONDOWN);
  HWND menu = WaitForMenu();
  ASSERT_NE(menu, nullptr) << "no tray menu";
  RECT rect{};
  GetWindowRect(menu, &rect);
  // Its top stands 105 pixels above the bottom of the screen; its left, 50
  // pixels from the right edge, is moved in so that the menu fits.
  EXPECT_EQ(rect.top, GetSystemMetrics(SM_CYSCREEN) - 105);
  EXPECT_LE(rect.left, GetSystemMetrics(SM_CXSCREEN) - 50);
  Screenshot(rect, L"menu_tray");

  // "Ne rien faire !", the last entry: the menu closes, nothing else.
  PostMessageW(main(), WM_KEYDOWN, VK_UP, 0);
  PostMessageW(main(), WM_CHAR, L'\r', 0);
  ASSERT_TRUE(WaitMenuGone());
  ASSERT_TRUE(app_->Sync());
  EXPECT_FALSE(IsWindowVisible(main()));
  EXPECT_TRUE(app_->process().Running());
  const std::optional<FILETIME> written = dir_.WriteTime(L"parametres.inf");
  ASSERT_TRUE(written.has_value());
  EXPECT_EQ(CompareFileTime(&*written, &long_ago), 0) << "the settings were written";
  EXPECT_EQ(dir_.ReadFile(L"parametres.inf"), settings);

  // "Restaurer", the second entry, brings the window back.
  PostMessageW(main(), kNotifyCallback, 1, WM_RBUTTONDOWN);
  ASSERT_NE(WaitForMenu(), nullptr);
  PostMessageW(main(), WM_KEYDOWN, VK_DOWN, 0);
  PostMessageW(main(), WM_KEYDOWN, VK_DOWN, 0);
  PostMessageW(main(), WM_CHAR, L'\r', 0);
  EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(main()); }, 10s)) << "not restored";
  EXPECT_TRUE(WaitMenuGone());
}

TEST_F(Menus, ARightClickOnTheWindowOpensTheWindowMenu) {
  // On a tab page, as the mouse delivers it: the page keeps no menu of its
  // own, so the click reaches the window.
  HWND page = app_->Control("TabSheet1");
  ASSERT_NE(page, nullptr);
  PressMouse(page, Mouse::Right);
  HWND menu = WaitForMenu();
  ASSERT_NE(menu, nullptr) << "no window menu";
  ScreenshotWithMenu(menu, L"menu_window");
  PostMessageW(main(), WM_CANCELMODE, 0, 0);
  EXPECT_TRUE(WaitMenuGone());
  EXPECT_TRUE(IsWindowVisible(main()));
}

TEST_F(Menus, TheMenuBarOpensItsFileMenu) {
  // Alt+F, as the keyboard would ask for it.
  PostMessageW(main(), WM_SYSCOMMAND, SC_KEYMENU, L'f');
  HWND menu = WaitForMenu();
  ASSERT_NE(menu, nullptr) << "the Fichier menu did not open";
  ScreenshotWithMenu(menu, L"menu_main");
  PostMessageW(main(), WM_CANCELMODE, 0, 0);
  EXPECT_TRUE(WaitMenuGone());
}

TEST_F(Menus, HelpOpensTheContentsPageBesideTheProgramInTheBrowser) {
  ASSERT_TRUE(dir_.Exists(L"help\\som.html")) << "the help pages were not installed";
  ASSERT_TRUE(CopyFileW(MarkerProgram().c_str(), dir_.File(L"browser.exe").c_str(), FALSE));
  HtmlBrowserStandIn browser(dir_.File(L"browser.exe"));
  ASSERT_TRUE(browser.ok());

  ASSERT_TRUE(app_->ClickToolButton("ToolButton6"));
  ASSERT_TRUE(WaitUntil([&] { return dir_.Exists(L"browser.exe.ran"); }, 30s))
      << "the browser was not started";
  const std::optional<std::string> command_line = dir_.ReadFile(L"browser.exe.ran");
  ASSERT_TRUE(command_line.has_value());
  // The page of the program's own folder, whichever way the shell wrote it.
  auto lower = [](std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
  };
  const std::string page = lower(ToUtf8(dir_.File(L"help\\som.html")));
  EXPECT_NE(lower(*command_line).find(page), std::string::npos) << *command_line;
  EXPECT_EQ(app_->MessageBoxWindow(), nullptr);
}

TEST_F(Menus, APressOnALinkLabelOpensTheApplicationsSiteInTheBrowser) {
  ASSERT_TRUE(CopyFileW(MarkerProgram().c_str(), dir_.File(L"browser.exe").c_str(), FALSE));
  ClassesValue https(L"https\\shell\\open\\command",
                     L"\"" + dir_.File(L"browser.exe") + L"\" \"%1\"");
  ASSERT_TRUE(https.ok());
  ASSERT_TRUE(app_->SelectPage("TabSheet13"));  // Prog DVB
  HWND label = app_->Control("Label_ProgDVB_web");
  ASSERT_NE(label, nullptr);
  PressMouse(label);
  ASSERT_TRUE(WaitUntil([&] { return dir_.Exists(L"browser.exe.ran"); }, 30s))
      << "the browser was not started";
  const std::optional<std::string> command_line = dir_.ReadFile(L"browser.exe.ran");
  ASSERT_TRUE(command_line.has_value());
  EXPECT_NE(command_line->find("https://www.progdvb.com/"), std::string::npos) << *command_line;
  EXPECT_EQ(app_->MessageBoxWindow(), nullptr);
}

TEST_F(Menus, AMissingHelpPageIsToldInAMessageBox) {
  ASSERT_TRUE(DeleteFileW(dir_.File(L"help\\som.html").c_str()));
  ASSERT_TRUE(app_->ClickToolButton("ToolButton6"));
  HWND box = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (box = app_->MessageBoxWindow()) != nullptr; }, 10s))
      << "no message about the missing page";
  const MessageBoxTexts texts = ReadMessageBox(box);
  EXPECT_EQ(texts.caption, L"Aide");
  EXPECT_NE(texts.message.find(L"est introuvable"), std::wstring::npos) << ToUtf8(texts.message);
  EXPECT_NE(texts.message.find(L"help\\som.html"), std::wstring::npos) << ToUtf8(texts.message);
  PressOk(box);
  EXPECT_TRUE(WaitUntil([&] { return app_->MessageBoxWindow() == nullptr; }, 10s));
  EXPECT_TRUE(app_->process().Running());
}

}  // namespace
}  // namespace e2e
