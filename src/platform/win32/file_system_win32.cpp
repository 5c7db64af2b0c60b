#include <cstdio>

#include "platform/app_error.h"
#include "platform/win32/services_win32.h"
#include "platform/win32/wide_text.h"

namespace talvoro::platform::win32 {
namespace {

FileError ToFileError(DWORD code) {
  switch (code) {
    case ERROR_FILE_NOT_FOUND:
      return FileError::NotFound;
    case ERROR_PATH_NOT_FOUND:
      return FileError::PathNotFound;
    case ERROR_TOO_MANY_OPEN_FILES:
      return FileError::TooManyOpenFiles;
    case ERROR_ACCESS_DENIED:
      return FileError::AccessDenied;
    case ERROR_WRITE_PROTECT:
      return FileError::WriteProtected;
    case ERROR_SHARING_VIOLATION:
      return FileError::SharingViolation;
    case ERROR_LOCK_VIOLATION:
      return FileError::LockViolation;
    case ERROR_HANDLE_DISK_FULL:
    case ERROR_DISK_FULL:
      return FileError::DiskFull;
    case ERROR_INVALID_NAME:
      return FileError::InvalidName;
    default:
      return FileError::Other;
  }
}

[[noreturn]] void ThrowError(DWORD code) {
  throw IoError::FromFileError(ToFileError(code), code);
}

[[noreturn]] void ThrowLastError() {
  ThrowError(GetLastError());
}

ReadError ReadErrorOf(ReadFailure failure, DWORD code) {
  return ReadError{failure, ToFileError(code), code};
}

class FileHandle {
 public:
  explicit FileHandle(HANDLE handle) : handle_(handle) {}
  ~FileHandle() {
    if (valid()) CloseHandle(handle_);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }
  // Closes now, reporting a failure (a delayed write error shows up here).
  void Close() {
    const HANDLE handle = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    if (!CloseHandle(handle)) ThrowLastError();
  }

 private:
  HANDLE handle_;
};

}  // namespace

namespace {

// Reads the whole file, or, given a limit, at most that many bytes: a file
// whose size says it is larger is not read at all, and one that grows past
// the limit while it is read is given up.
ReadResult ReadWhole(const std::string& path, std::optional<std::uint64_t> max_bytes) {
  // Others may keep the file open for reading or writing (an editor, a
  // virus scanner): sharing both is what the old file routines did.
  FileHandle file(CreateFileW(AnsiToWide(path).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file.valid()) {
    const DWORD code = GetLastError();
    const bool missing = code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND;
    return ReadErrorOf(missing ? ReadFailure::Missing : ReadFailure::CannotOpen, code);
  }

  std::string bytes;
  LARGE_INTEGER size{};
  const bool sized = GetFileSizeEx(file.get(), &size) != FALSE;
  if (max_bytes && sized && static_cast<std::uint64_t>(size.QuadPart) > *max_bytes)
    return ReadErrorOf(ReadFailure::TooLarge, ERROR_FILE_TOO_LARGE);
  if (sized && size.QuadPart > 0 && size.QuadPart < (1LL << 30))
    bytes.reserve(static_cast<std::size_t>(size.QuadPart));
  char buffer[64 * 1024];
  for (;;) {
    DWORD read = 0;
    if (!::ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr))
      return ReadErrorOf(ReadFailure::CannotRead, GetLastError());
    if (read == 0) break;
    bytes.append(buffer, read);
    if (max_bytes && bytes.size() > *max_bytes)
      return ReadErrorOf(ReadFailure::TooLarge, ERROR_FILE_TOO_LARGE);
  }
  return bytes;
}

}  // namespace

ReadResult Win32FileSystem::ReadFile(const std::string& path) {
  return ReadWhole(path, std::nullopt);
}

ReadResult Win32FileSystem::ReadFileUpTo(const std::string& path, std::uint64_t max_bytes) {
  return ReadWhole(path, max_bytes);
}

void Win32FileSystem::WriteNewFile(const std::string& path, std::string_view bytes) {
  // CREATE_ALWAYS truncates an existing file; note that it fails with
  // "access denied" on a file marked hidden or system, which is reported.
  FileHandle file(CreateFileW(AnsiToWide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) ThrowLastError();
  while (!bytes.empty()) {
    const DWORD chunk = static_cast<DWORD>(bytes.size() > (1u << 30) ? (1u << 30) : bytes.size());
    DWORD written = 0;
    if (!::WriteFile(file.get(), bytes.data(), chunk, &written, nullptr)) ThrowLastError();
    if (written == 0) ThrowError(ERROR_DISK_FULL);
    bytes.remove_prefix(written);
  }
  // The caller replaces the live file with this one next: its bytes must be
  // on the disk before the rename is, or a crash could leave an empty file.
  if (!FlushFileBuffers(file.get())) ThrowLastError();
  file.Close();
}

void Win32FileSystem::ReplaceFile(const std::string& source, const std::string& target) {
  if (!MoveFileExW(AnsiToWide(source).c_str(), AnsiToWide(target).c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    ThrowLastError();
}

std::string Win32FileSystem::CreateUniqueFile(const std::string& beside) {
  const std::size_t separator = beside.find_last_of("\\/");
  const std::string folder = separator == std::string::npos ? "" : beside.substr(0, separator + 1);
  // A name short enough for any folder the target itself fits in, varied by
  // the process, the moment and a count; CREATE_NEW makes it exclusive
  // whatever the name, so a name taken meanwhile only means another try.
  static unsigned count = 0;
  LARGE_INTEGER now{};
  QueryPerformanceCounter(&now);
  unsigned seed = GetCurrentProcessId() * 2654435761u ^ static_cast<unsigned>(now.QuadPart);
  for (int attempt = 0; attempt < 64; ++attempt) {
    seed = seed * 1664525u + 1013904223u + ++count;
    char name[16];
    std::snprintf(name, sizeof name, "~tlv%08X.tmp", seed);
    const std::string path = folder + name;
    // Sharing nothing while it is created; it is written next under its name.
    const HANDLE file = CreateFileW(AnsiToWide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      CloseHandle(file);
      return path;
    }
    const DWORD code = GetLastError();
    if (code != ERROR_FILE_EXISTS && code != ERROR_ALREADY_EXISTS) ThrowError(code);
  }
  ThrowError(ERROR_FILE_EXISTS);
}

void Win32FileSystem::RemoveFile(const std::string& path) {
  DeleteFileW(AnsiToWide(path).c_str());
}

bool Win32FileSystem::FileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(AnsiToWide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::optional<std::string> Win32FileSystem::ShortPath(const std::string& utf8_path) {
  const std::wstring path = Utf8ToWide(utf8_path);
  // Asked with no buffer, the call gives the size it needs, terminator included.
  const DWORD needed = GetShortPathNameW(path.c_str(), nullptr, 0);
  if (needed == 0) return std::nullopt;
  std::wstring short_path(needed, L'\0');
  const DWORD length = GetShortPathNameW(path.c_str(), short_path.data(), needed);
  if (length == 0 || length >= needed) return std::nullopt;
  short_path.resize(length);
  // A volume that keeps no 8.3 names (short-name creation is off on most
  // volumes but the system's) gives the long names back unchanged, so the
  // result must still pass the test the long path failed.
  bool lossy = false;
  std::string bytes = WideToAnsi(short_path, &lossy);
  if (lossy || AnsiToWide(bytes) != short_path) return std::nullopt;
  return bytes;
}

}  // namespace talvoro::platform::win32
