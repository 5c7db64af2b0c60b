#include "serial/serial_dialog.h"

#include <algorithm>

#include "config/text.h"
#include "ui/centre.h"

namespace talvoro::serial {

using ui::SerialId;

namespace {

// Windows' own "file not found": the key does not exist.
constexpr std::uint32_t kErrorFileNotFound = 2;

bool LessIgnoringCase(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return static_cast<unsigned char>(config::AsciiLower(x)) <
           static_cast<unsigned char>(config::AsciiLower(y));
  });
}

}  // namespace

PortError::PortError(std::uint32_t win_error)
    : config::AppError("Registry error (win error code: " + std::to_string(win_error) + ")"),
      win_error_(win_error) {}

std::vector<std::string> SortPortNames(std::vector<std::string> data) {
  for (std::string& name : data)
    while (!name.empty() && name.back() == '\0') name.pop_back();
  std::stable_sort(data.begin(), data.end(), LessIgnoringCase);
  return data;
}

std::vector<std::string> ReadPortNames(platform::IRegistry& registry) {
  platform::MachineValues values = registry.ListMachineValues(kSerialDeviceMap);
  switch (values.outcome) {
    case platform::MachineValues::Outcome::Listed:
      return SortPortNames(std::move(values.data));
    case platform::MachineValues::Outcome::MissingKey:
      return {};
    case platform::MachineValues::Outcome::Failed:
      break;
  }
  // A missing key may also come back as a failure with the system's code.
  if (values.error_code == kErrorFileNotFound) return {};
  throw PortError(values.error_code);
}

SerialDialog::SerialDialog(ui::SerialForm& form, platform::IRegistry& registry,
                           config::Configuration& config, OpenHelp open_help)
    : form_(form), registry_(registry), config_(config), open_help_(std::move(open_help)) {
  form_.OnCreate([this] { OnCreate(); });
  form_.OnActivate([this] { OnActivate(); });
  form_.OnClick(SerialId::ComboBox1, [this] { OnSelect(); });
  form_.OnClick(SerialId::SpeedButton1, [this] { Close(); });
  form_.OnClose([this] { Close(); });
  form_.OnClick(SerialId::SpeedButton3, [this] {
    if (open_help_) open_help_("rub32");
  });
  form_.OnClick(SerialId::SpeedButton2, [this] {
    if (open_help_) open_help_("rub9");
  });
}

void SerialDialog::OnCreate() {
  form_.SetVisible(SerialId::Label1, false);
  ports_.clear();
  form_.SetItems(SerialId::ComboBox1, {});
  // An error leaves the list empty and the edit field as it was.
  ports_ = ReadPortNames(registry_);
  std::vector<std::string> shown;
  for (const std::string& name : ports_) shown.push_back(config::AnsiToUtf8(name));
  form_.SetItems(SerialId::ComboBox1, std::move(shown));
  form_.SetText(SerialId::ComboBox1, config::AnsiToUtf8(settings()[config::kSerialPort]));
}

void SerialDialog::OnActivate() {
  if (settings()[config::kSerialFirstUse] != "0") return;
  settings()[config::kSerialFirstUse] = "1";
  form_.SetText(SerialId::ComboBox1, kFirstUsePrompt);
}

void SerialDialog::OnSelect() {
  const int chosen = form_.Position(SerialId::ComboBox1);
  if (chosen < 0 || static_cast<std::size_t>(chosen) >= ports_.size()) return;
  const std::string& name = ports_[static_cast<std::size_t>(chosen)];
  settings()[config::kSerialPort] = name;
  form_.SetText(SerialId::ComboBox1, config::AnsiToUtf8(name));
  // The line is centred on the whole window, frame included, then moved
  // four pixels to the left.
  const std::string text = kSelectedText + config::AnsiToUtf8(name);
  form_.SetText(SerialId::Label1, text);
  const ui::ControlState& label = form_.Get(SerialId::Label1);
  const int width = form_.TextWidth(SerialId::Label1, text);
  form_.SetBounds(SerialId::Label1, ui::CentredLeft(form_.OuterWidth(), width) - 4, label.y, width,
                  label.h);
  form_.SetVisible(SerialId::Label1, true);
}

void SerialDialog::Show() {
  // Text typed in the edit field and never chosen is not kept.
  form_.SetText(SerialId::ComboBox1, config::AnsiToUtf8(settings()[config::kSerialPort]));
  form_.ShowOnTop();
}

void SerialDialog::Close() {
  form_.SetVisible(SerialId::Label1, false);
  form_.HideFromTop();
}

}  // namespace talvoro::serial
