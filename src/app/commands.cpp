#include "app/commands.h"

namespace talvoro::app {

namespace {

using M = ui::MainId;

constexpr CommandRow kRows[] = {
    // Main menu.
    {M::Importeruneconfiguration1, Command::Import},
    {M::Exporteruneconfiguration1, Command::Export},
    {M::Quitter1, Command::Quit},
    {M::Paramtres1, Command::Settings},
    {M::Rduire1, Command::Reduce},
    {M::Portsrie1, Command::SerialPort},
    {M::Journaldescodes1, Command::Journal},
    {M::Aide2, Command::Help},
    {M::Aproposde1, Command::About},
    // Window menu.
    {M::Quitter2, Command::Quit},
    {M::Importeruneconfiguration2, Command::Import},
    {M::Exporteruneconfiguration2, Command::Export},
    {M::Paramtres2, Command::Settings},
    {M::Aide3, Command::Help},
    // Tray menu.
    {M::Quitter3, Command::Quit},
    {M::Restaurer1, Command::Restore},
    {M::Nerienfaire1, Command::Nothing},
    // Toolbar.
    {M::ToolButton1, Command::Quit},
    {M::ToolButton2, Command::Reduce},
    {M::ToolButton3, Command::Import},
    {M::ToolButton4, Command::Export},
    {M::ToolButton5, Command::Settings},
    {M::ToolButton6, Command::Help},
};

}  // namespace

std::span<const CommandRow> CommandRows() {
  return kRows;
}

void Commands::Run(Command command) const {
  auto it = handlers_.find(command);
  if (it != handlers_.end() && it->second) it->second();
}

void Commands::Wire(ui::MainForm& form) const {
  for (const CommandRow& row : CommandRows())
    form.OnClick(row.control, [this, command = row.command] { Run(command); });
}

}  // namespace talvoro::app
