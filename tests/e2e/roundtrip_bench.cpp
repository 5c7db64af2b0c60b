// Round trip of one IR code through the simulated receiver: the time from a
// SEND request on the simulator's pipe to its answer, which comes only once
// the program has finished handling the report. Also the program's memory
// before and after the run. Prints figures; fails only when the program does
// not work at all.
//
//   talvoro_roundtrip.exe [--codes N]     (default 1000)
#include "harness.h"

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <numeric>
#include <string>
#include <vector>

#include "platform/sim_protocol.h"
#include "tables.h"

namespace {

using namespace std::chrono_literals;
namespace sim = talvoro::platform::sim;

std::wstring SimulatorPipe() {
  DWORD session = 0;
  if (!ProcessIdToSessionId(GetCurrentProcessId(), &session)) session = 0;
  return e2e::Widen(sim::PipeName(session));
}

// One request, one answer line; nullopt when the pipe fails.
std::optional<sim::Reply> Ask(const std::wstring& pipe_name, const sim::Request& request) {
  HANDLE pipe = INVALID_HANDLE_VALUE;
  for (int attempt = 0; attempt < 50 && pipe == INVALID_HANDLE_VALUE; ++attempt) {
    pipe = CreateFileW(pipe_name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                       0, nullptr);
    // Every instance busy: the server opens the next one right after.
    if (pipe == INVALID_HANDLE_VALUE && GetLastError() == ERROR_PIPE_BUSY) {
      WaitNamedPipeW(pipe_name.c_str(), 1000);
    } else if (pipe == INVALID_HANDLE_VALUE) {
      return std::nullopt;
    }
  }
  if (pipe == INVALID_HANDLE_VALUE) return std::nullopt;
  std::string line = sim::FormatRequest(request) + "\n";
  DWORD written = 0;
  bool ok = WriteFile(pipe, line.data(), static_cast<DWORD>(line.size()), &written, nullptr) &&
            written == line.size();
  std::string answer;
  while (ok && answer.find('\n') == std::string::npos) {
    char chunk[256];
    DWORD got = 0;
    if (!ReadFile(pipe, chunk, sizeof chunk, &got, nullptr) && GetLastError() != ERROR_MORE_DATA) {
      break;
    }
    if (got == 0) break;
    answer.append(chunk, got);
  }
  CloseHandle(pipe);
  return sim::ParseReply(answer);
}

struct Memory {
  SIZE_T working_set = 0;
  SIZE_T peak_working_set = 0;
  SIZE_T private_bytes = 0;
};

Memory MemoryOf(HANDLE process) {
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof counters;
  Memory memory;
  if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                           sizeof counters)) {
    memory.working_set = counters.WorkingSetSize;
    memory.peak_working_set = counters.PeakWorkingSetSize;
    // Wine leaves PrivateUsage at 0; the commit charge is the same figure.
    memory.private_bytes = counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
  }
  return memory;
}

void PrintMemory(const char* when, const Memory& m) {
  std::printf("memory %-6s working set %8.1f KiB   peak %8.1f KiB   private %8.1f KiB\n", when,
              m.working_set / 1024.0, m.peak_working_set / 1024.0, m.private_bytes / 1024.0);
}

double Percentile(const std::vector<double>& sorted, double p) {
  if (sorted.empty()) return 0;
  std::size_t index = static_cast<std::size_t>(p / 100.0 * (sorted.size() - 1) + 0.5);
  return sorted[std::min(index, sorted.size() - 1)];
}

int Fail(const char* what) {
  std::fprintf(stderr, "roundtrip: %s\n", what);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  int codes = 1000;
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::strcmp(argv[i], "--codes") == 0) codes = std::max(1, std::atoi(argv[i + 1]));
  }

  e2e::ProgramDir dir(L"Roundtrip");
  dir.InstallProgram();
  dir.WriteFile(L"programme_IR.inf", e2e::Lines(e2e::ValidProgramme()));
  e2e::TalvoroApp app(dir, L"/simulate");
  if (!app.WaitUntilShown()) return Fail("the program did not show its main window");

  const std::wstring pipe = SimulatorPipe();
  sim::Request plug;
  plug.command = sim::Command::Plug;
  auto plugged = Ask(pipe, plug);
  if (!plugged || plugged->status != sim::Status::Ok) return Fail("cannot plug the receiver");
  const int device = std::atoi(plugged->text.c_str());

  sim::Request send;
  send.command = sim::Command::Send;
  send.device = device;
  // Warm-up: first reports pay for page faults and lazy initialisation.
  for (int i = 0; i < 20; ++i) {
    send.code = static_cast<std::uint16_t>(i);
    if (!Ask(pipe, send)) return Fail("warm-up send failed");
  }
  const Memory before = MemoryOf(app.process().handle());

  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  std::vector<double> micros;
  micros.reserve(static_cast<std::size_t>(codes));
  int failed = 0;
  std::uint16_t last_code = 0;
  for (int i = 0; i < codes; ++i) {
    last_code = static_cast<std::uint16_t>(1 + i % 65535);
    send.code = last_code;
    QueryPerformanceCounter(&start);
    auto reply = Ask(pipe, send);
    QueryPerformanceCounter(&end);
    if (!reply || reply->status != sim::Status::Ok) {
      ++failed;
      continue;
    }
    micros.push_back(static_cast<double>(end.QuadPart - start.QuadPart) * 1e6 /
                     static_cast<double>(frequency.QuadPart));
  }
  const Memory after = MemoryOf(app.process().handle());
  const std::wstring panel = app.Panel(2);

  // The same number of codes in one request: no connection per code.
  send.code = 4660;
  send.repeat = codes;
  QueryPerformanceCounter(&start);
  auto batch = Ask(pipe, send);
  QueryPerformanceCounter(&end);
  const double batch_ms = static_cast<double>(end.QuadPart - start.QuadPart) * 1e3 /
                          static_cast<double>(frequency.QuadPart);
  const Memory after_batch = MemoryOf(app.process().handle());

  std::sort(micros.begin(), micros.end());
  const double mean =
      micros.empty() ? 0 : std::accumulate(micros.begin(), micros.end(), 0.0) / micros.size();
  std::printf(
      "round trip of one code through the simulated receiver (%zu codes, one request "
      "each):\n",
      micros.size());
  std::printf("  median %8.1f us   p90 %8.1f us   p99 %8.1f us   max %8.1f us   mean %8.1f us\n",
              Percentile(micros, 50), Percentile(micros, 90), Percentile(micros, 99),
              micros.empty() ? 0.0 : micros.back(), mean);
  if (batch && batch->status == sim::Status::Ok) {
    std::printf("%d codes in one request: %.1f ms, %.1f us per code\n", codes, batch_ms,
                batch_ms * 1e3 / codes);
  } else {
    std::printf("%d codes in one request: failed\n", codes);
  }
  PrintMemory("before", before);
  PrintMemory("after", after);
  PrintMemory("batch", after_batch);
  std::printf("failed requests: %d; status bar after the run: \"%s\"\n", failed,
              e2e::ToUtf8(panel).c_str());

  app.Quit();
  if (failed > 0 || panel != L" Code IR: " + std::to_wstring(last_code)) {
    return Fail("codes were lost");
  }
  return 0;
}
