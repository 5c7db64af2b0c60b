// A bare named-pipe echo server: the yardstick the simulated receiver's round
// trip is set against. Like the simulator it serves one request line per
// connection and has the next pipe instance listening before it answers, so
// that a client never finds the name missing; unlike it, it does nothing with
// the line but send it back. A line "quit" ends it.
//
//   talvoro_pipe_echo.exe PIPE_NAME
#include <windows.h>

#include <string>

namespace {

HANDLE CreateInstance(const wchar_t* name) {
  return CreateNamedPipeW(name, PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT,
                          PIPE_UNLIMITED_INSTANCES, 4096, 4096, 0, nullptr);
}

// Reads one line (up to and with its '\n'); false when the client went away.
bool ReadLine(HANDLE pipe, std::string& line) {
  line.clear();
  while (line.find('\n') == std::string::npos) {
    char chunk[256];
    DWORD got = 0;
    if (!ReadFile(pipe, chunk, sizeof chunk, &got, nullptr) && GetLastError() != ERROR_MORE_DATA)
      return false;
    if (got == 0) return false;
    line.append(chunk, got);
  }
  return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 2;
  const wchar_t* name = argv[1];
  HANDLE pipe = CreateInstance(name);
  if (pipe == INVALID_HANDLE_VALUE) return 1;
  for (;;) {
    if (!ConnectNamedPipe(pipe, nullptr) && GetLastError() != ERROR_PIPE_CONNECTED) {
      CloseHandle(pipe);
      pipe = CreateInstance(name);
      if (pipe == INVALID_HANDLE_VALUE) return 1;
      continue;
    }
    HANDLE next = CreateInstance(name);
    std::string line;
    bool quit = false;
    if (ReadLine(pipe, line)) {
      quit = line.rfind("quit", 0) == 0;
      DWORD written = 0;
      WriteFile(pipe, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
      FlushFileBuffers(pipe);
    }
    DisconnectNamedPipe(pipe);
    CloseHandle(pipe);
    if (quit) {
      if (next != INVALID_HANDLE_VALUE) CloseHandle(next);
      return 0;
    }
    pipe = next;
    if (pipe == INVALID_HANDLE_VALUE) return 1;
  }
}
