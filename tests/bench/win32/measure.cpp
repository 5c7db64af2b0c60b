// The figures of the real program under the system it runs on, each beside a
// yardstick built by the project:
//   - start-up: process start to a visible main window, Talvoro_IR.exe
//     against a minimal Win32 program, runs interleaved and spaced so that
//     neither start is slowed by the end of the copy before;
//   - idle: processor time over a quiet spell with the main window reduced
//     and a simulated receiver plugged, and the working set then;
//   - round trip: one code through the simulated receiver against one line
//     through a bare named-pipe echo server, a connection per request both;
//   - memory growth over a run of codes.
// Prints progress on the console and writes `key value` lines to the results
// file for scripts/bench to tabulate. Fails only when the program does not
// work at all; the figures themselves are never judged.
//
//   talvoro_measure.exe --out FILE [--quick] [--startup-only]
#include "harness.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "platform/sim_protocol.h"
#include "tables.h"

namespace {

using namespace std::chrono_literals;
namespace sim = talvoro::platform::sim;

struct Options {
  bool quick = false;
  bool startup_only = false;  // only the start-up figures (while tuning it)
  std::wstring out;
  int startup_runs = 7;
  int spacing_ms = 3000;  // from the end of one copy to the start of the next
  int idle_ms = 10000;    // the quiet spell
  int roundtrip_codes = 1000;
  int growth_codes = 5000;
};

// ---------------------------------------------------------------------------
// Time and statistics

double Now() {
  static const double frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
  }();
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) / frequency;  // seconds
}

double Percentile(std::vector<double> values, double p) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const auto index = static_cast<std::size_t>(p / 100.0 * (values.size() - 1) + 0.5);
  return values[std::min(index, values.size() - 1)];
}

double Median(const std::vector<double>& values) {
  if (values.empty()) return 0;
  std::vector<double> sorted = values;
  std::sort(sorted.begin(), sorted.end());
  const std::size_t n = sorted.size();
  return n % 2 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2;
}

// ---------------------------------------------------------------------------
// Results

class Results {
 public:
  void Add(const std::string& key, double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.3f", value);
    lines_.push_back(key + " " + text);
    std::printf("  %-28s %s\n", key.c_str(), text);
    std::fflush(stdout);
  }
  // A figure that could not be read (negative) is left out.
  void AddIfKnown(const std::string& key, double value) {
    if (value >= 0) Add(key, value);
  }
  void AddText(const std::string& key, const std::string& value) {
    lines_.push_back(key + " " + value);
  }
  bool Write(const std::wstring& path) const {
    std::ofstream out(std::filesystem::path(path), std::ios::binary);
    for (const std::string& line : lines_) out << line << '\n';
    return static_cast<bool>(out);
  }

 private:
  std::vector<std::string> lines_;
};

// ---------------------------------------------------------------------------
// Processes

std::wstring BesideThisProgram(const wchar_t* name) {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring dir(path, length);
  dir.resize(dir.find_last_of(L"\\/") + 1);
  return dir + name;
}

struct Memory {
  double working_set_kib = 0;
  double private_kib = 0;
};

// The harness's reading, in KiB (zeros when it cannot be read).
Memory MemoryOf(HANDLE process) {
  Memory memory;
  if (const std::optional<e2e::ProcessMemory> read = e2e::MemoryOf(process)) {
    memory.working_set_kib = read->working_set / 1024.0;
    memory.private_kib = read->private_bytes / 1024.0;
  }
  return memory;
}

// User and kernel time of `process` so far, in seconds; nullopt when the
// system does not tell.
std::optional<double> CpuSeconds(HANDLE process) {
  FILETIME created, ended, kernel, user;
  if (!GetProcessTimes(process, &created, &ended, &kernel, &user)) return std::nullopt;
  auto seconds = [](const FILETIME& t) {
    ULARGE_INTEGER v;
    v.LowPart = t.dwLowDateTime;
    v.HighPart = t.dwHighDateTime;
    return static_cast<double>(v.QuadPart) / 1e7;
  };
  return seconds(kernel) + seconds(user);
}

// ---------------------------------------------------------------------------
// Under Wine, GetProcessTimes tells nothing of another process (zeros). The
// Linux process behind a Windows one is reachable through the Z: drive, which
// maps the root: /proc/PID/task/*/schedstat gives each thread's time on a
// processor in nanoseconds (the 10 ms ticks of /proc/PID/stat are too coarse
// for a fraction of a percent over ten seconds).

std::optional<std::string> ReadWholeFile(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  std::string bytes;
  char chunk[4096];
  DWORD got = 0;
  while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.append(chunk, got);
  CloseHandle(file);
  return bytes;
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// The Linux processes whose command line holds `needle` (case ignored) and,
// when `environment` is given, whose environment holds it.
std::vector<std::wstring> LinuxProcesses(const std::string& needle,
                                         const std::string& environment = "") {
  std::vector<std::wstring> found;
  WIN32_FIND_DATAW entry;
  HANDLE search = FindFirstFileW(L"Z:\\proc\\*", &entry);
  if (search == INVALID_HANDLE_VALUE) return found;
  do {
    const std::wstring name = entry.cFileName;
    if (name.empty() || name.find_first_not_of(L"0123456789") != std::wstring::npos) continue;
    const std::wstring dir = L"Z:\\proc\\" + name;
    auto command = ReadWholeFile(dir + L"\\cmdline");
    if (!command || Lower(*command).find(Lower(needle)) == std::string::npos) continue;
    if (!environment.empty()) {
      auto env = ReadWholeFile(dir + L"\\environ");
      if (!env || env->find(environment) == std::string::npos) continue;
    }
    found.push_back(dir);
  } while (FindNextFileW(search, &entry));
  FindClose(search);
  return found;
}

// Processor time of the live threads of the Linux process `dir`, in seconds:
// all of them, and its main thread (the one whose id is the process's).
struct ThreadTimes {
  double all = 0;
  double main = 0;
};

std::optional<ThreadTimes> LinuxCpuSeconds(const std::wstring& dir) {
  const std::wstring pid = dir.substr(dir.find_last_of(L'\\') + 1);
  WIN32_FIND_DATAW entry;
  HANDLE search = FindFirstFileW((dir + L"\\task\\*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return std::nullopt;
  ThreadTimes times;
  bool any = false;
  do {
    const std::wstring name = entry.cFileName;
    if (name.empty() || name[0] == L'.') continue;
    if (auto stat = ReadWholeFile(dir + L"\\task\\" + name + L"\\schedstat")) {
      const double seconds = std::strtod(stat->c_str(), nullptr) / 1e9;
      times.all += seconds;
      if (name == pid) times.main = seconds;
      any = true;
    }
  } while (FindNextFileW(search, &entry));
  FindClose(search);
  if (!any) return std::nullopt;
  return times;
}

// The wineserver of this program's Wine prefix, when it runs on Linux.
std::wstring OurWineServer() {
  wchar_t prefix[1024];
  const DWORD length = GetEnvironmentVariableW(L"WINEPREFIX", prefix, 1024);
  if (length == 0 || length >= 1024) return L"";
  auto servers = LinuxProcesses("wineserver", "WINEPREFIX=" + e2e::ToUtf8(prefix) + '\0');
  return servers.size() == 1 ? servers.front() : L"";
}

// Processor use over `ms` milliseconds of wall time, in percent of one core,
// of the process started from `exe` (its Windows handle `process`) and of the
// Wine server; negative when it cannot be read.
struct CpuUse {
  double program = -1;
  double main_thread = -1;  // the window thread (Linux only)
  double server = -1;
};

CpuUse CpuPercentOver(HANDLE process, const std::wstring& exe, int ms) {
  auto found = LinuxProcesses(e2e::ToUtf8(exe));
  const std::wstring program_dir = found.size() == 1 ? found.front() : L"";
  const std::wstring server_dir = OurWineServer();
  auto program_cpu = [&]() -> std::optional<ThreadTimes> {
    if (!program_dir.empty()) return LinuxCpuSeconds(program_dir);
    auto seconds = CpuSeconds(process);
    // Zero from a process that has run at all means "not told".
    if (!seconds || *seconds <= 0) return std::nullopt;
    return ThreadTimes{*seconds, -1};
  };
  auto server_cpu = [&]() -> std::optional<ThreadTimes> {
    if (server_dir.empty()) return std::nullopt;
    return LinuxCpuSeconds(server_dir);
  };
  const auto program_before = program_cpu();
  const auto server_before = server_cpu();
  const double wall_before = Now();
  Sleep(static_cast<DWORD>(ms));
  const auto program_after = program_cpu();
  const auto server_after = server_cpu();
  const double wall = Now() - wall_before;
  CpuUse use;
  if (program_before && program_after && wall > 0) {
    use.program = (program_after->all - program_before->all) / wall * 100.0;
    if (program_before->main >= 0)
      use.main_thread = (program_after->main - program_before->main) / wall * 100.0;
  }
  if (server_before && server_after && wall > 0)
    use.server = (server_after->all - server_before->all) / wall * 100.0;
  return use;
}

// A visible top-level window of class `window_class` owned by `pid`. Looked
// up by class, not by walking every window: the poll runs every millisecond
// beside the starting program and must cost it as little as possible.
bool VisibleWindow(DWORD pid, const wchar_t* window_class) {
  for (HWND window = FindWindowExW(nullptr, nullptr, window_class, nullptr); window;
       window = FindWindowExW(nullptr, window, window_class, nullptr)) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == pid && IsWindowVisible(window)) return true;
  }
  return false;
}

// Starts `exe` and returns the milliseconds from just before the process was
// created to the first sight of its visible window; the process is left
// running in `process`. Negative when the window did not show within 60 s.
double StartUntilVisible(const std::wstring& exe, const std::wstring& arguments,
                         const std::wstring& directory, const wchar_t* window_class,
                         e2e::Process& process) {
  const double start = Now();
  process = e2e::Process::Start(exe, arguments, directory);
  const DWORD pid = process.pid();
  while (!VisibleWindow(pid, window_class)) {
    if (!process.Running() || Now() - start > 60) return -1;
    Sleep(1);
  }
  return (Now() - start) * 1000.0;
}

// Closes the window of `window_class` by its close box and waits for the end.
bool CloseAndWait(e2e::Process& process, const wchar_t* window_class) {
  if (HWND window = e2e::FindTopLevel(process.pid(), window_class))
    PostMessageW(window, WM_CLOSE, 0, 0);
  if (process.WaitExit(30s)) return true;
  process.Terminate();
  return false;
}

// ---------------------------------------------------------------------------
// Pipes: one request line, one answer line, a connection each.

std::optional<std::string> Exchange(const std::wstring& pipe_name, const std::string& line) {
  HANDLE pipe = INVALID_HANDLE_VALUE;
  for (int attempt = 0; attempt < 50 && pipe == INVALID_HANDLE_VALUE; ++attempt) {
    pipe = CreateFileW(pipe_name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                       0, nullptr);
    if (pipe != INVALID_HANDLE_VALUE) break;
    const DWORD error = GetLastError();
    if (error == ERROR_PIPE_BUSY) {
      WaitNamedPipeW(pipe_name.c_str(), 1000);
    } else if (error == ERROR_FILE_NOT_FOUND) {
      Sleep(20);  // a server still starting
    } else {
      return std::nullopt;
    }
  }
  if (pipe == INVALID_HANDLE_VALUE) return std::nullopt;
  DWORD written = 0;
  bool ok = WriteFile(pipe, line.data(), static_cast<DWORD>(line.size()), &written, nullptr) &&
            written == line.size();
  std::string answer;
  while (ok && answer.find('\n') == std::string::npos) {
    char chunk[256];
    DWORD got = 0;
    if (!ReadFile(pipe, chunk, sizeof chunk, &got, nullptr) && GetLastError() != ERROR_MORE_DATA)
      break;
    if (got == 0) break;
    answer.append(chunk, got);
  }
  CloseHandle(pipe);
  if (!ok || answer.find('\n') == std::string::npos) return std::nullopt;
  return answer;
}

std::wstring SimulatorPipe() {
  DWORD session = 0;
  if (!ProcessIdToSessionId(GetCurrentProcessId(), &session)) session = 0;
  return e2e::Widen(sim::PipeName(session));
}

std::optional<sim::Reply> Ask(const std::wstring& pipe, const sim::Request& request) {
  auto answer = Exchange(pipe, sim::FormatRequest(request) + "\n");
  if (!answer) return std::nullopt;
  return sim::ParseReply(*answer);
}

// Sends `count` codes one request each; the microseconds of each completed
// round trip go to `micros`; returns the number of failed requests.
int SendCodes(const std::wstring& pipe, int device, int count, std::vector<double>* micros) {
  sim::Request send;
  send.command = sim::Command::Send;
  send.device = device;
  int failed = 0;
  for (int i = 0; i < count; ++i) {
    send.code = static_cast<std::uint16_t>(1 + i % 65535);
    const double start = Now();
    auto reply = Ask(pipe, send);
    const double took = Now() - start;
    if (!reply || reply->status != sim::Status::Ok) {
      ++failed;
    } else if (micros) {
      micros->push_back(took * 1e6);
    }
  }
  return failed;
}

int Fail(const char* what) {
  std::fprintf(stderr, "talvoro_measure: %s\n", what);
  return 1;
}

// ---------------------------------------------------------------------------
// The measurements

bool MeasureStartUp(const Options& options, Results& results) {
  std::printf("start-up: %d runs each, interleaved, %d ms apart\n", options.startup_runs,
              options.spacing_ms);
  e2e::ProgramDir dir(L"BenchStartUp");
  dir.InstallProgram();
  dir.WriteFile(L"parametres.inf", e2e::Lines(e2e::EmptySettings()));
  dir.WriteFile(L"programme_IR.inf", e2e::Lines(e2e::ValidProgramme()));
  const std::wstring talvoro = dir.File(L"Talvoro_IR.exe");
  const std::wstring minimal = BesideThisProgram(L"talvoro_minimal_window.exe");

  std::vector<double> talvoro_ms, minimal_ms;
  double last_end = 0;
  auto spaced = [&] {
    const double wait_ms = options.spacing_ms - (Now() - last_end) * 1000.0;
    if (last_end > 0 && wait_ms > 0) Sleep(static_cast<DWORD>(wait_ms));
  };
  for (int run = 0; run < options.startup_runs; ++run) {
    // Alternate which goes first, so that neither always follows the other.
    for (int turn = 0; turn < 2; ++turn) {
      const bool program = (turn == 0) == (run % 2 == 0);
      spaced();
      e2e::Process process;
      const wchar_t* window_class = program ? L"TForm1" : L"TalvoroBenchMinimal";
      const double ms = program
                            ? StartUntilVisible(talvoro, L"", dir.path(), window_class, process)
                            : StartUntilVisible(minimal, L"", dir.path(), window_class, process);
      if (ms < 0) return false;
      (program ? talvoro_ms : minimal_ms).push_back(ms);
      std::printf("  run %d %-8s %8.1f ms\n", run + 1, program ? "program" : "minimal", ms);
      std::fflush(stdout);
      // Settled before it is closed: a copy still starting its helpers
      // would end differently.
      Sleep(500);
      CloseAndWait(process, window_class);
      last_end = Now();
    }
  }
  results.Add("startup_program_median_ms", Median(talvoro_ms));
  results.Add("startup_program_min_ms", *std::min_element(talvoro_ms.begin(), talvoro_ms.end()));
  results.Add("startup_program_max_ms", *std::max_element(talvoro_ms.begin(), talvoro_ms.end()));
  results.Add("startup_minimal_median_ms", Median(minimal_ms));
  results.Add("startup_minimal_min_ms", *std::min_element(minimal_ms.begin(), minimal_ms.end()));
  results.Add("startup_minimal_max_ms", *std::max_element(minimal_ms.begin(), minimal_ms.end()));
  results.Add("startup_runs", options.startup_runs);
  // The spell before the idle figures starts from a quiet system too.
  Sleep(static_cast<DWORD>(options.spacing_ms));
  return true;
}

// The minimal window program minimised, idle; `key` names its figures.
bool MeasureMinimalIdle(const Options& options, const wchar_t* arguments, const std::string& key,
                        Results& results) {
  std::printf("minimal window %s: idle over %d ms\n", e2e::ToUtf8(arguments).c_str(),
              options.idle_ms);
  e2e::Process process;
  const std::wstring minimal = BesideThisProgram(L"talvoro_minimal_window.exe");
  if (StartUntilVisible(minimal, arguments, e2e::TestPaths().work, L"TalvoroBenchMinimal",
                        process) < 0)
    return false;
  Sleep(2000);
  HWND window = e2e::FindTopLevel(process.pid(), L"TalvoroBenchMinimal");
  ShowWindow(window, SW_MINIMIZE);
  Sleep(1000);
  const CpuUse use = CpuPercentOver(process.handle(), minimal, options.idle_ms);
  results.AddIfKnown("idle_" + key + "_cpu_percent", use.program);
  results.AddIfKnown("idle_" + key + "_server_cpu_percent", use.server);
  const Memory memory = MemoryOf(process.handle());
  results.Add("idle_" + key + "_working_set_kib", memory.working_set_kib);
  results.Add("idle_" + key + "_private_kib", memory.private_kib);
  CloseAndWait(process, L"TalvoroBenchMinimal");
  return true;
}

// The program reduced with a receiver plugged: idle, then the round trip and
// the memory growth with the same copy.
bool MeasureProgram(const Options& options, Results& results) {
  e2e::ProgramDir dir(L"BenchProgram");
  dir.InstallProgram();
  std::vector<std::string> settings = e2e::EmptySettings();
  settings[2] = "LANCE_OFF";    // entry 3: start-up, stays shown
  settings[5] = "OSD_ON";       // entry 6: the on-screen display while reduced
  settings[6] = "POSI_OSD_HG";  // entry 7: its place
  dir.WriteFile(L"parametres.inf", e2e::Lines(settings));
  dir.WriteFile(L"programme_IR.inf", e2e::Lines(e2e::ValidProgramme()));
  e2e::TalvoroApp app(dir, L"/simulate");
  if (!app.WaitUntilShown() || !app.WaitForAllForms()) {
    Fail("the program did not show its windows");
    return false;
  }
  const std::wstring pipe = SimulatorPipe();
  sim::Request plug;
  plug.command = sim::Command::Plug;
  auto plugged = Ask(pipe, plug);
  if (!plugged || plugged->status != sim::Status::Ok) {
    Fail("cannot plug the simulated receiver");
    return false;
  }
  const int device = std::atoi(plugged->text.c_str());
  if (app.WaitForPanel(0, L"Récepteur IR USB connecté") != L"Récepteur IR USB connecté") {
    Fail("the receiver did not arrive");
    return false;
  }
  if (!app.ClickToolButton("ToolButton2") ||  // "Réduire"
      !e2e::WaitUntil([&] { return !IsWindowVisible(app.main_window()); }, 10s)) {
    Fail("the main window was not reduced");
    return false;
  }
  // Start-up's helpers and the first tick's pause are over by then.
  Sleep(2000);
  std::printf("program: reduced, receiver plugged, idle over %d ms\n", options.idle_ms);
  const CpuUse use =
      CpuPercentOver(app.process().handle(), dir.File(L"Talvoro_IR.exe"), options.idle_ms);
  results.AddIfKnown("idle_program_cpu_percent", use.program);
  results.AddIfKnown("idle_program_main_thread_cpu_percent", use.main_thread);
  results.AddIfKnown("idle_program_server_cpu_percent", use.server);
  const Memory idle = MemoryOf(app.process().handle());
  results.Add("idle_program_working_set_kib", idle.working_set_kib);
  results.Add("idle_program_private_kib", idle.private_kib);

  std::printf("program: round trip of %d codes through the simulated receiver\n",
              options.roundtrip_codes);
  // Warm-up: the first reports pay for page faults and lazy set-up.
  if (SendCodes(pipe, device, 20, nullptr) != 0) {
    Fail("warm-up codes failed");
    return false;
  }
  std::vector<double> micros;
  int failed = SendCodes(pipe, device, options.roundtrip_codes, &micros);
  results.Add("roundtrip_program_median_us", Percentile(micros, 50));
  results.Add("roundtrip_program_p90_us", Percentile(micros, 90));
  results.Add("roundtrip_program_p99_us", Percentile(micros, 99));

  std::printf("program: memory over %d codes\n", options.growth_codes);
  const Memory before = MemoryOf(app.process().handle());
  failed += SendCodes(pipe, device, options.growth_codes, nullptr);
  const Memory after = MemoryOf(app.process().handle());
  results.Add("growth_codes", options.growth_codes);
  results.Add("growth_working_set_kib", after.working_set_kib - before.working_set_kib);
  results.Add("growth_private_kib", after.private_kib - before.private_kib);
  results.Add("growth_working_set_after_kib", after.working_set_kib);
  if (!options.quick) {
    // A second run of the same length: growth that goes on is a leak, growth
    // that stops was the heap settling.
    failed += SendCodes(pipe, device, options.growth_codes, nullptr);
    const Memory again = MemoryOf(app.process().handle());
    results.Add("growth_again_working_set_kib", again.working_set_kib - after.working_set_kib);
    results.Add("growth_again_private_kib", again.private_kib - after.private_kib);
  }
  const std::wstring panel = app.Panel(2);
  results.Add("failed_requests", failed);
  app.Quit();
  if (failed > 0 || panel.rfind(L" Code IR: ", 0) != 0) {
    Fail("codes were lost");
    return false;
  }
  return true;
}

bool MeasureEcho(const Options& options, Results& results) {
  std::printf("bare named-pipe echo: %d requests\n", options.roundtrip_codes);
  const std::wstring pipe =
      L"\\\\.\\pipe\\talvoro-bench-echo-" + std::to_wstring(GetCurrentProcessId());
  e2e::Process server =
      e2e::Process::Start(BesideThisProgram(L"talvoro_pipe_echo.exe"), pipe, e2e::TestPaths().work);
  // A line as long as the simulator's requests.
  sim::Request send;
  send.command = sim::Command::Send;
  send.device = 1;
  send.code = 4660;
  const std::string line = sim::FormatRequest(send) + "\n";
  for (int i = 0; i < 20; ++i) {
    if (!Exchange(pipe, line)) {
      Fail("the echo server does not answer");
      return false;
    }
  }
  std::vector<double> micros;
  int failed = 0;
  for (int i = 0; i < options.roundtrip_codes; ++i) {
    const double start = Now();
    auto answer = Exchange(pipe, line);
    const double took = Now() - start;
    if (!answer || *answer != line) {
      ++failed;
    } else {
      micros.push_back(took * 1e6);
    }
  }
  Exchange(pipe, "quit\n");
  server.WaitExit(10s);
  results.Add("roundtrip_echo_median_us", Percentile(micros, 50));
  results.Add("roundtrip_echo_p90_us", Percentile(micros, 90));
  results.Add("roundtrip_echo_p99_us", Percentile(micros, 99));
  results.Add("roundtrip_codes", options.roundtrip_codes);
  return failed == 0;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--quick") == 0) {
      options.quick = true;
      options.startup_runs = 3;
      options.idle_ms = 5000;
      options.roundtrip_codes = 200;
    } else if (std::strcmp(argv[i], "--startup-only") == 0) {
      options.startup_only = true;
    } else if (std::strcmp(argv[i], "--out") == 0 && i + 1 < argc) {
      options.out = e2e::Widen(argv[++i]);
    }
  }
  if (options.out.empty()) options.out = e2e::TestPaths().work + L"\\bench-results.txt";

  Results results;
  results.AddText("mode", options.quick ? "quick" : "full");
  bool ok = MeasureStartUp(options, results);
  ok = ok && (options.startup_only || MeasureMinimalIdle(options, L"", "minimal", results));
  ok = ok &&
       (options.startup_only || MeasureMinimalIdle(options, L"/timer", "minimal_timer", results));
  ok = ok && (options.startup_only || MeasureProgram(options, results));
  ok = ok && (options.startup_only || MeasureEcho(options, results));
  if (!results.Write(options.out)) return Fail("cannot write the results file");
  return ok ? 0 : 1;
}
