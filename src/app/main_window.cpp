#include "app/main_window.h"

#include <exception>

#include "app/clock_text.h"
#include "config/io_error.h"
#include "tabs/images.h"

namespace talvoro::app {

using ui::MainId;
using ui::MouseButton;

namespace {

constexpr int kPanelReceiver = 0;
constexpr int kPanelClock = 1;
constexpr int kPanelCode = 2;
constexpr unsigned kLeftButtonDown = 0x0201;  // WM_LBUTTONDOWN

}  // namespace

MainWindow::MainWindow(const Services& services, Forms& forms)
    : services_(services),
      forms_(forms),
      config_(services.files),
      guard_(services.instance, services.registry),
      devices_(services.mixer) {
  notify_icon_.id = 1;
  notify_icon_.callback_message = kNotifyCallback;
  notify_icon_.tip = "Talvoro IR";
  tick_timer_ = services_.timers.CreateTimer(100, [this] { OnTick(); });
  auto_minimise_timer_ = services_.timers.CreateTimer(1000, [this] { OnAutoMinimiseTick(); });
  WireHandlers();
}

MainWindow::~MainWindow() {
  // The receiver's read threads end before the window state they report to.
  receiver_.reset();
  controller_.reset();
}

void MainWindow::WireHandlers() {
  ui::MainForm& f = forms_.main;
  f.OnActivate([this] { FormActivate(); });
  f.OnClose([this] { Quit(); });
  f.OnClick(MainId::Quitter1, [this] { Quit(); });
  f.OnClick(MainId::Quitter2, [this] { Quit(); });
  f.OnClick(MainId::Quitter3, [this] { Quit(); });
  f.OnClick(MainId::ToolButton1, [this] { Quit(); });
  f.OnClick(MainId::Rduire1, [this] { Reduce(); });
  f.OnClick(MainId::ToolButton2, [this] { Reduce(); });
  f.OnClick(MainId::Restaurer1, [this] { Restore(); });
}

bool MainWindow::Create() {
  guard_.Construct();
  if (!guard_.AfterLoad()) {
    // Another copy runs and has our command line: end without showing or
    // touching anything.
    services_.shell.RequestTerminate();
    return false;
  }
  services_.timers.EnableTimer(tick_timer_, true);
  FormCreate();
  // Devices are enumerated once the message loop runs, after start-up.
  controller_ = std::make_unique<hid::HidDeviceController>(services_.hid, services_.main_thread);
  receiver_ = std::make_unique<hid::ReceiverConnection>(*controller_, *this);
  return true;
}

void MainWindow::FormCreate() {
  ui::MainForm& f = forms_.main;
  // The mixer component comes with the window: speakers unmuted, 60 %,
  // centred, before the stored levels are applied.
  volume_ = std::make_unique<actions::VolumeController>(services_.mixer);
  volume_->SetMute(false);
  volume_->SetVolume(60);
  volume_->SetBalance(0);

  // Steps 1 to 4. A file that cannot be written, or a damaged programme file,
  // is reported but does not stop start-up: the window, the icon and the
  // timers must exist whatever the files hold.
  f.RunGuarded([&] { config_.Load(services_.instance.ExecutableDirectory()); });
  f.RunGuarded([&] { ApplyConfiguration(); });

  f.SetEnabled(MainId::Importeruneconfiguration1, true);
  f.SetEnabled(MainId::Importeruneconfiguration2, true);
  f.SetEnabled(MainId::ToolButton3, true);
  f.SetEnabled(MainId::ToolButton4, false);
  f.SetEnabled(MainId::Exporteruneconfiguration1, false);
  f.SetEnabled(MainId::Exporteruneconfiguration2, false);
  for (const auto& tab : dispatch::Tabs()) f.SetEnabled(tab.programming, false);

  minimised_ = 0;
  countdown_idle_ = true;
  receiver_active_ = 0;
  first_tick_ = 0;
  ResetPendingActions();

  f.SetVisible(MainId::TForm1, true);
  services_.shell.ShowTaskbarEntry(platform::TaskbarShow::Show);
  services_.shell.AddNotifyIcon(notify_icon_);
  f.SetPanelText(MainId::StatusBar1, kPanelReceiver, hid::kReceiverAbsentText);

  auto_minimise_count_ = 0;
  services_.timers.EnableTimer(auto_minimise_timer_, settings()[config::kStartup] == "LANCE_ON");
}

void MainWindow::FormActivate() {
  forms_.main.SetVisible(MainId::ComboBox1, false);
  SaveSettings();
}

void MainWindow::Reduce() {
  minimised_ = 1;
  forms_.main.SetVisible(MainId::TForm1, false);
  services_.shell.ShowTaskbarEntry(platform::TaskbarShow::Hide);
}

void MainWindow::Restore() {
  minimised_ = 0;
  forms_.main.SetVisible(MainId::TForm1, true);
  services_.shell.ShowTaskbarEntry(platform::TaskbarShow::Show);
}

void MainWindow::Quit() {
  services_.shell.DeleteNotifyIcon(notify_icon_);
  // Synthesized shortcuts may have left Alt logically pressed.
  services_.keyboard.KeyEvent(platform::kVkMenu, true);
  services_.shell.RequestTerminate();
}

void MainWindow::OnCopyData(const void* data, std::size_t size) {
  if (!guard_.Receive(data, size)) return;
  services_.shell.ShowTaskbarEntry(platform::TaskbarShow::ShowNormal);
  services_.shell.BringMainWindowToForeground();
}

void MainWindow::OnNotifyIcon(unsigned mouse_message) {
  if (mouse_message == kLeftButtonDown) forms_.main.RunGuarded([this] { Restore(); });
}

void MainWindow::OnExit() {
  guard_.Finish();
}

void MainWindow::UpdateClock() {
  forms_.main.SetPanelText(MainId::StatusBar1, kPanelClock, ClockText(services_.clock.Now()));
}

void MainWindow::ResetPendingActions() {
  pending_.fill(0);
}

bool MainWindow::auto_minimise_enabled() const {
  return services_.timers.TimerEnabled(auto_minimise_timer_);
}

void MainWindow::OnAutoMinimiseTick() {
  if (++auto_minimise_count_ >= kAutoMinimiseTicks) {
    services_.timers.EnableTimer(auto_minimise_timer_, false);
    Reduce();
  }
}

void MainWindow::OnTick() {
  UpdateClock();
}

void MainWindow::ShowLed(int tab, bool on) {
  forms_.main.SetImage(
      dispatch::Tab(tab).lamp,
      tabs::LoadPicture(services_.files, config_.FilePath(on ? "ledon.bmp" : "ledoff.bmp")));
}

}  // namespace talvoro::app

namespace talvoro::app {

void MainWindow::OnReceiverStatus(const std::string& utf8) {
  forms_.main.RunGuarded(
      [&] { forms_.main.SetPanelText(MainId::StatusBar1, kPanelReceiver, utf8); });
}

void MainWindow::OnReceiverArrived() {
  forms_.main.RunGuarded([&] {
    ui::MainForm& f = forms_.main;
    receiver_active_ = 1;
    for (const auto& tab : dispatch::Tabs()) f.SetEnabled(tab.programming, true);
    f.SetEnabled(MainId::ToolButton4, true);
    f.SetEnabled(MainId::Importeruneconfiguration1, true);
    f.SetEnabled(MainId::Exporteruneconfiguration1, true);
    f.SetEnabled(MainId::Importeruneconfiguration2, true);
    f.SetEnabled(MainId::Exporteruneconfiguration2, true);
    ResetPendingActions();
  });
}

void MainWindow::OnReceiverGone() {
  forms_.main.RunGuarded([&] { Quit(); });
}

void MainWindow::OnCode(int code) {
  forms_.main.RunGuarded([&] {
    last_code_ = code;
    forms_.main.SetPanelText(MainId::StatusBar1, kPanelCode, " Code IR: " + std::to_string(code));
  });
}

}  // namespace talvoro::app
