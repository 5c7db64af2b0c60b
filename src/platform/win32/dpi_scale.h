// Layout units to screen pixels and back. The layout tables and the core
// count in pixels of a 96 dots-per-inch screen ("logical" pixels); a window
// on a screen of another density is drawn with every length multiplied by
// dpi / 96. No Windows header, so that the host's unit tests can check it.
#pragma once

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

}  // namespace talvoro::platform::win32
