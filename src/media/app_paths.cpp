#include "media/app_paths.h"

#include <stdexcept>

#include "config/text.h"

namespace talvoro::media {
namespace {

// The chooser's shared dialog and the name the failure message gives the
// program, by path slot.
struct PathRow {
  int slot;
  int dialog;
  const char* name;
};

constexpr PathRow kRows[] = {
    {50, 1, "Winamp"},
    {70, 2, "Power DVD"},
    {90, 3, "Win DVD"},
    {110, 4, "MSI DVD"},
    {130, 5, "PCTV Pinnacle"},
    {150, 6, "Microsoft PowerPoint"},
    {170, 7, "K!TV XP"},
    {200, 2, "RealOne Player"},
    {235, 7, "Prog DVB"},
    {221, 2, "l'application n°1"},
    {223, 2, "l'application n°2"},
    {225, 2, "l'application n°3"},
    {227, 2, "l'application n°4"},
    {229, 2, "l'application n°5"},
};

const PathRow& RowOf(int path_slot) {
  for (const PathRow& row : kRows)
    if (row.slot == path_slot) return row;
  throw std::out_of_range("not a path slot: " + std::to_string(path_slot));
}

}  // namespace

StartCommand CommandFor(const std::string& stored_path) {
  // Quotes cannot be part of a Windows file name: any in the slot (a path
  // written in by hand, or quoted already) only delimit it.
  StartCommand command;
  for (char c : stored_path)
    if (c != '"') command.application.push_back(c);
  if (!command.application.empty()) command.command_line = '"' + command.application + '"';
  return command;
}

int DialogOf(int path_slot) {
  return RowOf(path_slot).dialog;
}

std::string FailureMessage(int path_slot) {
  return std::string("Le chemin de ") + RowOf(path_slot).name + " n'est pas valide !";
}

std::string RefusalMessage(const std::string& utf8_path) {
  return "Le chemin « " + utf8_path +
         " » contient des caractères que Talvoro IR ne peut pas enregistrer, et le disque "
         "n'en donne pas de nom court.\nLe chemin précédent est conservé : renommez le "
         "fichier ou son dossier en caractères occidentaux, ou choisissez un autre fichier.";
}

void AppPaths::Wire() {
  for (const dispatch::TabSpec& tab : dispatch::Tabs())
    for (const dispatch::PathSlot& path : tab.paths)
      form_.OnClick(path.chooser, [this, &path] { Choose(path); });
}

void AppPaths::Choose(const dispatch::PathSlot& path) {
  const std::optional<std::string> chosen = file_dialogs_.Open(DialogOf(path.slot), kExeFilter);
  file_dialogs_.SaveFolderAfter([&] {
    if (chosen) Keep(path, *chosen);
  });
}

void AppPaths::Keep(const dispatch::PathSlot& path, const std::string& chosen) {
  // A path stored with '?' in place of the characters Windows-1252 lacks
  // would name no file: its short form is kept instead, or nothing.
  const std::optional<std::string> kept = config::ProgramPath(chosen, files_);
  if (!kept) {
    dialogs_.MessageBox(RefusalMessage(chosen), kWarningCaption, platform::BoxIcon::Warning,
                        platform::BoxButtons::Ok);
    return;
  }
  form_.SetText(path.label, path.prefix + config::AnsiToUtf8(*kept));
  config_.programme()[path.slot] = *kept;
  config_.SaveProgramme();
}

bool AppPaths::StartApplication(int tab) {
  const dispatch::TabSpec& row = dispatch::Tab(tab);
  if (row.paths.size() != 1) throw std::invalid_argument("tab without one program path");
  return Start(row.paths.front());
}

bool AppPaths::StartLauncherEntry(int entry) {
  const auto paths = dispatch::Tab(dispatch::kTabLauncher).paths;
  if (entry < 1 || entry > static_cast<int>(paths.size()))
    throw std::out_of_range("launcher entry");
  return Start(paths[static_cast<std::size_t>(entry - 1)]);
}

bool AppPaths::Start(const dispatch::PathSlot& path) {
  const StartCommand command = CommandFor(config_.programme()[path.slot]);
  if (!command.application.empty() &&
      programs_.StartProgram(command.application, command.command_line))
    return true;
  dialogs_.Beep();
  dialogs_.ShowForegroundWarning(FailureMessage(path.slot), kWarningCaption);
  return false;
}

}  // namespace talvoro::media
