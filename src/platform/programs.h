// Starting other programs.
#pragma once

#include <string>

namespace talvoro::platform {

class IPrograms {
 public:
  virtual ~IPrograms() = default;
  // Opens `file` through the shell (no verb, shown normally), with the main
  // window as owner; false when the shell could not start it. Text in the
  // program's own encoding (Windows-1252).
  virtual bool ShellOpen(const std::string& file) = 0;
  // Runs the program `file` (a bare file name, such as "sndvol.exe") of the
  // system directory, shown (as WinExec with SW_SHOW), never a file of that
  // name in the program's folder or the current directory; false on failure.
  virtual bool StartSystemProgram(const std::string& file) = 0;
  // Starts the program the user chose for a URL protocol ("http",
  // "mailto"); false when there is none or it could not start.
  virtual bool StartDefaultFor(const std::string& protocol) = 0;
  // Creates a process running exactly the file `application` with
  // `command_line` (both Windows-1252), the caller's environment and current
  // directory, shown as the program itself asks; does not wait for it. False
  // when no process was created.
  virtual bool StartProgram(const std::string& application, const std::string& command_line) = 0;
  // Opens a document or a web address (Windows-1252) with the program the
  // user chose for it (the shell's "open"), the desktop window as parent,
  // shown maximised or normally; false when the shell could not open it.
  virtual bool OpenDocument(const std::string& target, bool maximised) = 0;
};

}  // namespace talvoro::platform
