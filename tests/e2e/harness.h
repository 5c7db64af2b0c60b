// Helpers that let the end-to-end tests drive the real Talvoro_IR.exe from
// another process: fresh program directories, child processes, windows of
// another process, simulated receiver commands and screenshots.
#pragma once

#include <windows.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/sim_protocol.h"

namespace e2e {

std::wstring Widen(std::string_view utf8);
std::string ToUtf8(std::wstring_view text);
std::string ToCp1252(std::wstring_view text);

// Paths handed over by run_under_wine.sh (Windows paths, no trailing backslash).
struct Paths {
  std::wstring dist;         // build output: Talvoro_IR.exe, irsim.exe, images
  std::wstring work;         // scratch area for program directories
  std::wstring screenshots;  // where screenshots go (may be empty)
};
const Paths& TestPaths();

// Repeats `check` every `interval` until it is true or `timeout` has passed.
bool WaitUntil(const std::function<bool()>& check, std::chrono::milliseconds timeout,
               std::chrono::milliseconds interval = std::chrono::milliseconds(50));

// A freshly emptied program directory under the work area.
class ProgramDir {
 public:
  explicit ProgramDir(std::wstring_view name);
  const std::wstring& path() const { return path_; }
  std::wstring File(std::wstring_view name) const;

  // Copies the program and its companions from the build output; `exe_name`
  // is the name the program gets in this directory.
  void InstallProgram(std::wstring_view exe_name = L"Talvoro_IR.exe");
  void CopyProgramAs(std::wstring_view exe_name);

  void WriteFile(std::wstring_view name, std::string_view bytes) const;
  std::optional<std::string> ReadFile(std::wstring_view name) const;
  bool Exists(std::wstring_view name) const;
  void SetWriteTime(std::wstring_view name, const FILETIME& time) const;
  std::optional<FILETIME> WriteTime(std::wstring_view name) const;

 private:
  std::wstring path_;
};

// A child process; still running ones are ended when the object goes.
class Process {
 public:
  Process() = default;
  Process(Process&& other) noexcept;
  Process& operator=(Process&& other) noexcept;
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;
  ~Process();

  // Starts `exe` with `arguments`; the child inherits nothing but, when given,
  // the three standard handles.
  static Process Start(const std::wstring& exe, const std::wstring& arguments,
                       const std::wstring& directory, HANDLE std_out = nullptr);

  bool valid() const { return info_.hProcess != nullptr; }
  HANDLE handle() const { return info_.hProcess; }
  DWORD pid() const { return info_.dwProcessId; }
  bool Running() const;
  bool WaitExit(std::chrono::milliseconds timeout) const;
  DWORD ExitCode() const;
  void Terminate();

 private:
  PROCESS_INFORMATION info_{};
};

// Windows of another process.
HWND FindTopLevel(DWORD pid, const wchar_t* class_name, const wchar_t* title = nullptr);
std::vector<HWND> TopLevelWindows(DWORD pid);
HWND FindDescendant(HWND parent, const wchar_t* class_name);
std::vector<HWND> Descendants(HWND parent, const wchar_t* class_name);
std::wstring ClassName(HWND window);
// A popup menu (a drop-down of the menu bar, a context menu) that process
// `pid` shows now, or nullptr.
HWND VisibleMenuWindow(DWORD pid);
std::wstring WindowText(HWND window);
SIZE ClientSize(HWND window);

// Controls whose text messages carry pointers that Windows does not marshal
// between processes: the buffers live in the target process.
int StatusBarParts(HANDLE process, HWND status_bar, std::vector<int>* right_edges = nullptr);
std::wstring StatusBarText(HANDLE process, HWND status_bar, int part);
std::vector<std::wstring> TabCaptions(HANDLE process, HWND tab_control);
// The lines of a list box of another process, first to last. LB_GETTEXT is
// a system message: the system copies the text across to our buffer.
std::vector<std::wstring> ListBoxLines(HWND list_box);
// The text on the clipboard, or nullopt when it holds none.
std::optional<std::wstring> ClipboardText();

// ---------------------------------------------------------------------------
// Controls by their form name: the name of their row in the form's layout
// table (src/ui/forms/*.def), such as "RxSwitch5", "SpeedButton34" or
// "Label16". The program gives every control window the id of its row, so
// the test looks the row up in the very tables the program is built from.

// The row of control `name` in the layout of the form whose window class is
// `form_class` ("TForm1", "TForm2", ...); nullopt when the form has no such row.
std::optional<std::size_t> ControlRow(std::wstring_view form_class, std::string_view name);
// The names of the rows of form `form_class` that are windows of their own.
std::vector<std::string> WindowControlNames(std::wstring_view form_class);
// Every control window of `form` by its name, found in one walk.
std::map<std::string, HWND> ControlWindows(HWND form);
// The window of control `name` inside `form` (a form window of the program),
// or nullptr: unknown names, and rows that are no window of their own (menus,
// menu entries, tool buttons), have none.
HWND FindControl(HWND form, std::string_view name);
// The same, without asking the program to create the controls of pages and
// forms not shown yet first: nullptr for a control the program has not made.
HWND FindBuiltControl(HWND form, std::string_view name);

enum class Mouse { Left, Right };
// Posts a press and a release of `button` at the centre of `control`, as the
// mouse delivers them. Switches and pictures act on the press.
void PressMouse(HWND control, Mouse button = Mouse::Left);
// A left click on a push button, speed button, radio button or check box:
// the press and release of PressMouse, which the control turns into one
// click.
void ClickButton(HWND button);
// A left click with the mouse itself, through the system's input queue:
// brings `window` (the control's form) to the front, moves the cursor to the
// centre of `control`, presses and releases the left button, and moves the
// cursor back where it was. False when the window could not be brought to
// the front or the input was refused.
bool ClickWithMouse(HWND window, HWND control);
// The keyboard, as the user types: brings `window` to the front, then presses
// `keys` in order and releases them in the reverse order (a chord such as
// Ctrl+Tab), through the system's input queue, so that the program sees the
// modifiers held. Each event carries `extra_info` as its extra information
// (0, as most programs give). False when the window could not be brought to
// the front.
bool TypeChord(HWND window, std::initializer_list<WORD> keys, ULONG_PTR extra_info = 0);
// A posted press and release of `vk` on `control`: the program's message
// loop takes it as typed, without changing its view of the modifiers.
void PostKey(HWND control, WORD vk);
// An object's name as screen readers ask for it (Active Accessibility's
// client object of `window`); nullopt when no accessible object is had.
std::optional<std::wstring> AccessibleName(HWND window);
// The default action screen readers run on `window`'s client object (a
// button's is its press), as Active Accessibility's accDoDefaultAction does;
// the call's result, E_FAIL when no accessible object is had.
HRESULT AccessibleDefaultAction(HWND window);
// Clicks tool button `name` of `form`'s tool bar where it stands. Tool buttons
// are no windows: the press and release go to the tool bar at the button's
// place, which the tool bar reports (TB_GETRECT, through `process`'s memory).
bool ClickToolButton(HANDLE process, HWND form, std::string_view name);
// Selects page `name` (a Page row) with a press on its tab, as the user does;
// true once the page is shown.
bool SelectPage(HANDLE process, HWND form, std::string_view name);

// What the screen shows: 0xRRGGBB pixels, rows top down.
struct Pixels {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> rgb;
  std::uint32_t at(int x, int y) const {
    return rgb[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
               static_cast<std::size_t>(x)];
  }
};
// The screen's pixels over `window` (another process's window: its own device
// context would not show what it painted). Only what is not covered counts.
std::optional<Pixels> CaptureWindow(HWND window);
// The screen's pixels over `rect` (screen coordinates).
std::optional<Pixels> CaptureRect(const RECT& rect);
// A BMP file's pixels.
std::optional<Pixels> ReadBmpFile(const std::wstring& path);
// The pixels of the BITMAP resource `name` of the program file `exe`.
std::optional<Pixels> ReadBitmapResource(const std::wstring& exe, const std::wstring& name);

// What an on/off switch shows: its green "on" track or its grey "off" track.
enum class SwitchFace { On, Off, Unknown };
SwitchFace ReadSwitch(HWND switch_window);
// Whether picture control `image` shows the picture of BMP file `bmp` at its
// top-left corner: its transparent colour (the bottom-left pixel) left out,
// nine in ten of its other pixels must be on the screen.
bool ShowsPicture(HWND image, const std::wstring& bmp);

// Talvoro_IR.exe started from a program directory.
class TalvoroApp {
 public:
  TalvoroApp(const ProgramDir& dir, std::wstring_view arguments = L"",
             std::wstring_view exe_name = L"Talvoro_IR.exe");

  Process& process() { return process_; }
  // Waits for the main window (class TForm1) of this process.
  bool WaitForMainWindow(std::chrono::milliseconds timeout = std::chrono::seconds(30));
  // Waits for the main window and then for it to be visible.
  bool WaitUntilShown(std::chrono::milliseconds timeout = std::chrono::seconds(30));
  // Waits until the program's form windows exist: the main window is made
  // (and shown) first, the others after it.
  bool WaitForAllForms(std::chrono::milliseconds timeout = std::chrono::seconds(15)) const;
  HWND main_window() const { return main_; }
  // One of the program's form windows by its class: L"TForm4" (learning
  // dialog), L"TForm5" (on-screen display), L"TForm7" (conflict warning)...
  HWND Form(const wchar_t* form_class) const;
  // Control `name` of the main window, or of the form `form_class`.
  HWND Control(std::string_view name) const;
  HWND Control(const wchar_t* form_class, std::string_view name) const;
  // Returns once the program's window thread has come back to its message
  // loop: a message sent to the main window is taken only between two
  // handlers. After a posted press shows its first effect, this waits for
  // the rest of its handler.
  bool Sync() const;
  bool ClickToolButton(std::string_view name) const;
  bool SelectPage(std::string_view name) const;
  // Chooses menu entry `name` (a MenuItem row of the main window's table) as
  // a click on it does: the command is posted to the main window.
  bool MenuCommand(std::string_view name) const;
  HWND status_bar() const;
  std::wstring Panel(int part) const;
  // Waits until status panel `part` reads `text`; returns the last text seen.
  std::wstring WaitForPanel(int part, std::wstring_view text,
                            std::chrono::milliseconds timeout = std::chrono::seconds(5)) const;
  // A visible standard message box of this process, or nullptr.
  HWND MessageBoxWindow() const;
  // Waits for one; nullptr when none showed within `timeout`.
  HWND WaitForMessageBox(std::chrono::milliseconds timeout = std::chrono::seconds(10)) const;
  // Closes the program by its main window's close box and waits for the end.
  bool Quit(std::chrono::milliseconds timeout = std::chrono::seconds(15));

 private:
  Process process_;
  HWND main_ = nullptr;
};

// The texts of a standard message box: its caption and its message.
struct MessageBoxTexts {
  std::wstring caption;
  std::wstring message;
};
MessageBoxTexts ReadMessageBox(HWND box);
void PressOk(HWND box);

// The common open-file and save-file dialogs of another process.
// A shown file dialog (a dialog with a file name box) of process `pid`, once
// there is one; nullptr when none showed within `timeout`.
HWND WaitForFileDialog(DWORD pid, std::chrono::milliseconds timeout = std::chrono::seconds(30));
// The dialog's file name box: a combo box in the Explorer-style dialog, an
// edit field in older templates; nullptr when it has neither.
HWND FileNameBox(HWND dialog);
// Types `name` into the dialog's file name box and presses its OK button the
// way the keyboard's Enter does; `wait` waits until the dialog has handled
// it (for a folder, which it opens and stays).
bool ConfirmFileName(HWND dialog, const std::wstring& name, bool wait);
// Waits until `dialog` has closed (or is hidden).
bool WaitUntilDialogClosed(HWND dialog,
                           std::chrono::milliseconds timeout = std::chrono::seconds(10));

// irsim.exe from a program directory, run to its end.
struct IrsimResult {
  bool finished = false;  // false: still running after the timeout (then killed)
  DWORD exit_code = 0;
  std::string output;  // standard output and error
};
IrsimResult RunIrsim(const ProgramDir& dir, std::wstring_view arguments,
                     std::chrono::milliseconds timeout = std::chrono::seconds(120));

// Watches a window of another process from a thread of its own and records
// how it stood when it was first seen shown: a window that shows itself for a
// second or two is not missed by a test that is slow to look (irsim's end,
// for one, takes its time on a busy machine).
class ShowWatch {
 public:
  struct Sight {
    RECT rect{};                // the window's place on the screen
    bool topmost = false;       // WS_EX_TOPMOST
    HWND foreground = nullptr;  // the foreground window then
    HWND active = nullptr;      // the active and focus windows of the window's thread then
    HWND focus = nullptr;
  };
  explicit ShowWatch(HWND window);
  ~ShowWatch();
  ShowWatch(const ShowWatch&) = delete;
  ShowWatch& operator=(const ShowWatch&) = delete;

  // Waits until the window has been seen shown; nullopt when it was not
  // within `timeout`.
  std::optional<Sight> WaitShown(std::chrono::milliseconds timeout) const;
  // Whether it has been seen shown so far.
  bool SeenShown() const;

 private:
  void Run();

  HWND window_;
  mutable std::mutex mutex_;
  std::optional<Sight> sight_;
  bool stop_ = false;
  std::thread thread_;
};

// Captures a window of another process the first time it is seen shown with
// `ready` true, from a thread of its own: a window that shows itself for a
// second or two is captured even when the test is slow to look. The capture
// is taken once the window had time to paint (`ready` still true and the
// window still shown after a short pause, and still shown after the
// capture); `ready` runs on the watching thread.
class ShowCapture {
 public:
  ShowCapture(HWND window, std::function<bool()> ready);
  ~ShowCapture();
  ShowCapture(const ShowCapture&) = delete;
  ShowCapture& operator=(const ShowCapture&) = delete;

  // The capture; nullopt when none was taken within `timeout`.
  std::optional<Pixels> Wait(std::chrono::milliseconds timeout) const;

 private:
  void Run();

  HWND window_;
  std::function<bool()> ready_;
  mutable std::mutex mutex_;
  std::optional<Pixels> capture_;
  bool stop_ = false;
  std::thread thread_;
};

// Whether `shot` shows the picture of BMP file `bmp` with its top-left corner
// at `at`, as ShowsPicture tells for a control on the screen.
bool ContainsPicture(const Pixels& shot, POINT at, const std::wstring& bmp);
bool ContainsPicture(const Pixels& shot, POINT at, const Pixels& picture);

// One key event as a low-level keyboard hook saw it.
struct KeyEvent {
  DWORD vk = 0;
  bool down = false;
  bool injected = false;     // LLKHF_INJECTED: made by a program, not by a keyboard
  DWORD flags = 0;           // the hook's KBDLLHOOKSTRUCT flags
  WPARAM message = 0;        // WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN or WM_SYSKEYUP
  DWORD time = 0;            // the hook's time stamp: the tick count (ms) when the event was made
  ULONG_PTR extra_info = 0;  // the extra information its sender gave it
};
// "LWin down", "Tab up"...: for failure messages.
std::string Describe(const KeyEvent& event);
std::string Describe(const std::vector<KeyEvent>& events);

// A keyboard message that reached the key recorder's window.
struct WindowKey {
  UINT message = 0;  // WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN or WM_SYSKEYUP
  DWORD vk = 0;
};

// keyrecorder.exe, built beside the test program: a low-level keyboard hook
// in a process of its own, which appends every key event it sees to a file
// until it is told to stop (a named event). Being another process of the
// Wine session, it sees what any program of the session injects, and it can
// stand as a witness of that session. Ended when the object goes.
class KeyRecorder {
 public:
  // Starts the recorder writing to `events_file` (a Windows path). With a
  // `window_title`, the recorder also shows a window of that title and puts
  // it in the foreground: the application in front, which receives the
  // injected keys; it records its keyboard messages and close requests and
  // never closes.
  explicit KeyRecorder(std::wstring events_file, std::wstring window_title = L"");
  ~KeyRecorder();
  KeyRecorder(const KeyRecorder&) = delete;
  KeyRecorder& operator=(const KeyRecorder&) = delete;

  // Waits until the hook is installed: events from then on are recorded.
  bool WaitReady(std::chrono::milliseconds timeout = std::chrono::seconds(30)) const;
  // Tells the recorder to stop and waits for its end; true when it ended by
  // itself and its file says so. Events already handed to the hook are in
  // the file by then.
  bool Stop(std::chrono::milliseconds timeout = std::chrono::seconds(15));
  // The events recorded so far.
  std::vector<KeyEvent> Events() const;
  // Every event recorded before now, once the recorder has seen them all:
  // the test injects a mark (a tap of F24, which nothing uses) and waits
  // until the hook has seen it. Input goes through the system in order, so
  // whatever a program injected before the call is recorded by then. The
  // marks themselves are left out; nullopt when the mark was not seen within
  // `timeout`.
  std::optional<std::vector<KeyEvent>> EventsUntilNow(
      std::chrono::milliseconds timeout = std::chrono::seconds(10));
  // With a window: the window (once ready), the keyboard messages it got and
  // how many times it was asked to close (WM_CLOSE).
  HWND window() const;
  std::vector<WindowKey> WindowKeys() const;
  int CloseRequests() const;
  Process& process() { return process_; }
  const std::wstring& events_file() const { return file_; }

 private:
  std::optional<std::vector<std::string>> FileLines() const;

  std::wstring file_;
  HANDLE stop_ = nullptr;
  Process process_;
  int marks_ = 0;
};

// Where keyrecorder.exe is: beside the running test program.
std::wstring KeyRecorderPath();
// Where talvoro_e2e_marker.exe is, beside the running test program: a
// stand-in for the programs Talvoro IR starts, which counts its starts in
// "<its path>.runs" (one line each), leaves "<its path>.ran" holding its
// command line and ends, with no window.
std::wstring MarkerProgram();

// A key recorder (above) on a file of its own in the work area, with its
// hook installed once constructed: for tests that only ask what was sent.
class KeyboardRecorder {
 public:
  KeyboardRecorder();
  ~KeyboardRecorder();
  KeyboardRecorder(const KeyboardRecorder&) = delete;
  KeyboardRecorder& operator=(const KeyboardRecorder&) = delete;
  bool installed() const { return installed_; }
  std::vector<KeyEvent> events() const { return recorder_.Events(); }

 private:
  static std::wstring NewFile();

  KeyRecorder recorder_;
  bool installed_ = false;
};

// True when `keys` saw a release of an Alt key.
bool SawAltRelease(const KeyboardRecorder& keys);

// Copies what the screen shows of `window` into a 24-bit BMP file.
bool SaveScreenshot(HWND window, const std::wstring& path);
// Writes `pixels` as a 24-bit BMP file.
bool SaveBmp(const Pixels& pixels, const std::wstring& path);

// Whether the tests run under Wine. Tests whose action would restart or
// shut down a real PC (Wine only ends the programs of its own session) run
// only there.
bool UnderWine();

// The user's StartUp folder, no trailing backslash: the "StartUp" value of
// the user's shell folders in the registry, else the folder the system knows
// (FOLDERID_Startup); empty when neither is known.
std::wstring StartupFolder();
// The program a shell link file points at; nullopt when it cannot be read.
std::optional<std::wstring> ShortcutTarget(const std::wstring& link);

// Builds a file of CR LF terminated lines.
std::string Lines(const std::vector<std::string>& values);
// Splits a file into its CR LF terminated lines; nullopt when a line break is
// not exactly CR LF or the last line has none.
std::optional<std::vector<std::string>> SplitCrLf(std::string_view bytes);

// ---------------------------------------------------------------------------
// Straight to the simulated receiver and the program's process, for drivers
// that send many codes (irsim.exe costs a process start per request).

// One request on the simulated receiver's pipe of this session, one answer;
// nullopt when the pipe cannot be opened or the answer is cut off (the
// program ended meanwhile).
std::optional<talvoro::platform::sim::Reply> AskSimulator(
    const talvoro::platform::sim::Request& request);

// The names of the files in directory `path` (no folders), sorted.
std::vector<std::wstring> FileNames(const std::wstring& path);

// The visible top-level windows of process `pid`.
std::vector<HWND> VisibleTopLevelWindows(DWORD pid);

// Another process's memory, as GetProcessMemoryInfo tells it (under Wine the
// working set is the resident size of the Wine process).
struct ProcessMemory {
  std::size_t working_set = 0;
  std::size_t peak_working_set = 0;
  std::size_t private_bytes = 0;  // the commit charge
};
std::optional<ProcessMemory> MemoryOf(HANDLE process);

}  // namespace e2e
