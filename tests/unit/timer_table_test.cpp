// The interval timers' bookkeeping: system timers started and stopped on
// changes only, late ticks of stopped timers dropped, no tick inside itself.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "fakes.h"
#include "platform/timer_table.h"

namespace talvoro::platform {
namespace {

struct SystemTimers {
  std::vector<std::pair<int, unsigned>> started;
  std::vector<int> stopped;
  TimerTable table{[this](int id, unsigned ms) { started.emplace_back(id, ms); },
                   [this](int id) { stopped.push_back(id); }};
};

TEST(TimerTable, TimersStartDisabledWithIdsFromOne) {
  SystemTimers system;
  const int tick = system.table.Create(100, [] {});
  const int reduce = system.table.Create(1000, [] {});
  EXPECT_EQ(tick, 1);
  EXPECT_EQ(reduce, 2);
  EXPECT_FALSE(system.table.Enabled(tick));
  EXPECT_TRUE(system.started.empty());
  EXPECT_FALSE(system.table.Enabled(0));
  EXPECT_FALSE(system.table.Enabled(3));
}

TEST(TimerTable, OnlyChangesReachTheSystemSoAPeriodIsNeverRestarted) {
  SystemTimers system;
  const int id = system.table.Create(200, [] {});
  system.table.Enable(id, true);
  system.table.Enable(id, true);
  EXPECT_EQ(system.started, (std::vector<std::pair<int, unsigned>>{{id, 200u}}));
  system.table.Enable(id, false);
  system.table.Enable(id, false);
  EXPECT_EQ(system.stopped, std::vector<int>{id});
  system.table.Enable(7, true);  // unknown ids are ignored
  EXPECT_EQ(system.started.size(), 1u);
}

TEST(TimerTable, ANewPeriodRestartsARunningTimerFromNowAndWaitsInAStoppedOne) {
  SystemTimers system;
  const int id = system.table.Create(100, [] {});
  system.table.SetInterval(id, 1000);  // stopped: nothing starts
  EXPECT_TRUE(system.started.empty());
  system.table.Enable(id, true);
  system.table.SetInterval(id, 760);
  system.table.SetInterval(id, 760);
  system.table.SetInterval(9, 50);  // unknown ids are ignored
  EXPECT_EQ(system.started,
            (std::vector<std::pair<int, unsigned>>{{id, 1000u}, {id, 760u}, {id, 760u}}));
  EXPECT_EQ(system.table.Interval(id), 760u);
}

TEST(TimerTable, TooShortIntervalsGetTheSystemMinimum) {
  SystemTimers system;
  system.table.Enable(system.table.Create(0, [] {}), true);
  system.table.Enable(system.table.Create(-5, [] {}), true);
  ASSERT_EQ(system.started.size(), 2u);
  EXPECT_EQ(system.started[0].second, TimerTable::kMinimumInterval);
  EXPECT_EQ(system.started[1].second, TimerTable::kMinimumInterval);
  EXPECT_EQ(system.table.Count(), 2);
  EXPECT_EQ(system.table.Interval(1), TimerTable::kMinimumInterval);
  EXPECT_EQ(system.table.Interval(3), 0u);
}

TEST(TimerTable, TicksRunOnlyWhileEnabled) {
  SystemTimers system;
  int ticks = 0;
  const int id = system.table.Create(100, [&] { ++ticks; });
  EXPECT_FALSE(system.table.Tick(id));
  system.table.Enable(id, true);
  EXPECT_TRUE(system.table.Tick(id));
  EXPECT_TRUE(system.table.Tick(id));
  // A tick already queued when the timer was stopped.
  system.table.Enable(id, false);
  EXPECT_FALSE(system.table.Tick(id));
  EXPECT_EQ(ticks, 2);
  EXPECT_FALSE(system.table.Tick(99));
}

TEST(TimerTable, ATickDoesNotRunAgainInsideItselfButOthersDo) {
  SystemTimers system;
  int outer = 0;
  int other = 0;
  bool nested_ran = true;
  int id = 0;
  const int other_id = system.table.Create(100, [&] { ++other; });
  // The tick shows a "modal box": the message loop inside it delivers more
  // ticks of both timers.
  id = system.table.Create(100, [&] {
    ++outer;
    nested_ran = system.table.Tick(id);
    system.table.Tick(other_id);
  });
  system.table.Enable(id, true);
  system.table.Enable(other_id, true);
  EXPECT_TRUE(system.table.Tick(id));
  EXPECT_EQ(outer, 1);
  EXPECT_FALSE(nested_ran);
  EXPECT_EQ(other, 1);
  EXPECT_TRUE(system.table.Tick(id));  // and it ticks again afterwards
  EXPECT_EQ(outer, 2);
}

TEST(TimerTable, AFailingTickLeavesTheTimerWorking) {
  SystemTimers system;
  int calls = 0;
  const int id = system.table.Create(100, [&] {
    if (++calls == 1) throw std::runtime_error("Fichier introuvable");
  });
  system.table.Enable(id, true);
  EXPECT_THROW(system.table.Tick(id), std::runtime_error);
  EXPECT_TRUE(system.table.Tick(id));
  EXPECT_EQ(calls, 2);
}

TEST(TimerTable, AFailingTickShowsOneBoxWhileTheBoxPumpsItsTicks) {
  // The error box runs a message loop, which delivers the same timer again
  // while the box is up: that tick must wait until the box is closed.
  TimerTable* table = nullptr;
  int id = 0;
  int boxes = 0;
  int calls = 0;
  TimerTable timers{[](int, unsigned) {}, [](int) {},
                    [&] {
                      ++boxes;
                      for (int i = 0; i < 3; ++i) table->Tick(id);
                    }};
  table = &timers;
  id = timers.Create(1000, [&] {
    ++calls;
    throw std::runtime_error("Fichier introuvable");
  });
  timers.Enable(id, true);
  EXPECT_TRUE(timers.Tick(id));
  EXPECT_EQ(boxes, 1);
  EXPECT_EQ(calls, 1);
  EXPECT_TRUE(timers.Tick(id));  // the box closed: the program goes on
  EXPECT_EQ(boxes, 2);
}

TEST(TimerTable, ATickMayDisableItselfOrCreateTimers) {
  SystemTimers system;
  int id = 0;
  int created = 0;
  id = system.table.Create(1000, [&] {
    system.table.Enable(id, false);
    created = system.table.Create(50, [] {});
  });
  system.table.Enable(id, true);
  EXPECT_TRUE(system.table.Tick(id));
  EXPECT_FALSE(system.table.Enabled(id));
  EXPECT_EQ(created, 2);
  EXPECT_EQ(system.stopped, std::vector<int>{id});
}

TEST(TimerTable, StopAllStopsTheEnabledOnes) {
  SystemTimers system;
  const int a = system.table.Create(100, [] {});
  const int b = system.table.Create(100, [] {});
  const int c = system.table.Create(100, [] {});
  system.table.Enable(a, true);
  system.table.Enable(c, true);
  system.table.StopAll();
  EXPECT_EQ(system.stopped, (std::vector<int>{a, c}));
  EXPECT_FALSE(system.table.Enabled(a));
  EXPECT_FALSE(system.table.Enabled(b));
}

// The unit tests' timers run on the same table, fired by the test.
TEST(TimerTable, FakeTimersFireEachEnabledTimerOfAnIntervalOnce) {
  test::FakeTimers timers;
  std::vector<std::string> ticks;
  TimerId late = 0;
  const TimerId clock = timers.CreateTimer(100, [&] { ticks.push_back("clock"); });
  const TimerId other = timers.CreateTimer(100, [&] {
    ticks.push_back("other");
    timers.EnableTimer(clock, false);
    late = timers.CreateTimer(100, [&] { ticks.push_back("late"); });
    timers.EnableTimer(late, true);
  });
  const TimerId slow = timers.CreateTimer(1000, [&] {
    ticks.push_back("slow");
    timers.Fire(1000);  // a box inside the tick lets the system fire it again
  });
  EXPECT_EQ(clock, 1);
  for (TimerId id : {clock, other, slow}) timers.EnableTimer(id, true);

  timers.Fire(100);
  EXPECT_EQ(ticks, (std::vector<std::string>{"clock", "other"}));
  EXPECT_FALSE(timers.TimerEnabled(clock));
  ticks.clear();
  timers.Fire(100);
  timers.Fire(1000);
  EXPECT_EQ(ticks, (std::vector<std::string>{"other", "late", "slow"}));
}

}  // namespace
}  // namespace talvoro::platform
