#include "media/keys_dialog.h"

#include <optional>

namespace talvoro::media {

using dispatch::KeyChord;
using dispatch::NamedKey;
using ui::KeysId;

namespace {

// The field's modifiers and the chord's, pair by pair (the field has no
// Windows key).
struct FieldModifier {
  int field;
  std::uint8_t chord;
  KeysId box;
};
constexpr FieldModifier kFieldModifiers[] = {
    {ui::hotkey::kCtrl, dispatch::kModCtrl, KeysId::CheckBox1},
    {ui::hotkey::kShift, dispatch::kModShift, KeysId::CheckBox2},
    {ui::hotkey::kAlt, dispatch::kModAlt, KeysId::CheckBox3},
};

}  // namespace

KeysDialog::KeysDialog(ui::KeysForm& form) : form_(form) {
  std::vector<std::string> items = {dispatch::kNoKeysText};
  for (const NamedKey& key : dispatch::NamedKeys())
    if (key.listed) {
      listed_.push_back(&key);
      items.push_back(key.french);
    }
  form_.SetItems(KeysId::ComboBox1, std::move(items));
  form_.OnClick(KeysId::HotKey1, [this] { OnHotKey(); });
  for (KeysId box : {KeysId::CheckBox1, KeysId::CheckBox2, KeysId::CheckBox3, KeysId::CheckBox4})
    form_.OnClick(box, [this] { OnModifier(); });
  form_.OnClick(KeysId::ComboBox1, [this] { OnList(); });
  form_.OnClick(KeysId::Button1, [this] { OnOk(); });
  form_.OnClick(KeysId::Button2, [this] { Close(); });
  form_.OnClose([this] { Close(); });
}

void KeysDialog::Open(int row, const std::string& stored, Chosen chosen) {
  chosen_ = std::move(chosen);
  form_.SetText(KeysId::TForm9, "Touche " + std::to_string(row) + " : touches à envoyer");
  const std::optional<KeyChord> chord = dispatch::ParseChord(stored);
  SetModifiers(chord ? chord->modifiers : 0, true);
  int item = 0;
  const NamedKey* in_field = nullptr;
  if (chord && chord->key->listed) {
    for (std::size_t i = 0; i < listed_.size(); ++i)
      if (listed_[i] == chord->key) item = static_cast<int>(i) + 1;
  } else if (chord) {
    in_field = chord->key;
  }
  form_.SetPosition(KeysId::ComboBox1, item);
  ShowInField(in_field);
  ShowCurrent();
  form_.ShowOnTop();
}

std::string KeysDialog::Current() const {
  const NamedKey* key = Key();
  if (!key) return "";
  return dispatch::FormatChord(KeyChord{Modifiers(), key});
}

void KeysDialog::OnHotKey() {
  const int position = form_.Position(KeysId::HotKey1);
  const int vk = ui::hotkey::Key(position);
  // Modifiers alone, while the user holds them: the field shows them until
  // the key comes.
  if (vk == 0) {
    ShowCurrent();
    return;
  }
  const NamedKey* key = dispatch::KeyByVk(static_cast<std::uint8_t>(vk));
  if (key) {
    // A combination pressed in the field replaces the list's key, and its
    // modifiers replace the boxes' (the Windows key stays as it was).
    std::uint8_t modifiers = 0;
    for (const FieldModifier& m : kFieldModifiers)
      if (position & m.field) modifiers |= m.chord;
    SetModifiers(modifiers, false);
    form_.SetPosition(KeysId::ComboBox1, 0);
  }
  // A key without a name here (a punctuation key, whose place differs from
  // one keyboard to another) is not taken.
  ShowInField(key);
  ShowCurrent();
}

void KeysDialog::OnModifier() {
  // The field shows the boxes' modifiers with its key.
  if (form_.Position(KeysId::ComboBox1) <= 0) ShowInField(Key());
  ShowCurrent();
}

void KeysDialog::OnList() {
  if (form_.Position(KeysId::ComboBox1) > 0) ShowInField(nullptr);
  ShowCurrent();
}

void KeysDialog::OnOk() {
  const std::string stored = Current();
  Close();
  if (chosen_) chosen_(stored);
}

void KeysDialog::Close() {
  form_.HideFromTop();
}

void KeysDialog::SetModifiers(std::uint8_t modifiers, bool with_win) {
  for (const FieldModifier& m : kFieldModifiers)
    form_.SetChecked(m.box, (modifiers & m.chord) != 0);
  if (with_win) form_.SetChecked(KeysId::CheckBox4, (modifiers & dispatch::kModWin) != 0);
}

std::uint8_t KeysDialog::Modifiers() const {
  std::uint8_t modifiers = form_.Checked(KeysId::CheckBox4) ? dispatch::kModWin : 0;
  for (const FieldModifier& m : kFieldModifiers)
    if (form_.Checked(m.box)) modifiers |= m.chord;
  return modifiers;
}

const NamedKey* KeysDialog::Key() const {
  const int item = form_.Position(KeysId::ComboBox1);
  if (item > 0 && static_cast<std::size_t>(item) <= listed_.size())
    return listed_[static_cast<std::size_t>(item) - 1];
  return dispatch::KeyByVk(
      static_cast<std::uint8_t>(ui::hotkey::Key(form_.Position(KeysId::HotKey1))));
}

void KeysDialog::ShowInField(const NamedKey* key) {
  int position = 0;
  if (key) {
    position = key->vk | (key->extended ? ui::hotkey::kExtended : 0);
    for (const FieldModifier& m : kFieldModifiers)
      if (form_.Checked(m.box)) position |= m.field;
  }
  if (position != form_.Position(KeysId::HotKey1)) form_.SetPosition(KeysId::HotKey1, position);
}

void KeysDialog::ShowCurrent() {
  const std::string stored = Current();
  form_.SetText(KeysId::Label3,
                kKeysShownPrefix + (stored.empty() ? std::string(dispatch::kNoKeysText)
                                                   : dispatch::KeysText(stored)));
}

}  // namespace talvoro::media
