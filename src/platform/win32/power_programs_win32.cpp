// The screen, the PC's power and starting other programs.
#include <vector>

#include "platform/win32/modal_loop.h"
#include "platform/win32/services_win32.h"
#include "platform/win32/system_directory.h"
#include "platform/win32/wide_text.h"

// After the program's own Windows header, which settles the macros.
#include <shlwapi.h>

namespace talvoro::platform::win32 {

void Win32Power::StartScreenSaver() {
  // Posted, as the desktop window handles it on its own thread.
  PostMessageW(GetDesktopWindow(), WM_SYSCOMMAND, SC_SCREENSAVE, 0);
}

void Win32Power::DisplayLowPower() {
  // Posted, never sent: DefWindowProc may block in the display driver, and
  // a sent message would hold the main thread (and the receiver) with it.
  if (main_) PostMessageW(main_, WM_SYSCOMMAND, SC_MONITORPOWER, 1);
}

namespace {

// A process may restart or shut down the system only with this privilege
// enabled in its own token.
void EnableShutdownPrivilege() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) return;
  TOKEN_PRIVILEGES privileges{};
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  if (LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege", &privileges.Privileges[0].Luid))
    AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
  CloseHandle(token);
}

// ShellExecute may show the shell's own message box (a file without a
// program to open it, a failed start) and wait for DDE conversations in
// message loops of its own: codes wait meanwhile. Success is a value above 32.
bool ShellRun(HWND parent, const wchar_t* verb, const std::wstring& file, int show) {
  const ModalLoop loop;
  return reinterpret_cast<INT_PTR>(
             ShellExecuteW(parent, verb, file.c_str(), nullptr, nullptr, show)) > 32;
}

}  // namespace

void Win32Power::ExitSystem(ExitKind kind) {
  EnableShutdownPrivilege();
  // EWX_SHUTDOWN alone leaves today's PCs on at a "safe to turn off" state:
  // EWX_POWEROFF switches them off. The reason marks a planned shut-down.
  const UINT flags = kind == ExitKind::Restart ? EWX_REBOOT : EWX_SHUTDOWN | EWX_POWEROFF;
  ExitWindowsEx(flags,
                SHTDN_REASON_MAJOR_OTHER | SHTDN_REASON_MINOR_OTHER | SHTDN_REASON_FLAG_PLANNED);
}

bool Win32Programs::ShellOpen(const std::string& file) {
  return ShellRun(main_, nullptr, AnsiToWide(file), SW_SHOWNORMAL);
}

bool Win32Programs::StartSystemProgram(const std::string& file) {
  // What WinExec does, with the Unicode call, but with the file's full path:
  // given a bare name, CreateProcess (and WinExec) look in the program's
  // folder and the current directory before the system directory. The path
  // names the file to run, and, quoted, is the command line, which
  // CreateProcess may write into: it gets a copy of its own.
  const std::wstring path = SystemDirectoryFile(AnsiToWide(file));
  if (path.empty()) return false;
  const std::wstring command = L"\"" + path + L"\"";
  std::vector<wchar_t> buffer(command.begin(), command.end());
  buffer.push_back(L'\0');
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOW;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(path.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process))
    return false;
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

bool Win32Programs::StartProgram(const std::string& application, const std::string& command_line) {
  // With lpApplicationName set, Windows runs exactly that file: no search
  // along the PATH, and no cutting of an unquoted command line at its blanks,
  // which would try "C:\Program.exe" before "C:\Program Files\...". The
  // command line then only becomes the program's arguments. CreateProcessW
  // may write into it, so it gets a copy of its own.
  const std::wstring file = AnsiToWide(application);
  const std::wstring command = AnsiToWide(command_line);
  std::vector<wchar_t> buffer(command.begin(), command.end());
  buffer.push_back(L'\0');
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  // No handle is inherited: the started program is none of ours, and an
  // inherited handle (a standard handle the program was given, a pipe) would
  // stay open for as long as it runs.
  if (!CreateProcessW(file.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process))
    return false;
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

bool Win32Programs::StartDefaultFor(const std::string& protocol) {
  wchar_t executable[MAX_PATH * 2] = {};
  DWORD size = static_cast<DWORD>(std::size(executable));
  if (FAILED(AssocQueryStringW(ASSOCF_IS_PROTOCOL, ASSOCSTR_EXECUTABLE,
                               AnsiToWide(protocol).c_str(), L"open", executable, &size)))
    return false;
  return ShellRun(main_, nullptr, executable, SW_SHOWNORMAL);
}

bool Win32Programs::OpenDocument(const std::string& target, bool maximised) {
  // The desktop as parent: the browser's window must not belong to ours,
  // which may be hidden in the notification area.
  return ShellRun(GetDesktopWindow(), L"open", AnsiToWide(target),
                  maximised ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
}

}  // namespace talvoro::platform::win32
