// File access as the core sees it. Paths are the program's own bytes
// (Windows-1252, as stored in the settings table); the platform converts them
// at the OS boundary.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>

namespace talvoro::platform {

// Why a file operation failed, as far as the program tells failures apart.
enum class FileError {
  NotFound,          // the file does not exist
  PathNotFound,      // a folder of the path does not exist
  TooManyOpenFiles,  // the system has no file handle left
  AccessDenied,      // no right to the file, or a read-only file
  WriteProtected,    // the medium is write-protected
  SharingViolation,  // another program has the file open
  LockViolation,     // another program has locked part of the file
  DiskFull,
  InvalidName,  // the path is not a valid file name
  Other,        // anything else: the system's own code tells what
};

// How far a read went before it failed.
enum class ReadFailure {
  Missing,     // the file (or a folder of its path) does not exist
  CannotOpen,  // the file exists but could not be opened
  CannotRead,  // the file was opened, then reading it failed
  TooLarge,    // the file is larger than the caller accepts: it was not read
};

// Why a read gave no bytes. `system_code` is the system's own error number,
// kept for the text of FileError::Other.
struct ReadError {
  ReadFailure failure = ReadFailure::CannotRead;
  FileError error = FileError::Other;
  std::uint32_t system_code = 0;
};

// The whole content of a file, or why it could not be had. Tests like a
// pointer: `if (auto bytes = files.ReadFile(path)) use(*bytes);`.
class ReadResult {
 public:
  ReadResult(std::string bytes) : value_(std::move(bytes)) {}
  ReadResult(ReadError error) : value_(error) {}

  bool ok() const { return std::holds_alternative<std::string>(value_); }
  explicit operator bool() const { return ok(); }

  // The bytes; only when ok().
  std::string& operator*() & { return std::get<std::string>(value_); }
  const std::string& operator*() const& { return std::get<std::string>(value_); }
  std::string&& operator*() && { return std::get<std::string>(std::move(value_)); }
  const std::string* operator->() const { return &std::get<std::string>(value_); }

  // Why the read failed; only when !ok().
  const ReadError& error() const { return std::get<ReadError>(value_); }

 private:
  std::variant<std::string, ReadError> value_;
};

class IFileSystem {
 public:
  virtual ~IFileSystem() = default;

  // The whole content of a file, or why it could not be read.
  virtual ReadResult ReadFile(const std::string& path) = 0;

  // The whole content of a file of at most `max_bytes` bytes. The size is
  // checked before reading: a larger file (or one that grows past the limit
  // while it is read) is not read whole, and gives ReadFailure::TooLarge.
  virtual ReadResult ReadFileUpTo(const std::string& path, std::uint64_t max_bytes) = 0;

  // Creates or truncates `path`, writes `bytes` and flushes them to the disk.
  // Throws IoError on failure.
  virtual void WriteNewFile(const std::string& path, std::string_view bytes) = 0;

  // Replaces `target` by `source` in one step (the old target stays whole if
  // this fails). Throws IoError on failure.
  virtual void ReplaceFile(const std::string& source, const std::string& target) = 0;

  // Creates a new, empty file in the folder of `beside` under a name of its
  // own that no file there had: it is created exclusively, so it is never an
  // existing file of the user's. Returns its path. Throws IoError on failure.
  virtual std::string CreateUniqueFile(const std::string& beside) = 0;

  // Deletes a file; failures are ignored.
  virtual void RemoveFile(const std::string& path) = 0;

  virtual bool FileExists(const std::string& path) = 0;

  // The short (8.3) form of the existing file or folder `utf8_path` (UTF-8,
  // as a file dialog gives it), in Windows-1252 bytes; nullopt when the file
  // system has no short form whose every character Windows-1252 can hold.
  virtual std::optional<std::string> ShortPath(const std::string& utf8_path) = 0;
};

}  // namespace talvoro::platform
