// The meaning of every programme-table slot, as data: the fifteen tabs with
// their switches, state, toggle, path, key and code slots, and the action
// numbers that learning stores into them. Applying, clearing, dispatch and learning
// all walk these tables.
#pragma once

#include <array>
#include <optional>
#include <span>

#include "config/programme_layout.h"
#include "dispatch/key_script.h"
#include "ui/button_pictures.h"
#include "ui/forms/forms.h"

namespace talvoro::dispatch {

using ui::MainId;

inline constexpr int kSlotCount = 300;
inline constexpr int kTabCount = 15;

enum class Group { None, A, B };

// Tab numbers, fixed for the whole program.
enum TabNumber : int {
  kTabVolumes = 1,
  kTabWindows = 2,
  kTabWindowsMediaPlayer = 3,
  kTabWinamp = 4,
  kTabPowerDvd = 5,
  kTabWinDvd = 6,
  kTabMsiDvd = 7,
  kTabPinnacle = 8,
  kTabPowerPoint = 9,
  kTabKtv = 10,
  kTabRealOne = 11,
  kTabLauncher = 12,
  kTabProgDvb = 13,
  kTabCloseApp = 14,
  kTabCustomKeys = 15,  // "Touches personnalisées"
};

// How a media tab's button runs: the Activer button brings the application
// forward and sends no key of its own; a shortcut button sends its keys
// between the tab's steps before and after them, or without the steps after.
enum class MediaRole { Shortcut, Activer, ShortcutWithoutAfter };

// One learnable code slot: the control whose routine a match runs, the label
// that shows the code, and the action number that arms learning for it. On a
// media tab the row is the whole button: its picture, its keys, the value it
// leaves in the tab's pending action number and its OSD status line.
// `repeatable`: with the held-button filter on (settings entry 10), the
// action also runs for the repeats of a held remote button (a volume step);
// every other action runs once per press.
struct CodeSlot {
  int slot;
  int action;
  MainId control;     // the action's button (the activation switch for a toggle)
  MainId code_label;  // shows "IR: " + the slot's text
  // Media tabs only.
  KeyScript keys = {};               // the button's own keys
  int pending = 0;                   // stored into the tab's pending action number
  const char* osd_status = nullptr;  // OSD status line; none: the button never shows the OSD
  MediaRole role = MediaRole::Shortcut;
  const char* osd_title = nullptr;                      // OSD title line when not the tab's
  ui::ButtonPicture picture = ui::ButtonPicture::None;  // what the button shows
  bool repeatable = false;                              // runs for a held button's repeats too
};

// How a media tab brings its application forward.
enum class StartMethod {
  None,
  Shell,        // the shell opens the tab's file by name
  Application,  // the application start step on the tab's path slot
};

// What a media tab's buttons do around their own keys.
struct MediaRun {
  StartMethod start = StartMethod::None;
  KeyScript before = {};  // after the start, before the button's keys
  KeyScript after = {};   // after the button's keys
};

// A media tab's common part of its buttons.
struct MediaTab {
  const char* title;       // the application's OSD title line
  const char* shell_file;  // opened by StartMethod::Shell, "" for none
  MediaRun activer;        // the Activer button
  MediaRun shortcuts;      // every other button
};

// A program path slot and the label that shows it.
struct PathSlot {
  int slot;
  MainId label;
  MainId chooser;      // the "..." button
  const char* prefix;  // label text before the path ("Winamp => "), may be ""
};

// A key slot of the "Touches personnalisées" tab (dispatch/key_chord.h) and
// the controls that show and choose its keys. Like a program path, it is
// chosen rather than learned, and clearing the tab's codes keeps it.
struct KeySlot {
  int slot;
  MainId label;    // the keys in French
  MainId chooser;  // the "..." button that opens the keys dialog
};

struct TabSpec {
  int number;
  const char* caption;  // page caption
  MainId page;
  MainId activation;   // activation switch
  MainId programming;  // programming switch
  MainId lamp;
  MainId clear_button;
  int state_slot;
  Group group;
  // Action number armed by a click on the activation switch while the tab's
  // programming switch is on; 0 when such a click just flips the switch.
  int activation_learn_action;
  std::optional<CodeSlot> toggle = std::nullopt;  // the toggle code (groups A and B)
  std::span<const CodeSlot> codes = {};           // match steps, in slot order
  std::span<const PathSlot> paths = {};
  std::span<const KeySlot> keys = {};
  std::span<const int> clear_slots;  // set to "0" by the clear button, ascending
  const char* clear_name;            // the tab's name in the clear confirmation
  const char* toggle_title;          // OSD title of a remote toggle, "" for none
  // Pending action numbers a remote toggle records (switched off, on).
  int toggle_off_pending = 0;
  int toggle_on_pending = 0;
  // Pending action numbers the periodic tick consumes, in the order it tests
  // them (the Windows tab's countdown numbers are handled apart).
  std::span<const int> tick_consumed;
  bool in_learning_conflict_test = false;  // its programming switch arms the conflict check
  bool off_on_conflict = false;            // its programming switch is turned off on a refusal
  // The media tabs' buttons around their own keys; null on the other tabs.
  const MediaTab* media = nullptr;
};

// Tabs in tab-number order (index = number - 1); this is also the order of
// the dispatch pass and of applying the configuration.
const std::array<TabSpec, kTabCount>& Tabs();
const TabSpec& Tab(int number);

// Tab numbers in the order the pages stand in the tab control.
const std::array<int, kTabCount>& PageOrder();

// Members of an exclusive group, in the group's order.
std::span<const int> GroupMembers(Group group);

// The code slot that learning with `action` stores into, if any.
std::optional<int> SlotForAction(int action);

// The tab whose action (or toggle) has this action number, if any.
const TabSpec* TabOfAction(int action);

// The Windows tab's restart and shut-down pending numbers: the tick leaves
// them while the countdown runs.
inline constexpr int kPendingRestart = 7;
inline constexpr int kPendingShutdown = 8;
// The Volumes tab's "balance centre" pending number: the tick pauses first.
inline constexpr int kPendingBalanceCentre = 8;

// The Volumes settings slots (their places are the file's own).
using config::kSlotBalance;
using config::kSlotMasterVolume;
using config::kSlotMute;
using config::kSlotVolumeSelection;
using config::kSlotWaveVolume;

// What a slot is, for the slot map as a whole.
enum class SlotKind { Spare, State, VolumeSetting, Code, Toggle, Path, Keys, Reserved };
struct SlotOwner {
  SlotKind kind = SlotKind::Spare;
  int tab = 0;  // owning tab number, 0 for spare slots
};
SlotOwner OwnerOf(int slot);

}  // namespace talvoro::dispatch
