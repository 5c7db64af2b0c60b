// Cross-process pieces of the single-instance guard.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace talvoro::platform {

class ISingleInstance {
 public:
  virtual ~ISingleInstance() = default;
  // Creates (or opens) the named mutex and keeps it open until the process
  // ends; true when it already existed.
  virtual bool CreateMutexAlreadyExists(const std::string& name) = 0;
  // The handle value of the guard's own message window (created on first use).
  virtual std::uint32_t OwnMessageWindow() = 0;
  // Sends WM_COPYDATA with `block` to the window `target`; wParam is our own
  // message window. Gives up after a few seconds when the target does not
  // take it (a first copy that hangs).
  virtual void SendCopyData(std::uint32_t target, const std::vector<std::uint8_t>& block) = 0;
  // The executable's file name without directory, and its directory with a
  // trailing separator, both in the program's own encoding (Windows-1252).
  virtual std::string ExecutableFileName() = 0;
  virtual std::string ExecutableDirectory() = 0;
  // The program path and the command-line arguments, Windows-1252.
  virtual std::vector<std::string> CommandLine() = 0;
};

}  // namespace talvoro::platform
