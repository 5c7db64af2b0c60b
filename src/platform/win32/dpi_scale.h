// Layout units to screen pixels and back. The layout tables and the core
// count in pixels of a 96 dots-per-inch screen ("logical" pixels); a window
// on a screen of another density is drawn with every length multiplied by
// dpi / 96. No Windows header, so that the host's unit tests can check it.
#pragma once

#include <cstddef>
#include <span>

namespace talvoro::platform::win32 {

inline constexpr int kLogicalDpi = 96;

// value * numerator / denominator, rounded to the nearest integer with
// halves away from zero, as the system's MulDiv does (without its -1 on a
// zero denominator: a zero or negative density counts as 96).
constexpr int ScaleRounded(int value, int numerator, int denominator) {
  if (numerator <= 0 || denominator <= 0) return value;
  const long long product = static_cast<long long>(value) * numerator;
  const long long half = denominator / 2;
  return static_cast<int>(product >= 0 ? (product + half) / denominator
                                       : -((-product + half) / denominator));
}

// A logical length or coordinate in pixels of a screen of `dpi`.
constexpr int ToDevice(int logical, int dpi) {
  return dpi == kLogicalDpi ? logical : ScaleRounded(logical, dpi, kLogicalDpi);
}

// A pixel length or coordinate of a screen of `dpi` in logical units. For
// any density of 96 and above, ToLogical(ToDevice(x, dpi), dpi) == x.
constexpr int ToLogical(int device, int dpi) {
  return dpi == kLogicalDpi ? device : ScaleRounded(device, kLogicalDpi, dpi);
}

// A font height of the tables (negative: a character height) for a screen
// of `dpi`. Rounded towards zero, unlike lengths: a glyph's advance grows a
// little faster than its height with hinting, and a text must never
// outgrow the box the tables give it (11 pixels at 144 dpi are 16, not 17).
constexpr int FontHeightFor(int logical_height, int dpi) {
  if (dpi <= 0 || dpi == kLogicalDpi) return logical_height;
  return static_cast<int>(static_cast<long long>(logical_height) * dpi / kLogicalDpi);
}

// ---------------------------------------------------------------------------
// Screen coordinates. A monitor is a rectangle of the virtual screen in
// pixels, drawn at a density of its own, which can change while the program
// runs. The core places windows in logical screen coordinates: a monitor
// keeps its origin (its top-left pixel), and a point on it lies as many
// logical pixels away from that origin as it lies pixels of the monitor's
// density. On the primary monitor (origin 0, 0) a coordinate is thus the
// pixel scaled. Each monitor's logical area lies inside its own pixels, so
// the areas of monitors side by side never overlap, whatever their
// densities (with the origins scaled too, a 200 % monitor right of a 1920
// pixel wide 100 % one would start at 960, over the first).

struct Monitor {
  int left = 0;  // pixels of the virtual screen
  int top = 0;
  int right = 0;
  int bottom = 0;
  int dpi = kLogicalDpi;  // its density now
};

struct ScreenPoint {
  int x = 0;
  int y = 0;
};

struct LogicalArea {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

// The monitor's place and size in logical screen coordinates.
constexpr LogicalArea LogicalAreaOf(const Monitor& m) {
  return {m.left, m.top, ToLogical(m.right - m.left, m.dpi), ToLogical(m.bottom - m.top, m.dpi)};
}

// A point of the screen in pixels, in logical coordinates of monitor `m`.
constexpr ScreenPoint ToLogicalOn(const Monitor& m, ScreenPoint device) {
  return {m.left + ToLogical(device.x - m.left, m.dpi), m.top + ToLogical(device.y - m.top, m.dpi)};
}

// A logical point of monitor `m` in pixels of the screen.
constexpr ScreenPoint ToDeviceOn(const Monitor& m, ScreenPoint logical) {
  return {m.left + ToDevice(logical.x - m.left, m.dpi), m.top + ToDevice(logical.y - m.top, m.dpi)};
}

// Which of `monitors` (at least one) a logical point belongs to: the one
// whose logical area holds it, else the one whose area is nearest (a point
// between two areas, or off every screen).
constexpr std::size_t MonitorOfLogicalPoint(std::span<const Monitor> monitors, ScreenPoint p) {
  std::size_t best = 0;
  long long best_distance = -1;
  for (std::size_t i = 0; i < monitors.size(); ++i) {
    const LogicalArea a = LogicalAreaOf(monitors[i]);
    const long long right = static_cast<long long>(a.left) + a.width - 1;
    const long long bottom = static_cast<long long>(a.top) + a.height - 1;
    const long long dx = p.x < a.left ? a.left - p.x : (p.x > right ? p.x - right : 0);
    const long long dy = p.y < a.top ? a.top - p.y : (p.y > bottom ? p.y - bottom : 0);
    const long long distance = dx * dx + dy * dy;
    if (best_distance < 0 || distance < best_distance) {
      best = i;
      best_distance = distance;
    }
  }
  return best;
}

}  // namespace talvoro::platform::win32
