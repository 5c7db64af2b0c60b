// The clock, the keyboard, the message boxes and the registry.
#include "platform/win32/error_box.h"
#include "platform/win32/launch_options.h"
#include "platform/win32/modal_loop.h"
#include "platform/win32/modal_owner.h"
#include "platform/win32/own_keys.h"
#include "platform/win32/services_win32.h"
#include "platform/win32/wide_text.h"

namespace talvoro::platform::win32 {

DateTime Win32Clock::Now() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return DateTime{now.wYear,   now.wMonth,  now.wDay,         now.wHour,
                  now.wMinute, now.wSecond, now.wMilliseconds};
}

long long Win32Clock::SteadyMilliseconds() {
  // Unlike the time of day, it never jumps when the user or the network
  // sets the clock.
  return static_cast<long long>(GetTickCount64());
}

void Win32Clock::Sleep(int milliseconds) {
  if (milliseconds > 0) ::Sleep(static_cast<DWORD>(milliseconds));
}

void Win32Keyboard::KeyEvent(std::uint8_t vk, bool key_up, bool extended) {
  // keybd_event is the call the media applications have always been driven
  // with; SendInput would do the same. Its result is not checked. The mark
  // keeps the key from the program's own windows (own_keys.h); the window
  // in front, another program's, sees the same key as without it.
  keybd_event(vk, 0, (key_up ? KEYEVENTF_KEYUP : 0) | (extended ? KEYEVENTF_EXTENDEDKEY : 0),
              kOwnKeyMark);
}

void Win32Dialogs::ShowError(const std::string& utf8_message) {
  ShowErrorBox(utf8_message);
}

BoxResult Win32Dialogs::MessageBox(const std::string& utf8_text, const std::string& utf8_caption,
                                   BoxIcon icon, BoxButtons buttons) {
  UINT flags = buttons == BoxButtons::YesNo ? MB_YESNO : MB_OK;
  switch (icon) {
    case BoxIcon::Information:
      flags |= MB_ICONINFORMATION;
      break;
    case BoxIcon::Warning:
      flags |= MB_ICONWARNING;
      break;
    case BoxIcon::Error:
      flags |= MB_ICONERROR;
      break;
  }
  // A message box is centred on the screen whatever its owner; the owner
  // only makes it modal to that window.
  const ModalOwner owner = ModalOwner::Current();
  const ModalLoop loop;
  switch (MessageBoxW(owner.window, Utf8ToWide(utf8_text).c_str(), Utf8ToWide(utf8_caption).c_str(),
                      flags | owner.extra_flags)) {
    case IDOK:
      return BoxResult::Ok;
    case IDYES:
      return BoxResult::Yes;
    case IDNO:
      return BoxResult::No;
    default:
      return BoxResult::Cancel;
  }
}

namespace {

// The hook that raises the next message box of this thread above every
// window, while it is installed.
thread_local HHOOK topmost_hook = nullptr;

// Runs after each message sent to a window of this thread. A message box has
// finished setting itself up when its WM_INITDIALOG returns, before it shows.
LRESULT CALLBACK RaiseBoxAfterInit(int code, WPARAM wparam, LPARAM lparam) {
  const HHOOK hook = topmost_hook;
  if (code == HC_ACTION) {
    const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lparam);
    if (call->message == WM_INITDIALOG && !(GetWindowLongW(call->hwnd, GWL_STYLE) & WS_CHILD)) {
      SetWindowPos(call->hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
      // Only this box: the dialogs its modal loop may open later are not concerned.
      UnhookWindowsHookEx(hook);
      topmost_hook = nullptr;
    }
  }
  return CallNextHookEx(hook, code, wparam, lparam);
}

}  // namespace

void Win32Dialogs::ShowForegroundWarning(const std::string& utf8_text,
                                         const std::string& utf8_caption) {
  // Raised from the remote while the main window is reduced, the box has no
  // active window to stand on and would open behind the program in front:
  // MB_TOPMOST keeps it above every window, also when Windows refuses the
  // foreground to a program the user is not working with (the foreground
  // lock only makes its taskbar entry flash), and MB_SETFOREGROUND asks for
  // the foreground so that Enter closes it. Not every system honours
  // MB_TOPMOST (Wine creates the box as any other), so the box is also made
  // topmost by hand once it is set up.
  const ModalOwner owner = ModalOwner::Current();
  const ModalLoop loop;
  topmost_hook =
      SetWindowsHookExW(WH_CALLWNDPROCRET, RaiseBoxAfterInit, nullptr, GetCurrentThreadId());
  MessageBoxW(owner.window, Utf8ToWide(utf8_text).c_str(), Utf8ToWide(utf8_caption).c_str(),
              MB_OK | MB_ICONWARNING | MB_TOPMOST | MB_SETFOREGROUND | owner.extra_flags);
  if (topmost_hook) {
    UnhookWindowsHookEx(topmost_hook);
    topmost_hook = nullptr;
  }
}

void Win32Dialogs::Beep() {
  // 0 is MB_OK: the system's default sound.
  MessageBeep(0);
}

std::optional<std::uint32_t> Win32Registry::ReadUserDword(const std::string& key,
                                                          const std::string& value) {
  HKEY handle = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, AnsiToWide(RelativeRegistryKey(key)).c_str(), 0,
                    KEY_QUERY_VALUE, &handle) != ERROR_SUCCESS)
    return std::nullopt;
  DWORD type = 0;
  DWORD data = 0;
  DWORD size = sizeof data;
  const LONG status = RegQueryValueExW(handle, AnsiToWide(value).c_str(), nullptr, &type,
                                       reinterpret_cast<BYTE*>(&data), &size);
  RegCloseKey(handle);
  if (status != ERROR_SUCCESS || type != REG_DWORD || size != sizeof data) return std::nullopt;
  return data;
}

void Win32Registry::WriteUserDword(const std::string& key, const std::string& value,
                                   std::uint32_t data) {
  HKEY handle = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, AnsiToWide(RelativeRegistryKey(key)).c_str(), 0, nullptr,
                      REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, &handle,
                      nullptr) != ERROR_SUCCESS)
    return;
  const DWORD dword = data;
  RegSetValueExW(handle, AnsiToWide(value).c_str(), 0, REG_DWORD,
                 reinterpret_cast<const BYTE*>(&dword), sizeof dword);
  RegCloseKey(handle);
}

std::optional<std::string> Win32Registry::ReadUserString(const std::string& key,
                                                         const std::string& value) {
  HKEY handle = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, AnsiToWide(RelativeRegistryKey(key)).c_str(), 0,
                    KEY_QUERY_VALUE, &handle) != ERROR_SUCCESS)
    return std::nullopt;
  const std::wstring name = AnsiToWide(value);
  DWORD type = 0;
  DWORD size = 0;
  LONG status = RegQueryValueExW(handle, name.c_str(), nullptr, &type, nullptr, &size);
  std::wstring text;
  if (status == ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ)) {
    // One more character than asked for: a stored string need not end with
    // its terminator.
    text.assign(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    status = RegQueryValueExW(handle, name.c_str(), nullptr, &type,
                              reinterpret_cast<BYTE*>(text.data()), &size);
  }
  RegCloseKey(handle);
  if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return std::nullopt;
  text.resize(size / sizeof(wchar_t));
  if (const std::size_t end = text.find(L'\0'); end != std::wstring::npos) text.resize(end);
  if (type == REG_EXPAND_SZ) {
    const DWORD needed = ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
    if (needed == 0) return std::nullopt;
    std::wstring expanded(needed, L'\0');
    const DWORD written = ExpandEnvironmentStringsW(text.c_str(), expanded.data(), needed);
    if (written == 0 || written > needed) return std::nullopt;
    expanded.resize(written - 1);
    text = std::move(expanded);
  }
  bool lossy = false;
  std::string bytes = WideToAnsi(text, &lossy);
  if (lossy) return std::nullopt;
  return bytes;
}

void Win32Registry::DeleteUserKey(const std::string& key) {
  // The key holds values only, so RegDeleteKeyW (which refuses keys with
  // sub-keys) removes it whole.
  RegDeleteKeyW(HKEY_CURRENT_USER, AnsiToWide(RelativeRegistryKey(key)).c_str());
}

MachineValues Win32Registry::ListMachineValues(const std::string& key) {
  MachineValues result;
  HKEY handle = nullptr;
  const LONG opened =
      RegOpenKeyExW(HKEY_LOCAL_MACHINE, AnsiToWide(key).c_str(), 0, KEY_READ, &handle);
  if (opened == ERROR_FILE_NOT_FOUND) {
    result.outcome = MachineValues::Outcome::MissingKey;
    return result;
  }
  if (opened != ERROR_SUCCESS) {
    result.outcome = MachineValues::Outcome::Failed;
    result.error_code = static_cast<std::uint32_t>(opened);
    return result;
  }
  // Buffers as large as the key's longest name and data, so that no value is
  // cut; one that grows meanwhile is read again with larger ones.
  DWORD longest_name = 0;
  DWORD longest_data = 0;
  RegQueryInfoKeyW(handle, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                   &longest_name, &longest_data, nullptr, nullptr);
  std::vector<wchar_t> name(static_cast<std::size_t>(longest_name) + 256);
  std::vector<BYTE> data(static_cast<std::size_t>(longest_data) + 256);
  constexpr std::size_t kLargest = 1u << 20;
  for (DWORD index = 0;;) {
    DWORD name_size = static_cast<DWORD>(name.size());
    DWORD data_size = static_cast<DWORD>(data.size());
    DWORD type = 0;
    const LONG status = RegEnumValueW(handle, index, name.data(), &name_size, nullptr, &type,
                                      data.data(), &data_size);
    if (status == ERROR_NO_MORE_ITEMS) break;
    if (status == ERROR_MORE_DATA && data.size() < kLargest) {
      name.resize(name.size() * 2);
      data.resize(data.size() * 2);
      continue;
    }
    if (status != ERROR_SUCCESS) {
      result.outcome = MachineValues::Outcome::Failed;
      result.error_code = static_cast<std::uint32_t>(status);
      result.data.clear();
      break;
    }
    // The data as long as the registry says it is, its NULs included.
    const std::wstring text(reinterpret_cast<const wchar_t*>(data.data()),
                            data_size / sizeof(wchar_t));
    result.data.push_back(WideToAnsi(text));
    ++index;
  }
  RegCloseKey(handle);
  return result;
}

}  // namespace talvoro::platform::win32
