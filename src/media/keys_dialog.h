// The keys dialog (TForm9) of the "Touches personnalisées" tab: it shows the
// keys a row sends and lets the user choose others. A hot-key field takes a
// combination as it is pressed; four boxes hold the modifiers (the field
// knows no Windows key); a list offers the keys the field cannot take. "&Ok"
// hands the choice over as a key slot stores it; "&Annuler", Escape and the
// close box leave everything as it was.
//
// Like the program's other dialogs it is shown above the other windows but
// not modally: the main window stays usable, and remote codes still run
// while it is open (keys they send go to whatever window is in front, this
// one included).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "dispatch/key_chord.h"
#include "ui/forms/forms.h"

namespace talvoro::media {

inline constexpr const char* kKeysShownPrefix = "Touches envoyées : ";

class KeysDialog {
 public:
  // Receives what a key slot is to store: "Ctrl+Shift+K", or "" for no keys.
  using Chosen = std::function<void(const std::string& stored)>;

  explicit KeysDialog(ui::KeysForm& form);

  // Shows the dialog for row `row`, holding the keys of `stored` (a key
  // slot's text: one that does not parse shows no keys); `chosen` runs on
  // "&Ok". Opening it again replaces what it showed.
  void Open(int row, const std::string& stored, Chosen chosen);
  // What "&Ok" would store now.
  std::string Current() const;

 private:
  void OnHotKey();
  void OnModifier();
  void OnList();
  void OnOk();
  void Close();
  void SetModifiers(std::uint8_t modifiers, bool with_win);
  std::uint8_t Modifiers() const;
  const dispatch::NamedKey* Key() const;
  // The field shows `key` (none: empty) with the boxes' modifiers.
  void ShowInField(const dispatch::NamedKey* key);
  void ShowCurrent();

  ui::KeysForm& form_;
  std::vector<const dispatch::NamedKey*> listed_;  // the list's items after "(aucune)"
  Chosen chosen_;
};

}  // namespace talvoro::media
