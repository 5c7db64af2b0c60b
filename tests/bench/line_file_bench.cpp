// Reading and writing whole configuration tables. The programme file is
// rewritten after every change (a learned code, a switch, a volume step), so
// this is the cost paid on the main thread for each of them.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "config/line_file.h"

namespace {

// A programme table as a user's file looks after some programming: levels,
// states, a few dozen learned codes and some program paths.
std::vector<std::string> TypicalProgramme() {
  std::vector<std::string> table(300);
  for (int slot : {1, 21, 35, 51, 71, 91, 111, 131, 151, 171, 201, 220, 236, 255}) {
    table[slot] = slot % 2 ? "ON" : "OFF";
  }
  table[2] = "VG";
  table[3] = "60";
  table[4] = "SON_ON";
  table[5] = "0";
  table[6] = "255";
  for (int slot = 36; slot <= 63; ++slot) table[slot] = std::to_string(1000 + slot * 37);
  for (int slot : {50, 70, 90, 110, 130, 150, 170, 200, 235}) {
    table[slot] = "C:\\Program Files\\Lecteur " + std::to_string(slot) + "\\lecteur.exe";
  }
  return table;
}

void BM_ParseProgramme(benchmark::State& state) {
  const std::string file = talvoro::config::FormatLines(TypicalProgramme());
  for (auto _ : state) {
    auto values = talvoro::config::ParseLines(file, 300);
    benchmark::DoNotOptimize(values);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * file.size()));
}
BENCHMARK(BM_ParseProgramme);

void BM_FormatProgramme(benchmark::State& state) {
  const std::vector<std::string> table = TypicalProgramme();
  for (auto _ : state) {
    auto file = talvoro::config::FormatLines(table);
    benchmark::DoNotOptimize(file);
  }
}
BENCHMARK(BM_FormatProgramme);

// A damaged file: one long line without breaks, full of CRs and Ctrl+Z.
void BM_ParseOneLongNoisyLine(benchmark::State& state) {
  std::string file;
  for (int i = 0; i < state.range(0); ++i)
    file += (i % 17 == 0) ? '\r' : (i % 101 == 0) ? '\x1A' : 'x';
  for (auto _ : state) {
    auto values = talvoro::config::ParseLines(file, 300);
    benchmark::DoNotOptimize(values);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * file.size()));
}
BENCHMARK(BM_ParseOneLongNoisyLine)->Arg(1 << 12)->Arg(1 << 20);

}  // namespace
