#include "platform/win32/hid_window.h"

#include <dbt.h>

namespace talvoro::platform::win32 {

namespace {

constexpr wchar_t kClassName[] = L"TalvoroIRDeviceChange";

bool RegisterWindowClass(WNDPROC proc) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = kClassName;
  if (RegisterClassExW(&wc)) return true;
  return GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

DeviceChangeWindow::DeviceChangeWindow(std::function<void()> on_change)
    : on_change_(std::move(on_change)) {}

DeviceChangeWindow::~DeviceChangeWindow() {
  HWND hwnd = hwnd_.exchange(nullptr);
  if (!hwnd) return;
  // Detach first: should DestroyWindow fail (wrong thread), a late message
  // must not reach a destroyed object.
  SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
  DestroyWindow(hwnd);
}

bool DeviceChangeWindow::Create() {
  if (hwnd_.load()) return true;
  if (!RegisterWindowClass(&DeviceChangeWindow::Proc)) return false;
  // Deliberately a top-level window and not a message-only one (HWND_MESSAGE
  // parent): WM_DEVICECHANGE with DBT_DEVNODES_CHANGED is broadcast to
  // top-level windows only, and message-only windows never get broadcasts.
  // WS_POPUP without WS_VISIBLE keeps it off the screen and the taskbar; no
  // RegisterDeviceNotification is needed for the DEVNODES_CHANGED broadcast.
  HWND hwnd = CreateWindowExW(WS_EX_TOOLWINDOW, kClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                              nullptr, GetModuleHandleW(nullptr), this);
  if (!hwnd) return false;
  hwnd_.store(hwnd);
  return true;
}

void DeviceChangeWindow::Post(LPARAM lparam) {
  if (HWND hwnd = hwnd_.load()) {
    PostMessageW(hwnd, WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, lparam);
  }
}

LRESULT CALLBACK DeviceChangeWindow::Proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  } else if (message == WM_DEVICECHANGE && wparam == DBT_DEVNODES_CHANGED) {
    auto* self = reinterpret_cast<DeviceChangeWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self && self->on_change_) {
      // An exception must not unwind through user32's frames (undefined on
      // x64 Windows); a failed rescan simply waits for the next change.
      try {
        self->on_change_();
      } catch (...) {
      }
    }
  }
  // Always passed on: DefWindowProc answers the query broadcasts
  // (DBT_QUERYREMOVE...) with TRUE, i.e. "no objection".
  return DefWindowProcW(hwnd, message, wparam, lparam);
}

}  // namespace talvoro::platform::win32
