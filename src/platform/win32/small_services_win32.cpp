// The clock, the keyboard, the message boxes and the registry.
#include "platform/win32/error_box.h"
#include "platform/win32/launch_options.h"
#include "platform/win32/modal_owner.h"
#include "platform/win32/services_win32.h"
#include "platform/win32/wide_text.h"

namespace talvoro::platform::win32 {

DateTime Win32Clock::Now() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return DateTime{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

void Win32Clock::Sleep(int milliseconds) {
  if (milliseconds > 0) ::Sleep(static_cast<DWORD>(milliseconds));
}

void Win32Keyboard::KeyEvent(std::uint8_t vk, bool key_up) {
  // keybd_event is the call the media applications have always been driven
  // with; SendInput would do the same. Its result is not checked.
  keybd_event(vk, 0, key_up ? KEYEVENTF_KEYUP : 0, 0);
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

void Win32Registry::DeleteUserKey(const std::string& key) {
  // The key holds values only, so RegDeleteKeyW (which refuses keys with
  // sub-keys) removes it whole.
  RegDeleteKeyW(HKEY_CURRENT_USER, AnsiToWide(RelativeRegistryKey(key)).c_str());
}

}  // namespace talvoro::platform::win32
