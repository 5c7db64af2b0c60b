// The periodic tick: clock, one-time pause, pending action numbers.
#include <algorithm>
#include <string_view>
#include <vector>

#include "dispatch/tick.h"
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
  for (int tab = 1; tab <= 15; ++tab) EXPECT_EQ(state().Pending(tab), 0);
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


// What reaches the real status bar: the clock panel's changes.
struct PanelRecorder : ui::IFormView {
  std::vector<int> panels_set;
  void ControlChanged(std::size_t index, ui::Change what, int detail) override {
    if (index == ui::MainForm::At(ui::MainId::StatusBar1) && what == ui::Change::PanelText)
      panels_set.push_back(detail);
  }
  int TextWidth(std::size_t, std::string_view text) override { return int(text.size()) * 6; }
  int ClockSets() const { return int(std::count(panels_set.begin(), panels_set.end(), 1)); }
};

TEST_F(TickTest, TheClockPanelIsSetOnlyWhenItsTextChanges) {
  Start();
  PanelRecorder view;
  form().AttachView(&view);
  fake.clock.now = {2026, 12, 8, 23, 59, 58};
  TickOnce();
  EXPECT_EQ(view.ClockSets(), 1);
  // Nine more ticks within the same second: the panel is left alone.
  for (int i = 0; i < 9; ++i) TickOnce();
  EXPECT_EQ(view.ClockSets(), 1);
  EXPECT_EQ(form().Get(ui::MainId::StatusBar1).panels[1], " 23:59:58   08/12/2026");
  fake.clock.now.second = 59;
  TickOnce();
  TickOnce();
  EXPECT_EQ(view.ClockSets(), 2);
  // Midnight changes both the time and the date, once.
  fake.clock.now = {2026, 12, 9, 0, 0, 0};
  TickOnce();
  TickOnce();
  EXPECT_EQ(view.ClockSets(), 3);
  EXPECT_EQ(form().Get(ui::MainId::StatusBar1).panels[1], "  0:00:00   09/12/2026");
  // Nothing else of the status bar was touched by the idle ticks.
  EXPECT_EQ(view.panels_set, (std::vector<int>{1, 1, 1}));
  form().AttachView(nullptr);
}

TEST_F(TickTest, WithoutTheReceiverTheClockStillChangesOncePerSecond) {
  Start();
  state().receiver_active = 0;
  PanelRecorder view;
  form().AttachView(&view);
  fake.clock.now = {2026, 12, 8, 10, 0, 1};
  TickOnce();
  TickOnce();
  fake.clock.now.second = 2;
  TickOnce();
  EXPECT_EQ(view.ClockSets(), 2);
  EXPECT_EQ(form().Get(ui::MainId::StatusBar1).panels[1], " 10:00:02   08/12/2026");
  form().AttachView(nullptr);
}

// The one-time pause belongs to the first tick with the receiver, even when
// nothing is pending; idle ticks after it neither pause nor change a number.
TEST_F(TickTest, AnIdleTickAfterTheFirstDoesNothingButTheClock) {
  Start();
  Slept();
  TickOnce();
  EXPECT_EQ(Slept(), 300);
  const auto before = state().pending;
  for (int i = 0; i < 20; ++i) TickOnce();
  EXPECT_EQ(Slept(), 0);
  EXPECT_EQ(state().pending, before);
  EXPECT_EQ(state().receiver_active, 1);
  // A number left after a run of idle ticks is still consumed by the next.
  state().Pending(dispatch::kTabProgDvb) = 12;
  TickOnce();
  EXPECT_EQ(state().Pending(dispatch::kTabProgDvb), 0);
}


// Reduced and idle after learning and an announcement, the program keeps only
// its 100 ms tick: the learning dialog's lamps and the on-screen display's
// hide timer stop with their windows.
TEST_F(TickTest, OnceIdleOnlyTheTickTimerRuns) {
  settings_lines[5] = "OSD_ON";
  Start();
  auto running = [&] {
    std::vector<unsigned> intervals;
    for (platform::TimerId id = 1; id <= fake.timers.table.Count(); ++id)
      if (fake.timers.table.Enabled(id)) intervals.push_back(fake.timers.table.Interval(id));
    return intervals;
  };
  const std::vector<unsigned> tick_only{platform::TimerTable::Period(dispatch::Tick::kInterval)};
  EXPECT_EQ(running(), tick_only);

  Press(ui::MainId::RxSwitch8);
  Click(ui::MainId::SpeedButton34);  // arms learning: the dialog blinks
  EXPECT_NE(running(), tick_only);
  Send(4660);  // learned: the dialog goes
  EXPECT_EQ(running(), tick_only);

  win().Reduce();
  win().osd().ShowOsdMessage("Titre", "Etat");
  EXPECT_NE(running(), tick_only);
  for (int i = 0; i < 3; ++i) fake.timers.Fire(1000);
  EXPECT_FALSE(osd_form().Visible(ui::OsdId::TForm5));
  EXPECT_EQ(running(), tick_only);
}

}  // namespace
}  // namespace talvoro::test
