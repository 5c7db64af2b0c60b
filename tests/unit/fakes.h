// In-memory fakes of the platform services, shared by the unit tests.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "app/services.h"
#include "config/io_error.h"
#include "platform/timer_table.h"

namespace talvoro::test {

class FakeFileSystem : public platform::IFileSystem {
 public:
  std::map<std::string, std::string> files;
  std::set<std::string> unreadable;                        // exist but cannot be opened
  std::map<std::string, platform::FileError> read_errors;  // open, then fail to read
  std::optional<platform::FileError> fail_write;           // for WriteNewFile
  std::optional<platform::FileError> fail_replace;         // for ReplaceFile
  std::map<std::string, int> replace_count;                // saves completed, by target

  platform::ReadResult ReadFile(const std::string& path) override {
    using platform::ReadError;
    using platform::ReadFailure;
    if (unreadable.count(path))
      return ReadError{ReadFailure::CannotOpen, platform::FileError::AccessDenied};
    if (auto error = read_errors.find(path); error != read_errors.end())
      return ReadError{ReadFailure::CannotRead, error->second};
    auto it = files.find(path);
    if (it == files.end()) return ReadError{ReadFailure::Missing, platform::FileError::NotFound};
    return it->second;
  }
  void WriteNewFile(const std::string& path, std::string_view bytes) override {
    if (fail_write) {
      files[path] = std::string(bytes.substr(0, bytes.size() / 2));  // a torn write
      throw config::IoError::FromFileError(*fail_write);
    }
    files[path] = std::string(bytes);
  }
  // ReplaceFile fails for these targets (a file another program holds).
  std::map<std::string, platform::FileError> replace_errors;
  void ReplaceFile(const std::string& source, const std::string& target) override {
    if (fail_replace) throw config::IoError::FromFileError(*fail_replace);
    if (auto error = replace_errors.find(target); error != replace_errors.end())
      throw config::IoError::FromFileError(error->second);
    files[target] = files.at(source);
    files.erase(source);
    ++replace_count[target];
  }
  // New files of their own: "~tlv<n>.tmp" in the folder, the first n free.
  std::vector<std::string> unique_files;  // every one created, in order
  std::string CreateUniqueFile(const std::string& beside) override {
    const std::size_t separator = beside.find_last_of("\\/");
    const std::string folder =
        separator == std::string::npos ? "" : beside.substr(0, separator + 1);
    std::string path;
    for (int n = 1; path.empty() || files.count(path); ++n)
      path = folder + "~tlv" + std::to_string(n) + ".tmp";
    files[path] = "";
    unique_files.push_back(path);
    return path;
  }
  void RemoveFile(const std::string& path) override { files.erase(path); }
  bool FileExists(const std::string& path) override {
    return files.count(path) || unreadable.count(path) || read_errors.count(path);
  }
  std::map<std::string, std::string> short_paths;  // UTF-8 path -> its short form
  std::optional<std::string> ShortPath(const std::string& utf8_path) override {
    auto it = short_paths.find(utf8_path);
    if (it == short_paths.end()) return std::nullopt;
    return it->second;
  }
  // Bounded reads: a file larger than the limit is refused on its size, as
  // the system's file size tells it, and none of its bytes are copied.
  std::vector<std::string> bounded_reads;  // every path asked, in order
  std::set<std::string> copied;            // paths whose bytes a bounded read copied
  platform::ReadResult ReadFileUpTo(const std::string& path, std::uint64_t max_bytes) override {
    bounded_reads.push_back(path);
    auto it = files.find(path);
    if (it != files.end() && !unreadable.count(path) && !read_errors.count(path) &&
        it->second.size() > max_bytes)
      return platform::ReadError{platform::ReadFailure::TooLarge, platform::FileError::Other};
    platform::ReadResult result = ReadFile(path);
    if (result) copied.insert(path);
    return result;
  }
};

// Keys, pauses and program starts can also go, in the order they were made,
// into one stream that a test points these fakes at.
using EventStream = std::vector<std::string>;

class FakeClock : public platform::IClock {
 public:
  platform::DateTime now{2026, 12, 7, 14, 5, 7};
  long long steady_ms = 0;  // a pause moves it on
  int slept_ms = 0;
  EventStream* stream = nullptr;  // "sleep <ms>"
  platform::DateTime Now() override { return now; }
  long long SteadyMilliseconds() override { return steady_ms; }
  void Sleep(int ms) override {
    slept_ms += ms;
    steady_ms += ms;
    if (stream) stream->push_back("sleep " + std::to_string(ms));
  }
};

// The program's timers on the real timer table, fired by the test instead of
// the system: ids from 1, no tick inside itself, and enabling a running timer
// does not restart it.
class FakeTimers : public platform::ITimers {
 public:
  // Every start of a system timer (id, period): a period runs from its start.
  std::vector<std::pair<platform::TimerId, unsigned>> started;
  platform::TimerTable table{
      [this](int id, unsigned interval) { started.emplace_back(id, interval); }, [](int) {}};

  platform::TimerId CreateTimer(int interval_ms, std::function<void()> tick) override {
    return table.Create(interval_ms, std::move(tick));
  }
  void EnableTimer(platform::TimerId id, bool enabled) override { table.Enable(id, enabled); }
  bool TimerEnabled(platform::TimerId id) const override { return table.Enabled(id); }
  void SetTimerInterval(platform::TimerId id, int interval_ms) override {
    table.SetInterval(id, interval_ms);
  }

  // Fires, once, every timer enabled with this interval (the system's
  // minimum period applies), in creation order; a timer a tick creates or
  // enables waits for the next call.
  void Fire(int interval_ms) {
    const unsigned period = platform::TimerTable::Period(interval_ms);
    std::vector<platform::TimerId> due;
    for (platform::TimerId id = 1; id <= table.Count(); ++id)
      if (table.Enabled(id) && table.Interval(id) == period) due.push_back(id);
    for (platform::TimerId id : due) table.Tick(id);
  }
};

class FakeDialogs : public platform::IDialogs {
 public:
  std::vector<std::string> errors;
  std::vector<std::string> messages;
  platform::BoxResult answer = platform::BoxResult::Yes;
  void ShowError(const std::string& message) override { errors.push_back(message); }
  std::vector<platform::BoxIcon> icons;  // each message box's icon, in order
  platform::BoxResult MessageBox(const std::string& text, const std::string& caption,
                                 platform::BoxIcon icon, platform::BoxButtons buttons) override {
    messages.push_back(text);
    icons.push_back(icon);
    boxes.push_back({caption, icon, buttons});
    return answer;
  }
  // Beeps and topmost warnings in the order they came, as "beep" and
  // "<caption>: <text>"; `during_warning` runs while a warning is shown.
  std::vector<std::string> alerts;
  std::function<void()> during_warning;
  void ShowForegroundWarning(const std::string& text, const std::string& caption) override {
    alerts.push_back(caption + ": " + text);
    if (during_warning) during_warning();
  }
  void Beep() override { alerts.push_back("beep"); }
  // The open-file dialog: every request, and how the next ones end (the
  // chosen path, nullopt for a cancel, and the folder shown last).
  std::vector<platform::OpenFileRequest> open_requests;
  std::optional<std::string> chosen;
  std::string ended_in;
  platform::OpenFileResult OpenFile(const platform::OpenFileRequest& request) override {
    open_requests.push_back(request);
    return {chosen, ended_in};
  }
  // The save-file dialog: every request, and how the next ones end.
  std::vector<platform::SaveFileRequest> save_requests;
  std::optional<std::string> save_chosen;
  std::string save_ended_in;
  platform::SaveFileResult SaveFile(const platform::SaveFileRequest& request) override {
    save_requests.push_back(request);
    return {save_chosen, save_ended_in};
  }
  // Every message box's caption, icon and buttons, beside `messages`.
  struct Box {
    std::string caption;
    platform::BoxIcon icon;
    platform::BoxButtons buttons;
  };
  std::vector<Box> boxes;
};

class FakeKeyboard : public platform::IKeyboard {
 public:
  std::vector<std::pair<std::uint8_t, bool>> events;  // (vk, key up)
  EventStream* stream = nullptr;                      // "down 0x11", "up 0x11", "down 0xB3 ext"
  void KeyEvent(std::uint8_t vk, bool key_up, bool is_extended = false) override {
    events.emplace_back(vk, key_up);
    if (stream) stream->push_back(KeyText(vk, key_up) + (is_extended ? " ext" : ""));
  }
  static std::string KeyText(int vk, bool key_up) {
    static const char kHex[] = "0123456789ABCDEF";
    return std::string(key_up ? "up 0x" : "down 0x") + kHex[(vk >> 4) & 15] + kHex[vk & 15];
  }
};

class FakeShell : public platform::IShell {
 public:
  std::vector<std::string> calls;
  bool icon = false;
  bool terminated = false;
  bool refuse_icon = false;  // the shell is not ready: every add fails
  platform::NotifyIconSpec added;
  bool AddNotifyIcon(const platform::NotifyIconSpec& desc) override {
    calls.push_back("add-icon");
    if (refuse_icon) return false;
    icon = true;
    added = desc;
    return true;
  }
  void DeleteNotifyIcon(const platform::NotifyIconSpec&) override {
    icon = false;
    calls.push_back("delete-icon");
  }
  void ShowTaskbarEntry(platform::TaskbarShow how) override {
    calls.push_back(how == platform::TaskbarShow::Hide        ? "taskbar-hide"
                    : how == platform::TaskbarShow::Show      ? "taskbar-show"
                    : how == platform::TaskbarShow::Minimised ? "taskbar-minimised"
                                                              : "taskbar-shownormal");
  }
  void BringMainWindowToForeground() override { calls.push_back("foreground"); }
  platform::ScreenSize screen{1024, 768};
  platform::ScreenSize PrimaryScreenSize() override { return screen; }
  // The screen's own pixels, when they differ from the layout's (a dense screen).
  std::optional<platform::ScreenSize> resolution;
  platform::ScreenSize ScreenResolution() override { return resolution ? *resolution : screen; }
  // The monitor of the window in front; none set: the primary screen.
  std::optional<platform::ScreenRect> foreground_screen;
  platform::ScreenRect ScreenOfForegroundWindow() override {
    return foreground_screen ? *foreground_screen
                             : platform::ScreenRect{0, 0, screen.width, screen.height};
  }
  int cursor_x = 0, cursor_y = 0;
  void CursorPosition(int& x, int& y) override {
    x = cursor_x;
    y = cursor_y;
  }
  void RequestTerminate() override {
    terminated = true;
    calls.push_back("terminate");
  }
  std::optional<std::string> clipboard;  // the text last copied
  bool clipboard_busy = false;           // another program holds the clipboard
  bool CopyText(const std::string& utf8) override {
    if (clipboard_busy) return false;
    clipboard = utf8;
    return true;
  }
};

class FakeRegistry : public platform::IRegistry {
 public:
  std::map<std::string, std::map<std::string, std::uint32_t>> keys;
  std::optional<std::uint32_t> ReadUserDword(const std::string& key,
                                             const std::string& value) override {
    auto k = keys.find(key);
    if (k == keys.end()) return std::nullopt;
    auto v = k->second.find(value);
    if (v == k->second.end()) return std::nullopt;
    return v->second;
  }
  void WriteUserDword(const std::string& key, const std::string& value,
                      std::uint32_t data) override {
    keys[key][value] = data;
  }
  void DeleteUserKey(const std::string& key) override { keys.erase(key); }
  // String values, by key and value name.
  std::map<std::string, std::map<std::string, std::string>> strings;
  std::optional<std::string> ReadUserString(const std::string& key,
                                            const std::string& value) override {
    auto k = strings.find(key);
    if (k == strings.end()) return std::nullopt;
    auto v = k->second.find(value);
    if (v == k->second.end()) return std::nullopt;
    return v->second;
  }
  // Keys under HKEY_LOCAL_MACHINE with their values' data in enumeration
  // order; `machine_failures` makes listing a key fail with that code.
  std::map<std::string, std::vector<std::string>> machine;
  std::map<std::string, std::uint32_t> machine_failures;
  std::vector<std::string> machine_listed;  // the keys asked for, in order
  platform::MachineValues ListMachineValues(const std::string& key) override {
    machine_listed.push_back(key);
    platform::MachineValues values;
    if (auto failure = machine_failures.find(key); failure != machine_failures.end()) {
      values.outcome = platform::MachineValues::Outcome::Failed;
      values.error_code = failure->second;
    } else if (auto k = machine.find(key); k != machine.end()) {
      values.data = k->second;
    } else {
      values.outcome = platform::MachineValues::Outcome::MissingKey;
    }
    return values;
  }
};

class FakeMixer : public platform::IMixer {
 public:
  platform::ChannelLevels master;
  bool mute = true;
  bool has_wave = true;
  std::uint32_t wave = 0;
  std::vector<platform::ChannelLevels> writes;
  void WriteMasterLevels(platform::ChannelLevels levels) override {
    master = levels;
    writes.push_back(levels);
  }
  void ReadMasterLevels(platform::ChannelLevels& levels) override { levels = master; }
  void WriteMasterMute(bool m) override { mute = m; }
  bool HasDevice(int index) override { return index == 1 && has_wave; }
  std::uint32_t ReadDeviceVolume(int) override { return wave; }
  void WriteDeviceVolume(int, std::uint32_t volume) override { wave = volume; }
};

class FakeSingleInstance : public platform::ISingleInstance {
 public:
  std::set<std::string>* existing_mutexes = nullptr;  // shared between "processes"
  std::string file_name = "Talvoro_IR.exe";
  std::string directory = "C:\\Programmes\\Talvoro\\";
  std::vector<std::string> command_line{"C:\\Programmes\\Talvoro\\Talvoro_IR.exe"};
  std::uint32_t own_window = 0x1234;
  std::vector<std::pair<std::uint32_t, std::vector<std::uint8_t>>> sent;

  bool CreateMutexAlreadyExists(const std::string& name) override {
    if (!existing_mutexes) return false;
    return !existing_mutexes->insert(name).second;
  }
  std::uint32_t OwnMessageWindow() override { return own_window; }
  void SendCopyData(std::uint32_t target, const std::vector<std::uint8_t>& block) override {
    sent.emplace_back(target, block);
  }
  std::string ExecutableFileName() override { return file_name; }
  std::string ExecutableDirectory() override { return directory; }
  std::vector<std::string> CommandLine() override { return command_line; }
};

class FakePower : public platform::IPower {
 public:
  std::vector<std::string> calls;
  void StartScreenSaver() override { calls.push_back("screen-saver"); }
  void DisplayLowPower() override { calls.push_back("display-off"); }
  void ExitSystem(platform::ExitKind kind) override {
    calls.push_back(kind == platform::ExitKind::Restart ? "restart" : "shut-down");
  }
};

class FakePrograms : public platform::IPrograms {
 public:
  std::vector<std::string> calls;
  std::set<std::string> fails;    // calls (as recorded) that fail
  EventStream* stream = nullptr;  // the calls, as recorded
  bool ShellOpen(const std::string& file) override { return Record("open " + file); }
  bool StartSystemProgram(const std::string& file) override { return Record("system " + file); }
  bool StartDefaultFor(const std::string& protocol) override {
    return Record("default " + protocol);
  }
  // Recorded as "start <application> | <command line>".
  bool StartProgram(const std::string& application, const std::string& command_line) override {
    return Record("start " + application + " | " + command_line);
  }
  // Recorded as "document <target>", with " maximised" when asked so.
  bool OpenDocument(const std::string& target, bool maximised) override {
    return Record("document " + target + (maximised ? " maximised" : ""));
  }

 private:
  bool Record(const std::string& call) {
    calls.push_back(call);
    if (stream) stream->push_back(call);
    return !fails.count(call);
  }
};

class NoHidBackend : public platform::IHidBackend {
 public:
  bool Available() override { return false; }
  std::vector<platform::HidInterfaceInfo> Enumerate() override { return {}; }
  std::unique_ptr<platform::IHidDevice> Open(const platform::HidInterfaceInfo&) override {
    return nullptr;
  }
  void SetDeviceChangeHandler(std::function<void()>) override {}
};

// Shell links written into a fake file system: a link is a file whose
// content names its target.
class FakeShortcuts : public platform::IShortcuts {
 public:
  explicit FakeShortcuts(FakeFileSystem& files) : files_(files) {}
  std::optional<std::string> known_startup;  // what the system knows; nullopt: nothing
  bool fail_create = false;
  std::vector<std::string> created;  // "<link> -> <target>"
  std::optional<std::string> KnownStartupFolder() override { return known_startup; }
  bool CreateShortcut(const std::string& link, const std::string& target) override {
    if (fail_create) return false;
    files_.files[link] = "link to " + target;
    created.push_back(link + " -> " + target);
    return true;
  }

 private:
  FakeFileSystem& files_;
};

class FakeSystemInfo : public platform::ISystemInfo {
 public:
  platform::MemoryStatus memory{2147483648ull, 45};
  int colour_depth = 32;
  platform::NumberGrouping grouping;  // "1 234 567" by default
  int memory_reads = 0;
  platform::MemoryStatus Memory() override {
    ++memory_reads;
    return memory;
  }
  int ColourDepth() override { return colour_depth; }
  platform::NumberGrouping LocaleGrouping() override { return grouping; }
};

// Every service, faked.
struct FakePlatform {
  FakeFileSystem files;
  FakeClock clock;
  FakeTimers timers;
  FakeDialogs dialogs;
  FakeKeyboard keyboard;
  FakeShell shell;
  FakeRegistry registry;
  FakeMixer mixer;
  FakeSingleInstance instance;
  NoHidBackend hid;
  platform::MainThreadQueue main_thread;
  FakePower power;
  FakePrograms programs;
  FakeShortcuts shortcuts{files};
  FakeSystemInfo system_info;

  app::Services services() {
    return {files,    clock, timers,      dialogs, keyboard, shell,     registry,   mixer,
            instance, hid,   main_thread, power,   programs, shortcuts, system_info};
  }
};

}  // namespace talvoro::test
