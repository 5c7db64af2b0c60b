// The commands behind the menus, the toolbar and the tray menu: one command
// reached from several rows.
#pragma once

#include <functional>
#include <map>
#include <span>

#include "ui/forms/forms.h"

namespace talvoro::app {

enum class Command {
  Quit,
  Reduce,
  Restore,
  Import,
  Export,
  Settings,
  Help,
  About,
  Nothing,
  SerialPort,
  Journal
};

struct CommandRow {
  ui::MainId control;  // a menu entry or toolbar button
  Command command;
};

// Every menu entry and toolbar button of the main window with its command.
std::span<const CommandRow> CommandRows();

class Commands {
 public:
  void Set(Command command, std::function<void()> fn) { handlers_[command] = std::move(fn); }
  // Runs the command's handler; a command without one does nothing yet.
  void Run(Command command) const;
  // Makes every row of CommandRows() run its command.
  void Wire(ui::MainForm& form) const;

 private:
  std::map<Command, std::function<void()>> handlers_;
};

}  // namespace talvoro::app
