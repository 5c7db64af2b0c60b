#include "app/application.h"

#include "app/main_window.h"

namespace talvoro::app {

Application::Application(const Services& services)
    : main_(std::make_unique<MainWindow>(services, forms_)) {
  for (ui::FormBase* form : Forms())
    form->SetErrorSink(
        [&dialogs = services.dialogs](const std::string& message) { dialogs.ShowError(message); });
}

Application::~Application() = default;

bool Application::OnMainWindowCreated() {
  return main_->Create();
}

void Application::OnCopyData(const void* data, std::size_t size) {
  main_->OnCopyData(data, size);
}

void Application::OnNotifyIcon(platform::TrayEvent event) {
  main_->OnNotifyIcon(event);
}

void Application::OnTaskbarCreated() {
  main_->OnTaskbarCreated();
}

void Application::OnTaskbarEntryRestored() {
  main_->OnTaskbarEntryRestored();
}

void Application::OnExit() {
  main_->OnExit();
}

}  // namespace talvoro::app
