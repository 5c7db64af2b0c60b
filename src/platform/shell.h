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

enum class TaskbarShow { Hide, Show, ShowNormal };

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

class IShell {
 public:
  virtual ~IShell() = default;
  virtual void AddNotifyIcon(const NotifyIconSpec& desc) = 0;
  virtual void DeleteNotifyIcon(const NotifyIconSpec& desc) = 0;
  // Shows or hides the application's taskbar entry.
  virtual void ShowTaskbarEntry(TaskbarShow how) = 0;
  virtual void BringMainWindowToForeground() = 0;
  // The primary screen's size in layout pixels (pixels of a 96 dpi screen,
  // the unit of the forms' tables): what windows and menus are placed by.
  virtual ScreenSize PrimaryScreenSize() = 0;
  // Its resolution: its size in its own pixels, for display.
  virtual ScreenSize ScreenResolution() { return PrimaryScreenSize(); }
  // Where the mouse cursor is, in layout pixels (popup menus open there).
  virtual void CursorPosition(int& x, int& y) = 0;
  // Ends the message loop; the program ends once the current handler returns.
  virtual void RequestTerminate() = 0;
  // Puts `utf8` on the clipboard as text, in place of what it held; false
  // when the clipboard could not be had (another program holds it open).
  virtual bool CopyText(const std::string& utf8) = 0;
};

}  // namespace talvoro::platform
