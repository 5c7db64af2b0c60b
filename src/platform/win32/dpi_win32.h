// The screen density of a window and of the system, asked of the newer
// user32 entry points where they exist (Windows 10 1607 and later) and of
// the screen's device context elsewhere, so that the program starts on
// older systems too.
#pragma once

#include "platform/win32/dpi_scale.h"
#include "platform/win32/win32_api.h"

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

namespace talvoro::platform::win32 {

// The density a window is drawn at (dots per inch, 96 = 100 %).
int WindowDpi(HWND window);
// The system's density: the primary monitor's when the program started.
// The default font is read at it.
int SystemDpi();
// AdjustWindowRectEx for a window drawn at `dpi` (its frame and menu bar
// grow with the density).
void AdjustFrameForDpi(RECT* rect, DWORD style, bool menu, DWORD ex_style, int dpi);

// A monitor's density now: what the system says, or what a form was last
// told of it (NoteMonitorDpi) while the system's answer has not changed.
int MonitorDpi(HMONITOR monitor);
// A form was told (WM_DPICHANGED) that `monitor` is now drawn at `dpi`.
void NoteMonitorDpi(HMONITOR monitor, int dpi);
// The primary monitor, and a monitor's pixels with its density now.
HMONITOR PrimaryMonitor();
Monitor MonitorArea(HMONITOR monitor);

// Screen coordinates of the core (logical, see dpi_scale.h) in pixels of
// the screen and back, each with the density its monitor has now: the
// screen's size, window positions, the cursor, where popup menus open.
POINT ScreenToDevice(ScreenPoint logical);
ScreenPoint ScreenToLogical(POINT device);

}  // namespace talvoro::platform::win32
