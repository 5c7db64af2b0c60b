#include "platform/win32/dpi_win32.h"

#include <vector>

#include "platform/win32/system_directory.h"

namespace talvoro::platform::win32 {
namespace {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using GetDpiForSystemFn = UINT(WINAPI*)();
using AdjustWindowRectExForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
// shcore's GetDpiForMonitor (Windows 8.1 and later); 0 asks for the
// effective density, the one windows on the monitor are drawn at.
using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
constexpr int kEffectiveDpi = 0;

// user32 is loaded in every GUI program: looking the entry points up once is enough.
struct DpiEntryPoints {
  GetDpiForWindowFn for_window = nullptr;
  GetDpiForSystemFn for_system = nullptr;
  AdjustWindowRectExForDpiFn adjust = nullptr;
  GetDpiForMonitorFn for_monitor = nullptr;
  DpiEntryPoints() {
    if (HMODULE user32 = GetModuleHandleW(L"user32.dll")) {
      Resolve(user32, "GetDpiForWindow", for_window);
      Resolve(user32, "GetDpiForSystem", for_system);
      Resolve(user32, "AdjustWindowRectExForDpi", adjust);
    }
    // Not loaded by every program: from the system folder only. Kept loaded
    // until the end.
    Resolve(LoadSystemLibrary(L"shcore.dll"), "GetDpiForMonitor", for_monitor);
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

// What the system says of a monitor's density; the system's when it cannot
// say (before Windows 8.1 every monitor has that one).
int SystemMonitorDpi(HMONITOR monitor) {
  UINT x = 0;
  UINT y = 0;
  if (monitor && EntryPoints().for_monitor &&
      SUCCEEDED(EntryPoints().for_monitor(monitor, kEffectiveDpi, &x, &y)) && x > 0)
    return static_cast<int>(x);
  return SystemDpi();
}

// A density a form was told of for a monitor, and what the system said of
// that monitor then.
struct NotedDpi {
  HMONITOR monitor = nullptr;
  int system_dpi = 0;
  int dpi = 0;
};

// Main thread only, as every window.
std::vector<NotedDpi>& Noted() {
  static std::vector<NotedDpi> noted;
  return noted;
}

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
  reinterpret_cast<std::vector<Monitor>*>(list)->push_back(MonitorArea(monitor));
  return TRUE;
}

BOOL CALLBACK FindPrimary(HMONITOR monitor, HDC, LPRECT, LPARAM found) {
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  if (!GetMonitorInfoW(monitor, &info) || !(info.dwFlags & MONITORINFOF_PRIMARY)) return TRUE;
  *reinterpret_cast<HMONITOR*>(found) = monitor;
  return FALSE;
}

std::vector<Monitor> AllMonitors() {
  std::vector<Monitor> monitors;
  EnumDisplayMonitors(nullptr, nullptr, &AddMonitor, reinterpret_cast<LPARAM>(&monitors));
  if (monitors.empty()) monitors.push_back(MonitorArea(PrimaryMonitor()));
  return monitors;
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

// A density change comes as WM_DPICHANGED to the windows on the monitor,
// and the system's own answer for the monitor says the same by then. Where
// it does not (Wine keeps every monitor at the density it read at start,
// whatever its windows are told), the message is believed until the
// system's answer changes: the forms and the screen coordinates then agree
// on one density.
int MonitorDpi(HMONITOR monitor) {
  const int system_dpi = SystemMonitorDpi(monitor);
  for (const NotedDpi& noted : Noted())
    if (noted.monitor == monitor && noted.system_dpi == system_dpi) return noted.dpi;
  return system_dpi;
}

void NoteMonitorDpi(HMONITOR monitor, int dpi) {
  if (!monitor || dpi <= 0) return;
  std::vector<NotedDpi>& noted = Noted();
  std::erase_if(noted, [monitor](const NotedDpi& n) { return n.monitor == monitor; });
  noted.push_back({monitor, SystemMonitorDpi(monitor), dpi});
}

HMONITOR PrimaryMonitor() {
  // Asked by its flag rather than by the screen's origin, which monitors
  // laid over one another (Xvfb's screens under Wine) may share.
  HMONITOR primary = nullptr;
  EnumDisplayMonitors(nullptr, nullptr, &FindPrimary, reinterpret_cast<LPARAM>(&primary));
  return primary ? primary : MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
}

Monitor MonitorArea(HMONITOR monitor) {
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  if (!monitor || !GetMonitorInfoW(monitor, &info)) {
    // No monitor known: the primary screen's size, as the system metrics say.
    return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), SystemDpi()};
  }
  // The whole monitor, task bar included: the places are worked out on the
  // screen's size.
  const RECT& r = info.rcMonitor;
  return {r.left, r.top, r.right, r.bottom, MonitorDpi(monitor)};
}

POINT ScreenToDevice(ScreenPoint logical) {
  const std::vector<Monitor> monitors = AllMonitors();
  const ScreenPoint device =
      ToDeviceOn(monitors[MonitorOfLogicalPoint(monitors, logical)], logical);
  return POINT{device.x, device.y};
}

ScreenPoint ScreenToLogical(POINT device) {
  return ToLogicalOn(MonitorArea(MonitorFromPoint(device, MONITOR_DEFAULTTONEAREST)),
                     ScreenPoint{device.x, device.y});
}

}  // namespace talvoro::platform::win32
