// The application: its forms, the main window's state and behaviour, and
// the receiver. The platform creates one, builds a real window for each form
// (in the order of Forms()), and forwards the few OS events that are not
// control events.
#pragma once

#include <array>
#include <cstddef>
#include <memory>

#include "app/services.h"
#include "platform/shell.h"
#include "ui/forms/forms.h"

namespace talvoro::app {

class MainWindow;

class Application {
 public:
  explicit Application(const Services& services);
  ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  ui::FormSet& forms() { return forms_; }
  ui::MainForm& main_form() { return forms_.main; }
  // All of them, in creation order (TForm1 first).
  std::array<ui::FormBase*, ui::FormSet::kCount> Forms() { return forms_.All(); }

  // The main window and its controls exist (no other window yet): runs the
  // single-instance guard and, in the first copy, the start-up sequence.
  // Returns false when another copy already runs: it has been handed our
  // command line and we must end without creating the other windows. The
  // platform then creates the other forms in order, calling ViewCreate() on
  // each form once its window exists.
  bool OnMainWindowCreated();

  // WM_COPYDATA received on the guard's message window (any process may send
  // one: malformed blocks are ignored).
  void OnCopyData(const void* data, std::size_t size);

  // The mouse on the notification icon.
  void OnNotifyIcon(platform::TrayEvent event);

  // The message loop has ended.
  void OnExit();

  MainWindow& main_window() { return *main_; }

 private:
  ui::FormSet forms_;
  std::unique_ptr<MainWindow> main_;
};

}  // namespace talvoro::app
