// The keyboard in a form: Tab stops and radio groups, Ctrl+Tab through the
// pages, Space on the on/off switches, Enter on buttons, Escape on dialogs,
// and the names screen readers announce for picture-only buttons.
#include "platform/win32/form_window.h"
#include "platform/win32/keyboard_plan.h"
#include "platform/win32/layout_plan.h"
#include "platform/win32/wide_text.h"

namespace talvoro::platform::win32 {

using ui::Kind;

namespace {

bool IsRepeat(LPARAM lparam) {
  return (lparam & 0x40000000) != 0;  // the key was already down
}

}  // namespace

void FormWindow::ApplyTabStyle(std::size_t i) {
  const HWND hwnd = controls_[i].hwnd;
  if (!hwnd || !IsKeyboardControl(Desc(i).kind)) return;
  const TabStyle tab = TabStyleFor(form_, i);
  const LONG_PTR old_style = GetWindowLongPtrW(hwnd, GWL_STYLE);
  LONG_PTR style = old_style & ~static_cast<LONG_PTR>(WS_TABSTOP | WS_GROUP);
  if (tab.tab_stop) style |= WS_TABSTOP;
  if (tab.group) style |= WS_GROUP;
  if (style != old_style) SetWindowLongPtrW(hwnd, GWL_STYLE, style);
}

void FormWindow::ApplyAccessibleName(std::size_t i) {
  // Only the controls drawn here: their window text is never painted (they
  // draw the form's caption), so it can carry the name screen readers read
  // without changing anything on screen.
  const Kind kind = Desc(i).kind;
  const HWND hwnd = controls_[i].hwnd;
  if (!hwnd || (kind != Kind::SpeedButton && kind != Kind::Switch)) return;
  const std::wstring name = Utf8ToWide(AccessibleName(form_.layout(), i, form_.state(i).text));
  SetWindowTextW(hwnd, name.c_str());
}

bool FormWindow::CyclePage(bool backwards) {
  for (std::size_t i = 1; i < controls_.size(); ++i) {
    const HWND tab = controls_[i].hwnd;
    if (Desc(i).kind != Kind::PageControl || !tab || !IsWindowVisible(tab) || !IsWindowEnabled(tab))
      continue;
    const int count = static_cast<int>(PagesOf(form_.layout(), i).size());
    const int current = static_cast<int>(SendMessageW(tab, TCM_GETCURSEL, 0, 0));
    const int next = NextPage(current, count, backwards);
    if (next < 0 || next == current) return true;
    SendMessageW(tab, TCM_SETCURSEL, next, 0);
    // As a click on the tab: the pages switch and the form hears of it.
    ShowPage(i, next);
    // The focus must not stay on a control of the page just hidden.
    const HWND focus = GetFocus();
    if (hwnd_ && (!focus || !IsWindowVisible(focus))) SetFocus(tab);
    return true;
  }
  return false;
}

bool FormWindow::MoveFocus(bool backwards) {
  // The control that has the focus: a combo box's edit field stands for its
  // combo box. Anything else (the form itself) counts as before the first row.
  std::size_t current = 0;
  for (HWND focus = GetFocus(); focus && focus != hwnd_; focus = GetParent(focus)) {
    const std::size_t i = IndexOf(focus);
    if (ValidIndex(i)) {
      current = i;
      break;
    }
  }
  if (current != 0) {
    const HWND focused = controls_[current].hwnd;
    MSG key{};
    key.hwnd = focused;
    key.message = WM_KEYDOWN;
    key.wParam = VK_TAB;
    // A control that takes Tab for itself keeps it.
    if (SendMessageW(focused, WM_GETDLGCODE, VK_TAB, reinterpret_cast<LPARAM>(&key)) &
        (DLGC_WANTTAB | DLGC_WANTALLKEYS))
      return false;
  }
  // Table order, not the windows' stacking order: the painted kinds (speed
  // buttons among them) are stacked beneath the others in reverse order.
  std::vector<std::size_t> stops;
  for (std::size_t i = 1; i < controls_.size(); ++i) {
    const HWND hwnd = controls_[i].hwnd;
    if (!hwnd || (GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_TABSTOP) == 0) continue;
    if (IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) stops.push_back(i);
  }
  const long next = NextTabStop(stops, current, backwards);
  if (next < 0) return true;
  const HWND target = controls_[static_cast<std::size_t>(next)].hwnd;
  // The user works with the keyboard: focus marks are to be shown.
  SendMessageW(hwnd_, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
  SetFocus(target);
  // As in a dialog box, a field reached by Tab has its text selected.
  if (SendMessageW(target, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)
    SendMessageW(target, EM_SETSEL, 0, -1);
  return true;
}

bool FormWindow::PreTranslateKey(const MSG& message) {
  if (message.message != WM_KEYDOWN || message.wParam != VK_TAB) return false;
  FormWindow* form = FromHwnd(GetAncestor(message.hwnd, GA_ROOT));
  if (!form || !form->hwnd_) return false;
  const bool backwards = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
  if ((GetKeyState(VK_MENU) & 0x8000) != 0) return false;
  if ((GetKeyState(VK_CONTROL) & 0x8000) != 0) return form->CyclePage(backwards);
  return form->MoveFocus(backwards);
}

bool FormWindow::HandleControlKey(HWND hwnd, std::size_t i, UINT message, WPARAM wparam,
                                  LPARAM lparam, LRESULT& result) {
  const Kind kind = Desc(i).kind;
  if (kind == Kind::Switch) {
    switch (message) {
      case WM_SETFOCUS:
      case WM_KILLFOCUS:
        // The focus mark comes and goes.
        if (message == WM_KILLFOCUS) controls_[i].space_down = false;
        InvalidateRect(hwnd, nullptr, FALSE);
        return false;
      case WM_UPDATEUISTATE:
        // The keyboard cues were shown or hidden: the default handling
        // records it, then the switch is drawn again.
        result = DefWindowProcW(hwnd, message, wparam, lparam);
        InvalidateRect(hwnd, nullptr, FALSE);
        return true;
      case WM_KEYDOWN:
        if (wparam != VK_SPACE) return false;
        if (!IsRepeat(lparam)) controls_[i].space_down = true;
        result = 0;
        return true;
      case WM_KEYUP:
        if (wparam != VK_SPACE) return false;
        result = 0;
        // Space released, as a button is pressed by the keyboard: the very
        // press a left click makes, flip first, then the switch's handler.
        if (!controls_[i].space_down) return true;
        controls_[i].space_down = false;
        if (IsWindowEnabled(hwnd)) form_.ViewMouseDown(i, ui::MouseButton::Left);
        return true;
      default:
        return false;
    }
  }
  if (kind != Kind::Button && kind != Kind::SpeedButton) return false;
  switch (message) {
    case WM_GETDLGCODE: {
      // Enter on a focused button presses it. The dialog manager would
      // otherwise send it to a default button, which these forms do not have.
      result = CallOriginal(hwnd, i, message, wparam, lparam);
      const auto* key = reinterpret_cast<const MSG*>(lparam);
      if (key && key->message == WM_KEYDOWN && key->wParam == VK_RETURN) result |= DLGC_WANTMESSAGE;
      return true;
    }
    case WM_KEYDOWN:
      if (wparam != VK_RETURN || IsRepeat(lparam)) return false;
      form_.ViewClick(i);
      result = 0;
      return true;
    default:
      return false;
  }
}

}  // namespace talvoro::platform::win32
