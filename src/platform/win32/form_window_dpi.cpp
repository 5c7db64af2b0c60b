// A form window on screens of any density: the tables' 96 dpi pixels turned
// into the window's own, and everything laid out anew when the window moves
// to a monitor of another density.
//
// The rule: every length and coordinate inside a window (client size,
// controls, fonts, pictures, drawing) is scaled with the window's density.
// Coordinates on the screen that the core sees (a form's position, the
// screen's size, the cursor, where a popup menu opens) are logical too,
// scaled with the density their monitor has now (dpi_scale.h): placement
// formulas then give the same places in proportion on every screen, after
// any change of scale, and the result is turned into pixels once, here.
#include "platform/win32/dpi_win32.h"
#include "platform/win32/form_window.h"
#include "platform/win32/form_window_internal.h"
#include "platform/win32/layout_plan.h"
#include "platform/win32/system_directory.h"
#include "platform/win32/wide_text.h"

namespace talvoro::platform::win32 {

using ui::Kind;

HFONT FormWindow::FontFor(std::size_t i) {
  return res_.Font(Desc(i).style, Desc(i).kind == Kind::LinkLabel, dpi_);
}

POINT FormWindow::ScreenOrigin(int outer_w, int outer_h) const {
  const ui::ControlState& state = form_.state(0);
  // -1 asks for the centre of the screen: it is worked out in pixels.
  const Origin centred = FormOrigin(-1, -1, outer_w, outer_h, GetSystemMetrics(SM_CXSCREEN),
                                    GetSystemMetrics(SM_CYSCREEN));
  if (state.x == -1 && state.y == -1) return POINT{centred.x, centred.y};
  // Elsewhere the place is converted on the monitor it lies on.
  const POINT placed = ScreenToDevice(ScreenPoint{state.x, state.y});
  return POINT{state.x == -1 ? centred.x : placed.x, state.y == -1 ? centred.y : placed.y};
}

SIZE FormWindow::ClientShortfall() const {
  RECT client{};
  GetClientRect(hwnd_, &client);
  const ui::ControlState& state = form_.state(0);
  return SIZE{Px(state.w) - client.right, Px(state.h) - client.bottom};
}

void FormWindow::UnthemeOwnColours(std::size_t i) {
  // A sub-application and class list that name no part of any visual style
  // leave the control without one: it draws itself the classic way, in the
  // colours WM_CTLCOLOR* hands it. (An empty string would do on Windows;
  // Wine's theme manager cannot keep an empty name and themes it anyway.)
  if (controls_[i].hwnd && WantsClassicLook(form_.layout(), i))
    SetControlTheme(controls_[i].hwnd, L" ", L" ");
}

void FormWindow::ScaleToolBar(std::size_t i) {
  const HWND toolbar = controls_[i].hwnd;
  // The images are drawn again at the new size, in the order the buttons
  // took theirs, so that every button keeps its index.
  HIMAGELIST images =
      ImageList_Create(Px(kGlyphSize), Px(kGlyphSize), ILC_COLOR24 | ILC_MASK, 8, 8);
  int position = 0;
  for (std::size_t child : ChildrenOf(form_.layout(), i)) {
    const Kind kind = Desc(child).kind;
    if (kind != Kind::ToolButton && kind != Kind::ToolSeparator) continue;
    TBBUTTONINFOW info{};
    info.cbSize = sizeof(info);
    info.dwMask = TBIF_BYINDEX | TBIF_SIZE;
    if (kind == Kind::ToolSeparator) {
      info.cx = static_cast<WORD>(Px(8));
      SendMessageW(toolbar, TB_SETBUTTONINFOW, position, reinterpret_cast<LPARAM>(&info));
    } else if (images) {
      AddToolGlyph(images, controls_[child].hint, Utf8ToWide(form_.state(child).text),
                   Px(kGlyphSize));
    }
    if (kind == Kind::ToolButton && Desc(child).w > 0)
      SendMessageW(toolbar, TB_SETBUTTONWIDTH, 0,
                   MAKELPARAM(Px(Desc(child).w), Px(Desc(child).w + Desc(child).w / 4)));
    ++position;
  }
  SendMessageW(toolbar, TB_SETBITMAPSIZE, 0, MAKELPARAM(Px(kGlyphSize), Px(kGlyphSize)));
  auto old = reinterpret_cast<HIMAGELIST>(
      SendMessageW(toolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images)));
  if (old) ImageList_Destroy(old);
  SendMessageW(toolbar, TB_AUTOSIZE, 0, 0);
}

void FormWindow::ApplyDpi(int dpi, const RECT* suggested) {
  if (!hwnd_ || dpi <= 0) return;
  dpi_ = dpi;
  controls_[0].font = FontFor(0);
  // Table order: a container is laid out before what it holds. Controls
  // without a window of their own (menus, tool buttons, controls not made
  // yet) only take the new font, for when they are made.
  for (std::size_t i = 1; i < controls_.size(); ++i) {
    Control& c = controls_[i];
    c.font = FontFor(i);
    if (!c.hwnd) continue;
    SendMessageW(c.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(c.font), FALSE);
    switch (Desc(i).kind) {
      case Kind::ToolBar:
        ScaleToolBar(i);
        break;
      case Kind::StatusBar:
        ApplyStatusParts(i);
        break;
      case Kind::ListBox:
        ApplyListExtent(i, 0);  // the lines are wider in the new font
        break;
      default:
        break;
    }
    ApplyBounds(i);
  }
  if (tooltip_) SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, Px(400));

  if (suggested) {
    // The system's rectangle keeps the window where the user dragged it;
    // its size is the table's, at the new density.
    DWORD ex_style = 0;
    const DWORD style = FormStyle(&ex_style);
    const ui::ControlState& state = form_.state(0);
    RECT frame{0, 0, Px(state.w), Px(state.h)};
    AdjustFrameForDpi(&frame, style, GetMenu(hwnd_) != nullptr, ex_style, dpi_);
    SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, frame.right - frame.left,
                 frame.bottom - frame.top, SWP_NOZORDER | SWP_NOACTIVATE);
    const SIZE missing = ClientShortfall();
    if (missing.cx != 0 || missing.cy != 0)
      SetWindowPos(hwnd_, nullptr, 0, 0, frame.right - frame.left + missing.cx,
                   frame.bottom - frame.top + missing.cy,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  } else {
    PlaceForm();
  }
  // The status bar docks itself again to the new bottom edge.
  for (std::size_t i = 1; i < controls_.size(); ++i)
    if (Desc(i).kind == Kind::StatusBar && controls_[i].hwnd)
      SendMessageW(controls_[i].hwnd, WM_SIZE, 0, 0);
  RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void FormWindow::OnDpiChanged(WPARAM wparam, LPARAM lparam) {
  const int dpi = LOWORD(wparam);
  const auto* suggested = reinterpret_cast<const RECT*>(lparam);
  // Told first, so that the screen coordinates of the new layout (and of
  // every form shown later on that monitor) are converted at the new density.
  NoteMonitorDpi(suggested ? MonitorFromRect(suggested, MONITOR_DEFAULTTONEAREST)
                           : MonitorFromWindow(hwnd_, MONITOR_DEFAULTTONEAREST),
                 dpi);
  // A borderless form cannot be dragged: it stands where the core puts it,
  // worked out again at the new density, not where the system's suggestion
  // (its old corner) would leave it.
  ApplyDpi(dpi, FrameFor(Flags(0)).popup ? nullptr : suggested);
}

void FormWindow::FollowMonitorDpi() {
  if (!hwnd_) return;
  // A hidden window may never hear of a change of scale (made while it was
  // hidden for days, or through a remote-desktop reconnection): its monitor
  // tells.
  const int dpi = MonitorDpi(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTONEAREST));
  if (dpi == dpi_) return;
  // A framed window keeps the place the user may have dragged it to.
  RECT frame{};
  const bool keep = !FrameFor(Flags(0)).popup && GetWindowRect(hwnd_, &frame);
  ApplyDpi(dpi, keep ? &frame : nullptr);
}

}  // namespace talvoro::platform::win32
