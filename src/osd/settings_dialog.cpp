#include "osd/settings_dialog.h"

#include <algorithm>
#include <cctype>
#include <span>

namespace talvoro::osd {

using ui::SettingsId;

namespace {

struct Choice {
  SettingsId button;
  const char* value;
};

// The radio buttons of each page and the value each stands for.
constexpr Choice kOsdSwitch[] = {
    {SettingsId::RadioButton1, "OSD_ON"},
    {SettingsId::RadioButton2, "OSD_OFF"},
};
constexpr Choice kOsdPosition[] = {
    {SettingsId::RadioButton3, "POSI_OSD_HG"}, {SettingsId::RadioButton4, "POSI_OSD_BG"},
    {SettingsId::RadioButton6, "POSI_OSD_HD"}, {SettingsId::RadioButton7, "POSI_OSD_BD"},
    {SettingsId::RadioButton5, "POSI_OSD_CE"},
};

// The check boxes and the values their entry takes ticked and unticked.
// Only the first one acts at once (a press on it makes or removes the
// StartUp shortcut); the others only give their entry its value.
struct Box {
  SettingsId box;
  config::SettingsEntry entry;
  const char* ticked;
  const char* unticked;
};
constexpr Box kBoxes[] = {
    {SettingsId::CheckBox1, config::kStartup, "LANCE_ON", "LANCE_OFF"},
    {SettingsId::CheckBox2, config::kRepeatFilter, "ANTIREPET_ON", "ANTIREPET_OFF"},
    {SettingsId::CheckBox3, config::kOsdActiveScreen, "OSD_ECRAN_ACTIF", "OSD_ECRAN_PRINCIPAL"},
};

constexpr const char* kInformationCaption = "Information";
constexpr const char* kWarningCaption = "Avertissement";

bool EndsWithSeparator(const std::string& path) {
  return !path.empty() && (path.back() == '\\' || path.back() == '/');
}

std::string WithSeparator(std::string folder) {
  if (!EndsWithSeparator(folder)) folder += '\\';
  return folder;
}

}  // namespace

std::optional<std::string> StartupFolder(platform::IRegistry& registry,
                                         platform::IShortcuts& shortcuts) {
  if (auto listed = registry.ReadUserString(kShellFoldersKey, kStartupValue);
      listed && !listed->empty())
    return WithSeparator(*listed);
  if (auto known = shortcuts.KnownStartupFolder(); known && !known->empty())
    return WithSeparator(*known);
  return std::nullopt;
}

std::string LinkPath(const std::string& folder, const std::string& target) {
  const std::size_t slash = target.find_last_of("\\/");
  std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
  std::string extension = name.size() >= 4 ? name.substr(name.size() - 4) : std::string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  if (extension != ".LNK") name += ".lnk";
  return folder + name;
}

SettingsDialog::SettingsDialog(ui::SettingsForm& form, config::Configuration& config,
                               platform::IRegistry& registry, platform::IShortcuts& shortcuts,
                               platform::IFileSystem& files, platform::IDialogs& dialogs,
                               OpenHelp open_help)
    : form_(form),
      config_(config),
      registry_(registry),
      shortcuts_(shortcuts),
      files_(files),
      dialogs_(dialogs),
      open_help_(std::move(open_help)) {
  form_.OnActivate([this] { Activate(); });
  form_.OnClick(SettingsId::Button2, [this] { Store(); });
  form_.OnClose([this] { Store(); });
  form_.OnClick(SettingsId::Button1, [this] {
    if (open_help_) open_help_(kHelpTopic);
  });
  // Any mouse button. The view leaves a handled box as the handler set it,
  // so its own click toggle cannot undo what was done; the keyboard still
  // toggles it, which changes only what "&Ok" stores.
  form_.OnMouseDown(SettingsId::CheckBox1, [this](ui::MouseButton) { PressBox(); });
}

void SettingsDialog::Show() {
  form_.SetVisible(SettingsId::TForm3, true);
}

void SettingsDialog::CheckRadio(SettingsId id) {
  // A radio button checked from code unchecks the others of its page, as a
  // click does.
  for (std::span<const Choice> group :
       {std::span<const Choice>(kOsdSwitch), std::span<const Choice>(kOsdPosition)}) {
    if (std::none_of(group.begin(), group.end(), [id](const Choice& c) { return c.button == id; }))
      continue;
    for (const Choice& c : group)
      if (c.button != id && form_.Checked(c.button)) form_.SetChecked(c.button, false);
  }
  form_.SetChecked(id, true);
}

void SettingsDialog::Activate() {
  const config::SettingsTable& settings = config_.settings();
  for (const Box& b : kBoxes)
    if (settings[b.entry] == b.ticked) form_.SetChecked(b.box, true);
  for (const Choice& c : kOsdSwitch)
    if (settings[config::kOsdSwitch] == c.value) CheckRadio(c.button);
  for (const Choice& c : kOsdPosition)
    if (settings[config::kOsdPosition] == c.value) CheckRadio(c.button);
}

void SettingsDialog::Store() {
  config::SettingsTable& settings = config_.settings();
  for (const Box& b : kBoxes) settings[b.entry] = form_.Checked(b.box) ? b.ticked : b.unticked;
  for (const Choice& c : kOsdSwitch)
    if (form_.Checked(c.button)) settings[config::kOsdSwitch] = c.value;
  for (const Choice& c : kOsdPosition)
    if (form_.Checked(c.button)) settings[config::kOsdPosition] = c.value;
  form_.SetVisible(SettingsId::TForm3, false);
}

std::string SettingsDialog::ShortcutTarget() const {
  return WithSeparator(config_.settings()[config::kProgramDirectory]) + kExecutableName;
}

bool SettingsDialog::CreateShortcut() {
  const std::optional<std::string> folder = StartupFolder(registry_, shortcuts_);
  if (!folder) return false;
  const std::string target = ShortcutTarget();
  return shortcuts_.CreateShortcut(LinkPath(*folder, target), target);
}

bool SettingsDialog::RemoveShortcut() {
  const std::optional<std::string> folder = StartupFolder(registry_, shortcuts_);
  if (!folder) return false;
  // A shortcut that is not there any more counts as removed.
  const std::string link = LinkPath(*folder, ShortcutTarget());
  files_.RemoveFile(link);
  return !files_.FileExists(link);
}

void SettingsDialog::PressBox() {
  const bool ticked = form_.Checked(SettingsId::CheckBox1);
  const bool done = ticked ? RemoveShortcut() : CreateShortcut();
  if (!done) {
    dialogs_.MessageBox(ticked ? kNotRemovedText : kNotCreatedText, kWarningCaption,
                        platform::BoxIcon::Warning, platform::BoxButtons::Ok);
    return;
  }
  dialogs_.MessageBox(ticked ? kRemovedText : kCreatedText, kInformationCaption,
                      platform::BoxIcon::Information, platform::BoxButtons::Ok);
  form_.SetChecked(SettingsId::CheckBox1, !ticked);
}

}  // namespace talvoro::osd
