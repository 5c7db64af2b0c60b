#include "app/application.h"

#include "app/main_window.h"

namespace talvoro::app {

struct Application::State {
  app::Forms forms;
  std::unique_ptr<MainWindow> main;
};

Application::Application(const Services& services) : state_(std::make_unique<State>()) {
  state_->main = std::make_unique<MainWindow>(services, state_->forms);
  for (ui::FormBase* form : Forms())
    form->SetErrorSink(
        [&dialogs = services.dialogs](const std::string& message) { dialogs.ShowError(message); });
}

Application::~Application() = default;

ui::MainForm& Application::main_form() {
  return state_->forms.main;
}
ui::SerialForm& Application::serial_form() {
  return state_->forms.serial;
}
ui::SettingsForm& Application::settings_form() {
  return state_->forms.settings;
}
ui::LearnForm& Application::learn_form() {
  return state_->forms.learn;
}
ui::OsdForm& Application::osd_form() {
  return state_->forms.osd;
}
ui::CountdownForm& Application::countdown_form() {
  return state_->forms.countdown;
}
ui::ConflictForm& Application::conflict_form() {
  return state_->forms.conflict;
}
ui::AboutForm& Application::about_form() {
  return state_->forms.about;
}

std::array<ui::FormBase*, 8> Application::Forms() {
  auto& f = state_->forms;
  return {&f.main, &f.serial, &f.settings, &f.learn, &f.osd, &f.countdown, &f.conflict, &f.about};
}

bool Application::OnMainWindowCreated() {
  return state_->main->Create();
}

void Application::OnCopyData(const void* data, std::size_t size) {
  state_->main->OnCopyData(data, size);
}

void Application::OnNotifyIcon(unsigned mouse_message) {
  state_->main->OnNotifyIcon(mouse_message);
}

void Application::OnExit() {
  state_->main->OnExit();
}

MainWindow& Application::main_window() {
  return *state_->main;
}

}  // namespace talvoro::app
