// The tray menu, the window menu, the commands behind every menu, toolbar and
// tray row, the help pages and the web link labels.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "app/commands.h"
#include "app/help_pages.h"
#include "app/menus.h"
#include "heart_fixture.h"

namespace talvoro::app {
namespace {

using platform::TrayEvent;
using ui::MainForm;
using ui::MainId;

// Records the popup menus the core asks the view to open.
struct PopupRecorder : ui::IFormView {
  struct Opened {
    MainId menu;
    int x, y;
  };
  explicit PopupRecorder(MainForm& form) : form(form) { form.AttachView(this); }
  ~PopupRecorder() override { form.AttachView(nullptr); }
  void ControlChanged(std::size_t index, ui::Change what, int) override {
    if (what != ui::Change::Popup) return;
    const ui::ControlState& s = form.state(index);
    opened.push_back({static_cast<MainId>(index), s.popup_x, s.popup_y});
  }
  int TextWidth(std::size_t, std::string_view text) override {
    return static_cast<int>(text.size()) * 6;
  }
  MainForm& form;
  std::vector<Opened> opened;
};

constexpr const char* kHelpDir = "C:\\P\\help\\";

class MenusTest : public test::HeartTest {
 protected:
  void Start() {
    test::HeartTest::Start();
    popups.emplace(form());
  }
  void AddHelpPage(const std::string& topic) {
    fake.files.files[std::string(kHelpDir) + topic + ".html"] = "<html></html>";
  }
  // What the user could see change: the window, the calls to the shell,
  // to other programs and to the keyboard, boxes, popups and saves.
  std::vector<std::size_t> Observable() {
    return {static_cast<std::size_t>(state().minimised),
            static_cast<std::size_t>(form().Visible(MainId::TForm1)),
            fake.shell.calls.size(),
            fake.programs.calls.size(),
            fake.keyboard.events.size(),
            fake.dialogs.messages.size() + fake.dialogs.errors.size(),
            popups->opened.size(),
            static_cast<std::size_t>(SavesSinceStart())};
  }
  std::optional<PopupRecorder> popups;
};

TEST_F(MenusTest, ARightPressOnTheIconOpensTheTrayMenuAtItsFixedPlace) {
  Start();
  win().Reduce();
  app->OnNotifyIcon(TrayEvent::RightDown);
  ASSERT_EQ(popups->opened.size(), 1u);
  EXPECT_EQ(popups->opened[0].menu, MainId::PopupMenu1);
  EXPECT_EQ(popups->opened[0].x, 974);  // 1024 - 50
  EXPECT_EQ(popups->opened[0].y, 663);  // 768 - 105
  // Wherever the cursor is, and on another screen size.
  fake.shell.cursor_x = 10;
  fake.shell.cursor_y = 10;
  fake.shell.screen = {1920, 1080};
  app->OnNotifyIcon(TrayEvent::RightDown);
  ASSERT_EQ(popups->opened.size(), 2u);
  EXPECT_EQ(popups->opened[1].x, 1870);
  EXPECT_EQ(popups->opened[1].y, 975);
  // Opening the menu changes nothing by itself.
  EXPECT_EQ(state().minimised, 1);
  EXPECT_FALSE(form().Visible(MainId::TForm1));
}

TEST_F(MenusTest, EveryOtherIconEventExceptTheLeftPressIsIgnored) {
  Start();
  win().Reduce();
  const auto before = Observable();
  for (TrayEvent e : {TrayEvent::LeftUp, TrayEvent::LeftDoubleClick, TrayEvent::RightUp,
                      TrayEvent::RightDoubleClick, TrayEvent::Other}) {
    app->OnNotifyIcon(e);
    EXPECT_EQ(Observable(), before) << static_cast<int>(e);
  }
  app->OnNotifyIcon(TrayEvent::LeftDown);
  EXPECT_EQ(state().minimised, 0);
  EXPECT_TRUE(form().Visible(MainId::TForm1));
  // A left press while the window is shown leaves it shown.
  app->OnNotifyIcon(TrayEvent::LeftDown);
  EXPECT_EQ(state().minimised, 0);
  EXPECT_TRUE(form().Visible(MainId::TForm1));
  EXPECT_TRUE(popups->opened.empty());
}

TEST_F(MenusTest, TheTrayMenuRestoresQuitsOrDoesNothing) {
  Start();
  win().Reduce();
  app->OnNotifyIcon(TrayEvent::RightDown);
  const auto before = Observable();
  Click(MainId::Nerienfaire1);
  EXPECT_EQ(Observable(), before);
  EXPECT_EQ(state().minimised, 1);

  Click(MainId::Restaurer1);
  EXPECT_EQ(state().minimised, 0);
  EXPECT_TRUE(form().Visible(MainId::TForm1));
  EXPECT_EQ(fake.shell.calls.back(), "taskbar-show");

  Click(MainId::Quitter3);
  EXPECT_FALSE(fake.shell.icon);
  EXPECT_TRUE(fake.shell.terminated);
}

TEST_F(MenusTest, ARightClickOnTheWindowOpensTheWindowMenuAtTheCursor) {
  Start();
  fake.shell.cursor_x = 321;
  fake.shell.cursor_y = 123;
  Press(MainId::TForm1, ui::MouseButton::Left);
  Press(MainId::TForm1, ui::MouseButton::Middle);
  EXPECT_TRUE(popups->opened.empty());
  Press(MainId::TForm1, ui::MouseButton::Right);
  ASSERT_EQ(popups->opened.size(), 1u);
  EXPECT_EQ(popups->opened[0].menu, MainId::PopupMenu2);
  EXPECT_EQ(popups->opened[0].x, 321);
  EXPECT_EQ(popups->opened[0].y, 123);
}

// Every row of every menu, the toolbar and the tray menu reaches the handler
// of its own command, and only that one. The rows are found by their menu
// and caption (by their hint on the toolbar, left to right).
TEST_F(MenusTest, EveryCommandRowReachesItsCommand) {
  Start();
  std::vector<Command> ran;
  for (Command c : {Command::Quit, Command::Reduce, Command::Restore, Command::Import,
                    Command::Export, Command::Settings, Command::Help, Command::About,
                    Command::SerialPort, Command::Nothing, Command::Journal})
    win().commands().Set(c, [&ran, c] { ran.push_back(c); });
  struct Row {
    MainId menu;
    const char* text;
    Command command;
  };
  const Row rows[] = {
      {MainId::Fichier1, "&Importer une configuration IR", Command::Import},
      {MainId::Fichier1, "&Exporter une configuration IR", Command::Export},
      {MainId::Fichier1, "&Quitter", Command::Quit},
      {MainId::Options1, "&Paramètres", Command::Settings},
      {MainId::Options1, "Ré&duire", Command::Reduce},
      {MainId::Options1, "Port &série...", Command::SerialPort},
      {MainId::Options1, "&Journal des codes reçus...", Command::Journal},
      {MainId::Aide1, "A&ide", Command::Help},
      {MainId::Aide1, "A pr&opos de...", Command::About},
      {MainId::PopupMenu1, "Quitter", Command::Quit},
      {MainId::PopupMenu1, "Restaurer", Command::Restore},
      {MainId::PopupMenu1, "Ne rien faire !", Command::Nothing},
      {MainId::PopupMenu2, "&Quitter", Command::Quit},
      {MainId::PopupMenu2, "&Importer une configuration IR", Command::Import},
      {MainId::PopupMenu2, "&Exporter une configuration IR", Command::Export},
      {MainId::PopupMenu2, "&Paramètres", Command::Settings},
      {MainId::PopupMenu2, "A&ide", Command::Help},
      {MainId::ToolBar1, "Quitter", Command::Quit},
      {MainId::ToolBar1, "Réduire", Command::Reduce},
      {MainId::ToolBar1, "Importer configuration IR", Command::Import},
      {MainId::ToolBar1, "Exporter configuration IR", Command::Export},
      {MainId::ToolBar1, "Paramètres", Command::Settings},
      {MainId::ToolBar1, "Aide", Command::Help},
  };
  const auto& controls = ui::MainLayout().controls;
  int toolbar_x = -1;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    std::optional<std::size_t> found;
    for (std::size_t i = 0; i < controls.size(); ++i) {
      const ui::ControlSpec& c = controls[i];
      const bool tool = c.kind == ui::Kind::ToolButton;
      if (c.parent == MainForm::At(row.menu) && (tool || c.kind == ui::Kind::MenuItem) &&
          std::string(tool ? c.hint : c.caption) == row.text)
        found = i;
    }
    ASSERT_TRUE(found);
    if (row.menu == MainId::ToolBar1) {
      EXPECT_GT(controls[*found].x, toolbar_x);
      toolbar_x = controls[*found].x;
    }
    ran.clear();
    form().ViewClick(*found);
    ASSERT_EQ(ran.size(), 1u);
    EXPECT_EQ(ran[0], row.command);
  }
  EXPECT_EQ(CommandRows().size(), std::size(rows));
}

// No menu entry or tool button of the window is left without a command (the
// entries that only open a sub-menu excepted), and none has two.
TEST(CommandRowsTable, EveryEntryAndToolButtonHasExactlyOneCommand) {
  const auto& controls = ui::MainLayout().controls;
  auto opens_a_submenu = [&](std::size_t i) {
    for (const ui::ControlSpec& c : controls)
      if (c.parent == i && (c.kind == ui::Kind::MenuItem || c.kind == ui::Kind::MenuSeparator))
        return true;
    return false;
  };
  for (std::size_t i = 0; i < controls.size(); ++i) {
    const bool entry = controls[i].kind == ui::Kind::MenuItem && !opens_a_submenu(i);
    if (!entry && controls[i].kind != ui::Kind::ToolButton) continue;
    int rows = 0;
    for (const CommandRow& row : CommandRows())
      if (MainForm::At(row.control) == i) ++rows;
    EXPECT_EQ(rows, 1) << controls[i].name;
  }
}

TEST_F(MenusTest, EveryHelpRowOpensTheContentsPage) {
  Start();
  AddHelpPage("som");
  for (MainId id : {MainId::Aide2, MainId::Aide3, MainId::ToolButton6}) {
    fake.programs.calls.clear();
    Click(id);
    ASSERT_EQ(fake.programs.calls.size(), 1u);
    EXPECT_EQ(fake.programs.calls[0], "document C:\\P\\help\\som.html");
  }
  EXPECT_TRUE(fake.dialogs.messages.empty());
}

TEST(ExportBeforeTheReceiver, ExportIsDisabledAndImportEnabledUntilTheReceiverArrives) {
  test::FakePlatform fake;
  Application app(fake.services());
  ASSERT_TRUE(app.OnMainWindowCreated());
  MainForm& f = app.main_form();
  for (MainId id :
       {MainId::Exporteruneconfiguration1, MainId::Exporteruneconfiguration2, MainId::ToolButton4})
    EXPECT_FALSE(f.Enabled(id));
  for (MainId id :
       {MainId::Importeruneconfiguration1, MainId::Importeruneconfiguration2, MainId::ToolButton3})
    EXPECT_TRUE(f.Enabled(id));
  app.main_window().OnReceiverArrived();
  for (MainId id :
       {MainId::Exporteruneconfiguration1, MainId::Exporteruneconfiguration2, MainId::ToolButton4,
        MainId::Importeruneconfiguration1, MainId::Importeruneconfiguration2, MainId::ToolButton3})
    EXPECT_TRUE(f.Enabled(id));
}

TEST(HelpPagePath, ThePageOfATopicIsInTheHelpFolderBesideTheProgram) {
  EXPECT_EQ(HelpPagePath("C:\\Programmes\\Talvoro\\", "som"),
            "C:\\Programmes\\Talvoro\\help\\som.html");
  EXPECT_EQ(HelpPagePath("C:\\Programmes\\Talvoro", "rub10"),
            "C:\\Programmes\\Talvoro\\help\\rub10.html");
  // Windows-1252 bytes of the directory are kept as they are.
  EXPECT_EQ(HelpPagePath("D:\\R\xE9pertoire\\", "rub9"), "D:\\R\xE9pertoire\\help\\rub9.html");
  EXPECT_EQ(HelpPagePath("", "rub32"), "help\\rub32.html");
}

TEST(HelpPagePath, ATopicThatIsNoPlainNameHasNoPage) {
  for (const char* topic : {"", "..\\parametres", "../x", "som.html", "C:", "a b", "rub 9"})
    EXPECT_EQ(HelpPagePath("C:\\P\\", topic), "") << topic;
}

TEST_F(MenusTest, EachTopicOpensItsOwnPageShownNormally) {
  Start();
  for (const char* topic : {kHelpContents, kHelpSerialRs232, kHelpSettings, kHelpSerialUsb})
    AddHelpPage(topic);
  win().OpenHelp("rub9");
  win().OpenHelp("rub10");
  win().OpenHelp("rub32");
  EXPECT_EQ(fake.programs.calls, (std::vector<std::string>{"document C:\\P\\help\\rub9.html",
                                                           "document C:\\P\\help\\rub10.html",
                                                           "document C:\\P\\help\\rub32.html"}));
  EXPECT_TRUE(fake.dialogs.messages.empty());
}

TEST_F(MenusTest, AMissingPageIsToldAndNothingIsOpened) {
  Start();
  AddHelpPage("som");
  win().OpenHelp("rub10");
  EXPECT_TRUE(fake.programs.calls.empty());
  ASSERT_EQ(fake.dialogs.messages.size(), 1u);
  const std::string& text = fake.dialogs.messages[0];
  EXPECT_NE(text.find("La page d'aide « C:\\P\\help\\rub10.html » est introuvable."),
            std::string::npos)
      << text;
  EXPECT_TRUE(fake.dialogs.errors.empty());
}

TEST_F(MenusTest, AnUnknownTopicIsToldAsAMissingPage) {
  Start();
  fake.files.files["C:\\P\\parametres.inf"] = "secret";
  win().OpenHelp("..\\parametres");
  EXPECT_TRUE(fake.programs.calls.empty());
  ASSERT_EQ(fake.dialogs.messages.size(), 1u);
  EXPECT_NE(fake.dialogs.messages[0].find("introuvable"), std::string::npos);
}

TEST_F(MenusTest, APageTheBrowserCouldNotOpenIsTold) {
  Start();
  AddHelpPage("som");
  fake.programs.fails.insert("document C:\\P\\help\\som.html");
  Click(MainId::ToolButton6);
  ASSERT_EQ(fake.dialogs.messages.size(), 1u);
  EXPECT_NE(fake.dialogs.messages[0].find("n'a pas pu ouvrir la page d'aide « "
                                          "C:\\P\\help\\som.html »"),
            std::string::npos)
      << fake.dialogs.messages[0];
}

TEST_F(MenusTest, TheProgramDirectoryIsShownInUtf8InTheMessage) {
  fake.instance.directory = "C:\\R\xE9pertoire\\";
  Start();
  win().OpenHelp("som");
  ASSERT_EQ(fake.dialogs.messages.size(), 1u);
  EXPECT_NE(fake.dialogs.messages[0].find("C:\\Répertoire\\help\\som.html"), std::string::npos)
      << fake.dialogs.messages[0];
}

TEST_F(MenusTest, ThePressOnALinkLabelOpensItsApplicationsPageMaximised) {
  Start();
  Press(MainId::Label_KTV_web);
  Press(MainId::Label_ProgDVB_web, ui::MouseButton::Right);
  ASSERT_EQ(fake.programs.calls.size(), 2u);
  EXPECT_EQ(fake.programs.calls[0], "document http://www.kastortv.org/ maximised");
  EXPECT_EQ(fake.programs.calls[1], "document https://www.progdvb.com/ maximised");
  EXPECT_TRUE(fake.dialogs.messages.empty());
  // Each table row names one of the two labels, with a web address.
  ASSERT_EQ(WebLinks().size(), 2u);
  for (const WebLink& link : WebLinks()) {
    const std::string url = link.url;
    EXPECT_TRUE(url.rfind("http://", 0) == 0 || url.rfind("https://", 0) == 0) << url;
    EXPECT_EQ(ui::MainLayout().controls[MainForm::At(link.label)].kind, ui::Kind::LinkLabel);
  }
}

TEST_F(MenusTest, ALinkTheBrowserCouldNotOpenIsTold) {
  Start();
  fake.programs.fails.insert("document https://www.progdvb.com/ maximised");
  Press(MainId::Label_ProgDVB_web);
  ASSERT_EQ(fake.dialogs.messages.size(), 1u);
  EXPECT_NE(fake.dialogs.messages[0].find("https://www.progdvb.com/"), std::string::npos);
}

}  // namespace
}  // namespace talvoro::app
