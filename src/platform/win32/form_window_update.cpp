// Mirroring the core's changes onto the real controls.
#include "platform/win32/form_window.h"
#include "platform/win32/dpi_win32.h"
#include "platform/win32/form_window_internal.h"
#include "platform/win32/layout_plan.h"
#include "platform/win32/modal_loop.h"
#include "platform/win32/wide_text.h"

namespace talvoro::platform::win32 {

using ui::Change;
using ui::Kind;

void FormWindow::ControlChanged(std::size_t index, Change what, int detail) {
  if (!hwnd_ || !ValidIndex(index)) return;
  switch (what) {
    case Change::Text:
      ApplyText(index);
      break;
    case Change::Checked:
      ApplyChecked(index);
      break;
    case Change::Enabled:
      ApplyEnabled(index);
      break;
    case Change::Visible:
      ApplyVisible(index);
      break;
    case Change::Bounds:
      ApplyBounds(index);
      break;
    case Change::Position:
      ApplyPosition(index);
      break;
    case Change::Image:
      ApplyImage(index);
      break;
    case Change::PanelText:
      ApplyPanelText(index, detail);
      break;
    case Change::Topmost:
      ApplyTopmost();
      break;
    case Change::Items:
      ApplyItems(index);
      break;
    case Change::ItemAdded:
    case Change::ItemChanged:
    case Change::ItemRemoved:
      ApplyItem(index, what, detail);
      break;
    case Change::Popup:
      ShowPopup(index);
      break;
  }
}

HDC FormWindow::MeasureDc() {
  // A memory DC of the screen's, kept: asking a window for its DC at every
  // label would cost a round trip each.
  if (!measure_dc_) measure_dc_ = CreateCompatibleDC(nullptr);
  return measure_dc_;
}

void FormWindow::MeasureLines(std::size_t i, std::wstring_view text, int* width, int* height) {
  const HDC dc = MeasureDc();
  const HGDIOBJ old = SelectObject(dc, controls_[i].font ? controls_[i].font : controls_[0].font);
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  int widest = 0;
  int lines = 0;
  std::size_t start = 0;
  for (;;) {
    std::size_t end = text.find(L'\n', start);
    std::wstring_view line = text.substr(start, end == std::wstring_view::npos ? end : end - start);
    if (!line.empty() && line.back() == L'\r') line.remove_suffix(1);
    SIZE size{};
    if (!line.empty()) GetTextExtentPoint32W(dc, line.data(), static_cast<int>(line.size()), &size);
    if (size.cx > widest) widest = size.cx;
    ++lines;
    if (end == std::wstring_view::npos) break;
    start = end + 1;
  }
  SelectObject(dc, old);
  if (width) *width = widest;
  if (height) *height = lines * metrics.tmHeight;
}

int FormWindow::OuterWidth() {
  RECT frame{};
  if (!hwnd_ || !GetWindowRect(hwnd_, &frame)) return 0;
  return Logical(frame.right - frame.left);
}

void FormWindow::SetEditText(HWND field, const std::wstring& text) {
  // Setting the text the field already holds would only move the caret
  // to its start while the user types.
  std::wstring shown(static_cast<std::size_t>(GetWindowTextLengthW(field)) + 1, L'\0');
  shown.resize(static_cast<std::size_t>(
      GetWindowTextW(field, shown.data(), static_cast<int>(shown.size()))));
  if (shown == text) return;
  setting_text_ = true;
  SetWindowTextW(field, text.c_str());
  setting_text_ = false;
}

int FormWindow::TextWidth(std::size_t index, std::string_view utf8) {
  if (!hwnd_ || !ValidIndex(index)) return static_cast<int>(utf8.size()) * 6;
  int width = 0;
  MeasureLines(index, Utf8ToWide(utf8), &width, nullptr);
  return Logical(width);
}

void FormWindow::ApplyText(std::size_t i) {
  const Control& c = controls_[i];
  const std::wstring text = Utf8ToWide(form_.state(i).text);
  switch (Desc(i).kind) {
    case Kind::Form:
      SetWindowTextW(hwnd_, text.c_str());
      return;
    case Kind::Page: {
      std::wstring caption = text;
      TCITEMW item{};
      item.mask = TCIF_TEXT;
      item.pszText = caption.data();
      if (c.host)
        SendMessageW(c.host, TCM_SETITEMW, PageOrdinal(form_.layout(), i),
                     reinterpret_cast<LPARAM>(&item));
      if (c.hwnd) SetWindowTextW(c.hwnd, text.c_str());
      return;
    }
    case Kind::MenuItem:
    case Kind::MenuSeparator:
      ApplyMenuEntry(i);
      return;
    case Kind::MainMenu:
    case Kind::PopupMenu:
    case Kind::ToolButton:
    case Kind::ToolSeparator:
    case Kind::HotKey:  // it shows its keys, never a text
      return;
    case Kind::StatusBar:
      if (c.hwnd && form_.layout().status_panels.empty())
        SendMessageW(c.hwnd, SB_SETTEXTW, SB_SIMPLEID, reinterpret_cast<LPARAM>(text.c_str()));
      return;
    default:
      break;
  }
  if (!c.hwnd) return;
  if (Desc(i).kind == Kind::Edit) {
    SetEditText(c.hwnd, text);
    return;
  }
  if (Desc(i).kind == Kind::ComboBox) {
    // Only an editable one has a field to show a text of its own.
    if (Flags(i) & ui::flag::kEditable) SetEditText(c.hwnd, text);
    return;
  }
  if (Desc(i).kind == Kind::SpeedButton || Desc(i).kind == Kind::Switch)
    ApplyAccessibleName(i);  // their window text is their name, not what they show
  else
    SetWindowTextW(c.hwnd, text.c_str());
  switch (Desc(i).kind) {
    case Kind::Label:
    case Kind::LinkLabel:
      ApplyBounds(i);  // labels follow their text's size
      // The static painted its new text at once, in its old box (cut or
      // wrapped there), and growing keeps those bits: all of it again.
      InvalidateRect(c.hwnd, nullptr, TRUE);
      break;
    case Kind::GroupBox:
    case Kind::Panel:
    case Kind::Switch:
    case Kind::SpeedButton:
      InvalidateRect(c.hwnd, nullptr, TRUE);  // drawn here from the form's state
      break;
    default:
      break;
  }
}

void FormWindow::ApplyChecked(std::size_t i) {
  const Control& c = controls_[i];
  const bool checked = form_.state(i).checked;
  switch (Desc(i).kind) {
    case Kind::RadioButton:
    case Kind::CheckBox:
      if (c.hwnd) SendMessageW(c.hwnd, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
      // A radio group's Tab stop follows its checked button.
      if (Desc(i).kind == Kind::RadioButton)
        for (std::size_t r : RadioGroupOf(form_.layout(), i)) ApplyTabStyle(r);
      break;
    case Kind::Switch:
    case Kind::SpeedButton:
      if (c.hwnd) InvalidateRect(c.hwnd, nullptr, FALSE);
      break;
    case Kind::MenuItem:
      ApplyMenuEntry(i);
      break;
    case Kind::ToolButton:
      if (c.host) SendMessageW(c.host, TB_CHECKBUTTON, kFirstControlId + i, MAKELPARAM(checked, 0));
      break;
    default:
      break;
  }
}

void FormWindow::ApplyEnabled(std::size_t i) {
  const Control& c = controls_[i];
  const bool enabled = form_.state(i).enabled;
  switch (Desc(i).kind) {
    case Kind::Form:
      EnableWindow(hwnd_, enabled);
      break;
    case Kind::MenuItem:
    case Kind::MenuSeparator:
      ApplyMenuEntry(i);
      break;
    case Kind::ToolButton:
      if (c.host)
        SendMessageW(c.host, TB_ENABLEBUTTON, kFirstControlId + i, MAKELPARAM(enabled, 0));
      break;
    case Kind::MainMenu:
    case Kind::PopupMenu:
    case Kind::ToolSeparator:
      break;
    default:
      if (!c.hwnd) break;
      EnableWindow(c.hwnd, enabled);
      // Owner-drawn and custom controls draw their disabled look themselves.
      InvalidateRect(c.hwnd, nullptr, FALSE);
      break;
  }
}

void FormWindow::ApplyVisible(std::size_t i) {
  const Control& c = controls_[i];
  const bool visible = form_.state(i).visible;
  switch (Desc(i).kind) {
    case Kind::Form:
      if (visible)
        ShowForm();
      else
        ShowWindow(hwnd_, SW_HIDE);
      break;
    case Kind::PopupMenu:
      break;  // a popup menu opens on request (Change::Popup), never by being shown
    case Kind::MainMenu:
      SetMenu(hwnd_, visible ? c.menu : nullptr);
      break;
    case Kind::MenuItem:
    case Kind::MenuSeparator:
      RebuildMenu(MenuRoot(form_.layout(), i));
      break;
    case Kind::ToolButton:
    case Kind::ToolSeparator:
      if (c.host) SendMessageW(c.host, TB_HIDEBUTTON, kFirstControlId + i, MAKELPARAM(!visible, 0));
      break;
    case Kind::Page:
      break;  // pages come and go with their tab
    default:
      if (c.hwnd) ShowWindow(c.hwnd, visible ? SW_SHOWNA : SW_HIDE);
      break;
  }
}

void FormWindow::ApplyBounds(std::size_t i) {
  const Control& c = controls_[i];
  const ui::ControlState& state = form_.state(i);
  switch (Desc(i).kind) {
    case Kind::Form:
      PlaceForm();
      return;
    case Kind::Page:
    case Kind::StatusBar:  // docked to the bottom of its parent
    case Kind::MainMenu:
    case Kind::PopupMenu:  // its position is where it opens
    case Kind::MenuItem:
    case Kind::MenuSeparator:
    case Kind::ToolButton:
    case Kind::ToolSeparator:
      return;
    default:
      break;
  }
  if (!c.hwnd) return;
  const Size size = WindowSize(i);
  SetWindowPos(c.hwnd, nullptr, Px(state.x + c.dx), Px(state.y + c.dy), size.w, size.h,
               SWP_NOZORDER | SWP_NOACTIVATE);
  if (Desc(i).kind == Kind::PageControl) LayoutPages(i);
}

void FormWindow::ApplyPosition(std::size_t i) {
  const Control& c = controls_[i];
  const int position = form_.state(i).position;
  switch (Desc(i).kind) {
    case Kind::ProgressBar:
      if (c.hwnd) SendMessageW(c.hwnd, PBM_SETPOS, position, 0);
      break;
    case Kind::TrackBar:
      if (c.hwnd) SendMessageW(c.hwnd, TBM_SETPOS, TRUE, position);
      break;
    case Kind::PageControl:
      ShowActivePage(i);
      break;
    case Kind::ComboBox:
      if (c.hwnd) SendMessageW(c.hwnd, CB_SETCURSEL, position, 0);
      break;
    case Kind::HotKey:
      // The position is HKM_SETHOTKEY's word: the key in the low byte, the
      // HOTKEYF_ flags in the high one (the form model uses the same).
      if (!c.hwnd || SendMessageW(c.hwnd, HKM_GETHOTKEY, 0, 0) == (position & 0xFFFF)) break;
      setting_text_ = true;
      SendMessageW(c.hwnd, HKM_SETHOTKEY, static_cast<WPARAM>(position & 0xFFFF), 0);
      setting_text_ = false;
      break;
    default:
      break;
  }
}

void FormWindow::ShowActivePage(std::size_t page_control) {
  const HWND tab = controls_[page_control].hwnd;
  if (!tab) return;
  const int active = form_.state(page_control).position;
  // Setting the selection from code sends no TCN_SELCHANGE: nothing runs.
  if (SendMessageW(tab, TCM_GETCURSEL, 0, 0) != active) SendMessageW(tab, TCM_SETCURSEL, active, 0);
  const std::vector<std::size_t> pages = PagesOf(form_.layout(), page_control);
  // Show the new page before hiding the old one, so that the tab control's
  // empty background never flashes in between.
  for (std::size_t n = 0; n < pages.size(); ++n)
    if (static_cast<int>(n) == active && controls_[pages[n]].hwnd) {
      BuildContents(pages[n]);
      ShowWindow(controls_[pages[n]].hwnd, SW_SHOW);
    }
  for (std::size_t n = 0; n < pages.size(); ++n)
    if (static_cast<int>(n) != active && controls_[pages[n]].hwnd)
      ShowWindow(controls_[pages[n]].hwnd, SW_HIDE);
}

void FormWindow::ShowForm() {
  FollowMonitorDpi();
  BuildContents(0);
  const ui::ControlState& state = form_.state(0);
  const HWND z_place = state.topmost ? HWND_TOPMOST : HWND_TOP;
  if (!FrameFor(Flags(0)).popup) {
    // A framed window comes up active, in front of the program's others.
    ShowWindow(hwnd_, SW_SHOW);
    SetWindowPos(hwnd_, z_place, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return;
  }
  DWORD foreground_process = 0;
  if (const HWND foreground = GetForegroundWindow())
    GetWindowThreadProcessId(foreground, &foreground_process);
  const bool in_front = foreground_process == GetCurrentProcessId();
  // Borderless forms appear on top (of the topmost band when they are
  // topmost, which a hidden window may already be) without activation:
  // ShowWindow would activate, SWP_SHOWWINDOW with SWP_NOACTIVATE does not.
  // Announcements (the on-screen display, the countdown) so leave the
  // keyboard to the application the user works in, which is where the
  // shortcuts the program synthesizes must go. A form there to be answered
  // (the learning dialog, the conflict warning) is then activated, but only
  // while the program itself is in front.
  SetWindowPos(hwnd_, z_place, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  if (ActivatesWhenShown(form_.layout(), in_front)) SetActiveWindow(hwnd_);
}

void FormWindow::ApplyImage(std::size_t i) {
  Control& c = controls_[i];
  const ui::ControlState& state = form_.state(i);
  // A control not made yet takes its picture when it is.
  if (!c.hwnd) return;
  if (state.image) {
    c.picture = Picture::FromBmp(*state.image);
  } else if (state.picture) {
    // A picture built into the program that the core chose for the control.
    c.picture = Picture::FromResource(res_.instance(), Utf8ToWide(state.picture));
  } else if (const ui::Style* style = Desc(i).style; style && style->picture) {
    // A picture built into the program stands until one is loaded over it.
    c.picture = Picture::FromResource(res_.instance(), Utf8ToWide(style->picture));
  } else {
    c.picture = nullptr;
  }
  InvalidateRect(c.hwnd, nullptr, FALSE);
}

void FormWindow::ApplyItems(std::size_t i) {
  const Control& c = controls_[i];
  if (!c.hwnd) return;
  if (Desc(i).kind == Kind::ListBox) {
    // Hundreds of lines at once: drawn once at the end, not once a line.
    SendMessageW(c.hwnd, WM_SETREDRAW, FALSE, 0);
    SendMessageW(c.hwnd, LB_RESETCONTENT, 0, 0);
    for (const std::string& item : form_.state(i).items) {
      const std::wstring text = Utf8ToWide(item);
      SendMessageW(c.hwnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    ApplyListExtent(i, 0);
    ShowLastLine(i);
    SendMessageW(c.hwnd, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(c.hwnd, nullptr, TRUE);
    return;
  }
  if (Desc(i).kind != Kind::ComboBox) return;
  SendMessageW(c.hwnd, CB_RESETCONTENT, 0, 0);
  for (const std::string& item : form_.state(i).items) {
    const std::wstring text = Utf8ToWide(item);
    SendMessageW(c.hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
  ApplyPosition(i);
  // Emptying the list empties an editable one's field as well: it keeps the
  // form's text.
  if (Flags(i) & ui::flag::kEditable) SetEditText(c.hwnd, Utf8ToWide(form_.state(i).text));
}

void FormWindow::ApplyItem(std::size_t i, ui::Change what, int item) {
  const Control& c = controls_[i];
  const Kind kind = Desc(i).kind;
  if (!c.hwnd || (kind != Kind::ListBox && kind != Kind::ComboBox)) return;
  const bool list = kind == Kind::ListBox;
  const auto& items = form_.state(i).items;
  // Whether the newest line was in view before the change: the list then
  // follows the lines as they come; a user who scrolled back keeps reading.
  // (A changed line is taken out and put back: the list would otherwise
  // slip back by a line when it is the last one.)
  bool follow = false;
  if (list && what != ui::Change::ItemRemoved) {
    RECT client{};
    GetClientRect(c.hwnd, &client);
    const LRESULT line = SendMessageW(c.hwnd, LB_GETITEMHEIGHT, 0, 0);
    const LRESULT top = SendMessageW(c.hwnd, LB_GETTOPINDEX, 0, 0);
    const LRESULT shown = line > 0 ? client.bottom / line : 0;
    follow = top + shown >= SendMessageW(c.hwnd, LB_GETCOUNT, 0, 0);
  }
  if (what != ui::Change::ItemAdded)
    SendMessageW(c.hwnd, list ? LB_DELETESTRING : CB_DELETESTRING, item, 0);
  if (what == ui::Change::ItemRemoved) return;
  if (item < 0 || static_cast<std::size_t>(item) >= items.size()) return;
  const std::wstring text = Utf8ToWide(items[static_cast<std::size_t>(item)]);
  SendMessageW(c.hwnd, list ? LB_INSERTSTRING : CB_INSERTSTRING, item,
               reinterpret_cast<LPARAM>(text.c_str()));
  if (!list) return;
  ApplyListExtent(i, static_cast<std::size_t>(item));
  if (follow) ShowLastLine(i);
}

void FormWindow::ApplyListExtent(std::size_t i, std::size_t first) {
  Control& c = controls_[i];
  if (!c.hwnd) return;
  const auto& items = form_.state(i).items;
  if (first == 0) c.extent = 0;
  // Lines that went are not measured out again: the range only grows until
  // the whole list is set anew.
  const HDC dc = MeasureDc();
  const HGDIOBJ old = SelectObject(dc, c.font ? c.font : controls_[0].font);
  for (std::size_t n = first; n < items.size(); ++n) {
    const std::wstring text = Utf8ToWide(items[n]);
    // Tabs measured at the list's own default stops (8 average characters).
    const DWORD size =
        GetTabbedTextExtentW(dc, text.c_str(), static_cast<int>(text.size()), 0, nullptr);
    const int width = LOWORD(size) + Px(8);
    if (width > c.extent) c.extent = width;
  }
  SelectObject(dc, old);
  SendMessageW(c.hwnd, LB_SETHORIZONTALEXTENT, c.extent, 0);
}

void FormWindow::ShowLastLine(std::size_t i) {
  const Control& c = controls_[i];
  const LRESULT count = SendMessageW(c.hwnd, LB_GETCOUNT, 0, 0);
  // The list scrolls as far as it can towards that line: the last page shows.
  if (count > 0) SendMessageW(c.hwnd, LB_SETTOPINDEX, count - 1, 0);
}

void FormWindow::ApplyStatusParts(std::size_t i) {
  const Control& c = controls_[i];
  const auto widths = form_.layout().status_panels;
  if (widths.empty()) {
    SendMessageW(c.hwnd, SB_SIMPLE, TRUE, 0);
    ApplyText(i);
    return;
  }
  // SB_SETPARTS takes each panel's right edge, not its width.
  std::vector<int> edges;
  int right = 0;
  for (int w : widths) edges.push_back(Px(right += w));
  // The last panel runs to the window's edge (-1): at 50 pixels " Code IR: 65535"
  // would be cut off, and the space right of it would be a dead strip.
  edges.back() = -1;
  SendMessageW(c.hwnd, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
  for (std::size_t panel = 0; panel < edges.size(); ++panel)
    ApplyPanelText(i, static_cast<int>(panel));
}

void FormWindow::ApplyPanelText(std::size_t i, int panel) {
  const Control& c = controls_[i];
  const auto& panels = form_.state(i).panels;
  if (!c.hwnd || panel < 0 || static_cast<std::size_t>(panel) >= panels.size()) return;
  const std::wstring text = Utf8ToWide(panels[static_cast<std::size_t>(panel)]);
  SendMessageW(c.hwnd, SB_SETTEXTW, static_cast<WPARAM>(panel),
               reinterpret_cast<LPARAM>(text.c_str()));
}

void FormWindow::ApplyTopmost() {
  SetWindowPos(hwnd_, form_.state(0).topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void FormWindow::ApplyMenuEntry(std::size_t i) {
  const Control& c = controls_[i];
  if (!c.parent_menu || c.menu_position < 0) return;  // hidden, or not built
  const ui::ControlState& state = form_.state(i);
  MENUITEMINFOW info{};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_STATE;
  info.fState =
      (state.enabled ? MFS_ENABLED : MFS_DISABLED) | (state.checked ? MFS_CHECKED : MFS_UNCHECKED);
  std::wstring text = Utf8ToWide(state.text);
  if (Desc(i).kind == Kind::MenuItem) {
    info.fMask |= MIIM_STRING;
    info.dwTypeData = text.data();
  }
  SetMenuItemInfoW(c.parent_menu, static_cast<UINT>(c.menu_position), TRUE, &info);
  // Items of the bar itself are only redrawn on request.
  if (c.parent_menu == GetMenu(hwnd_)) DrawMenuBar(hwnd_);
}

void FormWindow::ShowPopup(std::size_t i) {
  const HMENU menu = controls_[i].menu;
  if (!menu) return;
  const ui::ControlState& state = form_.state(i);
  const POINT at = ScreenToDevice(ScreenPoint{state.popup_x, state.popup_y});
  // A popup menu only closes on a click elsewhere when its owner is the
  // foreground window, which a window hidden in the notification area is
  // not: make it so first, and post a message after the menu returns so that
  // the next popup behaves as well (the notification area's known quirk).
  // That activation is the menu's, not the user's: the form's activation
  // handler (which writes the settings file) does not run for it.
  const HWND previous = GetForegroundWindow();
  popup_activation_ = true;
  SetForegroundWindow(hwnd_);
  UINT command = 0;
  {
    // An Enter the remote injects into an open menu would choose an entry.
    const ModalLoop loop;
    // TPM_RETURNCMD: the entry is run below, once the menu and its borrowed
    // activation are over, rather than from a posted WM_COMMAND.
    command = static_cast<UINT>(
        TrackPopupMenuEx(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD, at.x,
                         at.y, hwnd_, nullptr));
  }
  PostMessageW(hwnd_, WM_NULL, 0, 0);
  popup_activation_ = false;
  if (command != 0) SendMessageW(hwnd_, WM_COMMAND, MAKEWPARAM(command, 0), 0);
  // A hidden window gives the foreground back to the window that had it
  // (after "Ne rien faire !", a click elsewhere, or "Quitter"); "Restaurer"
  // has shown it, and the user works with it now.
  if (IsWindow(hwnd_) && !IsWindowVisible(hwnd_) && previous && previous != hwnd_ &&
      IsWindow(previous))
    SetForegroundWindow(previous);
}

}  // namespace talvoro::platform::win32
