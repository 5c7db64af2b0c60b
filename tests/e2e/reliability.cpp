// Reliability runs of the real program under Wine, driven through the
// simulated receiver with codes that make it save programme_IR.inf:
//
//   kills  The program is killed (TerminateProcess, as taskkill /F does) at a
//          random moment while codes stream in, N times. After every kill
//          programme_IR.inf must be, byte for byte, the table after some
//          prefix of the codes sent (at least every acknowledged code, at most
//          the one in flight), parametres.inf must be whole, and the next start
//          must leave no temporary file beside them.
//   flood  M codes, one request each, with the window reduced to the
//          notification area and the on-screen display on: every code must be
//          answered as handled, the status bar and the programme file must
//          follow the codes in their order, no window may be left shown, and
//          the working set must end within 1 MiB of where it stood after a
//          warm-up.
//
// Prints figures; exits 1 on the first broken promise.
//
//   talvoro_reliability.exe [--kills N] [--codes M] [--seed S]
//                           (defaults 100, 10000, from the clock)
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "harness.h"
#include "tables.h"

namespace {

using namespace std::chrono_literals;
namespace sim = talvoro::platform::sim;
using Table = std::vector<std::string>;

// The remote's buttons, stored in the table below.
constexpr int kVolumeUp = 901;       // slot 9
constexpr int kVolumeDown = 1001;    // slot 10
constexpr int kBalanceRight = 1201;  // slot 12
constexpr int kBalanceLeft = 1301;   // slot 13
constexpr int kWmpToggle = 4501;     // slot 45: Windows Media Player on/off
// Codes bound to nothing (0 is what a cleared slot holds).
constexpr int kUnbound[] = {0, 1, 7, 900, 4500, 4660, 65535};

constexpr int kSlotVolumes = 1;
constexpr int kSlotMaster = 3;
constexpr int kSlotBalance = 5;
constexpr int kSlotWmpState = 35;

constexpr std::size_t kMiB = 1024 * 1024;

Table StartTable() {
  Table table = e2e::ValidProgramme();
  table[kSlotVolumes] = std::string("ON");
  table[9] = std::to_string(kVolumeUp);
  table[10] = std::to_string(kVolumeDown);
  table[12] = std::to_string(kBalanceRight);
  table[13] = std::to_string(kBalanceLeft);
  table[45] = std::to_string(kWmpToggle);
  return table;
}

// What one code does to the table, as the user sees it: the master volume
// moves by 10 within 0..100 and the balance by 10 within -90..90 (each press
// stores the level, a press at a bound stores it unchanged), the toggle code
// turns the player's tab on or off; other codes change nothing. Presses at
// the bounds make the result depend on the order of the codes.
void Apply(Table& table, int code) {
  auto step = [&table](int slot, int by, int low, int high) {
    table[slot] = std::to_string(std::clamp(std::atoi(table[slot].c_str()) + by, low, high));
  };
  switch (code) {
    case kVolumeUp:
      step(kSlotMaster, 10, 0, 100);
      break;
    case kVolumeDown:
      step(kSlotMaster, -10, 0, 100);
      break;
    case kBalanceRight:
      step(kSlotBalance, 10, -90, 90);
      break;
    case kBalanceLeft:
      step(kSlotBalance, -10, -90, 90);
      break;
    case kWmpToggle:
      table[kSlotWmpState] = table[kSlotWmpState] == "ON" ? "OFF" : "ON";
      break;
    default:
      break;
  }
}

// A random stream of presses, mostly of bound buttons.
std::vector<int> RandomCodes(std::mt19937& random, int count) {
  std::vector<int> codes;
  codes.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    const unsigned pick = random() % 20;
    if (pick < 6)
      codes.push_back(kVolumeUp);
    else if (pick < 10)
      codes.push_back(kVolumeDown);
    else if (pick < 12)
      codes.push_back(kBalanceRight);
    else if (pick < 14)
      codes.push_back(kBalanceLeft);
    else if (pick < 16)
      codes.push_back(kWmpToggle);
    else
      codes.push_back(kUnbound[random() % std::size(kUnbound)]);
  }
  return codes;
}

bool Failed(const std::string& what) {
  std::fprintf(stderr, "reliability: FAILED: %s\n", what.c_str());
  std::fflush(stderr);
  return false;
}

std::string Join(const std::vector<std::wstring>& names) {
  std::string out;
  for (const auto& name : names) out += (out.empty() ? "" : ", ") + e2e::ToUtf8(name);
  return out.empty() ? "(none)" : out;
}

std::optional<int> Plug() {
  sim::Request plug;
  plug.command = sim::Command::Plug;
  auto reply = e2e::AskSimulator(plug);
  if (!reply || reply->status != sim::Status::Ok) return std::nullopt;
  return std::atoi(reply->text.c_str());
}

bool SendCode(int device, int code) {
  sim::Request send;
  send.command = sim::Command::Send;
  send.device = device;
  send.code = static_cast<std::uint16_t>(code);
  auto reply = e2e::AskSimulator(send);
  return reply && reply->status == sim::Status::Ok;
}

// Where the first difference between two programme files is, for a failure.
std::string FirstDifference(const std::string& seen, const std::string& want) {
  auto lines = e2e::SplitCrLf(seen);
  if (!lines) return "not CR LF lines (" + std::to_string(seen.size()) + " bytes)";
  if (lines->size() != e2e::kProgrammeLines)
    return std::to_string(lines->size()) + " lines instead of 300";
  auto wanted = *e2e::SplitCrLf(want);
  for (std::size_t i = 0; i < lines->size(); ++i) {
    if ((*lines)[i] != wanted[i])
      return "slot " + std::to_string(i) + " holds \"" + (*lines)[i] + "\", not \"" + wanted[i] +
             "\"";
  }
  return "same";
}

// ---------------------------------------------------------------------------
// Kills

struct KillFigures {
  int rounds = 0;
  long acknowledged = 0;     // codes answered as handled, all rounds
  int file_at_last_ack = 0;  // the kill found the table of every acknowledged code
  int file_in_flight = 0;    // ... with the code in flight saved as well
  int temporaries_left = 0;  // rounds whose kill left a temporary file
};

bool RunKills(int kills, std::mt19937& random) {
  e2e::ProgramDir dir(L"Reliability.Kills");
  dir.InstallProgram();
  const std::vector<std::wstring> installed = e2e::FileNames(dir.path());
  std::set<std::wstring> expected(installed.begin(), installed.end());
  expected.insert(L"parametres.inf");
  expected.insert(L"programme_IR.inf");
  const std::set<std::wstring> temporaries = {L"parametres.inf.tmp", L"programme_IR.inf.tmp"};

  Table table = StartTable();
  dir.WriteFile(L"parametres.inf", e2e::Lines(e2e::EmptySettings()));
  dir.WriteFile(L"programme_IR.inf", e2e::Lines(table));
  std::string settings;  // as the first start writes it

  KillFigures figures;
  const auto started_at = std::chrono::steady_clock::now();
  // One more start than kills: the last one checks the last kill, then quits.
  for (int round = 0; round <= kills; ++round) {
    const std::string label = "round " + std::to_string(round + 1) + ": ";
    e2e::TalvoroApp app(dir, L"/simulate");
    if (!app.WaitUntilShown()) return Failed(label + "the main window did not show");

    // Whatever the last kill left, this start has cleaned it up and read the
    // table it left. (The program saves its settings whenever its window
    // becomes active: a temporary file may be seen for a moment.)
    std::vector<std::wstring> names;
    if (!e2e::WaitUntil(
            [&] {
              names = e2e::FileNames(dir.path());
              return std::set<std::wstring>(names.begin(), names.end()) == expected;
            },
            10s))
      return Failed(label + "after the start the program directory holds " + Join(names));
    const std::string programme = dir.ReadFile(L"programme_IR.inf").value_or("");
    if (programme != e2e::Lines(table))
      return Failed(label + "programme_IR.inf changed at start: " +
                    FirstDifference(programme, e2e::Lines(table)));
    if (round == 0) {
      settings = dir.ReadFile(L"parametres.inf").value_or("");
      auto lines = e2e::SplitCrLf(settings);
      if (!lines || lines->size() != e2e::kSettingsLines)
        return Failed("parametres.inf is not 30 lines after the first start");
    }

    if (round == kills) {
      if (!app.Quit()) return Failed("the program did not end at the last start");
      break;
    }

    auto device = Plug();
    if (!device) return Failed(label + "cannot plug the simulated receiver");

    const std::vector<int> codes = RandomCodes(random, 4000);
    std::atomic<int> sent{0};   // requests started
    std::atomic<int> acked{0};  // answered as handled
    std::atomic<bool> stop{false};
    std::thread sender([&] {
      for (int code : codes) {
        if (stop) break;
        sent = sent + 1;
        if (!SendCode(*device, code)) break;
        acked = acked + 1;
      }
    });
    // Some codes first, then a moment anywhere within a code's handling.
    const auto delay = std::chrono::microseconds(100000 + random() % 700000);
    std::this_thread::sleep_for(delay);
    TerminateProcess(app.process().handle(), 1);
    const bool ended = app.process().WaitExit(30s);
    stop = true;
    sender.join();
    if (!ended) return Failed(label + "the program did not end when killed");

    // The file holds the table after some prefix of the codes: every
    // acknowledged one was handled (and saved), the one in flight may be.
    const std::string after = dir.ReadFile(L"programme_IR.inf").value_or("");
    const int low = acked;
    const int high = std::min<int>(sent, static_cast<int>(codes.size()));
    Table candidate = table;
    for (int i = 0; i < low; ++i) Apply(candidate, codes[static_cast<std::size_t>(i)]);
    const std::string at_last_ack = e2e::Lines(candidate);
    bool found = after == at_last_ack;
    if (found) ++figures.file_at_last_ack;
    for (int i = low; !found && i < high; ++i) {
      Apply(candidate, codes[static_cast<std::size_t>(i)]);
      found = after == e2e::Lines(candidate);
      if (found) ++figures.file_in_flight;
    }
    if (!found)
      return Failed(label + "after the kill (" + std::to_string(low) +
                    " codes acknowledged) programme_IR.inf is no table the codes give: " +
                    FirstDifference(after, at_last_ack));
    table = *e2e::SplitCrLf(after);
    if (dir.ReadFile(L"parametres.inf").value_or("") != settings)
      return Failed(label + "parametres.inf is not whole after the kill");

    const std::vector<std::wstring> left = e2e::FileNames(dir.path());
    bool temporary_left = false;
    for (const auto& name : left) {
      if (expected.count(name)) continue;
      if (!temporaries.count(name))
        return Failed(label + "the kill left " + e2e::ToUtf8(name) + " in the program directory");
      temporary_left = true;
    }
    if (temporary_left) ++figures.temporaries_left;
    figures.acknowledged += acked;
    ++figures.rounds;
    if (figures.rounds % 10 == 0 && figures.rounds < kills) {
      std::printf("  %d of %d kills done\n", figures.rounds, kills);
      std::fflush(stdout);
    }
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started_at).count();
  std::printf(
      "kills: %d rounds, %ld codes handled in all, %.1f s\n"
      "  programme_IR.inf after the kill: the last acknowledged code's table %d times, the code "
      "in flight's %d times\n"
      "  a temporary file left by the kill (removed by the next start) %d times\n",
      figures.rounds, figures.acknowledged, seconds, figures.file_at_last_ack,
      figures.file_in_flight, figures.temporaries_left);
  std::fflush(stdout);
  return true;
}

// ---------------------------------------------------------------------------
// Flood

std::string Describe(const std::vector<HWND>& windows) {
  std::string out;
  for (HWND window : windows)
    out += (out.empty() ? "" : ", ") + e2e::ToUtf8(e2e::ClassName(window));
  return out.empty() ? "(none)" : out;
}

bool SameWindows(std::vector<HWND> a, std::vector<HWND> b) {
  std::sort(a.begin(), a.end());
  std::sort(b.begin(), b.end());
  return a == b;
}

void PrintMemory(const char* when, const e2e::ProcessMemory& m) {
  std::printf("  %-22s working set %9.1f KiB   peak %9.1f KiB   private %9.1f KiB\n", when,
              m.working_set / 1024.0, m.peak_working_set / 1024.0, m.private_bytes / 1024.0);
}

bool RunFlood(int count, std::mt19937& random) {
  e2e::ProgramDir dir(L"Reliability.Flood");
  dir.InstallProgram();
  Table settings = e2e::EmptySettings();
  settings[2] = std::string("LANCE_ON");  // reduced two seconds after the start
  settings[5] = std::string("OSD_ON");
  settings[6] = std::string("POSI_OSD_HG");
  Table table = StartTable();
  dir.WriteFile(L"parametres.inf", e2e::Lines(settings));
  dir.WriteFile(L"programme_IR.inf", e2e::Lines(table));

  e2e::TalvoroApp app(dir, L"/simulate");
  if (!app.WaitForMainWindow()) return Failed("flood: the main window did not appear");
  if (!app.WaitForAllForms()) return Failed("flood: the program's windows were not all made");
  const DWORD pid = app.process().pid();
  if (!e2e::WaitUntil([&] { return !IsWindowVisible(app.main_window()); }, 20s))
    return Failed("flood: the window was not reduced to the notification area");
  auto device = Plug();
  if (!device) return Failed("flood: cannot plug the simulated receiver");
  const std::vector<HWND> windows_before = e2e::VisibleTopLevelWindows(pid);
  HWND osd = app.Form(L"TForm5");

  // Warm-up: the first codes pay for the display's first showing, page faults
  // and lazy initialisation.
  bool osd_seen = false;
  for (int code : RandomCodes(random, 200)) {
    if (!SendCode(*device, code)) return Failed("flood: a warm-up code was not handled");
    Apply(table, code);
    osd_seen = osd_seen || IsWindowVisible(osd);
  }
  if (!e2e::WaitUntil([&] { return SameWindows(e2e::VisibleTopLevelWindows(pid), windows_before); },
                      15s))
    return Failed("flood: after the warm-up the program shows " +
                  Describe(e2e::VisibleTopLevelWindows(pid)));
  auto before = e2e::MemoryOf(app.process().handle());
  if (!before) return Failed("flood: cannot read the program's memory");

  const std::vector<int> codes = RandomCodes(random, count);
  const auto started_at = std::chrono::steady_clock::now();
  constexpr int kCheckEvery = 100;
  for (int i = 0; i < count; ++i) {
    const int code = codes[static_cast<std::size_t>(i)];
    if (!SendCode(*device, code))
      return Failed("flood: code " + std::to_string(i + 1) + " (" + std::to_string(code) +
                    ") was not answered as handled");
    Apply(table, code);
    if (i % 16 == 0) osd_seen = osd_seen || IsWindowVisible(osd);
    if ((i + 1) % kCheckEvery == 0 || i + 1 == count) {
      const std::wstring panel = app.Panel(2);
      if (panel != L" Code IR: " + std::to_wstring(code))
        return Failed("flood: after code " + std::to_string(i + 1) + " the status bar reads \"" +
                      e2e::ToUtf8(panel) + "\", not the code " + std::to_string(code));
      const std::string file = dir.ReadFile(L"programme_IR.inf").value_or("");
      if (file != e2e::Lines(table))
        return Failed("flood: after code " + std::to_string(i + 1) +
                      " programme_IR.inf is not the table the codes give in their order: " +
                      FirstDifference(file, e2e::Lines(table)));
    }
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started_at).count();
  const auto peak_windows = e2e::VisibleTopLevelWindows(pid).size();

  if (!e2e::WaitUntil([&] { return SameWindows(e2e::VisibleTopLevelWindows(pid), windows_before); },
                      15s))
    return Failed("flood: after the codes the program still shows " +
                  Describe(e2e::VisibleTopLevelWindows(pid)) +
                  " (before: " + Describe(windows_before) + ")");
  auto after = e2e::MemoryOf(app.process().handle());
  if (!after) return Failed("flood: cannot read the program's memory");
  const long long growth =
      static_cast<long long>(after->working_set) - static_cast<long long>(before->working_set);

  std::printf("flood: %d codes in %.1f s (%.2f ms per code), window reduced, display on\n", count,
              seconds, seconds * 1e3 / std::max(count, 1));
  std::printf("  final table: master volume %s, balance %s, Windows Media Player %s\n",
              table[kSlotMaster].c_str(), table[kSlotBalance].c_str(),
              table[kSlotWmpState].c_str());
  std::printf("  visible windows before %zu, right after the last code %zu, at the end %zu\n",
              windows_before.size(), peak_windows, e2e::VisibleTopLevelWindows(pid).size());
  PrintMemory("after the warm-up", *before);
  PrintMemory("after the flood", *after);
  std::printf("  working set growth %+.1f KiB (limit 1024 KiB)\n", growth / 1024.0);
  std::fflush(stdout);

  if (!osd_seen) return Failed("flood: the on-screen display was never seen shown");
  if (growth > static_cast<long long>(kMiB))
    return Failed("flood: the working set grew by more than 1 MiB");
  if (!app.Quit()) return Failed("flood: the program did not end at its close box");
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  int kills = 100;
  int codes = 10000;
  unsigned seed =
      static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count());
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--kills") == 0)
      kills = std::max(0, std::atoi(argv[i + 1]));
    else if (std::strcmp(argv[i], "--codes") == 0)
      codes = std::max(0, std::atoi(argv[i + 1]));
    else if (std::strcmp(argv[i], "--seed") == 0)
      seed = static_cast<unsigned>(std::strtoul(argv[i + 1], nullptr, 10));
    else {
      std::fprintf(stderr, "usage: talvoro_reliability [--kills N] [--codes M] [--seed S]\n");
      return 2;
    }
  }
  std::printf("reliability: %d kills, %d codes, seed %u\n", kills, codes, seed);
  std::fflush(stdout);
  std::mt19937 random(seed);
  try {
    if (kills > 0 && !RunKills(kills, random)) return 1;
    if (codes > 0 && !RunFlood(codes, random)) return 1;
  } catch (const std::exception& e) {
    Failed(e.what());
    return 1;
  }
  std::printf("reliability: passed\n");
  return 0;
}
