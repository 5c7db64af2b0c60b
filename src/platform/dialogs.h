// Message boxes, the standard error box and the open-file and save-file
// dialogs.
#pragma once

#include <optional>
#include <string>

namespace talvoro::platform {

enum class BoxIcon { Information, Warning, Error };
enum class BoxButtons { Ok, YesNo };
enum class BoxResult { Ok, Yes, No, Cancel };

// What an open-file dialog is asked to show. Texts are UTF-8.
struct OpenFileRequest {
  std::string title;           // "" for the system's own title
  std::string filter;          // "Description|pattern" pairs joined by '|'
  std::string initial_folder;  // "" (or a folder that does not exist): the system's choice
};

// How an open-file dialog ended. Paths are UTF-8, so that every character of
// the file system's names survives.
struct OpenFileResult {
  std::optional<std::string> path;  // the chosen file's full path; nullopt when cancelled
  std::string folder;               // the folder the dialog showed last; "" when unknown
};

// What a save-file dialog is asked to show. Texts are UTF-8.
struct SaveFileRequest {
  std::string filter;             // as for the open-file dialog
  std::string initial_folder;     // as for the open-file dialog
  std::string default_name;       // the file name proposed in the name box
  std::string default_extension;  // added (without its dot) to a name typed without one
};

// How a save-file dialog ended: the file to write (which may exist: the
// dialog does not ask about overwriting it) or nullopt, and the folder shown
// last.
using SaveFileResult = OpenFileResult;

class IDialogs {
 public:
  virtual ~IDialogs() = default;
  // The application's standard error box for an error nobody handled.
  virtual void ShowError(const std::string& utf8_message) = 0;
  // A modal message box, centred on the screen.
  virtual BoxResult MessageBox(const std::string& utf8_text, const std::string& utf8_caption,
                               BoxIcon icon, BoxButtons buttons) = 0;
  // A modal warning box with one OK button, centred on the screen, that
  // stands above every other window and asks for the foreground: it is
  // raised from the remote too, while the main window is hidden.
  virtual void ShowForegroundWarning(const std::string& utf8_text,
                                     const std::string& utf8_caption) = 0;
  // The system's default sound (MessageBeep with 0).
  virtual void Beep() = 0;
  // A modal open-file dialog owned by the main window.
  virtual OpenFileResult OpenFile(const OpenFileRequest& request) = 0;
  // A modal save-file dialog owned by the main window. It never asks itself
  // whether to replace an existing file: the caller does.
  virtual SaveFileResult SaveFile(const SaveFileRequest& request) = 0;
};

}  // namespace talvoro::platform
