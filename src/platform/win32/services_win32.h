// The Windows implementations of the platform interfaces the core is built on.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/file_system.h"
#include "platform/keyboard.h"
#include "platform/power.h"
#include "platform/programs.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/single_instance.h"
#include "platform/system_info.h"
#include "platform/timer_table.h"
#include "platform/timers.h"
#include "platform/win32/message_window.h"
#include "platform/win32/win32_api.h"

namespace talvoro::platform::win32 {

class TaskbarWindow;

class Win32FileSystem final : public IFileSystem {
 public:
  ReadResult ReadFile(const std::string& path) override;
  ReadResult ReadFileUpTo(const std::string& path, std::uint64_t max_bytes) override;
  void WriteNewFile(const std::string& path, std::string_view bytes) override;
  void ReplaceFile(const std::string& source, const std::string& target) override;
  std::string CreateUniqueFile(const std::string& beside) override;
  void RemoveFile(const std::string& path) override;
  bool FileExists(const std::string& path) override;
  std::optional<std::string> ShortPath(const std::string& utf8_path) override;
};

class Win32Clock final : public IClock {
 public:
  DateTime Now() override;
  long long SteadyMilliseconds() override;
  void Sleep(int milliseconds) override;
};

class Win32Keyboard final : public IKeyboard {
 public:
  void KeyEvent(std::uint8_t vk, bool key_up, bool extended = false) override;
};

class Win32Dialogs final : public IDialogs {
 public:
  // The owner of the open-file dialogs.
  void SetMainWindow(HWND main) { main_ = main; }
  void ShowError(const std::string& utf8_message) override;
  BoxResult MessageBox(const std::string& utf8_text, const std::string& utf8_caption, BoxIcon icon,
                       BoxButtons buttons) override;
  void ShowForegroundWarning(const std::string& utf8_text,
                             const std::string& utf8_caption) override;
  void Beep() override;
  OpenFileResult OpenFile(const OpenFileRequest& request) override;
  SaveFileResult SaveFile(const SaveFileRequest& request) override;

 private:
  OpenFileResult RunFileDialog(bool save, const std::string& utf8_filter,
                               const std::string& utf8_initial_folder,
                               const std::string& utf8_title, const std::string& utf8_default_name,
                               const std::string& utf8_default_extension);
  HWND main_ = nullptr;
};

class Win32Registry final : public IRegistry {
 public:
  std::optional<std::uint32_t> ReadUserDword(const std::string& key,
                                             const std::string& value) override;
  void WriteUserDword(const std::string& key, const std::string& value,
                      std::uint32_t data) override;
  void DeleteUserKey(const std::string& key) override;
  std::optional<std::string> ReadUserString(const std::string& key,
                                            const std::string& value) override;
  MachineValues ListMachineValues(const std::string& key) override;
};

class Win32SystemInfo final : public ISystemInfo {
 public:
  MemoryStatus Memory() override;
  int ColourDepth() override;
  NumberGrouping LocaleGrouping() override;
};

class Win32Timers final : public ITimers {
 public:
  explicit Win32Timers(HINSTANCE instance);
  ~Win32Timers() override;
  TimerId CreateTimer(int interval_ms, std::function<void()> tick) override;
  void EnableTimer(TimerId id, bool enabled) override;
  bool TimerEnabled(TimerId id) const override;
  void SetTimerInterval(TimerId id, int interval_ms) override;

 private:
  bool OnMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result);

  MessageWindow window_;
  TimerTable table_;
};

// The screen saver, the display's power and the PC's restart and shut-down.
class Win32Power final : public IPower {
 public:
  // The program's top-level window, which the display command is posted to.
  void SetMainWindow(HWND main) { main_ = main; }
  void StartScreenSaver() override;
  void DisplayLowPower() override;
  void ExitSystem(ExitKind kind) override;

 private:
  HWND main_ = nullptr;
};

// Starting other programs through the shell.
class Win32Programs final : public IPrograms {
 public:
  void SetMainWindow(HWND main) { main_ = main; }
  bool ShellOpen(const std::string& file) override;
  bool StartSystemProgram(const std::string& file) override;
  bool StartDefaultFor(const std::string& protocol) override;
  bool StartProgram(const std::string& application, const std::string& command_line) override;
  bool OpenDocument(const std::string& target, bool maximised) override;

 private:
  HWND main_ = nullptr;
};

class Win32Shell final : public IShell {
 public:
  Win32Shell(HICON small_icon, TaskbarWindow& taskbar);
  // The window the icon reports to and the one brought to the foreground.
  void SetMainWindow(HWND main) { main_ = main; }

  bool AddNotifyIcon(const NotifyIconSpec& desc) override;
  void DeleteNotifyIcon(const NotifyIconSpec& desc) override;
  void ShowTaskbarEntry(TaskbarShow how) override;
  void BringMainWindowToForeground() override;
  ScreenSize PrimaryScreenSize() override;
  ScreenSize ScreenResolution() override;
  ScreenRect ScreenOfForegroundWindow() override;
  void CursorPosition(int& x, int& y) override;
  void RequestTerminate() override;
  bool CopyText(const std::string& utf8) override;

  bool IsNotifyCallback(UINT message) const {
    return added_ && message == added_->callback_message;
  }
  // The icon's mouse message (the callback's lParam) as the core sees it.
  static TrayEvent DecodeTrayMessage(LPARAM lparam);

 private:
  bool Notify(DWORD command, const NotifyIconSpec& desc);
  // One of the program's borderless forms that never take the focus (the
  // on-screen display, the countdown).
  static bool IsOwnAnnouncement(HWND window);

  HICON icon_;
  TaskbarWindow& taskbar_;
  HWND main_ = nullptr;
  std::optional<NotifyIconSpec> added_;
};

class Win32SingleInstance final : public ISingleInstance {
 public:
  // How long a second copy waits for the first to take its hand-over.
  static constexpr UINT kHandOverTimeoutMs = 5000;

  explicit Win32SingleInstance(HINSTANCE instance) : instance_(instance) {}
  // Where a hand-over block received from another copy goes.
  void SetCopyDataHandler(std::function<void(const void*, std::size_t)> handler) {
    on_copy_data_ = std::move(handler);
  }

  bool CreateMutexAlreadyExists(const std::string& name) override;
  std::uint32_t OwnMessageWindow() override;
  void SendCopyData(std::uint32_t target, const std::vector<std::uint8_t>& block) override;
  std::string ExecutableFileName() override;
  std::string ExecutableDirectory() override;
  std::vector<std::string> CommandLine() override;

 private:
  bool OnMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result);

  HINSTANCE instance_;
  HANDLE mutex_ = nullptr;  // deliberately never closed: it marks this copy until the process ends
  std::unique_ptr<MessageWindow> window_;
  std::function<void(const void*, std::size_t)> on_copy_data_;
};

// Window handles travel as 32-bit values (registry value, hand-over block).
// 64-bit Windows keeps user handles within 32 significant bits precisely so
// that 32- and 64-bit programs can exchange them; the documented way back is
// sign extension.
inline std::uint32_t HandleToValue(HWND hwnd) {
  return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(hwnd));
}
inline HWND ValueToHandle(std::uint32_t value) {
  return reinterpret_cast<HWND>(static_cast<std::intptr_t>(static_cast<std::int32_t>(value)));
}

// The executable's full path (any length).
std::wstring ModulePath();

}  // namespace talvoro::platform::win32
