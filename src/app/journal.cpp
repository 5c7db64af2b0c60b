#include "app/journal.h"

#include <charconv>
#include <map>
#include <string_view>

#include "app/clock_text.h"
#include "platform/app_error.h"

namespace talvoro::app {

using dispatch::Outcome;
using ui::JournalId;

namespace {

// The captions over the action buttons, by code slot: the layout names
// each one after its slot ("LabelCap36" stands over the button of slot 36).
const std::map<int, std::string_view>& CaptionsOverButtons() {
  static const std::map<int, std::string_view> captions = [] {
    constexpr std::string_view kPrefix = "LabelCap";
    std::map<int, std::string_view> found;
    for (const ui::ControlSpec& control : ui::MainLayout().controls) {
      const std::string_view name = control.name;
      if (name.substr(0, kPrefix.size()) != kPrefix) continue;
      int slot = 0;
      const char* digits = name.data() + kPrefix.size();
      const auto [end, error] = std::from_chars(digits, name.data() + name.size(), slot);
      if (error == std::errc() && end == name.data() + name.size()) found[slot] = control.caption;
    }
    return found;
  }();
  return captions;
}

}  // namespace

std::string ActionName(const dispatch::TabSpec& tab, const dispatch::CodeSlot& code) {
  // The conflict warning calls the toggle switches by this name too.
  if (tab.toggle && tab.toggle->slot == code.slot) return "Activation codes IR";
  const auto& captions = CaptionsOverButtons();
  if (auto it = captions.find(code.slot); it != captions.end()) return std::string(it->second);
  const ui::ControlSpec& control = ui::MainLayout().controls[ui::MainForm::At(code.control)];
  return control.hint && *control.hint ? control.hint : control.caption;
}

std::string OutcomeText(const Outcome& outcome) {
  auto action = [&] {
    return ActionName(*outcome.tab, *outcome.code) + " (" + outcome.tab->caption + ")";
  };
  switch (outcome.kind) {
    case Outcome::Kind::Toggled:
      return std::string(outcome.tab->caption) + (outcome.on ? " activé" : " désactivé");
    case Outcome::Kind::ActionRun:
      return action();
    case Outcome::Kind::Stored:
      return "Mémorisé pour : " + action();
    case Outcome::Kind::Refused:
      return "Refusé : code d'un interrupteur ON/OFF";
    case Outcome::Kind::RepeatIgnored:
      return "Ignoré : répétition";
    case Outcome::Kind::CodeZero:
      return "Code 0 : ignoré";
    case Outcome::Kind::NothingBound:
      return "Aucune action programmée";
    case Outcome::Kind::TabOff:
      return std::string("Programmé, mais onglet inactif : ") + outcome.tab->caption;
  }
  return {};
}

Journal::Journal(ui::JournalForm& form, platform::IClock& clock, platform::IShell& shell)
    : form_(form), clock_(clock), shell_(shell) {
  form_.OnClick(JournalId::Button1, [this] { Copy(); });
  form_.OnClick(JournalId::Button2, [this] { Clear(); });
  form_.OnClose([this] { Hide(); });
}

void Journal::Show() {
  // The list was left as it stood when the window closed: it is filled
  // anew, then follows each code as it comes.
  form_.SetItems(JournalId::ListBox1, Lines());
  form_.SetVisible(JournalId::TForm10, true);
}

void Journal::Hide() {
  form_.SetVisible(JournalId::TForm10, false);
}

void Journal::Copy() {
  if (!shell_.CopyText(Text()))
    throw platform::AppError(
        "Le journal n'a pas pu être copié : le presse-papiers est occupé par un autre "
        "programme.");
}

void Journal::Clear() {
  count_ = 0;
  first_ = 0;
  newest_ = nullptr;
  form_.SetItems(JournalId::ListBox1, {});
}

std::string Journal::Line(const Entry& entry) {
  std::string line = TimeText(entry.time) + '\t' + std::to_string(entry.code) + '\t';
  for (std::size_t n = 0; n < entry.outcomes.size(); ++n) {
    if (n > 0) line += " ; ";
    line += OutcomeText(entry.outcomes[n]);
  }
  return line;
}

std::vector<std::string> Journal::Lines() const {
  std::vector<std::string> lines;
  lines.reserve(count_);
  for (std::size_t n = 0; n < count_; ++n) lines.push_back(Line(At(n)));
  return lines;
}

std::string Journal::Text() const {
  std::string text;
  for (const std::string& line : Lines()) text += line + "\r\n";
  return text;
}

void Journal::CodeArrived(int code) {
  const bool full = count_ == kCapacity;
  Entry& entry = ring_[(first_ + count_) % kCapacity];  // the oldest one when full
  if (full)
    first_ = (first_ + 1) % kCapacity;
  else
    ++count_;
  entry.time = clock_.Now();
  entry.code = code;
  entry.outcomes.clear();
  newest_ = &entry;
  if (!form_.Shown()) return;
  if (full) form_.RemoveItem(JournalId::ListBox1, 0);
  form_.AddItem(JournalId::ListBox1, Line(entry));
}

void Journal::Report(const Outcome& outcome) {
  if (!newest_) return;  // emptied while the code went through
  newest_->outcomes.push_back(outcome);
  if (form_.Shown()) form_.SetItem(JournalId::ListBox1, count_ - 1, Line(*newest_));
}

}  // namespace talvoro::app
