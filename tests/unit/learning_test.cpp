// Learning: the dialog, arming, storing, abandoning and the conflict window.
#include "heart_fixture.h"

namespace talvoro::test {
namespace {

using ui::LearnId;
using ui::MainId;

class LearningTest : public HeartTest {
 protected:
  std::string Lamp(LearnId id) {
    const auto& image = learn().Get(id).image;
    return image ? *image : "(none)";
  }
};

TEST_F(LearningTest, TheDialogReadsItsLampsOnceAtCreationFromTheProgramDirectory) {
  Start();
  EXPECT_TRUE(fake.dialogs.errors.empty());
  EXPECT_EQ(Lamp(LearnId::Image1), "ledon.bmp");
  EXPECT_EQ(Lamp(LearnId::Image3), "ledoff.bmp");
  fake.timers.Fire(200);
  EXPECT_EQ(Lamp(LearnId::Image1), "ledon.bmp");  // not shown: no blinking

  Press(MainId::RxSwitch8);
  Click(MainId::SpeedButton34);
  EXPECT_TRUE(learn().Visible(LearnId::TForm4));
  // Blinking works from memory: the files are not read again.
  fake.files.files.erase(Path("ledon.bmp"));
  fake.files.files.erase(Path("ledoff.bmp"));
  fake.timers.Fire(200);
  EXPECT_EQ(Lamp(LearnId::Image1), "ledoff.bmp");
  EXPECT_EQ(Lamp(LearnId::Image3), "ledon.bmp");
  fake.timers.Fire(200);
  EXPECT_EQ(Lamp(LearnId::Image1), "ledon.bmp");
  EXPECT_EQ(Lamp(LearnId::Image3), "ledoff.bmp");
  EXPECT_TRUE(fake.dialogs.errors.empty());
}

TEST_F(LearningTest, AMissingLampIsReportedOnceAndItsLampStaysDark) {
  fake.files.files.erase(Path("ledoff.bmp"));
  fake.files.files[Path("programme_IR.inf")] = "";
  Start();
  const auto errors = fake.dialogs.errors.size();
  ASSERT_GE(errors, 1u);
  EXPECT_NE(fake.dialogs.errors.back().find("ledoff.bmp"), std::string::npos);
  win().learning().Arm(41);
  for (int i = 0; i < 5; ++i) fake.timers.Fire(200);
  EXPECT_EQ(fake.dialogs.errors.size(), errors);
}

TEST_F(LearningTest, StoringTurnsProgrammingOffHidesTheDialogAndSavesAndShowsTheCode) {
  table[51] = "ON";
  Start();
  Press(MainId::RxSwitch8);
  Click(MainId::SpeedButton34);  // action 41, slot 53
  EXPECT_EQ(state().action_number, 41);
  Send(4660);
  EXPECT_FALSE(On(MainId::RxSwitch8));
  EXPECT_FALSE(learn().Visible(LearnId::TForm4));
  EXPECT_FALSE(learn().Get(LearnId::TForm4).topmost);
  EXPECT_EQ(File()[53], "4660");
  EXPECT_EQ(form().Text(MainId::LabelIr53), "IR: 4660");
  EXPECT_EQ(state().action_number, 41);  // never cleared

  // Programming again without clicking: the last armed action learns again,
  // without the dialog.
  Press(MainId::RxSwitch8);
  Send(4661);
  EXPECT_EQ(File()[53], "4661");
  EXPECT_FALSE(learn().Visible(LearnId::TForm4));
}

TEST_F(LearningTest, AnActionNumberOfAnotherTabStoresNothingOnThisOne) {
  Start();
  Press(MainId::RxSwitch8);
  Click(MainId::SpeedButton34);  // Winamp's action
  Press(MainId::RxSwitch8);      // off
  Press(MainId::RxSwitch10);     // Power DVD programming
  const auto before = File();
  Send(4662);
  EXPECT_EQ(File(), before);
  EXPECT_TRUE(On(MainId::RxSwitch10));
}

TEST_F(LearningTest, AbandonTurnsEveryProgrammingSwitchOffAndKeepsTheActionNumber) {
  Start();
  Press(MainId::RxSwitch2);
  Press(MainId::RxSwitch4);
  Click(MainId::SpeedButton11);
  learn().ViewClick(ui::LearnForm::At(LearnId::Button1));
  for (const auto& tab : dispatch::Tabs()) EXPECT_FALSE(On(tab.programming));
  EXPECT_FALSE(learn().Visible(LearnId::TForm4));
  EXPECT_FALSE(learn().Get(LearnId::TForm4).topmost);
  EXPECT_EQ(state().action_number, 10);
}

TEST_F(LearningTest, TheLauncherAndClosingActivationSwitchesArmNumbersThatStoreNothing) {
  Start();
  Press(MainId::RxSwitch24);
  Press(MainId::RxSwitch23);
  EXPECT_EQ(state().action_number, 190);
  EXPECT_TRUE(learn().Visible(LearnId::TForm4));
  const auto before = File();
  Send(1234);
  EXPECT_EQ(File(), before);
  EXPECT_TRUE(learn().Visible(LearnId::TForm4));  // waits for "&Abandonner"

  Press(MainId::RxSwitch27);
  Press(MainId::RxSwitch29);
  EXPECT_EQ(state().action_number, 220);
}

TEST_F(LearningTest, TheConflictWindowsOkHidesIt) {
  Start();
  win().learning().Refuse();
  EXPECT_TRUE(conflict().Visible(ui::ConflictId::TForm7));
  conflict().ViewClick(ui::ConflictForm::At(ui::ConflictId::Button1));
  EXPECT_FALSE(conflict().Visible(ui::ConflictId::TForm7));
  EXPECT_FALSE(conflict().Get(ui::ConflictId::TForm7).topmost);
}

TEST_F(LearningTest, LearningTheSameCodeForTwoActionsRunsBoth) {
  table[21] = "ON";
  Start();
  RecordActions();
  Press(MainId::RxSwitch4);
  Click(MainId::SpeedButton11);
  Send(70);
  Press(MainId::RxSwitch4);
  Click(MainId::SpeedButton12);
  Send(70);
  Press(MainId::RxSwitch3);  // activation back on
  Send(70);
  EXPECT_EQ(ran, (std::vector<int>{10, 11}));
}

}  // namespace
}  // namespace talvoro::test
