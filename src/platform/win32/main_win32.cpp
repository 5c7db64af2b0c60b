// Program entry: the platform services, the application, its windows
// and the message loop.
#include <exception>
#include <memory>
#include <vector>

#include "app/application.h"
#include "platform/endpoint_mixer.h"
#include "platform/win32/audio_win32.h"
#include "platform/win32/error_box.h"
#include "platform/win32/form_window.h"
#include "platform/win32/hid_win32.h"
#include "platform/win32/launch_options.h"
#include "platform/win32/message_window.h"
#include "platform/win32/services_win32.h"
#include "platform/win32/shortcuts_win32.h"
#include "platform/win32/taskbar_window.h"
#include "platform/win32/ui_resources.h"

#include <objbase.h>

namespace talvoro::platform::win32 {
namespace {

// Posted by the receiver's thread: run the jobs it queued for the main thread.
constexpr UINT kRunPendingJobs = WM_APP + 20;

std::vector<std::wstring> Arguments() {
  std::vector<std::wstring> arguments;
  int count = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!argv) return arguments;
  for (int i = 0; i < count; ++i) arguments.emplace_back(argv[i]);
  LocalFree(argv);
  return arguments;
}

template <typename Fn>
void Guarded(Fn&& fn) {
  try {
    fn();
  } catch (...) {
    ReportEscapedException();
  }
}

int RunMessageLoop() {
  MSG message{};
  // GetMessage returns -1 on an error (an invalid window handle): that must
  // end the loop too, not spin on it.
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    // Tab, the arrow keys and mnemonics move between a form's controls as in
    // a dialog box. Only keyboard messages need the look-up: asking for the
    // active window can cost Wine a request to its server, and the tick alone
    // brings ten messages a second while the program sits idle.
    const bool keyboard = message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST;
    const HWND active = keyboard ? GetActiveWindow() : nullptr;
    if (keyboard && FormWindow::PreTranslateKey(message)) continue;
    if (active && FormWindow::FromHwnd(active) && IsDialogMessageW(active, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return message.message == WM_QUIT ? static_cast<int>(message.wParam) : 0;
}

// The main window's own messages: the notification icon's callback, and the
// taskbar's rebirth after Explorer restarted (it forgets every icon: ours
// must be added again).
void SetUpMainWindow(FormWindow& main_window, app::Application& application, Win32Shell& shell) {
  const UINT taskbar_created = RegisterWindowMessageW(L"TaskbarCreated");
  main_window.SetMessageHook([&application, &shell, taskbar_created](
                                 UINT message, WPARAM, LPARAM lparam, LRESULT& result) {
    if (shell.IsNotifyCallback(message)) {
      application.OnNotifyIcon(Win32Shell::DecodeTrayMessage(lparam));
      result = 0;
      return true;
    }
    if (taskbar_created != 0 && message == taskbar_created) {
      shell.RestoreNotifyIcon();
      result = 0;
      return true;
    }
    return false;
  });
}

int Run(HINSTANCE instance) {
  const bool simulate = HasSimulateSwitch(Arguments());
  UiResources resources(instance);
  TaskbarWindow taskbar(instance, resources.big_icon(), resources.small_icon());

  Win32FileSystem files;
  Win32Clock clock;
  Win32Timers timers(instance);
  Win32Dialogs dialogs;
  Win32Keyboard keyboard;
  Win32Shell shell(resources.small_icon(), taskbar);
  Win32Registry registry;
  Win32AudioEndpoints audio_endpoints;
  EndpointMixer mixer(audio_endpoints);
  Win32SingleInstance single_instance(instance);
  MainThreadQueue main_thread;
  MessageWindow wake_window(instance, [&](UINT message, WPARAM, LPARAM, LRESULT& result) {
    if (message != kRunPendingJobs) return false;
    main_thread.RunPending();
    result = 0;
    return true;
  });
  const HWND wake_target = wake_window.hwnd();
  // Called from the receiver's thread: PostMessage is safe from any thread.
  main_thread.SetWake([wake_target] { PostMessageW(wake_target, kRunPendingJobs, 0, 0); });
  // An error that escaped a hand-over job is shown like any other.
  main_thread.SetErrorSink(ShowErrorBox);

  std::unique_ptr<IHidBackend> hid = CreateHidBackend(simulate);
  Win32Power power;
  Win32Programs programs;
  Win32Shortcuts shortcuts;
  Win32SystemInfo system_info;
  app::Services services{files,       clock,    timers,   dialogs,         keyboard,
                         shell,       registry, mixer,    single_instance, *hid,
                         main_thread, power,    programs, shortcuts,       system_info};
  app::Application application(services);
  single_instance.SetCopyDataHandler([&application](const void* data, std::size_t size) {
    Guarded([&] { application.OnCopyData(data, size); });
  });

  // The main window comes first and runs its creation handler (the start-up
  // steps) before the other windows exist: their own creation handlers read
  // the settings it loads (the learning dialog its lamps, for one).
  const auto forms = application.Forms();
  std::vector<std::unique_ptr<FormWindow>> windows;
  windows.push_back(std::make_unique<FormWindow>(*forms[0], resources, taskbar.hwnd()));
  FormWindow& main_window = *windows.front();
  SetUpMainWindow(main_window, application, shell);
  main_window.Create();
  if (!main_window.hwnd()) return 1;
  taskbar.SetMainWindow(main_window.hwnd());
  shell.SetMainWindow(main_window.hwnd());
  power.SetMainWindow(main_window.hwnd());
  programs.SetMainWindow(main_window.hwnd());
  dialogs.SetMainWindow(main_window.hwnd());

  // A second copy has handed its command line over and ends here, without
  // showing anything or creating its other windows.
  bool first_copy = true;
  Guarded([&] { first_copy = application.OnMainWindowCreated(); });
  if (first_copy) {
    for (std::size_t i = 1; i < forms.size(); ++i) {
      windows.push_back(std::make_unique<FormWindow>(*forms[i], resources, taskbar.hwnd()));
      windows.back()->Create();
      forms[i]->ViewCreate();
    }
  }
  const int exit_code = first_copy ? RunMessageLoop() : 0;
  Guarded([&] { application.OnExit(); });
  // Views go before the forms they show, and before the services they use.
  for (auto it = windows.rbegin(); it != windows.rend(); ++it) (*it)->Destroy();
  return exit_code;
}

}  // namespace
}  // namespace talvoro::platform::win32

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  // The shell calls used later (links in the StartUp folder, ShellExecute of
  // documents and web pages) need COM on this thread, in a single-threaded
  // apartment because the thread runs windows.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof(controls);
  controls.dwICC = ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_TAB_CLASSES | ICC_PROGRESS_CLASS |
                   ICC_STANDARD_CLASSES;
  InitCommonControlsEx(&controls);

  int exit_code = 1;
  try {
    exit_code = talvoro::platform::win32::Run(instance);
  } catch (...) {
    talvoro::platform::win32::ReportEscapedException();
  }
  if (SUCCEEDED(com)) CoUninitialize();
  return exit_code;
}
