// One running copy per executable name. A second copy hands its command line
// to the first over WM_COPYDATA and ends.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "platform/single_instance.h"

namespace talvoro::app {

// The hand-over block: a signed 32-bit little-endian argument count, then 11
// short strings of 256 bytes (a length byte and up to 255 characters): the
// program path and up to ten arguments.
struct HandOver {
  static constexpr std::size_t kMaxArguments = 11;
  static constexpr std::size_t kStringSize = 256;
  static constexpr std::size_t kBlockSize = 4 + kMaxArguments * kStringSize;  // 2820

  std::int32_t count = 0;              // arguments after the program path
  std::vector<std::string> arguments;  // the path and arguments: at most 11, each at most 255 bytes

  // The program path and arguments, cut to 11 strings of 255 bytes.
  static HandOver FromCommandLine(const std::vector<std::string>& command_line);
  std::vector<std::uint8_t> Encode() const;
  // Accepts only a block of exactly 2820 bytes whose count is 0..11.
  static std::optional<HandOver> Decode(const void* data, std::size_t size);
};

class SingleInstanceGuard {
 public:
  SingleInstanceGuard(platform::ISingleInstance& instance, platform::IRegistry& registry);

  // Construction: argument table, first copy's window from the registry, the
  // named mutex.
  void Construct();
  // Once the window exists. A second copy sends its hand-over block and
  // returns false (it must end); the first copy registers its message window.
  bool AfterLoad();
  // A block received from another copy; true when it was well-formed (the
  // arguments are then stored).
  bool Receive(const void* data, std::size_t size);
  // End of the program: the first copy removes its registry key.
  void Finish();

  bool already_running() const { return already_running_; }
  const HandOver& arguments() const { return arguments_; }
  std::string RegistryKey() const { return "\\Software\\RunOne" + file_name_; }
  std::string RegistryValue() const { return file_name_ + "RunOne"; }
  std::string MutexName() const { return "RunOneMutex" + file_name_; }

 private:
  platform::ISingleInstance& instance_;
  platform::IRegistry& registry_;
  std::string file_name_;
  bool already_running_ = false;
  std::uint32_t first_copy_window_ = 0;
  HandOver arguments_;
};

}  // namespace talvoro::app
