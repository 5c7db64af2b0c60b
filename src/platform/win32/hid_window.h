// The hidden window through which device changes reach the main thread.
#pragma once

#include "platform/win32/win32_api.h"

#include <atomic>
#include <functional>

namespace talvoro::platform::win32 {

// A hidden top-level window that calls `on_change` on its own thread for
// every WM_DEVICECHANGE with wParam DBT_DEVNODES_CHANGED, whether broadcast
// by the system or posted through Post().
class DeviceChangeWindow {
 public:
  explicit DeviceChangeWindow(std::function<void()> on_change);
  ~DeviceChangeWindow();

  DeviceChangeWindow(const DeviceChangeWindow&) = delete;
  DeviceChangeWindow& operator=(const DeviceChangeWindow&) = delete;

  // On the thread whose message loop is to run `on_change` (the main thread).
  bool Create();
  bool Created() const { return hwnd_.load() != nullptr; }

  // Any thread: queues one WM_DEVICECHANGE(DBT_DEVNODES_CHANGED, lparam).
  // Does nothing before Create().
  void Post(LPARAM lparam = 0);

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

  std::function<void()> on_change_;
  std::atomic<HWND> hwnd_{nullptr};
};

}  // namespace talvoro::platform::win32
