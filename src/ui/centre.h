// Centring a label in its panel, after its text is set.
#pragma once

#include "ui/form_model.h"

namespace talvoro::ui {

// (panel width - text width) / 2, halves rounded to the even neighbour.
constexpr int CentredLeft(int panel_width, int text_width) {
  const int twice = panel_width - text_width;
  const int half = twice >= 0 ? twice / 2 : -((-twice + 1) / 2);  // floor
  if (twice % 2 == 0) return half;
  return half % 2 == 0 ? half : half + 1;
}

// Sizes `label` to its text and centres it horizontally in `panel`.
template <typename Id>
void CentreLabel(Form<Id>& form, Id label, Id panel) {
  const ControlState& s = form.Get(label);
  const int width = form.TextWidth(label, s.text);
  form.SetBounds(label, CentredLeft(form.Get(panel).w, width), s.y, width, s.h);
}

}  // namespace talvoro::ui
