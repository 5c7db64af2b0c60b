// Where the parts of the on/off switch are drawn. No Windows header, so that
// the host's unit tests can check it.
//
// The switch is a rounded track with a knob. A box taller than wide gives a
// vertical lever (knob up = on); otherwise the knob slides right for on. When
// the switch has a caption and its box is at least twice as wide as tall, the
// track takes the left part (twice its height) and the caption the rest.
// `w` and `h` are the window's pixels; the fixed gaps grow with `dpi`.
#pragma once

#include "platform/win32/dpi_scale.h"

namespace talvoro::platform::win32 {

struct Box {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int width() const { return right - left; }
  int height() const { return bottom - top; }
};

struct SwitchGeometry {
  bool vertical = false;
  Box track;
  Box knob;
  Box state_text;  // the track's free part, where "ON" / "OFF" is written
  Box caption;     // empty when there is no caption area
};

inline SwitchGeometry LayoutSwitch(int w, int h, bool on, bool has_caption,
                                   int dpi = kLogicalDpi) {
  SwitchGeometry g;
  Box area{0, 0, w, h};
  if (has_caption && w >= 2 * h && h > 0) {
    area.right = 2 * h;
    g.caption = Box{area.right + ToDevice(4, dpi), 0, w, h};
  }
  g.vertical = area.height() > area.width();
  // One pixel of margin so that the rounded ends are not clipped.
  g.track = Box{area.left + 1, area.top + 1, area.right - 1, area.bottom - 1};
  if (g.track.right < g.track.left) g.track.right = g.track.left;
  if (g.track.bottom < g.track.top) g.track.bottom = g.track.top;

  const int inset = ToDevice(2, dpi);
  if (g.vertical) {
    int knob_h = g.track.width();
    if (knob_h > g.track.height() / 2) knob_h = g.track.height() / 2;
    const int top = on ? g.track.top : g.track.bottom - knob_h;
    g.knob = Box{g.track.left + inset, top + inset, g.track.right - inset, top + knob_h - inset};
    g.state_text = on ? Box{g.track.left, g.track.top + knob_h, g.track.right, g.track.bottom}
                      : Box{g.track.left, g.track.top, g.track.right, g.track.bottom - knob_h};
  } else {
    int knob_w = g.track.height();
    if (knob_w > g.track.width() / 2) knob_w = g.track.width() / 2;
    const int left = on ? g.track.right - knob_w : g.track.left;
    g.knob = Box{left + inset, g.track.top + inset, left + knob_w - inset, g.track.bottom - inset};
    g.state_text = on ? Box{g.track.left, g.track.top, g.track.right - knob_w, g.track.bottom}
                      : Box{g.track.left + knob_w, g.track.top, g.track.right, g.track.bottom};
  }
  if (g.knob.right < g.knob.left) g.knob.right = g.knob.left;
  if (g.knob.bottom < g.knob.top) g.knob.bottom = g.knob.top;
  return g;
}

}  // namespace talvoro::platform::win32
