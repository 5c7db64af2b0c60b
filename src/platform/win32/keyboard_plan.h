// Keyboard use of a form built from its layout table: which controls the Tab
// key stops at, where radio groups begin, what a screen reader announces for
// a button, which page Ctrl+Tab goes to, and which forms Escape closes.
// Plain data work with no Windows header, so that the host's unit tests can
// check it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win32/layout_plan.h"
#include "ui/form_model.h"

namespace talvoro::platform::win32 {

// Kinds the user can operate from the keyboard once they have the focus.
constexpr bool IsKeyboardControl(ui::Kind kind) {
  return kind == ui::Kind::Button || kind == ui::Kind::SpeedButton || kind == ui::Kind::Switch ||
         kind == ui::Kind::RadioButton || kind == ui::Kind::CheckBox ||
         kind == ui::Kind::ComboBox || kind == ui::Kind::Edit || kind == ui::Kind::TrackBar ||
         kind == ui::Kind::HotKey || kind == ui::Kind::ListBox;
}

struct TabStyle {
  bool tab_stop = false;  // WS_TABSTOP
  bool group = false;     // WS_GROUP: arrow keys stay among the controls up to the next one
};

// A radio group takes one Tab stop, on its checked button (on its first one
// while none is checked): Tab must never land on an unchecked button, whose
// focus would choose it. Every other keyboard control is a stop and a group
// of its own, so that the arrow keys only walk through radio groups. Track
// bars are stops too: the dialog manager skips them while they are disabled.
inline TabStyle TabStyleFor(const ui::FormBase& form, std::size_t index) {
  const ui::Kind kind = form.layout().controls[index].kind;
  TabStyle style;
  if (!IsKeyboardControl(kind)) return style;
  if (kind != ui::Kind::RadioButton) return TabStyle{true, true};
  const std::vector<std::size_t> group = RadioGroupOf(form.layout(), index);
  std::size_t stop = group.front();
  for (std::size_t radio : group)
    if (form.state(radio).checked) {
      stop = radio;
      break;
    }
  style.tab_stop = index == stop;
  style.group = index == group.front();
  return style;
}

// Whether a caption tells what the control does: one that holds fewer than
// two letters or digits ("...", "1", "", "&") does not. Bytes of a UTF-8
// sequence count as letters.
inline bool IsDescriptive(std::string_view caption) {
  int letters = 0;
  for (char ch : caption) {
    const auto byte = static_cast<unsigned char>(ch);
    if ((byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
        (byte >= '0' && byte <= '9') || byte >= 0x80)
      ++letters;
  }
  return letters >= 2;
}

// The name a screen reader announces for a button or a switch whose current
// caption is `caption`: the caption when it says what the control does, else
// its hint (the tool-tip tells the same to a mouse user). A switch with
// neither takes the text of the label that follows it on its parent, the
// words written beside it. Anything else keeps its caption.
inline std::string AccessibleName(const ui::FormLayout& layout, std::size_t index,
                                  std::string_view caption) {
  const ui::ControlSpec& desc = layout.controls[index];
  if (desc.kind != ui::Kind::Button && desc.kind != ui::Kind::SpeedButton &&
      desc.kind != ui::Kind::Switch)
    return std::string(caption);
  if (IsDescriptive(caption)) return std::string(caption);
  const std::string_view hint = desc.hint ? desc.hint : "";
  if (!hint.empty()) return std::string(hint);
  if (desc.kind == ui::Kind::Switch) {
    for (std::size_t i = index + 1; i < layout.controls.size(); ++i) {
      const ui::ControlSpec& next = layout.controls[i];
      if (next.parent != desc.parent) continue;
      if (next.kind == ui::Kind::Switch) break;  // the next switch's words
      if (next.kind == ui::Kind::Label && next.caption && IsDescriptive(next.caption))
        return next.caption;
    }
  }
  return std::string(caption);
}

// Where Tab takes the focus: `stops` are the rows that can take it now
// (visible, enabled, Tab stops), in table order; `current` is the row that
// has it, a stop or not (a control on a page just hidden, the page control).
// Forwards the first stop after it, backwards the last one before it, round
// at the ends. -1 when there is no stop at all.
inline long NextTabStop(const std::vector<std::size_t>& stops, std::size_t current,
                        bool backwards) {
  if (stops.empty()) return -1;
  if (backwards) {
    for (auto stop = stops.rbegin(); stop != stops.rend(); ++stop)
      if (*stop < current) return static_cast<long>(*stop);
    return static_cast<long>(stops.back());
  }
  for (std::size_t stop : stops)
    if (stop > current) return static_cast<long>(stop);
  return static_cast<long>(stops.front());
}

// The page Ctrl+Tab (or, backwards, Ctrl+Shift+Tab) selects: the next one,
// round from the last to the first. -1 when there is no page to go to.
inline int NextPage(int current, int count, bool backwards) {
  if (count <= 0) return -1;
  if (current < 0 || current >= count) return backwards ? count - 1 : 0;
  return backwards ? (current + count - 1) % count : (current + 1) % count;
}

// Whether the Escape key closes a form the way its close box does: a dialog
// with a close box does. The main window (the one with a menu bar) does not:
// Escape must not end the program or send it to the notification area.
inline bool EscapeCloses(const ui::FormLayout& layout) {
  const FrameKind frame = FrameFor(FlagsOf(layout.controls[0]));
  if (frame.popup || !frame.sys_menu) return false;
  for (const ui::ControlSpec& desc : layout.controls)
    if (desc.kind == ui::Kind::MainMenu) return false;
  return true;
}

}  // namespace talvoro::platform::win32
