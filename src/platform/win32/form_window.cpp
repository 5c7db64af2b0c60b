// A form's window procedures and the routing of user input to the form.
#include "platform/win32/form_window.h"

#include "platform/win32/dpi_win32.h"
#include "platform/win32/error_box.h"
#include "platform/win32/form_input.h"
#include "platform/win32/form_window_internal.h"
#include "platform/win32/keyboard_plan.h"
#include "platform/win32/layout_plan.h"
#include "platform/win32/wide_text.h"

namespace talvoro::platform::win32 {

using ui::Kind;
using ui::MouseButton;

FormWindow::FormWindow(ui::FormBase& form, UiResources& resources, HWND owner)
    : form_(form), res_(resources), owner_(owner) {}

FormWindow::~FormWindow() {
  Destroy();
}

void FormWindow::Destroy() {
  if (!hwnd_) return;
  form_.AttachView(nullptr);
  for (std::size_t i = 1; i < controls_.size(); ++i) {
    // Tool bars leave their image list to whoever made it.
    if (Desc(i).kind == Kind::ToolBar && controls_[i].hwnd) {
      auto images =
          reinterpret_cast<HIMAGELIST>(SendMessageW(controls_[i].hwnd, TB_SETIMAGELIST, 0, 0));
      if (images) ImageList_Destroy(images);
    }
    // Popup menus belong to no window: they are destroyed by hand. The menu
    // bar goes with the window.
    if (Desc(i).kind == Kind::PopupMenu && controls_[i].menu) DestroyMenu(controls_[i].menu);
    if (Desc(i).kind == Kind::MainMenu && controls_[i].menu && GetMenu(hwnd_) != controls_[i].menu)
      DestroyMenu(controls_[i].menu);
  }
  const HWND hwnd = hwnd_;
  hwnd_ = nullptr;
  // Destroyed with a menu open: its WM_EXITMENULOOP will not reach us.
  menu_loop_.reset();
  menu_loop_depth_ = 0;
  SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
  DestroyWindow(hwnd);  // children, the tool-tip window and the menu bar go with it
  tooltip_ = nullptr;
  controls_.clear();
  if (measure_dc_) DeleteDC(measure_dc_);
  measure_dc_ = nullptr;
}

FormWindow* FormWindow::FromHwnd(HWND hwnd) {
  if (!hwnd) return nullptr;
  WNDPROC proc = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd, GWLP_WNDPROC));
  if (proc != &FormWindow::FormProc) return nullptr;
  return reinterpret_cast<FormWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

std::uint32_t FormWindow::Flags(std::size_t i) const {
  return FlagsOf(Desc(i));
}

bool FormWindow::SetHandCursor(std::size_t i, LPARAM hit_test) const {
  if (LOWORD(hit_test) != HTCLIENT || !WantsHandCursor(i)) return false;
  SetCursor(LoadCursorW(nullptr, IDC_HAND));
  return true;
}

bool FormWindow::WantsHandCursor(std::size_t i) const {
  return (Flags(i) & ui::flag::kHandCursor) != 0 || Desc(i).kind == Kind::LinkLabel;
}

std::size_t FormWindow::IndexOf(HWND child) const {
  if (!child) return static_cast<std::size_t>(-1);
  const int id = GetDlgCtrlID(child) - kFirstControlId;
  if (id < 0 || static_cast<std::size_t>(id) >= controls_.size())
    return static_cast<std::size_t>(-1);
  if (controls_[static_cast<std::size_t>(id)].hwnd != child) return static_cast<std::size_t>(-1);
  return static_cast<std::size_t>(id);
}

void FormWindow::RouteMouseDown(std::size_t i, UINT message) {
  MouseButton button = MouseButton::Left;
  switch (message) {
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
      button = MouseButton::Right;
      break;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
      button = MouseButton::Middle;
      break;
    default:
      break;
  }
  form_.ViewMouseDown(i, button);
}

bool FormWindow::CheckRadio(std::size_t i) {
  const bool report = ClickRadio(form_, i);
  for (std::size_t r : RadioGroupOf(form_.layout(), i))
    if (controls_[r].hwnd)
      SendMessageW(controls_[r].hwnd, BM_SETCHECK,
                   form_.state(r).checked ? BST_CHECKED : BST_UNCHECKED, 0);
  // The group's Tab stop moves to the button now checked.
  for (std::size_t r : RadioGroupOf(form_.layout(), i)) ApplyTabStyle(r);
  return report;
}

// ---------------------------------------------------------------------------
// Messages a window that holds controls receives about them (the form and
// every panel, group box and page).

bool FormWindow::HandleHostMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) {
  switch (message) {
    case WM_COMMAND:
      OnCommand(wparam, lparam);
      result = 0;
      return true;
    case WM_NOTIFY:
      result = OnNotify(reinterpret_cast<const NMHDR*>(lparam));
      return true;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      result = OnCtlColor(reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam));
      return result != 0;
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
      const std::size_t i = IndexOf(item->hwndItem);
      if (item->CtlType != ODT_BUTTON || !ValidIndex(i)) return false;
      DrawSpeedButton(i, *item);
      result = TRUE;
      return true;
    }
    default:
      return false;
  }
}

void FormWindow::OnCommand(WPARAM wparam, LPARAM lparam) {
  // Escape, passed on by the dialog manager: a dialog closes as by its
  // close box.
  if (LOWORD(wparam) == IDCANCEL && HIWORD(wparam) == 0 && lparam == 0) {
    if (EscapeCloses(form_.layout()) && hwnd_) SendMessageW(hwnd_, WM_CLOSE, 0, 0);
    return;
  }
  const int id = LOWORD(wparam) - kFirstControlId;
  if (id < 0 || static_cast<std::size_t>(id) >= controls_.size()) return;
  const std::size_t i = static_cast<std::size_t>(id);
  const UINT code = HIWORD(wparam);
  const Kind kind = Desc(i).kind;
  if (lparam == 0) {  // a menu entry (no control window)
    if (kind == Kind::MenuItem) form_.ViewClick(i);
    return;
  }
  switch (kind) {
    case Kind::ToolButton:
      form_.ViewClick(i);
      break;
    case Kind::Button:
    case Kind::SpeedButton:
      // Owner-drawn buttons report the second click of a quick pair as a
      // double click (BN_DBLCLK): it is a click all the same, as two quick
      // presses on "volume up" must be.
      if (code == BN_CLICKED || code == BN_DBLCLK) form_.ViewClick(i);
      break;
    case Kind::Label:
    case Kind::LinkLabel:
      // Notifying statics do the same with codes of their own (STN_DBLCLK
      // is 1, not BN_DBLCLK's 5).
      if (code == STN_CLICKED || code == STN_DBLCLK) form_.ViewClick(i);
      break;
    case Kind::CheckBox:
      if (code != BN_CLICKED) break;
      form_.ViewSetChecked(i, SendMessageW(controls_[i].hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED);
      form_.ViewClick(i);
      break;
    case Kind::RadioButton:
      if (code != BN_CLICKED && code != BN_DBLCLK) break;
      if (CheckRadio(i)) form_.ViewClick(i);
      break;
    case Kind::Edit: {
      // A one-line field also sends EN_CHANGE for text set by WM_SETTEXT:
      // the core's own text is not handed back to it as the user's.
      if (code != EN_CHANGE || setting_text_) break;
      const HWND edit = controls_[i].hwnd;
      std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
      text.resize(static_cast<std::size_t>(
          GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
      form_.ViewSetText(i, WideToUtf8(text));
      break;
    }
    case Kind::HotKey:
      // The field tells its parent of every combination pressed into it with
      // EN_CHANGE, like an edit field; the core's own settings are not
      // handed back. The form learns the combination, then hears of it as a
      // click.
      if (code != EN_CHANGE || setting_text_) break;
      form_.ViewSetPosition(
          i, static_cast<int>(SendMessageW(controls_[i].hwnd, HKM_GETHOTKEY, 0, 0) & 0xFFFF));
      form_.ViewClick(i);
      break;
    case Kind::ComboBox:
      // Typing into an editable combo box: the form follows its text.
      if (code == CBN_EDITCHANGE && !setting_text_) {
        const HWND combo = controls_[i].hwnd;
        std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(combo)) + 1, L'\0');
        text.resize(static_cast<std::size_t>(
            GetWindowTextW(combo, text.data(), static_cast<int>(text.size()))));
        form_.ViewSetText(i, WideToUtf8(text));
        break;
      }
      // Only the user's choice sends CBN_SELCHANGE (CB_SETCURSEL does not).
      if (code != CBN_SELCHANGE) break;
      form_.ViewSetPosition(i,
                            static_cast<int>(SendMessageW(controls_[i].hwnd, CB_GETCURSEL, 0, 0)));
      form_.ViewClick(i);
      break;
    default:
      break;
  }
}

void FormWindow::ShowPage(std::size_t page_control, int page) {
  // The form records the page itself (without telling the view), so the
  // pages are switched here first.
  const std::vector<std::size_t> pages = PagesOf(form_.layout(), page_control);
  for (std::size_t n = 0; n < pages.size(); ++n)
    if (static_cast<int>(n) == page && controls_[pages[n]].hwnd) {
      BuildContents(pages[n]);
      ShowWindow(controls_[pages[n]].hwnd, SW_SHOW);
    }
  for (std::size_t n = 0; n < pages.size(); ++n)
    if (static_cast<int>(n) != page && controls_[pages[n]].hwnd)
      ShowWindow(controls_[pages[n]].hwnd, SW_HIDE);
  form_.ViewPageChange(page_control, page);
}

LRESULT FormWindow::OnNotify(const NMHDR* header) {
  const int id = static_cast<int>(header->idFrom) - kFirstControlId;
  if (id < 0 || static_cast<std::size_t>(id) >= controls_.size()) return 0;
  const std::size_t i = static_cast<std::size_t>(id);
  switch (header->code) {
    case TCN_SELCHANGE: {
      if (Desc(i).kind != Kind::PageControl) return 0;
      ShowPage(i, static_cast<int>(SendMessageW(header->hwndFrom, TCM_GETCURSEL, 0, 0)));
      return 0;
    }
    case TTN_GETDISPINFOW: {
      // Tool bar buttons ask for their tool-tip text by command id.
      if (Desc(i).kind != Kind::ToolButton) return 0;
      auto* info = reinterpret_cast<NMTTDISPINFOW*>(const_cast<NMHDR*>(header));
      info->lpszText = const_cast<wchar_t*>(controls_[i].hint.c_str());
      info->hinst = nullptr;
      return 0;
    }
    default:
      return 0;
  }
}

LRESULT FormWindow::OnCtlColor(HDC dc, HWND child) {
  const std::size_t i = IndexOf(child);
  if (!ValidIndex(i)) return 0;
  const ui::Style* style = Desc(i).style;
  const std::uint32_t background = BackgroundColour(form_.layout(), i);
  const std::uint32_t text = style ? style->colour : ui::kDefaultColour;
  SetTextColor(dc, UiResources::ToColorRef(text, GetSysColor(COLOR_BTNTEXT)));
  SetBkColor(dc, UiResources::Face(background));
  return reinterpret_cast<LRESULT>(res_.Brush(background));
}

void FormWindow::OnActivate(WPARAM wparam, LPARAM lparam) {
  if (LOWORD(wparam) == WA_INACTIVE) return;
  // The original forms reported activation when they became the program's
  // active form, not when one of the program's own message boxes or file
  // dialogs closed over them. Without this filter a handler that fails
  // would show its error box, be activated again when the box closes, fail
  // again, and never let the user out.
  const HWND previous = reinterpret_cast<HWND>(lparam);
  if (previous && GetWindowThreadProcessId(previous, nullptr) == GetCurrentThreadId() &&
      !FromHwnd(previous) && previous != owner_)
    return;
  if (activating_ || popup_activation_) return;
  activating_ = true;
  form_.ViewActivate();
  activating_ = false;
}

LRESULT FormWindow::HandleFormMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  if (hook_) {
    LRESULT result = 0;
    if (hook_(message, wparam, lparam, result)) return result;
  }
  LRESULT result = 0;
  if (HandleHostMessage(message, wparam, lparam, result)) return result;
  switch (message) {
    case WM_ERASEBKGND: {
      RECT client{};
      GetClientRect(hwnd_, &client);
      FillRect(reinterpret_cast<HDC>(wparam), &client,
               res_.Brush(BackgroundColour(form_.layout(), 0)));
      return 1;
    }
    case WM_ACTIVATE:
      OnActivate(wparam, lparam);
      break;  // the default handling gives the keyboard focus to the window
    case WM_MOUSEACTIVATE:
      // WS_EX_NOACTIVATE alone is not honoured everywhere (Wine, older
      // systems): a click on a window that must never take the focus is
      // refused activation here as well. Clicks on its controls come here
      // too, passed up by their default handling.
      if (FrameFor(Flags(0)).no_activate) return MA_NOACTIVATE;
      break;
    case WM_SIZE:
      // A status bar docks itself to the bottom of its parent only when it
      // is handed the parent's WM_SIZE.
      for (std::size_t i = 1; i < controls_.size(); ++i)
        if (Desc(i).kind == Kind::StatusBar && controls_[i].hwnd &&
            GetParent(controls_[i].hwnd) == hwnd_)
          SendMessageW(controls_[i].hwnd, WM_SIZE, 0, 0);
      break;
    case WM_DPICHANGED:
      OnDpiChanged(wparam, lparam);
      return 0;
    case WM_CLOSE:
      // The form decides: quit, hide, or nothing. The window is not destroyed.
      form_.ViewClose();
      return 0;
    case WM_CONTEXTMENU:
      // A right click that no control took, or the menu key: reported as a
      // right-button press on the form itself.
      form_.ViewMouseDown(0, MouseButton::Right);
      return 0;
    case WM_ENTERMENULOOP:
      // The menu bar's (and the system menu's) loop runs inside the default
      // handling of a click or Alt, out of our reach: these two messages
      // bracket it. An injected Enter would choose the menu's entry.
      if (++menu_loop_depth_ == 1) menu_loop_.emplace();
      return 0;
    case WM_EXITMENULOOP:
      if (menu_loop_depth_ > 0) --menu_loop_depth_;
      if (menu_loop_depth_ == 0) {
        menu_loop_.reset();
        if (!stale_menus_.empty()) PostMessageW(hwnd_, kRebuildMenus, 0, 0);
      }
      return 0;
    case kBuildAllControls:
      BuildEverything();
      return TRUE;
    case kRebuildMenus: {
      std::vector<std::size_t> stale;
      stale.swap(stale_menus_);
      for (std::size_t root : stale) RebuildMenu(root);
      return 0;
    }
    default:
      break;
  }
  return DefWindowProcW(hwnd_, message, wparam, lparam);
}

LRESULT FormWindow::HandleChildMessage(HWND hwnd, std::size_t i, UINT message, WPARAM wparam,
                                       LPARAM lparam) {
  const Kind kind = Desc(i).kind;
  if (IsContainer(kind)) {
    LRESULT result = 0;
    if (HandleHostMessage(message, wparam, lparam, result)) return result;
  }
  LRESULT key_result = 0;
  if (HandleControlKey(hwnd, i, message, wparam, lparam, key_result)) return key_result;
  switch (message) {
    case WM_ERASEBKGND:
      return 1;  // WM_PAINT covers everything, off screen first
    case WM_PAINT: {
      PAINTSTRUCT paint{};
      HDC dc = BeginPaint(hwnd, &paint);
      RECT client{};
      GetClientRect(hwnd, &client);
      // Drawn in memory and copied in one go: no flicker on switch flips
      // and lamp blinks.
      HDC memory = CreateCompatibleDC(dc);
      HBITMAP bitmap = CreateCompatibleBitmap(dc, client.right > 0 ? client.right : 1,
                                              client.bottom > 0 ? client.bottom : 1);
      const HGDIOBJ old = SelectObject(memory, bitmap);
      if (kind == Kind::Switch)
        PaintSwitch(i, memory);
      else if (kind == Kind::Image)
        PaintImage(i, memory);
      else
        PaintContainer(i, memory);
      BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
      SelectObject(memory, old);
      DeleteObject(bitmap);
      DeleteDC(memory);
      EndPaint(hwnd, &paint);
      return 0;
    }
    case WM_ENABLE:
      InvalidateRect(hwnd, nullptr, FALSE);
      return 0;
    case WM_SETCURSOR:
      if (SetHandCursor(i, lparam)) return TRUE;
      break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      if (kind == Kind::Image && message == WM_LBUTTONDOWN) HoldPress(hwnd, i);
      RouteMouseDown(i, message);
      return 0;
    case WM_LBUTTONUP:
      if (kind == Kind::Image && controls_[i].pressed) {
        ReleasePress(hwnd, i, lparam);
        return 0;
      }
      break;
    case WM_CAPTURECHANGED:
      controls_[i].pressed = false;
      break;
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wparam, lparam);
}

bool FormWindow::InClient(HWND hwnd, LPARAM lparam) {
  RECT client{};
  GetClientRect(hwnd, &client);
  const POINT at{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
  return PtInRect(&client, at) != FALSE;
}

void FormWindow::HoldPress(HWND hwnd, std::size_t i) {
  // On a speed button, what the button class does on a press, but the
  // focus: a click must not leave the keyboard on the button (the next Enter
  // or Space, typed or sent by the program, would press it again). Tab still
  // gives it the focus.
  controls_[i].pressed = true;
  SetCapture(hwnd);
  if (Desc(i).kind == Kind::SpeedButton) SendMessageW(hwnd, BM_SETSTATE, TRUE, 0);
}

void FormWindow::FollowSpeedButtonPress(HWND hwnd, LPARAM lparam) {
  // Pushed while the mouse is over it, raised when it strays.
  const BOOL inside = InClient(hwnd, lparam) ? TRUE : FALSE;
  const bool shown_pushed = (SendMessageW(hwnd, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0;
  if (shown_pushed != (inside != FALSE)) SendMessageW(hwnd, BM_SETSTATE, inside, 0);
}

void FormWindow::ReleasePress(HWND hwnd, std::size_t i, LPARAM lparam) {
  controls_[i].pressed = false;
  if (Desc(i).kind == Kind::SpeedButton) SendMessageW(hwnd, BM_SETSTATE, FALSE, 0);
  ReleaseCapture();
  if (InClient(hwnd, lparam) && IsWindowEnabled(hwnd)) form_.ViewClick(i);
}

LRESULT FormWindow::HandleSubclassed(HWND hwnd, std::size_t i, UINT message, WPARAM wparam,
                                     LPARAM lparam) {
  LRESULT key_result = 0;
  if (HandleControlKey(hwnd, i, message, wparam, lparam, key_result)) return key_result;
  const bool speed_button = Desc(i).kind == Kind::SpeedButton;
  switch (message) {
    case WM_SETCURSOR:
      if (SetHandCursor(i, lparam)) return TRUE;
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK: {
      const std::uint64_t modal_loops = ModalLoop::Count();
      RouteMouseDown(i, message);
      if (!hwnd_ || !IsWindow(hwnd)) return 0;
      const bool left = message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK;
      // A modal loop run by the handler took the button's release. The
      // button's physical state cannot tell: a press made by a program
      // (BM_CLICK, an accessibility tool's default action) has it up.
      if (!PassPressToControl(form_, i, left, ModalLoop::Count() != modal_loops)) return 0;
      // The speed buttons keep their left press from the button class,
      // which would give them the focus; a double click is a second press.
      if (left && speed_button) {
        HoldPress(hwnd, i);
        return 0;
      }
      break;
    }
    case WM_MOUSEMOVE:
      if (speed_button && controls_[i].pressed) {
        FollowSpeedButtonPress(hwnd, lparam);
        return 0;
      }
      break;
    case WM_LBUTTONUP:
      // BM_CLICK sends a press and this release to the button: it clicks
      // the speed buttons too.
      if (speed_button && controls_[i].pressed) {
        ReleasePress(hwnd, i, lparam);
        return 0;
      }
      break;
    case WM_CAPTURECHANGED:
      // Another window took the mouse (a box opened): the press is over.
      if (speed_button && controls_[i].pressed) {
        controls_[i].pressed = false;
        SendMessageW(hwnd, BM_SETSTATE, FALSE, 0);
      }
      break;
    default:
      break;
  }
  return CallOriginal(hwnd, i, message, wparam, lparam);
}

LRESULT FormWindow::CallOriginal(HWND hwnd, std::size_t i, UINT message, WPARAM wparam,
                                 LPARAM lparam) const {
  WNDPROC original = ValidIndex(i) ? controls_[i].original_proc : nullptr;
  // A control no longer in the table (its form is being destroyed): its
  // class's own procedure.
  if (!original) original = reinterpret_cast<WNDPROC>(GetClassLongPtrW(hwnd, GCLP_WNDPROC));
  return CallWindowProcW(original, hwnd, message, wparam, lparam);
}

// ---------------------------------------------------------------------------
// Window procedures. None lets an exception reach the system.

LRESULT CALLBACK FormWindow::FormProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
    auto* self = static_cast<FormWindow*>(create->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self || self->controls_.empty()) return DefWindowProcW(hwnd, message, wparam, lparam);
  try {
    return self->HandleFormMessage(message, wparam, lparam);
  } catch (...) {
    ReportEscapedException();
    return 0;
  }
}

LRESULT CALLBACK FormWindow::ChildProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  // Until CreateWindowEx has returned, the control's entry does not know its
  // window yet; those first messages get the default handling.
  const std::size_t i = self ? self->IndexOf(hwnd) : static_cast<std::size_t>(-1);
  if (!self || !self->ValidIndex(i)) return DefWindowProcW(hwnd, message, wparam, lparam);
  try {
    return self->HandleChildMessage(hwnd, i, message, wparam, lparam);
  } catch (...) {
    ReportEscapedException();
    return 0;
  }
}

LRESULT CALLBACK FormWindow::SubclassProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  const auto* self = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  const std::size_t i = self ? self->IndexOf(hwnd) : static_cast<std::size_t>(-1);
  try {
    if (!self || !self->ValidIndex(i)) {
      return CallWindowProcW(reinterpret_cast<WNDPROC>(GetClassLongPtrW(hwnd, GCLP_WNDPROC)), hwnd,
                             message, wparam, lparam);
    }
    return const_cast<FormWindow*>(self)->HandleSubclassed(hwnd, i, message, wparam, lparam);
  } catch (...) {
    ReportEscapedException();
    return 0;
  }
}

}  // namespace talvoro::platform::win32
