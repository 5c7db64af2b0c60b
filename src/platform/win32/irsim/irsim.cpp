// irsim: plugs simulated IR receivers into a Talvoro_IR.exe started with
// /simulate, unplugs them, and makes them send codes or raw reports.
//
// Exit status: 0 done; 2 no program to talk to, no such device, or a
// malformed argument; 1 any other failure (the program did not read or
// finish handling a report, or went away before answering).
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "platform/sim_protocol.h"

namespace {

namespace sim = talvoro::platform::sim;

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

int Fail(int status, const std::string& message) {
  std::fprintf(stderr, "irsim: %s\n", message.c_str());
  return status;
}

std::string Narrow(const wchar_t* text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1) return {};
  std::string out(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), size, nullptr, nullptr);
  out.resize(static_cast<std::size_t>(size - 1));
  return out;
}

std::wstring PipeName() {
  DWORD session = 0;
  if (!ProcessIdToSessionId(GetCurrentProcessId(), &session)) session = 0;
  const std::string name = sim::PipeName(session);
  return std::wstring(name.begin(), name.end());
}

HANDLE Connect() {
  const std::wstring name = PipeName();
  for (int attempt = 0; attempt < 20; ++attempt) {
    HANDLE pipe = CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (pipe != INVALID_HANDLE_VALUE) return pipe;
    const DWORD error = GetLastError();
    if (error == ERROR_PIPE_BUSY) {
      // Every listening instance is taken for the moment; the server makes
      // a new one with each connection.
      WaitNamedPipeW(name.c_str(), 1000);
    } else if (error == ERROR_FILE_NOT_FOUND && attempt < 4) {
      // Either no program serves the name, or the server is between two
      // instances: look again briefly before concluding.
      Sleep(50);
    } else {
      return INVALID_HANDLE_VALUE;
    }
  }
  return INVALID_HANDLE_VALUE;
}

bool WriteAll(HANDLE pipe, const std::string& text) {
  std::size_t offset = 0;
  while (offset < text.size()) {
    DWORD written = 0;
    if (!WriteFile(pipe, text.data() + offset, static_cast<DWORD>(text.size() - offset), &written,
                   nullptr)) {
      return false;
    }
    offset += written;
  }
  return true;
}

// The answer line without its "\n"; nothing when the pipe closed first.
std::optional<std::string> ReadLine(HANDLE pipe) {
  std::string line;
  char chunk[256];
  while (line.size() < 64 * 1024) {
    DWORD count = 0;
    if (!ReadFile(pipe, chunk, sizeof(chunk), &count, nullptr) || count == 0) return std::nullopt;
    line.append(chunk, count);
    const auto end = line.find('\n');
    if (end != std::string::npos) return line.substr(0, end);
  }
  return std::nullopt;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(Narrow(argv[i]));
  if (args.empty()) {
    std::fputs(sim::kUsage.data(), stderr);
    return kExitUsage;
  }
  if (args[0] == "help" || args[0] == "--help" || args[0] == "-h" || args[0] == "/?") {
    std::fputs(sim::kUsage.data(), stdout);
    return 0;
  }

  std::string error;
  const auto request = sim::ParseCommandLine(args, error);
  if (!request) return Fail(kExitUsage, error + " (irsim without arguments shows the usage)");

  HANDLE pipe = Connect();
  if (pipe == INVALID_HANDLE_VALUE) {
    return Fail(kExitUsage, "no Talvoro IR program runs with /simulate");
  }
  const bool sent = WriteAll(pipe, sim::FormatRequest(*request) + "\n");
  const auto answer = sent ? ReadLine(pipe) : std::nullopt;
  CloseHandle(pipe);

  if (!answer) {
    // Unplugging the receiver ends the program, possibly before its answer
    // gets out: the unplug did happen.
    if (sent && request->command == sim::Command::Unplug) return 0;
    return Fail(kExitFailure, "the program went away before answering");
  }
  const auto reply = sim::ParseReply(*answer);
  if (!reply) return Fail(kExitFailure, "unexpected answer: " + *answer);
  switch (reply->status) {
    case sim::Status::Ok:
      if (request->command == sim::Command::Plug) std::printf("%s\n", reply->text.c_str());
      return 0;
    case sim::Status::NoDevice:
    case sim::Status::BadArgument:
      return Fail(kExitUsage, reply->text);
    case sim::Status::NotRead:
    case sim::Status::Timeout:
    case sim::Status::Ending:
      return Fail(kExitFailure, reply->text);
  }
  return kExitFailure;
}
