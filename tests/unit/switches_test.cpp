// The tabs' switches with the mouse and the remote: lamps, state slots,
// exclusive groups, programming, page changes and clearing.
#include "heart_fixture.h"

namespace talvoro::test {
namespace {

using ui::MainId;
using ui::MouseButton;

class SwitchesTest : public HeartTest {};

TEST_F(SwitchesTest, AMouseTurnsAGroupAMemberOnAndEveryOtherMemberOffSavingOnceEach) {
  table[51] = "ON";   // Winamp
  table[201] = "ON";  // RealOne Player
  Start();
  Press(MainId::RxSwitch5);  // Windows Media Player
  EXPECT_EQ(SavesSinceStart(), 6);
  auto file = File();
  EXPECT_EQ(file[35], "ON");
  for (int slot : {51, 71, 91, 111, 201}) EXPECT_EQ(file[slot], "OFF") << slot;
  EXPECT_TRUE(On(MainId::RxSwitch5));
  EXPECT_FALSE(On(MainId::RxSwitch7));
  EXPECT_FALSE(On(MainId::RxSwitch21));
  EXPECT_EQ(*form().Get(MainId::Led3).image, "ledon.bmp");
  EXPECT_EQ(*form().Get(MainId::Led4).image, "ledoff.bmp");

  // Turning it off touches nobody else.
  Press(MainId::RxSwitch5);
  EXPECT_EQ(SavesSinceStart(), 7);
  EXPECT_EQ(File()[35], "OFF");
}

TEST_F(SwitchesTest, GroupBByMouseIsExclusiveButARemoteToggleOfGroupBIsNot) {
  table[171] = "ON";  // K!TV XP
  table[236] = "ON";  // Prog DVB
  table[132] = "500";
  Start();
  Send(500);  // Pinnacle PCTV's toggle code
  EXPECT_TRUE(On(MainId::RxSwitch15));
  EXPECT_TRUE(On(MainId::RxSwitch19));
  EXPECT_EQ(File()[131], "ON");
  EXPECT_EQ(File()[171], "ON");
  EXPECT_EQ(File()[236], "ON");

  Press(MainId::RxSwitch15);  // off
  const int before = Saves();
  Press(MainId::RxSwitch15);  // on again, by mouse
  EXPECT_EQ(Saves() - before, 3);
  EXPECT_EQ(File()[131], "ON");
  EXPECT_EQ(File()[171], "OFF");
  EXPECT_EQ(File()[236], "OFF");
}

TEST_F(SwitchesTest, ARemoteToggleOfGroupAKeepsThePlayersExclusiveAndRecordsItsPendingNumbers) {
  table[45] = "600";  // Windows Media Player's toggle
  table[52] = "601";  // Winamp's toggle
  table[51] = "ON";
  Start();
  Send(600);
  EXPECT_EQ(File()[35], "ON");
  EXPECT_EQ(File()[51], "OFF");
  EXPECT_EQ(state().Pending(dispatch::kTabWindowsMediaPlayer), 11);
  state().ResetPendingActions();
  Send(600);
  EXPECT_EQ(File()[35], "OFF");
  EXPECT_EQ(state().Pending(dispatch::kTabWindowsMediaPlayer), 10);
  Send(601);
  EXPECT_EQ(state().Pending(dispatch::kTabWinamp), 2);
  Send(601);
  EXPECT_EQ(state().Pending(dispatch::kTabWinamp), 1);
}

TEST_F(SwitchesTest, ARightButtonPressRewritesTheUnchangedState) {
  table[21] = "ON";
  Start();
  Press(MainId::RxSwitch3, MouseButton::Right);
  EXPECT_TRUE(On(MainId::RxSwitch3));
  EXPECT_EQ(SavesSinceStart(), 1);
  EXPECT_EQ(File()[21], "ON");
  Press(MainId::RxSwitch1, MouseButton::Middle);
  EXPECT_FALSE(On(MainId::RxSwitch1));
  EXPECT_EQ(SavesSinceStart(), 2);
  EXPECT_EQ(File()[1], "OFF");
}

TEST_F(SwitchesTest, InProgrammingModeAMediaActivationSwitchLearnsItsToggleCode) {
  table[51] = "ON";
  Start();
  Press(MainId::RxSwitch8);  // Winamp programming on: its activation goes off
  EXPECT_FALSE(On(MainId::RxSwitch7));
  EXPECT_EQ(File()[51], "OFF");
  EXPECT_EQ(state().programming_tab, dispatch::kTabWinamp);
  Press(MainId::RxSwitch7);
  EXPECT_FALSE(On(MainId::RxSwitch7));
  EXPECT_EQ(File()[51], "OFF");
  EXPECT_EQ(state().action_number, 40);
  EXPECT_TRUE(learn().Visible(ui::LearnId::TForm4));
  EXPECT_TRUE(learn().Get(ui::LearnId::TForm4).topmost);
}

TEST_F(SwitchesTest, VolumesWindowsAndPowerPointActivationFlipAsUsualWhileProgramming) {
  Start();
  Press(MainId::RxSwitch2);
  Press(MainId::RxSwitch1);
  EXPECT_TRUE(On(MainId::RxSwitch1));
  EXPECT_EQ(File()[1], "ON");
  EXPECT_FALSE(learn().Visible(ui::LearnId::TForm4));
}

TEST_F(SwitchesTest, ProgrammingOnTurnsActivationOffAndProgrammingOffRestoresNothing) {
  table[151] = "ON";
  Start();
  Press(MainId::RxSwitch18);
  EXPECT_FALSE(On(MainId::RxSwitch17));
  EXPECT_EQ(File()[151], "OFF");
  EXPECT_EQ(*form().Get(MainId::Led9).image, "ledoff.bmp");
  Press(MainId::RxSwitch18);
  EXPECT_FALSE(On(MainId::RxSwitch18));
  EXPECT_FALSE(On(MainId::RxSwitch17));
  EXPECT_EQ(File()[151], "OFF");
  EXPECT_EQ(state().programming_tab, dispatch::kTabPowerPoint);
}

// Turning the last programming switch off leaves alone an activation switch
// turned on meanwhile (Volumes flips it as usual while programming), and
// saves nothing.
TEST_F(SwitchesTest, ProgrammingOffLeavesAnActivationTurnedOnMeanwhileAndSavesNothing) {
  Start();
  Press(MainId::RxSwitch2);  // Volumes programming on: activation off
  Press(MainId::RxSwitch1);  // activation on again
  const int saves = Saves();
  Press(MainId::RxSwitch2);  // programming off
  EXPECT_FALSE(On(MainId::RxSwitch2));
  EXPECT_TRUE(On(MainId::RxSwitch1));
  EXPECT_EQ(*form().Get(MainId::Led1).image, "ledon.bmp");
  EXPECT_EQ(File()[1], "ON");
  EXPECT_EQ(Saves(), saves);
}

TEST_F(SwitchesTest, APageChangeTurnsEveryProgrammingSwitchOffWithoutRunningHandlers) {
  table[21] = "ON";
  Start();
  Press(MainId::RxSwitch2);  // Volumes programming (its activation was already off)
  Click(MainId::SpeedButton1);
  const int saves = Saves();
  form().ViewPageChange(ui::MainForm::At(MainId::PageControl1), 3);
  for (const auto& tab : dispatch::Tabs()) EXPECT_FALSE(On(tab.programming)) << tab.caption;
  EXPECT_TRUE(On(MainId::RxSwitch3));
  EXPECT_EQ(Saves(), saves);
  // The learning dialog stays.
  EXPECT_TRUE(learn().Visible(ui::LearnId::TForm4));
}

TEST_F(SwitchesTest, ClearingAsksWithTheTabsClearingNameAndOnNoOnlyTurnsProgrammingOff) {
  for (int slot = 52; slot <= 63; ++slot) table[slot] = std::to_string(1000 + slot);
  Start();
  Press(MainId::RxSwitch8);
  fake.dialogs.answer = platform::BoxResult::No;
  const int saves = Saves();
  Click(MainId::SpeedButton53);
  ASSERT_EQ(fake.dialogs.messages.size(), 1u);
  EXPECT_EQ(fake.dialogs.messages[0],
            "Êtes-vous sûr de vouloir effacer tous les codes IR de l'onglet \"Winamp\" ?");
  EXPECT_FALSE(On(MainId::RxSwitch8));
  EXPECT_EQ(Saves(), saves);
  for (int slot = 52; slot <= 63; ++slot) EXPECT_EQ(programme()[slot], std::to_string(1000 + slot));

  Click(MainId::SpeedButton81);
  EXPECT_EQ(fake.dialogs.messages[1],
            "Êtes-vous sûr de vouloir effacer tous les codes IR de l'onglet \"PCTV\" ?");
}

TEST_F(SwitchesTest, ClearingOnYesZeroesTheListShowsItAndSavesKeepingPaths) {
  for (int slot = 221; slot <= 230; ++slot) table[slot] = "C:\\prog" + std::to_string(slot);
  for (int slot = 152; slot <= 157; ++slot) table[slot] = "4" + std::to_string(slot);
  Start();
  Click(MainId::SpeedButton138);  // launcher
  auto file = File();
  for (int slot : {222, 224, 226, 228, 230}) EXPECT_EQ(file[slot], "0");
  for (int slot : {221, 223, 225, 227, 229})
    EXPECT_EQ(file[slot], "C:\\prog" + std::to_string(slot));
  EXPECT_EQ(form().Text(MainId::Label274), "IR: 0");
  EXPECT_EQ(form().Text(MainId::Label269), "C:\\prog221");

  Click(MainId::SpeedButton96);  // PowerPoint, including slot 152
  file = File();
  for (int slot = 152; slot <= 157; ++slot) EXPECT_EQ(file[slot], "0") << slot;
  EXPECT_EQ(file[151], "OFF");
}

TEST_F(SwitchesTest, ARemoteToggleAnnouncesItselfOnlyUnderTheOsdCondition) {
  table[52] = "601";
  settings_lines[5] = "OSD_ON";
  Start();
  Send(601);  // the window is shown: no announcement
  EXPECT_FALSE(osd_form().Visible(ui::OsdId::TForm5));

  win().Reduce();
  Send(601);
  EXPECT_TRUE(osd_form().Visible(ui::OsdId::TForm5));
  EXPECT_TRUE(osd_form().Visible(ui::OsdId::Panel5));
  EXPECT_EQ(osd_form().Text(ui::OsdId::Label11), "Lecteur Winamp");
  EXPECT_EQ(osd_form().Text(ui::OsdId::Label12), "Désactivation des codes IR");
  Send(601);
  EXPECT_EQ(osd_form().Text(ui::OsdId::Label12), "Activation des codes IR");
}

TEST_F(SwitchesTest, AnOsdSettingThatIsNotExactlyOsdOnShowsNothing) {
  table[52] = "601";
  settings_lines[5] = "OSD_ON ";
  Start();
  win().Reduce();
  Send(601);
  EXPECT_FALSE(osd_form().Visible(ui::OsdId::TForm5));
}

TEST_F(SwitchesTest, AMissingLampStopsTheStepBeforeTheStateIsStored) {
  Start();
  fake.files.files.erase(Path("ledon.bmp"));
  Press(MainId::RxSwitch3);
  ASSERT_EQ(fake.dialogs.errors.size(), 1u);
  EXPECT_NE(fake.dialogs.errors[0].find("ledon.bmp"), std::string::npos);
  EXPECT_EQ(programme()[21], "OFF");
  EXPECT_EQ(SavesSinceStart(), 0);
}

}  // namespace
}  // namespace talvoro::test
