#include "ui/form_model.h"

#include <exception>
#include <stdexcept>

namespace talvoro::ui {

FormBase::FormBase(const FormLayout& layout) : layout_(layout) {
  const std::size_t n = layout.controls.size();
  state_.resize(n);
  click_.resize(n);
  mouse_down_.resize(n);
  switch_press_.resize(n);
  page_change_.resize(n);
  for (std::size_t i = 0; i < n; ++i) {
    const ControlSpec& desc = layout.controls[i];
    ControlState& s = state_[i];
    const std::uint32_t flags = desc.style ? desc.style->flags : 0;
    s.text = desc.caption ? desc.caption : "";
    s.checked = (flags & flag::kChecked) != 0;
    s.enabled = (flags & flag::kDisabled) == 0;
    // Forms and popup menus start hidden; they are shown on demand.
    s.visible =
        (flags & flag::kHidden) == 0 && desc.kind != Kind::Form && desc.kind != Kind::PopupMenu;
    s.x = desc.x;
    s.y = desc.y;
    s.w = desc.w;
    s.h = desc.h;
    // Bars start at 0 (or at the end of their range nearest to it).
    if (desc.style && (desc.kind == Kind::ProgressBar || desc.kind == Kind::TrackBar))
      s.position = desc.style->min > 0   ? desc.style->min
                   : desc.style->max < 0 ? desc.style->max
                                         : 0;
    if (desc.kind == Kind::ComboBox) s.position = -1;
    if (desc.kind == Kind::StatusBar) s.panels.resize(layout.status_panels.size());
  }
}

void FormBase::RunGuarded(const std::function<void()>& fn) {
  if (!fn) return;
  auto guarded = [this](const std::function<void()>& step) {
    try {
      step();
    } catch (const std::exception& e) {
      if (error_sink_) error_sink_(e.what());
    }
  };
  guarded(fn);
  if (after_entry_) guarded(after_entry_);
}

void FormBase::ViewClick(std::size_t index) {
  RunGuarded(click_.at(index));
}

void FormBase::ViewMouseDown(std::size_t index, MouseButton button) {
  if (layout_.controls[index].kind == Kind::Switch) {
    if (button == MouseButton::Left) SetCheckedAt(index, !state_[index].checked);
    RunGuarded(switch_press_.at(index));
    return;
  }
  if (auto& fn = mouse_down_.at(index)) RunGuarded([&] { fn(button); });
}

void FormBase::ViewPageChange(std::size_t page_control, int page) {
  state_.at(page_control).position = page;
  RunGuarded(page_change_.at(page_control));
}

void FormBase::ViewActivate() {
  RunGuarded(activate_);
}
void FormBase::ViewClose() {
  RunGuarded(close_);
}

void FormBase::ViewCreate() {
  RunGuarded(create_);
}

void FormBase::ViewSetText(std::size_t index, std::string utf8) {
  state_.at(index).text = std::move(utf8);
}

void FormBase::ViewSetPosition(std::size_t index, int position) {
  state_.at(index).position = position;
}

void FormBase::ViewSetChecked(std::size_t index, bool checked) {
  state_.at(index).checked = checked;
}

void FormBase::Notify(std::size_t i, Change what, int detail) {
  if (view_) view_->ControlChanged(i, what, detail);
}

void FormBase::SetTextAt(std::size_t i, std::string text) {
  auto& s = state_.at(i);
  s.text = std::move(text);
  Notify(i, Change::Text);
}

void FormBase::SetCheckedAt(std::size_t i, bool checked) {
  auto& s = state_.at(i);
  s.checked = checked;
  Notify(i, Change::Checked);
}

void FormBase::SetEnabledAt(std::size_t i, bool enabled) {
  auto& s = state_.at(i);
  s.enabled = enabled;
  Notify(i, Change::Enabled);
}

void FormBase::SetVisibleAt(std::size_t i, bool visible) {
  auto& s = state_.at(i);
  s.visible = visible;
  Notify(i, Change::Visible);
}

void FormBase::SetTopmostAt(std::size_t i, bool topmost) {
  auto& s = state_.at(i);
  s.topmost = topmost;
  Notify(i, Change::Topmost);
}

void FormBase::SetLeftAt(std::size_t i, int x) {
  auto& s = state_.at(i);
  SetBoundsAt(i, x, s.y, s.w, s.h);
}

void FormBase::SetBoundsAt(std::size_t i, int x, int y, int w, int h) {
  auto& s = state_.at(i);
  s.x = x;
  s.y = y;
  s.w = w;
  s.h = h;
  Notify(i, Change::Bounds);
}

void FormBase::SetPositionAt(std::size_t i, int position) {
  auto& s = state_.at(i);
  s.position = position;
  Notify(i, Change::Position);
}

void FormBase::SetImageAt(std::size_t i, std::shared_ptr<const std::string> bmp) {
  auto& s = state_.at(i);
  s.image = std::move(bmp);
  Notify(i, Change::Image);
}

void FormBase::SetPictureAt(std::size_t i, const char* resource_name) {
  auto& s = state_.at(i);
  s.picture = resource_name;
  Notify(i, Change::Image);
}

void FormBase::SetPanelTextAt(std::size_t i, std::size_t panel, std::string text) {
  auto& s = state_.at(i);
  if (panel >= s.panels.size()) throw std::out_of_range("status panel");
  // The clock sets its panel ten times a second; an unchanged text must not
  // reach the view, where it would cost a repaint each time.
  if (s.panels[panel] == text) return;
  s.panels[panel] = std::move(text);
  Notify(i, Change::PanelText, static_cast<int>(panel));
}

void FormBase::SetItemsAt(std::size_t i, std::vector<std::string> items) {
  auto& s = state_.at(i);
  s.items = std::move(items);
  s.position = -1;
  Notify(i, Change::Items);
}

void FormBase::AddItemAt(std::size_t i, std::string item) {
  auto& s = state_.at(i);
  s.items.push_back(std::move(item));
  Notify(i, Change::ItemAdded, static_cast<int>(s.items.size() - 1));
}

void FormBase::SetItemAt(std::size_t i, std::size_t item, std::string text) {
  auto& s = state_.at(i);
  s.items.at(item) = std::move(text);
  Notify(i, Change::ItemChanged, static_cast<int>(item));
}

void FormBase::RemoveItemAt(std::size_t i, std::size_t item) {
  auto& s = state_.at(i);
  if (item >= s.items.size()) throw std::out_of_range("list item");
  s.items.erase(s.items.begin() + static_cast<std::ptrdiff_t>(item));
  Notify(i, Change::ItemRemoved, static_cast<int>(item));
}

void FormBase::PopupAtPoint(std::size_t i, int x, int y) {
  auto& s = state_.at(i);
  s.popup_x = x;
  s.popup_y = y;
  Notify(i, Change::Popup);
}

int FormBase::OuterWidth() {
  const int outer = view_ ? view_->OuterWidth() : 0;
  return outer > 0 ? outer : state_.at(0).w;
}

int FormBase::TextWidthAt(std::size_t i, std::string_view text) {
  // Without a view (tests) a rough average glyph width stands in.
  return view_ ? view_->TextWidth(i, text) : static_cast<int>(text.size()) * 6;
}

}  // namespace talvoro::ui
