// Building a form's window and controls from its layout table.
#include "platform/win32/form_window.h"
#include "platform/win32/dpi_win32.h"
#include "platform/win32/form_window_internal.h"
#include "platform/win32/keyboard_plan.h"
#include "platform/win32/layout_plan.h"
#include "platform/win32/wide_text.h"

namespace talvoro::platform::win32 {

using ui::Kind;

void FormWindow::RegisterClasses(HINSTANCE instance, HICON big_icon, HICON small_icon,
                                 const std::wstring& form_class) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  if (!GetClassInfoExW(instance, kChildClass, &wc)) {
    wc = WNDCLASSEXW{};
    wc.cbSize = sizeof(wc);
    // No CS_DBLCLKS: a quick second press on a switch must arrive as a second
    // press, not as a double click.
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = &FormWindow::ChildProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kChildClass;
    RegisterClassExW(&wc);
  }
  wc = WNDCLASSEXW{};
  wc.cbSize = sizeof(wc);
  if (GetClassInfoExW(instance, form_class.c_str(), &wc)) return;
  wc = WNDCLASSEXW{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = &FormWindow::FormProc;
  wc.hInstance = instance;
  wc.hIcon = big_icon;
  wc.hIconSm = small_icon;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = form_class.c_str();
  RegisterClassExW(&wc);
}

DWORD FormWindow::FormStyle(DWORD* ex_style) const {
  const FrameKind frame = FrameFor(Flags(0));
  // WS_EX_CONTROLPARENT lets the Tab key walk into panels and pages.
  *ex_style = WS_EX_CONTROLPARENT;
  // WS_EX_NOACTIVATE keeps a click from activating the window (the keyboard
  // stays with the application in front); WS_EX_TOOLWINDOW keeps it out of
  // Alt+Tab and, as it has no owner, out of the taskbar.
  if (frame.no_activate) *ex_style |= WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_TOPMOST;
  DWORD style = WS_CLIPCHILDREN;
  if (frame.popup) return style | WS_POPUP;
  style |= WS_OVERLAPPED | WS_CAPTION;
  if (frame.sys_menu) style |= WS_SYSMENU;
  if (frame.minimize_box) style |= WS_MINIMIZEBOX;
  if (frame.maximize_box) style |= WS_MAXIMIZEBOX;
  if (frame.sizeable) style |= WS_THICKFRAME;
  return style;
}

void FormWindow::Create() {
  const ui::FormLayout& layout = form_.layout();
  const std::wstring class_name = Utf8ToWide(layout.class_name);
  RegisterClasses(res_.instance(), res_.big_icon(), res_.small_icon(), class_name);
  controls_.clear();
  controls_.resize(layout.controls.size());

  DWORD ex_style = 0;
  const DWORD style = FormStyle(&ex_style);
  // Every form is owned by the taskbar entry's window: owned windows get no
  // taskbar button of their own and always stay above their owner. A form
  // that is never activated has no owner: showing an owned window brings
  // its owner along in the Z order, and the owner is the program's taskbar
  // entry, which must not come forward over the application in front.
  const HWND owner = FrameFor(Flags(0)).no_activate ? nullptr : owner_;
  hwnd_ = CreateWindowExW(ex_style, class_name.c_str(), Utf8ToWide(form_.state(0).text).c_str(),
                          style, CW_USEDEFAULT, CW_USEDEFAULT, 100, 100, owner, nullptr,
                          res_.instance(), this);
  if (!hwnd_) return;
  dpi_ = WindowDpi(hwnd_);
  controls_[0].hwnd = hwnd_;
  controls_[0].host = owner;
  controls_[0].font = FontFor(0);
  for (std::size_t i = 1; i < controls_.size(); ++i) PrepareControl(i);

  // The controls themselves wait until the form is first shown (ShowForm),
  // and a page's until the page is: every control's state is kept by the
  // form meanwhile, and applied when the control is created. A window with
  // a few hundred controls so comes up at once, and a dialog that is never
  // opened costs nothing.
  BuildMenus();
  PlaceForm();

  form_.AttachView(this);
  if (form_.state(0).topmost) ApplyTopmost();
  if (form_.state(0).visible) ApplyVisible(0);
}

void FormWindow::PrepareControl(std::size_t i) {
  const ui::ControlSpec& desc = Desc(i);
  Control& c = controls_[i];
  const Placement placement = PlaceControl(form_.layout(), i);
  c.dx = placement.dx;
  c.dy = placement.dy;
  c.font = FontFor(i);
  c.hint = Utf8ToWide(desc.hint ? desc.hint : "");
  // Menus are built at once, tool-bar buttons with their tool bar.
  if (desc.kind == Kind::MainMenu || desc.kind == Kind::PopupMenu || IsMenuEntry(desc.kind))
    c.host = hwnd_;
}

void FormWindow::BuildContents(std::size_t host) {
  Control& h = controls_[host];
  if (h.built || !h.hwnd) return;
  h.built = true;
  if (host == 0 && !tooltip_) {
    tooltip_ =
        CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                        WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, res_.instance(), nullptr);
    // Without a maximum width a tool-tip never wraps its text.
    if (tooltip_) SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, Px(400));
  }
  const std::vector<std::size_t> order = CreationOrder(form_.layout(), host);
  for (std::size_t i : order) CreateControl(i);
  for (std::size_t i : order) {
    const Kind kind = Desc(i).kind;
    if (kind == Kind::PageControl && controls_[i].hwnd) {
      for (std::size_t page : PagesOf(form_.layout(), i)) CreateControl(page);
      LayoutPages(i);
      ShowActivePage(i);  // creates the shown page's controls
    } else if (IsContainer(kind)) {
      BuildContents(i);
    }
  }
}

void FormWindow::BuildEverything() {
  BuildContents(0);
  // Parents come before their children in the table: a page inside another
  // page has its page control by the time its turn comes.
  for (std::size_t i = 1; i < controls_.size(); ++i)
    if (Desc(i).kind == Kind::Page) BuildContents(i);
}

void FormWindow::PlaceForm() {
  const ui::ControlState& state = form_.state(0);
  DWORD ex_style = 0;
  const DWORD style = FormStyle(&ex_style);
  const bool has_menu = GetMenu(hwnd_) != nullptr;
  RECT frame{0, 0, Px(state.w), Px(state.h)};
  AdjustFrameForDpi(&frame, style, has_menu, ex_style, dpi_);
  int outer_w = frame.right - frame.left;
  int outer_h = frame.bottom - frame.top;
  const POINT origin = ScreenOrigin(outer_w, outer_h);
  SetWindowPos(hwnd_, nullptr, origin.x, origin.y, outer_w, outer_h, SWP_NOZORDER | SWP_NOACTIVATE);
  const SIZE missing = ClientShortfall();
  if (missing.cx != 0 || missing.cy != 0) {
    outer_w += missing.cx;
    outer_h += missing.cy;
    const POINT again = ScreenOrigin(outer_w, outer_h);
    SetWindowPos(hwnd_, nullptr, again.x, again.y, outer_w, outer_h, SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

Size FormWindow::WindowSize(std::size_t i) {
  const ui::ControlState& state = form_.state(i);
  Size size{Px(state.w), Px(state.h)};
  const Kind kind = Desc(i).kind;
  if (kind == Kind::Label || kind == Kind::LinkLabel) {
    // Labels follow their text's size.
    Size text;
    MeasureLines(i, Utf8ToWide(state.text), &text.w, &text.h);
    int line_height = 0;
    MeasureLines(i, L"", nullptr, &line_height);
    size = LabelSize(Desc(i), size, text, line_height);
  }
  // A combo box's window includes its drop-down list.
  if (kind == Kind::ComboBox) size.h += Px(kComboDropHeight);
  return size;
}

HWND FormWindow::CreateChild(std::size_t i, const wchar_t* window_class, DWORD style,
                             DWORD ex_style) {
  Control& c = controls_[i];
  const ui::ControlState& state = form_.state(i);
  const Kind kind = Desc(i).kind;
  style |= WS_CHILD | WS_CLIPSIBLINGS;
  if (state.visible) style |= WS_VISIBLE;
  if (!state.enabled) style |= WS_DISABLED;
  // The keyboard's Tab stops and radio groups come with the window: a
  // style changed afterwards costs a round of messages per control.
  if (IsKeyboardControl(kind)) {
    const TabStyle tab = TabStyleFor(form_, i);
    style &= ~static_cast<DWORD>(WS_TABSTOP | WS_GROUP);
    if (tab.tab_stop) style |= WS_TABSTOP;
    if (tab.group) style |= WS_GROUP;
  }
  // The controls drawn here never paint their window text: it carries the
  // name screen readers announce.
  const std::wstring text = kind == Kind::SpeedButton || kind == Kind::Switch
                                ? Utf8ToWide(AccessibleName(form_.layout(), i, state.text))
                                : Utf8ToWide(state.text);
  const Size size = WindowSize(i);
  const bool ours = std::wstring_view(window_class) == kChildClass;
  c.hwnd = CreateWindowExW(ex_style, window_class, text.c_str(), style, Px(state.x + c.dx),
                           Px(state.y + c.dy), size.w, size.h, c.host,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + i)),
                           res_.instance(), ours ? this : nullptr);
  if (c.hwnd) SendMessageW(c.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(c.font), FALSE);
  if (c.hwnd) UnthemeOwnColours(i);
  return c.hwnd;
}

void FormWindow::CreateControl(std::size_t i) {
  const ui::ControlSpec& desc = Desc(i);
  const ui::ControlState& state = form_.state(i);
  const std::uint32_t flags = Flags(i);
  Control& c = controls_[i];
  if (c.hwnd) return;
  c.host = controls_[PlaceControl(form_.layout(), i).host].hwnd;
  // Tool buttons live inside their tool bar, which is not a container.
  if (desc.kind == Kind::ToolButton || desc.kind == Kind::ToolSeparator)
    c.host = controls_[desc.parent].hwnd;
  if (!c.host) return;  // its host could not be made

  switch (desc.kind) {
    case Kind::Form:
    case Kind::MainMenu:
    case Kind::PopupMenu:
    case Kind::MenuItem:
    case Kind::MenuSeparator:
      c.host = hwnd_;  // menus are built once every entry is known
      return;
    case Kind::ToolButton:
    case Kind::ToolSeparator:
      AddToolButton(i);
      return;
    case Kind::Page:
      AddPage(i);
      return;
    case Kind::ToolBar: {
      // TBSTYLE_LIST: a button's caption stands to the right of its image.
      if (!CreateChild(i, TOOLBARCLASSNAMEW,
                       TBSTYLE_FLAT | TBSTYLE_LIST | TBSTYLE_TOOLTIPS | CCS_NODIVIDER |
                           CCS_NOPARENTALIGN | CCS_NORESIZE))
        return;
      // The tool bar refuses buttons until it knows which TBBUTTON layout
      // the caller was compiled with.
      SendMessageW(c.hwnd, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
      SendMessageW(c.hwnd, TB_SETBITMAPSIZE, 0, MAKELPARAM(Px(kGlyphSize), Px(kGlyphSize)));
      HIMAGELIST images =
          ImageList_Create(Px(kGlyphSize), Px(kGlyphSize), ILC_COLOR24 | ILC_MASK, 8, 8);
      SendMessageW(c.hwnd, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
      break;
    }
    case Kind::PageControl:
      // The tabs wrap onto further rows rather than scroll: every page
      // stays one click away.
      CreateChild(i, WC_TABCONTROLW, TCS_MULTILINE | WS_TABSTOP | WS_CLIPCHILDREN,
                  WS_EX_CONTROLPARENT);
      break;
    case Kind::GroupBox:
    case Kind::Panel:
      CreateChild(i, kChildClass, WS_CLIPCHILDREN | ((flags & ui::flag::kBorder) ? WS_BORDER : 0),
                  WS_EX_CONTROLPARENT);
      break;
    case Kind::Bevel: {
      DWORD shape = SS_ETCHEDFRAME;
      if (state.h <= 2)
        shape = SS_ETCHEDHORZ;
      else if (state.w <= 2)
        shape = SS_ETCHEDVERT;
      CreateChild(i, WC_STATICW, shape);
      break;
    }
    case Kind::Label:
    case Kind::LinkLabel:
      // Without SS_NOTIFY a static is transparent to the mouse: no click, no
      // cursor change and no tool-tip would ever reach it.
      CreateChild(i, WC_STATICW, SS_NOTIFY | ((flags & ui::flag::kCentre) ? SS_CENTER : SS_LEFT));
      break;
    case Kind::SpeedButton:
      // Its picture, should the core have chosen one before the window existed.
      if (CreateChild(i, WC_BUTTONW, BS_OWNERDRAW)) ApplyImage(i);
      break;
    case Kind::Button:
      CreateChild(i, WC_BUTTONW, BS_PUSHBUTTON | WS_TABSTOP);
      break;
    case Kind::RadioButton:
      // Not BS_AUTORADIOBUTTON: the group is settled here so that the form
      // learns the state of every button the click changed.
      if (CreateChild(i, WC_BUTTONW, BS_RADIOBUTTON | WS_TABSTOP))
        SendMessageW(c.hwnd, BM_SETCHECK, state.checked ? BST_CHECKED : BST_UNCHECKED, 0);
      break;
    case Kind::CheckBox:
      if (CreateChild(i, WC_BUTTONW, BS_AUTOCHECKBOX | WS_TABSTOP))
        SendMessageW(c.hwnd, BM_SETCHECK, state.checked ? BST_CHECKED : BST_UNCHECKED, 0);
      break;
    case Kind::Switch:
      CreateChild(i, kChildClass, WS_TABSTOP);
      break;
    case Kind::Image:
      CreateChild(i, kChildClass, 0);
      ApplyImage(i);
      break;
    case Kind::ProgressBar: {
      if (!CreateChild(i, PROGRESS_CLASSW,
                       PBS_SMOOTH | ((flags & ui::flag::kVertical) ? PBS_VERTICAL : 0)))
        return;
      const int lo = desc.style ? desc.style->min : 0;
      const int hi = desc.style && desc.style->max > lo ? desc.style->max : lo + 100;
      SendMessageW(c.hwnd, PBM_SETRANGE32, lo, hi);
      ApplyPosition(i);
      break;
    }
    case Kind::TrackBar: {
      const bool vertical = (flags & ui::flag::kVertical) != 0;
      if (!CreateChild(i, TRACKBAR_CLASSW,
                       (vertical ? TBS_VERT : TBS_HORZ) |
                           ((flags & ui::flag::kNoTicks) ? TBS_NOTICKS : TBS_AUTOTICKS)))
        return;
      const int lo = desc.style ? desc.style->min : 0;
      const int hi = desc.style && desc.style->max > lo ? desc.style->max : lo + 10;
      // TBM_SETRANGE packs both ends into 16-bit halves; the separate
      // messages take the full (possibly negative) values.
      SendMessageW(c.hwnd, TBM_SETRANGEMIN, FALSE, lo);
      SendMessageW(c.hwnd, TBM_SETRANGEMAX, TRUE, hi);
      SendMessageW(c.hwnd, TBM_SETTICFREQ, (hi - lo) >= 20 ? (hi - lo) / 10 : 1, 0);
      ApplyPosition(i);
      break;
    }
    case Kind::StatusBar:
      // Docked at the bottom of its parent; no size grip on fixed frames.
      if (CreateChild(i, STATUSCLASSNAMEW, CCS_BOTTOM)) ApplyStatusParts(i);
      break;
    case Kind::ComboBox:
      // A list to choose from, not a field to type into, unless the table
      // makes it editable: the form then also holds the edit field's text.
      // Its window's height includes the drop-down list.
      if (CreateChild(
              i, WC_COMBOBOXW,
              ((flags & ui::flag::kEditable) ? CBS_DROPDOWN | CBS_AUTOHSCROLL : CBS_DROPDOWNLIST) |
                  WS_VSCROLL | WS_TABSTOP))
        ApplyItems(i);
      break;
    case Kind::Edit:
      // ES_AUTOHSCROLL: without it a one-line field refuses any character
      // beyond its visible width.
      CreateChild(i, WC_EDITW, ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE);
      break;
    case Kind::HotKey:
      // The system's hot-key field (msctls_hotkey32) shows the keys in the
      // system's own language; it draws its sunken edge itself.
      if (CreateChild(i, HOTKEY_CLASSW, WS_TABSTOP)) ApplyPosition(i);
      break;
    case Kind::ListBox:
      // LBS_NOINTEGRALHEIGHT: the list keeps the table's height instead of
      // shrinking to a whole number of lines. LBS_USETABSTOPS: a tab in a
      // line starts the next column. No LBS_SORT: the lines keep the order
      // they came in. The horizontal scroll bar shows only once the list
      // is told how wide its widest line is (ApplyListExtent).
      if (CreateChild(i, WC_LISTBOXW,
                      LBS_NOINTEGRALHEIGHT | LBS_USETABSTOPS | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP,
                      WS_EX_CLIENTEDGE))
        ApplyItems(i);
      break;
  }
  if (!c.hwnd) return;
  switch (desc.kind) {
    case Kind::Bevel:
    case Kind::Label:
    case Kind::LinkLabel:
    case Kind::SpeedButton:
    case Kind::Button:
    case Kind::RadioButton:
    case Kind::CheckBox:
      SubclassControl(i);
      break;
    default:
      break;
  }
  AddTooltip(i);
}

void FormWindow::SubclassControl(std::size_t i) {
  // Not SetWindowSubclass: it finds its chain through a window property at
  // every message the control receives, a round trip to the server under
  // Wine. A standard control leaves its user data to the application.
  Control& c = controls_[i];
  SetWindowLongPtrW(c.hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  c.original_proc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
      c.hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FormWindow::SubclassProc)));
}

void FormWindow::AddTooltip(std::size_t i) {
  const Control& c = controls_[i];
  if (!tooltip_ || !c.hwnd || c.hint.empty()) return;
  TOOLINFOW info{};
  // The oldest layout the tool-tip control accepts, which both common
  // controls versions take: the full size of this header's TOOLINFOW is
  // refused by version 5 (a system that ignores the manifest's request).
  info.cbSize = TTTOOLINFOW_V2_SIZE;
  info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  info.hwnd = c.host;
  info.uId = reinterpret_cast<UINT_PTR>(c.hwnd);
  info.lpszText = const_cast<wchar_t*>(c.hint.c_str());  // copied by the control
  SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

void FormWindow::AddPage(std::size_t i) {
  Control& c = controls_[i];
  const ui::ControlState& state = form_.state(i);
  std::wstring caption = Utf8ToWide(state.text);
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = caption.data();
  SendMessageW(c.host, TCM_INSERTITEMW, PageOrdinal(form_.layout(), i),
               reinterpret_cast<LPARAM>(&item));
  // The page is a child of the tab control, laid over its display area once
  // all tabs are in (LayoutPages); only the selected page is shown.
  c.hwnd = CreateWindowExW(
      WS_EX_CONTROLPARENT, kChildClass, caption.c_str(),
      WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | (state.enabled ? 0 : WS_DISABLED), 0, 0, 0, 0,
      c.host, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + i)), res_.instance(),
      this);
  if (c.hwnd) SendMessageW(c.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(c.font), FALSE);
}

void FormWindow::LayoutPages(std::size_t page_control) {
  const HWND tab = controls_[page_control].hwnd;
  if (!tab) return;
  RECT area{};
  GetClientRect(tab, &area);
  // The display area is what the tabs and the border leave free.
  SendMessageW(tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
  for (std::size_t page : PagesOf(form_.layout(), page_control))
    if (controls_[page].hwnd)
      SetWindowPos(controls_[page].hwnd, nullptr, area.left, area.top, area.right - area.left,
                   area.bottom - area.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void FormWindow::AddToolButton(std::size_t i) {
  Control& c = controls_[i];
  const ui::ControlSpec& desc = Desc(i);
  const ui::ControlState& state = form_.state(i);
  const HWND toolbar = c.host;
  TBBUTTON button{};
  if (desc.kind == Kind::ToolSeparator) {
    button.iBitmap = Px(8);  // a separator's "image" is its width
    button.fsStyle = BTNS_SEP;
  } else {
    auto images = reinterpret_cast<HIMAGELIST>(SendMessageW(toolbar, TB_GETIMAGELIST, 0, 0));
    button.iBitmap =
        images ? AddToolGlyph(images, c.hint, Utf8ToWide(state.text), Px(kGlyphSize)) : I_IMAGENONE;
    button.idCommand = kFirstControlId + static_cast<int>(i);
    button.fsStyle = BTNS_BUTTON;
    button.fsState = static_cast<BYTE>((state.enabled ? TBSTATE_ENABLED : 0) |
                                       (state.checked ? TBSTATE_CHECKED : 0) |
                                       (state.visible ? 0 : TBSTATE_HIDDEN));
    button.iString = -1;
    if (!state.text.empty()) {
      // The tool bar keeps its own copy of the caption in its string pool;
      // TB_ADDSTRING takes a list ending with an empty string.
      std::wstring pool = Utf8ToWide(state.text);
      pool.push_back(L'\0');
      button.iString =
          SendMessageW(toolbar, TB_ADDSTRINGW, 0, reinterpret_cast<LPARAM>(pool.c_str()));
    }
    // The table's width, with some room for a caption the system's font
    // draws wider than the original one did.
    if (desc.w > 0)
      SendMessageW(toolbar, TB_SETBUTTONWIDTH, 0, MAKELPARAM(Px(desc.w), Px(desc.w + desc.w / 4)));
  }
  SendMessageW(toolbar, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&button));
}

void FormWindow::BuildMenus() {
  for (std::size_t i = 1; i < controls_.size(); ++i) {
    const Kind kind = Desc(i).kind;
    if (kind != Kind::MainMenu && kind != Kind::PopupMenu) continue;
    controls_[i].menu = BuildMenu(i);
    if (kind == Kind::MainMenu && form_.state(i).visible) SetMenu(hwnd_, controls_[i].menu);
  }
}

HMENU FormWindow::BuildMenu(std::size_t root) {
  const Kind root_kind = Desc(root).kind;
  HMENU menu = root_kind == Kind::MainMenu ? CreateMenu() : CreatePopupMenu();
  controls_[root].menu = menu;
  int position = 0;
  for (std::size_t child : ChildrenOf(form_.layout(), root)) {
    const Kind kind = Desc(child).kind;
    if (!IsMenuEntry(kind)) continue;
    Control& c = controls_[child];
    const ui::ControlState& state = form_.state(child);
    c.parent_menu = menu;
    c.menu_position = -1;
    if (!state.visible) continue;
    if (kind == Kind::MenuSeparator) {
      AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    } else {
      const UINT flags = MF_STRING | (state.enabled ? MF_ENABLED : MF_GRAYED) |
                         (state.checked ? MF_CHECKED : MF_UNCHECKED);
      const std::wstring text = Utf8ToWide(state.text);
      if (HasSubMenu(form_.layout(), child))
        AppendMenuW(menu, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(BuildMenu(child)),
                    text.c_str());
      else
        AppendMenuW(menu, flags, kFirstControlId + child, text.c_str());
    }
    c.menu_position = position++;
  }
  return menu;
}

void FormWindow::RebuildMenu(std::size_t root) {
  // Destroying a menu the user has open would pull it from under the menu
  // loop: wait until the loop is over.
  if (menu_loop_depth_ > 0) {
    stale_menus_.push_back(root);
    return;
  }
  const HMENU old = controls_[root].menu;
  const HMENU menu = BuildMenu(root);
  if (Desc(root).kind == Kind::MainMenu && GetMenu(hwnd_) == old) {
    SetMenu(hwnd_, menu);
    DrawMenuBar(hwnd_);
  }
  if (old) DestroyMenu(old);  // sub-menus go with it
}

}  // namespace talvoro::platform::win32
