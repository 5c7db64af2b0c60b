// The desktop shell: the notification-area icon and the application's own
// top-level presence (taskbar entry, foreground, termination).
#pragma once

#include <string>

namespace talvoro::platform {

struct NotifyIconSpec {
  unsigned id = 1;
  unsigned callback_message = 0x0400 + 100;  // WM_USER + 100
  std::string tip;                           // UTF-8
};

// Show and ShowNormal show the entry as it was (restored if it was
// minimised). Minimised keeps it on the taskbar, minimised, while the window
// is reduced but the notification icon is missing: the entry is then the
// way back, and its restoration (a click on it) is reported to the
// application (`Application::OnTaskbarEntryRestored`).
enum class TaskbarShow { Hide, Show, ShowNormal, Minimised };

// What the mouse did on the notification icon, decoded by the platform.
enum class TrayEvent {
  LeftDown,
  LeftUp,
  LeftDoubleClick,
  RightDown,
  RightUp,
  RightDoubleClick,
  Other,
};

struct ScreenSize {
  int width = 0;
  int height = 0;
};

// A monitor on the screen: its top-left corner and its size, in the core's
// screen coordinates (see PrimaryScreenSize). The primary monitor's corner
// is (0, 0); one left of or above it has a negative corner.
struct ScreenRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

class IShell {
 public:
  virtual ~IShell() = default;
  // True once the icon is in the notification area. At log-on the shell may
  // not be ready yet and refuse it: the caller tries again later.
  virtual bool AddNotifyIcon(const NotifyIconSpec& desc) = 0;
  virtual void DeleteNotifyIcon(const NotifyIconSpec& desc) = 0;
  // Shows or hides the application's taskbar entry.
  virtual void ShowTaskbarEntry(TaskbarShow how) = 0;
  virtual void BringMainWindowToForeground() = 0;
  // The primary screen's size in layout pixels (pixels of a 96 dpi screen,
  // the unit of the forms' tables) at the density it has now: what windows
  // and menus are placed by.
  virtual ScreenSize PrimaryScreenSize() = 0;
  // Its resolution: its size in its own pixels, for display.
  virtual ScreenSize ScreenResolution() { return PrimaryScreenSize(); }
  // The monitor that holds the window in front (the one the user watches),
  // in layout pixels at its density now; the primary screen when no window
  // is in front or the one in front is the program's own on-screen display.
  virtual ScreenRect ScreenOfForegroundWindow() {
    const ScreenSize primary = PrimaryScreenSize();
    return {0, 0, primary.width, primary.height};
  }
  // Where the mouse cursor is, in layout pixels (popup menus open there).
  virtual void CursorPosition(int& x, int& y) = 0;
  // Ends the message loop; the program ends once the current handler returns.
  virtual void RequestTerminate() = 0;
  // Puts `utf8` on the clipboard as text, in place of what it held; false
  // when the clipboard could not be had (another program holds it open).
  virtual bool CopyText(const std::string& utf8) = 0;
};

}  // namespace talvoro::platform
