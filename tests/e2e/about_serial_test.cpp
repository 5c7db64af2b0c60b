// The about box and the serial port dialog of the real program: opened from
// their menu entries, their values filled, their buttons and their pictures.
#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>

#include "remote_fixture.h"

namespace e2e {
namespace {

using namespace std::chrono_literals;

std::wstring LocaleText(LCTYPE what) {
  wchar_t text[32] = {};
  GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, what, text, 32);
  return text;
}

// `digits` grouped by threes with `separator`, as a locale whose grouping is
// "3;0" writes them. (Wine's own GetNumberFormatEx groups only the last three
// digits, whatever the locale says, so it cannot serve as the reference.)
std::wstring GroupedByThrees(const std::wstring& digits, const std::wstring& separator) {
  std::wstring text;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) text += separator;
    text += digits[i];
  }
  return text;
}

std::vector<std::wstring> ComboItems(HWND combo) {
  std::vector<std::wstring> items;
  const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, i, 0);
    std::wstring text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, L'\0');
    SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()));
    text.resize(wcslen(text.c_str()));
    items.push_back(text);
  }
  return items;
}

// The user picks item `index` of a drop-down list: the list sends its parent
// CBN_SELCHANGE once the selection moved.
void ChooseItem(HWND combo, int index) {
  SendMessageW(combo, CB_SETCURSEL, index, 0);
  PostMessageW(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(combo));
}

RECT RectInClient(HWND control, HWND form) {
  RECT r{};
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// (panel width - text width) / 2 with halves to the even neighbour.
int CentredLeft(int panel, int text) {
  const int twice = panel - text;
  const int half = twice >= 0 ? twice / 2 : -((-twice + 1) / 2);
  if (twice % 2 == 0) return half;
  return half % 2 == 0 ? half : half + 1;
}

bool LessIgnoringCase(const std::wstring& a, const std::wstring& b) {
  return std::lexicographical_compare(
      a.begin(), a.end(), b.begin(), b.end(), [](wchar_t x, wchar_t y) {
        auto lower = [](wchar_t c) {
          return c >= L'A' && c <= L'Z' ? wchar_t(c - L'A' + L'a') : c;
        };
        return lower(x) < lower(y);
      });
}

constexpr wchar_t kSerialMap[] = L"HARDWARE\\DEVICEMAP\\SERIALCOMM";

// Two ports of the test's own in the machine's serial device map, removed
// again at the end. The map lives in the volatile part of the registry.
class TestPorts {
 public:
  TestPorts() {
    DWORD disposition = 0;
    status_ = RegCreateKeyExW(HKEY_LOCAL_MACHINE, kSerialMap, 0, nullptr, REG_OPTION_VOLATILE,
                              KEY_READ | KEY_SET_VALUE, nullptr, &key_, &disposition);
    if (status_ != ERROR_SUCCESS) return;
    for (const auto& [name, port] : kPorts) {
      const std::wstring data = port;
      status_ = RegSetValueExW(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                               static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
      if (status_ != ERROR_SUCCESS) return;
    }
  }
  ~TestPorts() {
    if (!key_) return;
    for (const auto& [name, port] : kPorts) RegDeleteValueW(key_, name);
    RegCloseKey(key_);
  }
  LONG status() const { return status_; }
  // Every port the map lists now, sorted as the dialog sorts them.
  std::vector<std::wstring> AllSorted() const {
    std::vector<std::wstring> ports;
    for (DWORD i = 0;; ++i) {
      wchar_t name[256];
      BYTE data[512];
      DWORD name_size = 256;
      DWORD data_size = sizeof(data);
      if (RegEnumValueW(key_, i, name, &name_size, nullptr, nullptr, data, &data_size) !=
          ERROR_SUCCESS)
        break;
      std::wstring port(reinterpret_cast<const wchar_t*>(data), data_size / sizeof(wchar_t));
      while (!port.empty() && port.back() == L'\0') port.pop_back();
      ports.push_back(port);
    }
    std::stable_sort(ports.begin(), ports.end(), LessIgnoringCase);
    return ports;
  }

  static constexpr std::pair<const wchar_t*, const wchar_t*> kPorts[] = {
      {L"\\Device\\TalvoroTest0", L"com2"},
      {L"\\Device\\TalvoroTest1", L"COM12"},
  };

 private:
  HKEY key_ = nullptr;
  LONG status_ = ERROR_SUCCESS;
};

class AboutAndSerial : public RemoteControlTest {};

TEST_F(AboutAndSerial, TheAboutBoxOpensFromTheHelpMenuWithTheComputersValues) {
  Start(ValidProgramme());
  HWND about = app_->Form(L"TForm8");
  ASSERT_NE(about, nullptr);
  ASSERT_FALSE(IsWindowVisible(about));
  ASSERT_TRUE(app_->MenuCommand("Aproposde1"));
  ASSERT_TRUE(WaitForForm(L"TForm8", true));
  ASSERT_TRUE(app_->Sync());
  EXPECT_TRUE(Topmost(about)) << "the about box does not stay on top";
  EXPECT_EQ(WindowText(about), L"A propos de...");
  // Not modal: the main window still takes input.
  EXPECT_TRUE(IsWindowEnabled(app_->main_window()));

  MEMORYSTATUSEX memory{};
  memory.dwLength = sizeof(memory);
  ASSERT_TRUE(GlobalMemoryStatusEx(&memory));
  const unsigned long long kilobytes = (memory.ullTotalPhys + 512) / 1024;
  HWND value = app_->Control(L"TForm8", "Label6");
  ASSERT_NE(value, nullptr);
  EXPECT_TRUE(WaitUntil([&] { return !WindowText(value).empty(); }, kWait));
  // The separator as the locale gives it, every three digits.
  const std::wstring grouping = LocaleText(LOCALE_SGROUPING);
  ASSERT_EQ(grouping, L"3;0") << "a locale this test does not know how to group for";
  EXPECT_EQ(WindowText(value),
            GroupedByThrees(std::to_wstring(kilobytes), LocaleText(LOCALE_STHOUSAND)) + L" Ko");

  const std::wstring load = WindowText(app_->Control(L"TForm8", "Label7"));
  ASSERT_GE(load.size(), 3u) << ToUtf8(load);
  EXPECT_EQ(load.substr(load.size() - 2), L" %");
  const int percent = _wtoi(load.c_str());
  EXPECT_TRUE(percent >= 0 && percent <= 100 && std::iswdigit(load[0])) << ToUtf8(load);

  EXPECT_EQ(WindowText(app_->Control(L"TForm8", "Label8")),
            std::to_wstring(GetSystemMetrics(SM_CXSCREEN)) + L" x " +
                std::to_wstring(GetSystemMetrics(SM_CYSCREEN)));
  HDC screen = GetDC(nullptr);
  const int bits = GetDeviceCaps(screen, BITSPIXEL);
  ReleaseDC(nullptr, screen);
  EXPECT_EQ(WindowText(app_->Control(L"TForm8", "Label9")), std::to_wstring(bits) + L" bits");
  EXPECT_EQ(WindowText(app_->Control(L"TForm8", "Label1")), L"Talvoro IR USB v2.0");
  Screenshot(about, L"about_box");

  HWND ok = app_->Control(L"TForm8", "Button1");
  ASSERT_NE(ok, nullptr);
  ClickButton(ok);
  EXPECT_TRUE(WaitForForm(L"TForm8", false));
  ASSERT_TRUE(app_->Sync());
  EXPECT_FALSE(Topmost(about)) << "the hidden about box still stays on top";

  // Opened again and closed by its close box.
  ASSERT_TRUE(app_->MenuCommand("Aproposde1"));
  ASSERT_TRUE(WaitForForm(L"TForm8", true));
  PostMessageW(about, WM_CLOSE, 0, 0);
  EXPECT_TRUE(WaitForForm(L"TForm8", false));
  ASSERT_TRUE(app_->Sync());
  EXPECT_FALSE(Topmost(about));
  EXPECT_TRUE(app_->process().Running());
}

TEST_F(AboutAndSerial, TheSerialDialogListsThePortsAndStoresTheChosenOne) {
  TestPorts ports;
  ASSERT_EQ(ports.status(), ERROR_SUCCESS) << "cannot write the serial device map";
  const std::vector<std::wstring> expected = ports.AllSorted();
  std::vector<std::string> settings = EmptySettings();
  settings[0] = "COM12";
  settings[1] = "0";  // first use
  Start(ValidProgramme(), settings);
  EXPECT_EQ(app_->MessageBoxWindow(), nullptr) << "an error box at start";

  HWND dialog = app_->Form(L"TForm2");
  ASSERT_NE(dialog, nullptr);
  HWND combo = app_->Control(L"TForm2", "ComboBox1");
  HWND label = app_->Control(L"TForm2", "Label1");
  ASSERT_NE(combo, nullptr);
  ASSERT_NE(label, nullptr);
  // Read at start: the list is there before the dialog is first shown.
  const std::vector<std::wstring> items = ComboItems(combo);
  EXPECT_EQ(items, expected);
  const auto com12 = std::find(items.begin(), items.end(), L"COM12");
  const auto com2 = std::find(items.begin(), items.end(), L"com2");
  ASSERT_NE(com12, items.end());
  ASSERT_NE(com2, items.end());
  EXPECT_LT(com12 - items.begin(), com2 - items.begin()) << "not sorted without regard to case";

  ASSERT_FALSE(IsWindowVisible(dialog));
  ASSERT_TRUE(app_->MenuCommand("Portsrie1"));
  ASSERT_TRUE(WaitForForm(L"TForm2", true));
  ASSERT_TRUE(app_->Sync());
  EXPECT_TRUE(Topmost(dialog)) << "the serial dialog does not stay on top";
  EXPECT_EQ(WindowText(dialog), L"Port RS232 physique ou virtuel USB");
  EXPECT_TRUE(WaitUntil(
      [&] { return WindowText(combo) == L"Cliquez sur la flèche de droite ------------>"; }, kWait))
      << ToUtf8(WindowText(combo));
  EXPECT_FALSE(IsWindowVisible(label));

  ChooseItem(combo, static_cast<int>(com2 - items.begin()));
  EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(label) != FALSE; }, kWait));
  ASSERT_TRUE(app_->Sync());
  EXPECT_EQ(WindowText(label), L"Vous avez sélectionné le port com2");
  RECT outer{};
  GetWindowRect(dialog, &outer);
  const RECT at = RectInClient(label, dialog);
  EXPECT_EQ(at.left, CentredLeft(outer.right - outer.left, at.right - at.left) - 4);
  EXPECT_EQ(WindowText(combo), L"com2");
  Screenshot(dialog, L"serial_dialog");

  HWND ok = app_->Control(L"TForm2", "SpeedButton1");
  ASSERT_NE(ok, nullptr);
  EXPECT_EQ(WindowText(ok), L"&Ok");
  ClickButton(ok);
  EXPECT_TRUE(WaitForForm(L"TForm2", false));
  ASSERT_TRUE(app_->Sync());
  EXPECT_FALSE(IsWindowVisible(label));
  EXPECT_FALSE(Topmost(dialog));

  // The settings reach the file when the main window is activated.
  SetForegroundWindow(app_->main_window());
  PostMessageW(app_->main_window(), WM_ACTIVATE, WA_ACTIVE, 0);
  std::optional<std::vector<std::string>> lines;
  EXPECT_TRUE(WaitUntil(
      [&] {
        auto bytes = dir_.ReadFile(L"parametres.inf");
        lines = bytes ? SplitCrLf(*bytes) : std::nullopt;
        return lines && lines->size() == 30 && (*lines)[0] == "com2";
      },
      kWait));
  ASSERT_TRUE(lines && lines->size() == 30);
  EXPECT_EQ((*lines)[0], "com2");
  EXPECT_EQ((*lines)[1], "1");

  // Opened again: the stored port, no prompt.
  ASSERT_TRUE(app_->MenuCommand("Portsrie1"));
  ASSERT_TRUE(WaitForForm(L"TForm2", true));
  ASSERT_TRUE(app_->Sync());
  EXPECT_EQ(WindowText(combo), L"com2");
}

}  // namespace
}  // namespace e2e
