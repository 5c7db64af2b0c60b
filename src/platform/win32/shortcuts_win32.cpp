#include "platform/win32/shortcuts_win32.h"

#include "platform/win32/wide_text.h"
#include "platform/win32/win32_api.h"

// After the program's own Windows header, which settles the macros.
#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>
#include <shobjidl.h>

namespace talvoro::platform::win32 {
namespace {

// The shell's link object, {00021401-0000-0000-C000-000000000046}.
constexpr CLSID kShellLinkClass = {
    0x00021401, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
// The user's StartUp folder (FOLDERID_Startup), {B97D20BB-F46A-4C97-BA10-5E3608430854}.
constexpr KNOWNFOLDERID kStartupFolder = {
    0xB97D20BB, 0xF46A, 0x4C97, {0xBA, 0x10, 0x5E, 0x36, 0x08, 0x43, 0x08, 0x54}};

// Releases a COM interface when it goes.
template <typename T>
class Held {
 public:
  Held() = default;
  Held(const Held&) = delete;
  Held& operator=(const Held&) = delete;
  ~Held() {
    if (p_) p_->Release();
  }
  T* operator->() const { return p_; }
  void** Put() { return reinterpret_cast<void**>(&p_); }

 private:
  T* p_ = nullptr;
};

// A folder in the program's encoding: as it is when Windows-1252 holds it,
// else its short (8.3) form when that one fits.
std::optional<std::string> AnsiFolder(const std::wstring& folder) {
  bool lossy = false;
  std::string bytes = WideToAnsi(folder, &lossy);
  if (!lossy) return bytes;
  const DWORD needed = GetShortPathNameW(folder.c_str(), nullptr, 0);
  if (needed == 0) return std::nullopt;
  std::wstring short_form(needed, L'\0');
  const DWORD length = GetShortPathNameW(folder.c_str(), short_form.data(), needed);
  if (length == 0 || length >= needed) return std::nullopt;
  short_form.resize(length);
  bytes = WideToAnsi(short_form, &lossy);
  if (lossy) return std::nullopt;
  return bytes;
}

}  // namespace

std::optional<std::string> Win32Shortcuts::KnownStartupFolder() {
  PWSTR path = nullptr;
  const HRESULT result = SHGetKnownFolderPath(kStartupFolder, 0, nullptr, &path);
  std::wstring folder;
  if (SUCCEEDED(result) && path) folder = path;
  // Freed whether the call succeeded or not.
  CoTaskMemFree(path);
  if (folder.empty()) return std::nullopt;
  return AnsiFolder(folder);
}

bool Win32Shortcuts::CreateShortcut(const std::string& link, const std::string& target) {
  Held<IShellLinkW> shell_link;
  if (FAILED(CoCreateInstance(kShellLinkClass, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IShellLinkW),
                              shell_link.Put())))
    return false;
  // No description, working folder, arguments, hot key or icon: only the
  // program, shown normally.
  if (FAILED(shell_link->SetDescription(L"")) ||
      FAILED(shell_link->SetPath(AnsiToWide(target).c_str())) ||
      FAILED(shell_link->SetShowCmd(SW_SHOW)))
    return false;
  Held<IPersistFile> file;
  if (FAILED(shell_link->QueryInterface(__uuidof(IPersistFile), file.Put()))) return false;
  const std::wstring link_path = AnsiToWide(link);
  if (FAILED(file->Save(link_path.c_str(), TRUE))) return false;
  return GetFileAttributesW(link_path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace talvoro::platform::win32
