// The few registry operations the program needs (current user's hive, and
// one listing of the machine's).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace talvoro::platform {

// The values of a key under HKEY_LOCAL_MACHINE.
struct MachineValues {
  enum class Outcome { Listed, MissingKey, Failed };
  Outcome outcome = Outcome::Listed;
  // Listed: each value's data as Windows-1252 bytes, in enumeration order,
  // as long as the registry says it is (a string's terminating NULs
  // included, when it counts them).
  std::vector<std::string> data;
  // Failed: the system's error code.
  std::uint32_t error_code = 0;
};

class IRegistry {
 public:
  virtual ~IRegistry() = default;
  // Reads a DWORD value of an existing key under HKEY_CURRENT_USER.
  virtual std::optional<std::uint32_t> ReadUserDword(const std::string& key,
                                                     const std::string& value) = 0;
  // Creates the key if needed and writes the value; failures are silent.
  virtual void WriteUserDword(const std::string& key, const std::string& value,
                              std::uint32_t data) = 0;
  // Deletes the whole key if it exists; failures are silent.
  virtual void DeleteUserKey(const std::string& key) = 0;
  // Reads a string value of an existing key under HKEY_CURRENT_USER (the key
  // is not created), in the program's own encoding (Windows-1252); nullopt
  // when the key or value is missing, is no string, or the encoding cannot
  // hold it.
  virtual std::optional<std::string> ReadUserString(const std::string& key,
                                                    const std::string& value) = 0;
  // Reads every value of the key `key` (no leading separator) under
  // HKEY_LOCAL_MACHINE.
  virtual MachineValues ListMachineValues(const std::string& key) = 0;
};

}  // namespace talvoro::platform
