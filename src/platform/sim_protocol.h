// The simulated receiver bus and its remote control, irsim.exe.
//
// When Talvoro_IR.exe runs with /simulate, its HID backend also lists
// simulated devices and serves requests on a named pipe:
//
//   \\.\pipe\TalvoroIR-sim-<session>     <session>: the Windows session id of
//                                        the process, in decimal
//
// One request per connection. The client writes one line of ASCII text ended
// by "\n"; the server answers with one line ended by "\n" and the client then
// closes the pipe. Fields are separated by single spaces.
//
//   PLUG <vid> <pid> <length>   vid, pid: 4 hex digits; length: decimal input
//                               report length including the report id byte.
//                               Answers "OK <n>" with the new device number
//                               once the program has rescanned its devices
//                               and seen the new one.
//   UNPLUG [<n>]                without <n>: every simulated device. Answers
//                               "OK" once the program has rescanned and
//                               dropped it; the program may end right after
//                               (unplugging the receiver ends it), so a pipe
//                               closed without an answer counts as success.
//   SEND <n> <code> <repeat>    <n> 0: the last device plugged that is still
//                               plugged; <code>: decimal 0..65535, sent
//                               <repeat> times as the report 00 HI LO.
//   REPORT <n> <byte>...        one raw report, hex bytes, report id first.
//
// SEND and REPORT answer "OK" only when the program has finished handling
// every report (its read thread asked for the next one), or when the device
// went away after reading it.
//
// Errors answer "ERR <kind> <message>", kind being one of NODEV (no such
// simulated device), BADARG (malformed request), UNREAD (the program never
// read the report, e.g. it did not take the device), TIMEOUT (it read the
// report but did not finish handling it in time) and ENDING (the program is
// shutting down).
//
// Simulated devices have interface paths "\\?\sim#hid#<n>".
//
// Header-only on purpose: irsim.exe is built from its own sources alone.
#pragma once

#include <charconv>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace talvoro::platform::sim {

inline constexpr std::string_view kPipeNamePrefix = "\\\\.\\pipe\\TalvoroIR-sim-";
inline constexpr std::string_view kDevicePathPrefix = "\\\\?\\sim#hid#";

inline constexpr std::uint16_t kDefaultVendorId = 0x04D8;
inline constexpr std::uint16_t kDefaultProductId = 0x0001;
inline constexpr std::uint16_t kDefaultReportLength = 3;
inline constexpr std::uint16_t kMaxReportLength = 1024;
inline constexpr int kMaxRepeat = 100000;

enum class Command { Plug, Unplug, Send, Report };

struct Request {
  Command command = Command::Plug;
  int device = 0;  // 0: the last one plugged (SEND, REPORT) or every one (UNPLUG)
  std::uint16_t vendor_id = kDefaultVendorId;
  std::uint16_t product_id = kDefaultProductId;
  std::uint16_t report_length = kDefaultReportLength;
  std::uint16_t code = 0;
  int repeat = 1;
  std::vector<std::uint8_t> bytes;  // REPORT only

  bool operator==(const Request&) const = default;
};

enum class Status { Ok, NoDevice, BadArgument, NotRead, Timeout, Ending };

struct Reply {
  Status status = Status::Ok;
  std::string text;  // Ok: the value, if any; otherwise the message

  bool operator==(const Reply&) const = default;
};

inline std::string PipeName(unsigned long session_id) {
  return std::string(kPipeNamePrefix) + std::to_string(session_id);
}

inline std::string DevicePath(int number) {
  return std::string(kDevicePathPrefix) + std::to_string(number);
}

// ---------------------------------------------------------------------------
// Number parsing shared by the pipe protocol and irsim's command line.

namespace detail {

inline std::vector<std::string_view> SplitWords(std::string_view line) {
  std::vector<std::string_view> words;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    std::size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
    if (i > start) words.push_back(line.substr(start, i - start));
  }
  return words;
}

inline bool HasHexPrefix(std::string_view text) {
  return text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
}

// Whole text as a number in `base`, within [min, max]; no sign, no spaces.
inline std::optional<long> ParseNumber(std::string_view text, int base, long min, long max) {
  if (text.empty() || text.size() > 12 || text[0] == '-') return std::nullopt;
  long value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  if (value < min || value > max) return std::nullopt;
  return value;
}

inline std::optional<long> ParseDecimal(std::string_view text, long min, long max) {
  return ParseNumber(text, 10, min, max);
}

// Hex with or without "0x".
inline std::optional<long> ParseHex(std::string_view text, long min, long max) {
  if (HasHexPrefix(text)) text.remove_prefix(2);
  return ParseNumber(text, 16, min, max);
}

// Decimal, or hex with "0x".
inline std::optional<long> ParseCode(std::string_view text) {
  if (HasHexPrefix(text)) return ParseNumber(text.substr(2), 16, 0, 0xFFFF);
  return ParseDecimal(text, 0, 0xFFFF);
}

inline std::string Hex(unsigned value, int digits) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out(static_cast<std::size_t>(digits), '0');
  for (int i = digits - 1; i >= 0; --i, value >>= 4)
    out[static_cast<std::size_t>(i)] = kDigits[value & 0xF];
  return out;
}

inline const char* StatusWord(Status status) {
  switch (status) {
    case Status::Ok:
      return "OK";
    case Status::NoDevice:
      return "NODEV";
    case Status::BadArgument:
      return "BADARG";
    case Status::NotRead:
      return "UNREAD";
    case Status::Timeout:
      return "TIMEOUT";
    case Status::Ending:
      return "ENDING";
  }
  return "ERR";
}

}  // namespace detail

// ---------------------------------------------------------------------------
// Requests on the pipe.

inline std::string FormatRequest(const Request& request) {
  using detail::Hex;
  switch (request.command) {
    case Command::Plug:
      return "PLUG " + Hex(request.vendor_id, 4) + " " + Hex(request.product_id, 4) + " " +
             std::to_string(request.report_length);
    case Command::Unplug:
      return request.device > 0 ? "UNPLUG " + std::to_string(request.device) : "UNPLUG";
    case Command::Send:
      return "SEND " + std::to_string(request.device) + " " + std::to_string(request.code) + " " +
             std::to_string(request.repeat);
    case Command::Report: {
      std::string line = "REPORT " + std::to_string(request.device);
      for (std::uint8_t byte : request.bytes) line += " " + Hex(byte, 2);
      return line;
    }
  }
  return {};
}

inline std::optional<Request> ParseRequest(std::string_view line, std::string& error) {
  using namespace detail;
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
  auto words = SplitWords(line);
  if (words.empty()) {
    error = "empty request";
    return std::nullopt;
  }
  Request request;
  const std::string_view verb = words[0];
  const std::size_t args = words.size() - 1;
  auto device = [&](std::size_t index) { return ParseDecimal(words[index], 0, 1000000); };

  if (verb == "PLUG" && args == 3) {
    request.command = Command::Plug;
    auto vid = ParseHex(words[1], 0, 0xFFFF);
    auto pid = ParseHex(words[2], 0, 0xFFFF);
    auto length = ParseDecimal(words[3], 1, kMaxReportLength);
    if (vid && pid && length) {
      request.vendor_id = static_cast<std::uint16_t>(*vid);
      request.product_id = static_cast<std::uint16_t>(*pid);
      request.report_length = static_cast<std::uint16_t>(*length);
      return request;
    }
  } else if (verb == "UNPLUG" && args <= 1) {
    request.command = Command::Unplug;
    if (args == 0) return request;
    if (auto n = device(1)) {
      request.device = static_cast<int>(*n);
      return request;
    }
  } else if (verb == "SEND" && args == 3) {
    request.command = Command::Send;
    auto n = device(1);
    auto code = ParseDecimal(words[2], 0, 0xFFFF);
    auto repeat = ParseDecimal(words[3], 1, kMaxRepeat);
    if (n && code && repeat) {
      request.device = static_cast<int>(*n);
      request.code = static_cast<std::uint16_t>(*code);
      request.repeat = static_cast<int>(*repeat);
      return request;
    }
  } else if (verb == "REPORT" && args >= 2 && args - 1 <= kMaxReportLength) {
    request.command = Command::Report;
    auto n = device(1);
    if (n) {
      request.device = static_cast<int>(*n);
      for (std::size_t i = 2; i < words.size(); ++i) {
        auto byte = ParseHex(words[i], 0, 0xFF);
        if (!byte) {
          error = "malformed request: " + std::string(line);
          return std::nullopt;
        }
        request.bytes.push_back(static_cast<std::uint8_t>(*byte));
      }
      return request;
    }
  }
  error = "malformed request: " + std::string(line);
  return std::nullopt;
}

// ---------------------------------------------------------------------------
// Replies on the pipe.

inline std::string FormatReply(const Reply& reply) {
  if (reply.status == Status::Ok) return reply.text.empty() ? "OK" : "OK " + reply.text;
  std::string message = reply.text;
  for (char& c : message) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  return std::string("ERR ") + detail::StatusWord(reply.status) + " " + message;
}

inline std::optional<Reply> ParseReply(std::string_view line) {
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
  if (line == "OK") return Reply{};
  if (line.starts_with("OK ")) return Reply{Status::Ok, std::string(line.substr(3))};
  if (!line.starts_with("ERR ")) return std::nullopt;
  line.remove_prefix(4);
  const std::size_t space = line.find(' ');
  const std::string_view kind = line.substr(0, space);
  const std::string text =
      space == std::string_view::npos ? "" : std::string(line.substr(space + 1));
  for (Status status :
       {Status::NoDevice, Status::BadArgument, Status::NotRead, Status::Timeout, Status::Ending}) {
    if (kind == detail::StatusWord(status)) return Reply{status, text};
  }
  return std::nullopt;
}

// ---------------------------------------------------------------------------
// irsim's command line (arguments after the program name).

inline constexpr std::string_view kUsage =
    "usage: irsim plug [VID PID [LENGTH]]        VID, PID hex (default 04D8 0001), LENGTH decimal "
    "incl. report id (default 3)\n"
    "       irsim unplug [N]                     without N: every simulated device\n"
    "       irsim send CODE [REPEAT] [--device N] CODE decimal or 0x hex, REPEAT default 1\n"
    "       irsim report BYTE... [--device N]    hex bytes, report id first\n";

inline std::optional<Request> ParseCommandLine(const std::vector<std::string>& args,
                                               std::string& error) {
  using namespace detail;
  if (args.empty()) {
    error = "missing command";
    return std::nullopt;
  }
  const std::string& verb = args[0];
  std::vector<std::string_view> rest;
  Request request;
  // "--device N" may stand anywhere after the command word of send and report.
  for (std::size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "--device" && (verb == "send" || verb == "report")) {
      if (i + 1 >= args.size()) {
        error = "--device needs a device number";
        return std::nullopt;
      }
      auto n = ParseDecimal(args[i + 1], 1, 1000000);
      if (!n) {
        error = "bad device number: " + args[i + 1];
        return std::nullopt;
      }
      request.device = static_cast<int>(*n);
      ++i;
    } else {
      rest.push_back(args[i]);
    }
  }

  if (verb == "plug") {
    request.command = Command::Plug;
    if (rest.size() == 1 || rest.size() > 3) {
      error = "plug takes no argument, VID PID, or VID PID LENGTH";
      return std::nullopt;
    }
    if (rest.size() >= 2) {
      auto vid = ParseHex(rest[0], 0, 0xFFFF);
      auto pid = ParseHex(rest[1], 0, 0xFFFF);
      if (!vid || !pid) {
        error =
            "bad vendor or product id (hex 0000..FFFF): " + std::string(!vid ? rest[0] : rest[1]);
        return std::nullopt;
      }
      request.vendor_id = static_cast<std::uint16_t>(*vid);
      request.product_id = static_cast<std::uint16_t>(*pid);
    }
    if (rest.size() == 3) {
      auto length = ParseDecimal(rest[2], 1, kMaxReportLength);
      if (!length) {
        error = "bad report length (1.." + std::to_string(kMaxReportLength) +
                "): " + std::string(rest[2]);
        return std::nullopt;
      }
      request.report_length = static_cast<std::uint16_t>(*length);
    }
    return request;
  }
  if (verb == "unplug") {
    request.command = Command::Unplug;
    if (rest.size() > 1) {
      error = "unplug takes at most one device number";
      return std::nullopt;
    }
    if (rest.size() == 1) {
      auto n = ParseDecimal(rest[0], 1, 1000000);
      if (!n) {
        error = "bad device number: " + std::string(rest[0]);
        return std::nullopt;
      }
      request.device = static_cast<int>(*n);
    }
    return request;
  }
  if (verb == "send") {
    request.command = Command::Send;
    if (rest.empty() || rest.size() > 2) {
      error = "send takes CODE and an optional REPEAT";
      return std::nullopt;
    }
    auto code = ParseCode(rest[0]);
    if (!code) {
      error = "bad code (0..65535 or 0x0000..0xFFFF): " + std::string(rest[0]);
      return std::nullopt;
    }
    request.code = static_cast<std::uint16_t>(*code);
    if (rest.size() == 2) {
      auto repeat = ParseDecimal(rest[1], 1, kMaxRepeat);
      if (!repeat) {
        error = "bad repeat count (1.." + std::to_string(kMaxRepeat) + "): " + std::string(rest[1]);
        return std::nullopt;
      }
      request.repeat = static_cast<int>(*repeat);
    }
    return request;
  }
  if (verb == "report") {
    request.command = Command::Report;
    if (rest.empty() || rest.size() > kMaxReportLength) {
      error = "report takes 1.." + std::to_string(kMaxReportLength) + " hex bytes";
      return std::nullopt;
    }
    for (std::string_view word : rest) {
      auto byte = ParseHex(word, 0, 0xFF);
      if (!byte) {
        error = "bad byte (hex 00..FF): " + std::string(word);
        return std::nullopt;
      }
      request.bytes.push_back(static_cast<std::uint8_t>(*byte));
    }
    return request;
  }
  error = "unknown command: " + verb;
  return std::nullopt;
}

}  // namespace talvoro::platform::sim
