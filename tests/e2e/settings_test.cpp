// The settings dialog (TForm3), opened from the toolbar: a mouse press on its
// box creates, then removes, the program's shortcut in the StartUp folder;
// "&Ok" stores the choices, which reach parametres.inf once the main window
// is active again. Screenshots of the three pages are left in
// build/screenshots/settings_*.png.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "harness.h"
#include "remote_fixture.h"
#include "tables.h"

namespace e2e {
namespace {

constexpr const wchar_t* kDialog = L"TForm3";
constexpr const wchar_t* kCreated = L"Un raccourci a été créé dans le menu 'Demarrage' de Windows";
constexpr const wchar_t* kRemoved =
    L"Le raccourci a été supprimé dans le menu 'Demarrage' de Windows";

class SettingsDialog : public RemoteControlTest {
 protected:
  void SetUp() override {
    RemoteControlTest::SetUp();
    folder_ = StartupFolder();
    ASSERT_FALSE(folder_.empty()) << "no StartUp folder in this session";
    link_ = folder_ + L"\\Talvoro_IR.exe.lnk";
    // A shortcut left by an earlier run would turn the first press into a removal.
    DeleteFileW(link_.c_str());
  }
  void TearDown() override {
    RemoteControlTest::TearDown();
    DeleteFileW(link_.c_str());
  }

  bool LinkExists() const { return GetFileAttributesW(link_.c_str()) != INVALID_FILE_ATTRIBUTES; }
  HWND Control(std::string_view name) const { return app_->Control(kDialog, name); }
  bool Checked(std::string_view name) const {
    DWORD_PTR state = 0;
    SendMessageTimeoutW(Control(name), BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 5000, &state);
    return state == BST_CHECKED;
  }
  ::testing::AssertionResult WaitChecked(std::string_view name, bool checked) const {
    if (WaitUntil([&] { return Checked(name) == checked; }, kWait))
      return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << name << " is still " << (checked ? "unchecked" : "checked");
  }

  // Space on a box, as typed: the box toggles itself, and the press of the
  // mouse that makes or removes the shortcut does not happen.
  ::testing::AssertionResult ToggleWithSpace(std::string_view name) const {
    const bool was = Checked(name);
    HWND box = Control(name);
    PostMessageW(box, WM_KEYDOWN, VK_SPACE, 0x00390001);
    PostMessageW(box, WM_KEYUP, VK_SPACE, 0xC0390001);
    return WaitChecked(name, !was);
  }

  // Opens the dialog from the toolbar and waits until it is shown.
  void Open() {
    ASSERT_TRUE(app_->ClickToolButton("ToolButton5"));
    ASSERT_TRUE(WaitForForm(kDialog, true));
    ASSERT_TRUE(app_->Sync());
  }

  // Presses the box and answers the message box it raises; returns its texts.
  MessageBoxTexts PressBoxAndAnswer() {
    PressMouse(Control("CheckBox1"));
    HWND box = app_->WaitForMessageBox(kWait);
    if (!box) return {L"<none>", L"<no message box>"};
    MessageBoxTexts texts = ReadMessageBox(box);
    PressOk(box);
    WaitUntil([&] { return app_->MessageBoxWindow() == nullptr; }, kWait);
    return texts;
  }

  // Settings entry `entry` (1..30) of parametres.inf.
  std::string Entry(int entry) const {
    auto bytes = dir_.ReadFile(L"parametres.inf");
    auto lines = bytes ? SplitCrLf(*bytes) : std::nullopt;
    if (!lines || lines->size() != static_cast<std::size_t>(kSettingsLines))
      return "<no valid settings file>";
    return (*lines)[static_cast<std::size_t>(entry - 1)];
  }

  void ScreenshotPage(std::string_view page, const std::wstring& name) {
    ASSERT_TRUE(e2e::SelectPage(app_->process().handle(), app_->Form(kDialog), page)) << page;
    ASSERT_TRUE(app_->Sync());
    Sleep(300);  // its first paint
    Screenshot(app_->Form(kDialog), name);
  }

  // The user comes back to the main window (Wine activates no other window
  // of the program when the dialog hides; Windows may).
  void ActivateMainWindow() const {
    if (GetForegroundWindow() != app_->main_window()) SetForegroundWindow(app_->main_window());
  }

  std::wstring folder_;
  std::wstring link_;
};

TEST_F(SettingsDialog, APressOnTheBoxCreatesTheStartUpShortcutAndASecondRemovesIt) {
  std::vector<std::string> settings = EmptySettings();
  settings[2] = "LANCE_OFF";
  Start(ValidProgramme(), settings);
  Open();
  HWND dialog = app_->Form(kDialog);
  EXPECT_EQ(WindowText(dialog), L"Paramètres");
  EXPECT_FALSE(Topmost(dialog));
  EXPECT_EQ(ClientSize(dialog).cx, 546);
  EXPECT_EQ(ClientSize(dialog).cy, 185);
  EXPECT_FALSE(Checked("CheckBox1"));
  ScreenshotPage("TabSheet1", L"settings_configuration");

  MessageBoxTexts created = PressBoxAndAnswer();
  EXPECT_EQ(created.caption, L"Information");
  EXPECT_EQ(created.message, kCreated);
  ASSERT_TRUE(LinkExists()) << ToUtf8(link_);
  // The box stays ticked: its own click toggle did not undo the press.
  EXPECT_TRUE(WaitChecked("CheckBox1", true));
  const std::optional<std::wstring> target = ShortcutTarget(link_);
  ASSERT_TRUE(target) << "the shortcut cannot be read";
  EXPECT_EQ(*target, dir_.File(L"Talvoro_IR.exe"));

  MessageBoxTexts removed = PressBoxAndAnswer();
  EXPECT_EQ(removed.message, kRemoved);
  EXPECT_FALSE(LinkExists());
  EXPECT_TRUE(WaitChecked("CheckBox1", false));
  // The dialog saves nothing by itself.
  EXPECT_EQ(Entry(3), "LANCE_OFF");
}

TEST_F(SettingsDialog, OkStoresTheChoicesOnceTheMainWindowIsActiveAgain) {
  std::vector<std::string> settings = EmptySettings();
  settings[2] = "LANCE_OFF";
  settings[5] = "OSD_OFF";
  settings[6] = "POSI_OSD_HG";
  Start(ValidProgramme(), settings);
  Open();
  // Activation shows the stored choices.
  EXPECT_FALSE(Checked("CheckBox1"));
  EXPECT_FALSE(Checked("CheckBox2"));
  EXPECT_FALSE(Checked("CheckBox3"));
  EXPECT_FALSE(Checked("RadioButton1"));
  EXPECT_TRUE(Checked("RadioButton2"));
  EXPECT_TRUE(Checked("RadioButton3"));
  EXPECT_FALSE(Checked("RadioButton7"));

  // Space on the box ticks it without a shortcut or a message.
  EXPECT_TRUE(ToggleWithSpace("CheckBox1"));
  EXPECT_TRUE(ToggleWithSpace("CheckBox2"));
  ASSERT_TRUE(app_->Sync());
  EXPECT_EQ(app_->MessageBoxWindow(), nullptr);
  EXPECT_FALSE(LinkExists());

  ScreenshotPage("TabSheet2", L"settings_osd");
  EXPECT_TRUE(ToggleWithSpace("CheckBox3"));
  ClickButton(Control("RadioButton1"));
  EXPECT_TRUE(WaitChecked("RadioButton1", true));
  EXPECT_FALSE(Checked("RadioButton2"));
  ScreenshotPage("TabSheet3", L"settings_position");
  ClickButton(Control("RadioButton7"));
  EXPECT_TRUE(WaitChecked("RadioButton7", true));
  EXPECT_FALSE(Checked("RadioButton3"));
  // The other page's group is untouched.
  EXPECT_TRUE(Checked("RadioButton1"));
  ASSERT_TRUE(app_->Sync());
  EXPECT_EQ(Entry(3), "LANCE_OFF");

  ClickButton(Control("Button2"));  // "&Ok"
  ASSERT_TRUE(WaitForForm(kDialog, false));
  ASSERT_TRUE(app_->Sync());
  // The main window saves the settings when it is activated again.
  ActivateMainWindow();
  EXPECT_TRUE(WaitUntil([&] { return Entry(3) == "LANCE_ON"; }, kWait)) << Entry(3);
  EXPECT_EQ(Entry(6), "OSD_ON");
  EXPECT_EQ(Entry(7), "POSI_OSD_BD");
  EXPECT_EQ(Entry(10), "ANTIREPET_ON");
  EXPECT_EQ(Entry(11), "OSD_ECRAN_ACTIF");
  EXPECT_FALSE(LinkExists());

  // The close box stores the same way.
  Open();
  ClickButton(Control("RadioButton5"));
  EXPECT_TRUE(WaitChecked("RadioButton5", true));
  PostMessageW(app_->Form(kDialog), WM_CLOSE, 0, 0);
  ASSERT_TRUE(WaitForForm(kDialog, false));
  ASSERT_TRUE(app_->Sync());
  ActivateMainWindow();
  EXPECT_TRUE(WaitUntil([&] { return Entry(7) == "POSI_OSD_CE"; }, kWait)) << Entry(7);
  EXPECT_EQ(Entry(3), "LANCE_ON");
}

}  // namespace
}  // namespace e2e
