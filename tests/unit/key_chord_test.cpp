// The key slots' text: every key name, modifiers in any order and case, what
// does not parse, the French display and the events of a chord.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "dispatch/key_chord.h"

namespace talvoro::dispatch {
namespace {

struct Named {
  const char* name;
  int vk;
  bool extended;
  const char* french;
};

// Every key with a name of its own, from the Windows virtual-key table.
const Named kNamed[] = {
    {"Enter", 0x0D, false, "Entrée"},
    {"Escape", 0x1B, false, "Échap"},
    {"Space", 0x20, false, "Espace"},
    {"Tab", 0x09, false, "Tab"},
    {"Backspace", 0x08, false, "Retour arrière"},
    {"Delete", 0x2E, true, "Suppr"},
    {"Insert", 0x2D, true, "Inser"},
    {"Home", 0x24, true, "Origine"},
    {"End", 0x23, true, "Fin"},
    {"PageUp", 0x21, true, "Page préc."},
    {"PageDown", 0x22, true, "Page suiv."},
    {"Left", 0x25, true, "Gauche"},
    {"Right", 0x27, true, "Droite"},
    {"Up", 0x26, true, "Haut"},
    {"Down", 0x28, true, "Bas"},
    {"MediaPlayPause", 0xB3, true, "Lecture/Pause"},
    {"MediaStop", 0xB2, true, "Stop"},
    {"MediaNext", 0xB0, true, "Piste suivante"},
    {"MediaPrevious", 0xB1, true, "Piste précédente"},
    {"VolumeUp", 0xAF, true, "Volume +"},
    {"VolumeDown", 0xAE, true, "Volume -"},
    {"VolumeMute", 0xAD, true, "Muet"},
    {"BrowserBack", 0xA6, true, "Page Web préc."},
    {"BrowserForward", 0xA7, true, "Page Web suiv."},
    {"BrowserRefresh", 0xA8, true, "Actualiser"},
    {"BrowserStop", 0xA9, true, "Arrêt du chargement"},
    {"BrowserSearch", 0xAA, true, "Recherche Web"},
    {"BrowserFavorites", 0xAB, true, "Favoris"},
    {"BrowserHome", 0xAC, true, "Accueil Web"},
    {"LaunchMail", 0xB4, true, "Courrier"},
    {"PrintScreen", 0x2C, true, "Impr. écran"},
    {"Pause", 0x13, false, "Pause"},
    {"Apps", 0x5D, true, "Menu contextuel"},
};

std::string Upper(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return text;
}

void ExpectKey(const std::string& name, int vk, bool extended, const std::string& french) {
  SCOPED_TRACE(name);
  for (const std::string& spelt : {name, Upper(name)}) {
    const auto chord = ParseChord(spelt);
    ASSERT_TRUE(chord) << spelt;
    EXPECT_EQ(chord->modifiers, 0);
    EXPECT_EQ(chord->key->vk, vk);
    EXPECT_EQ(chord->key->extended, extended);
    EXPECT_EQ(FormatChord(*chord), name);
    EXPECT_EQ(KeysText(spelt), french);
  }
}

TEST(KeyChord, EveryKeyNameReadsInAnyCaseAndIsWrittenAndShownAsItsOwn) {
  for (const Named& key : kNamed) ExpectKey(key.name, key.vk, key.extended, key.french);
  for (char c = 'A'; c <= 'Z'; ++c) ExpectKey(std::string(1, c), c, false, std::string(1, c));
  for (char c = '0'; c <= '9'; ++c) ExpectKey(std::string(1, c), c, false, std::string(1, c));
  for (int n = 1; n <= 24; ++n)
    ExpectKey("F" + std::to_string(n), 0x6F + n, false, "F" + std::to_string(n));
  EXPECT_EQ(NamedKeys().size(), std::size(kNamed) + 26 + 10 + 24);
}

TEST(KeyChord, ModifiersReadInAnyOrderAndCaseAreWrittenCtrlShiftAltWin) {
  const auto chord = ParseChord("shift+CTRL+k");
  ASSERT_TRUE(chord);
  EXPECT_EQ(FormatChord(*chord), "Ctrl+Shift+K");
  EXPECT_EQ(FrenchChord(*chord), "Ctrl+Maj+K");
  const auto all = ParseChord("win+Alt+shift+ctrl+delete");
  ASSERT_TRUE(all);
  EXPECT_EQ(FormatChord(*all), "Ctrl+Shift+Alt+Win+Delete");
  EXPECT_EQ(KeysText("win+Alt+shift+ctrl+delete"), "Ctrl+Maj+Alt+Win+Suppr");
  EXPECT_EQ(KeysText("Alt + F4"), "Alt+F4");
  EXPECT_EQ(KeysText("Win+D"), "Win+D");
  EXPECT_EQ(KeysText("MediaPlayPause"), "Lecture/Pause");
}

TEST(KeyChord, AnEmptySlotSendsNothingAndJunkDoesNotParse) {
  EXPECT_FALSE(ParseChord(""));
  EXPECT_EQ(KeysText(""), "(aucune)");
  for (const char* junk : {"Ctrl", "Ctrl+", "+K", "K+Ctrl", "Ctrl+Ctrl+K", "Ctrl+K+L", "Hyper+K",
                           "F25", "F0", "Ctrl K", "Maj+K", "\xC9", "Ctrl+\xE9", " ", "A\r"}) {
    EXPECT_FALSE(ParseChord(junk)) << junk;
    EXPECT_EQ(KeysText(junk), "(invalide)") << junk;
  }
}

std::vector<std::string> Events(const char* text) {
  std::vector<std::string> events;
  const auto chord = ParseChord(text);
  if (!chord) return {"does not parse"};
  char buffer[32];
  for (const KeyPress& press : ChordEvents(*chord)) {
    std::snprintf(buffer, sizeof buffer, "%s 0x%02X%s", press.key_up ? "up" : "down", press.vk,
                  press.extended ? " ext" : "");
    events.push_back(buffer);
  }
  return events;
}

TEST(KeyChord, AChordPressesModifiersInOrderAndReleasesThemInReverseWithTheRealKeysFlag) {
  using E = std::vector<std::string>;
  EXPECT_EQ(Events("Ctrl+Shift+K"),
            (E{"down 0x11", "down 0x10", "down 0x4B", "up 0x4B", "up 0x10", "up 0x11"}));
  EXPECT_EQ(Events("MediaPlayPause"), (E{"down 0xB3 ext", "up 0xB3 ext"}));
  EXPECT_EQ(Events("Win+D"), (E{"down 0x5B ext", "down 0x44", "up 0x44", "up 0x5B ext"}));
  EXPECT_EQ(Events("Alt+Win+Left"), (E{"down 0x12", "down 0x5B ext", "down 0x25 ext", "up 0x25 ext",
                                       "up 0x5B ext", "up 0x12"}));
}

}  // namespace
}  // namespace talvoro::dispatch
