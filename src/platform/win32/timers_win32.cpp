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
          [this](int id) { KillTimer(window_.hwnd(), static_cast<UINT_PTR>(id)); },
          // Inside the tick's guard: see TimerTable::Tick.
          [] { ReportEscapedException(); }) {}

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

void Win32Timers::SetTimerInterval(TimerId id, int interval_ms) {
  // SetTimer with the id of a running timer of the same window replaces it
  // and starts the new period from now, so no KillTimer comes first. A
  // WM_TIMER of the old period already in the queue may still arrive: the
  // tick it runs is one more, which every timer of the program allows.
  table_.SetInterval(id, interval_ms);
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
