// The serial port dialog: the port list from the registry, the first-use
// prompt, choosing a port and the confirmation line, closing, help.
#include <gtest/gtest.h>

#include "heart_fixture.h"
#include "platform/win32/error_text.h"
#include "serial/serial_dialog.h"
#include "ui/centre.h"

namespace talvoro::serial {
namespace {

using ui::SerialId;
using namespace std::string_literals;

TEST(SerialPortNames, SortedWithoutRegardToCase) {
  EXPECT_EQ(SortPortNames({"COM3", "COM1", "COM10"}),
            (std::vector<std::string>{"COM1", "COM10", "COM3"}));
  EXPECT_EQ(SortPortNames({"com2", "COM10", "Com1", "COM3"}),
            (std::vector<std::string>{"Com1", "COM10", "com2", "COM3"}));
  EXPECT_EQ(SortPortNames({}), std::vector<std::string>{});
}

TEST(SerialPortNames, TheNulsThatEndTheDataGoOthersStay) {
  EXPECT_EQ(SortPortNames({"COM3\0"s, "COM1\0\0"s, "COM10"}),
            (std::vector<std::string>{"COM1", "COM10", "COM3"}));
  // Only trailing ones: a NUL inside the data is part of it.
  EXPECT_EQ(SortPortNames({"CO\0M4\0"s}), (std::vector<std::string>{"CO\0M4"s}));
  // Data of NULs only is an empty name.
  EXPECT_EQ(SortPortNames({"\0\0"s}), (std::vector<std::string>{""}));
}

TEST(SerialPortNames, ReadFromTheSerialDeviceMap) {
  test::FakeRegistry registry;
  registry.machine[kSerialDeviceMap] = {"COM3\0"s, "COM10\0"s, "COM1\0"s};
  EXPECT_EQ(ReadPortNames(registry), (std::vector<std::string>{"COM1", "COM10", "COM3"}));
  EXPECT_EQ(registry.machine_listed, (std::vector<std::string>{"HARDWARE\\DEVICEMAP\\SERIALCOMM"}));
}

TEST(SerialPortNames, AMachineWithoutSerialPortsHasAnEmptyListNotAnError) {
  test::FakeRegistry registry;  // no key at all
  EXPECT_EQ(ReadPortNames(registry), std::vector<std::string>{});
  // Reported as a failure with the system's "file not found", it is the same.
  registry.machine_failures[kSerialDeviceMap] = 2;
  EXPECT_EQ(ReadPortNames(registry), std::vector<std::string>{});
}

TEST(SerialPortNames, OtherRegistryErrorsAreThrownWithTheirCode) {
  test::FakeRegistry registry;
  registry.machine_failures[kSerialDeviceMap] = 5;
  try {
    ReadPortNames(registry);
    FAIL() << "no error";
  } catch (const PortError& e) {
    EXPECT_STREQ(e.what(), "Registry error (win error code: 5)");
    EXPECT_EQ(e.win_error(), 5u);
    EXPECT_EQ(PortError::kNumber, 23);
  }
}

// A view that measures every text at a fixed width and reports the window's
// width with its frame.
struct MeasuringView : ui::IFormView {
  int text_width = 0;
  int outer_width = 0;
  std::vector<std::pair<std::size_t, ui::Change>> changes;
  void ControlChanged(std::size_t index, ui::Change what, int) override {
    changes.emplace_back(index, what);
  }
  int TextWidth(std::size_t, std::string_view) override { return text_width; }
  int OuterWidth() override { return outer_width; }
};

class SerialDialogTest : public test::HeartTest {
 protected:
  SerialDialogTest() {
    fake.registry.machine[kSerialDeviceMap] = {"COM3\0"s, "COM10\0"s, "COM1\0"s};
    settings_lines[0] = "COM3";
    settings_lines[1] = "1";
  }
  ui::SerialForm& dialog() { return app->forms().serial; }
  config::SettingsTable& settings() { return win().settings(); }
  std::string Edit() { return dialog().Text(SerialId::ComboBox1); }
  void Open() { Click(ui::MainId::Portsrie1); }
  void Activate() { dialog().ViewActivate(); }
  void Choose(int index) {
    dialog().ViewSetPosition(ui::SerialForm::At(SerialId::ComboBox1), index);
    dialog().ViewClick(ui::SerialForm::At(SerialId::ComboBox1));
  }
  void Type(const std::string& text) {
    dialog().ViewSetText(ui::SerialForm::At(SerialId::ComboBox1), text);
  }
  std::vector<std::string> SettingsFile() {
    return config::ParseLines(fake.files.files.at(Path("parametres.inf")), 30);
  }
};

TEST_F(SerialDialogTest, CreationListsThePortsSortedAndShowsTheStoredPort) {
  Start();
  EXPECT_EQ(dialog().Get(SerialId::ComboBox1).items,
            (std::vector<std::string>{"COM1", "COM10", "COM3"}));
  EXPECT_EQ(Edit(), "COM3");
  EXPECT_FALSE(dialog().Visible(SerialId::Label1));
  EXPECT_FALSE(dialog().Shown());  // created hidden
  EXPECT_TRUE(fake.dialogs.errors.empty());
}

TEST_F(SerialDialogTest, APortNameOutsideAsciiIsShownInUtf8AndStoredAsRead) {
  fake.registry.machine[kSerialDeviceMap] = {"P\xE9riph\xE9rique\0"s, "COM1\0"s};
  Start();
  EXPECT_EQ(dialog().Get(SerialId::ComboBox1).items,
            (std::vector<std::string>{"COM1", "Périphérique"}));
  Open();
  Choose(1);
  EXPECT_EQ(settings()[config::kSerialPort], "P\xE9riph\xE9rique");
  EXPECT_EQ(dialog().Text(SerialId::Label1), "Vous avez sélectionné le port Périphérique");
}

TEST_F(SerialDialogTest, WithoutTheKeyTheListIsEmptyAndNothingIsReported) {
  fake.registry.machine.clear();
  Start();
  EXPECT_TRUE(dialog().Get(SerialId::ComboBox1).items.empty());
  EXPECT_EQ(Edit(), "COM3");
  EXPECT_TRUE(fake.dialogs.errors.empty());
}

TEST_F(SerialDialogTest, AnotherRegistryErrorIsReportedAndTheDialogIsStillMade) {
  fake.registry.machine_failures[kSerialDeviceMap] = 5;
  Start();
  ASSERT_EQ(fake.dialogs.errors, (std::vector<std::string>{"Registry error (win error code: 5)"}));
  // The standard error box shows it as a sentence.
  EXPECT_EQ(platform::win32::ErrorBoxText(fake.dialogs.errors[0]),
            "Registry error (win error code: 5).");
  EXPECT_TRUE(dialog().Get(SerialId::ComboBox1).items.empty());
  EXPECT_EQ(Edit(), "");  // the stored port is not put in the field
  EXPECT_FALSE(dialog().Visible(SerialId::Label1));
  // The program goes on: the dialog opens from the menu.
  Open();
  EXPECT_TRUE(dialog().Shown());
}

TEST_F(SerialDialogTest, TheOptionsMenuEntryShowsTheDialogOnTop) {
  Start();
  Open();
  EXPECT_TRUE(dialog().Shown());
  EXPECT_TRUE(dialog().Get(SerialId::TForm2).topmost);
}

TEST_F(SerialDialogTest, FirstUseShowsThePromptOnceAndLaterOpeningsTheStoredPort) {
  settings_lines[1] = "0";
  Start();
  Open();
  Activate();
  EXPECT_EQ(Edit(), "Cliquez sur la flèche de droite ------------>");
  EXPECT_EQ(settings()[config::kSerialFirstUse], "1");
  // Activated again (another window was in front meanwhile): nothing changes.
  Type("COM");
  Activate();
  EXPECT_EQ(Edit(), "COM");
  dialog().ViewClick(ui::SerialForm::At(SerialId::SpeedButton1));
  // The main window's activation stores the setting.
  form().ViewActivate();
  EXPECT_EQ(SettingsFile()[1], "1");
  Open();
  Activate();
  EXPECT_EQ(Edit(), "COM3");
}

TEST_F(SerialDialogTest, OnlyAFirstUseSettingOfExactlyZeroPrompts) {
  for (const char* value : {"1", "", " 0", "00", "O"}) {
    settings_lines[1] = value;
    Start();
    Open();
    Activate();
    EXPECT_EQ(Edit(), "COM3") << value;
    EXPECT_EQ(settings()[config::kSerialFirstUse], value);
    app.reset();
  }
}

TEST_F(SerialDialogTest, TypingDoesNotChangeTheStoredPort) {
  Start();
  Open();
  Activate();
  Type("COM7");
  EXPECT_EQ(Edit(), "COM7");
  EXPECT_EQ(settings()[config::kSerialPort], "COM3");
  // Closed without a choice: the typed text is not kept for the next opening.
  dialog().ViewClose();
  Open();
  EXPECT_EQ(Edit(), "COM3");
}

TEST_F(SerialDialogTest, ChoosingAPortStoresItAndCentresTheConfirmation) {
  Start();
  MeasuringView view;
  view.outer_width = 334;
  view.text_width = 201;
  dialog().AttachView(&view);
  Open();
  Activate();
  Choose(1);
  EXPECT_EQ(settings()[config::kSerialPort], "COM10");
  EXPECT_EQ(Edit(), "COM10");
  EXPECT_TRUE(dialog().Visible(SerialId::Label1));
  EXPECT_EQ(dialog().Text(SerialId::Label1), "Vous avez sélectionné le port COM10");
  // (334 - 201) / 2 = 66.5, to the even 66, then 4 to the left.
  const ui::ControlState& label = dialog().Get(SerialId::Label1);
  EXPECT_EQ(label.x, 62);
  EXPECT_EQ(label.w, 201);
  EXPECT_EQ(label.y, ui::SerialLayout().controls[ui::SerialForm::At(SerialId::Label1)].y);

  // 131 / 2 = 65.5 goes up to the even 66; 135 / 2 = 67.5 up to 68.
  view.text_width = 203;
  Choose(0);
  EXPECT_EQ(dialog().Get(SerialId::Label1).x, 62);
  view.text_width = 199;
  Choose(2);
  EXPECT_EQ(dialog().Get(SerialId::Label1).x, 64);
  EXPECT_EQ(settings()[config::kSerialPort], "COM3");
  dialog().AttachView(nullptr);
  // The settings file gets it when the main window is activated next.
  form().ViewActivate();
  EXPECT_EQ(SettingsFile()[0], "COM3");
}

TEST_F(SerialDialogTest, WithoutAFrameWidthTheClientWidthCentres) {
  Start();
  MeasuringView view;  // reports no outer width
  view.text_width = 200;
  dialog().AttachView(&view);
  Open();
  Choose(0);
  dialog().AttachView(nullptr);
  EXPECT_EQ(dialog().Get(SerialId::Label1).x, ui::CentredLeft(328, 200) - 4);
}

TEST_F(SerialDialogTest, AChoiceOutsideTheListChangesNothing) {
  Start();
  Open();
  Choose(-1);
  Choose(3);
  EXPECT_EQ(settings()[config::kSerialPort], "COM3");
  EXPECT_FALSE(dialog().Visible(SerialId::Label1));
}

TEST_F(SerialDialogTest, OkAndTheCloseBoxHideTheConfirmationAndTheDialog) {
  Start();
  Open();
  Choose(0);
  ASSERT_TRUE(dialog().Visible(SerialId::Label1));
  dialog().ViewClick(ui::SerialForm::At(SerialId::SpeedButton1));
  EXPECT_FALSE(dialog().Visible(SerialId::Label1));
  EXPECT_FALSE(dialog().Shown());
  EXPECT_FALSE(dialog().Get(SerialId::TForm2).topmost);

  Open();
  Choose(1);
  dialog().ViewClose();
  EXPECT_FALSE(dialog().Visible(SerialId::Label1));
  EXPECT_FALSE(dialog().Shown());
  EXPECT_FALSE(dialog().Get(SerialId::TForm2).topmost);
  EXPECT_EQ(settings()[config::kSerialPort], "COM10");
}

TEST(SerialDialogHelp, TheTwoHelpButtonsOpenTheirTopics) {
  test::FakeFileSystem files;
  test::FakeRegistry registry;
  config::Configuration config(files);
  ui::SerialForm form(ui::SerialLayout());
  std::vector<std::string> topics;
  SerialDialog serial(form, registry, config,
                      [&](const std::string& topic) { topics.push_back(topic); });
  form.ViewCreate();
  form.ViewClick(ui::SerialForm::At(SerialId::SpeedButton3));  // "A&ide USB"
  form.ViewClick(ui::SerialForm::At(SerialId::SpeedButton2));  // "&Aide RS232"
  EXPECT_EQ(topics, (std::vector<std::string>{"rub32", "rub9"}));
}

}  // namespace
}  // namespace talvoro::serial
