// The "Touches personnalisées" tab: twenty rows that send the keys chosen for
// them, learned, cleared and chosen like the other tabs' buttons and paths.
#include <algorithm>

#include "heart_fixture.h"

namespace talvoro::test {
namespace {

using ui::KeysId;
using ui::MainId;
using Strings = std::vector<std::string>;

constexpr int kState = 259;

class CustomKeysTest : public HeartTest {
 protected:
  // Row n's code is 2600 + n; rows 1 to 6 hold a chord, a media key, a
  // Windows chord, an arrow, a text that does not parse and nothing.
  void SetUp() override {
    table[kState] = "ON";
    for (int row = 1; row <= 20; ++row) table[258 + 2 * row] = std::to_string(2600 + row);
    table[261] = "ctrl+shift+k";
    table[263] = "MediaPlayPause";
    table[265] = "Win+D";
    table[267] = "Alt+Left";
    table[269] = "Ctrl+\xE9";
    settings_lines[5] = "OSD_ON";
  }
  void StartRecording() {
    Start();
    fake.keyboard.stream = &keys;
  }
  int Pending() { return state().Pending(dispatch::kTabCustomKeys); }
  ui::KeysForm& dialog() { return app->forms().keys; }
  void Pick(KeysId id) { dialog().ViewClick(ui::KeysForm::At(id)); }
  // The user presses a combination in the hot-key field.
  void PressInField(int position) {
    dialog().ViewSetPosition(ui::KeysForm::At(KeysId::HotKey1), position);
    Pick(KeysId::HotKey1);
  }
  void Tick(KeysId box) {
    dialog().ViewSetChecked(ui::KeysForm::At(box), !dialog().Checked(box));
    Pick(box);
  }
  void ChooseInList(const std::string& item) {
    const auto& items = dialog().Get(KeysId::ComboBox1).items;
    const auto it = std::find(items.begin(), items.end(), item);
    ASSERT_NE(it, items.end()) << item;
    dialog().ViewSetPosition(ui::KeysForm::At(KeysId::ComboBox1),
                             static_cast<int>(it - items.begin()));
    Pick(KeysId::ComboBox1);
  }

  Strings keys;
};

TEST_F(CustomKeysTest, EachRowsCodeSendsItsKeysWithTheRealKeysExtendedFlag) {
  StartRecording();
  Send(2601);
  EXPECT_EQ(keys,
            (Strings{"down 0x11", "down 0x10", "down 0x4B", "up 0x4B", "up 0x10", "up 0x11"}));
  EXPECT_EQ(Pending(), 1);
  keys.clear();
  Send(2602);
  Send(2603);
  Send(2604);
  EXPECT_EQ(keys, (Strings{"down 0xB3 ext", "up 0xB3 ext", "down 0x5B ext", "down 0x44", "up 0x44",
                           "up 0x5B ext", "down 0x12", "down 0x25 ext", "up 0x25 ext", "up 0x12"}));
  EXPECT_EQ(Pending(), 4);
  // A click sends the same.
  keys.clear();
  Click(MainId::KeyButton2);
  EXPECT_EQ(keys, (Strings{"down 0xB3 ext", "up 0xB3 ext"}));
}

TEST_F(CustomKeysTest, WithTheRepeatFilterAHeldButtonStillRepeatsItsKeys) {
  settings_lines[9] = "ANTIREPET_ON";
  StartRecording();
  Send(2602);
  Send(2602);  // at once: a repeat
  EXPECT_EQ(keys, (Strings{"down 0xB3 ext", "up 0xB3 ext", "down 0xB3 ext", "up 0xB3 ext"}));
}

TEST_F(CustomKeysTest, InvalidAndEmptyRowsSendNothingAndTheWindowShowsEveryRowsKeysInFrench) {
  StartRecording();
  Send(2605);
  EXPECT_EQ(Pending(), 5);
  Send(2606);
  EXPECT_EQ(Pending(), 6);
  EXPECT_TRUE(keys.empty());
  EXPECT_EQ(form().Text(MainId::LabelKeys1), "Ctrl+Maj+K");
  EXPECT_EQ(form().Text(MainId::LabelKeys2), "Lecture/Pause");
  EXPECT_EQ(form().Text(MainId::LabelKeys3), "Win+D");
  EXPECT_EQ(form().Text(MainId::LabelKeys4), "Alt+Gauche");
  EXPECT_EQ(form().Text(MainId::LabelKeys5), "(invalide)");
  EXPECT_EQ(form().Text(MainId::LabelKeys6), "(aucune)");
  EXPECT_EQ(form().Text(MainId::LabelIrKey20), "IR: 2620");
  // Kept byte for byte, as the user wrote it, through the saves of others.
  Press(MainId::RxSwitch31);
  EXPECT_EQ(File()[261], "ctrl+shift+k");
  EXPECT_EQ(File()[269], "Ctrl+\xE9");
}

TEST_F(CustomKeysTest, WithTheTabOffTheRemoteSendsNothing) {
  table[kState] = "OFF";
  StartRecording();
  Send(2601);
  Send(2602);
  EXPECT_TRUE(keys.empty());
  EXPECT_EQ(Pending(), 0);
}

TEST_F(CustomKeysTest, ReducedWithTheOsdOnEachRowIsAnnouncedAndTheTickConsumesIt) {
  StartRecording();
  win().Reduce();
  Send(2603);
  EXPECT_TRUE(osd_form().Shown());
  EXPECT_EQ(osd_form().Text(ui::OsdId::Label11), "Touches personnalisées");
  EXPECT_EQ(osd_form().Text(ui::OsdId::Label12), "Touche 3 : Win+D");
  Send(2605);
  EXPECT_EQ(osd_form().Text(ui::OsdId::Label12), "Touche 5 : (invalide)");
  for (int row : {1, 20}) {
    Send(2600 + row);
    EXPECT_EQ(Pending(), row);
    fake.timers.Fire(100);
    EXPECT_EQ(Pending(), 0) << row;
  }
}

TEST_F(CustomKeysTest, ButtonsArmLearningIntoTheirCodeSlotsAndSendNothingMeanwhile) {
  StartRecording();
  Press(MainId::RxSwitch31);
  EXPECT_EQ(File()[kState], "OFF");
  Click(MainId::KeyButton1);
  EXPECT_EQ(state().action_number, 231);
  EXPECT_TRUE(learn().Shown());
  Send(777);
  EXPECT_EQ(File()[260], "777");
  EXPECT_EQ(form().Text(MainId::LabelIrKey1), "IR: 777");
  Press(MainId::RxSwitch31);
  Click(MainId::KeyButton20);
  EXPECT_EQ(state().action_number, 250);
  Send(778);
  EXPECT_EQ(File()[298], "778");
  EXPECT_TRUE(keys.empty());
  EXPECT_EQ(Pending(), 0);
}

TEST_F(CustomKeysTest, ItsProgrammingSwitchRefusesAToggleCodeAndARefusalTurnsItOff) {
  table[45] = "4500";  // Windows Media Player's toggle
  Start();
  Press(MainId::RxSwitch31);
  Click(MainId::KeyButton4);
  Send(4500);
  EXPECT_TRUE(conflict().Shown());
  EXPECT_FALSE(On(MainId::RxSwitch31));
  EXPECT_EQ(File()[266], "2604");
  EXPECT_EQ(File()[35], "OFF");  // and the toggle did not run
}

TEST_F(CustomKeysTest, ClearingResetsTheCodesAndKeepsTheKeys) {
  Start();
  fake.dialogs.answer = platform::BoxResult::Yes;
  Click(MainId::SpeedButton156);
  ASSERT_EQ(fake.dialogs.messages.size(), 1u);
  EXPECT_NE(fake.dialogs.messages[0].find("\"Touches personnalisées\""), std::string::npos);
  const auto file = File();
  for (int row = 1; row <= 20; ++row) EXPECT_EQ(file[258 + 2 * row], "0") << row;
  EXPECT_EQ(file[261], "ctrl+shift+k");
  EXPECT_EQ(file[263], "MediaPlayPause");
  EXPECT_EQ(file[kState], "ON");
  EXPECT_EQ(form().Text(MainId::LabelKeys3), "Win+D");
  EXPECT_EQ(form().Text(MainId::LabelIrKey3), "IR: 0");
}

TEST_F(CustomKeysTest, TheDialogShowsARowsKeysAndOkStoresWhatIsChosen) {
  Start();
  Click(MainId::KeyChooser3);  // "Win+D"
  EXPECT_TRUE(dialog().Shown());
  EXPECT_EQ(dialog().Text(KeysId::TForm9), "Touche 3 : touches à envoyer");
  EXPECT_EQ(dialog().Position(KeysId::HotKey1), 'D');
  EXPECT_TRUE(dialog().Checked(KeysId::CheckBox4));
  EXPECT_FALSE(dialog().Checked(KeysId::CheckBox1));
  EXPECT_EQ(dialog().Text(KeysId::Label3), "Touches envoyées : Win+D");

  // Ctrl+Alt+F5 pressed in the field: its modifiers join the Windows key.
  PressInField(ui::hotkey::kCtrl | ui::hotkey::kAlt | 0x74);
  EXPECT_TRUE(dialog().Checked(KeysId::CheckBox1));
  EXPECT_TRUE(dialog().Checked(KeysId::CheckBox3));
  EXPECT_EQ(dialog().Text(KeysId::Label3), "Touches envoyées : Ctrl+Alt+Win+F5");
  const int saves = Saves();
  Pick(KeysId::Button1);
  EXPECT_FALSE(dialog().Shown());
  EXPECT_EQ(File()[265], "Ctrl+Alt+Win+F5");
  EXPECT_EQ(Saves(), saves + 1);
  EXPECT_EQ(form().Text(MainId::LabelKeys3), "Ctrl+Alt+Win+F5");

  // A key the field cannot take, from the list, with Maj ticked; the field
  // then shows the boxes' modifiers alone.
  Click(MainId::KeyChooser6);
  EXPECT_EQ(dialog().Position(KeysId::HotKey1), 0);
  EXPECT_EQ(dialog().Text(KeysId::Label3), "Touches envoyées : (aucune)");
  ChooseInList("Lecture/Pause");
  Tick(KeysId::CheckBox2);
  EXPECT_EQ(dialog().Position(KeysId::HotKey1), 0);
  Pick(KeysId::Button1);
  EXPECT_EQ(File()[271], "Shift+MediaPlayPause");
  EXPECT_EQ(form().Text(MainId::LabelKeys6), "Maj+Lecture/Pause");

  // Reopened, the listed key is chosen in the list.
  Click(MainId::KeyChooser6);
  EXPECT_EQ(dialog()
                .Get(KeysId::ComboBox1)
                .items.at(static_cast<std::size_t>(dialog().Position(KeysId::ComboBox1))),
            "Lecture/Pause");
  EXPECT_TRUE(dialog().Checked(KeysId::CheckBox2));
}

TEST_F(CustomKeysTest, TheFieldTakesOnlyNamedKeysAndCancellingKeepsTheSlot) {
  Start();
  Click(MainId::KeyChooser1);
  EXPECT_EQ(dialog().Position(KeysId::HotKey1), ui::hotkey::kCtrl | ui::hotkey::kShift | 'K');
  // Modifiers held alone stay in the field; a punctuation key (VK_OEM_1)
  // has no name: the field is emptied.
  PressInField(ui::hotkey::kAlt);
  EXPECT_EQ(dialog().Position(KeysId::HotKey1), ui::hotkey::kAlt);
  EXPECT_TRUE(dialog().Checked(KeysId::CheckBox1));
  PressInField(ui::hotkey::kCtrl | 0xBA);
  EXPECT_EQ(dialog().Position(KeysId::HotKey1), 0);
  EXPECT_EQ(dialog().Text(KeysId::Label3), "Touches envoyées : (aucune)");
  // Page Up from the field shows as the extended key it is.
  PressInField(0x21);
  EXPECT_EQ(dialog().Position(KeysId::HotKey1), ui::hotkey::kExtended | 0x21);
  EXPECT_FALSE(dialog().Checked(KeysId::CheckBox1));
  const int saves = Saves();
  Pick(KeysId::Button2);
  EXPECT_FALSE(dialog().Shown());
  Click(MainId::KeyChooser1);
  dialog().ViewClose();
  EXPECT_EQ(Saves(), saves);
  EXPECT_EQ(File()[261], "ctrl+shift+k");
  // Ok with nothing chosen empties the slot.
  Click(MainId::KeyChooser2);
  ChooseInList("(aucune)");
  Pick(KeysId::Button1);
  EXPECT_EQ(File()[263], "");
  EXPECT_EQ(form().Text(MainId::LabelKeys2), "(aucune)");
}

}  // namespace
}  // namespace talvoro::test
