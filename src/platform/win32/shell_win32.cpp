#include <cstring>

#include "platform/win32/dpi_win32.h"
#include "platform/win32/launch_options.h"
#include "platform/win32/services_win32.h"
#include "platform/win32/taskbar_window.h"
#include "platform/win32/wide_text.h"

namespace talvoro::platform::win32 {

Win32Shell::Win32Shell(HICON small_icon, TaskbarWindow& taskbar)
    : icon_(small_icon), taskbar_(taskbar) {}

bool Win32Shell::Notify(DWORD command, const NotifyIconSpec& desc) {
  NOTIFYICONDATAW data{};
  // The size of the structure tells the shell which version of it we use;
  // the version stays the classic one (no NIM_SETVERSION), so the callback's
  // lParam is the plain mouse message the program expects.
  data.cbSize = sizeof(data);
  data.hWnd = main_;
  data.uID = desc.id;
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = desc.callback_message;
  data.hIcon = icon_;
  const std::wstring tip = FitToField(Utf8ToWide(desc.tip), std::size(data.szTip));
  tip.copy(data.szTip, tip.size());
  return Shell_NotifyIconW(command, &data) != FALSE;
}

bool Win32Shell::AddNotifyIcon(const NotifyIconSpec& desc) {
  // Kept even when the shell refuses the icon: the callback message is
  // recognised as soon as a later attempt succeeds.
  added_ = desc;
  if (Notify(NIM_ADD, desc)) return true;
  // A busy shell (at log-on) may time out and report failure although it
  // did add the icon, and adding an icon that is there fails too: if it can
  // be changed, it is there.
  return Notify(NIM_MODIFY, desc);
}

void Win32Shell::DeleteNotifyIcon(const NotifyIconSpec& desc) {
  Notify(NIM_DELETE, desc);
  added_.reset();
}

void Win32Shell::ShowTaskbarEntry(TaskbarShow how) {
  switch (how) {
    case TaskbarShow::Hide:
      taskbar_.Hide();
      break;
    case TaskbarShow::Show:
    case TaskbarShow::ShowNormal:
      taskbar_.Show();
      break;
    case TaskbarShow::Minimised:
      taskbar_.ShowMinimised();
      break;
  }
}

void Win32Shell::BringMainWindowToForeground() {
  if (main_) SetForegroundWindow(main_);
}

void Win32Shell::RequestTerminate() {
  PostQuitMessage(0);
}

// The core places windows and menus in layout pixels; the screen's are
// converted with the density each monitor has now (dpi_win32.h).
ScreenSize Win32Shell::PrimaryScreenSize() {
  const LogicalArea area = LogicalAreaOf(MonitorArea(PrimaryMonitor()));
  return {area.width, area.height};
}

ScreenSize Win32Shell::ScreenResolution() {
  return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

ScreenRect Win32Shell::ScreenOfForegroundWindow() {
  HMONITOR monitor = PrimaryMonitor();
  const HWND front = GetForegroundWindow();
  // The program's own announcements are never activated on purpose; should
  // one be in front all the same, it tells nothing of where the user looks.
  if (front && !IsOwnAnnouncement(front))
    monitor = MonitorFromWindow(front, MONITOR_DEFAULTTOPRIMARY);
  const LogicalArea area = LogicalAreaOf(MonitorArea(monitor));
  return {area.left, area.top, area.width, area.height};
}

bool Win32Shell::IsOwnAnnouncement(HWND window) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  return process == GetCurrentProcessId() &&
         (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_NOACTIVATE) != 0;
}

void Win32Shell::CursorPosition(int& x, int& y) {
  POINT point{};
  GetCursorPos(&point);
  const ScreenPoint logical = ScreenToLogical(point);
  x = logical.x;
  y = logical.y;
}

bool Win32Shell::CopyText(const std::string& utf8) {
  const std::wstring text = Utf8ToWide(utf8);
  // The clipboard takes a movable global block and owns it once
  // SetClipboardData succeeds; until then it is ours to free.
  const SIZE_T bytes = (text.size() + 1) * sizeof(wchar_t);
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (!block) return false;
  void* memory = GlobalLock(block);
  if (!memory) {
    GlobalFree(block);
    return false;
  }
  std::memcpy(memory, text.c_str(), bytes);
  GlobalUnlock(block);
  // Another program may hold the clipboard open for a moment: try a few times.
  bool opened = false;
  for (int attempt = 0; attempt < 5 && !opened; ++attempt) {
    opened = OpenClipboard(main_) != FALSE;
    if (!opened) Sleep(20);
  }
  if (!opened) {
    GlobalFree(block);
    return false;
  }
  // EmptyClipboard makes the opening window the clipboard's owner; only the
  // Unicode text is put there: Windows derives the ANSI and OEM forms itself.
  EmptyClipboard();
  const bool placed = SetClipboardData(CF_UNICODETEXT, block) != nullptr;
  CloseClipboard();
  if (!placed) GlobalFree(block);
  return placed;
}

TrayEvent Win32Shell::DecodeTrayMessage(LPARAM lparam) {
  // Without NOTIFYICON_VERSION_4 the callback's lParam is the mouse message itself.
  switch (static_cast<UINT>(lparam)) {
    case WM_LBUTTONDOWN:
      return TrayEvent::LeftDown;
    case WM_LBUTTONUP:
      return TrayEvent::LeftUp;
    case WM_LBUTTONDBLCLK:
      return TrayEvent::LeftDoubleClick;
    case WM_RBUTTONDOWN:
      return TrayEvent::RightDown;
    case WM_RBUTTONUP:
      return TrayEvent::RightUp;
    case WM_RBUTTONDBLCLK:
      return TrayEvent::RightDoubleClick;
    default:
      return TrayEvent::Other;
  }
}

}  // namespace talvoro::platform::win32
