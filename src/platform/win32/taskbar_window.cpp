#include "platform/win32/taskbar_window.h"

#include "platform/win32/error_box.h"

namespace talvoro::platform::win32 {
namespace {

constexpr wchar_t kClassName[] = L"TalvoroTaskbarEntry";
constexpr UINT kActivateMain = WM_APP + 1;

}  // namespace

TaskbarWindow::TaskbarWindow(HINSTANCE instance, HICON big_icon, HICON small_icon) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = &TaskbarWindow::WindowProc;
  wc.hInstance = instance;
  wc.hIcon = big_icon;
  wc.hIconSm = small_icon;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = kClassName;
  RegisterClassExW(&wc);
  // A caption and a system menu give the entry its title, icon and window
  // menu in the taskbar; the zero size keeps the window itself out of sight.
  const int x = GetSystemMetrics(SM_CXSCREEN) / 2;
  const int y = GetSystemMetrics(SM_CYSCREEN) / 2;
  hwnd_ = CreateWindowExW(0, kClassName, kApplicationTitle,
                          WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPSIBLINGS, x,
                          y, 0, 0, nullptr, nullptr, instance, this);
}

TaskbarWindow::~TaskbarWindow() {
  if (hwnd_) {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
}

void TaskbarWindow::Show() {
  // SW_SHOWNA: the entry appears without the invisible window taking the
  // activation away from the main window that was shown just before. A
  // minimised entry is restored, likewise without activation: SW_SHOWNA
  // would show it minimised.
  if (IsIconic(hwnd_))
    ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
  else
    ShowWindow(hwnd_, SW_SHOWNA);
}

void TaskbarWindow::ShowMinimised() {
  // Without activation: the window that was active stays so.
  ShowWindow(hwnd_, SW_SHOWMINNOACTIVE);
}

void TaskbarWindow::Hide() {
  ShowWindow(hwnd_, SW_HIDE);
}

void TaskbarWindow::ActivateMainWindow() {
  // Nothing to pass the activation to while the main window is reduced to
  // the notification area. Otherwise the main window, or the box it is
  // waiting for when a modal box is up.
  if (!main_ || !IsWindowVisible(main_)) return;
  SetForegroundWindow(GetLastActivePopup(main_));
}

LRESULT TaskbarWindow::OnSysCommand(WPARAM wparam, LPARAM lparam) {
  // The low four bits of the command are used by the system.
  const bool restoring = (wparam & 0xFFF0) == SC_RESTORE && IsIconic(hwnd_);
  // The taskbar asks a minimised window to restore itself with this command
  // (a click on its button). Restoring the entry does not show the main
  // window, which was hidden, not minimised with its owner: the handler does.
  const LRESULT result = DefWindowProcW(hwnd_, WM_SYSCOMMAND, wparam, lparam);
  if (restoring && on_restore_ && main_ && !IsWindowVisible(main_)) on_restore_();
  return result;
}

LRESULT TaskbarWindow::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_GETMINMAXINFO: {
      // The default minimum tracking size would grow the zero-size window
      // into a visible caption bar in the middle of the screen.
      auto* info = reinterpret_cast<MINMAXINFO*>(lparam);
      info->ptMinTrackSize.x = 0;
      info->ptMinTrackSize.y = 0;
      return 0;
    }
    case WM_ACTIVATE:
      // Switching windows from inside WM_ACTIVATE confuses the activation
      // that is still in progress: do it once this message is done.
      if (LOWORD(wparam) != WA_INACTIVE && !HIWORD(wparam))
        PostMessageW(hwnd_, kActivateMain, 0, 0);
      return 0;
    case WM_SYSCOMMAND:
      return OnSysCommand(wparam, lparam);
    case kActivateMain:
      if (GetActiveWindow() == hwnd_) ActivateMainWindow();
      return 0;
    case WM_CLOSE:
      // "Close window" on the taskbar entry closes the program like the main
      // window's close box.
      if (main_) PostMessageW(main_, WM_CLOSE, 0, 0);
      return 0;
    default:
      return DefWindowProcW(hwnd_, message, wparam, lparam);
  }
}

LRESULT CALLBACK TaskbarWindow::WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
    auto* self = static_cast<TaskbarWindow*>(create->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<TaskbarWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, message, wparam, lparam);
  try {
    return self->Handle(message, wparam, lparam);
  } catch (...) {
    ReportEscapedException();
    return 0;
  }
}

}  // namespace talvoro::platform::win32
