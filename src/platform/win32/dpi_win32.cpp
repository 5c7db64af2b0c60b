#include "platform/win32/dpi_win32.h"

namespace talvoro::platform::win32 {
namespace {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using GetDpiForSystemFn = UINT(WINAPI*)();
using AdjustWindowRectExForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);

// user32 is loaded in every GUI program: looking the entry points up once is enough.
struct DpiEntryPoints {
  GetDpiForWindowFn for_window = nullptr;
  GetDpiForSystemFn for_system = nullptr;
  AdjustWindowRectExForDpiFn adjust = nullptr;
  DpiEntryPoints() {
    if (HMODULE user32 = GetModuleHandleW(L"user32.dll")) {
      Find(user32, "GetDpiForWindow", for_window);
      Find(user32, "GetDpiForSystem", for_system);
      Find(user32, "AdjustWindowRectExForDpi", adjust);
    }
  }
  // Through void(*)(): GetProcAddress's generic pointer to the real signature.
  template <typename Fn>
  static void Find(HMODULE module, const char* name, Fn& out) {
    out = reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
  }
};

const DpiEntryPoints& EntryPoints() {
  static const DpiEntryPoints entry_points;
  return entry_points;
}

int ScreenCapsDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : kLogicalDpi;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : kLogicalDpi;
}

}  // namespace

int WindowDpi(HWND window) {
  if (window && EntryPoints().for_window) {
    const UINT dpi = EntryPoints().for_window(window);
    if (dpi > 0) return static_cast<int>(dpi);
  }
  return SystemDpi();
}

int SystemDpi() {
  // The system density does not change while the program runs.
  static const int dpi = [] {
    if (EntryPoints().for_system) {
      const UINT value = EntryPoints().for_system();
      if (value > 0) return static_cast<int>(value);
    }
    return ScreenCapsDpi();
  }();
  return dpi;
}

void AdjustFrameForDpi(RECT* rect, DWORD style, bool menu, DWORD ex_style, int dpi) {
  if (EntryPoints().adjust &&
      EntryPoints().adjust(rect, style, menu, ex_style, static_cast<UINT>(dpi)))
    return;
  AdjustWindowRectEx(rect, style, menu, ex_style);
}

}  // namespace talvoro::platform::win32
