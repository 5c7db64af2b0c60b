// A stand-in for the programs Talvoro IR starts: it adds one line to "<its
// own full path>.runs" (so the lines count its starts), then leaves "<its own
// full path>.ran" holding the command line it was given (UTF-8), and ends. It
// has no window and no console.
#include <windows.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  std::wstring self(32768, L'\0');
  const DWORD length = GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size()));
  if (length == 0 || length >= self.size()) return 1;
  self.resize(length);

  // Appending alone: each line goes whole at the end, also when several
  // copies run at once. Written first: once the marker is there, so is the
  // line of its start.
  DWORD written = 0;
  const std::wstring runs = self + L".runs";
  HANDLE log = CreateFileW(runs.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (log == INVALID_HANDLE_VALUE) return 2;
  const char line[] = "ran\r\n";
  const BOOL logged = WriteFile(log, line, sizeof line - 1, &written, nullptr);
  CloseHandle(log);
  if (!logged || written != sizeof line - 1) return 3;

  const wchar_t* command_line = GetCommandLineW();
  const int size = WideCharToMultiByte(CP_UTF8, 0, command_line, -1, nullptr, 0, nullptr, nullptr);
  std::string text(size > 0 ? static_cast<std::size_t>(size) : 1u, '\0');
  WideCharToMultiByte(CP_UTF8, 0, command_line, -1, text.data(), size, nullptr, nullptr);
  text.resize(text.size() - 1);

  // Written under another name and then renamed: a test never reads half a marker.
  const std::wstring marker = self + L".ran";
  const std::wstring partial = marker + L".part";
  HANDLE file = CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 4;
  const BOOL ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
  if (!ok || written != text.size()) return 5;
  return MoveFileExW(partial.c_str(), marker.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 6;
}
