#include "dispatch/slot_map.h"

#include <stdexcept>

namespace talvoro::dispatch {
namespace {

using M = MainId;
using Role = MediaRole;
using Pic = ui::ButtonPicture;
using namespace vk;

constexpr const char* kNoOsd = nullptr;

// A tab's state slot, whose place the file fixes.
constexpr int StateSlot(int tab) {
  return config::kStateSlots[tab - 1];
}
constexpr KeyScript kNoKeys = {};

// A media tab's button: its code slot and everything it does.
constexpr CodeSlot Button(int slot, int action, MainId control, MainId code_label, Pic picture,
                          KeyScript keys, int pending, const char* osd_status,
                          Role role = Role::Shortcut, const char* osd_title = nullptr) {
  return {slot, action, control, code_label, keys, pending, osd_status, role, osd_title, picture};
}

// A row whose action also runs for a held button's repeats: one step more
// each time, as long as the button is held.
constexpr CodeSlot Repeatable(CodeSlot code) {
  code.repeatable = true;
  return code;
}

// Volume up and down and the two balance sides step on while held; the
// selections, mute and centre act once per press.
constexpr CodeSlot kVolumesCodes[] = {
    {7, 1, M::RadioButton1, M::Label3},
    {8, 2, M::RadioButton2, M::Label4},
    Repeatable({9, 3, M::SpeedButton1, M::Label5}),
    Repeatable({10, 4, M::SpeedButton2, M::Label9}),
    {11, 5, M::SpeedButton6, M::Label15},
    Repeatable({12, 6, M::SpeedButton4, M::Label8}),
    Repeatable({13, 7, M::SpeedButton5, M::Label6}),
    {14, 8, M::SpeedButton3, M::Label7},
};

constexpr CodeSlot kWindowsCodes[] = {
    {22, 10, M::SpeedButton11, M::Label23}, {23, 11, M::SpeedButton12, M::Label24},
    {24, 12, M::SpeedButton13, M::Label25}, {25, 13, M::SpeedButton14, M::Label26},
    {26, 14, M::SpeedButton7, M::Label17},  {27, 15, M::SpeedButton8, M::Label18},
    {28, 16, M::SpeedButton9, M::Label19},  {29, 17, M::SpeedButton10, M::Label20},
};

// The media tabs' rows are their buttons, each: slot, action, button, code
// label, the picture on the button (after what the button does; a dot for
// the rare ones), the button's own keys, the value it leaves in the tab's
// pending action number, its OSD status line (kNoOsd: never shown), then
// where it differs from a plain shortcut button, its role and its own title
// line.
constexpr CodeSlot kWmpCodes[] = {
    Button(36, 20, M::SpeedButton19, M::LabelIr36, Pic::PlayPause, Ctrl(Key('P')), 2,
           "Bouton : Lecture / Pause"),
    Button(37, 21, M::SpeedButton18, M::LabelIr37, Pic::Stop, Ctrl(Key('S')), 3, "Bouton : Stop"),
    Button(38, 22, M::SpeedButton20, M::LabelIr38, Pic::FastForward, CtrlShift(Key('F')), 4,
           "Bouton : Avance rapide ON/OFF"),
    Button(39, 23, M::SpeedButton17, M::LabelIr39, Pic::Rewind, CtrlShift(Key('B')), 5,
           "Bouton : Retour rapide ON/OFF"),
    Button(40, 24, M::SpeedButton21, M::LabelIr40, Pic::Next, Ctrl(Key('F')), 6,
           "Bouton : Suivant"),
    Button(41, 25, M::SpeedButton16, M::LabelIr41, Pic::Previous, Ctrl(Key('B')), 7,
           "Bouton : Précédent"),
    Button(42, 26, M::SpeedButton15, M::LabelIr42, Pic::Power, kNoKeys, 1, "ACTIF", Role::Activer),
    Button(43, 27, M::SpeedButton22, M::LabelIr43, Pic::FullScreen, Alt(kEnter), 8, kNoOsd),
    Button(44, 28, M::SpeedButton23, M::LabelIr44, Pic::Shuffle, Ctrl(Key('H')), 9,
           "Bouton : Lecture aléatoire ON/OFF"),
};

constexpr CodeSlot kWinampCodes[] = {
    Button(53, 41, M::SpeedButton34, M::LabelIr53, Pic::Power, kNoKeys, 3, "ACTIF", Role::Activer),
    Button(54, 42, M::SpeedButton28, M::LabelIr54, Pic::Play, Tap(Key('X')), 4, "Bouton : Lire"),
    Button(55, 43, M::SpeedButton26, M::LabelIr55, Pic::Stop, Tap(Key('V')), 5, "Bouton : Stop"),
    Button(56, 44, M::SpeedButton29, M::LabelIr56, Pic::FastForward, Tap(kRight), 6,
           "Bouton : Avancer"),
    Button(57, 45, M::SpeedButton25, M::LabelIr57, Pic::Rewind, Tap(kLeft), 7, "Bouton : Reculer"),
    Button(58, 46, M::SpeedButton30, M::LabelIr58, Pic::Next, Tap(Key('B')), 8, "Bouton : Suivant"),
    Button(59, 47, M::SpeedButton24, M::LabelIr59, Pic::Previous, Tap(Key('Z')), 9,
           "Bouton : Précédent"),
    Button(60, 48, M::SpeedButton27, M::LabelIr60, Pic::Pause, Tap(Key('C')), 10, "Bouton : Pause"),
    Button(61, 49, M::SpeedButton31, M::LabelIr61, Pic::Repeat, Tap(Key('R')), 11,
           "Bouton : Répétez tout"),
    Button(62, 50, M::SpeedButton32, M::LabelIr62, Pic::Shuffle, Tap(Key('S')), 12,
           "Bouton : Dans l'ordre / Aléatoire"),
    Button(63, 51, M::SpeedButton33, M::LabelIr63, Pic::Dot, Tap(Key('F')), 13,
           "Bouton : Enchainer les titres"),
};

// Ejection goes without the tab's steps after the keys.
constexpr CodeSlot kPowerDvdCodes[] = {
    Button(73, 61, M::SpeedButton36, M::LabelIr73, Pic::Power, kNoKeys, 3, "ACTIF", Role::Activer),
    Button(74, 62, M::SpeedButton42, M::LabelIr74, Pic::Play, Tap(kEnter), 4, "Bouton : Lecture"),
    Button(75, 63, M::SpeedButton40, M::LabelIr75, Pic::Stop, Tap(Key('S')), 5, "Bouton : Arrêt"),
    Button(76, 64, M::SpeedButton43, M::LabelIr76, Pic::StepForward, Tap(Key('T')), 6,
           "Bouton : Pas à pas avant"),
    Button(77, 65, M::SpeedButton39, M::LabelIr77, Pic::StepBack, Ctrl(Key('B')), 7,
           "Bouton : Pas à pas arrière"),
    Button(78, 66, M::SpeedButton44, M::LabelIr78, Pic::Next, Tap(Key('N')), 8, "Bouton : Suivant"),
    Button(79, 67, M::SpeedButton38, M::LabelIr79, Pic::Previous, Tap(Key('P')), 9,
           "Bouton : Précédent"),
    Button(80, 68, M::SpeedButton41, M::LabelIr80, Pic::Pause, Tap(kSpace), 10, "Bouton : Pause"),
    Button(81, 69, M::SpeedButton47, M::LabelIr81, Pic::FullScreen, Tap(Key('Z')), 11, kNoOsd),
    Button(82, 70, M::SpeedButton48, M::LabelIr82, Pic::Eject, Ctrl(Key('E')), 12,
           "Bouton : Ejection", Role::ShortcutWithoutAfter),
    Button(83, 71, M::SpeedButton45, M::LabelIr83, Pic::Subtitles, Tap(Key('U')), 13,
           "Bouton : Sous-titres"),
    Button(84, 72, M::SpeedButton46, M::LabelIr84, Pic::Dot, Tap(Key('H')), 14,
           "Bouton : Langues audio"),
};

constexpr CodeSlot kWinDvdCodes[] = {
    Button(93, 81, M::SpeedButton56, M::LabelIr93, Pic::Power, kNoKeys, 3, "ACTIF", Role::Activer),
    Button(94, 82, M::SpeedButton60, M::LabelIr94, Pic::PlayPause, Tap(kSpace), 4,
           "Bouton : Lecture / Pause"),
    Button(95, 83, M::SpeedButton59, M::LabelIr95, Pic::Stop, Tap(kEnd), 5, "Bouton : Arrêt"),
    Button(96, 84, M::SpeedButton61, M::LabelIr96, Pic::FastForward, Tap(Key('F')), 6,
           "Bouton : Accéléré avant"),
    Button(97, 85, M::SpeedButton58, M::LabelIr97, Pic::Rewind, Tap(Key('R')), 7,
           "Bouton : Accéléré arrière"),
    Button(98, 86, M::SpeedButton62, M::LabelIr98, Pic::Next, Tap(kPageDown), 8,
           "Bouton : Suivant"),
    Button(99, 87, M::SpeedButton57, M::LabelIr99, Pic::Previous, Tap(kPageUp), 9,
           "Bouton : Précédent"),
    Button(100, 88, M::SpeedButton63, M::LabelIr100, Pic::FullScreen, Tap(Key('Z')), 10, kNoOsd),
    Button(101, 89, M::SpeedButton64, M::LabelIr101, Pic::Eject, Tap(Key('E')), 11,
           "Bouton : Ejecter"),
    Button(102, 90, M::SpeedButton65, M::LabelIr102, Pic::StepForward, Tap(Key('N')), 12,
           "Bouton : Avance image par image"),
    Button(103, 91, M::SpeedButton66, M::LabelIr103, Pic::Dot, Ctrl(Key('Q')), 13,
           "Bouton : Saut avant"),
    Button(104, 92, M::SpeedButton67, M::LabelIr104, Pic::Menu, Ctrl(Key('M')), 14,
           "Bouton : Menu général"),
};

constexpr CodeSlot kMsiDvdCodes[] = {
    Button(113, 101, M::SpeedButton69, M::LabelIr113, Pic::Power, kNoKeys, 3, "ACTIF",
           Role::Activer),
    Button(114, 102, M::SpeedButton75, M::LabelIr114, Pic::Play, {Tap(kSpace), Tap(kEnter)}, 4,
           "Bouton : Lecture"),
    Button(115, 103, M::SpeedButton73, M::LabelIr115, Pic::Stop, Tap(kEnd), 5, "Bouton : Arrêt"),
    Button(116, 104, M::SpeedButton76, M::LabelIr116, Pic::FastForward, Tap(Key('F')), 6,
           "Bouton : Accéléré avant"),
    Button(117, 105, M::SpeedButton72, M::LabelIr117, Pic::Rewind, Tap(Key('R')), 7,
           "Bouton : Accéléré arrière"),
    Button(118, 106, M::SpeedButton77, M::LabelIr118, Pic::Next, Tap(kPageDown), 8,
           "Bouton : Suivant"),
    Button(119, 107, M::SpeedButton71, M::LabelIr119, Pic::Previous, Tap(kPageUp), 9,
           "Bouton : Précédent"),
    Button(120, 108, M::SpeedButton74, M::LabelIr120, Pic::Pause, Tap(kSpace), 10,
           "Bouton : Pause"),
    Button(121, 109, M::SpeedButton78, M::LabelIr121, Pic::FullScreen, Tap(Key('Z')), 11, kNoOsd),
    Button(122, 110, M::SpeedButton79, M::LabelIr122, Pic::Eject, Tap(Key('E')), 12,
           "Bouton : Ejecter"),
    Button(123, 111, M::SpeedButton80, M::LabelIr123, Pic::StepForward, Tap(Key('N')), 13,
           "Bouton : Avance image par image"),
};

// The volume buttons send the arrow keys, whatever their hints say.
constexpr CodeSlot kPinnacleCodes[] = {
    Button(133, 121, M::SpeedButton83, M::LabelIr133, Pic::Power, kNoKeys, 3, "ACTIF",
           Role::Activer),
    Button(134, 122, M::SpeedButton84, M::LabelIr134, Pic::ChannelUp, Tap(kUp), 4,
           "Bouton : Programme +"),
    Button(135, 123, M::SpeedButton85, M::LabelIr135, Pic::ChannelDown, Tap(kDown), 5,
           "Bouton : Programme -"),
    Button(136, 124, M::SpeedButton86, M::LabelIr136, Pic::Dot, Ctrl(Key('A')), 6,
           "Bouton : Sources vidéo"),
    Button(137, 125, M::SpeedButton87, M::LabelIr137, Pic::Dot, Ctrl(Key('P')), 7,
           "Bouton : Aperçu"),
    Button(138, 126, M::SpeedButton88, M::LabelIr138, Pic::VolumeUp, Tap(kRight), 8,
           "Bouton : Volume +"),
    Button(139, 127, M::SpeedButton89, M::LabelIr139, Pic::VolumeDown, Tap(kLeft), 9,
           "Bouton : Volume -"),
    Button(140, 128, M::SpeedButton90, M::LabelIr140, Pic::Play, Alt(Key('P')), 10,
           "Bouton : Lecture"),
    Button(141, 129, M::SpeedButton91, M::LabelIr141, Pic::Stop, Alt(Key('S')), 11,
           "Bouton : Arrêt"),
    Button(142, 130, M::SpeedButton92, M::LabelIr142, Pic::Record, Alt(Key('R')), 12,
           "Bouton : Enregistrer"),
    Button(143, 131, M::SpeedButton93, M::LabelIr143, Pic::FullScreen, Ctrl(Key('F')), 13,
           "Bouton : Plein écran ON/OFF"),
    Button(144, 132, M::SpeedButton94, M::LabelIr144, Pic::Photo, Tap(kF4), 14, "Bouton : Photo"),
    Button(145, 133, M::SpeedButton95, M::LabelIr145, Pic::Info, Ctrl(Key('I')), 15,
           "Bouton : Informations"),
};

// The two page buttons are crossed: previous page (144) learns into 157, next
// page (145) into 156. The slide buttons never show the OSD.
constexpr CodeSlot kPowerPointCodes[] = {
    Button(153, 141, M::SpeedButton102, M::LabelIr153, Pic::Power, kNoKeys, 3, "ACTIF",
           Role::Activer),
    Button(154, 142, M::SpeedButton98, M::LabelIr154, Pic::Play, Tap(kF5), 4, kNoOsd),
    Button(155, 143, M::SpeedButton99, M::LabelIr155, Pic::Stop, Tap(kEsc), 5, kNoOsd),
    Button(156, 145, M::SpeedButton101, M::LabelIr156, Pic::SlideNext, Tap(kDown), 7, kNoOsd),
    Button(157, 144, M::SpeedButton100, M::LabelIr157, Pic::SlidePrevious, Tap(kUp), 6, kNoOsd),
};

// "+" and "-" are the numeric keypad's.
constexpr CodeSlot kKtvCodes[] = {
    Button(173, 151, M::SpeedButton105, M::LabelIr173, Pic::Power, kNoKeys, 3, "ACTIF",
           Role::Activer),
    Button(174, 152, M::SpeedButton106, M::LabelIr174, Pic::ChannelUp, Tap(kKeypadPlus), 4,
           "Bouton : Programme +"),
    Button(175, 153, M::SpeedButton107, M::LabelIr175, Pic::ChannelDown, Tap(kKeypadMinus), 5,
           "Bouton : Programme -"),
    Button(176, 154, M::SpeedButton108, M::LabelIr176, Pic::VolumeUp, Tap(kPageUp), 6,
           "Bouton : Volume +"),
    Button(177, 155, M::SpeedButton109, M::LabelIr177, Pic::VolumeDown, Tap(kPageDown), 7,
           "Bouton : Volume -"),
    Button(178, 156, M::SpeedButton110, M::LabelIr178, Pic::Plus, Tap(Key('B')), 8,
           "Bouton : Lumière +"),
    Button(179, 157, M::SpeedButton111, M::LabelIr179, Pic::Minus, Alt(Key('B')), 9,
           "Bouton : Lumière -"),
    Button(180, 158, M::SpeedButton112, M::LabelIr180, Pic::Plus, Tap(Key('C')), 10,
           "Bouton : Contraste +"),
    Button(181, 159, M::SpeedButton113, M::LabelIr181, Pic::Minus, Alt(Key('C')), 11,
           "Bouton : Contraste -"),
    Button(182, 160, M::SpeedButton114, M::LabelIr182, Pic::Plus, Tap(Key('V')), 12,
           "Bouton : Couleur +"),
    Button(183, 161, M::SpeedButton115, M::LabelIr183, Pic::Minus, Alt(Key('V')), 13,
           "Bouton : Couleur -"),
    Button(184, 162, M::SpeedButton116, M::LabelIr184, Pic::FullScreen, Alt(kEnter), 14,
           "Bouton : Plein écran ON/OFF"),
    Button(185, 163, M::SpeedButton117, M::LabelIr185, Pic::Zoom, Tap(Key('Z')), 15,
           "Bouton : Zoom"),
    Button(186, 164, M::SpeedButton118, M::LabelIr186, Pic::Photo, Ctrl(Key('P')), 16,
           "Bouton : Photo"),
    Button(187, 165, M::SpeedButton119, M::LabelIr187, Pic::Subtitles, Tap(Key('S')), 17,
           "Bouton : Sous-titres"),
    Button(188, 166, M::SpeedButton120, M::LabelIr188, Pic::Info, Tap(kEnter), 18,
           "Bouton : Informations"),
};

// The digit keys are those of "&", "é" and the double quote on a French
// keyboard. Action 173 has a title line of its own.
constexpr CodeSlot kRealOneCodes[] = {
    Button(203, 171, M::SpeedButton129, M::LabelIr203, Pic::Power, kNoKeys, 3, "ACTIF",
           Role::Activer),
    Button(204, 172, M::SpeedButton123, M::LabelIr204, Pic::Rewind, CtrlShift(Key('Y')), 4,
           "Bouton : Retour rapide"),
    Button(205, 173, M::SpeedButton124, M::LabelIr205, Pic::Rewind, CtrlShift(Key('X')), 5,
           "Bouton : Accéléré arrière", Role::Shortcut, "Lecteur RealOne player"),
    Button(206, 174, M::SpeedButton125, M::LabelIr206, Pic::Stop, Ctrl(Key('S')), 6,
           "Bouton : Arrêt"),
    Button(207, 175, M::SpeedButton126, M::LabelIr207, Pic::PlayPause, Ctrl(Key('P')), 7,
           "Bouton : Lecture / Pause"),
    Button(208, 176, M::SpeedButton127, M::LabelIr208, Pic::FastForward, CtrlShift(Key('E')), 8,
           "Bouton : Accéléré avant"),
    Button(209, 177, M::SpeedButton128, M::LabelIr209, Pic::FastForward, CtrlShift(Key('V')), 9,
           "Bouton : Accéléré rapide"),
    Button(210, 178, M::SpeedButton130, M::LabelIr210, Pic::Dot, {Tap(kF7), Ctrl(Key('1'))}, 10,
           "Bouton : Taille d'origine"),
    Button(211, 179, M::SpeedButton131, M::LabelIr211, Pic::Dot, {Tap(kF7), Ctrl(Key('2'))}, 11,
           "Bouton : Taille double"),
    Button(212, 180, M::SpeedButton132, M::LabelIr212, Pic::FullScreen,
           {Tap(kF9), Wait(10), Ctrl(Key('3'))}, 12, kNoOsd),
};

constexpr CodeSlot kLauncherCodes[] = {
    {222, 191, M::AOLButton1, M::Label274}, {224, 192, M::AOLButton2, M::Label275},
    {226, 193, M::AOLButton3, M::Label276}, {228, 194, M::AOLButton4, M::Label277},
    {230, 195, M::AOLButton5, M::Label278},
};

constexpr CodeSlot kProgDvbCodes[] = {
    Button(238, 201, M::SpeedButton141, M::LabelIr238, Pic::Power, kNoKeys, 3, "ACTIF",
           Role::Activer),
    Button(239, 202, M::SpeedButton142, M::LabelIr239, Pic::ChannelDown, Tap(kUp), 4,
           "Bouton : Canal précédent"),
    Button(240, 203, M::SpeedButton143, M::LabelIr240, Pic::ChannelUp, Tap(kDown), 5,
           "Bouton : Canal suivant"),
    Button(241, 204, M::SpeedButton144, M::LabelIr241, Pic::Enter, Tap(kEnter), 6,
           "Bouton : Validation du canal"),
    Button(242, 205, M::SpeedButton145, M::LabelIr242, Pic::VolumeUp, Tap(kKeypadPlus), 7,
           "Bouton : Volume +"),
    Button(243, 206, M::SpeedButton146, M::LabelIr243, Pic::VolumeDown, Tap(kKeypadMinus), 8,
           "Bouton : Volume -"),
    Button(244, 207, M::SpeedButton147, M::LabelIr244, Pic::Record, Tap(Key('R')), 9,
           "Bouton : Enregistrer"),
    Button(245, 208, M::SpeedButton148, M::LabelIr245, Pic::FullScreen, Tap(Key('F')), 10,
           "Bouton : Plein écran ON/OFF"),
    Button(246, 209, M::SpeedButton149, M::LabelIr246, Pic::Dot, Tap(Key('W')), 11,
           "Bouton : TV Windows"),
    Button(247, 210, M::SpeedButton150, M::LabelIr247, Pic::Info, Tap(Key('I')), 12,
           "Bouton : Informations OSD"),
};

// "Sélection" steps through the running applications while held.
constexpr CodeSlot kCloseAppCodes[] = {
    Repeatable({256, 221, M::SpeedButton152, M::Label307}),
    {257, 222, M::SpeedButton153, M::Label308},
    {258, 223, M::SpeedButton154, M::Label309},
};

// "Touches personnalisées": row n sends the keys of slot 259 + 2n; its code
// is in slot 258 + 2n, learned with action 230 + n. A held button repeats
// its keys, as a held key does.
constexpr CodeSlot kCustomKeysCodes[] = {
    Repeatable({260, 231, M::KeyButton1, M::LabelIrKey1}),
    Repeatable({262, 232, M::KeyButton2, M::LabelIrKey2}),
    Repeatable({264, 233, M::KeyButton3, M::LabelIrKey3}),
    Repeatable({266, 234, M::KeyButton4, M::LabelIrKey4}),
    Repeatable({268, 235, M::KeyButton5, M::LabelIrKey5}),
    Repeatable({270, 236, M::KeyButton6, M::LabelIrKey6}),
    Repeatable({272, 237, M::KeyButton7, M::LabelIrKey7}),
    Repeatable({274, 238, M::KeyButton8, M::LabelIrKey8}),
    Repeatable({276, 239, M::KeyButton9, M::LabelIrKey9}),
    Repeatable({278, 240, M::KeyButton10, M::LabelIrKey10}),
    Repeatable({280, 241, M::KeyButton11, M::LabelIrKey11}),
    Repeatable({282, 242, M::KeyButton12, M::LabelIrKey12}),
    Repeatable({284, 243, M::KeyButton13, M::LabelIrKey13}),
    Repeatable({286, 244, M::KeyButton14, M::LabelIrKey14}),
    Repeatable({288, 245, M::KeyButton15, M::LabelIrKey15}),
    Repeatable({290, 246, M::KeyButton16, M::LabelIrKey16}),
    Repeatable({292, 247, M::KeyButton17, M::LabelIrKey17}),
    Repeatable({294, 248, M::KeyButton18, M::LabelIrKey18}),
    Repeatable({296, 249, M::KeyButton19, M::LabelIrKey19}),
    Repeatable({298, 250, M::KeyButton20, M::LabelIrKey20}),
};
constexpr KeySlot kCustomKeysKeys[] = {
    {261, M::LabelKeys1, M::KeyChooser1},   {263, M::LabelKeys2, M::KeyChooser2},
    {265, M::LabelKeys3, M::KeyChooser3},   {267, M::LabelKeys4, M::KeyChooser4},
    {269, M::LabelKeys5, M::KeyChooser5},   {271, M::LabelKeys6, M::KeyChooser6},
    {273, M::LabelKeys7, M::KeyChooser7},   {275, M::LabelKeys8, M::KeyChooser8},
    {277, M::LabelKeys9, M::KeyChooser9},   {279, M::LabelKeys10, M::KeyChooser10},
    {281, M::LabelKeys11, M::KeyChooser11}, {283, M::LabelKeys12, M::KeyChooser12},
    {285, M::LabelKeys13, M::KeyChooser13}, {287, M::LabelKeys14, M::KeyChooser14},
    {289, M::LabelKeys15, M::KeyChooser15}, {291, M::LabelKeys16, M::KeyChooser16},
    {293, M::LabelKeys17, M::KeyChooser17}, {295, M::LabelKeys18, M::KeyChooser18},
    {297, M::LabelKeys19, M::KeyChooser19}, {299, M::LabelKeys20, M::KeyChooser20},
};

constexpr PathSlot kWinampPath[] = {{50, M::Label81, M::SpeedButton35, "Winamp => "}};
constexpr PathSlot kPowerDvdPath[] = {{70, M::Label87, M::SpeedButton37, "Power DVD => "}};
constexpr PathSlot kWinDvdPath[] = {{90, M::Label114, M::SpeedButton54, "Win DVD => "}};
constexpr PathSlot kMsiDvdPath[] = {{110, M::Label144, M::SpeedButton70, "MSI DVD => "}};
constexpr PathSlot kPinnaclePath[] = {{130, M::Label168, M::SpeedButton82, "PCTV => "}};
constexpr PathSlot kPowerPointPath[] = {{150, M::Label198, M::SpeedButton97, "PowerPoint => "}};
constexpr PathSlot kKtvPath[] = {{170, M::Label211, M::SpeedButton104, "K!TV XP => "}};
constexpr PathSlot kRealOnePath[] = {{200, M::Label248, M::SpeedButton122, "RealOne Player => "}};
constexpr PathSlot kProgDvbPath[] = {{235, M::Label281, M::SpeedButton139, "Prog DVB => "}};
constexpr PathSlot kLauncherPaths[] = {
    {221, M::Label269, M::SpeedButton133, ""}, {223, M::Label270, M::SpeedButton134, ""},
    {225, M::Label271, M::SpeedButton135, ""}, {227, M::Label272, M::SpeedButton136, ""},
    {229, M::Label273, M::SpeedButton137, ""},
};

template <int First, int Last>
constexpr std::array<int, Last - First + 1> Range() {
  std::array<int, Last - First + 1> r{};
  for (int i = 0; i < Last - First + 1; ++i) r[i] = First + i;
  return r;
}

constexpr auto kClearVolumes = Range<7, 14>();
constexpr auto kClearWindows = Range<22, 29>();
constexpr auto kClearWmp = Range<36, 45>();
constexpr auto kClearWinamp = Range<52, 63>();
constexpr auto kClearPowerDvd = Range<72, 84>();
constexpr auto kClearWinDvd = Range<92, 104>();
constexpr auto kClearMsiDvd = Range<112, 123>();
constexpr auto kClearPinnacle = Range<132, 145>();
constexpr auto kClearPowerPoint = Range<152, 157>();
constexpr auto kClearKtv = Range<172, 188>();
constexpr auto kClearRealOne = Range<202, 212>();
constexpr int kClearLauncher[] = {222, 224, 226, 228, 230};
constexpr auto kClearProgDvb = Range<237, 247>();
constexpr auto kClearCloseApp = Range<256, 258>();
// The code slots only: the keys stay, as the launcher keeps its paths.
constexpr auto kClearCustomKeys = [] {
  std::array<int, 20> slots{};
  for (int n = 1; n <= 20; ++n) slots[n - 1] = 258 + 2 * n;
  return slots;
}();

constexpr CodeSlot Toggle(int slot, int action, MainId sw, MainId label) {
  return CodeSlot{slot, action, sw, label};
}

// What the periodic tick consumes: every pending number a tab's routines
// and its toggle record, in the order the tick tests them.
constexpr int kConsumedVolumes[] = {1, 2, 31, 41, 32, 42, 51, 52, 6, 7, 8};
constexpr auto kConsumedWindows = Range<1, 6>();  // 7 and 8: see the countdown rule
constexpr int kConsumedWmp[] = {10, 11, 1, 2, 3, 4, 5, 6, 7, 8, 9};
constexpr auto kConsumedWinamp = Range<1, 13>();
constexpr auto kConsumedPowerDvd = Range<1, 14>();
constexpr auto kConsumedWinDvd = Range<1, 14>();
constexpr auto kConsumedMsiDvd = Range<1, 13>();
constexpr auto kConsumedPinnacle = Range<1, 15>();
constexpr auto kConsumedPowerPoint = Range<3, 7>();
constexpr auto kConsumedKtv = Range<1, 18>();
constexpr auto kConsumedRealOne = Range<1, 12>();
constexpr auto kConsumedLauncher = Range<1, 5>();
constexpr auto kConsumedProgDvb = Range<1, 12>();
constexpr auto kConsumedCloseApp = Range<1, 3>();
constexpr auto kConsumedCustomKeys = Range<1, 20>();

// What the media tabs' buttons do around their own keys.
constexpr MediaRun kWmpRun{StartMethod::Shell, {Wait(100), Repeat(10, Tap(kF10))}};
constexpr MediaTab kWmpMedia{"Lecteur Windows Media", "wmplayer.exe", kWmpRun, kWmpRun};
constexpr MediaRun kWinampRun{StartMethod::Application, {Wait(100), Repeat(50, Tap(kUp))}};
constexpr MediaTab kWinampMedia{"Lecteur Winamp", "", kWinampRun, kWinampRun};
constexpr MediaTab kPowerDvdMedia{
    "Lecteur Power DVD",
    "",
    {StartMethod::Application, {Wait(100)}},
    {StartMethod::Application, {Wait(100)}, {Wait(1), Ctrl(Key('N'))}}};
constexpr MediaRun kWait100Run{StartMethod::Application, {Wait(100)}};
constexpr MediaTab kWinDvdMedia{"Lecteur Win DVD", "", kWait100Run, kWait100Run};
constexpr MediaTab kMsiDvdMedia{"Lecteur MSI DVD", "", kWait100Run, kWait100Run};
constexpr MediaTab kPinnacleMedia{"Pinnacle PCTV", "", kWait100Run, kWait100Run};
// Activer starts PowerPoint without waiting; the slide buttons start nothing.
constexpr MediaTab kPowerPointMedia{
    "Microsoft PowerPoint", "", {StartMethod::Application}, {StartMethod::None}};
constexpr MediaTab kKtvMedia{"K!TV XP", "", kWait100Run, kWait100Run};
// Activer waits before its chords, the shortcut buttons after theirs.
constexpr MediaTab kRealOneMedia{"Lecteur RealOne Player",
                                 "",
                                 {StartMethod::Application, {Wait(100), Repeat(37, Ctrl(kUp))}},
                                 {StartMethod::Application, {Repeat(37, Ctrl(kUp)), Wait(100)}}};
constexpr MediaTab kProgDvbMedia{"Prog DVB", "", kWait100Run, kWait100Run};

const std::array<TabSpec, kTabCount> kTabs = {{
    {
        .number = kTabVolumes,
        .caption = "Volumes",
        .page = M::TabSheet1,
        .activation = M::RxSwitch1,
        .programming = M::RxSwitch2,
        .lamp = M::Led1,
        .clear_button = M::SpeedButton50,
        .state_slot = StateSlot(kTabVolumes),
        .group = Group::None,
        .activation_learn_action = 0,
        .codes = kVolumesCodes,
        .clear_slots = kClearVolumes,
        .clear_name = "Volumes",
        .toggle_title = "",
        .tick_consumed = kConsumedVolumes,
        .in_learning_conflict_test = true,
    },
    {
        .number = kTabWindows,
        .caption = "Windows",
        .page = M::TabSheet2,
        .activation = M::RxSwitch3,
        .programming = M::RxSwitch4,
        .lamp = M::Led2,
        .clear_button = M::SpeedButton51,
        .state_slot = StateSlot(kTabWindows),
        .group = Group::None,
        .activation_learn_action = 0,
        .codes = kWindowsCodes,
        .clear_slots = kClearWindows,
        .clear_name = "Windows",
        .toggle_title = "",
        .tick_consumed = kConsumedWindows,
        .in_learning_conflict_test = true,
    },
    {
        .number = kTabWindowsMediaPlayer,
        .caption = "Windows Media Player",
        .page = M::TabSheet3,
        .activation = M::RxSwitch5,
        .programming = M::RxSwitch6,
        .lamp = M::Led3,
        .clear_button = M::SpeedButton52,
        .state_slot = StateSlot(kTabWindowsMediaPlayer),
        .group = Group::A,
        .activation_learn_action = 29,
        .toggle = Toggle(45, 29, M::RxSwitch5, M::LabelIr45),
        .codes = kWmpCodes,
        .clear_slots = kClearWmp,
        .clear_name = "Lecteur Windows Media",
        .toggle_title = "Lecteur Windows Media",
        .toggle_off_pending = 10,
        .toggle_on_pending = 11,
        .tick_consumed = kConsumedWmp,
        .in_learning_conflict_test = true,
        .off_on_conflict = true,
        .media = &kWmpMedia,
    },
    {
        .number = kTabWinamp,
        .caption = "Winamp",
        .page = M::TabSheet4,
        .activation = M::RxSwitch7,
        .programming = M::RxSwitch8,
        .lamp = M::Led4,
        .clear_button = M::SpeedButton53,
        .state_slot = StateSlot(kTabWinamp),
        .group = Group::A,
        .activation_learn_action = 40,
        .toggle = Toggle(52, 40, M::RxSwitch7, M::LabelIr52),
        .codes = kWinampCodes,
        .paths = kWinampPath,
        .clear_slots = kClearWinamp,
        .clear_name = "Winamp",
        .toggle_title = "Lecteur Winamp",
        .toggle_off_pending = 1,
        .toggle_on_pending = 2,
        .tick_consumed = kConsumedWinamp,
        .in_learning_conflict_test = true,
        .off_on_conflict = true,
        .media = &kWinampMedia,
    },
    {
        .number = kTabPowerDvd,
        .caption = "Power DVD",
        .page = M::TabSheet5,
        .activation = M::RxSwitch9,
        .programming = M::RxSwitch10,
        .lamp = M::Led5,
        .clear_button = M::SpeedButton49,
        .state_slot = StateSlot(kTabPowerDvd),
        .group = Group::A,
        .activation_learn_action = 60,
        .toggle = Toggle(72, 60, M::RxSwitch9, M::LabelIr72),
        .codes = kPowerDvdCodes,
        .paths = kPowerDvdPath,
        .clear_slots = kClearPowerDvd,
        .clear_name = "Power DVD",
        .toggle_title = "Lecteur Power DVD",
        .toggle_off_pending = 1,
        .toggle_on_pending = 2,
        .tick_consumed = kConsumedPowerDvd,
        .in_learning_conflict_test = true,
        .off_on_conflict = true,
        .media = &kPowerDvdMedia,
    },
    {
        .number = kTabWinDvd,
        .caption = "Win DVD",
        .page = M::TabSheet6,
        .activation = M::RxSwitch11,
        .programming = M::RxSwitch12,
        .lamp = M::Led6,
        .clear_button = M::SpeedButton55,
        .state_slot = StateSlot(kTabWinDvd),
        .group = Group::A,
        .activation_learn_action = 80,
        .toggle = Toggle(92, 80, M::RxSwitch11, M::LabelIr92),
        .codes = kWinDvdCodes,
        .paths = kWinDvdPath,
        .clear_slots = kClearWinDvd,
        .clear_name = "Win DVD",
        .toggle_title = "Lecteur Win DVD",
        .toggle_off_pending = 1,
        .toggle_on_pending = 2,
        .tick_consumed = kConsumedWinDvd,
        .in_learning_conflict_test = true,
        .off_on_conflict = true,
        .media = &kWinDvdMedia,
    },
    {
        .number = kTabMsiDvd,
        .caption = "MSI DVD",
        .page = M::TabSheet7,
        .activation = M::RxSwitch13,
        .programming = M::RxSwitch14,
        .lamp = M::Led7,
        .clear_button = M::SpeedButton68,
        .state_slot = StateSlot(kTabMsiDvd),
        .group = Group::A,
        .activation_learn_action = 100,
        .toggle = Toggle(112, 100, M::RxSwitch13, M::LabelIr112),
        .codes = kMsiDvdCodes,
        .paths = kMsiDvdPath,
        .clear_slots = kClearMsiDvd,
        .clear_name = "MSI DVD",
        .toggle_title = "Lecteur MSI DVD",
        .toggle_off_pending = 1,
        .toggle_on_pending = 2,
        .tick_consumed = kConsumedMsiDvd,
        .in_learning_conflict_test = true,
        .off_on_conflict = true,
        .media = &kMsiDvdMedia,
    },
    {
        .number = kTabPinnacle,
        .caption = "Pinnacle PCTV",
        .page = M::TabSheet8,
        .activation = M::RxSwitch15,
        .programming = M::RxSwitch16,
        .lamp = M::Led8,
        .clear_button = M::SpeedButton81,
        .state_slot = StateSlot(kTabPinnacle),
        .group = Group::B,
        .activation_learn_action = 120,
        .toggle = Toggle(132, 120, M::RxSwitch15, M::LabelIr132),
        .codes = kPinnacleCodes,
        .paths = kPinnaclePath,
        .clear_slots = kClearPinnacle,
        .clear_name = "PCTV",
        .toggle_title = "Pinnacle PCTV",
        .toggle_off_pending = 1,
        .toggle_on_pending = 2,
        .tick_consumed = kConsumedPinnacle,
        .in_learning_conflict_test = true,
        .off_on_conflict = true,
        .media = &kPinnacleMedia,
    },
    {
        .number = kTabPowerPoint,
        .caption = "Microsoft PowerPoint",
        .page = M::TabSheet9,
        .activation = M::RxSwitch17,
        .programming = M::RxSwitch18,
        .lamp = M::Led9,
        .clear_button = M::SpeedButton96,
        .state_slot = StateSlot(kTabPowerPoint),
        .group = Group::None,
        .activation_learn_action = 0,
        .codes = kPowerPointCodes,
        .paths = kPowerPointPath,
        .clear_slots = kClearPowerPoint,
        .clear_name = "Microsoft PowerPoint",
        .toggle_title = "",
        .tick_consumed = kConsumedPowerPoint,
        .media = &kPowerPointMedia,
    },
    {
        .number = kTabKtv,
        .caption = "K!TV XP",
        .page = M::TabSheet10,
        .activation = M::RxSwitch19,
        .programming = M::RxSwitch20,
        .lamp = M::Led10,
        .clear_button = M::SpeedButton103,
        .state_slot = StateSlot(kTabKtv),
        .group = Group::B,
        .activation_learn_action = 150,
        .toggle = Toggle(172, 150, M::RxSwitch19, M::LabelIr172),
        .codes = kKtvCodes,
        .paths = kKtvPath,
        .clear_slots = kClearKtv,
        .clear_name = "K!TV XP",
        .toggle_title = "K!TV XP",
        .toggle_off_pending = 1,
        .toggle_on_pending = 2,
        .tick_consumed = kConsumedKtv,
        .in_learning_conflict_test = true,
        .off_on_conflict = true,
        .media = &kKtvMedia,
    },
    {
        .number = kTabRealOne,
        .caption = "RealOne Player",
        .page = M::TabSheet11,
        .activation = M::RxSwitch21,
        .programming = M::RxSwitch22,
        .lamp = M::Led11,
        .clear_button = M::SpeedButton121,
        .state_slot = StateSlot(kTabRealOne),
        .group = Group::A,
        .activation_learn_action = 170,
        .toggle = Toggle(202, 170, M::RxSwitch21, M::LabelIr202),
        .codes = kRealOneCodes,
        .paths = kRealOnePath,
        .clear_slots = kClearRealOne,
        .clear_name = "RealOne Player",
        .toggle_title = "Lecteur RealOne Player",
        .toggle_off_pending = 1,
        .toggle_on_pending = 2,
        .tick_consumed = kConsumedRealOne,
        .in_learning_conflict_test = true,
        .off_on_conflict = true,
        .media = &kRealOneMedia,
    },
    {
        .number = kTabLauncher,
        .caption = "Lanceur d'applications",
        .page = M::TabSheet12,
        .activation = M::RxSwitch23,
        .programming = M::RxSwitch24,
        .lamp = M::Led12,
        .clear_button = M::SpeedButton138,
        .state_slot = StateSlot(kTabLauncher),
        .group = Group::None,
        .activation_learn_action = 190,
        .codes = kLauncherCodes,
        .paths = kLauncherPaths,
        .clear_slots = kClearLauncher,
        .clear_name = "Lanceur d'applications",
        .toggle_title = "",
        .tick_consumed = kConsumedLauncher,
    },
    {
        .number = kTabProgDvb,
        .caption = "Prog DVB",
        .page = M::TabSheet13,
        .activation = M::RxSwitch25,
        .programming = M::RxSwitch26,
        .lamp = M::Led13,
        .clear_button = M::SpeedButton140,
        .state_slot = StateSlot(kTabProgDvb),
        .group = Group::B,
        .activation_learn_action = 200,
        .toggle = Toggle(237, 200, M::RxSwitch25, M::LabelIr237),
        .codes = kProgDvbCodes,
        .paths = kProgDvbPath,
        .clear_slots = kClearProgDvb,
        .clear_name = "Prog DVB",
        .toggle_title = "Prog DVB",
        .toggle_off_pending = 1,
        .toggle_on_pending = 2,
        .tick_consumed = kConsumedProgDvb,
        .in_learning_conflict_test = true,
        .off_on_conflict = true,
        .media = &kProgDvbMedia,
    },
    {
        .number = kTabCloseApp,
        .caption = "Fermer une application",
        .page = M::TabSheet14,
        .activation = M::RxSwitch29,
        .programming = M::RxSwitch27,
        .lamp = M::Led14,
        .clear_button = M::SpeedButton155,
        .state_slot = StateSlot(kTabCloseApp),
        .group = Group::None,
        .activation_learn_action = 220,
        .codes = kCloseAppCodes,
        .clear_slots = kClearCloseApp,
        .clear_name = "Fermer une application",
        .toggle_title = "",
        .tick_consumed = kConsumedCloseApp,
        .off_on_conflict = true,
    },
    {
        .number = kTabCustomKeys,
        .caption = "Touches personnalisées",
        .page = M::TabSheet15,
        .activation = M::RxSwitch30,
        .programming = M::RxSwitch31,
        .lamp = M::Led15,
        .clear_button = M::SpeedButton156,
        .state_slot = StateSlot(kTabCustomKeys),
        .group = Group::None,
        .activation_learn_action = 0,
        .codes = kCustomKeysCodes,
        .keys = kCustomKeysKeys,
        .clear_slots = kClearCustomKeys,
        .clear_name = "Touches personnalisées",
        .toggle_title = "",
        .tick_consumed = kConsumedCustomKeys,
        .in_learning_conflict_test = true,
        .off_on_conflict = true,
    },
}};

constexpr std::array<int, kTabCount> kPageOrder = {
    kTabVolumes,    kTabWindows,  kTabCloseApp,   kTabWindowsMediaPlayer, kTabWinamp, kTabPowerDvd,
    kTabWinDvd,     kTabMsiDvd,   kTabRealOne,    kTabPinnacle,           kTabKtv,    kTabProgDvb,
    kTabPowerPoint, kTabLauncher, kTabCustomKeys,
};

constexpr int kGroupA[] = {
    kTabWindowsMediaPlayer, kTabWinamp, kTabPowerDvd, kTabWinDvd, kTabMsiDvd, kTabRealOne};
constexpr int kGroupB[] = {kTabPinnacle, kTabKtv, kTabProgDvb};

}  // namespace

const std::array<TabSpec, kTabCount>& Tabs() {
  return kTabs;
}

const TabSpec& Tab(int number) {
  if (number < 1 || number > kTabCount) throw std::out_of_range("tab number");
  return kTabs[number - 1];
}

const std::array<int, kTabCount>& PageOrder() {
  return kPageOrder;
}

std::span<const int> GroupMembers(Group group) {
  switch (group) {
    case Group::A:
      return kGroupA;
    case Group::B:
      return kGroupB;
    case Group::None:
      break;
  }
  return {};
}

std::optional<int> SlotForAction(int action) {
  for (const TabSpec& tab : kTabs) {
    if (tab.toggle && tab.toggle->action == action) return tab.toggle->slot;
    for (const CodeSlot& code : tab.codes)
      if (code.action == action) return code.slot;
  }
  return std::nullopt;
}

const TabSpec* TabOfAction(int action) {
  for (const TabSpec& tab : kTabs) {
    if (tab.toggle && tab.toggle->action == action) return &tab;
    for (const CodeSlot& code : tab.codes)
      if (code.action == action) return &tab;
  }
  return nullptr;
}

SlotOwner OwnerOf(int slot) {
  if (slot >= kSlotVolumeSelection && slot <= kSlotWaveVolume)
    return {SlotKind::VolumeSetting, kTabVolumes};
  for (const TabSpec& tab : kTabs) {
    if (tab.state_slot == slot) return {SlotKind::State, tab.number};
    if (tab.toggle && tab.toggle->slot == slot) return {SlotKind::Toggle, tab.number};
    for (const CodeSlot& code : tab.codes)
      if (code.slot == slot) return {SlotKind::Code, tab.number};
    for (const PathSlot& path : tab.paths)
      if (path.slot == slot) return {SlotKind::Path, tab.number};
    for (const KeySlot& keys : tab.keys)
      if (keys.slot == slot) return {SlotKind::Keys, tab.number};
    for (int cleared : tab.clear_slots)
      if (cleared == slot) return {SlotKind::Reserved, tab.number};
  }
  return {};
}

}  // namespace talvoro::dispatch
