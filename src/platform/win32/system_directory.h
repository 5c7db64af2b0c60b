// Files of the Windows system directory, and nothing else by their name.
//
// A program that names a DLL or a program by its bare file name lets Windows
// look for it beside the program and in the current directory first: a file
// planted there would run in its place. The program's folder is writable by
// its user (the installer puts it in the user's profile, the portable zip
// anywhere), so everything that is not a KnownDLL (which Windows always takes
// from the system directory) is named here by its full path in the system
// directory, or loaded with the search limited to it.
#pragma once

#include <string>
#include <string_view>

#include "platform/win32/win32_api.h"

namespace talvoro::platform::win32 {

// Limits the search of every later DLL load of the process (the program's
// own and those the system's DLLs make for themselves) to the system
// directory. Called first thing at start-up.
void KeepDllSearchInSystemDirectory();

// The full path of `file` in the system directory; empty when Windows cannot
// say where that is.
std::wstring SystemDirectoryFile(std::wstring_view file);

// Loads the DLL `name` of the system directory; nullptr when it cannot.
HMODULE LoadSystemLibrary(const wchar_t* name);

// The entry point `name` of `module` (which may be null) as the function
// type `Fn`; false, with `out` null, when there is none. GetProcAddress hands
// back a generic function pointer: going through void(*)() keeps GCC's
// -Wcast-function-type quiet about the real signature.
template <typename Fn>
bool Resolve(HMODULE module, const char* name, Fn& out) {
  out = module ? reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)))
               : nullptr;
  return out != nullptr;
}

// SetWindowTheme of uxtheme.dll, which is no KnownDLL: loaded from the
// system directory at the first call instead of being imported. Without it
// the control keeps its look.
void SetControlTheme(HWND control, const wchar_t* sub_app_name, const wchar_t* sub_id_list);

}  // namespace talvoro::platform::win32
