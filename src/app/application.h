// The application: the eight forms, the main window's state and behaviour, and
// the receiver. The platform creates one, builds a real window for each form
// (in the order of Forms()), and forwards the few OS events that are not
// control events.
#pragma once

#include <array>
#include <cstddef>
#include <memory>

#include "app/services.h"
#include "ui/forms/forms.h"

namespace talvoro::app {

class MainWindow;

class Application {
 public:
  explicit Application(const Services& services);
  ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  // The forms, in the order their windows are created (TForm1 .. TForm8).
  ui::MainForm& main_form();
  ui::SerialForm& serial_form();
  ui::SettingsForm& settings_form();
  ui::LearnForm& learn_form();
  ui::OsdForm& osd_form();
  ui::CountdownForm& countdown_form();
  ui::ConflictForm& conflict_form();
  ui::AboutForm& about_form();
  // All eight, in creation order.
  std::array<ui::FormBase*, 8> Forms();

  // The main window and its controls exist: runs the single-instance guard
  // and, in the first copy, the start-up sequence. Returns false when another
  // copy already runs: it has been handed our command line and we must end.
  bool OnMainWindowCreated();

  // WM_COPYDATA received on the guard's message window (any process may send
  // one: malformed blocks are ignored).
  void OnCopyData(const void* data, std::size_t size);

  // The notification icon's callback; `mouse_message` is its lParam.
  void OnNotifyIcon(unsigned mouse_message);

  // The message loop has ended.
  void OnExit();

  MainWindow& main_window();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace talvoro::app
