#include "osd/osd.h"

#include <array>

#include "ui/centre.h"

namespace talvoro::osd {

using ui::OsdId;

namespace {

constexpr int kWidth = 352;  // the window's width
constexpr int kHideAfterTicks = 2;
constexpr std::array<OsdId, 5> kPanels = {OsdId::Panel1, OsdId::Panel2, OsdId::Panel3,
                                          OsdId::Panel4, OsdId::Panel5};

}  // namespace

bool OsdCondition(const dispatch::AppState& state, const config::SettingsTable& settings) {
  return state.minimised == 1 && settings[config::kOsdSwitch] == "OSD_ON";
}

bool OsdPlace(const std::string& setting, platform::ScreenSize screen, Point& place) {
  const int w = screen.width;
  const int h = screen.height;
  const int top = w / 16;
  const int bottom = 2 * (h / 2) - w / 10;
  // On 4:3 and 5:4 screens the right-hand places take their left from the
  // height; on wider screens that would put them mid-screen, so they keep
  // the right margin those screens have instead.
  const bool narrow = h * 4 >= w * 3;
  const int right = narrow ? 2 * (h / 2) - w / 22 - 80 : w - kWidth - w / 32;
  if (setting == "POSI_OSD_HG") {
    place = {w / 16, top};
  } else if (setting == "POSI_OSD_BG") {
    place = {w / 16, bottom};
  } else if (setting == "POSI_OSD_HD") {
    place = {right, top};
  } else if (setting == "POSI_OSD_BD") {
    place = {right, bottom};
  } else if (setting == "POSI_OSD_CE") {
    place = {w / 2 - 150, h / 2 - 50};
  } else {
    return false;
  }
  return true;
}

Osd::Osd(ui::OsdForm& form, platform::ITimers& timers, platform::IShell& shell,
         const config::Configuration& config, tabs::Pictures& pictures,
         const dispatch::VolumeLevels& levels)
    : form_(form),
      timers_(timers),
      shell_(shell),
      config_(config),
      pictures_(pictures),
      levels_(levels) {
  hide_timer_ = timers_.CreateTimer(kHideInterval, [this] { OnHideTick(); });
}

bool Osd::hide_timer_running() const {
  return timers_.TimerEnabled(hide_timer_);
}

void Osd::ShowOsd() {
  // A running period is not restarted: the window stays one to two seconds
  // after the last announcement.
  timers_.EnableTimer(hide_timer_, true);
  hide_ticks_ = 0;
  PlaceOsd();
  form_.ShowOnTop();
}

void Osd::ShowPanel(OsdId panel) {
  for (OsdId p : kPanels)
    if (p != panel) form_.SetVisible(p, false);
  form_.SetVisible(panel, true);
}

void Osd::ShowOsdMessage(const std::string& title, const std::string& status) {
  ShowPanel(OsdId::Panel5);
  form_.SetText(OsdId::Label11, title);
  ui::CentreLabel(form_, OsdId::Label11, OsdId::Panel5);
  SetOsdStatus(status);
  ShowOsd();
}

void Osd::SetOsdStatus(const std::string& status) {
  form_.SetText(OsdId::Label12, status);
  ui::CentreLabel(form_, OsdId::Label12, OsdId::Panel5);
}

void Osd::ShowOsdInfo(const std::string& first, const std::string& second) {
  ShowPanel(OsdId::Panel4);
  form_.SetText(OsdId::Label9, first);
  ui::CentreLabel(form_, OsdId::Label9, OsdId::Panel4);
  form_.SetText(OsdId::Label10, second);
  ui::CentreLabel(form_, OsdId::Label10, OsdId::Panel4);
  ShowOsd();
}

void Osd::ShowOsdSelection(const std::string& text, int left) {
  ShowPanel(OsdId::Panel3);
  form_.SetLeft(OsdId::Label8, left);
  form_.SetText(OsdId::Label8, text);
  ShowOsd();
}

void Osd::ShowOsdVolume(const std::string& image) {
  ShowPanel(OsdId::Panel1);
  form_.SetPosition(OsdId::ProgressBar1, levels_.master);
  form_.SetPosition(OsdId::ProgressBar2, levels_.wave);
  ShowOsd();
  form_.SetImage(OsdId::Image1, pictures_.Get(image));
  // Last: a missing picture is reported (once), the announcement stands.
  pictures_.ReportNewFailures();
}

void Osd::ShowOsdBalance(int level) {
  ShowPanel(OsdId::Panel2);
  form_.SetEnabled(OsdId::TrackBar1, true);
  form_.SetPosition(OsdId::TrackBar1, level);
  form_.SetEnabled(OsdId::TrackBar1, false);
  ShowOsd();
}

platform::ScreenRect OsdScreen(const config::SettingsTable& settings, platform::IShell& shell) {
  if (settings[config::kOsdActiveScreen] == "OSD_ECRAN_ACTIF")
    return shell.ScreenOfForegroundWindow();
  const platform::ScreenSize primary = shell.PrimaryScreenSize();
  return {0, 0, primary.width, primary.height};
}

void Osd::PlaceOsd() {
  const config::SettingsTable& settings = config_.settings();
  const platform::ScreenRect screen = OsdScreen(settings, shell_);
  Point place;
  if (!OsdPlace(settings[config::kOsdPosition], {screen.width, screen.height}, place)) return;
  place.x += screen.left;
  place.y += screen.top;
  const ui::ControlState& s = form_.Get(OsdId::TForm5);
  if (s.x != place.x || s.y != place.y) form_.SetBounds(OsdId::TForm5, place.x, place.y, s.w, s.h);
}

void Osd::OnHideTick() {
  if (++hide_ticks_ < kHideAfterTicks) return;
  hide_ticks_ = 0;
  timers_.EnableTimer(hide_timer_, false);
  form_.HideFromTop();
}

void CountdownWindow::SetLines(const std::string& first, const std::string& second) {
  using ui::CountdownId;
  form_.SetText(CountdownId::Label1, first);
  ui::CentreLabel(form_, CountdownId::Label1, CountdownId::Panel1);
  form_.SetText(CountdownId::Label2, second);
  ui::CentreLabel(form_, CountdownId::Label2, CountdownId::Panel1);
}

void CountdownWindow::Show() {
  form_.ShowOnTop();
}

void CountdownWindow::Hide() {
  form_.HideFromTop();
}

}  // namespace talvoro::osd
