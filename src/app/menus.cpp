#include "app/menus.h"

#include <string>

namespace talvoro::app {

namespace {

using ui::MainId;

// Each application's own home page.
constexpr WebLink kWebLinks[] = {
    {MainId::Label_KTV_web, "http://www.kastortv.org/"},
    {MainId::Label_ProgDVB_web, "https://www.progdvb.com/"},
};

}  // namespace

std::span<const WebLink> WebLinks() {
  return kWebLinks;
}

void Menus::Wire() {
  // A right click anywhere on the window that no control keeps for itself
  // reaches the form as a right press on the form.
  form_.OnMouseDown(MainId::TForm1, [this](ui::MouseButton button) {
    if (button == ui::MouseButton::Right) OpenWindowMenu();
  });
  // A press of any button opens the page, as on a link.
  for (const WebLink& link : kWebLinks)
    form_.OnMouseDown(link.label, [this, &link](ui::MouseButton) { OpenWebLink(link); });
}

void Menus::OpenTrayMenu() {
  const platform::ScreenSize screen = shell_.PrimaryScreenSize();
  form_.PopupAt(MainId::PopupMenu1, screen.width - kTrayMenuFromRight,
                screen.height - kTrayMenuFromBottom);
}

void Menus::OpenWindowMenu() {
  int x = 0;
  int y = 0;
  shell_.CursorPosition(x, y);
  form_.PopupAt(MainId::PopupMenu2, x, y);
}

void Menus::OpenWebLink(const WebLink& link) {
  if (!programs_.OpenDocument(link.url, true))
    dialogs_.MessageBox(std::string("Windows n'a pas pu ouvrir la page « ") + link.url +
                            " » : aucun navigateur n'a répondu.",
                        form_.Text(link.label), platform::BoxIcon::Warning,
                        platform::BoxButtons::Ok);
}

}  // namespace talvoro::app
