// Routing and the dispatch pass over the real slot map: every comparison that
// succeeds has its effect, in the order of the pass.
#include <algorithm>

#include "heart_fixture.h"

namespace talvoro::test {
namespace {

using dispatch::Caller;
using dispatch::Step;
using ui::MainId;

std::vector<int> LearnActions(int tab) {
  std::vector<int> actions;
  for (const Step& step : dispatch::Pass())
    if (step.kind == Step::Kind::Learn && step.tab->number == tab)
      actions.push_back(step.code->action);
  return actions;
}

TEST(DispatchPass, WalksTabByTabTogglesFirstThenMatchesInSlotOrderThenLearning) {
  int previous_tab = 0;
  Step::Kind previous_kind = Step::Kind::Toggle;
  int previous_slot = 0;
  std::size_t matches = 0, learns = 0, toggles = 0;
  for (const Step& step : dispatch::Pass()) {
    const int tab = step.tab->number;
    ASSERT_GE(tab, previous_tab);
    if (tab == previous_tab) {
      ASSERT_GE(static_cast<int>(step.kind), static_cast<int>(previous_kind));
      if (step.kind == Step::Kind::Match && previous_kind == Step::Kind::Match) {
        EXPECT_GT(step.code->slot, previous_slot);
      }
    }
    previous_tab = tab;
    previous_kind = step.kind;
    previous_slot = step.code->slot;
    if (step.kind == Step::Kind::Match)
      ++matches;
    else if (step.kind == Step::Kind::Learn)
      ++learns;
    else
      ++toggles;
  }
  EXPECT_EQ(toggles, 9u);
  EXPECT_EQ(learns, matches + toggles);
  EXPECT_EQ(matches, 8u + 8 + 9 + 11 + 12 + 12 + 11 + 13 + 5 + 16 + 10 + 5 + 10 + 3 + 20);
  // The toggle's number first on Windows Media Player; PowerPoint's page
  // buttons stored crossed.
  EXPECT_EQ(LearnActions(dispatch::kTabWindowsMediaPlayer),
            (std::vector<int>{29, 20, 21, 22, 23, 24, 25, 26, 27, 28}));
  EXPECT_EQ(LearnActions(dispatch::kTabPowerPoint), (std::vector<int>{141, 142, 143, 144, 145}));
  EXPECT_EQ(dispatch::SlotForAction(144), 157);
  EXPECT_EQ(dispatch::SlotForAction(145), 156);
}

class DispatchTest : public HeartTest {};

TEST_F(DispatchTest, WithEverythingOffOnlyToggleCodesDoAnything) {
  table[72] = "31";  // Power DVD's toggle
  table[73] = "32";
  table[9] = "33";
  Start();
  RecordActions();
  Send(33);
  Send(32);
  EXPECT_TRUE(ran.empty());
  EXPECT_EQ(SavesSinceStart(), 0);
  EXPECT_EQ(form().Get(MainId::StatusBar1).panels[2], " Code IR: 32");
  Send(31);
  EXPECT_TRUE(On(MainId::RxSwitch9));
  EXPECT_EQ(File()[71], "ON");
}

TEST_F(DispatchTest, OneCodeInTwoActiveTabsOrTwiceInOneTabRunsEveryAction) {
  table[1] = "ON";
  table[21] = "ON";
  table[9] = "77";   // Volumes up
  table[22] = "77";  // Windows, first button
  table[25] = "77";  // Windows, fourth button
  Start();
  RecordActions();
  Send(77);
  EXPECT_EQ(ran, (std::vector<int>{3, 10, 13}));
  EXPECT_TRUE(
      std::all_of(callers.begin(), callers.end(), [](Caller c) { return c == Caller::Remote; }));
}

TEST_F(DispatchTest, AToggleAndAnActionOfOneTabFlipFirstThenActOnlyIfNowOn) {
  table[52] = "88";
  table[53] = "88";
  Start();
  RecordActions();
  Send(88);
  EXPECT_TRUE(On(MainId::RxSwitch7));
  EXPECT_EQ(ran, (std::vector<int>{41}));
  Send(88);
  EXPECT_FALSE(On(MainId::RxSwitch7));
  EXPECT_EQ(ran, (std::vector<int>{41}));
}

TEST_F(DispatchTest, AGroupAToggleSwitchesLaterTabsOffBeforeTheirStepsButEarlierOnesHaveRun) {
  table[1] = "ON";
  table[9] = "99";   // Volumes, before Windows Media Player
  table[45] = "99";  // Windows Media Player's toggle
  table[51] = "ON";  // Winamp, after it
  table[53] = "99";
  Start();
  RecordActions();
  Send(99);
  EXPECT_TRUE(On(MainId::RxSwitch5));
  EXPECT_FALSE(On(MainId::RxSwitch7));
  EXPECT_EQ(ran, (std::vector<int>{3}));
}

TEST_F(DispatchTest, ACodeLearnedInOneTabStillRunsMatchingActionsOfOtherActiveTabs) {
  table[1] = "ON";
  table[9] = "321";
  table[21] = "ON";
  table[23] = "321";  // the learning tab's own match is not run
  Start();
  RecordActions();
  Press(MainId::RxSwitch4);  // Windows programming: its activation goes off
  Click(MainId::SpeedButton11);
  EXPECT_TRUE(ran.empty());  // armed, not run
  EXPECT_EQ(state().action_number, 10);
  Send(321);
  EXPECT_EQ(File()[22], "321");
  EXPECT_EQ(ran, (std::vector<int>{3}));
  EXPECT_FALSE(On(MainId::RxSwitch4));
}

// A tab that is learning runs none of its own match steps, even with its
// activation switch turned on meanwhile (Volumes flips it as usual): the code
// is learned, and the volume does not move.
TEST_F(DispatchTest, ALearningTabRunsNoneOfItsMatchesEvenWithItsActivationOn) {
  table[9] = "77";  // "Volume +"
  Start();
  Press(MainId::RxSwitch2);  // Volumes programming on
  Press(MainId::RxSwitch1);  // then its activation switch
  ASSERT_TRUE(On(MainId::RxSwitch1));
  Click(MainId::SpeedButton2);  // "Volume -" arms, and acts as this tab does
  EXPECT_EQ(form().Position(MainId::ProgressBar1), 50);
  Send(77);
  EXPECT_EQ(File()[10], "77");
  EXPECT_EQ(form().Position(MainId::ProgressBar1), 50);
  EXPECT_EQ(File()[3], "50");
}

TEST_F(DispatchTest, AToggleCodeIsRefusedWhileVolumesLearnsAndTheNextCodeIsStored) {
  table[52] = "4242";
  Start();
  RecordActions();
  Press(MainId::RxSwitch2);
  Press(MainId::RxSwitch6);     // Windows Media Player programming too
  Click(MainId::SpeedButton1);  // Volumes up arms 3
  EXPECT_EQ(state().action_number, 3);
  const int saves = Saves();
  Send(4242);
  EXPECT_TRUE(conflict().Visible(ui::ConflictId::TForm7));
  EXPECT_TRUE(conflict().Get(ui::ConflictId::TForm7).topmost);
  EXPECT_FALSE(learn().Visible(ui::LearnId::TForm4));
  EXPECT_TRUE(On(MainId::RxSwitch2));   // Volumes keeps learning
  EXPECT_FALSE(On(MainId::RxSwitch6));  // media tabs stop
  EXPECT_FALSE(On(MainId::RxSwitch7));  // and nothing was toggled
  EXPECT_EQ(Saves(), saves);
  EXPECT_EQ(programme()[9], "");

  Send(555);
  EXPECT_EQ(File()[9], "555");
  EXPECT_FALSE(On(MainId::RxSwitch2));
  EXPECT_EQ(form().Text(MainId::Label5), "IR: 555");
}

TEST_F(DispatchTest, PowerPointLauncherAndClosingAreNotCheckedForConflicts) {
  table[52] = "4242";
  Start();
  Press(MainId::RxSwitch18);
  Click(MainId::SpeedButton100);  // "Flèche du haut": action 144, slot 157
  Send(4242);
  EXPECT_FALSE(conflict().Visible(ui::ConflictId::TForm7));
  EXPECT_EQ(File()[157], "4242");
  EXPECT_TRUE(On(MainId::RxSwitch7));  // and its own media tab flips
}

TEST_F(DispatchTest, CodeZeroBindsNothingItIsOnlyShown) {
  table[1] = "ON";
  for (int slot = 7; slot <= 14; ++slot) table[slot] = "0";
  table[52] = "0";
  Start();
  RecordActions();
  Press(MainId::RxSwitch4);
  Click(MainId::SpeedButton11);
  const auto before = File();
  Send(0);
  EXPECT_TRUE(ran.empty());
  EXPECT_FALSE(On(MainId::RxSwitch7));
  EXPECT_EQ(File(), before);
  EXPECT_TRUE(learn().Visible(ui::LearnId::TForm4));
  EXPECT_EQ(form().Get(MainId::StatusBar1).panels[2], " Code IR: 0");
  Send(12);  // the armed action still learns the next real code
  EXPECT_EQ(File()[22], "12");
}

TEST_F(DispatchTest, AButtonAndTheRemoteRunTheSameRoutineAndProgrammingArmsInstead) {
  table[21] = "ON";
  table[22] = "5";
  Start();
  RecordActions();
  Click(MainId::SpeedButton11);
  Send(5);
  EXPECT_EQ(ran, (std::vector<int>{10, 10}));
  EXPECT_EQ(callers, (std::vector<Caller>{Caller::Window, Caller::Remote}));
  Press(MainId::RxSwitch4);
  Click(MainId::SpeedButton12);
  EXPECT_EQ(ran.size(), 2u);
  EXPECT_EQ(state().action_number, 11);
}

// A held remote button: the same code again within 250 ms of the one before.
class HeldButtonTest : public DispatchTest {
 protected:
  HeldButtonTest() {
    table[1] = "ON";
    table[9] = "50";   // volume up: repeatable
    table[11] = "60";  // mute: once per press
    table[52] = "70";  // Winamp's toggle
  }
  void SendAt(long long ms, int code) {
    fake.clock.steady_ms = ms;
    Send(code);
  }
};

TEST_F(HeldButtonTest, WithTheFilterOnARepeatRunsOnlyTheRepeatableActions) {
  settings_lines[9] = "ANTIREPET_ON";
  Start();
  RecordActions();
  SendAt(1000, 50);
  SendAt(1100, 50);
  SendAt(1200, 60);
  SendAt(1300, 60);
  EXPECT_EQ(ran, (std::vector<int>{3, 3, 5}));
  SendAt(1400, 70);
  SendAt(1500, 70);
  EXPECT_TRUE(On(MainId::RxSwitch7));  // flipped once
  // Each repeat is timed from the one before it: a held button keeps chaining.
  for (long long ms : {1700, 1900, 2100, 2300}) SendAt(ms, 70);
  EXPECT_TRUE(On(MainId::RxSwitch7));
  // 250 ms after the code before, or another code between two equal ones:
  // a new press.
  SendAt(2550, 70);
  EXPECT_FALSE(On(MainId::RxSwitch7));
  SendAt(2600, 60);
  SendAt(2650, 50);
  SendAt(2700, 60);
  EXPECT_EQ(ran, (std::vector<int>{3, 3, 5, 5, 3, 5}));
  EXPECT_EQ(form().Get(MainId::StatusBar1).panels[2], " Code IR: 60");
}

TEST_F(HeldButtonTest, ARepeatIsNeitherLearnedNorRefused) {
  settings_lines[9] = "ANTIREPET_ON";
  Start();
  RecordActions();
  SendAt(1000, 40);
  Press(MainId::RxSwitch2);
  Click(MainId::SpeedButton6);  // mute arms 5, slot 11
  SendAt(1100, 40);
  EXPECT_EQ(programme()[11], "60");
  EXPECT_TRUE(On(MainId::RxSwitch2));
  SendAt(1300, 70);  // Winamp's toggle code
  SendAt(1400, 70);
  EXPECT_FALSE(On(MainId::RxSwitch7));
  EXPECT_TRUE(conflict().Visible(ui::ConflictId::TForm7));  // refused at the first press
  SendAt(1800, 40);
  EXPECT_EQ(File()[11], "40");
}

TEST_F(HeldButtonTest, WithoutTheFilterEveryRepeatRunsAndTheEntryIsReadAtEachCode) {
  settings_lines[9] = "ANTIREPET_OFF";
  Start();
  RecordActions();
  SendAt(1000, 60);
  SendAt(1100, 60);
  SendAt(1200, 70);
  SendAt(1300, 70);
  EXPECT_EQ(ran, (std::vector<int>{5, 5}));
  EXPECT_FALSE(On(MainId::RxSwitch7));  // on, then off again
  win().settings()[config::kRepeatFilter] = "ANTIREPET_ON";
  SendAt(1400, 70);
  EXPECT_FALSE(On(MainId::RxSwitch7));
}

}  // namespace
}  // namespace talvoro::test
