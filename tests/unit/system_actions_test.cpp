// The Volumes, Windows and closing tabs from their buttons and the remote.
#include "heart_fixture.h"

namespace talvoro::test {
namespace {

using platform::ChannelLevels;
using ui::MainId;
using ui::MouseButton;
using KeyEvents = std::vector<std::pair<std::uint8_t, bool>>;

class VolumesTest : public HeartTest {
 protected:
  void SetUpTable(const std::string& selection, int master, int wave, int balance) {
    table[2] = selection;
    table[3] = std::to_string(master);
    table[5] = std::to_string(balance);
    table[6] = std::to_string(wave);
  }
  std::vector<int> MasterSteps(MainId button, int presses) {
    std::vector<int> levels;
    for (int i = 0; i < presses; ++i) {
      Click(button);
      levels.push_back(std::stoi(File()[3]));
    }
    return levels;
  }
  int Pending() { return state().Pending(dispatch::kTabVolumes); }
};

TEST_F(VolumesTest, MasterStepsByTenWithinItsBoundsWritingEverythingAgainAtABound) {
  SetUpTable("VG", 85, 100, 0);
  Start();
  EXPECT_EQ(MasterSteps(MainId::SpeedButton1, 3), (std::vector<int>{95, 100, 100}));
  EXPECT_EQ(Pending(), 31);
  EXPECT_EQ(form().Get(MainId::ProgressBar1).position, 100);
  EXPECT_EQ(fake.mixer.master.left, 65535u);
  const int saves = Saves();
  Click(MainId::SpeedButton1);
  EXPECT_EQ(Saves(), saves + 1);
  EXPECT_EQ(File()[6], "100");  // the wave level is not touched
  state().levels.master = 10;
  EXPECT_EQ(MasterSteps(MainId::SpeedButton2, 2), (std::vector<int>{0, 0}));
  EXPECT_EQ(Pending(), 41);
}

TEST_F(VolumesTest, WaveStepsByTwentyFiveAndStopsAtItsBounds) {
  SetUpTable("VW", 60, 0, 0);
  Start();
  std::vector<std::string> up;
  for (int i = 0; i < 12; ++i) {
    Click(MainId::SpeedButton1);
    up.push_back(File()[6]);
  }
  EXPECT_EQ(up, (std::vector<std::string>{"25", "50", "75", "100", "125", "150", "175", "200",
                                          "225", "250", "255", "255"}));
  EXPECT_EQ(Pending(), 32);
  EXPECT_EQ(fake.mixer.wave, 255u * 0x01000100u);
  Click(MainId::SpeedButton2);
  EXPECT_EQ(File()[6], "230");
  EXPECT_EQ(Pending(), 42);
  state().levels.wave = 10;
  Click(MainId::SpeedButton2);
  EXPECT_EQ(File()[6], "0");
  EXPECT_EQ(File()[3], "60");  // master untouched
}

TEST_F(VolumesTest, WithWaveSelectedMuteAndBalanceDoNothingButArmWhileProgramming) {
  SetUpTable("VW", 60, 100, 20);
  Start();
  EXPECT_FALSE(form().Visible(MainId::Panel4));
  const int saves = Saves();
  for (MainId button :
       {MainId::SpeedButton6, MainId::SpeedButton4, MainId::SpeedButton5, MainId::SpeedButton3})
    Click(button);
  EXPECT_EQ(Saves(), saves);
  EXPECT_EQ(Pending(), 0);
  Press(MainId::RxSwitch2);
  Click(MainId::SpeedButton4);
  EXPECT_EQ(state().action_number, 6);
  EXPECT_TRUE(learn().Shown());
  EXPECT_EQ(File()[5], "20");
}

TEST_F(VolumesTest, InProgrammingModeVolumeUpArmsAndActs) {
  SetUpTable("VG", 60, 100, 0);
  Start();
  Press(MainId::RxSwitch2);
  Click(MainId::SpeedButton1);
  EXPECT_EQ(state().action_number, 3);
  EXPECT_TRUE(learn().Shown());
  EXPECT_EQ(File()[3], "70");
}

TEST_F(VolumesTest, BalanceMovesByTenWithinNinetyAndTheTrackBarShowsIt) {
  SetUpTable("VG", 100, 100, 85);
  Start();
  Click(MainId::SpeedButton4);
  EXPECT_EQ(File()[5], "90");
  EXPECT_EQ(Pending(), 6);
  EXPECT_EQ(form().Get(MainId::TrackBar1).position, 90);
  EXPECT_FALSE(form().Enabled(MainId::TrackBar1));
  EXPECT_EQ(fake.mixer.master.left, 6553u);
  EXPECT_EQ(fake.mixer.master.right, 65535u);
  Click(MainId::SpeedButton4);
  EXPECT_EQ(File()[5], "90");
  state().levels.balance = -85;
  Click(MainId::SpeedButton5);
  Click(MainId::SpeedButton5);
  EXPECT_EQ(File()[5], "-90");
  EXPECT_EQ(Pending(), 7);
  Click(MainId::SpeedButton3);
  EXPECT_EQ(File()[5], "0");
  EXPECT_EQ(Pending(), 8);
}

TEST_F(VolumesTest, MuteFlipsTheGlyphTheSlotAndTheMixer) {
  SetUpTable("VG", 60, 100, 0);
  Start();
  Click(MainId::SpeedButton6);
  EXPECT_TRUE(fake.mixer.mute);
  EXPECT_EQ(File()[4], "SON_OFF");
  EXPECT_EQ(*form().Get(MainId::SpeedButton6).image, "SON_OFF.BMP");
  EXPECT_EQ(Pending(), 52);
  Click(MainId::SpeedButton6);
  EXPECT_FALSE(fake.mixer.mute);
  EXPECT_EQ(File()[4], "SON_ON");
  EXPECT_EQ(Pending(), 51);
}

TEST_F(VolumesTest, AMissingSpeakerPictureIsReportedOnceAndTheActionStillCompletes) {
  SetUpTable("VG", 60, 100, 0);
  settings_lines[5] = "OSD_ON";
  fake.files.files[Path("SON_ON.bmp")] = "SON_ON.bmp";
  Start();
  fake.files.files.erase(Path("SON_OFF.BMP"));  // the glyph
  win().Reduce();
  Click(MainId::SpeedButton6);
  EXPECT_EQ(File()[4], "SON_OFF");
  EXPECT_EQ(form().Get(MainId::SpeedButton6).image, nullptr);
  EXPECT_TRUE(osd_form().Shown());
  ASSERT_EQ(fake.dialogs.errors.size(), 1u);
  // The glyph and the announcement's own picture, in one box.
  EXPECT_NE(fake.dialogs.errors[0].find("SON_OFF.BMP"), std::string::npos);
  EXPECT_NE(fake.dialogs.errors[0].find("SON_OFF.bmp"), std::string::npos);
  for (int i = 0; i < 3; ++i) Click(MainId::SpeedButton6);
  Click(MainId::SpeedButton1);
  EXPECT_EQ(fake.dialogs.errors.size(), 1u);
  EXPECT_EQ(File()[3], "70");
}

TEST_F(VolumesTest, SelectingByMouseLeavesTheCheckToTheButtonByRemoteChecksAndAnnounces) {
  SetUpTable("VG", 60, 100, 0);
  table[8] = "808";
  table[1] = "ON";
  settings_lines[5] = "OSD_ON";
  Start();
  form().ViewMouseDown(ui::MainForm::At(MainId::RadioButton2), MouseButton::Right);
  EXPECT_EQ(File()[2], "VW");
  EXPECT_EQ(form().Text(MainId::Label16), "Volume wave / MP3");
  EXPECT_EQ(form().Get(MainId::Label16).x, 88);
  EXPECT_FALSE(form().Visible(MainId::Panel4));
  EXPECT_FALSE(form().Visible(MainId::SpeedButton6));
  EXPECT_FALSE(form().Visible(MainId::Label15));
  EXPECT_FALSE(On(MainId::RadioButton2));  // a right press does not check it
  EXPECT_EQ(Pending(), 2);

  form().ViewMouseDown(ui::MainForm::At(MainId::RadioButton1), MouseButton::Left);
  EXPECT_EQ(File()[2], "VG");
  EXPECT_TRUE(form().Visible(MainId::Panel4));

  win().Reduce();
  Send(808);
  EXPECT_TRUE(On(MainId::RadioButton2));
  EXPECT_FALSE(On(MainId::RadioButton1));
  EXPECT_TRUE(osd_form().Visible(ui::OsdId::Panel3));
  EXPECT_EQ(osd_form().Text(ui::OsdId::Label8), "Volume wave / MP3 sélectionné...");
  EXPECT_EQ(osd_form().Get(ui::OsdId::Label8).x, 40);
}

TEST_F(VolumesTest, WithTheWindowShownNoOsdWhateverTheSetting) {
  SetUpTable("VG", 60, 100, 0);
  settings_lines[5] = "OSD_ON";
  Start();
  Click(MainId::SpeedButton1);
  EXPECT_FALSE(osd_form().Shown());
  win().Reduce();
  Click(MainId::SpeedButton1);
  EXPECT_TRUE(osd_form().Visible(ui::OsdId::Panel1));
  EXPECT_EQ(osd_form().Get(ui::OsdId::ProgressBar1).position, 80);
}

class WindowsTabTest : public HeartTest {
 protected:
  void SetUp() override {
    table[21] = "ON";
    for (int slot = 22; slot <= 29; ++slot) table[slot] = std::to_string(slot * 10);
    settings_lines[5] = "OSD_ON";
    Start();
  }
  int Pending() { return state().Pending(dispatch::kTabWindows); }
  std::string Line(ui::CountdownId id) { return app->forms().countdown.Text(id); }
  bool CountdownShown() { return app->forms().countdown.Shown(); }
  void Second() { fake.timers.Fire(1000); }
};

TEST_F(WindowsTabTest, ProgramsStartWithTheirFallbacksInOrder) {
  Send(220);
  EXPECT_EQ(fake.keyboard.events,
            (KeyEvents{{0x5B, false}, {0x45, false}, {0x45, true}, {0x5B, true}}));
  EXPECT_EQ(Pending(), 1);
  fake.programs.fails = {"open IEXPLORE.EXE", "open msimn.exe", "system SNDVOL32.EXE"};
  Send(230);
  Send(240);
  Send(250);
  EXPECT_EQ(
      fake.programs.calls,
      (std::vector<std::string>{"open IEXPLORE.EXE", "default http", "open msimn.exe",
                                "default mailto", "system SNDVOL32.EXE", "system sndvol.exe"}));
  EXPECT_EQ(Pending(), 4);
  fake.programs.calls.clear();
  fake.programs.fails.clear();
  Send(230);
  EXPECT_EQ(fake.programs.calls, (std::vector<std::string>{"open IEXPLORE.EXE"}));
}

TEST_F(WindowsTabTest, ProgramButtonsAnnounceEvenWhileProgrammingThePcButtonsOnlyArm) {
  win().Reduce();
  Press(MainId::RxSwitch4);
  Click(MainId::SpeedButton12);
  EXPECT_TRUE(fake.programs.calls.empty());
  EXPECT_TRUE(osd_form().Visible(ui::OsdId::Panel4));
  EXPECT_EQ(osd_form().Text(ui::OsdId::Label9), "Ouverture d'Internet Explorer.");
  EXPECT_EQ(osd_form().Text(ui::OsdId::Label10), "Patientez...");
  for (MainId button :
       {MainId::SpeedButton7, MainId::SpeedButton8, MainId::SpeedButton9, MainId::SpeedButton10})
    Click(button);
  EXPECT_EQ(state().action_number, 17);
  EXPECT_TRUE(fake.power.calls.empty());
  EXPECT_FALSE(CountdownShown());
  EXPECT_EQ(Pending(), 0);
}

TEST_F(WindowsTabTest, ScreenSaverAndDisplayOffWithoutAnnouncement) {
  win().Reduce();
  Send(260);
  EXPECT_EQ(Pending(), 5);
  Send(270);
  EXPECT_EQ(Pending(), 6);
  EXPECT_EQ(fake.power.calls, (std::vector<std::string>{"screen-saver", "display-off"}));
  EXPECT_FALSE(osd_form().Shown());
}

TEST_F(WindowsTabTest, ARestartCountsDownFiveSecondsThenRestarts) {
  state().receiver_active = 0;  // nothing clears the countdown's number
  Send(280);
  EXPECT_TRUE(CountdownShown());
  EXPECT_TRUE(app->forms().countdown.Get(ui::CountdownId::TForm6).topmost);
  EXPECT_EQ(Line(ui::CountdownId::Label1), "Redémarrage du PC dans 5 secondes");
  EXPECT_EQ(Line(ui::CountdownId::Label2), "Recliquez sur le même bouton pour annuler...");
  EXPECT_FALSE(state().countdown_idle);
  std::vector<std::string> seen;
  for (int i = 0; i < 4; ++i) {
    Second();
    seen.push_back(Line(ui::CountdownId::Label1));
  }
  EXPECT_EQ(seen, (std::vector<std::string>{
                      "Redémarrage du PC dans 4 secondes", "Redémarrage du PC dans 3 secondes",
                      "Redémarrage du PC dans 2 secondes", "Redémarrage du PC dans 1 secondes"}));
  EXPECT_TRUE(fake.power.calls.empty());
  Second();
  EXPECT_EQ(Line(ui::CountdownId::Label1), "Le PC va redémarrer.");
  EXPECT_EQ(Line(ui::CountdownId::Label2), "Fermeture de Windows en cours...");
  EXPECT_EQ(fake.power.calls, (std::vector<std::string>{"restart"}));
  Second();
  EXPECT_EQ(fake.power.calls.size(), 1u);
}

TEST_F(WindowsTabTest, AShutDownEndsWithItsOwnTexts) {
  state().receiver_active = 0;
  Send(290);
  EXPECT_EQ(Line(ui::CountdownId::Label1), "Arrêt du PC dans 5 secondes");
  for (int i = 0; i < 5; ++i) Second();
  EXPECT_EQ(Line(ui::CountdownId::Label1), "Le PC va s'arrêter.");
  EXPECT_EQ(fake.power.calls, (std::vector<std::string>{"shut-down"}));
}

TEST_F(WindowsTabTest, EitherButtonCancelsAndAThirdPressStartsAgain) {
  Send(280);
  Second();
  Send(290);  // shut-down cancels the restart
  EXPECT_FALSE(CountdownShown());
  EXPECT_FALSE(app->forms().countdown.Get(ui::CountdownId::TForm6).topmost);
  EXPECT_TRUE(state().countdown_idle);
  EXPECT_EQ(state().countdown_seconds, 5);
  EXPECT_EQ(Pending(), 0);
  for (int i = 0; i < 6; ++i) Second();
  EXPECT_TRUE(fake.power.calls.empty());
  Send(280);
  EXPECT_TRUE(CountdownShown());
  EXPECT_EQ(Pending(), 7);
}

TEST_F(WindowsTabTest, ACountdownDefeatedByAnotherActionEndsCleanly) {
  Send(280);
  fake.timers.Fire(100);  // the periodic tick leaves the running countdown
  EXPECT_EQ(Pending(), 7);
  Send(260);  // another action: the next tick clears every number
  fake.timers.Fire(100);
  EXPECT_EQ(Pending(), 0);
  Second();
  EXPECT_FALSE(CountdownShown());
  EXPECT_TRUE(state().countdown_idle);
  EXPECT_EQ(state().countdown_seconds, 5);
  for (int i = 0; i < 6; ++i) Second();
  EXPECT_EQ(fake.power.calls, (std::vector<std::string>{"screen-saver"}));
  Send(280);  // a new press starts a new countdown, not a cancel
  EXPECT_TRUE(CountdownShown());
}

class CloseAppTest : public HeartTest {
 protected:
  void SetUp() override {
    table[255] = "ON";
    table[256] = "1";
    table[257] = "2";
    table[258] = "3";
    settings_lines[5] = "OSD_ON";
    Start();
  }
};

TEST_F(CloseAppTest, SelectionThreeTimesThenValidationHoldsAltUntilTheEnd) {
  Send(1);
  Send(1);
  Send(1);
  Send(2);
  KeyEvents expected;
  for (int i = 0; i < 3; ++i) {
    expected.push_back({0x12, false});
    expected.push_back({0x09, false});
    expected.push_back({0x09, true});
  }
  expected.push_back({0x12, true});
  EXPECT_EQ(fake.keyboard.events, expected);
  EXPECT_EQ(state().Pending(dispatch::kTabCloseApp), 2);
  fake.keyboard.events.clear();
  Send(3);
  EXPECT_EQ(fake.keyboard.events,
            (KeyEvents{{0x12, false}, {0x73, false}, {0x73, true}, {0x12, true}}));
  EXPECT_EQ(state().Pending(dispatch::kTabCloseApp), 3);
}

TEST_F(CloseAppTest, WhileProgrammingNoKeyIsSentButTheOsdStillAnnounces) {
  win().Reduce();
  Press(MainId::RxSwitch27);
  Click(MainId::SpeedButton154);
  EXPECT_TRUE(fake.keyboard.events.empty());
  EXPECT_EQ(state().action_number, 223);
  EXPECT_EQ(osd_form().Text(ui::OsdId::Label11), "Fermeture application");
  EXPECT_EQ(osd_form().Text(ui::OsdId::Label12), "Bouton : Fermer");
}

}  // namespace
}  // namespace talvoro::test
