// The window that carries the program's taskbar entry.
//
// The program hides and shows its taskbar entry on its own: with the main
// window when it is reduced to the notification area and restored, but also
// alone, when a second launch hands over to this copy and the entry must
// reappear even though the main window stays hidden. A window's own taskbar
// button cannot outlive its visibility, so the entry belongs to this separate,
// zero-size top-level window instead; every form is owned by it, which keeps
// the forms themselves off the taskbar. Activating the entry (a click on the
// taskbar button, Alt+Tab) passes the activation on to the main window when
// that is shown. While the main window is reduced without its notification
// icon, the entry stays minimised, and restoring it is reported.
#pragma once

#include <functional>

#include "platform/win32/win32_api.h"

namespace talvoro::platform::win32 {

class TaskbarWindow {
 public:
  TaskbarWindow(HINSTANCE instance, HICON big_icon, HICON small_icon);
  ~TaskbarWindow();
  TaskbarWindow(const TaskbarWindow&) = delete;
  TaskbarWindow& operator=(const TaskbarWindow&) = delete;

  HWND hwnd() const { return hwnd_; }
  void SetMainWindow(HWND main) { main_ = main; }
  // Called when the user restores the minimised entry while the main window
  // is hidden (a click on the entry, "Restore" in its window menu).
  void SetRestoreHandler(std::function<void()> handler) { on_restore_ = std::move(handler); }

  // Shows the entry, restored if it was minimised.
  void Show();
  void ShowMinimised();
  void Hide();

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam);
  void ActivateMainWindow();
  LRESULT OnSysCommand(WPARAM wparam, LPARAM lparam);

  HWND hwnd_ = nullptr;
  HWND main_ = nullptr;
  std::function<void()> on_restore_;
};

}  // namespace talvoro::platform::win32
