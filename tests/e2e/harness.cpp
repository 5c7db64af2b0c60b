#include "harness.h"

#include <commctrl.h>
#include <objbase.h>
#include <oleacc.h>
#include <psapi.h>
#include <shlobj.h>
#include <shobjidl.h>

// The program's own layout tables and control ids: the tests name controls as
// the program does. (form_window.h is read for its control id constant only.)
#include "platform/win32/form_window.h"
#include "platform/win32/layout_plan.h"
#include "ui/forms/forms.h"

#include <algorithm>
#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace e2e {
namespace {

// Every cross-process message is sent with a time limit, so that a program
// that hangs fails the test instead of freezing it.
constexpr UINT kSendTimeoutMs = 5000;

LRESULT SendWithTimeout(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(window, message, wparam, lparam, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                           &result)) {
    return 0;
  }
  return static_cast<LRESULT>(result);
}

std::wstring FromEnvironment(const wchar_t* name) {
  wchar_t buffer[32768];
  DWORD n = GetEnvironmentVariableW(name, buffer, 32768);
  if (n == 0 || n >= 32768) return {};
  return std::wstring(buffer, n);
}

// Build-time fallback: a Unix path of the build tree, reached through Wine's
// Z: drive, so the test program also runs when started by hand.
std::wstring FromUnixPath(const char* unix_path) {
  std::wstring path = Widen(unix_path);
  if (path.empty() || path[0] != L'/') return path;
  std::replace(path.begin(), path.end(), L'/', L'\\');
  return L"Z:" + path;
}

std::wstring StripSlash(std::wstring path) {
  while (!path.empty() && (path.back() == L'\\' || path.back() == L'/')) path.pop_back();
  return path;
}

bool SameText(std::wstring_view a, std::wstring_view b) {
  return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                              static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// A block of memory inside another process, for messages whose pointer
// arguments the system passes through unchanged.
class RemoteMemory {
 public:
  RemoteMemory(HANDLE process, std::size_t size) : process_(process) {
    address_ = VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  }
  ~RemoteMemory() {
    if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
  }
  RemoteMemory(const RemoteMemory&) = delete;
  RemoteMemory& operator=(const RemoteMemory&) = delete;

  bool ok() const { return address_ != nullptr; }
  char* at(std::size_t offset) const { return static_cast<char*>(address_) + offset; }
  bool Write(std::size_t offset, const void* data, std::size_t size) const {
    SIZE_T done = 0;
    return WriteProcessMemory(process_, at(offset), data, size, &done) && done == size;
  }
  bool Read(const void* remote, void* data, std::size_t size) const {
    SIZE_T done = 0;
    return ReadProcessMemory(process_, remote, data, size, &done) && done == size;
  }

 private:
  HANDLE process_;
  void* address_ = nullptr;
};

struct FindData {
  DWORD pid;
  const wchar_t* class_name;
  const wchar_t* title;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM param) {
  auto* data = reinterpret_cast<FindData*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid != data->pid) return TRUE;
  if (data->class_name && !SameText(ClassName(window), data->class_name)) return TRUE;
  if (data->title && WindowText(window) != data->title) return TRUE;
  data->found.push_back(window);
  return TRUE;
}

BOOL CALLBACK CollectChildren(HWND window, LPARAM param) {
  auto* data = reinterpret_cast<FindData*>(param);
  if (data->class_name && !SameText(ClassName(window), data->class_name)) return TRUE;
  data->found.push_back(window);
  return TRUE;
}

// With TALVORO_E2E_VERBOSE set, prints how long the program took for a step:
// the first thing to look at when the tests get slow.
void Trace(const char* what, std::chrono::steady_clock::time_point since) {
  static const bool verbose = GetEnvironmentVariableW(L"TALVORO_E2E_VERBOSE", nullptr, 0) > 0;
  if (!verbose) return;
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                  since);
  std::printf("[ trace    ] %s: %lld ms\n", what, static_cast<long long>(ms.count()));
  std::fflush(stdout);
}

}  // namespace

std::wstring Widen(std::string_view utf8) {
  if (utf8.empty()) return {};
  int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
  return out;
}

static std::string Narrow(std::wstring_view text, UINT code_page) {
  if (text.empty()) return {};
  int n = WideCharToMultiByte(code_page, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                              nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(code_page, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                      nullptr, nullptr);
  return out;
}

std::string ToUtf8(std::wstring_view text) {
  return Narrow(text, CP_UTF8);
}
std::string ToCp1252(std::wstring_view text) {
  return Narrow(text, 1252);
}

const Paths& TestPaths() {
  static const Paths paths = [] {
    Paths p;
    p.dist = FromEnvironment(L"TALVORO_E2E_DIST");
    p.work = FromEnvironment(L"TALVORO_E2E_WORK");
    p.screenshots = FromEnvironment(L"TALVORO_E2E_SCREENSHOTS");
#ifdef TALVORO_E2E_DEFAULT_DIST
    if (p.dist.empty()) p.dist = FromUnixPath(TALVORO_E2E_DEFAULT_DIST);
#endif
#ifdef TALVORO_E2E_DEFAULT_WORK
    if (p.work.empty()) p.work = FromUnixPath(TALVORO_E2E_DEFAULT_WORK);
#endif
#ifdef TALVORO_E2E_DEFAULT_SCREENSHOTS
    if (p.screenshots.empty()) p.screenshots = FromUnixPath(TALVORO_E2E_DEFAULT_SCREENSHOTS);
#endif
    p.dist = StripSlash(p.dist);
    p.work = StripSlash(p.work);
    p.screenshots = StripSlash(p.screenshots);
    return p;
  }();
  return paths;
}

bool WaitUntil(const std::function<bool()>& check, std::chrono::milliseconds timeout,
               std::chrono::milliseconds interval) {
  auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    if (check()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    Sleep(static_cast<DWORD>(interval.count()));
  }
}

// ---------------------------------------------------------------------------
// Program directories

ProgramDir::ProgramDir(std::wstring_view name) {
  if (TestPaths().work.empty()) throw std::runtime_error("TALVORO_E2E_WORK is not set");
  path_ = TestPaths().work + L"\\" + std::wstring(name);
  std::error_code error;
  fs::remove_all(fs::path(path_), error);
  fs::create_directories(fs::path(path_));
}

std::wstring ProgramDir::File(std::wstring_view name) const {
  return path_ + L"\\" + std::wstring(name);
}

void ProgramDir::InstallProgram(std::wstring_view exe_name) {
  const fs::path dist(TestPaths().dist);
  for (const auto& entry : fs::directory_iterator(dist)) {
    if (!entry.is_regular_file()) continue;
    std::wstring name = entry.path().filename().wstring();
    std::wstring extension = entry.path().extension().wstring();
    // A program started by hand in the build output leaves its configuration
    // there: never carry it into a test.
    if (SameText(extension, L".inf") || SameText(extension, L".gml")) continue;
    std::wstring target = SameText(name, L"Talvoro_IR.exe") ? std::wstring(exe_name) : name;
    fs::copy_file(entry.path(), fs::path(File(target)), fs::copy_options::overwrite_existing);
  }
  // The help pages live in a folder of their own beside the program.
  const fs::path help = dist / L"help";
  if (fs::is_directory(help))
    fs::copy(help, fs::path(File(L"help")),
             fs::copy_options::recursive | fs::copy_options::overwrite_existing);
}

void ProgramDir::CopyProgramAs(std::wstring_view exe_name) {
  fs::copy_file(fs::path(File(L"Talvoro_IR.exe")), fs::path(File(exe_name)),
                fs::copy_options::overwrite_existing);
}

void ProgramDir::WriteFile(std::wstring_view name, std::string_view bytes) const {
  std::ofstream out(fs::path(File(name)), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + ToUtf8(File(name)));
}

namespace {

// Shared access: the program may hold the file open for a moment.
std::optional<std::string> ReadWholeFile(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  std::string bytes;
  char buffer[65536];
  DWORD got = 0;
  while (::ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
    bytes.append(buffer, got);
  CloseHandle(file);
  return bytes;
}

}  // namespace

std::optional<std::string> ProgramDir::ReadFile(std::wstring_view name) const {
  return ReadWholeFile(File(name));
}

bool ProgramDir::Exists(std::wstring_view name) const {
  return GetFileAttributesW(File(name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

void ProgramDir::SetWriteTime(std::wstring_view name, const FILETIME& time) const {
  HANDLE file = CreateFileW(File(name).c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot open " + ToUtf8(name));
  ::SetFileTime(file, nullptr, nullptr, &time);
  CloseHandle(file);
}

std::optional<FILETIME> ProgramDir::WriteTime(std::wstring_view name) const {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(File(name).c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  return data.ftLastWriteTime;
}

// ---------------------------------------------------------------------------
// Processes

Process::Process(Process&& other) noexcept : info_(other.info_) {
  other.info_ = {};
}

Process& Process::operator=(Process&& other) noexcept {
  if (this != &other) {
    Terminate();
    info_ = other.info_;
    other.info_ = {};
  }
  return *this;
}

Process::~Process() {
  Terminate();
}

Process Process::Start(const std::wstring& exe, const std::wstring& arguments,
                       const std::wstring& directory, HANDLE std_out) {
  std::wstring command = L"\"" + exe + L"\"";
  if (!arguments.empty()) command += L" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  BOOL inherit = FALSE;
  if (std_out) {
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nullptr;
    startup.hStdOutput = std_out;
    startup.hStdError = std_out;
    inherit = TRUE;
  }
  Process process;
  // Wine under load now and then fails a process creation with
  // ERROR_INTERNAL_ERROR (1359) although nothing is wrong with the program;
  // the same call succeeds a moment later, so try a few times before giving up.
  constexpr int kAttempts = 5;
  for (int attempt = 1;; ++attempt) {
    if (CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, inherit, 0, nullptr,
                       directory.empty() ? nullptr : directory.c_str(), &startup, &process.info_)) {
      break;
    }
    const DWORD error = GetLastError();
    if (error != ERROR_INTERNAL_ERROR || attempt == kAttempts) {
      throw std::runtime_error("cannot start " + ToUtf8(exe) + " (error " + std::to_string(error) +
                               ")");
    }
    Sleep(200);
  }
  CloseHandle(process.info_.hThread);
  process.info_.hThread = nullptr;
  return process;
}

bool Process::Running() const {
  return valid() && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

bool Process::WaitExit(std::chrono::milliseconds timeout) const {
  return valid() &&
         WaitForSingleObject(info_.hProcess, static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
}

DWORD Process::ExitCode() const {
  DWORD code = STILL_ACTIVE;
  if (valid()) GetExitCodeProcess(info_.hProcess, &code);
  return code;
}

void Process::Terminate() {
  if (!valid()) return;
  if (Running()) {
    TerminateProcess(info_.hProcess, 1);
    WaitForSingleObject(info_.hProcess, 10000);
  }
  CloseHandle(info_.hProcess);
  info_ = {};
}

// ---------------------------------------------------------------------------
// Windows of another process

std::vector<HWND> TopLevelWindows(DWORD pid) {
  FindData data{pid, nullptr, nullptr, {}};
  EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&data));
  return data.found;
}

HWND FindTopLevel(DWORD pid, const wchar_t* class_name, const wchar_t* title) {
  FindData data{pid, class_name, title, {}};
  EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&data));
  return data.found.empty() ? nullptr : data.found.front();
}

namespace {

// The program creates a page's controls when the page is first shown, and a
// hidden form's when the form is: a form of the program is asked to create
// them all before its controls are looked for.
void BuildAllControls(HWND window) {
  if (!window || ClassName(window).rfind(L"TForm", 0) != 0) return;
  DWORD_PTR result = 0;
  SendMessageTimeoutW(window, talvoro::platform::win32::kBuildAllControls, 0, 0, SMTO_ABORTIFHUNG,
                      5000, &result);
}

}  // namespace

std::vector<HWND> Descendants(HWND parent, const wchar_t* class_name) {
  BuildAllControls(parent);
  FindData data{0, class_name, nullptr, {}};
  // EnumChildWindows already walks the whole tree below `parent`.
  EnumChildWindows(parent, CollectChildren, reinterpret_cast<LPARAM>(&data));
  return data.found;
}

HWND FindDescendant(HWND parent, const wchar_t* class_name) {
  auto found = Descendants(parent, class_name);
  return found.empty() ? nullptr : found.front();
}

HWND VisibleMenuWindow(DWORD pid) {
  // Popup menus are top-level windows of the system class "#32768".
  for (HWND window : TopLevelWindows(pid))
    if (ClassName(window) == L"#32768" && IsWindowVisible(window)) return window;
  return nullptr;
}

std::wstring ClassName(HWND window) {
  wchar_t name[256];
  int n = GetClassNameW(window, name, 256);
  return std::wstring(name, n > 0 ? n : 0);
}

std::wstring WindowText(HWND window) {
  // WM_GETTEXT is marshalled between processes by the system.
  auto length = static_cast<std::size_t>(SendWithTimeout(window, WM_GETTEXTLENGTH, 0, 0));
  std::wstring text(length + 1, L'\0');
  auto copied = static_cast<std::size_t>(
      SendWithTimeout(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data())));
  text.resize(std::min(copied, length));
  return text;
}

SIZE ClientSize(HWND window) {
  RECT rect{};
  GetClientRect(window, &rect);
  return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

int StatusBarParts(HANDLE process, HWND status_bar, std::vector<int>* right_edges) {
  constexpr int kMaxParts = 64;
  RemoteMemory remote(process, kMaxParts * sizeof(int));
  if (!remote.ok()) return -1;
  int count = static_cast<int>(
      SendWithTimeout(status_bar, SB_GETPARTS, kMaxParts, reinterpret_cast<LPARAM>(remote.at(0))));
  if (right_edges && count > 0) {
    right_edges->assign(static_cast<std::size_t>(std::min(count, kMaxParts)), 0);
    remote.Read(remote.at(0), right_edges->data(), right_edges->size() * sizeof(int));
  }
  return count;
}

std::wstring StatusBarText(HANDLE process, HWND status_bar, int part) {
  constexpr std::size_t kChars = 1024;
  RemoteMemory remote(process, kChars * sizeof(wchar_t));
  if (!remote.ok()) return L"<no remote memory>";
  remote.Write(0, L"", sizeof(wchar_t));
  LRESULT result = SendWithTimeout(status_bar, SB_GETTEXTW, static_cast<WPARAM>(part),
                                   reinterpret_cast<LPARAM>(remote.at(0)));
  std::size_t length = std::min<std::size_t>(LOWORD(result), kChars - 1);
  std::wstring text(length, L'\0');
  if (length > 0) remote.Read(remote.at(0), text.data(), length * sizeof(wchar_t));
  return text;
}

std::vector<std::wstring> TabCaptions(HANDLE process, HWND tab_control) {
  constexpr std::size_t kTextOffset = 256;
  constexpr std::size_t kChars = 256;
  std::vector<std::wstring> captions;
  RemoteMemory remote(process, kTextOffset + kChars * sizeof(wchar_t));
  if (!remote.ok()) return captions;
  int count = static_cast<int>(SendWithTimeout(tab_control, TCM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = reinterpret_cast<wchar_t*>(remote.at(kTextOffset));
    item.cchTextMax = static_cast<int>(kChars);
    remote.Write(0, &item, sizeof item);
    remote.Write(kTextOffset, L"", sizeof(wchar_t));
    SendWithTimeout(tab_control, TCM_GETITEMW, static_cast<WPARAM>(i),
                    reinterpret_cast<LPARAM>(remote.at(0)));
    // The control may point pszText at its own copy instead of filling ours.
    remote.Read(remote.at(0), &item, sizeof item);
    std::wstring text(kChars, L'\0');
    remote.Read(item.pszText, text.data(), kChars * sizeof(wchar_t));
    text.resize(wcsnlen(text.c_str(), kChars));
    captions.push_back(text);
  }
  return captions;
}

std::vector<std::wstring> ListBoxLines(HWND list_box) {
  std::vector<std::wstring> lines;
  const LRESULT count = SendWithTimeout(list_box, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    const LRESULT length = SendWithTimeout(list_box, LB_GETTEXTLEN, i, 0);
    std::wstring text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, L'\0');
    SendWithTimeout(list_box, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()));
    text.resize(wcsnlen(text.c_str(), text.size()));
    lines.push_back(text);
  }
  return lines;
}

std::optional<std::wstring> ClipboardText() {
  std::optional<std::wstring> text;
  // The program may still hold the clipboard open for a moment.
  if (!WaitUntil([] { return OpenClipboard(nullptr) != FALSE; }, std::chrono::seconds(5)))
    return text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
      text = std::wstring(chars);
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

// ---------------------------------------------------------------------------
// Controls by their form name

namespace {

namespace ui = talvoro::ui;
namespace win32 = talvoro::platform::win32;

const ui::FormLayout* LayoutOf(std::wstring_view form_class) {
  static const ui::FormLayout* const layouts[] = {
#define FORM(Type, member, window_class) &ui::Type##Layout(),
#include "ui/forms/form_list.def"
#undef FORM
  };
  for (const ui::FormLayout* layout : layouts)
    if (SameText(Widen(layout->class_name), form_class)) return layout;
  return nullptr;
}

// Windows that standard controls make inside themselves (the edit field of a
// combo box) carry ids of their own: they are no controls of the form.
bool IsControlWindow(HWND form, HWND child) {
  HWND parent = GetParent(child);
  return parent == form || !SameText(ClassName(parent), WC_COMBOBOXW);
}

struct IdSearch {
  HWND form;
  int id;
  HWND found;
};

BOOL CALLBACK FindId(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<IdSearch*>(param);
  if (GetDlgCtrlID(window) != search->id || !IsControlWindow(search->form, window)) return TRUE;
  search->found = window;
  return FALSE;  // found: stop the walk
}

// The window with control id `id` among the descendants of `form`.
HWND DescendantWithId(HWND form, int id) {
  IdSearch search{form, id, nullptr};
  EnumChildWindows(form, FindId, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

LPARAM Centre(const RECT& rect) {
  return MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
}

void PostLeftClickAt(HWND window, LPARAM at) {
  PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageW(window, WM_LBUTTONUP, 0, at);
}

// The rectangle a control reports for one of its items (TB_GETRECT,
// TCM_GETITEMRECT): the RECT lives in the program's memory.
std::optional<RECT> RemoteItemRect(HANDLE process, HWND control, UINT message, WPARAM item) {
  RemoteMemory remote(process, sizeof(RECT));
  if (!remote.ok()) return std::nullopt;
  if (!SendWithTimeout(control, message, item, reinterpret_cast<LPARAM>(remote.at(0))))
    return std::nullopt;
  RECT rect{};
  if (!remote.Read(remote.at(0), &rect, sizeof rect)) return std::nullopt;
  return rect;
}

std::optional<Pixels> BitmapPixels(HDC dc, HBITMAP bitmap, int width, int height) {
  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = width;
  header.biHeight = -height;  // top down
  header.biPlanes = 1;
  header.biBitCount = 32;
  header.biCompression = BI_RGB;
  Pixels pixels;
  pixels.width = width;
  pixels.height = height;
  pixels.rgb.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
  if (GetDIBits(dc, bitmap, 0, static_cast<UINT>(height), pixels.rgb.data(),
                reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS) != height)
    return std::nullopt;
  // 32-bit DIB pixels are 0x00RRGGBB already; the top byte is unused.
  for (auto& pixel : pixels.rgb) pixel &= 0xFFFFFF;
  return pixels;
}

int Red(std::uint32_t rgb) {
  return static_cast<int>((rgb >> 16) & 0xFF);
}
int Green(std::uint32_t rgb) {
  return static_cast<int>((rgb >> 8) & 0xFF);
}
int Blue(std::uint32_t rgb) {
  return static_cast<int>(rgb & 0xFF);
}

}  // namespace

std::optional<std::size_t> ControlRow(std::wstring_view form_class, std::string_view name) {
  const ui::FormLayout* layout = LayoutOf(form_class);
  if (!layout) return std::nullopt;
  for (std::size_t i = 0; i < layout->controls.size(); ++i)
    if (name == layout->controls[i].name) return i;
  return std::nullopt;
}

std::vector<std::string> WindowControlNames(std::wstring_view form_class) {
  std::vector<std::string> names;
  const ui::FormLayout* layout = LayoutOf(form_class);
  if (!layout) return names;
  for (std::size_t i = 1; i < layout->controls.size(); ++i)
    if (win32::HasOwnWindow(layout->controls[i].kind)) names.emplace_back(layout->controls[i].name);
  return names;
}

std::map<std::string, HWND> ControlWindows(HWND form) {
  std::map<std::string, HWND> windows;
  const ui::FormLayout* layout = form ? LayoutOf(ClassName(form)) : nullptr;
  if (!layout) return windows;
  for (HWND child : Descendants(form, nullptr)) {  // every control built first
    const int row = GetDlgCtrlID(child) - win32::kFirstControlId;
    if (row <= 0 || static_cast<std::size_t>(row) >= layout->controls.size()) continue;
    const ui::ControlSpec& row_desc = layout->controls[static_cast<std::size_t>(row)];
    if (!win32::HasOwnWindow(row_desc.kind) || !IsControlWindow(form, child)) continue;
    windows.emplace(row_desc.name, child);
  }
  return windows;
}

HWND FindControl(HWND form, std::string_view name) {
  if (!form) return nullptr;
  const std::wstring form_class = ClassName(form);
  const ui::FormLayout* layout = LayoutOf(form_class);
  auto row = ControlRow(form_class, name);
  if (!layout || !row || *row == 0) return nullptr;
  if (!win32::HasOwnWindow(layout->controls[*row].kind)) return nullptr;
  BuildAllControls(form);
  return DescendantWithId(form, win32::kFirstControlId + static_cast<int>(*row));
}

HWND FindBuiltControl(HWND form, std::string_view name) {
  if (!form) return nullptr;
  const std::wstring form_class = ClassName(form);
  const ui::FormLayout* layout = LayoutOf(form_class);
  auto row = ControlRow(form_class, name);
  if (!layout || !row || *row == 0 || !win32::HasOwnWindow(layout->controls[*row].kind))
    return nullptr;
  return DescendantWithId(form, win32::kFirstControlId + static_cast<int>(*row));
}

void PressMouse(HWND control, Mouse button) {
  RECT client{};
  GetClientRect(control, &client);
  const LPARAM at = Centre(client);
  if (button == Mouse::Left) {
    PostLeftClickAt(control, at);
  } else {
    PostMessageW(control, WM_RBUTTONDOWN, MK_RBUTTON, at);
    PostMessageW(control, WM_RBUTTONUP, 0, at);
  }
}

void ClickButton(HWND button) {
  PressMouse(button, Mouse::Left);
}

bool ClickWithMouse(HWND window, HWND control) {
  if (GetForegroundWindow() != window) SetForegroundWindow(window);
  if (!WaitUntil([&] { return GetForegroundWindow() == window; }, std::chrono::seconds(5)))
    return false;
  RECT rect{};
  POINT before{};
  if (!GetWindowRect(control, &rect) || !GetCursorPos(&before)) return false;
  const POINT centre{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
  // Absolute positions count from 0 to 65535 over the primary screen.
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  auto move_to = [&](POINT at) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(at.x, 65535, width - 1);
    input.mi.dy = MulDiv(at.y, 65535, height - 1);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    return input;
  };
  INPUT inputs[4]{move_to(centre), {}, {}, move_to(before)};
  inputs[1].type = inputs[2].type = INPUT_MOUSE;
  inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  inputs[2].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  // The cursor goes back where it was: under Wine the X pointer's place
  // can decide which window later tests find with the keyboard focus.
  return SendInput(4, inputs, sizeof(INPUT)) == 4;
}

bool TypeChord(HWND window, std::initializer_list<WORD> keys, ULONG_PTR extra_info) {
  if (GetForegroundWindow() != window) SetForegroundWindow(window);
  if (!WaitUntil([&] { return GetForegroundWindow() == window; }, std::chrono::seconds(5)))
    return false;
  std::vector<INPUT> inputs;
  for (WORD vk : keys) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    input.ki.dwExtraInfo = extra_info;
    inputs.push_back(input);
  }
  for (auto key = keys.end(); key != keys.begin();) {
    --key;
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = *key;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(*key, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = KEYEVENTF_KEYUP;
    input.ki.dwExtraInfo = extra_info;
    inputs.push_back(input);
  }
  return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) == inputs.size();
}

void PostKey(HWND control, WORD vk) {
  const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC)) << 16;
  PostMessageW(control, WM_KEYDOWN, vk, scan | 1);
  PostMessageW(control, WM_KEYUP, vk, scan | 1 | 0xC0000000);
}

namespace {

// Runs `use` on the Active Accessibility client object of `window` (the
// object itself as the child, CHILDID_SELF); false when none is had.
template <typename Use>
bool WithAccessibleObject(HWND window, Use&& use) {
  // IAccessible's identifier, spelt out: asked with the IID_IAccessible of
  // the MinGW import libraries, Wine's oleacc answered E_NOINTERFACE.
  static const IID kAccessible = {
      0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
  const HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  IAccessible* object = nullptr;
  const bool had =
      SUCCEEDED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), kAccessible,
                                           reinterpret_cast<void**>(&object))) &&
      object;
  if (had) {
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    use(*object, self);
    object->Release();
  }
  if (SUCCEEDED(init)) CoUninitialize();
  return had;
}

}  // namespace

std::optional<std::wstring> AccessibleName(HWND window) {
  std::optional<std::wstring> name;
  WithAccessibleObject(window, [&](IAccessible& object, VARIANT self) {
    BSTR text = nullptr;
    if (SUCCEEDED(object.get_accName(self, &text)))
      name = text ? std::wstring(text, SysStringLen(text)) : std::wstring();
    if (text) SysFreeString(text);
  });
  return name;
}

HRESULT AccessibleDefaultAction(HWND window) {
  HRESULT result = E_FAIL;
  WithAccessibleObject(
      window, [&](IAccessible& object, VARIANT self) { result = object.accDoDefaultAction(self); });
  return result;
}

bool ClickToolButton(HANDLE process, HWND form, std::string_view name) {
  const ui::FormLayout* layout = LayoutOf(ClassName(form));
  auto row = ControlRow(ClassName(form), name);
  if (!layout || !row || layout->controls[*row].kind != ui::Kind::ToolButton) return false;
  HWND toolbar = FindControl(form, layout->controls[layout->controls[*row].parent].name);
  if (!toolbar) return false;
  auto rect = RemoteItemRect(process, toolbar, TB_GETRECT,
                             static_cast<WPARAM>(win32::kFirstControlId + static_cast<int>(*row)));
  if (!rect) return false;
  PostLeftClickAt(toolbar, Centre(*rect));
  return true;
}

bool SelectPage(HANDLE process, HWND form, std::string_view name) {
  const ui::FormLayout* layout = LayoutOf(ClassName(form));
  auto row = ControlRow(ClassName(form), name);
  if (!layout || !row || layout->controls[*row].kind != ui::Kind::Page) return false;
  // Pages exist with their page control: a click on a tab, as the user's,
  // leaves the program to create the page's controls.
  const std::string_view tabs_name = layout->controls[layout->controls[*row].parent].name;
  HWND page = FindBuiltControl(form, name);
  HWND tabs = FindBuiltControl(form, tabs_name);
  if (!page || !tabs) {
    page = FindControl(form, name);
    tabs = FindControl(form, tabs_name);
  }
  const int ordinal = win32::PageOrdinal(*layout, *row);
  if (!page || !tabs || ordinal < 0) return false;
  if (IsWindowVisible(page)) return true;
  auto rect = RemoteItemRect(process, tabs, TCM_GETITEMRECT, static_cast<WPARAM>(ordinal));
  if (!rect) return false;
  PostLeftClickAt(tabs, Centre(*rect));
  return WaitUntil([&] { return IsWindowVisible(page) != FALSE; }, std::chrono::seconds(10));
}

std::optional<Pixels> CaptureWindow(HWND window) {
  RECT rect{};
  if (!GetWindowRect(window, &rect)) return std::nullopt;
  return CaptureRect(rect);
}

std::optional<Pixels> CaptureRect(const RECT& rect) {
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) return std::nullopt;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY | CAPTUREBLT);
  SelectObject(memory, old);
  auto pixels = BitmapPixels(memory, bitmap, width, height);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return pixels;
}

std::optional<Pixels> ReadBmpFile(const std::wstring& path) {
  auto bitmap = static_cast<HBITMAP>(
      LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
  if (!bitmap) return std::nullopt;
  BITMAP info{};
  GetObjectW(bitmap, sizeof info, &info);
  HDC memory = CreateCompatibleDC(nullptr);
  auto pixels = BitmapPixels(memory, bitmap, info.bmWidth, info.bmHeight);
  DeleteDC(memory);
  DeleteObject(bitmap);
  return pixels;
}

std::optional<Pixels> ReadBitmapResource(const std::wstring& exe, const std::wstring& name) {
  HMODULE module = LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!module) return std::nullopt;
  auto bitmap = static_cast<HBITMAP>(
      LoadImageW(module, name.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  std::optional<Pixels> pixels;
  if (bitmap) {
    BITMAP info{};
    GetObjectW(bitmap, sizeof info, &info);
    HDC memory = CreateCompatibleDC(nullptr);
    pixels = BitmapPixels(memory, bitmap, info.bmWidth, info.bmHeight);
    DeleteDC(memory);
    DeleteObject(bitmap);
  }
  FreeLibrary(module);
  return pixels;
}

SwitchFace ReadSwitch(HWND switch_window) {
  auto pixels = CaptureWindow(switch_window);
  if (!pixels) return SwitchFace::Unknown;
  // The "on" track is green; the "off" track and its border are neutral
  // greys well darker than any face colour.
  int green = 0;
  int grey = 0;
  for (std::uint32_t pixel : pixels->rgb) {
    const int r = Red(pixel), g = Green(pixel), b = Blue(pixel);
    if (g >= r + 50 && g >= b + 50) ++green;
    if (std::abs(r - g) <= 10 && std::abs(g - b) <= 10 && r >= 90 && r <= 170) ++grey;
  }
  if (green >= 20) return SwitchFace::On;
  if (green < 5 && grey >= 20) return SwitchFace::Off;
  return SwitchFace::Unknown;
}

bool ShowsPicture(HWND image, const std::wstring& bmp) {
  auto screen = CaptureWindow(image);
  return screen && ContainsPicture(*screen, POINT{0, 0}, bmp);
}

bool ContainsPicture(const Pixels& shot, POINT at, const std::wstring& bmp) {
  auto picture = ReadBmpFile(bmp);
  return picture && ContainsPicture(shot, at, *picture);
}

bool ContainsPicture(const Pixels& shot, POINT at, const Pixels& picture) {
  if (picture.width == 0 || picture.height == 0) return false;
  const std::uint32_t key = picture.at(0, picture.height - 1);
  int counted = 0;
  int matching = 0;
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      const std::uint32_t want = picture.at(x, y);
      if (want == key) continue;
      ++counted;
      const int sx = at.x + x;
      const int sy = at.y + y;
      if (sx < 0 || sy < 0 || sx >= shot.width || sy >= shot.height) continue;
      const std::uint32_t seen = shot.at(sx, sy);
      if (std::abs(Red(want) - Red(seen)) <= 8 && std::abs(Green(want) - Green(seen)) <= 8 &&
          std::abs(Blue(want) - Blue(seen)) <= 8)
        ++matching;
    }
  }
  return counted > 0 && matching * 10 >= counted * 9;
}

// ---------------------------------------------------------------------------
// The program under test

TalvoroApp::TalvoroApp(const ProgramDir& dir, std::wstring_view arguments,
                       std::wstring_view exe_name) {
  // Started from another current directory: the program must find its files
  // beside its executable, not in the current directory.
  process_ = Process::Start(dir.File(exe_name), std::wstring(arguments), TestPaths().work);
}

bool TalvoroApp::WaitForMainWindow(std::chrono::milliseconds timeout) {
  DWORD pid = process_.pid();
  WaitUntil(
      [&] {
        main_ = FindTopLevel(pid, L"TForm1");
        return main_ != nullptr || !process_.Running();
      },
      timeout);
  return main_ != nullptr;
}

bool TalvoroApp::WaitUntilShown(std::chrono::milliseconds timeout) {
  auto start = std::chrono::steady_clock::now();
  if (!WaitForMainWindow(timeout)) return false;
  auto left = timeout - std::chrono::duration_cast<std::chrono::milliseconds>(
                            std::chrono::steady_clock::now() - start);
  bool shown = WaitUntil([&] { return IsWindowVisible(main_) != FALSE; },
                         std::max(left, std::chrono::milliseconds(0)));
  Trace("main window shown", start);
  return shown;
}

bool TalvoroApp::WaitForAllForms(std::chrono::milliseconds timeout) const {
  return WaitUntil(
      [&] {
        for (const wchar_t* form_class : {L"TForm1", L"TForm2", L"TForm3", L"TForm4", L"TForm5",
                                          L"TForm6", L"TForm7", L"TForm8", L"TForm9", L"TForm10"})
          if (!Form(form_class)) return false;
        return true;
      },
      timeout);
}

HWND TalvoroApp::Form(const wchar_t* form_class) const {
  return FindTopLevel(process_.pid(), form_class);
}

HWND TalvoroApp::Control(std::string_view name) const {
  return FindControl(main_, name);
}

HWND TalvoroApp::Control(const wchar_t* form_class, std::string_view name) const {
  return FindControl(Form(form_class), name);
}

bool TalvoroApp::Sync() const {
  DWORD_PTR result = 0;
  return main_ &&
         SendMessageTimeoutW(main_, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result) != 0;
}

bool TalvoroApp::ClickToolButton(std::string_view name) const {
  return e2e::ClickToolButton(process_.handle(), main_, name);
}

bool TalvoroApp::SelectPage(std::string_view name) const {
  return e2e::SelectPage(process_.handle(), main_, name);
}

bool TalvoroApp::MenuCommand(std::string_view name) const {
  const ui::FormLayout* layout = LayoutOf(L"TForm1");
  auto row = ControlRow(L"TForm1", name);
  if (!main_ || !layout || !row || layout->controls[*row].kind != ui::Kind::MenuItem) return false;
  // A menu sends WM_COMMAND with the entry's id and no control window.
  return PostMessageW(main_, WM_COMMAND,
                      MAKEWPARAM(win32::kFirstControlId + static_cast<int>(*row), 0), 0) != FALSE;
}

HWND TalvoroApp::status_bar() const {
  return Control("StatusBar1");
}

std::wstring TalvoroApp::Panel(int part) const {
  HWND bar = status_bar();
  return bar ? StatusBarText(process_.handle(), bar, part) : L"<no status bar>";
}

std::wstring TalvoroApp::WaitForPanel(int part, std::wstring_view text,
                                      std::chrono::milliseconds timeout) const {
  std::wstring seen;
  WaitUntil(
      [&] {
        seen = Panel(part);
        return seen == text;
      },
      timeout);
  return seen;
}

HWND TalvoroApp::MessageBoxWindow() const {
  for (HWND window : TopLevelWindows(process_.pid())) {
    if (ClassName(window) == L"#32770" && IsWindowVisible(window)) return window;
  }
  return nullptr;
}

HWND TalvoroApp::WaitForMessageBox(std::chrono::milliseconds timeout) const {
  HWND box = nullptr;
  WaitUntil(
      [&] {
        box = MessageBoxWindow();
        return box != nullptr;
      },
      timeout);
  return box;
}

bool TalvoroApp::Quit(std::chrono::milliseconds timeout) {
  if (!process_.Running()) return true;
  auto start = std::chrono::steady_clock::now();
  if (main_) PostMessageW(main_, WM_CLOSE, 0, 0);
  bool ended = process_.WaitExit(timeout);
  Trace("program ended after the close box", start);
  return ended;
}

MessageBoxTexts ReadMessageBox(HWND box) {
  MessageBoxTexts texts;
  texts.caption = WindowText(box);
  // The message is the dialog's one static control with text; the icon is a
  // static without text.
  for (HWND child : Descendants(box, L"Static")) {
    std::wstring text = WindowText(child);
    if (!text.empty()) {
      texts.message = text;
      break;
    }
  }
  return texts;
}

void PressOk(HWND box) {
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

// ---------------------------------------------------------------------------
// File dialogs

namespace {

// Control ids of the file name box: cmb13 and edt1 of the dialog templates.
constexpr int kFileNameCombo = 0x47C;
constexpr int kFileNameEdit = 0x480;

}  // namespace

HWND WaitForFileDialog(DWORD pid, std::chrono::milliseconds timeout) {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        for (HWND window : TopLevelWindows(pid)) {
          if (ClassName(window) == L"#32770" && IsWindowVisible(window) && FileNameBox(window)) {
            found = window;
            return true;
          }
        }
        return false;
      },
      timeout);
  return found;
}

HWND FileNameBox(HWND dialog) {
  if (HWND combo = GetDlgItem(dialog, kFileNameCombo)) return combo;
  return GetDlgItem(dialog, kFileNameEdit);
}

bool ConfirmFileName(HWND dialog, const std::wstring& name, bool wait) {
  HWND box = FileNameBox(dialog);
  if (!box) return false;
  SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
  const WPARAM ok = MAKEWPARAM(IDOK, BN_CLICKED);
  if (!wait) return PostMessageW(dialog, WM_COMMAND, ok, 0) != FALSE;
  DWORD_PTR ignored = 0;
  return SendMessageTimeoutW(dialog, WM_COMMAND, ok, 0, SMTO_NORMAL, 30000, &ignored) != 0;
}

bool WaitUntilDialogClosed(HWND dialog, std::chrono::milliseconds timeout) {
  return WaitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }, timeout);
}

// ---------------------------------------------------------------------------
// irsim

IrsimResult RunIrsim(const ProgramDir& dir, std::wstring_view arguments,
                     std::chrono::milliseconds timeout) {
  // The output goes to a file: a pipe would only see its end once every
  // process that inherited it has gone.
  std::wstring output_path = dir.File(L"irsim-output.txt");
  SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
  HANDLE output =
      CreateFileW(output_path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  &inheritable, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (output == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot create irsim output file");
  IrsimResult result;
  {
    Process irsim =
        Process::Start(dir.File(L"irsim.exe"), std::wstring(arguments), dir.path(), output);
    CloseHandle(output);
    result.finished = irsim.WaitExit(timeout);
    result.exit_code = result.finished ? irsim.ExitCode() : STILL_ACTIVE;
  }
  result.output = dir.ReadFile(L"irsim-output.txt").value_or("");
  return result;
}

// ---------------------------------------------------------------------------
// Watching a window show itself

ShowWatch::ShowWatch(HWND window) : window_(window), thread_([this] { Run(); }) {}

ShowWatch::~ShowWatch() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  thread_.join();
}

void ShowWatch::Run() {
  for (;;) {
    {
      std::lock_guard lock(mutex_);
      if (stop_ || sight_) return;
    }
    if (IsWindowVisible(window_)) {
      Sight sight;
      GetWindowRect(window_, &sight.rect);
      sight.topmost = (GetWindowLongW(window_, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
      sight.foreground = GetForegroundWindow();
      GUITHREADINFO thread{};
      thread.cbSize = sizeof thread;
      if (GetGUIThreadInfo(GetWindowThreadProcessId(window_, nullptr), &thread)) {
        sight.active = thread.hwndActive;
        sight.focus = thread.hwndFocus;
      }
      std::lock_guard lock(mutex_);
      sight_ = sight;
      return;
    }
    Sleep(5);
  }
}

std::optional<ShowWatch::Sight> ShowWatch::WaitShown(std::chrono::milliseconds timeout) const {
  WaitUntil([&] { return SeenShown(); }, timeout, std::chrono::milliseconds(10));
  std::lock_guard lock(mutex_);
  return sight_;
}

bool ShowWatch::SeenShown() const {
  std::lock_guard lock(mutex_);
  return sight_.has_value();
}

// ---------------------------------------------------------------------------
// Capturing a window that shows itself

ShowCapture::ShowCapture(HWND window, std::function<bool()> ready)
    : window_(window), ready_(std::move(ready)), thread_([this] { Run(); }) {}

ShowCapture::~ShowCapture() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  thread_.join();
}

void ShowCapture::Run() {
  auto stopped = [this] {
    std::lock_guard lock(mutex_);
    return stop_;
  };
  while (!stopped()) {
    if (IsWindowVisible(window_) && ready_()) {
      // Time for the paint that showing the window asked for.
      Sleep(150);
      if (IsWindowVisible(window_) && ready_()) {
        auto pixels = CaptureWindow(window_);
        if (pixels && IsWindowVisible(window_)) {
          std::lock_guard lock(mutex_);
          capture_ = std::move(pixels);
          return;
        }
      }
    }
    Sleep(10);
  }
}

std::optional<Pixels> ShowCapture::Wait(std::chrono::milliseconds timeout) const {
  WaitUntil(
      [&] {
        std::lock_guard lock(mutex_);
        return capture_.has_value();
      },
      timeout, std::chrono::milliseconds(10));
  std::lock_guard lock(mutex_);
  return capture_;
}

// ---------------------------------------------------------------------------
// The key recorder process

namespace {

const char* KeyName(DWORD vk) {
  static const std::pair<DWORD, const char*> names[] = {
      {VK_MENU, "Alt"},       {VK_LMENU, "LAlt"},  {VK_RMENU, "RAlt"},    {VK_TAB, "Tab"},
      {VK_LWIN, "LWin"},      {VK_RWIN, "RWin"},   {VK_F4, "F4"},         {VK_CONTROL, "Ctrl"},
      {VK_LCONTROL, "LCtrl"}, {VK_SHIFT, "Shift"}, {VK_LSHIFT, "LShift"}, {VK_F24, "F24"}};
  for (const auto& [key, name] : names)
    if (key == vk) return name;
  return nullptr;
}

}  // namespace

std::string Describe(const KeyEvent& event) {
  std::string name;
  if (const char* known = KeyName(event.vk)) {
    name = known;
  } else if ((event.vk >= '0' && event.vk <= '9') || (event.vk >= 'A' && event.vk <= 'Z')) {
    name = std::string(1, static_cast<char>(event.vk));
  } else {
    char hex[16];
    std::snprintf(hex, sizeof hex, "VK%02lX", static_cast<unsigned long>(event.vk));
    name = hex;
  }
  name += event.down ? " down" : " up";
  if (!event.injected) name += " (physical)";
  return name;
}

std::string Describe(const std::vector<KeyEvent>& events) {
  std::string text = "[";
  for (std::size_t i = 0; i < events.size(); ++i) {
    if (i > 0) text += ", ";
    text += Describe(events[i]);
  }
  return text + "]";
}

namespace {

std::wstring BesideTestProgram(std::wstring_view name) {
  std::wstring self(32768, L'\0');
  self.resize(GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size())));
  return self.substr(0, self.find_last_of(L"\\/") + 1) + std::wstring(name);
}

}  // namespace

std::wstring KeyRecorderPath() {
  return BesideTestProgram(L"keyrecorder.exe");
}

std::wstring MarkerProgram() {
  return BesideTestProgram(L"talvoro_e2e_marker.exe");
}

KeyRecorder::KeyRecorder(std::wstring events_file, std::wstring window_title)
    : file_(std::move(events_file)) {
  static LONG count = 0;
  const std::wstring name = L"TalvoroKeyRecorder-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                            std::to_wstring(InterlockedIncrement(&count));
  stop_ = CreateEventW(nullptr, TRUE, FALSE, name.c_str());
  if (!stop_) throw std::runtime_error("cannot create the key recorder's stop event");
  DeleteFileW(file_.c_str());
  std::wstring arguments = L"\"" + file_ + L"\" " + name;
  if (!window_title.empty()) arguments += L" --window \"" + window_title + L"\"";
  process_ = Process::Start(KeyRecorderPath(), arguments, TestPaths().work);
}

KeyRecorder::~KeyRecorder() {
  if (process_.Running()) Stop(std::chrono::seconds(5));
  process_.Terminate();
  if (stop_) CloseHandle(stop_);
}

std::optional<std::vector<std::string>> KeyRecorder::FileLines() const {
  auto bytes = ReadWholeFile(file_);
  if (!bytes) return std::nullopt;
  // Only whole lines: the recorder may be writing the next one.
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (;;) {
    std::size_t end = bytes->find("\r\n", start);
    if (end == std::string::npos) break;
    lines.push_back(bytes->substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

bool KeyRecorder::WaitReady(std::chrono::milliseconds timeout) const {
  return WaitUntil(
             [&] {
               auto lines = FileLines();
               return (lines && !lines->empty() && lines->front() == "ready") ||
                      !process_.Running();
             },
             timeout) &&
         process_.Running();
}

bool KeyRecorder::Stop(std::chrono::milliseconds timeout) {
  SetEvent(stop_);
  if (!process_.WaitExit(timeout) || process_.ExitCode() != 0) return false;
  auto lines = FileLines();
  return lines && !lines->empty() && lines->back() == "stopped";
}

std::vector<KeyEvent> KeyRecorder::Events() const {
  std::vector<KeyEvent> events;
  auto lines = FileLines();
  if (!lines) return events;
  for (const std::string& line : *lines) {
    unsigned long vk = 0, flags = 0, message = 0, time = 0;
    unsigned long long extra_info = 0;
    char direction[8] = {}, origin[16] = {};
    if (std::sscanf(line.c_str(), "key %lx %7s %15s %lx %lx %lx %llx", &vk, direction, origin,
                    &flags, &message, &time, &extra_info) != 7)
      continue;
    KeyEvent event;
    event.vk = static_cast<DWORD>(vk);
    event.down = std::string_view(direction) == "down";
    event.injected = std::string_view(origin) == "injected";
    event.flags = static_cast<DWORD>(flags);
    event.message = static_cast<WPARAM>(message);
    event.time = static_cast<DWORD>(time);
    event.extra_info = static_cast<ULONG_PTR>(extra_info);
    events.push_back(event);
  }
  return events;
}

std::optional<std::vector<KeyEvent>> KeyRecorder::EventsUntilNow(
    std::chrono::milliseconds timeout) {
  constexpr DWORD kMark = VK_F24;
  keybd_event(kMark, 0, 0, 0);
  keybd_event(kMark, 0, KEYEVENTF_KEYUP, 0);
  ++marks_;
  std::vector<KeyEvent> before;
  const bool seen = WaitUntil(
      [&] {
        before.clear();
        int marks = 0;
        for (const KeyEvent& event : Events()) {
          if (event.vk != kMark) {
            before.push_back(event);
          } else if (!event.down && ++marks == marks_) {
            return true;
          }
        }
        return false;
      },
      timeout);
  if (!seen) return std::nullopt;
  return before;
}

HWND KeyRecorder::window() const {
  return FindTopLevel(process_.pid(), L"TalvoroKeyRecorderWindow");
}

std::vector<WindowKey> KeyRecorder::WindowKeys() const {
  std::vector<WindowKey> keys;
  auto lines = FileLines();
  if (!lines) return keys;
  for (const std::string& line : *lines) {
    unsigned long message = 0, vk = 0;
    if (std::sscanf(line.c_str(), "message %lx %lx", &message, &vk) != 2) continue;
    keys.push_back(WindowKey{static_cast<UINT>(message), static_cast<DWORD>(vk)});
  }
  return keys;
}

int KeyRecorder::CloseRequests() const {
  auto lines = FileLines();
  return lines ? static_cast<int>(std::count(lines->begin(), lines->end(), "close")) : 0;
}

// ---------------------------------------------------------------------------
// Keyboard hook

std::wstring KeyboardRecorder::NewFile() {
  static LONG count = 0;
  return TestPaths().work + L"\\keys-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
         std::to_wstring(InterlockedIncrement(&count)) + L".txt";
}

KeyboardRecorder::KeyboardRecorder() : recorder_(NewFile()) {
  installed_ = recorder_.WaitReady();
}

KeyboardRecorder::~KeyboardRecorder() {
  recorder_.Stop();
  DeleteFileW(recorder_.events_file().c_str());
}

bool SawAltRelease(const KeyboardRecorder& keys) {
  for (const auto& event : keys.events()) {
    // A low-level hook may report the generic Alt key as the left one.
    bool alt = event.vk == VK_MENU || event.vk == VK_LMENU || event.vk == VK_RMENU;
    if (alt && !event.down) return true;
  }
  return false;
}

// ---------------------------------------------------------------------------
// Screenshots

bool SaveBmp(const Pixels& pixels, const std::wstring& path) {
  if (pixels.width <= 0 || pixels.height <= 0) return false;
  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = pixels.width;
  header.biHeight = pixels.height;  // bottom-up, as BMP files store rows
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;
  const int stride = (pixels.width * 3 + 3) & ~3;
  std::vector<char> rows(static_cast<std::size_t>(stride) * pixels.height, 0);
  for (int y = 0; y < pixels.height; ++y) {
    char* row = rows.data() + static_cast<std::size_t>(pixels.height - 1 - y) * stride;
    for (int x = 0; x < pixels.width; ++x) {
      const std::uint32_t rgb = pixels.at(x, y);
      row[3 * x] = static_cast<char>(Blue(rgb));
      row[3 * x + 1] = static_cast<char>(Green(rgb));
      row[3 * x + 2] = static_cast<char>(Red(rgb));
    }
  }
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof file + sizeof header;
  file.bfSize = file.bfOffBits + static_cast<DWORD>(rows.size());
  header.biSizeImage = static_cast<DWORD>(rows.size());
  std::ofstream out(fs::path(path), std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(&file), sizeof file);
  out.write(reinterpret_cast<const char*>(&header), sizeof header);
  out.write(rows.data(), static_cast<std::streamsize>(rows.size()));
  return static_cast<bool>(out);
}

bool SaveScreenshot(HWND window, const std::wstring& path) {
  // Read back from the screen: the window belongs to another process, so its
  // own device context would not show what it painted.
  auto pixels = CaptureWindow(window);
  return pixels && SaveBmp(*pixels, path);
}

// ---------------------------------------------------------------------------
// Wine

bool UnderWine() {
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// ---------------------------------------------------------------------------
// StartUp folder and shell links

std::wstring StartupFolder() {
  wchar_t value[MAX_PATH * 2] = {};
  DWORD size = sizeof value;
  if (RegGetValueW(HKEY_CURRENT_USER,
                   L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                   L"StartUp", RRF_RT_REG_SZ, nullptr, value, &size) == ERROR_SUCCESS &&
      value[0] != L'\0') {
    return StripSlash(value);
  }
  // FOLDERID_Startup, {B97D20BB-F46A-4C97-BA10-5E3608430854}.
  constexpr GUID kStartup = {
      0xB97D20BB, 0xF46A, 0x4C97, {0xBA, 0x10, 0x5E, 0x36, 0x08, 0x43, 0x08, 0x54}};
  PWSTR known = nullptr;
  std::wstring folder;
  if (SUCCEEDED(SHGetKnownFolderPath(kStartup, 0, nullptr, &known)) && known) folder = known;
  CoTaskMemFree(known);
  return StripSlash(folder);
}

std::optional<std::wstring> ShortcutTarget(const std::wstring& link) {
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  std::optional<std::wstring> target;
  {
    // The shell's link object, {00021401-0000-0000-C000-000000000046}.
    constexpr CLSID kShellLink = {
        0x00021401, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
    IShellLinkW* shell_link = nullptr;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(CoCreateInstance(kShellLink, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IShellLinkW),
                                   reinterpret_cast<void**>(&shell_link))) &&
        SUCCEEDED(
            shell_link->QueryInterface(__uuidof(IPersistFile), reinterpret_cast<void**>(&file))) &&
        SUCCEEDED(file->Load(link.c_str(), STGM_READ))) {
      wchar_t path[MAX_PATH] = {};
      if (SUCCEEDED(shell_link->GetPath(path, MAX_PATH, nullptr, SLGP_RAWPATH))) target = path;
    }
    if (file) file->Release();
    if (shell_link) shell_link->Release();
  }
  if (SUCCEEDED(com)) CoUninitialize();
  return target;
}

// ---------------------------------------------------------------------------
// Line files

std::string Lines(const std::vector<std::string>& values) {
  std::string out;
  for (const auto& value : values) {
    out += value;
    out += "\r\n";
  }
  return out;
}

std::optional<std::vector<std::string>> SplitCrLf(std::string_view bytes) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t lf = bytes.find('\n', start);
    if (lf == std::string_view::npos || lf == start || bytes[lf - 1] != '\r') return std::nullopt;
    std::string_view line = bytes.substr(start, lf - 1 - start);
    if (line.find('\r') != std::string_view::npos) return std::nullopt;
    lines.emplace_back(line);
    start = lf + 1;
  }
  return lines;
}

// ---------------------------------------------------------------------------
// The simulated receiver's pipe, directory listings, another process's memory

std::optional<talvoro::platform::sim::Reply> AskSimulator(
    const talvoro::platform::sim::Request& request) {
  namespace sim = talvoro::platform::sim;
  DWORD session = 0;
  if (!ProcessIdToSessionId(GetCurrentProcessId(), &session)) session = 0;
  const std::wstring name = Widen(sim::PipeName(session));
  HANDLE pipe = INVALID_HANDLE_VALUE;
  for (int attempt = 0; attempt < 50 && pipe == INVALID_HANDLE_VALUE; ++attempt) {
    pipe = CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                       nullptr);
    // Every instance busy: the server opens the next one right after.
    if (pipe == INVALID_HANDLE_VALUE && GetLastError() == ERROR_PIPE_BUSY)
      WaitNamedPipeW(name.c_str(), 1000);
    else if (pipe == INVALID_HANDLE_VALUE)
      return std::nullopt;
  }
  if (pipe == INVALID_HANDLE_VALUE) return std::nullopt;
  const std::string line = sim::FormatRequest(request) + "\n";
  DWORD written = 0;
  bool ok = ::WriteFile(pipe, line.data(), static_cast<DWORD>(line.size()), &written, nullptr) &&
            written == line.size();
  std::string answer;
  while (ok && answer.find('\n') == std::string::npos) {
    char chunk[256];
    DWORD got = 0;
    if (!::ReadFile(pipe, chunk, sizeof chunk, &got, nullptr) && GetLastError() != ERROR_MORE_DATA)
      break;
    if (got == 0) break;
    answer.append(chunk, got);
  }
  CloseHandle(pipe);
  if (answer.find('\n') == std::string::npos) return std::nullopt;
  return sim::ParseReply(answer);
}

std::vector<std::wstring> FileNames(const std::wstring& path) {
  std::vector<std::wstring> names;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(fs::path(path), error)) {
    if (entry.is_regular_file(error)) names.push_back(entry.path().filename().wstring());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<HWND> VisibleTopLevelWindows(DWORD pid) {
  std::vector<HWND> visible;
  for (HWND window : TopLevelWindows(pid)) {
    if (IsWindowVisible(window)) visible.push_back(window);
  }
  return visible;
}

std::optional<ProcessMemory> MemoryOf(HANDLE process) {
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                            sizeof counters))
    return std::nullopt;
  ProcessMemory memory;
  memory.working_set = counters.WorkingSetSize;
  memory.peak_working_set = counters.PeakWorkingSetSize;
  // Wine leaves PrivateUsage at 0; the commit charge is the same figure.
  memory.private_bytes = counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
  return memory;
}

}  // namespace e2e
