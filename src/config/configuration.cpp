#include "config/configuration.h"

#include <exception>

#include "config/io_error.h"
#include "config/line_file.h"
#include "config/programme_layout.h"

namespace talvoro::config {

void SettingsTable::Assign(const std::vector<std::string>& lines) {
  for (int i = 0; i < kSettingsCount; ++i) values_[i] = i < int(lines.size()) ? lines[i] : "";
}

void ProgrammeTable::Assign(const std::vector<std::string>& lines) {
  for (int i = 0; i < kProgrammeCount; ++i) values_[i] = i < int(lines.size()) ? lines[i] : "";
}

ProgrammeTable FreshProgramme() {
  ProgrammeTable table;
  for (int slot : kStateSlots) table[slot] = "OFF";
  table[kSlotVolumeSelection] = "VG";
  table[kSlotMasterVolume] = "60";
  table[kSlotMute] = "SON_ON";
  table[kSlotBalance] = "0";
  table[kSlotWaveVolume] = "255";
  return table;
}

std::string TemporaryPath(const std::string& path) {
  return path + ".tmp";
}

namespace {

void WriteThenReplace(platform::IFileSystem& files, const std::string& temporary,
                      const std::string& path, const std::string& bytes) {
  try {
    files.WriteNewFile(temporary, bytes);
    files.ReplaceFile(temporary, path);
  } catch (...) {
    files.RemoveFile(temporary);
    throw;
  }
}

}  // namespace

void SaveFileSafely(platform::IFileSystem& files, const std::string& path,
                    const std::string& bytes) {
  WriteThenReplace(files, TemporaryPath(path), path, bytes);
}

void SaveChosenFileSafely(platform::IFileSystem& files, const std::string& path,
                          const std::string& bytes) {
  WriteThenReplace(files, files.CreateUniqueFile(path), path, bytes);
}

std::string Configuration::FilePath(const std::string& name) const {
  return settings_[kProgramDirectory] + "\\" + name;
}

namespace {

// A file that was there but could not be read is reported; a missing one, or
// one that could not even be opened, leaves its table empty without a word.
void ThrowIfUnreadable(const platform::ReadError& error) {
  if (error.failure == platform::ReadFailure::CannotRead)
    throw IoError::FromFileError(error.error, error.system_code);
}

}  // namespace

void Configuration::Load(const std::string& executable_directory) {
  // Every step runs whatever failed before it, so that start-up can go on
  // with the program directory set (later saves go there); the first failure
  // is thrown once loading is complete.
  std::exception_ptr failure;
  auto keep_first = [&failure](auto&& step) {
    try {
      step();
    } catch (...) {
      if (!failure) failure = std::current_exception();
    }
  };

  // A copy ended between writing a temporary file and putting it in place
  // (killed, or the power cut) leaves the temporary file behind; the real
  // file is then whole, the old table or the new one. Only the first copy
  // of an executable loads; a copy of another name running from the same
  // directory keeps a temporary file it is writing open without sharing, so
  // removing that one fails and its save goes on.
  const std::string settings_path = executable_directory + "\\" + kSettingsFileName;
  const std::string programme_path = executable_directory + "\\" + kProgrammeFileName;
  files_.RemoveFile(TemporaryPath(settings_path));
  files_.RemoveFile(TemporaryPath(programme_path));

  if (auto bytes = files_.ReadFile(settings_path))
    settings_.Assign(ParseLines(*bytes, kSettingsCount));
  else
    keep_first([&] { ThrowIfUnreadable(bytes.error()); });
  settings_[kProgramDirectory] = executable_directory;

  // The settings are rewritten at once.
  bool settings_saved = false;
  keep_first([&] {
    SaveSettings();
    settings_saved = true;
  });

  if (auto bytes = files_.ReadFile(FilePath(kProgrammeFileName))) {
    programme_.Assign(ParseLines(*bytes, kProgrammeCount));
  } else if (bytes.error().failure == platform::ReadFailure::Missing) {
    programme_ = FreshProgramme();
    // Not when the directory just refused the settings: one report is enough.
    if (settings_saved) keep_first([&] { SaveProgramme(); });
  } else {
    keep_first([&] { ThrowIfUnreadable(bytes.error()); });
  }
  if (failure) std::rethrow_exception(failure);
}

void Configuration::SaveSettings() {
  SaveFileSafely(files_, FilePath(kSettingsFileName), FormatLines(settings_.Lines()));
}

void Configuration::SaveProgramme() {
  SaveFileSafely(files_, FilePath(kProgrammeFileName), FormatLines(programme_.Lines()));
}

}  // namespace talvoro::config
