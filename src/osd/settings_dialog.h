// The settings dialog (TForm3): starting with Windows (settings entry 3), the
// on-screen display switch (entry 6) and its position (entry 7), and the
// shortcut in the user's StartUp folder that starts the program at log-on;
// two more boxes, each stored as one entry: the filter of a held button's
// repeats (entry 10: "ANTIREPET_ON" ticked, "ANTIREPET_OFF" not) and the
// screen the display shows on (entry 11: "OSD_ECRAN_ACTIF", the monitor of
// the window in front, ticked; "OSD_ECRAN_PRINCIPAL", the primary screen,
// not).
//
// The dialog only changes the settings table; the main window writes it to
// parametres.inf the next time it is activated.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "config/configuration.h"
#include "platform/dialogs.h"
#include "platform/file_system.h"
#include "platform/registry.h"
#include "platform/shortcuts.h"
#include "ui/forms/forms.h"

namespace talvoro::osd {

// Where the user's shell folders are listed, and the value naming StartUp.
inline constexpr const char* kShellFoldersKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
inline constexpr const char* kStartupValue = "StartUp";
// The program the shortcut starts, in the program directory.
inline constexpr const char* kExecutableName = "Talvoro_IR.exe";

// The user's StartUp folder, ending with a separator: the "StartUp" value of
// the shell folders, or the folder the system knows when that value cannot
// be read (or is empty: the shortcut must never land at the root of a drive);
// nullopt when neither is known.
std::optional<std::string> StartupFolder(platform::IRegistry& registry,
                                         platform::IShortcuts& shortcuts);

// The link file for `target` in `folder` (which ends with a separator): the
// target's file name, with ".lnk" added unless it already ends so.
std::string LinkPath(const std::string& folder, const std::string& target);

class SettingsDialog {
 public:
  using OpenHelp = std::function<void(const std::string& topic)>;

  static constexpr const char* kHelpTopic = "rub10";
  static constexpr const char* kCreatedText =
      "Un raccourci a été créé dans le menu 'Demarrage' de Windows";
  static constexpr const char* kRemovedText =
      "Le raccourci a été supprimé dans le menu 'Demarrage' de Windows";
  static constexpr const char* kNotCreatedText =
      "Le raccourci n'a pas pu être créé dans le menu 'Demarrage' de Windows.";
  static constexpr const char* kNotRemovedText =
      "Le raccourci n'a pas pu être supprimé du menu 'Demarrage' de Windows.";

  SettingsDialog(ui::SettingsForm& form, config::Configuration& config,
                 platform::IRegistry& registry, platform::IShortcuts& shortcuts,
                 platform::IFileSystem& files, platform::IDialogs& dialogs, OpenHelp open_help);

  // Shows the dialog without making it modal; its controls keep the state
  // they had when it was last hidden.
  void Show();

  // The dialog became active: the controls take what the settings say. It
  // only ever ticks a box (its entry holds exactly its ticked value) and
  // checks a radio button; an entry holding none of its values changes
  // nothing.
  void Activate();
  // "&Ok" and the close box: entries 3, 6, 7, 10 and 11 from the controls (a
  // group with no button checked leaves its entry), then the dialog hides.
  void Store();
  // A press of any mouse button on the box: the shortcut is removed (box
  // ticked) or created (box unticked), the user is told, and the box follows
  // only when that worked.
  void PressBox();

  // The program the shortcut starts: the program directory's Talvoro_IR.exe.
  std::string ShortcutTarget() const;

 private:
  bool CreateShortcut();
  bool RemoveShortcut();
  void CheckRadio(ui::SettingsId id);

  ui::SettingsForm& form_;
  config::Configuration& config_;
  platform::IRegistry& registry_;
  platform::IShortcuts& shortcuts_;
  platform::IFileSystem& files_;
  platform::IDialogs& dialogs_;
  OpenHelp open_help_;
};

}  // namespace talvoro::osd
