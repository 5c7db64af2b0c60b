// keyrecorder.exe: records every key event that reaches a low-level keyboard
// hook, for the end-to-end tests, in a process of its own.
//
//   keyrecorder.exe EVENTS_FILE STOP_EVENT_NAME [--window TITLE]
//
// Installs a WH_KEYBOARD_LL hook on a thread that does nothing but pump
// messages (Windows and Wine call the hook from the installing thread's
// message loop), writes "ready" to EVENTS_FILE once the hook is in place,
// then appends one line per key event:
//
//   key VK down|up injected|physical FLAGS MESSAGE TIME EXTRA
//
// (VK, FLAGS, MESSAGE, TIME and EXTRA in hexadecimal: the virtual key, the
// hook's KBDLLHOOKSTRUCT flags, the keyboard message, the event's time stamp
// in milliseconds, the system's tick count when the event was made, and the
// extra information its sender gave it). It stops when the named
// event STOP_EVENT_NAME is set, writes "stopped" and exits with 0; it exits
// with 2 on a bad command line or when the hook cannot be installed.
//
// With --window, it also shows a top-level window titled TITLE and puts it in
// the foreground before it says "ready": a stand-in for the application in
// front, which is where injected keys go. The window records what reaches it
//
//   message MESSAGE VK       (a keyboard message: WM_KEYDOWN ... WM_SYSKEYUP)
//   close                    (a request to close it: WM_CLOSE)
//
// and never closes: only the stop event ends the recorder. The window lives on
// the main thread, apart from the hook's: under Wine a hook whose thread also
// runs the window in front misses keys that reach that window (the Tab of
// Alt+Tab, seen with Wine 8).
//
// Each line goes to the file with one WriteFile call as soon as it is known,
// so a test may read the file while the recorder runs.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

HANDLE g_file = INVALID_HANDLE_VALUE;
// Both threads write lines: one at a time, each whole.
CRITICAL_SECTION g_file_lock;

void WriteLine(const char* text) {
  std::string line = text;
  line += "\r\n";
  DWORD written = 0;
  EnterCriticalSection(&g_file_lock);
  WriteFile(g_file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  LeaveCriticalSection(&g_file_lock);
}

LRESULT CALLBACK HookProc(int code, WPARAM wparam, LPARAM lparam) {
  if (code == HC_ACTION) {
    const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lparam);
    char line[160];
    std::snprintf(
        line, sizeof line, "key %02lX %s %s %02lX %04X %08lX %llX",
        static_cast<unsigned long>(key->vkCode), (key->flags & LLKHF_UP) != 0 ? "up" : "down",
        (key->flags & LLKHF_INJECTED) != 0 ? "injected" : "physical",
        static_cast<unsigned long>(key->flags), static_cast<unsigned>(wparam),
        static_cast<unsigned long>(key->time), static_cast<unsigned long long>(key->dwExtraInfo));
    WriteLine(line);
  }
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP: {
      char line[64];
      std::snprintf(line, sizeof line, "message %04X %02X", message,
                    static_cast<unsigned>(wparam & 0xFF));
      WriteLine(line);
      break;  // on to DefWindowProc, as any window would
    }
    case WM_CLOSE:
      WriteLine("close");
      return 0;  // stays open
    default:
      break;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

HWND ShowForegroundWindow(const wchar_t* title) {
  WNDCLASSW window_class{};
  window_class.lpfnWndProc = WindowProc;
  window_class.hInstance = GetModuleHandleW(nullptr);
  window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  window_class.lpszClassName = L"TalvoroKeyRecorderWindow";
  if (!RegisterClassW(&window_class)) return nullptr;
  HWND window = CreateWindowExW(0, window_class.lpszClassName, title, WS_OVERLAPPEDWINDOW, 40, 40,
                                320, 160, nullptr, nullptr, window_class.hInstance, nullptr);
  if (!window) return nullptr;
  ShowWindow(window, SW_SHOWNORMAL);
  UpdateWindow(window);
  SetForegroundWindow(window);
  SetFocus(window);
  return window;
}

struct HookThread {
  HANDLE hooked = nullptr;  // set once the hook is installed, or failed
  bool installed = false;
};

// The hook's thread: installs the hook and pumps messages until WM_QUIT.
DWORD WINAPI RunHook(void* param) {
  auto* hook_thread = static_cast<HookThread*>(param);
  MSG message;
  // This thread's message queue exists before anyone posts WM_QUIT to it.
  PeekMessageW(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
  HHOOK hook = SetWindowsHookExW(WH_KEYBOARD_LL, HookProc, GetModuleHandleW(nullptr), 0);
  hook_thread->installed = hook != nullptr;
  SetEvent(hook_thread->hooked);
  if (!hook) return 1;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  UnhookWindowsHookEx(hook);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const bool with_window = argc == 5 && std::wcscmp(argv[3], L"--window") == 0;
  if (argc != 3 && !with_window) {
    std::fprintf(stderr, "usage: keyrecorder EVENTS_FILE STOP_EVENT_NAME [--window TITLE]\n");
    return 2;
  }
  HANDLE stop = CreateEventW(nullptr, TRUE, FALSE, argv[2]);
  if (!stop) return 2;
  g_file =
      CreateFileW(argv[1], GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (g_file == INVALID_HANDLE_VALUE) return 2;

  InitializeCriticalSection(&g_file_lock);

  HookThread hook_thread;
  hook_thread.hooked = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  DWORD hook_thread_id = 0;
  HANDLE hook = CreateThread(nullptr, 0, RunHook, &hook_thread, 0, &hook_thread_id);
  if (!hook) return 2;
  WaitForSingleObject(hook_thread.hooked, INFINITE);
  if (!hook_thread.installed) {
    WriteLine("no hook");
    CloseHandle(g_file);
    return 2;
  }
  HWND window = with_window ? ShowForegroundWindow(argv[4]) : nullptr;
  if (with_window && !window) {
    WriteLine("no window");
    CloseHandle(g_file);
    return 2;
  }
  WriteLine("ready");

  MSG message;
  for (;;) {
    // Wakes for the stop event and for the window's messages.
    DWORD woken = MsgWaitForMultipleObjects(1, &stop, FALSE, INFINITE, QS_ALLINPUT);
    if (woken == WAIT_OBJECT_0) break;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  if (window) DestroyWindow(window);
  PostThreadMessageW(hook_thread_id, WM_QUIT, 0, 0);
  WaitForSingleObject(hook, INFINITE);
  CloseHandle(hook);
  WriteLine("stopped");
  CloseHandle(g_file);
  CloseHandle(stop);
  return 0;
}
