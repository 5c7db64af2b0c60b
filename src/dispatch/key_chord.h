// The keys a row of the "Touches personnalisées" tab sends, as its key slot
// stores them: plain ASCII that reads the same whatever the keyboard's
// language, modifiers and one key name joined by "+" ("Ctrl+Shift+K",
// "Alt+F4", "Win+D", "MediaPlayPause"). Modifiers are written in the order
// Ctrl, Shift, Alt, Win and read in any order and any case. Here: the names,
// reading and writing a slot, the French text the window shows, and the key
// events that send a chord.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace talvoro::dispatch {

// Modifier bits of a chord.
enum Modifier : std::uint8_t {
  kModCtrl = 1,
  kModShift = 2,
  kModAlt = 4,
  kModWin = 8,
};

// A key a slot can name.
struct NamedKey {
  std::string name;    // as stored: "MediaPlayPause", "K", "F13"
  std::uint8_t vk;     // Windows virtual-key code
  bool extended;       // the real key belongs to the keyboard's extended set
  std::string french;  // as shown (UTF-8): "Lecture/Pause", "K", "F13"
  // A hot-key field cannot take it (the media and browser keys, Enter,
  // Escape, Space, Tab, the arrows, F13 to F24...): the keys dialog lists it.
  bool listed;
};

// Every key a slot can name, the listed ones first in the order the keys
// dialog shows them.
std::span<const NamedKey> NamedKeys();
// By its stored name, in any case; null when no key has that name.
const NamedKey* KeyByName(std::string_view name);
// By its virtual-key code; null when no key has that code.
const NamedKey* KeyByVk(std::uint8_t vk);

struct KeyChord {
  std::uint8_t modifiers = 0;  // Modifier bits
  const NamedKey* key = nullptr;
};

// A key slot's text as a chord; nullopt for an empty slot and for a text
// that does not parse.
std::optional<KeyChord> ParseChord(std::string_view text);
// The text a key slot stores for a chord ("Ctrl+Shift+K").
std::string FormatChord(const KeyChord& chord);
// The chord in French ("Ctrl+Maj+K", "Lecture/Pause"), UTF-8.
std::string FrenchChord(const KeyChord& chord);

inline constexpr const char* kNoKeysText = "(aucune)";
inline constexpr const char* kInvalidKeysText = "(invalide)";
// What the window shows for a key slot: the chord in French, "(aucune)" for
// an empty slot, "(invalide)" for a text that does not parse.
std::string KeysText(std::string_view slot);

// One key event of a chord.
struct KeyPress {
  std::uint8_t vk;
  bool key_up;
  bool extended;
};
// The events that send a chord: the modifiers go down in the order Ctrl,
// Shift, Alt, Win, the key goes down and up, the modifiers go up in the
// reverse order; each with the extended flag its real key has.
std::vector<KeyPress> ChordEvents(const KeyChord& chord);

}  // namespace talvoro::dispatch
