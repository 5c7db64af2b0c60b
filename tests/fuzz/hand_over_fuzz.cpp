// Arbitrary WM_COPYDATA blocks through the single-instance guard. Any process
// of the session can send one to the first copy's message window, so the
// decoder must accept only well-formed blocks and never read outside the
// block it was given. Checks, for the bytes as they come (any size) and for a
// block of the exact size made from them (so that the fuzzer reaches the
// decoding itself):
//   - a block is accepted only at 2820 bytes with a count of 0..11, and then
//     holds min(count + 1, 11) strings of at most 255 bytes, each the bytes
//     its slot names;
//   - the guard stores exactly what it accepted and keeps its arguments when
//     it refuses a block;
//   - an accepted block encodes back to a block that decodes to the same.
// The tail of the input is also cut into a command line whose hand-over must
// survive the encode-decode round trip.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "app/single_instance.h"

namespace {

using talvoro::app::HandOver;
using talvoro::app::SingleInstanceGuard;

void Check(bool condition) {
  if (!condition) std::abort();
}

// Just enough of the OS for the guard: a fixed program, no registry.
class QuietInstance : public talvoro::platform::ISingleInstance {
 public:
  std::string ExecutableFileName() override { return "Talvoro_IR.exe"; }
  std::string ExecutableDirectory() override { return "C:\\Talvoro\\"; }
  std::vector<std::string> CommandLine() override { return {"C:\\Talvoro\\Talvoro_IR.exe"}; }
  bool CreateMutexAlreadyExists(const std::string&) override { return false; }
  std::uint32_t OwnMessageWindow() override { return 0x1234; }
  void SendCopyData(std::uint32_t, const std::vector<std::uint8_t>&) override {}
};

class QuietRegistry : public talvoro::platform::IRegistry {
 public:
  std::optional<std::uint32_t> ReadUserDword(const std::string&, const std::string&) override {
    return std::nullopt;
  }
  void WriteUserDword(const std::string&, const std::string&, std::uint32_t) override {}
  void DeleteUserKey(const std::string&) override {}
  std::optional<std::string> ReadUserString(const std::string&, const std::string&) override {
    return std::nullopt;
  }
  talvoro::platform::MachineValues ListMachineValues(const std::string&) override {
    return {};
  }
};

std::int32_t CountOf(const std::uint8_t* block) {
  std::uint32_t bits = 0;
  for (int i = 0; i < 4; ++i) bits |= std::uint32_t{block[i]} << (8 * i);
  return static_cast<std::int32_t>(bits);
}

// The decoder against the layout, and the guard against the decoder.
void CheckBlock(const std::uint8_t* data, std::size_t size) {
  const std::optional<HandOver> decoded = HandOver::Decode(data, size);
  const bool well_formed =
      size == HandOver::kBlockSize && CountOf(data) >= 0 && CountOf(data) <= 11;
  Check(decoded.has_value() == well_formed);

  QuietInstance instance;
  QuietRegistry registry;
  SingleInstanceGuard guard(instance, registry);
  guard.Construct();
  const HandOver own = guard.arguments();
  Check(guard.Receive(data, size) == well_formed);
  if (!decoded) {
    Check(guard.arguments().count == own.count && guard.arguments().arguments == own.arguments);
    return;
  }
  Check(guard.arguments().count == decoded->count &&
        guard.arguments().arguments == decoded->arguments);

  const std::size_t strings = std::min<std::size_t>(decoded->count + 1, HandOver::kMaxArguments);
  Check(decoded->arguments.size() == strings);
  for (std::size_t i = 0; i < strings; ++i) {
    const std::uint8_t* slot = data + 4 + i * HandOver::kStringSize;
    Check(decoded->arguments[i].size() == slot[0]);
    Check(std::memcmp(decoded->arguments[i].data(), slot + 1, slot[0]) == 0);
  }

  const std::vector<std::uint8_t> encoded = decoded->Encode();
  Check(encoded.size() == HandOver::kBlockSize);
  const std::optional<HandOver> again = HandOver::Decode(encoded.data(), encoded.size());
  Check(again && again->count == decoded->count && again->arguments == decoded->arguments);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CheckBlock(data, size);

  // The same bytes as a block of the exact size, zero-filled or cut.
  std::vector<std::uint8_t> block(HandOver::kBlockSize, 0);
  std::copy_n(data, std::min(size, block.size()), block.begin());
  CheckBlock(block.data(), block.size());

  // A second copy's command line, cut at zero bytes: what it sends is what
  // the first copy gets, each string cut to 255 bytes and at most 11 kept.
  std::vector<std::string> command_line;
  std::string word;
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == 0) {
      command_line.push_back(word);
      word.clear();
    } else {
      word.push_back(static_cast<char>(data[i]));
    }
  }
  command_line.push_back(word);
  const HandOver sent = HandOver::FromCommandLine(command_line);
  const std::vector<std::uint8_t> wire = sent.Encode();
  const std::optional<HandOver> received = HandOver::Decode(wire.data(), wire.size());
  Check(received.has_value());
  Check(received->count ==
        static_cast<std::int32_t>(std::min(command_line.size(), HandOver::kMaxArguments) - 1));
  Check(received->arguments.size() == std::min(command_line.size(), HandOver::kMaxArguments));
  for (std::size_t i = 0; i < received->arguments.size(); ++i)
    Check(received->arguments[i] == command_line[i].substr(0, 255));
  return 0;
}
