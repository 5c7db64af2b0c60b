// A hidden, message-only window of the main thread: the target of timers,
// wake-ups posted by the receiver's thread, and the single-instance hand-over.
#pragma once

#include <functional>

#include "platform/win32/win32_api.h"

namespace talvoro::platform::win32 {

class MessageWindow {
 public:
  // Returns true when it handled the message (and set `result`).
  using Handler = std::function<bool(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result)>;

  MessageWindow(HINSTANCE instance, Handler handler);
  ~MessageWindow();
  MessageWindow(const MessageWindow&) = delete;
  MessageWindow& operator=(const MessageWindow&) = delete;

  HWND hwnd() const { return hwnd_; }

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

  Handler handler_;
  HWND hwnd_ = nullptr;
};

}  // namespace talvoro::platform::win32
