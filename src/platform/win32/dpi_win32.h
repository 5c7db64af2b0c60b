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
// Screen coordinates that the core works with (window positions on the
// screen, the screen's size, the cursor, where popup menus open) are
// converted with it.
int SystemDpi();
// AdjustWindowRectEx for a window drawn at `dpi` (its frame and menu bar
// grow with the density).
void AdjustFrameForDpi(RECT* rect, DWORD style, bool menu, DWORD ex_style, int dpi);

// A screen coordinate or length of the core (logical) in screen pixels, and back.
inline int ScreenToDevice(int logical) {
  return ToDevice(logical, SystemDpi());
}
inline int ScreenToLogical(int device) {
  return ToLogical(device, SystemDpi());
}

}  // namespace talvoro::platform::win32
