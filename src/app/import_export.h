// Saving the whole programme table to a configuration file (.GML) of the
// user's choice, and loading one back: to keep several remotes' set-ups, or
// to move one to another computer. The settings are not part of it.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "config/configuration.h"
#include "config/file_dialogs.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/file_system.h"

namespace talvoro::app {

inline constexpr const char* kConfigurationFilter = "GML (*.GML)|*.GML";
inline constexpr const char* kConfigurationExtension = "GML";
inline constexpr const char* kOverwriteQuestion =
    "Le nom du fichier existe déjà. Voulez-vous l'écraser ?";

// The name an export proposes at `now`: "Talvoro_" and day, month, year,
// hour, minute and second joined by "_", the minute and second with two
// digits ("Talvoro_7_12_2026_9_05_07").
std::string ExportFileName(const platform::DateTime& now);

// The path the file system is given for a file a save dialog chose (UTF-8),
// which need not exist yet: its own bytes when Windows-1252 holds it;
// otherwise its folder's short form followed by the file name, when
// Windows-1252 holds the name; nullopt when neither.
std::optional<std::string> PathToWrite(const std::string& utf8_path, platform::IFileSystem& files);

class ImportExport {
 public:
  ImportExport(config::Configuration& config, config::FileDialogs& file_dialogs,
               platform::IDialogs& dialogs, platform::IFileSystem& files, platform::IClock& clock,
               std::function<void()> apply)
      : config_(config),
        file_dialogs_(file_dialogs),
        dialogs_(dialogs),
        files_(files),
        clock_(clock),
        apply_(std::move(apply)) {}

  // Asks where to save under a name made from the time now, asks before
  // replacing an existing file, and writes the 300 slots to it safely (a
  // failed write leaves the old file whole, and no temporary file). Cancelling
  // writes nothing. The dialog's folder is saved in the settings afterwards.
  void Export();

  // Asks for a file and loads it into the programme table; then, also when
  // the dialog was cancelled, saves the table and applies it to the window.
  // A file that cannot be read is reported (IoError) and changes nothing; a
  // file too large or holding binary data is refused with a warning and
  // changes nothing either. A file whose levels are no numbers is kept,
  // saved, and stops the apply step (ConversionError). The dialog's folder
  // is saved in the settings afterwards.
  void Import();

 private:
  // The export's write to the file the dialog chose (UTF-8).
  void Write(const std::string& chosen);
  // The import's work once its dialog has ended.
  void Load(const std::optional<std::string>& chosen);

  config::Configuration& config_;
  config::FileDialogs& file_dialogs_;
  platform::IDialogs& dialogs_;
  platform::IFileSystem& files_;
  platform::IClock& clock_;
  std::function<void()> apply_;
};

}  // namespace talvoro::app
