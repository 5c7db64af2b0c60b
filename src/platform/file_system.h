// File access as the core sees it. Paths are the program's own bytes
// (Windows-1252, as stored in the settings table); the platform converts them
// at the OS boundary.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace talvoro::platform {

class IFileSystem {
 public:
  virtual ~IFileSystem() = default;

  // The whole content of a file, or nothing when it cannot be opened.
  virtual std::optional<std::string> ReadFile(const std::string& path) = 0;

  // Creates or truncates `path`, writes `bytes` and flushes them to the disk.
  // Throws IoError on failure.
  virtual void WriteNewFile(const std::string& path, std::string_view bytes) = 0;

  // Replaces `target` by `source` in one step (the old target stays whole if
  // this fails). Throws IoError on failure.
  virtual void ReplaceFile(const std::string& source, const std::string& target) = 0;

  // Deletes a file; failures are ignored.
  virtual void RemoveFile(const std::string& path) = 0;

  virtual bool FileExists(const std::string& path) = 0;
};

}  // namespace talvoro::platform
