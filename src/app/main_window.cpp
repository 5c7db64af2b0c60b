#include "app/main_window.h"

#include "actions/close_app_tab.h"
#include "actions/volume_controller.h"
#include "actions/volumes_tab.h"
#include "actions/windows_tab.h"
#include "app/about_box.h"
#include "app/clock_text.h"
#include "app/help_pages.h"
#include "app/import_export.h"
#include "app/journal.h"
#include "app/menus.h"
#include "config/file_dialogs.h"
#include "dispatch/action_registry.h"
#include "dispatch/dispatcher.h"
#include "dispatch/tick.h"
#include "learning/learn_dialog.h"
#include "learning/learning.h"
#include "media/app_paths.h"
#include "media/custom_keys.h"
#include "media/keys_dialog.h"
#include "media/launcher.h"
#include "media/media_commands.h"
#include "osd/osd.h"
#include "osd/settings_dialog.h"
#include "serial/serial_dialog.h"
#include "tabs/apply_configuration.h"
#include "tabs/lamps.h"
#include "tabs/switches.h"
#include "ui/button_pictures.h"

namespace talvoro::app {

using ui::MainId;

namespace {

constexpr int kPanelReceiver = 0;
constexpr int kPanelClock = 1;
constexpr int kPanelCode = 2;

}  // namespace

// The features of a running first copy, built in dependency order. The
// dispatcher's steps reach the features through this object.
struct MainWindow::Features final : dispatch::IPassTarget {
  Features(MainWindow& w, const Services& s, ui::FormSet& forms)
      : volume(s.mixer),
        devices(s.mixer),
        lamps(s.files, w.config_, forms.main),
        pictures(s.files,
                 [&config = w.config_](const std::string& name) { return config.FilePath(name); }),
        applier(w.config_, forms.main, lamps, volume, devices, w.state_.levels, s.files),
        osd(forms.osd, s.timers, s.shell, w.config_, pictures, w.state_.levels),
        countdown(forms.countdown),
        learn_dialog(forms.learn, s.timers, s.files, w.config_),
        conflict(forms.conflict),
        learning(w.state_, forms.main, w.config_, learn_dialog, conflict,
                 [this] { applier.ApplyConfiguration(); }),
        switches(w.state_, forms.main, w.config_, lamps, learning, osd, s.dialogs,
                 [this] { applier.ApplyConfiguration(); }),
        actions(
            [&main = forms.main](int tab) { return main.Checked(dispatch::Tab(tab).programming); },
            [this](int action) { learning.Arm(action); }),
        dispatcher(forms.main, w.config_.programme(), w.config_.settings(), w.state_, *this,
                   s.clock),
        tick(w.state_, s.clock, [&w] { w.UpdateClock(); }),
        volumes(w.state_, forms.main, w.config_, volume, devices, osd, pictures),
        windows(w.state_, w.config_, s.keyboard, s.programs, s.power, s.timers, osd, countdown),
        close_app(w.state_, w.config_, s.keyboard, osd),
        file_dialogs(s.dialogs, s.files, w.config_),
        import_export(w.config_, file_dialogs, s.dialogs, s.files, s.clock,
                      [this] { applier.ApplyConfiguration(); }),
        paths(w.config_, forms.main, file_dialogs, s.dialogs, s.programs, s.files),
        launcher(w.state_, w.config_, s.clock, osd, paths),
        media(w.state_, w.config_, s.keyboard, s.clock, s.programs, paths, osd),
        keys_dialog(forms.keys),
        custom_keys(w.state_, w.config_, forms.main, s.keyboard, osd, keys_dialog),
        settings_dialog(forms.settings, w.config_, s.registry, s.shortcuts, s.files, s.dialogs,
                        [&w](const std::string& topic) { w.OpenHelp(topic); }),
        help(w.config_, s.files, s.programs, s.dialogs),
        menus(forms.main, s.shell, s.programs, s.dialogs),
        about(forms.about, s.system_info, s.shell),
        serial(forms.serial, s.registry, w.config_,
               [&w](const std::string& topic) { w.OpenHelp(topic); }),
        journal(forms.journal, s.clock, s.shell) {
    dispatcher.SetObserver(&journal);
    volumes.Register(actions);
    windows.Register(actions);
    close_app.Register(actions);
    launcher.Register(actions);
    media.Register(actions);
    custom_keys.Register(actions);
  }

  void ToggleActivation(int tab) override { switches.ToggleActivation(tab); }
  void RunAction(int action) override { actions.Run(action, dispatch::Caller::Remote); }
  void StoreCode(const dispatch::TabSpec& tab, const dispatch::CodeSlot& code) override {
    learning.Store(tab, code);
  }
  void RefuseCode() override { learning.Refuse(); }

  actions::VolumeController volume;
  actions::DeviceVolumes devices;
  tabs::Lamps lamps;
  tabs::Pictures pictures;
  tabs::ConfigurationApplier applier;
  osd::Osd osd;
  osd::CountdownWindow countdown;
  learning::LearnDialog learn_dialog;
  learning::ConflictWindow conflict;
  learning::Learning learning;
  tabs::TabSwitches switches;
  dispatch::ActionRegistry actions;
  dispatch::Dispatcher dispatcher;
  dispatch::Tick tick;
  actions::VolumesTab volumes;
  actions::WindowsTab windows;
  actions::CloseAppTab close_app;
  config::FileDialogs file_dialogs;
  ImportExport import_export;
  // The media tabs' start step (media::IStartStep) and the launcher's.
  media::AppPaths paths;
  media::Launcher launcher;
  media::MediaCommands media;
  media::KeysDialog keys_dialog;
  media::CustomKeys custom_keys;
  osd::SettingsDialog settings_dialog;
  HelpPages help;
  Menus menus;
  AboutBox about;
  serial::SerialDialog serial;
  Journal journal;
};

MainWindow::MainWindow(const Services& services, ui::FormSet& forms)
    : services_(services),
      forms_(forms),
      config_(services.files),
      guard_(services.instance, services.registry) {
  notify_icon_.id = 1;
  notify_icon_.callback_message = kNotifyCallback;
  notify_icon_.tip = "Talvoro IR";
  tick_timer_ = services_.timers.CreateTimer(dispatch::Tick::kInterval, [this] { OnTick(); });
  tick_period_ = dispatch::Tick::kInterval;
  auto_minimise_timer_ = services_.timers.CreateTimer(1000, [this] { OnAutoMinimiseTick(); });
  icon_retry_timer_ = services_.timers.CreateTimer(
      kIconRetryInterval, [this] { forms_.main.RunGuarded([this] { AddNotifyIcon(); }); });
}

MainWindow::~MainWindow() {
  // The receiver's read threads end before the window state they report to.
  receiver_.reset();
  controller_.reset();
}

actions::VolumeController& MainWindow::volume() {
  return features_->volume;
}
dispatch::ActionRegistry& MainWindow::actions() {
  return features_->actions;
}
dispatch::Dispatcher& MainWindow::dispatcher() {
  return features_->dispatcher;
}
learning::Learning& MainWindow::learning() {
  return features_->learning;
}
osd::Osd& MainWindow::osd() {
  return features_->osd;
}
osd::CountdownWindow& MainWindow::countdown() {
  return features_->countdown;
}
osd::SettingsDialog& MainWindow::settings_dialog() {
  return features_->settings_dialog;
}
tabs::TabSwitches& MainWindow::switches() {
  return features_->switches;
}
tabs::Lamps& MainWindow::lamps() {
  return features_->lamps;
}
config::FileDialogs& MainWindow::file_dialogs() {
  return features_->file_dialogs;
}
media::AppPaths& MainWindow::paths() {
  return features_->paths;
}
Journal& MainWindow::journal() {
  return features_->journal;
}

void MainWindow::WireHandlers() {
  ui::MainForm& f = forms_.main;
  f.OnActivate([this] { FormActivate(); });
  f.OnClose([this] { Quit(); });
  commands_.Set(Command::Quit, [this] { Quit(); });
  commands_.Set(Command::Reduce, [this] { Reduce(); });
  commands_.Set(Command::Restore, [this] { Restore(); });
  commands_.Set(Command::Settings, [this] { features_->settings_dialog.Show(); });
  commands_.Set(Command::Import, [this] { features_->import_export.Import(); });
  commands_.Set(Command::Export, [this] { features_->import_export.Export(); });
  commands_.Set(Command::Help, [this] { OpenHelp(kHelpContents); });
  // "Ne rien faire !": choosing it has already closed the menu.
  commands_.Set(Command::Nothing, [] {});
  commands_.Set(Command::About, [this] { features_->about.Show(); });
  commands_.Set(Command::SerialPort, [this] { features_->serial.Show(); });
  commands_.Set(Command::Journal, [this] { features_->journal.Show(); });
  commands_.Wire(f);
  // Actions, toggles and learning leave pending numbers all over the
  // features, and the receiver's arrival asks for the first tick's pause:
  // after every event entry, the tick comes back to its 100 ms if it now
  // has work.
  for (ui::FormBase* form : forms_.All()) form->SetAfterEntry([this] { ScheduleTick(false); });
  features_->switches.Wire();
  features_->paths.Wire();
  features_->custom_keys.Wire();
  features_->menus.Wire();
  // Every action button runs its routine through the registry, as the remote
  // does; the volume selectors act on a press of any mouse button. A media
  // button shows the picture its row names.
  for (const dispatch::TabSpec& tab : dispatch::Tabs()) {
    for (const dispatch::CodeSlot& code : tab.codes) {
      if (code.picture != ui::ButtonPicture::None)
        f.SetPicture(code.control, ui::ResourceName(code.picture));
      auto run = [this, action = code.action] {
        features_->actions.Run(action, dispatch::Caller::Window);
      };
      if (ui::MainLayout().controls[ui::MainForm::At(code.control)].kind == ui::Kind::RadioButton)
        f.OnMouseDown(code.control, [run](ui::MouseButton) { run(); });
      else
        f.OnClick(code.control, run);
    }
  }
}

bool MainWindow::Create() {
  guard_.Construct();
  if (!guard_.AfterLoad()) {
    // Another copy runs and has our command line: end without showing or
    // touching anything.
    services_.shell.RequestTerminate();
    return false;
  }
  features_ = std::make_unique<Features>(*this, services_, forms_);
  WireHandlers();
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
  actions::VolumeController& volume = features_->volume;
  volume.SetMute(false);
  volume.SetVolume(60);
  volume.SetBalance(0);

  // A file that cannot be read or written, or a damaged programme file, is
  // reported but does not stop start-up: the window, the icon and the timers
  // must exist whatever the files hold.
  f.RunGuarded([&] { config_.Load(services_.instance.ExecutableDirectory()); });
  f.RunGuarded([&] { ApplyConfiguration(); });

  f.SetEnabled(MainId::Importeruneconfiguration1, true);
  f.SetEnabled(MainId::Importeruneconfiguration2, true);
  f.SetEnabled(MainId::ToolButton3, true);
  f.SetEnabled(MainId::ToolButton4, false);
  f.SetEnabled(MainId::Exporteruneconfiguration1, false);
  f.SetEnabled(MainId::Exporteruneconfiguration2, false);
  for (const auto& tab : dispatch::Tabs()) f.SetEnabled(tab.programming, false);

  state_.minimised = 0;
  state_.countdown_idle = true;
  state_.receiver_active = 0;
  state_.first_tick = 0;
  state_.ResetPendingActions();

  f.SetVisible(MainId::TForm1, true);
  services_.shell.ShowTaskbarEntry(platform::TaskbarShow::Show);
  icon_wanted_ = true;
  AddNotifyIcon();
  f.SetPanelText(MainId::StatusBar1, kPanelReceiver, hid::kReceiverAbsentText);

  auto_minimise_count_ = 0;
  services_.timers.EnableTimer(auto_minimise_timer_, settings()[config::kStartup] == "LANCE_ON");
}

void MainWindow::ApplyConfiguration() {
  features_->applier.ApplyConfiguration();
}

// The help page of `topic` ("som", "rub9", "rub10", "rub32") in the browser.
void MainWindow::OpenHelp(const std::string& topic) {
  features_->help.Open(topic);
}

void MainWindow::FormActivate() {
  forms_.main.SetVisible(MainId::ComboBox1, false);
  config_.SaveSettings();
}

void MainWindow::Reduce() {
  state_.minimised = 1;
  forms_.main.SetVisible(MainId::TForm1, false);
  // Without the notification icon the window could not be reached any more:
  // the taskbar entry stays, minimised, until the icon is in.
  services_.shell.ShowTaskbarEntry(icon_shown_ ? platform::TaskbarShow::Hide
                                               : platform::TaskbarShow::Minimised);
}

void MainWindow::Restore() {
  state_.minimised = 0;
  forms_.main.SetVisible(MainId::TForm1, true);
  services_.shell.ShowTaskbarEntry(platform::TaskbarShow::Show);
}

void MainWindow::Quit() {
  icon_wanted_ = false;
  services_.timers.EnableTimer(icon_retry_timer_, false);
  services_.shell.DeleteNotifyIcon(notify_icon_);
  icon_shown_ = false;
  // Synthesized shortcuts may have left Alt logically pressed.
  services_.keyboard.KeyEvent(platform::kVkMenu, true);
  services_.shell.RequestTerminate();
}

void MainWindow::OnCopyData(const void* data, std::size_t size) {
  if (!guard_.Receive(data, size)) return;
  // A reduced window without its icon keeps its entry minimised, so that
  // one click on it brings the window back.
  services_.shell.ShowTaskbarEntry(state_.minimised && !icon_shown_
                                       ? platform::TaskbarShow::Minimised
                                       : platform::TaskbarShow::ShowNormal);
  services_.shell.BringMainWindowToForeground();
}

void MainWindow::OnNotifyIcon(platform::TrayEvent event) {
  // Every other mouse message over the icon (moves, releases, double
  // clicks) is ignored.
  if (event == platform::TrayEvent::LeftDown) forms_.main.RunGuarded([this] { Restore(); });
  if (event == platform::TrayEvent::RightDown && features_)
    forms_.main.RunGuarded([this] { features_->menus.OpenTrayMenu(); });
}

// Adds the notification icon. The shell may refuse it (at log-on it may not
// be ready, and nothing tells the program when it is if Explorer was already
// running): the icon is then offered again every kIconRetryInterval, and a
// reduced window keeps its taskbar entry until the icon is in.
void MainWindow::AddNotifyIcon() {
  const bool shown_before = icon_shown_;
  icon_shown_ = services_.shell.AddNotifyIcon(notify_icon_);
  services_.timers.EnableTimer(icon_retry_timer_, !icon_shown_);
  if (state_.minimised && icon_shown_ != shown_before)
    services_.shell.ShowTaskbarEntry(icon_shown_ ? platform::TaskbarShow::Hide
                                                 : platform::TaskbarShow::Minimised);
}

// A new notification area knows no icon: ours goes in again (until quit).
void MainWindow::OnTaskbarCreated() {
  if (icon_wanted_) forms_.main.RunGuarded([this] { AddNotifyIcon(); });
}

void MainWindow::OnTaskbarEntryRestored() {
  if (state_.minimised) forms_.main.RunGuarded([this] { Restore(); });
}

void MainWindow::OnExit() {
  guard_.Finish();
}

void MainWindow::UpdateClock() {
  // Runs at every tick, up to ten a second; the panel passes the text on
  // only when it differs, so the status bar changes once a second.
  forms_.main.SetPanelText(MainId::StatusBar1, kPanelClock, ClockText(services_.clock.Now()));
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
  forms_.main.RunGuarded([this] {
    if (features_)
      features_->tick.OnTick();
    else
      UpdateClock();
  });
  ScheduleTick(true);
}

void MainWindow::ScheduleTick(bool after_tick) {
  if (!features_) return;
  const bool busy = features_->tick.Busy();
  if (busy && tick_period_ == dispatch::Tick::kInterval) return;
  // Idle between two ticks: the next one is already set for the second.
  if (!busy && !after_tick && tick_period_ != dispatch::Tick::kInterval) return;
  tick_period_ = features_->tick.NextInterval(services_.clock.Now());
  services_.timers.SetTimerInterval(tick_timer_, tick_period_);
}

void MainWindow::OnReceiverStatus(const std::string& utf8) {
  forms_.main.RunGuarded(
      [&] { forms_.main.SetPanelText(MainId::StatusBar1, kPanelReceiver, utf8); });
}

void MainWindow::OnReceiverArrived() {
  forms_.main.RunGuarded([&] {
    ui::MainForm& f = forms_.main;
    state_.receiver_active = 1;
    for (const auto& tab : dispatch::Tabs()) f.SetEnabled(tab.programming, true);
    f.SetEnabled(MainId::ToolButton4, true);
    f.SetEnabled(MainId::Importeruneconfiguration1, true);
    f.SetEnabled(MainId::Exporteruneconfiguration1, true);
    f.SetEnabled(MainId::Importeruneconfiguration2, true);
    f.SetEnabled(MainId::Exporteruneconfiguration2, true);
    state_.ResetPendingActions();
  });
}

void MainWindow::OnReceiverGone() {
  forms_.main.RunGuarded([&] { Quit(); });
}

void MainWindow::OnCode(int code) {
  forms_.main.RunGuarded([&] {
    state_.last_code = code;
    forms_.main.SetPanelText(MainId::StatusBar1, kPanelCode, " Code IR: " + std::to_string(code));
    features_->dispatcher.Route(code);
  });
}

}  // namespace talvoro::app
