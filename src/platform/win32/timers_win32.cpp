#include "platform/win32/error_box.h"
#include "platform/win32/services_win32.h"

namespace talvoro::platform::win32 {

Win32Timers::Win32Timers(HINSTANCE instance)
    : window_(instance,
              [this](UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) {
                return OnMessage(message, wparam, lparam, result);
              }),
      table_(
          [this](int id, unsigned interval) {
            SetTimer(window_.hwnd(), static_cast<UINT_PTR>(id), interval, nullptr);
          },
          [this](int id) { KillTimer(window_.hwnd(), static_cast<UINT_PTR>(id)); }) {}

Win32Timers::~Win32Timers() {
  table_.StopAll();
}

TimerId Win32Timers::CreateTimer(int interval_ms, std::function<void()> tick) {
  return table_.Create(interval_ms, std::move(tick));
}

void Win32Timers::EnableTimer(TimerId id, bool enabled) {
  table_.Enable(id, enabled);
}

bool Win32Timers::TimerEnabled(TimerId id) const {
  return table_.Enabled(id);
}

bool Win32Timers::OnMessage(UINT message, WPARAM wparam, LPARAM, LRESULT& result) {
  if (message != WM_TIMER) return false;
  result = 0;
  try {
    table_.Tick(static_cast<int>(wparam));
  } catch (...) {
    ReportEscapedException();
  }
  return true;
}

}  // namespace talvoro::platform::win32
