#include "platform/win32/system_directory.h"

namespace talvoro::platform::win32 {
void KeepDllSearchInSystemDirectory() {
  // SetDefaultDllDirectories came with Windows 8 (and an update of Windows
  // 7): looked up, not imported, so that the program still starts without
  // it. There, an empty DLL directory at least takes the current directory
  // out of the search.
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  SetDefaultDllDirectoriesFn set_default = nullptr;
  if (!Resolve(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories", set_default) ||
      !set_default(LOAD_LIBRARY_SEARCH_SYSTEM32))
    SetDllDirectoryW(L"");
}

std::wstring SystemDirectoryFile(std::wstring_view file) {
  // The first call tells the size with its terminating zero, the second the
  // length without it.
  const UINT size = GetSystemDirectoryW(nullptr, 0);
  if (size == 0) return {};
  std::wstring path(size, L'\0');
  const UINT length = GetSystemDirectoryW(path.data(), size);
  if (length == 0 || length >= size) return {};
  path.resize(length);
  if (path.back() != L'\\') path += L'\\';
  path += file;
  return path;
}

HMODULE LoadSystemLibrary(const wchar_t* name) {
  HMODULE module = LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  // Loaders that predate LOAD_LIBRARY_SEARCH_SYSTEM32 reject the flag: the
  // full path names the same file for them.
  if (!module && GetLastError() == ERROR_INVALID_PARAMETER) {
    const std::wstring path = SystemDirectoryFile(name);
    if (!path.empty()) module = LoadLibraryW(path.c_str());
  }
  return module;
}

void SetControlTheme(HWND control, const wchar_t* sub_app_name, const wchar_t* sub_id_list) {
  using SetWindowThemeFn = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
  // Loaded once and kept for the life of the program.
  static const SetWindowThemeFn set_window_theme = [] {
    SetWindowThemeFn found = nullptr;
    Resolve(LoadSystemLibrary(L"uxtheme.dll"), "SetWindowTheme", found);
    return found;
  }();
  if (set_window_theme) set_window_theme(control, sub_app_name, sub_id_list);
}

}  // namespace talvoro::platform::win32
