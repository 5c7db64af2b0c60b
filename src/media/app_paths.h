// The programs the media tabs and the launcher start: where each path is
// stored, its "..." chooser and label, and the start step that runs it.
#pragma once

#include <string>

#include "config/configuration.h"
#include "config/file_dialogs.h"
#include "dispatch/slot_map.h"
#include "media/start_step.h"
#include "platform/dialogs.h"
#include "platform/file_system.h"
#include "platform/programs.h"
#include "ui/forms/forms.h"

namespace talvoro::media {

inline constexpr const char* kExeFilter = "Fichiers EXE (*.EXE)|*.EXE";
inline constexpr const char* kWarningCaption = "Avertissement";

// What the program start routine is given for a stored path. The file is
// named twice: as the application, so that Windows runs that very file, and
// quoted as the command line (the program's first argument), so that no
// other file the path's blanks could cut out ("C:\Program.exe" for a path
// under "C:\Program Files\") is ever run instead.
struct StartCommand {
  std::string application;   // the stored path without its quotes; "" when it names nothing
  std::string command_line;  // the application, quoted
};
StartCommand CommandFor(const std::string& stored_path);

// The shared open-file dialog (1..7) of a path slot's chooser.
int DialogOf(int path_slot);
// The warning shown when the program of a path slot does not start.
std::string FailureMessage(int path_slot);
// The warning shown when a chosen path cannot be kept (UTF-8 path).
std::string RefusalMessage(const std::string& utf8_path);

class AppPaths final : public IStartStep {
 public:
  AppPaths(config::Configuration& config, ui::MainForm& form, config::FileDialogs& file_dialogs,
           platform::IDialogs& dialogs, platform::IPrograms& programs, platform::IFileSystem& files)
      : config_(config),
        form_(form),
        file_dialogs_(file_dialogs),
        dialogs_(dialogs),
        programs_(programs),
        files_(files) {}

  // Every "..." chooser of the slot map runs Choose on a click.
  void Wire();

  // Asks for an executable with the slot's shared dialog; a chosen file goes
  // to the label, then to the slot, and the programme file is saved. A
  // cancelled dialog changes none of them; a path the programme file cannot
  // keep is refused with a warning and changes none of them either. The
  // dialog's folder, when it is the dialog folder setting, is saved after.
  void Choose(const dispatch::PathSlot& path);

  // The start step of the nine tabs with one path slot.
  bool StartApplication(int tab) override;
  // The start step of the launcher's entry 1..5.
  bool StartLauncherEntry(int entry);

 private:
  bool Start(const dispatch::PathSlot& path);
  // Stores the chosen file (UTF-8) in the slot and its label, and saves.
  void Keep(const dispatch::PathSlot& path, const std::string& chosen);

  config::Configuration& config_;
  ui::MainForm& form_;
  config::FileDialogs& file_dialogs_;
  platform::IDialogs& dialogs_;
  platform::IPrograms& programs_;
  platform::IFileSystem& files_;
};

}  // namespace talvoro::media
