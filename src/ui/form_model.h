// The form model: every window is a layout table (data) plus the live state of
// its controls. The core changes state through typed control identifiers; the
// platform's view mirrors each change onto a real control and reports user
// input back through the View* entry points.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace talvoro::ui {

enum class Kind : std::uint8_t {
  Form,       // the window itself (always control 0)
  MainMenu,   // the window's menu bar
  PopupMenu,  // a context menu (window menu, tray menu)
  MenuItem,   // an entry of a menu bar, popup or sub-menu
  MenuSeparator,
  ToolBar,
  ToolButton,
  ToolSeparator,
  PageControl,  // the tab control; its position is the active page index
  Page,         // one page of a PageControl
  GroupBox,
  Panel,
  Bevel,
  Label,
  LinkLabel,    // a label that reacts to a mouse press (hand cursor)
  SpeedButton,  // flat picture button with a caption
  Button,       // ordinary push button
  RadioButton,
  CheckBox,
  Switch,  // the two-state on/off switch widget
  Image,   // a picture loaded from a BMP file
  ProgressBar,
  TrackBar,
  StatusBar,
  ComboBox,  // a drop-down list; its position is the selected item (-1: none)
  Edit,      // a one-line text field the user types into
  // A field that takes a key combination as the user presses it; its
  // position is the combination (see hotkey below), 0 when empty.
  HotKey,
  ListBox,   // a list of lines to read, newest added at the bottom; a tab in a line starts a column
};

// A hot-key field's position: the key's virtual-key code in the low byte,
// the modifiers held with it in the next one.
namespace hotkey {
inline constexpr int kShift = 0x100;
inline constexpr int kCtrl = 0x200;
inline constexpr int kAlt = 0x400;
inline constexpr int kExtended = 0x800;  // the key belongs to the extended set
inline constexpr int Key(int position) {
  return position & 0xFF;
}
}  // namespace hotkey

// Style flags of a control in its layout table.
namespace flag {
inline constexpr std::uint32_t kHidden = 1u << 0;
inline constexpr std::uint32_t kDisabled = 1u << 1;
inline constexpr std::uint32_t kVertical = 1u << 2;  // bars
inline constexpr std::uint32_t kChecked = 1u << 3;
inline constexpr std::uint32_t kBold = 1u << 4;
inline constexpr std::uint32_t kItalic = 1u << 5;
inline constexpr std::uint32_t kHandCursor = 1u << 6;
inline constexpr std::uint32_t kBorder = 1u << 7;       // panels: single border
inline constexpr std::uint32_t kNoTicks = 1u << 8;      // track bars
inline constexpr std::uint32_t kTransparent = 1u << 9;  // images
inline constexpr std::uint32_t kCentre = 1u << 10;      // text centred in its box
inline constexpr std::uint32_t kFixedFrame = 1u << 11;  // forms: not resizable
inline constexpr std::uint32_t kNoCaption = 1u << 12;   // forms: no border or title
inline constexpr std::uint32_t kSysMenu = 1u << 13;     // forms: system menu, close box
inline constexpr std::uint32_t kMinimizeBox = 1u << 14;
// Forms: shown without taking the focus, never in the taskbar or Alt+Tab
// (the on-screen display must leave the keyboard to the application in front).
inline constexpr std::uint32_t kNoActivate = 1u << 15;
// Combo boxes: the user may also type into the edit field above the list.
inline constexpr std::uint32_t kEditable = 1u << 16;
}  // namespace flag

inline constexpr std::uint32_t kDefaultColour = 0xFFFFFFFFu;

// How a control looks: flags, font, colours and range (bars).
struct Style {
  std::uint32_t flags = 0;
  const char* font = nullptr;             // face name; nullptr: the window's default font
  int font_px = 0;                        // 0: default size
  std::uint32_t colour = kDefaultColour;  // text colour 0xRRGGBB
  std::uint32_t face = kDefaultColour;    // background colour 0xRRGGBB
  std::uint32_t raised = kDefaultColour;  // speed buttons: the light edge of their bevel
  int min = 0;                            // bars: range
  int max = 0;
  // Images: a picture built into the program (its resource name), shown
  // from creation on; nullptr for pictures loaded at run time.
  const char* picture = nullptr;
};

struct ControlSpec {
  const char* name;  // the form name of the control (RxSwitch1, Label16, ...)
  Kind kind;
  std::uint16_t parent;  // index of the containing control (the form is 0)
  int x, y, w, h;        // position in the parent's client area, pixels
  const char* caption;   // UTF-8
  const char* hint;      // UTF-8 tool-tip, "" for none
  const Style* style;
};

struct FormLayout {
  std::string_view class_name;  // window class name, also the form's name
  std::span<const ControlSpec> controls;
  std::span<const int> status_panels;  // widths of the status bar's panels
};

enum class MouseButton { Left, Right, Middle };

// What changed on a control, for the view.
enum class Change {
  Text,
  Checked,
  Enabled,
  Visible,
  Bounds,
  Position,  // bar position, or the active page of a page control
  Image,
  PanelText,
  Topmost,
  Items,        // the whole item list of a combo box or list box
  ItemAdded,    // one item added at the end (detail: its index)
  ItemChanged,  // one item's text changed (detail: its index)
  ItemRemoved,  // one item removed (detail: its index), those after it move up
  Popup,        // open a popup menu at (popup_x, popup_y), screen pixels
};

struct ControlState {
  std::string text;  // UTF-8
  bool checked = false;
  bool enabled = true;
  bool visible = true;
  bool topmost = false;  // forms only
  int x = 0, y = 0, w = 0, h = 0;
  int position = 0;
  std::shared_ptr<const std::string> image;  // BMP file bytes, null for none
  // A picture built into the program (its resource name), shown when no BMP
  // bytes are given; nullptr: the layout table's, if any.
  const char* picture = nullptr;
  std::vector<std::string> panels;  // status bar panel texts
  std::vector<std::string> items;   // combo box and list box items (UTF-8)
  int popup_x = 0, popup_y = 0;     // popup menus: where they last opened
};

// Implemented by the platform for one real window.
class IFormView {
 public:
  virtual ~IFormView() = default;
  virtual void ControlChanged(std::size_t index, Change what, int detail) = 0;
  // Width in pixels of `utf8` drawn in the control's font.
  virtual int TextWidth(std::size_t index, std::string_view utf8) = 0;
  // Width in pixels of the whole window, its frame included; 0 when the view
  // cannot tell.
  virtual int OuterWidth() { return 0; }
};

class FormBase {
 public:
  using ErrorSink = std::function<void(const std::string& utf8_message)>;

  explicit FormBase(const FormLayout& layout);
  virtual ~FormBase() = default;
  FormBase(const FormBase&) = delete;
  FormBase& operator=(const FormBase&) = delete;

  const FormLayout& layout() const { return layout_; }
  std::size_t size() const { return state_.size(); }
  const ControlState& state(std::size_t index) const { return state_.at(index); }

  void AttachView(IFormView* view) { view_ = view; }
  // Where errors thrown by handlers are reported; the form goes on working.
  void SetErrorSink(ErrorSink sink) { error_sink_ = std::move(sink); }
  // Runs after every event entry of the form (RunGuarded), also one that
  // failed: what the program checks once anything may have happened.
  void SetAfterEntry(std::function<void()> after) { after_entry_ = std::move(after); }

  // --- entry points for the view (user input) ---
  void ViewClick(std::size_t index);
  void ViewMouseDown(std::size_t index, MouseButton button);
  void ViewPageChange(std::size_t page_control, int page);
  void ViewActivate();
  void ViewClose();
  // The window has been created (secondary forms run their creation handler).
  void ViewCreate();
  // The user changed an edit field's text or a combo box's selection.
  void ViewSetText(std::size_t index, std::string utf8);
  // The user chose a combo box's item or pressed a combination in a hot-key
  // field (followed by a click on it).
  void ViewSetPosition(std::size_t index, int position);
  // The view reports the checked state a click gave a radio button or box.
  void ViewSetChecked(std::size_t index, bool checked);

  // Whether a mouse-down handler is set on a control. A check box whose press
  // is handled keeps the state its handler gives it: the view then withholds
  // the control's own click toggle.
  bool HandlesMouseDown(std::size_t index) const {
    return static_cast<bool>(mouse_down_.at(index));
  }

  // The window itself (control 0): shown on top of every other window, or
  // hidden and returned to the normal window order.
  void ShowOnTop() {
    SetTopmostAt(0, true);
    SetVisibleAt(0, true);
  }
  void HideFromTop() {
    SetVisibleAt(0, false);
    SetTopmostAt(0, false);
  }
  bool Shown() const { return state_.at(0).visible; }
  // The window's width with its frame, as the view measures it; without a
  // view (or one that cannot tell), the width of its client area.
  int OuterWidth();

  // Runs `fn` as an event entry: an escaping error goes to the error sink.
  void RunGuarded(const std::function<void()>& fn);

 protected:
  void SetTextAt(std::size_t i, std::string text);
  void SetCheckedAt(std::size_t i, bool checked);
  void SetEnabledAt(std::size_t i, bool enabled);
  void SetVisibleAt(std::size_t i, bool visible);
  void SetTopmostAt(std::size_t i, bool topmost);
  void SetLeftAt(std::size_t i, int x);
  void SetBoundsAt(std::size_t i, int x, int y, int w, int h);
  void SetPositionAt(std::size_t i, int position);
  void SetImageAt(std::size_t i, std::shared_ptr<const std::string> bmp);
  void SetPictureAt(std::size_t i, const char* resource_name);
  void SetPanelTextAt(std::size_t i, std::size_t panel, std::string text);
  void SetItemsAt(std::size_t i, std::vector<std::string> items);
  void AddItemAt(std::size_t i, std::string item);
  void SetItemAt(std::size_t i, std::size_t item, std::string text);
  void RemoveItemAt(std::size_t i, std::size_t item);
  void PopupAtPoint(std::size_t i, int x, int y);
  int TextWidthAt(std::size_t i, std::string_view text);

  std::vector<std::function<void()>> click_;
  std::vector<std::function<void(MouseButton)>> mouse_down_;
  std::vector<std::function<void()>> switch_press_;
  std::vector<std::function<void()>> page_change_;
  std::function<void()> activate_;
  std::function<void()> close_;
  std::function<void()> create_;

 private:
  void Notify(std::size_t i, Change what, int detail = 0);

  FormLayout layout_;
  std::vector<ControlState> state_;
  IFormView* view_ = nullptr;
  ErrorSink error_sink_;
  std::function<void()> after_entry_;
};

// A form whose controls are named by the enumeration `Id` (generated from the
// same table as its layout, so a misspelt control does not compile).
template <typename Id>
class Form : public FormBase {
 public:
  using FormBase::FormBase;
  static constexpr std::size_t At(Id id) { return static_cast<std::size_t>(id); }

  const ControlState& Get(Id id) const { return state(At(id)); }
  const std::string& Text(Id id) const { return Get(id).text; }
  bool Checked(Id id) const { return Get(id).checked; }
  bool Enabled(Id id) const { return Get(id).enabled; }
  bool Visible(Id id) const { return Get(id).visible; }

  void SetText(Id id, std::string text) { SetTextAt(At(id), std::move(text)); }
  void SetChecked(Id id, bool checked) { SetCheckedAt(At(id), checked); }
  void SetEnabled(Id id, bool enabled) { SetEnabledAt(At(id), enabled); }
  void SetVisible(Id id, bool visible) { SetVisibleAt(At(id), visible); }
  void SetTopmost(Id id, bool topmost) { SetTopmostAt(At(id), topmost); }
  void SetLeft(Id id, int x) { SetLeftAt(At(id), x); }
  void SetBounds(Id id, int x, int y, int w, int h) { SetBoundsAt(At(id), x, y, w, h); }
  void SetPosition(Id id, int position) { SetPositionAt(At(id), position); }
  void SetImage(Id id, std::shared_ptr<const std::string> bmp) {
    SetImageAt(At(id), std::move(bmp));
  }
  // Shows a picture built into the program (a resource name that lives as
  // long as the program, such as ui::ResourceName's).
  void SetPicture(Id id, const char* resource_name) { SetPictureAt(At(id), resource_name); }
  void SetPanelText(Id id, std::size_t panel, std::string text) {
    SetPanelTextAt(At(id), panel, std::move(text));
  }
  void SetItems(Id id, std::vector<std::string> items) { SetItemsAt(At(id), std::move(items)); }
  // One item at a time, for a long list that changes a line at a time: the
  // view then touches only that line.
  void AddItem(Id id, std::string item) { AddItemAt(At(id), std::move(item)); }
  void SetItem(Id id, std::size_t item, std::string text) {
    SetItemAt(At(id), item, std::move(text));
  }
  void RemoveItem(Id id, std::size_t item) { RemoveItemAt(At(id), item); }
  // Opens a popup menu at a screen point (the menu's state stays hidden).
  void PopupAt(Id id, int x, int y) { PopupAtPoint(At(id), x, y); }
  int TextWidth(Id id, std::string_view text) { return TextWidthAt(At(id), text); }
  int Position(Id id) const { return Get(id).position; }

  // Handlers. A click is a completed left click (buttons, menu items, radio
  // buttons after the view checked them); a mouse-down is any button press.
  void OnClick(Id id, std::function<void()> fn) { click_.at(At(id)) = std::move(fn); }
  void OnMouseDown(Id id, std::function<void(MouseButton)> fn) {
    mouse_down_.at(At(id)) = std::move(fn);
  }
  // Switch press: a left press flips the switch first, another button does
  // not; then `fn` runs and reads the new state. Setting from code runs nothing.
  void OnSwitchPress(Id id, std::function<void()> fn) { switch_press_.at(At(id)) = std::move(fn); }
  void OnPageChange(Id id, std::function<void()> fn) { page_change_.at(At(id)) = std::move(fn); }
  void OnActivate(std::function<void()> fn) { activate_ = std::move(fn); }
  void OnClose(std::function<void()> fn) { close_ = std::move(fn); }
  void OnCreate(std::function<void()> fn) { create_ = std::move(fn); }
};

}  // namespace talvoro::ui
