// One received code through routing and the whole dispatch pass, over the
// real slot map and a running main window on in-memory platform fakes, with
// every action routine recording its call. This is the work the main thread
// does for each code before the read thread may read the next one.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "../unit/fakes.h"
#include "app/application.h"
#include "app/journal.h"
#include "app/main_window.h"
#include "config/configuration.h"
#include "config/line_file.h"
#include "dispatch/action_registry.h"
#include "dispatch/dispatcher.h"

namespace {

using namespace talvoro;

constexpr const char* kDir = "C:\\P\\";

// A user's table: every tab on, every code slot learned with its own code,
// and code 4242 bound to one action on each of several tabs.
config::ProgrammeTable BusyProgramme() {
  config::ProgrammeTable table = config::FreshProgramme();
  int code = 1000;
  for (const auto& tab : dispatch::Tabs()) {
    table[tab.state_slot] = "ON";
    for (const auto& slot : tab.codes) table[slot.slot] = std::to_string(code++);
  }
  // Exclusive groups: one member on each.
  for (int slot : {51, 71, 91, 111, 201, 171, 236}) table[slot] = "OFF";
  for (int slot : {9, 22, 36, 133, 153, 222, 256}) table[slot] = "4242";
  return table;
}

struct RunningProgram {
  test::FakePlatform fake;
  std::unique_ptr<app::Application> app;
  long actions_run = 0;

  RunningProgram() {
    fake.instance.directory = kDir;
    for (const char* name : {"ledon.bmp", "ledoff.bmp", "SON_ON.BMP", "SON_OFF.BMP"})
      fake.files.files[std::string(kDir) + "\\" + name] = name;
    fake.files.files[std::string(kDir) + "\\programme_IR.inf"] =
        config::FormatLines(BusyProgramme().Lines());
    app = std::make_unique<app::Application>(fake.services());
    app->OnMainWindowCreated();
    app->main_window().OnReceiverArrived();
    for (const auto& tab : dispatch::Tabs())
      for (const auto& slot : tab.codes)
        app->main_window().actions().SetRoutine(slot.action,
                                                [this](const dispatch::Call&) { ++actions_run; });
  }
};

void BM_PassWithoutMatch(benchmark::State& state) {
  RunningProgram program;
  for (auto _ : state) program.app->main_window().OnCode(65000);
  if (program.actions_run != 0) state.SkipWithError("an action ran");
  state.SetLabel("all tabs on, nothing bound to the code");
}
BENCHMARK(BM_PassWithoutMatch);

void BM_PassMatchingSeveralTabs(benchmark::State& state) {
  RunningProgram program;
  for (auto _ : state) program.app->main_window().OnCode(4242);
  state.counters["actions/code"] =
      benchmark::Counter(static_cast<double>(program.actions_run) / state.iterations());
  state.SetLabel("one code bound on seven tabs");
}
BENCHMARK(BM_PassMatchingSeveralTabs);

// The journal of received codes listens to every code; the two benchmarks
// above run with its window closed. Here it does not listen at all (0: the
// difference to BM_PassWithoutMatch is its cost with the window closed), or
// its window is open (1: each code also a line of text in the list).
void BM_PassJournal(benchmark::State& state) {
  RunningProgram program;
  app::MainWindow& window = program.app->main_window();
  if (state.range(0) == 0)
    window.dispatcher().SetObserver(nullptr);
  else
    window.journal().Show();
  for (auto _ : state) window.OnCode(65000);
  state.SetLabel(state.range(0) == 0 ? "nothing bound, no journal"
                                     : "nothing bound, journal window open");
}
BENCHMARK(BM_PassJournal)->Arg(0)->Arg(1);

}  // namespace
