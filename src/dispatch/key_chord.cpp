#include "dispatch/key_chord.h"

#include <array>

#include "config/text.h"
#include "dispatch/key_script.h"

namespace talvoro::dispatch {
namespace {

struct ModifierKey {
  Modifier bit;
  const char* name;
  const char* french;
  std::uint8_t vk;
  bool extended;
};

// In the order they go down. The Windows key is the left one, which the
// keyboard sends as an extended key.
constexpr std::array<ModifierKey, 4> kModifiers = {{
    {kModCtrl, "Ctrl", "Ctrl", vk::kCtrl, false},
    {kModShift, "Shift", "Maj", vk::kShift, false},
    {kModAlt, "Alt", "Alt", vk::kAlt, false},
    {kModWin, "Win", "Win", 0x5B, true},
}};

std::vector<NamedKey> BuildKeys() {
  constexpr bool kExt = true;
  constexpr bool kListed = true;
  std::vector<NamedKey> keys = {
      {"MediaPlayPause", 0xB3, kExt, "Lecture/Pause", kListed},
      {"MediaStop", 0xB2, kExt, "Stop", kListed},
      {"MediaNext", 0xB0, kExt, "Piste suivante", kListed},
      {"MediaPrevious", 0xB1, kExt, "Piste précédente", kListed},
      {"VolumeUp", 0xAF, kExt, "Volume +", kListed},
      {"VolumeDown", 0xAE, kExt, "Volume -", kListed},
      {"VolumeMute", 0xAD, kExt, "Muet", kListed},
      {"BrowserBack", 0xA6, kExt, "Page Web préc.", kListed},
      {"BrowserForward", 0xA7, kExt, "Page Web suiv.", kListed},
      {"BrowserRefresh", 0xA8, kExt, "Actualiser", kListed},
      {"BrowserStop", 0xA9, kExt, "Arrêt du chargement", kListed},
      {"BrowserSearch", 0xAA, kExt, "Recherche Web", kListed},
      {"BrowserFavorites", 0xAB, kExt, "Favoris", kListed},
      {"BrowserHome", 0xAC, kExt, "Accueil Web", kListed},
      {"LaunchMail", 0xB4, kExt, "Courrier", kListed},
      {"Enter", vk::kEnter, false, "Entrée", kListed},
      {"Escape", vk::kEsc, false, "Échap", kListed},
      {"Space", vk::kSpace, false, "Espace", kListed},
      {"Tab", 0x09, false, "Tab", kListed},
      {"Backspace", 0x08, false, "Retour arrière", kListed},
      {"Delete", 0x2E, kExt, "Suppr", kListed},
      {"Left", vk::kLeft, kExt, "Gauche", kListed},
      {"Right", vk::kRight, kExt, "Droite", kListed},
      {"Up", vk::kUp, kExt, "Haut", kListed},
      {"Down", vk::kDown, kExt, "Bas", kListed},
      {"PrintScreen", 0x2C, kExt, "Impr. écran", kListed},
      {"Pause", 0x13, false, "Pause", kListed},
      {"Apps", 0x5D, kExt, "Menu contextuel", kListed},
  };
  for (int n = 13; n <= 24; ++n) {
    const std::string name = "F" + std::to_string(n);
    keys.push_back({name, static_cast<std::uint8_t>(0x70 + n - 1), false, name, kListed});
  }
  // What a hot-key field takes.
  keys.push_back({"Insert", 0x2D, kExt, "Inser", false});
  keys.push_back({"Home", 0x24, kExt, "Origine", false});
  keys.push_back({"End", vk::kEnd, kExt, "Fin", false});
  keys.push_back({"PageUp", vk::kPageUp, kExt, "Page préc.", false});
  keys.push_back({"PageDown", vk::kPageDown, kExt, "Page suiv.", false});
  for (char c = 'A'; c <= 'Z'; ++c)
    keys.push_back(
        {std::string(1, c), static_cast<std::uint8_t>(c), false, std::string(1, c), false});
  for (char c = '0'; c <= '9'; ++c)
    keys.push_back(
        {std::string(1, c), static_cast<std::uint8_t>(c), false, std::string(1, c), false});
  for (int n = 1; n <= 12; ++n) {
    const std::string name = "F" + std::to_string(n);
    keys.push_back({name, static_cast<std::uint8_t>(0x70 + n - 1), false, name, false});
  }
  return keys;
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (config::AsciiLower(a[i]) != config::AsciiLower(b[i])) return false;
  return true;
}

std::string_view TrimBlanks(std::string_view part) {
  while (!part.empty() && part.front() == ' ') part.remove_prefix(1);
  while (!part.empty() && part.back() == ' ') part.remove_suffix(1);
  return part;
}

const ModifierKey* ModifierByName(std::string_view name) {
  for (const ModifierKey& modifier : kModifiers)
    if (SameIgnoringCase(name, modifier.name)) return &modifier;
  return nullptr;
}

// The chord's parts joined by "+", each modifier by `part_of`, then the key.
template <typename PartOf>
std::string Join(const KeyChord& chord, PartOf part_of, const std::string& key) {
  std::string text;
  for (const ModifierKey& modifier : kModifiers)
    if (chord.modifiers & modifier.bit) text += std::string(part_of(modifier)) + "+";
  return text + key;
}

}  // namespace

std::span<const NamedKey> NamedKeys() {
  static const std::vector<NamedKey> keys = BuildKeys();
  return keys;
}

const NamedKey* KeyByName(std::string_view name) {
  for (const NamedKey& key : NamedKeys())
    if (SameIgnoringCase(name, key.name)) return &key;
  return nullptr;
}

const NamedKey* KeyByVk(std::uint8_t vk) {
  for (const NamedKey& key : NamedKeys())
    if (key.vk == vk) return &key;
  return nullptr;
}

std::optional<KeyChord> ParseChord(std::string_view text) {
  KeyChord chord;
  // Modifiers first, in any order and each once; the key last.
  for (;;) {
    const std::size_t plus = text.find('+');
    const std::string_view part = TrimBlanks(text.substr(0, plus));
    if (plus == std::string_view::npos) {
      chord.key = KeyByName(part);
      if (!chord.key) return std::nullopt;
      return chord;
    }
    const ModifierKey* modifier = ModifierByName(part);
    if (!modifier || (chord.modifiers & modifier->bit)) return std::nullopt;
    chord.modifiers |= modifier->bit;
    text.remove_prefix(plus + 1);
  }
}

std::string FormatChord(const KeyChord& chord) {
  return Join(
      chord, [](const ModifierKey& m) { return m.name; }, chord.key ? chord.key->name : "");
}

std::string FrenchChord(const KeyChord& chord) {
  return Join(
      chord, [](const ModifierKey& m) { return m.french; }, chord.key ? chord.key->french : "");
}

std::string KeysText(std::string_view slot) {
  if (slot.empty()) return kNoKeysText;
  const std::optional<KeyChord> chord = ParseChord(slot);
  return chord ? FrenchChord(*chord) : kInvalidKeysText;
}

std::vector<KeyPress> ChordEvents(const KeyChord& chord) {
  std::vector<KeyPress> events;
  if (!chord.key) return events;
  for (const ModifierKey& modifier : kModifiers)
    if (chord.modifiers & modifier.bit) events.push_back({modifier.vk, false, modifier.extended});
  events.push_back({chord.key->vk, false, chord.key->extended});
  events.push_back({chord.key->vk, true, chord.key->extended});
  for (auto it = kModifiers.rbegin(); it != kModifiers.rend(); ++it)
    if (chord.modifiers & it->bit) events.push_back({it->vk, true, it->extended});
  return events;
}

}  // namespace talvoro::dispatch
