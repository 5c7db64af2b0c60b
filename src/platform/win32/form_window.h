// A real window built from a form's layout table. It mirrors every change the
// core makes to the form's controls (IFormView) and reports the user's input
// back to the form (FormBase::View*).
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win32/dpi_scale.h"
#include "platform/win32/layout_plan.h"
#include "platform/win32/modal_loop.h"
#include "platform/win32/picture.h"
#include "platform/win32/ui_resources.h"
#include "platform/win32/win32_api.h"
#include "ui/form_model.h"

namespace talvoro::platform::win32 {

class FormWindow final : public ui::IFormView {
 public:
  // Extra messages of the form window; returns true when it handled one.
  using MessageHook =
      std::function<bool(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result)>;

  // `owner` is the window that carries the program's taskbar entry.
  FormWindow(ui::FormBase& form, UiResources& resources, HWND owner);
  ~FormWindow() override;
  FormWindow(const FormWindow&) = delete;
  FormWindow& operator=(const FormWindow&) = delete;

  // Builds the window and its controls from the form's current state, and
  // attaches itself to the form as its view. Shown only if the form says so.
  void Create();
  // Detaches from the form and destroys the window.
  void Destroy();

  HWND hwnd() const { return hwnd_; }
  ui::FormBase& form() { return form_; }
  void SetMessageHook(MessageHook hook) { hook_ = std::move(hook); }

  // For the message loop's keyboard navigation: the form a window is.
  static FormWindow* FromHwnd(HWND hwnd);
  // Keys the forms handle before the dialog manager sees them (Ctrl+Tab
  // through the pages). True when the message was handled.
  static bool PreTranslateKey(const MSG& message);

  // ui::IFormView
  void ControlChanged(std::size_t index, ui::Change what, int detail) override;
  int TextWidth(std::size_t index, std::string_view utf8) override;
  int OuterWidth() override;

 private:
  struct Control {
    HWND hwnd = nullptr;  // the control's own window, if it has one
    HWND host = nullptr;  // the window it lives in (form, container, tab or tool bar)
    int dx = 0;           // its layout position's offset in the host
    int dy = 0;
    HFONT font = nullptr;
    std::wstring hint;
    HMENU menu = nullptr;         // menu bars, popups, items with a sub-menu
    HMENU parent_menu = nullptr;  // menu entries: the menu they stand in
    int menu_position = -1;
    std::unique_ptr<Picture> picture;
    bool pressed = false;             // images, speed buttons: the left button went down on it
    bool space_down = false;          // switches: Space went down while focused
    bool built = false;               // forms, containers and pages: their controls exist
    int extent = 0;                   // list boxes: the widest line's width, in pixels
    WNDPROC original_proc = nullptr;  // standard controls: the class's procedure
  };

  // Creation (form_window_build.cpp).
  DWORD FormStyle(DWORD* ex_style) const;
  void PlaceForm();
  void PrepareControl(std::size_t i);
  void BuildContents(std::size_t host);
  void BuildEverything();
  void CreateControl(std::size_t i);
  HWND CreateChild(std::size_t i, const wchar_t* window_class, DWORD style, DWORD ex_style = 0);
  // The size of a control's window, in device pixels, from its state.
  Size WindowSize(std::size_t i);
  void AddPage(std::size_t i);
  void AddToolButton(std::size_t i);
  void AddTooltip(std::size_t i);
  void LayoutPages(std::size_t page_control);
  void BuildMenus();
  HMENU BuildMenu(std::size_t root);
  void RebuildMenu(std::size_t root);
  void SubclassControl(std::size_t i);

  // Mirroring state changes (form_window_update.cpp).
  void ApplyText(std::size_t i);
  void ApplyChecked(std::size_t i);
  void ApplyEnabled(std::size_t i);
  void ApplyVisible(std::size_t i);
  void ApplyBounds(std::size_t i);
  void ApplyPosition(std::size_t i);
  void ApplyImage(std::size_t i);
  void ApplyPanelText(std::size_t i, int panel);
  void ApplyTopmost();
  void ApplyItems(std::size_t i);
  void ApplyItem(std::size_t i, ui::Change what, int item);
  // List boxes: widens the horizontal scroll range to the lines from
  // `first` on (from scratch when `first` is 0).
  void ApplyListExtent(std::size_t i, std::size_t first);
  // List boxes: scrolled to their newest (last) line.
  void ShowLastLine(std::size_t i);
  void ApplyMenuEntry(std::size_t i);
  void ShowForm();
  void ShowActivePage(std::size_t page_control);
  void ShowPopup(std::size_t i);
  void ApplyStatusParts(std::size_t i);
  // The kept memory DC that texts are measured on.
  HDC MeasureDc();
  void MeasureLines(std::size_t i, std::wstring_view text, int* width, int* height);
  void SetEditText(HWND field, const std::wstring& text);
  // Keyboard use (form_window_keys.cpp).
  void ApplyTabStyle(std::size_t i);
  void ApplyAccessibleName(std::size_t i);
  void ShowPage(std::size_t page_control, int page);
  bool CyclePage(bool backwards);
  bool MoveFocus(bool backwards);
  bool HandleControlKey(HWND hwnd, std::size_t i, UINT message, WPARAM wparam, LPARAM lparam,
                        LRESULT& result);

  // Screen density (form_window_dpi.cpp). The layout tables and the core
  // count in pixels of a 96 dpi screen; these turn them into this window's
  // pixels and back, at every place a coordinate meets a Win32 call.
  int Px(int logical) const { return ToDevice(logical, dpi_); }
  int Logical(int device) const { return ToLogical(device, dpi_); }
  HFONT FontFor(std::size_t i);
  // What the client area lacks of the table's size once the frame is sized
  // (negative: what it has too much). AdjustWindowRectEx counts a menu bar
  // as one row, and a bar that wraps onto a second row eats into the client
  // area; and the frame the system draws may not be the one worked out for
  // the window's density (Wine keeps drawing it at the density it started
  // with). The table sizes the client area exactly.
  SIZE ClientShortfall() const;
  // The form's top-left corner on the screen, for a frame of this size.
  POINT ScreenOrigin(int outer_w, int outer_h) const;
  // Fonts, pictures and every control laid out anew for `dpi`, and the
  // window moved to `suggested` (when given) or to its place in the form.
  void ApplyDpi(int dpi, const RECT* suggested);
  // WM_DPICHANGED: moved to a monitor of another density, or the density
  // changed (the new one in the low word; lParam suggests the new frame).
  void OnDpiChanged(WPARAM wparam, LPARAM lparam);
  // Before the form is shown: laid out again if its monitor's density is
  // not the one it was last laid out at.
  void FollowMonitorDpi();
  void ScaleToolBar(std::size_t i);
  void UnthemeOwnColours(std::size_t i);

  // Input and drawing (form_window.cpp, form_window_paint.cpp).
  LRESULT HandleFormMessage(UINT message, WPARAM wparam, LPARAM lparam);
  bool HandleHostMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result);
  void OnCommand(WPARAM wparam, LPARAM lparam);
  LRESULT OnNotify(const NMHDR* header);
  LRESULT OnCtlColor(HDC dc, HWND child);
  void OnActivate(WPARAM wparam, LPARAM lparam);
  void RouteMouseDown(std::size_t i, UINT message);
  // Whether a mouse message's position is inside the control's client area.
  static bool InClient(HWND hwnd, LPARAM lparam);
  // A left press that a picture or a speed button holds until its release,
  // which clicks it when it comes inside; a speed button looks pushed
  // meanwhile while the mouse is over it.
  void HoldPress(HWND hwnd, std::size_t i);
  static void FollowSpeedButtonPress(HWND hwnd, LPARAM lparam);
  void ReleasePress(HWND hwnd, std::size_t i, LPARAM lparam);
  bool CheckRadio(std::size_t i);  // true when the click is to be reported
  std::size_t IndexOf(HWND child) const;
  bool ValidIndex(std::size_t i) const { return i < controls_.size(); }
  const ui::ControlSpec& Desc(std::size_t i) const { return form_.layout().controls[i]; }
  std::uint32_t Flags(std::size_t i) const;
  bool WantsHandCursor(std::size_t i) const;
  // WM_SETCURSOR: the hand over the client area of controls that want it.
  bool SetHandCursor(std::size_t i, LPARAM hit_test) const;

  void PaintContainer(std::size_t i, HDC dc);
  void PaintSwitch(std::size_t i, HDC dc);
  void PaintImage(std::size_t i, HDC dc);
  void DrawSpeedButton(std::size_t i, const DRAWITEMSTRUCT& item);

  static LRESULT CALLBACK FormProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  static LRESULT CALLBACK ChildProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT CallOriginal(HWND hwnd, std::size_t i, UINT message, WPARAM wparam, LPARAM lparam) const;
  LRESULT HandleChildMessage(HWND hwnd, std::size_t i, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT HandleSubclassed(HWND hwnd, std::size_t i, UINT message, WPARAM wparam, LPARAM lparam);
  static void RegisterClasses(HINSTANCE instance, HICON big_icon, HICON small_icon,
                              const std::wstring& form_class);

  ui::FormBase& form_;
  UiResources& res_;
  HWND owner_;
  HWND hwnd_ = nullptr;
  HWND tooltip_ = nullptr;
  HDC measure_dc_ = nullptr;  // text extents, without asking any window for its DC
  std::vector<Control> controls_;
  MessageHook hook_;
  int menu_loop_depth_ = 0;
  std::optional<ModalLoop> menu_loop_;    // while a menu of this window is open
  std::vector<std::size_t> stale_menus_;  // rebuilt once the menu loop is over
  bool activating_ = false;
  // The window is made the foreground one only so that a popup menu closes
  // on a click elsewhere: that is no activation by the user.
  bool popup_activation_ = false;
  int dpi_ = kLogicalDpi;  // the density the window is drawn at
  // Set while the core's text goes into an edit field (or a combo box's):
  // the field's change notification is then not reported back as the user's.
  bool setting_text_ = false;
};

// Control identifiers: WM_COMMAND and WM_NOTIFY name controls by these.
inline constexpr int kFirstControlId = 1000;

// A form creates the controls of a page when the page is first shown, and a
// hidden form creates its controls when it is first shown. Sent to a form,
// this message has every control of it created now (still hidden where the
// form or page is), for tools that look for a control by its id: the
// end-to-end tests, accessibility tools. Returns TRUE.
inline constexpr UINT kBuildAllControls = WM_APP + 11;

}  // namespace talvoro::platform::win32
