#include "platform/win32/message_window.h"

#include "platform/win32/error_box.h"

namespace talvoro::platform::win32 {
namespace {

constexpr wchar_t kClassName[] = L"TalvoroMessageWindow";

void RegisterClassOnce(HINSTANCE instance, WNDPROC proc) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  if (GetClassInfoExW(instance, kClassName, &wc)) return;
  wc.lpfnWndProc = proc;
  wc.hInstance = instance;
  wc.lpszClassName = kClassName;
  RegisterClassExW(&wc);
}

}  // namespace

MessageWindow::MessageWindow(HINSTANCE instance, Handler handler) : handler_(std::move(handler)) {
  RegisterClassOnce(instance, &MessageWindow::WindowProc);
  // HWND_MESSAGE: never shown, never enumerated, not reached by broadcasts,
  // but it receives posted, sent and timer messages like any other window.
  hwnd_ = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, this);
}

MessageWindow::~MessageWindow() {
  if (hwnd_) {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
}

LRESULT CALLBACK MessageWindow::WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<MessageWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (self && self->handler_) {
    try {
      LRESULT result = 0;
      if (self->handler_(message, wparam, lparam, result)) return result;
    } catch (...) {
      ReportEscapedException();
      return 0;
    }
  }
  return DefWindowProcW(hwnd, message, wparam, lparam);
}

}  // namespace talvoro::platform::win32
