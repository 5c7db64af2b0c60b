// How a form's layout table maps onto real windows: which window hosts each
// control, which controls are pages and menu entries, which colour lies
// behind a control, how a form's frame looks. Plain data work with no Windows
// header, so that the host's unit tests can check it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "ui/form_model.h"

namespace talvoro::platform::win32 {

// Controls that become a window other controls are created in.
constexpr bool IsContainer(ui::Kind kind) {
  return kind == ui::Kind::Form || kind == ui::Kind::Panel || kind == ui::Kind::GroupBox ||
         kind == ui::Kind::Page;
}

constexpr bool IsMenuEntry(ui::Kind kind) {
  return kind == ui::Kind::MenuItem || kind == ui::Kind::MenuSeparator;
}

// Controls that have no window of their own: menus and their entries live in
// menu handles, tool buttons inside their tool bar.
constexpr bool HasOwnWindow(ui::Kind kind) {
  return kind != ui::Kind::Form && kind != ui::Kind::MainMenu && kind != ui::Kind::PopupMenu &&
         !IsMenuEntry(kind) && kind != ui::Kind::ToolButton && kind != ui::Kind::ToolSeparator;
}

// Controls the original widgets painted straight onto their parent: they stay
// beneath every control that is a window of its own, whatever the table order.
constexpr bool IsGraphicKind(ui::Kind kind) {
  return kind == ui::Kind::Bevel || kind == ui::Kind::Label || kind == ui::Kind::LinkLabel ||
         kind == ui::Kind::Image || kind == ui::Kind::SpeedButton;
}

// Where a control's window goes: the control whose window holds it, and the
// offset to add to the control's own x, y in that window's client area.
struct Placement {
  std::size_t host = 0;
  int dx = 0;
  int dy = 0;
};

// A page sits in its page control; anything else in the nearest container
// above it. A control placed on a non-container (which the tables should not
// do) is moved into that control's own host at the summed offset.
inline Placement PlaceControl(const ui::FormLayout& layout, std::size_t index) {
  Placement placement;
  const ui::ControlSpec& desc = layout.controls[index];
  if (index == 0) return placement;
  if (desc.kind == ui::Kind::Page) {
    placement.host = desc.parent;
    return placement;
  }
  std::size_t parent = desc.parent;
  // The table lists parents before children, so the walk always ends at 0.
  while (parent != 0 && !IsContainer(layout.controls[parent].kind)) {
    placement.dx += layout.controls[parent].x;
    placement.dy += layout.controls[parent].y;
    parent = layout.controls[parent].parent;
  }
  placement.host = parent;
  return placement;
}

// The controls a container's window holds (pages excepted: they live in their
// page control), in the order they are to be created. A new child window goes
// beneath its siblings, so creation order is the stacking order, top first:
// the controls that are windows of their own in table order (which is also
// the Tab order), then the painted kinds, which the original widgets drew
// straight onto their parent beneath every real control, the later ones over
// the earlier ones. Tool buttons follow their tool bar.
inline std::vector<std::size_t> CreationOrder(const ui::FormLayout& layout, std::size_t host) {
  std::vector<std::size_t> order;
  std::vector<std::size_t> painted;
  for (std::size_t i = 1; i < layout.controls.size(); ++i) {
    const ui::Kind kind = layout.controls[i].kind;
    if (kind == ui::Kind::Page || PlaceControl(layout, i).host != host) continue;
    (IsGraphicKind(kind) ? painted : order).push_back(i);
  }
  order.insert(order.end(), painted.rbegin(), painted.rend());
  return order;
}

// The direct children of a control, in table order.
inline std::vector<std::size_t> ChildrenOf(const ui::FormLayout& layout, std::size_t parent) {
  std::vector<std::size_t> children;
  for (std::size_t i = 1; i < layout.controls.size(); ++i)
    if (layout.controls[i].parent == parent) children.push_back(i);
  return children;
}

// The pages of a page control, in tab order (table order).
inline std::vector<std::size_t> PagesOf(const ui::FormLayout& layout, std::size_t page_control) {
  std::vector<std::size_t> pages;
  for (std::size_t child : ChildrenOf(layout, page_control))
    if (layout.controls[child].kind == ui::Kind::Page) pages.push_back(child);
  return pages;
}

// The tab index of a page, or -1 for anything that is not a page.
inline int PageOrdinal(const ui::FormLayout& layout, std::size_t index) {
  if (layout.controls[index].kind != ui::Kind::Page) return -1;
  const std::vector<std::size_t> pages = PagesOf(layout, layout.controls[index].parent);
  for (std::size_t i = 0; i < pages.size(); ++i)
    if (pages[i] == index) return static_cast<int>(i);
  return -1;
}

// The menu bar or popup menu a menu entry belongs to, or `index` itself when
// it is not a menu entry.
inline std::size_t MenuRoot(const ui::FormLayout& layout, std::size_t index) {
  std::size_t i = index;
  while (i != 0 && IsMenuEntry(layout.controls[i].kind)) i = layout.controls[i].parent;
  return IsMenuEntry(layout.controls[index].kind) ? i : index;
}

// True when a menu item opens a sub-menu (some entry is nested under it).
inline bool HasSubMenu(const ui::FormLayout& layout, std::size_t index) {
  if (layout.controls[index].kind != ui::Kind::MenuItem) return false;
  for (std::size_t child : ChildrenOf(layout, index))
    if (IsMenuEntry(layout.controls[child].kind)) return true;
  return false;
}

// The radio buttons that exclude one another: those with the same parent.
inline std::vector<std::size_t> RadioGroupOf(const ui::FormLayout& layout, std::size_t index) {
  std::vector<std::size_t> group;
  for (std::size_t sibling : ChildrenOf(layout, layout.controls[index].parent))
    if (layout.controls[sibling].kind == ui::Kind::RadioButton) group.push_back(sibling);
  return group;
}

// The colour painted behind a control: its own face colour when it has one,
// else the nearest container's, else kDefaultColour (the system's face).
inline std::uint32_t BackgroundColour(const ui::FormLayout& layout, std::size_t index) {
  std::size_t i = index;
  for (;;) {
    const ui::Style* style = layout.controls[i].style;
    if (style && style->face != ui::kDefaultColour) return style->face;
    if (i == 0) return ui::kDefaultColour;
    i = layout.controls[i].parent;
  }
}

// The colour behind a control's window, seen from inside its host: the same
// walk, starting at the host (a button's own face is its face, not what
// surrounds it).
inline std::uint32_t HostBackground(const ui::FormLayout& layout, std::size_t index) {
  return BackgroundColour(layout, PlaceControl(layout, index).host);
}

// Push buttons, check boxes and radio buttons drawn by a visual style take
// their text colour and face from the theme and ignore the colours the
// program hands them (WM_CTLCOLORBTN, WM_CTLCOLORSTATIC): those of them that
// have colours of their own, or stand on a face of the program's, are drawn
// without the theme. Every other control keeps the system's look.
inline bool WantsClassicLook(const ui::FormLayout& layout, std::size_t index) {
  const ui::ControlSpec& desc = layout.controls[index];
  if (desc.kind != ui::Kind::Button && desc.kind != ui::Kind::CheckBox &&
      desc.kind != ui::Kind::RadioButton)
    return false;
  if (desc.style && desc.style->colour != ui::kDefaultColour) return true;
  return BackgroundColour(layout, index) != ui::kDefaultColour;
}

inline std::uint32_t FlagsOf(const ui::ControlSpec& desc) {
  return desc.style ? desc.style->flags : 0;
}

// What a form's frame looks like, from its flags.
struct FrameKind {
  bool popup = false;  // no border and no caption at all
  bool sys_menu = false;
  bool minimize_box = false;
  bool maximize_box = false;
  bool sizeable = false;
  // Never activated: a tool window above all others, owned by no window (so
  // it has no taskbar entry and stays out of Alt+Tab), that a click does not
  // activate either.
  bool no_activate = false;
};

inline FrameKind FrameFor(std::uint32_t flags) {
  FrameKind frame;
  frame.no_activate = (flags & ui::flag::kNoActivate) != 0;
  if (flags & ui::flag::kNoCaption) {
    frame.popup = true;
    return frame;
  }
  frame.sys_menu = (flags & ui::flag::kSysMenu) != 0;
  frame.minimize_box = (flags & ui::flag::kMinimizeBox) != 0;
  frame.sizeable = (flags & ui::flag::kFixedFrame) == 0;
  frame.maximize_box = frame.sizeable && frame.sys_menu;
  return frame;
}

// Controls that take the keyboard focus: a form holding one is there to be
// answered.
constexpr bool TakesFocus(ui::Kind kind) {
  return kind == ui::Kind::Button || kind == ui::Kind::Edit || kind == ui::Kind::ComboBox ||
         kind == ui::Kind::CheckBox || kind == ui::Kind::RadioButton || kind == ui::Kind::HotKey;
}

// Whether a form comes up active when it is shown. Framed windows do, as
// windows the user opened. A form that must never take the focus does not.
// A borderless one (learning dialog, conflict warning, countdown) does only
// when it has a control to answer with and the program is the one the user
// is working in: it never takes the keyboard from another application.
inline bool ActivatesWhenShown(const ui::FormLayout& layout, bool program_in_front) {
  const FrameKind frame = FrameFor(FlagsOf(layout.controls[0]));
  if (frame.no_activate) return false;
  if (!frame.popup) return true;
  if (!program_in_front) return false;
  for (std::size_t i = 1; i < layout.controls.size(); ++i)
    if (TakesFocus(layout.controls[i].kind)) return true;
  return false;
}

struct Origin {
  int x = 0;
  int y = 0;
};

// A form's top-left corner: x and y of -1 centre the whole window on the
// screen (each axis on its own), other values are taken as they are.
inline Origin FormOrigin(int x, int y, int outer_w, int outer_h, int screen_w, int screen_h) {
  Origin origin{x, y};
  if (x == -1) origin.x = (screen_w - outer_w) / 2;
  if (y == -1) origin.y = (screen_h - outer_h) / 2;
  return origin;
}

struct Size {
  int w = 0;
  int h = 0;
};

// Labels size themselves to their text, as the original widgets did: a left
// aligned label is exactly as large as its text (`text` is its measured
// extent). Two kinds keep their table box: a centred label, whose text must
// stay centred in that box, and a box of several lines that is narrower than
// a one-line text, which is meant to wrap. A text broken into lines by the
// table itself is never wrapped further: it takes its own size.
inline Size LabelSize(const ui::ControlSpec& desc, Size box, Size text, int line_height) {
  if (desc.kind != ui::Kind::Label && desc.kind != ui::Kind::LinkLabel) return box;
  if (FlagsOf(desc) & ui::flag::kCentre) return box;
  if (line_height > 0 && box.h >= 2 * line_height && text.w > box.w && text.h < 2 * line_height)
    return box;
  return text;
}

}  // namespace talvoro::platform::win32
