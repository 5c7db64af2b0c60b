// The settings dialog (TForm3): what activation shows, what "&Ok" and the
// close box store, and the StartUp shortcut made and removed by a press on
// the box.
#include "osd/settings_dialog.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/application.h"
#include "app/main_window.h"
#include "config/line_file.h"
#include "fakes.h"
#include "platform/win32/form_input.h"

namespace talvoro::osd {
namespace {

using ui::SettingsId;

constexpr const char* kStartup = "C:\\Users\\Ana\\Start Menu\\Programs\\Startup";
constexpr const char* kLink = "C:\\Users\\Ana\\Start Menu\\Programs\\Startup\\Talvoro_IR.exe.lnk";

class SettingsDialogTest : public ::testing::Test {
 protected:
  SettingsDialogTest() {
    settings()[config::kProgramDirectory] = "C:\\P\\";
    fake.registry.strings[kShellFoldersKey][kStartupValue] = kStartup;
  }

  config::SettingsTable& settings() { return config.settings(); }
  bool Checked(SettingsId id) { return form.Checked(id); }
  void Press(SettingsId id, ui::MouseButton button = ui::MouseButton::Left) {
    form.ViewMouseDown(ui::SettingsForm::At(id), button);
  }
  void Click(SettingsId id) { form.ViewClick(ui::SettingsForm::At(id)); }
  // The user picks a radio button with the mouse (the view settles the group).
  void Pick(SettingsId id) {
    platform::win32::ClickRadio(form, ui::SettingsForm::At(id));
    Click(id);
  }
  // Space on the focused box (or a click on a box that only stores its
  // entry): the control toggles itself and reports it.
  void ToggleWithKeyboard(SettingsId box = SettingsId::CheckBox1) {
    form.ViewSetChecked(ui::SettingsForm::At(box), !Checked(box));
    Click(box);
  }
  std::vector<SettingsId> CheckedRadios() {
    std::vector<SettingsId> on;
    for (SettingsId id :
         {SettingsId::RadioButton1, SettingsId::RadioButton2, SettingsId::RadioButton3,
          SettingsId::RadioButton4, SettingsId::RadioButton5, SettingsId::RadioButton6,
          SettingsId::RadioButton7})
      if (Checked(id)) on.push_back(id);
    return on;
  }

  test::FakePlatform fake;
  config::Configuration config{fake.files};
  ui::SettingsForm form{ui::SettingsLayout()};
  std::vector<std::string> help;
  SettingsDialog dialog{form,
                        config,
                        fake.registry,
                        fake.shortcuts,
                        fake.files,
                        fake.dialogs,
                        [this](const std::string& topic) { help.push_back(topic); }};
};

// --- activation ---

TEST_F(SettingsDialogTest, ActivationShowsWhatTheSettingsSay) {
  settings()[config::kStartup] = "LANCE_ON";
  settings()[config::kOsdSwitch] = "OSD_OFF";
  settings()[config::kOsdPosition] = "POSI_OSD_BD";
  form.ViewActivate();
  EXPECT_TRUE(Checked(SettingsId::CheckBox1));
  EXPECT_EQ(CheckedRadios(),
            (std::vector<SettingsId>{SettingsId::RadioButton2, SettingsId::RadioButton7}));

  settings()[config::kOsdSwitch] = "OSD_ON";
  settings()[config::kOsdPosition] = "POSI_OSD_CE";
  form.ViewActivate();
  // Checking a button unchecks the others of its own page only.
  EXPECT_EQ(CheckedRadios(),
            (std::vector<SettingsId>{SettingsId::RadioButton1, SettingsId::RadioButton5}));
}

TEST_F(SettingsDialogTest, ActivationNeverUnticksNorUnchecks) {
  form.ViewActivate();
  EXPECT_FALSE(Checked(SettingsId::CheckBox1));
  ToggleWithKeyboard();
  Pick(SettingsId::RadioButton2);
  Pick(SettingsId::RadioButton4);
  // "LANCE_OFF", lower-case and padded values are none of the values that
  // activation acts on.
  settings()[config::kStartup] = "LANCE_OFF";
  settings()[config::kOsdSwitch] = "osd_on";
  settings()[config::kOsdPosition] = "POSI_OSD_HG ";
  form.ViewActivate();
  EXPECT_TRUE(Checked(SettingsId::CheckBox1));
  EXPECT_EQ(CheckedRadios(),
            (std::vector<SettingsId>{SettingsId::RadioButton2, SettingsId::RadioButton4}));
}

TEST_F(SettingsDialogTest, AnUnknownPositionChecksNothingAndStaysUnlessTheUserPicksOne) {
  settings()[config::kOsdSwitch] = "OSD_ON";
  settings()[config::kOsdPosition] = "POSI_OSD_XX";
  form.ViewActivate();
  EXPECT_EQ(CheckedRadios(), std::vector<SettingsId>{SettingsId::RadioButton1});
  Click(SettingsId::Button2);
  EXPECT_EQ(settings()[config::kOsdPosition], "POSI_OSD_XX");

  dialog.Show();
  form.ViewActivate();
  Pick(SettingsId::RadioButton6);
  Click(SettingsId::Button2);
  EXPECT_EQ(settings()[config::kOsdPosition], "POSI_OSD_HD");
}

// --- storing ---

TEST_F(SettingsDialogTest, OkStoresTheThreeEntriesAndHidesWithoutSaving) {
  dialog.Show();
  EXPECT_TRUE(form.Visible(SettingsId::TForm3));
  EXPECT_FALSE(form.Get(SettingsId::TForm3).topmost);
  form.ViewActivate();
  ToggleWithKeyboard();
  Pick(SettingsId::RadioButton1);
  Pick(SettingsId::RadioButton3);
  Click(SettingsId::Button2);
  EXPECT_EQ(settings()[config::kStartup], "LANCE_ON");
  EXPECT_EQ(settings()[config::kOsdSwitch], "OSD_ON");
  EXPECT_EQ(settings()[config::kOsdPosition], "POSI_OSD_HG");
  EXPECT_FALSE(form.Visible(SettingsId::TForm3));
  // parametres.inf is the main window's business, at its next activation.
  EXPECT_TRUE(fake.files.files.empty());

  // Every position button stores its own value.
  const std::pair<SettingsId, const char*> positions[] = {
      {SettingsId::RadioButton3, "POSI_OSD_HG"},
      {SettingsId::RadioButton4, "POSI_OSD_BG"},
      {SettingsId::RadioButton6, "POSI_OSD_HD"},
      {SettingsId::RadioButton7, "POSI_OSD_BD"},
      {SettingsId::RadioButton5, "POSI_OSD_CE"}};
  for (const auto& [button, value] : positions) {
    Pick(button);
    Click(SettingsId::Button2);
    EXPECT_EQ(settings()[config::kOsdPosition], value);
  }
  Pick(SettingsId::RadioButton2);
  Click(SettingsId::Button2);
  EXPECT_EQ(settings()[config::kOsdSwitch], "OSD_OFF");
}

TEST_F(SettingsDialogTest, AGroupWithNothingCheckedLeavesItsEntryButTheBoxAlwaysStores) {
  settings()[config::kStartup] = "lance_on";
  settings()[config::kOsdSwitch] = "";
  settings()[config::kOsdPosition] = "ailleurs";
  form.ViewActivate();
  Click(SettingsId::Button2);
  EXPECT_EQ(settings()[config::kStartup], "LANCE_OFF");
  EXPECT_EQ(settings()[config::kOsdSwitch], "");
  EXPECT_EQ(settings()[config::kOsdPosition], "ailleurs");
}

TEST_F(SettingsDialogTest, TheCloseBoxStoresExactlyLikeOk) {
  dialog.Show();
  ToggleWithKeyboard();
  Pick(SettingsId::RadioButton2);
  Pick(SettingsId::RadioButton7);
  form.ViewClose();
  EXPECT_EQ(settings()[config::kStartup], "LANCE_ON");
  EXPECT_EQ(settings()[config::kOsdSwitch], "OSD_OFF");
  EXPECT_EQ(settings()[config::kOsdPosition], "POSI_OSD_BD");
  EXPECT_FALSE(form.Visible(SettingsId::TForm3));
  // The controls keep their state for the next showing.
  dialog.Show();
  EXPECT_TRUE(Checked(SettingsId::CheckBox1));
  EXPECT_EQ(CheckedRadios(),
            (std::vector<SettingsId>{SettingsId::RadioButton2, SettingsId::RadioButton7}));
}

TEST_F(SettingsDialogTest, TheRepeatAndScreenBoxesShowAndStoreTheirEntries) {
  const SettingsId boxes[] = {SettingsId::CheckBox2, SettingsId::CheckBox3};
  form.ViewActivate();
  Click(SettingsId::Button2);
  EXPECT_EQ(settings()[config::kRepeatFilter], "ANTIREPET_OFF");
  EXPECT_EQ(settings()[config::kOsdActiveScreen], "OSD_ECRAN_PRINCIPAL");

  settings()[config::kRepeatFilter] = "ANTIREPET_ON";
  settings()[config::kOsdActiveScreen] = "OSD_ECRAN_ACTIF";
  form.ViewActivate();
  for (SettingsId box : boxes) EXPECT_TRUE(Checked(box));
  // Activation never unticks; a click stores the other value, and does
  // nothing more.
  settings()[config::kRepeatFilter] = "antirepet_on";
  settings()[config::kOsdActiveScreen] = "";
  form.ViewActivate();
  for (SettingsId box : boxes) EXPECT_TRUE(Checked(box));
  Click(SettingsId::Button2);
  EXPECT_EQ(settings()[config::kRepeatFilter], "ANTIREPET_ON");
  EXPECT_EQ(settings()[config::kOsdActiveScreen], "OSD_ECRAN_ACTIF");
  for (SettingsId box : boxes) {
    Press(box);
    ToggleWithKeyboard(box);
  }
  Click(SettingsId::Button2);
  EXPECT_EQ(settings()[config::kRepeatFilter], "ANTIREPET_OFF");
  EXPECT_EQ(settings()[config::kOsdActiveScreen], "OSD_ECRAN_PRINCIPAL");
  EXPECT_TRUE(fake.shortcuts.created.empty());
  EXPECT_TRUE(fake.dialogs.messages.empty());
  // The start-up box is left as it was.
  EXPECT_EQ(settings()[config::kStartup], "LANCE_OFF");
}

TEST_F(SettingsDialogTest, HelpOpensItsTopicAndLeavesTheDialogAsItIs) {
  dialog.Show();
  ToggleWithKeyboard();
  Click(SettingsId::Button1);
  EXPECT_EQ(help, std::vector<std::string>{"rub10"});
  EXPECT_TRUE(form.Visible(SettingsId::TForm3));
  EXPECT_EQ(settings()[config::kStartup], "");
}

// --- the StartUp shortcut ---

TEST_F(SettingsDialogTest, APressOnTheUntickedBoxCreatesTheShortcutAndTicksIt) {
  Press(SettingsId::CheckBox1);
  EXPECT_EQ(fake.shortcuts.created,
            std::vector<std::string>{std::string(kLink) + " -> C:\\P\\Talvoro_IR.exe"});
  EXPECT_EQ(fake.dialogs.messages, std::vector<std::string>{SettingsDialog::kCreatedText});
  EXPECT_EQ(fake.dialogs.icons, std::vector<platform::BoxIcon>{platform::BoxIcon::Information});
  EXPECT_TRUE(Checked(SettingsId::CheckBox1));
  // Only "&Ok" stores the choice.
  EXPECT_EQ(settings()[config::kStartup], "");
  Click(SettingsId::Button2);
  EXPECT_EQ(settings()[config::kStartup], "LANCE_ON");
}

TEST_F(SettingsDialogTest, ASecondPressRemovesTheShortcutAndUnticksTheBox) {
  Press(SettingsId::CheckBox1);
  ASSERT_TRUE(fake.files.files.count(kLink));
  Press(SettingsId::CheckBox1, ui::MouseButton::Right);
  EXPECT_FALSE(fake.files.files.count(kLink));
  EXPECT_EQ(fake.dialogs.messages.back(), SettingsDialog::kRemovedText);
  EXPECT_FALSE(Checked(SettingsId::CheckBox1));
  // Any button does it: the middle one creates it again.
  Press(SettingsId::CheckBox1, ui::MouseButton::Middle);
  EXPECT_TRUE(fake.files.files.count(kLink));
  EXPECT_TRUE(Checked(SettingsId::CheckBox1));
}

TEST_F(SettingsDialogTest, RemovingAShortcutThatIsNotThereIsNoFailure) {
  settings()[config::kStartup] = "LANCE_ON";
  form.ViewActivate();
  Press(SettingsId::CheckBox1);
  EXPECT_EQ(fake.dialogs.messages, std::vector<std::string>{SettingsDialog::kRemovedText});
  EXPECT_FALSE(Checked(SettingsId::CheckBox1));
}

TEST_F(SettingsDialogTest, TheKeyboardChangesOnlyWhatOkStores) {
  ToggleWithKeyboard();
  EXPECT_TRUE(Checked(SettingsId::CheckBox1));
  EXPECT_TRUE(fake.shortcuts.created.empty());
  EXPECT_TRUE(fake.dialogs.messages.empty());
  Click(SettingsId::Button2);
  EXPECT_EQ(settings()[config::kStartup], "LANCE_ON");

  fake.files.files[kLink] = "link";
  ToggleWithKeyboard();
  Click(SettingsId::Button2);
  EXPECT_EQ(settings()[config::kStartup], "LANCE_OFF");
  EXPECT_TRUE(fake.files.files.count(kLink));
  EXPECT_TRUE(fake.dialogs.messages.empty());
}

TEST_F(SettingsDialogTest, TheBoxsOwnClickToggleCannotUndoThePress) {
  // The view withholds the left press from the box once the dialog handles
  // it: the control does not toggle itself back after the handler ticked it.
  EXPECT_FALSE(platform::win32::PassPressToControl(
      form, ui::SettingsForm::At(SettingsId::CheckBox1), true, false));
  EXPECT_TRUE(platform::win32::PassPressToControl(
      form, ui::SettingsForm::At(SettingsId::RadioButton1), true, false));
}

TEST_F(SettingsDialogTest, ACreationThatFailsSaysSoAndLeavesTheBoxUnticked) {
  fake.shortcuts.fail_create = true;
  Press(SettingsId::CheckBox1);
  EXPECT_EQ(fake.dialogs.messages, std::vector<std::string>{SettingsDialog::kNotCreatedText});
  EXPECT_EQ(fake.dialogs.icons, std::vector<platform::BoxIcon>{platform::BoxIcon::Warning});
  EXPECT_FALSE(Checked(SettingsId::CheckBox1));
  EXPECT_FALSE(fake.files.files.count(kLink));
}

TEST_F(SettingsDialogTest, WithNoStartUpFolderKnownNothingIsMadeAnywhere) {
  fake.registry.strings.clear();
  Press(SettingsId::CheckBox1);
  EXPECT_EQ(fake.dialogs.messages, std::vector<std::string>{SettingsDialog::kNotCreatedText});
  EXPECT_TRUE(fake.shortcuts.created.empty());
  EXPECT_FALSE(Checked(SettingsId::CheckBox1));

  settings()[config::kStartup] = "LANCE_ON";
  form.ViewActivate();
  Press(SettingsId::CheckBox1);
  EXPECT_EQ(fake.dialogs.messages.back(), SettingsDialog::kNotRemovedText);
  EXPECT_TRUE(Checked(SettingsId::CheckBox1));
}

TEST_F(SettingsDialogTest, ARemovalThatFailsSaysSoAndLeavesTheBoxTicked) {
  Press(SettingsId::CheckBox1);
  // The link stays on the disk (in use, or no right to delete it).
  fake.files.unreadable.insert(kLink);
  Press(SettingsId::CheckBox1);
  EXPECT_EQ(fake.dialogs.messages.back(), SettingsDialog::kNotRemovedText);
  EXPECT_EQ(fake.dialogs.icons.back(), platform::BoxIcon::Warning);
  EXPECT_TRUE(Checked(SettingsId::CheckBox1));
}

TEST_F(SettingsDialogTest, TheTargetIsTheProgramDirectorysExecutableWithOneSeparator) {
  EXPECT_EQ(dialog.ShortcutTarget(), "C:\\P\\Talvoro_IR.exe");
  settings()[config::kProgramDirectory] = "D:\\Outils";
  EXPECT_EQ(dialog.ShortcutTarget(), "D:\\Outils\\Talvoro_IR.exe");
  EXPECT_EQ(LinkPath("F\\", "D:\\Outils\\Talvoro_IR.exe"), "F\\Talvoro_IR.exe.lnk");
  EXPECT_EQ(LinkPath("F\\", "D:\\Outils\\Raccourci.LnK"), "F\\Raccourci.LnK");
}

// --- the StartUp folder ---

TEST_F(SettingsDialogTest, TheStartUpFolderComesFromTheShellFoldersValue) {
  fake.shortcuts.known_startup = "C:\\Ailleurs";
  EXPECT_EQ(StartupFolder(fake.registry, fake.shortcuts), std::string(kStartup) + "\\");
  // A value that already ends with a separator does not get a second one.
  fake.registry.strings[kShellFoldersKey][kStartupValue] = "E:\\Demarrage\\";
  EXPECT_EQ(StartupFolder(fake.registry, fake.shortcuts), "E:\\Demarrage\\");
}

TEST_F(SettingsDialogTest, AnUnreadableOrEmptyValueFallsBackToTheKnownFolderNeverToTheRoot) {
  fake.shortcuts.known_startup = "C:\\Connu\\Startup";
  fake.registry.strings.clear();
  EXPECT_EQ(StartupFolder(fake.registry, fake.shortcuts), "C:\\Connu\\Startup\\");
  fake.registry.strings[kShellFoldersKey][kStartupValue] = "";
  EXPECT_EQ(StartupFolder(fake.registry, fake.shortcuts), "C:\\Connu\\Startup\\");

  Press(SettingsId::CheckBox1);
  EXPECT_EQ(
      fake.shortcuts.created,
      std::vector<std::string>{"C:\\Connu\\Startup\\Talvoro_IR.exe.lnk -> C:\\P\\Talvoro_IR.exe"});

  fake.shortcuts.known_startup = "";
  EXPECT_EQ(StartupFolder(fake.registry, fake.shortcuts), std::nullopt);
  fake.shortcuts.known_startup.reset();
  EXPECT_EQ(StartupFolder(fake.registry, fake.shortcuts), std::nullopt);
}

// --- in the running program ---

class SettingsInProgramTest : public ::testing::Test {
 protected:
  static constexpr const char* kDir = "C:\\P\\";
  static std::string Path(const std::string& name) { return std::string(kDir) + "\\" + name; }

  SettingsInProgramTest() {
    fake.instance.directory = kDir;
    for (const char* name : {"ledon.bmp", "ledoff.bmp", "SON_ON.BMP", "SON_OFF.BMP"})
      fake.files.files[Path(name)] = name;
    fake.registry.strings[kShellFoldersKey][kStartupValue] = kStartup;
    app = std::make_unique<app::Application>(fake.services());
    app->OnMainWindowCreated();
    for (ui::FormBase* f : app->Forms())
      if (f != &app->main_form()) f->ViewCreate();
  }
  ui::SettingsForm& settings_form() { return app->forms().settings; }
  std::vector<std::string> SettingsFile() {
    return config::ParseLines(fake.files.files.at(Path("parametres.inf")), 30);
  }

  test::FakePlatform fake;
  std::unique_ptr<app::Application> app;
};

TEST_F(SettingsInProgramTest, TheMenusAndToolbarOpenTheDialog) {
  for (ui::MainId row : {ui::MainId::ToolButton5, ui::MainId::Paramtres1, ui::MainId::Paramtres2}) {
    settings_form().SetVisible(SettingsId::TForm3, false);
    app->main_form().ViewClick(ui::MainForm::At(row));
    EXPECT_TRUE(settings_form().Visible(SettingsId::TForm3));
  }
}

TEST_F(SettingsInProgramTest, OkReachesTheFileAtTheMainWindowsNextActivation) {
  app->main_window().commands().Run(app::Command::Settings);
  settings_form().ViewActivate();
  settings_form().ViewMouseDown(ui::SettingsForm::At(SettingsId::CheckBox1), ui::MouseButton::Left);
  EXPECT_EQ(fake.files.files.at(kLink), std::string("link to C:\\P\\Talvoro_IR.exe"));
  settings_form().ViewClick(ui::SettingsForm::At(SettingsId::Button2));
  EXPECT_EQ(SettingsFile()[2], "");
  app->main_form().ViewActivate();
  EXPECT_EQ(SettingsFile()[2], "LANCE_ON");
  EXPECT_TRUE(fake.dialogs.errors.empty()) << fake.dialogs.errors.front();
}

}  // namespace
}  // namespace talvoro::osd
