#include "app/single_instance.h"

#include <algorithm>
#include <cstring>

namespace talvoro::app {

HandOver HandOver::FromCommandLine(const std::vector<std::string>& command_line) {
  HandOver block;
  // The count is that of the arguments after the program path, as far as the
  // table holds them.
  const std::size_t stored = std::min(command_line.size(), kMaxArguments);
  block.count = static_cast<std::int32_t>(stored == 0 ? 0 : stored - 1);
  for (std::size_t i = 0; i < command_line.size() && i < kMaxArguments; ++i)
    block.arguments.push_back(command_line[i].substr(0, kStringSize - 1));
  return block;
}

std::vector<std::uint8_t> HandOver::Encode() const {
  std::vector<std::uint8_t> block(kBlockSize, 0);
  const auto count_bits = static_cast<std::uint32_t>(count);
  for (int i = 0; i < 4; ++i) block[i] = static_cast<std::uint8_t>(count_bits >> (8 * i));
  for (std::size_t i = 0; i < arguments.size() && i < kMaxArguments; ++i) {
    std::uint8_t* slot = block.data() + 4 + i * kStringSize;
    const std::size_t length = std::min(arguments[i].size(), kStringSize - 1);
    slot[0] = static_cast<std::uint8_t>(length);
    std::memcpy(slot + 1, arguments[i].data(), length);
  }
  return block;
}

std::optional<HandOver> HandOver::Decode(const void* data, std::size_t size) {
  // Any process can send WM_COPYDATA to our window: trust nothing but a block
  // of the exact size with a count that fits the table.
  if (data == nullptr || size != kBlockSize) return std::nullopt;
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  std::uint32_t count_bits = 0;
  for (int i = 0; i < 4; ++i) count_bits |= std::uint32_t{bytes[i]} << (8 * i);
  const auto count = static_cast<std::int32_t>(count_bits);
  if (count < 0 || count > static_cast<std::int32_t>(kMaxArguments)) return std::nullopt;
  HandOver block;
  block.count = count;
  const std::int32_t stored = std::min<std::int32_t>(count + 1, kMaxArguments);
  for (std::int32_t i = 0; i < stored; ++i) {
    const std::uint8_t* slot = bytes + 4 + i * kStringSize;
    // A length byte is at most 255, so the string always lies inside its slot.
    block.arguments.emplace_back(reinterpret_cast<const char*>(slot + 1), slot[0]);
  }
  return block;
}

SingleInstanceGuard::SingleInstanceGuard(platform::ISingleInstance& instance,
                                         platform::IRegistry& registry)
    : instance_(instance), registry_(registry) {}

void SingleInstanceGuard::Construct() {
  file_name_ = instance_.ExecutableFileName();
  arguments_ = HandOver::FromCommandLine(instance_.CommandLine());
  first_copy_window_ = registry_.ReadUserDword(RegistryKey(), RegistryValue()).value_or(0);
  already_running_ = instance_.CreateMutexAlreadyExists(MutexName());
}

bool SingleInstanceGuard::AfterLoad() {
  if (already_running_) {
    instance_.SendCopyData(first_copy_window_, arguments_.Encode());
    return false;
  }
  registry_.WriteUserDword(RegistryKey(), RegistryValue(), instance_.OwnMessageWindow());
  return true;
}

bool SingleInstanceGuard::Receive(const void* data, std::size_t size) {
  auto block = HandOver::Decode(data, size);
  if (!block) return false;
  arguments_ = std::move(*block);
  return true;
}

void SingleInstanceGuard::Finish() {
  if (!already_running_) registry_.DeleteUserKey(RegistryKey());
}

}  // namespace talvoro::app
