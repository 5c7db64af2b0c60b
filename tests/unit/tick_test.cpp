// The periodic tick: clock, one-time pause, pending action numbers.
#include <algorithm>
#include <map>
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
  // The tick, whatever its period is now.
  void TickOnce() { fake.timers.table.Tick(win().tick_timer()); }
  unsigned Period() { return fake.timers.table.Interval(win().tick_timer()); }
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
  EXPECT_EQ(Period(), 1010u);  // nothing for it to do: once a second
}

TEST_F(TickTest, TheFirstTickPausesOnceThenEveryConsumedValueIsCleared) {
  Start();
  Slept();
  TickOnce();
  EXPECT_EQ(Slept(), 300);
  EXPECT_EQ(state().first_tick, 1);
  TickOnce();
  EXPECT_EQ(Slept(), 0);
  // The values each tab's routines store, which the tick consumes (Windows'
  // 7 and 8 only once their countdown is over: here it has 5 seconds left).
  auto range = [](int first, int last) {
    std::vector<int> values;
    for (int v = first; v <= last; ++v) values.push_back(v);
    return values;
  };
  const std::map<int, std::vector<int>> consumed{
      {1, {1, 2, 31, 41, 32, 42, 51, 52, 6, 7, 8}},
      {2, range(1, 6)},
      {3, {10, 11, 1, 2, 3, 4, 5, 6, 7, 8, 9}},
      {4, range(1, 13)},
      {5, range(1, 14)},
      {6, range(1, 14)},
      {7, range(1, 13)},
      {8, range(1, 15)},
      {9, range(3, 7)},
      {10, range(1, 18)},
      {11, range(1, 12)},
      {12, range(1, 5)},
      {13, range(1, 12)},
      {14, range(1, 3)},
      {15, range(1, 20)},
  };
  ASSERT_EQ(consumed.size(), dispatch::Tabs().size());
  for (const auto& [tab, values] : consumed) {
    for (int value = 1; value <= 60; ++value) {
      state().ResetPendingActions();
      state().Pending(tab) = value;
      TickOnce();
      const bool expected = std::find(values.begin(), values.end(), value) != values.end();
      EXPECT_EQ(state().Pending(tab), expected ? 0 : value) << "tab " << tab << ": " << value;
    }
  }
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

// Idle, the tick wakes once a second, just past the second, for the clock. A
// pending number left by a button or by the remote brings it back to 100 ms
// from that moment; once the number is consumed it is idle again.
TEST_F(TickTest, IdleTheTickComesOnTheSecondAndAPendingNumberIsConsumedWithin100Ms) {
  table[21] = "ON";   // Windows
  table[26] = "707";  // its screen saver
  Start();
  auto tick_started = [&] {
    for (auto it = fake.timers.started.rbegin(); it != fake.timers.started.rend(); ++it)
      if (it->first == win().tick_timer()) return it->second;
    return 0u;
  };
  EXPECT_EQ(tick_started(), 100u);  // the first tick's pause is work
  fake.clock.now = {2026, 12, 8, 10, 0, 1, 250};
  TickOnce();
  EXPECT_EQ(tick_started(), 760u);  // 10:00:02.010
  fake.clock.now = {2026, 12, 8, 10, 0, 2, 12};
  TickOnce();
  EXPECT_EQ(form().Get(ui::MainId::StatusBar1).panels[1], " 10:00:02   08/12/2026");
  EXPECT_EQ(tick_started(), 998u);
  // A timer a little early waits for the second it missed.
  fake.clock.now = {2026, 12, 8, 10, 0, 2, 995};
  TickOnce();
  EXPECT_EQ(tick_started(), 15u);

  const std::size_t starts = fake.timers.started.size();
  Press(ui::MainId::RxSwitch1);  // no pending number: the tick is left as it is
  EXPECT_EQ(fake.timers.started.size(), starts);
  EXPECT_EQ(Period(), 15u);

  fake.clock.now = {2026, 12, 8, 10, 0, 3, 400};
  Click(ui::MainId::SpeedButton7);  // the screen saver
  EXPECT_EQ(state().Pending(kTabWindows), 5);
  EXPECT_EQ(tick_started(), 100u);
  fake.timers.Fire(100);
  EXPECT_EQ(state().Pending(kTabWindows), 0);
  EXPECT_EQ(tick_started(), 610u);

  Send(707);
  EXPECT_EQ(state().Pending(kTabWindows), 5);
  EXPECT_EQ(tick_started(), 100u);
  fake.timers.Fire(100);
  EXPECT_EQ(state().Pending(kTabWindows), 0);
  EXPECT_EQ(tick_started(), 610u);
  EXPECT_EQ(fake.power.calls, (std::vector<std::string>{"screen-saver", "screen-saver"}));
}

// Reduced and idle after learning and an announcement, the program keeps only
// its tick: the learning dialog's lamps and the on-screen display's
// hide timer stop with their windows.
TEST_F(TickTest, OnceIdleOnlyTheTickTimerRuns) {
  settings_lines[5] = "OSD_ON";
  Start();
  auto running = [&] {
    std::vector<platform::TimerId> ids;
    for (platform::TimerId id = 1; id <= fake.timers.table.Count(); ++id)
      if (fake.timers.table.Enabled(id)) ids.push_back(id);
    return ids;
  };
  const std::vector<platform::TimerId> tick_only{win().tick_timer()};
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
