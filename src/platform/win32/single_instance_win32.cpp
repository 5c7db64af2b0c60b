#include "platform/win32/services_win32.h"
#include "platform/win32/wide_text.h"

namespace talvoro::platform::win32 {

std::wstring ModulePath() {
  // GetModuleFileNameW truncates silently (returning the buffer size) when
  // the buffer is too small: grow until the whole path fits.
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

namespace {

// The program keeps paths as Windows-1252 bytes. A directory whose name that
// code page cannot spell would come out with '?' and every file in it would
// be unreachable; its short (8.3) alias is plain ASCII and names the same
// place, so it stands in when the volume has one.
std::string PathToAnsi(const std::wstring& path) {
  bool lossy = false;
  std::string ansi = WideToAnsi(path, &lossy);
  if (!lossy) return ansi;
  const DWORD length = GetShortPathNameW(path.c_str(), nullptr, 0);
  if (length == 0) return ansi;
  std::wstring short_path(length, L'\0');
  const DWORD written = GetShortPathNameW(path.c_str(), short_path.data(), length);
  if (written == 0 || written >= length) return ansi;
  short_path.resize(written);
  bool still_lossy = false;
  std::string short_ansi = WideToAnsi(short_path, &still_lossy);
  return still_lossy ? ansi : short_ansi;
}

}  // namespace

bool Win32SingleInstance::CreateMutexAlreadyExists(const std::string& name) {
  const HANDLE mutex = CreateMutexW(nullptr, FALSE, AnsiToWide(name).c_str());
  // GetLastError must be read at once: it tells whether the mutex was opened
  // rather than created, even though the call succeeded.
  const bool existed = GetLastError() == ERROR_ALREADY_EXISTS;
  if (mutex && !mutex_) mutex_ = mutex;
  return existed;
}

bool Win32SingleInstance::OnMessage(UINT message, WPARAM, LPARAM lparam, LRESULT& result) {
  if (message != WM_COPYDATA) return false;
  // The block is only valid while this message is handled; the handler
  // copies what it keeps.
  const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lparam);
  if (data && on_copy_data_) on_copy_data_(data->lpData, data->cbData);
  result = TRUE;
  return true;
}

std::uint32_t Win32SingleInstance::OwnMessageWindow() {
  if (!window_) {
    window_ = std::make_unique<MessageWindow>(
        instance_, [this](UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) {
          return OnMessage(message, wparam, lparam, result);
        });
  }
  return HandleToValue(window_->hwnd());
}

void Win32SingleInstance::SendCopyData(std::uint32_t target,
                                       const std::vector<std::uint8_t>& block) {
  const HWND own = ValueToHandle(OwnMessageWindow());
  const HWND first_copy = ValueToHandle(target);
  // The first copy answers by bringing its window to the front. Windows only
  // lets the foreground process (this one, just launched by the user) hand
  // that right on, and only explicitly: to the first copy's process alone.
  DWORD first_copy_process = 0;
  if (first_copy && GetWindowThreadProcessId(first_copy, &first_copy_process))
    AllowSetForegroundWindow(first_copy_process);
  COPYDATASTRUCT data{};
  data.dwData = 0;
  data.cbData = static_cast<DWORD>(block.size());
  data.lpData = const_cast<std::uint8_t*>(block.data());
  // A plain SendMessage would wait for ever on a first copy that hangs, and
  // every later launch with it, unseen. The block only has to be copied
  // while the message is handled; whether it arrived changes nothing here.
  DWORD_PTR answer = 0;
  SendMessageTimeoutW(first_copy, WM_COPYDATA, reinterpret_cast<WPARAM>(own),
                      reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, kHandOverTimeoutMs,
                      &answer);
}

std::string Win32SingleInstance::ExecutableFileName() {
  const std::wstring path = ModulePath();
  const std::size_t slash = path.find_last_of(L"\\/");
  return WideToAnsi(slash == std::wstring::npos ? path : path.substr(slash + 1));
}

std::string Win32SingleInstance::ExecutableDirectory() {
  const std::wstring path = ModulePath();
  const std::size_t slash = path.find_last_of(L"\\/");
  return PathToAnsi(slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1));
}

std::vector<std::string> Win32SingleInstance::CommandLine() {
  // The first entry is the program's real path (as the module knows it),
  // not argv[0], which is whatever the launcher typed.
  std::vector<std::string> arguments{PathToAnsi(ModulePath())};
  int count = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!argv) return arguments;
  for (int i = 1; i < count; ++i) arguments.push_back(WideToAnsi(argv[i]));
  LocalFree(argv);
  return arguments;
}

}  // namespace talvoro::platform::win32
