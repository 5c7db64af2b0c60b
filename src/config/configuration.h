// The settings table (entries 1..30) and the programme table (slots 0..299),
// and their files in the program directory.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace talvoro::config {

inline constexpr int kSettingsCount = 30;
inline constexpr int kProgrammeCount = 300;

inline constexpr const char* kSettingsFileName = "parametres.inf";
inline constexpr const char* kProgrammeFileName = "programme_IR.inf";

// Settings entries in use.
enum SettingsEntry : int {
  kSerialPort = 1,
  kSerialFirstUse = 2,
  kStartup = 3,  // "LANCE_ON" / "LANCE_OFF"
  kDialogFolder = 5,
  kOsdSwitch = 6,    // "OSD_ON" / "OSD_OFF"
  kOsdPosition = 7,  // "POSI_OSD_.."
  kProgramDirectory = 9,
  kRepeatFilter = 10,     // "ANTIREPET_ON": a held button's repeats run only repeatable actions
  kOsdActiveScreen = 11,  // "OSD_ECRAN_ACTIF": the OSD shows on the monitor of the window in front
};

class SettingsTable {
 public:
  // Entries are numbered 1..30.
  std::string& operator[](int entry) { return values_.at(entry - 1); }
  const std::string& operator[](int entry) const { return values_.at(entry - 1); }
  std::vector<std::string> Lines() const { return {values_.begin(), values_.end()}; }
  void Assign(const std::vector<std::string>& lines);

 private:
  std::array<std::string, kSettingsCount> values_;
};

class ProgrammeTable {
 public:
  std::string& operator[](int slot) { return values_.at(slot); }
  const std::string& operator[](int slot) const { return values_.at(slot); }
  std::vector<std::string> Lines() const { return {values_.begin(), values_.end()}; }
  void Assign(const std::vector<std::string>& lines);
  bool operator==(const ProgrammeTable&) const = default;

 private:
  std::array<std::string, kProgrammeCount> values_;
};

// The table a fresh installation starts from: Volumes off, general volume
// selected at 60, sound on, balance centred, full wave level, every tab off,
// no code learned.
ProgrammeTable FreshProgramme();

// The temporary file a save of one of the program's own files (`path`)
// writes first, beside it; start-up removes those an ended copy left.
std::string TemporaryPath(const std::string& path);

// Writes `bytes` to `path`, one of the program's own files, so that a
// failure at any point leaves the previous file whole: the temporary file
// TemporaryPath(path) is written and flushed, then replaces the old file in
// one step; on failure it is removed. Throws IoError.
void SaveFileSafely(platform::IFileSystem& files, const std::string& path,
                    const std::string& bytes);

// The same for a file of the user's choice (an export): its folder may hold
// anything, a file named like TemporaryPath(path) too, so the temporary file
// is a new one of a name of its own, created beside `path`, and removed on
// every failure. Throws IoError.
void SaveChosenFileSafely(platform::IFileSystem& files, const std::string& path,
                          const std::string& bytes);

// The two tables and their files.
class Configuration {
 public:
  explicit Configuration(platform::IFileSystem& files) : files_(files) {}

  SettingsTable& settings() { return settings_; }
  ProgrammeTable& programme() { return programme_; }
  const SettingsTable& settings() const { return settings_; }
  const ProgrammeTable& programme() const { return programme_; }

  // Program directory + "\" + name (the directory already ends with a
  // separator: the doubled separator is accepted by the file system).
  std::string FilePath(const std::string& name) const;

  // Removes the temporary files an ended copy may have left (a copy killed
  // between writing one and putting it in place), then reads parametres.inf
  // from `executable_directory`, sets entry 9, saves the settings, reads
  // programme_IR.inf. A file that is missing or fails to open
  // leaves its table empty, silently; a missing programme file gives the
  // fresh table, saved at once. Every step runs whatever failed before it:
  // the first failure (a file that opened but could not be read, a save
  // error) is thrown as IoError once loading is complete, entry 9 set.
  void Load(const std::string& executable_directory);

  void SaveSettings();
  void SaveProgramme();

 private:
  platform::IFileSystem& files_;
  SettingsTable settings_;
  ProgrammeTable programme_;
};

}  // namespace talvoro::config
