// The main window's open-file dialogs. Like the window's own dialog
// components they are shared: a dialog that serves several buttons opens
// where any of them left it last. Dialog 1 is also the configuration
// import's: its folder is the dialog folder setting (settings entry 5),
// stored whenever the dialog ends in another folder, and saved once the
// operation the dialog was for has been done (SaveFolderAfter). The
// configuration export's save dialog keeps its folder there too.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>

#include "config/configuration.h"
#include "platform/dialogs.h"
#include "platform/file_system.h"

namespace talvoro::config {

// A path as the program keeps paths (Windows-1252 bytes, the tables' own
// encoding): the bytes of `utf8_path` when Windows-1252 holds each of its
// characters; otherwise the file's short (8.3) path when the file system has
// one that it holds; nullopt when neither: the path cannot be kept without
// naming another file.
std::optional<std::string> ProgramPath(const std::string& utf8_path, platform::IFileSystem& files);

class FileDialogs {
 public:
  static constexpr int kCount = 7;
  static constexpr int kImportDialog = 1;

  FileDialogs(platform::IDialogs& dialogs, platform::IFileSystem& files, Configuration& config)
      : dialogs_(dialogs), files_(files), config_(config) {}

  // Runs dialog `number` (1..kCount) with `filter`; the chosen file's path
  // (UTF-8) or nullopt when the user cancelled. The folder the dialog ended
  // in is remembered either way; dialog 1's is saved by SaveFolderAfter.
  std::optional<std::string> Open(int number, const std::string& filter,
                                  const std::string& title = "");

  // Runs the save-file dialog from the dialog folder setting (the request's
  // own initial folder is not used); the file to write (UTF-8) or nullopt.
  // The folder it ended in is kept as dialog 1's, saved by SaveFolderAfter.
  std::optional<std::string> Save(platform::SaveFileRequest request);

  // Runs `operation`, what the dialog was for, then saves the settings when
  // a dialog changed the dialog folder setting. The operation comes first:
  // a settings file that cannot be written (held by a sync tool or a virus
  // scanner) must not stop an export, an import or the choice of a program.
  // The save's failure is thrown after the operation. When the operation
  // fails, its error is the one thrown, and a save that fails as well is
  // left for the next dialog.
  void SaveFolderAfter(const std::function<void()>& operation);

 private:
  // Stores a folder a dialog ended in as the dialog folder setting; the
  // settings then owe a save.
  void KeepDialogFolder(const std::string& utf8_folder);

  platform::IDialogs& dialogs_;
  platform::IFileSystem& files_;
  Configuration& config_;
  std::array<std::string, kCount> folders_;  // UTF-8; dialog 1 keeps its own in the settings
  bool folder_unsaved_ = false;              // the setting changed since the last save
};

}  // namespace talvoro::config
