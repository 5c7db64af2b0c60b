// The main window's two popup menus and its web link labels: the tray menu
// (right press on the notification icon), the window menu (right click on
// the window) and the labels that open an application's web site.
#pragma once

#include <span>

#include "platform/dialogs.h"
#include "platform/programs.h"
#include "platform/shell.h"
#include "ui/forms/forms.h"

namespace talvoro::app {

// The tray menu opens at a fixed place near the lower right corner of the
// screen, wherever the icon or the cursor is: its top-left corner stands
// this far from the screen's right and bottom edges.
inline constexpr int kTrayMenuFromRight = 50;
inline constexpr int kTrayMenuFromBottom = 105;

// A link label and the page it opens.
struct WebLink {
  ui::MainId label;
  const char* url;  // ASCII
};
std::span<const WebLink> WebLinks();

class Menus {
 public:
  Menus(ui::MainForm& form, platform::IShell& shell, platform::IPrograms& programs,
        platform::IDialogs& dialogs)
      : form_(form), shell_(shell), programs_(programs), dialogs_(dialogs) {}

  // Binds the right click on the window and the presses on the link labels.
  void Wire();

  // "Quitter", "Restaurer", "Ne rien faire !" at the fixed place.
  void OpenTrayMenu();
  // The window menu, at the mouse cursor.
  void OpenWindowMenu();
  // Opens the page of a link label in the default browser, maximised; a
  // failure is told in a message box.
  void OpenWebLink(const WebLink& link);

 private:
  ui::MainForm& form_;
  platform::IShell& shell_;
  platform::IPrograms& programs_;
  platform::IDialogs& dialogs_;
};

}  // namespace talvoro::app
