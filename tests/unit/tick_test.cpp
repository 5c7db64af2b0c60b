// The periodic tick: clock, one-time pause, pending action numbers.
#include "heart_fixture.h"

namespace talvoro::test {
namespace {

using dispatch::kTabVolumes;
using dispatch::kTabWindows;

class TickTest : public HeartTest {
 protected:
  void TickOnce() { fake.timers.Fire(100); }
  int Slept() {
    const int ms = fake.clock.slept_ms;
    fake.clock.slept_ms = 0;
    return ms;
  }
};

TEST_F(TickTest, PendingNumbersAreClearedAtStartAndOnArrivalAndArrivalEnablesImport) {
  Start();
  for (int tab = 1; tab <= 14; ++tab) EXPECT_EQ(state().Pending(tab), 0);
  state().Pending(5) = 4;
  form().SetEnabled(ui::MainId::Importeruneconfiguration1, false);
  form().SetEnabled(ui::MainId::Importeruneconfiguration2, false);
  win().OnReceiverArrived();
  EXPECT_EQ(state().Pending(5), 0);
  EXPECT_TRUE(form().Enabled(ui::MainId::Importeruneconfiguration1));
  EXPECT_TRUE(form().Enabled(ui::MainId::Importeruneconfiguration2));
}

TEST_F(TickTest, WithoutTheReceiverTheTickOnlyShowsTheClock) {
  Start();
  state().receiver_active = 0;
  state().Pending(3) = 5;
  fake.clock.now = {2026, 12, 8, 9, 5, 7};
  TickOnce();
  EXPECT_EQ(form().Get(ui::MainId::StatusBar1).panels[1], "  9:05:07   08/12/2026");
  EXPECT_EQ(state().Pending(3), 5);
  EXPECT_EQ(Slept(), 0);
}

TEST_F(TickTest, TheFirstTickPausesOnceThenEveryConsumedValueIsCleared) {
  Start();
  Slept();
  TickOnce();
  EXPECT_EQ(Slept(), 300);
  EXPECT_EQ(state().first_tick, 1);
  TickOnce();
  EXPECT_EQ(Slept(), 0);
  for (const auto& tab : dispatch::Tabs()) {
    for (int value : tab.tick_consumed) {
      state().Pending(tab.number) = value;
      TickOnce();
      EXPECT_EQ(state().Pending(tab.number), 0) << tab.caption << " " << value;
    }
  }
  // A value no routine stores stays.
  state().Pending(dispatch::kTabPowerPoint) = 1;
  TickOnce();
  EXPECT_EQ(state().Pending(dispatch::kTabPowerPoint), 1);
}

TEST_F(TickTest, BalanceCentrePausesBeforeClearing) {
  Start();
  TickOnce();
  Slept();
  state().Pending(kTabVolumes) = 8;
  TickOnce();
  EXPECT_EQ(Slept(), 100);
  EXPECT_EQ(state().Pending(kTabVolumes), 0);
  state().Pending(kTabVolumes) = 41;
  TickOnce();
  EXPECT_EQ(Slept(), 0);
}

TEST_F(TickTest, ACountdownNumberStaysWhileSecondsRemainAndEndsTheReceiversWorkAfter) {
  Start();
  TickOnce();
  Slept();
  state().Pending(kTabWindows) = 7;
  state().countdown_seconds = 1;
  TickOnce();
  EXPECT_EQ(state().Pending(kTabWindows), 7);
  EXPECT_EQ(state().receiver_active, 1);

  // Another action while it runs: everything is cleared, the countdown's
  // number too.
  state().Pending(dispatch::kTabWinamp) = 3;
  TickOnce();
  EXPECT_EQ(state().Pending(kTabWindows), 0);

  state().Pending(kTabWindows) = 8;
  state().countdown_seconds = 0;
  TickOnce();
  EXPECT_EQ(state().Pending(kTabWindows), 0);
  EXPECT_EQ(state().receiver_active, 0);
  EXPECT_EQ(Slept(), 200);
  state().Pending(dispatch::kTabWinamp) = 3;
  TickOnce();
  EXPECT_EQ(state().Pending(dispatch::kTabWinamp), 3);
}

TEST_F(TickTest, ARemoteToggleIsConsumedByTheNextTick) {
  table[45] = "9";
  Start();
  Send(9);
  EXPECT_EQ(state().Pending(dispatch::kTabWindowsMediaPlayer), 11);
  TickOnce();
  EXPECT_EQ(state().Pending(dispatch::kTabWindowsMediaPlayer), 0);
}

}  // namespace
}  // namespace talvoro::test
