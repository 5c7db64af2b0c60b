// The drawing behind assetgen: a small supersampling rasterizer, the
// program's pictures (lamps, speakers, icon, the media buttons' pictograms)
// as shapes, and the BMP and ICO file writers.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "../../src/ui/button_pictures.h"

namespace talvoro::assetgen {

struct Rgba {
  double r = 0, g = 0, b = 0, a = 0;  // 0..255 colour, 0..1 alpha
};

inline Rgba Colour(int r, int g, int b, double a = 1.0) {
  return Rgba{double(r), double(g), double(b), a};
}

inline Rgba Over(const Rgba& top, const Rgba& under) {
  const double a = top.a + under.a * (1 - top.a);
  if (a <= 0) return Rgba{};
  auto mix = [&](double t, double u) { return (t * top.a + u * under.a * (1 - top.a)) / a; };
  return Rgba{mix(top.r, under.r), mix(top.g, under.g), mix(top.b, under.b), a};
}

inline Rgba Lerp(const Rgba& p, const Rgba& q, double t) {
  t = std::clamp(t, 0.0, 1.0);
  return Rgba{p.r + (q.r - p.r) * t, p.g + (q.g - p.g) * t, p.b + (q.b - p.b) * t,
              p.a + (q.a - p.a) * t};
}

// A shape: which points it covers and the paint at a covered point. Units are
// those of the picture (pixels) or of a unit square (the icon), as the
// scene's scale says.
struct Shape {
  std::function<bool(double, double)> covers;
  std::function<Rgba(double, double)> paint;
};

using Scene = std::vector<Shape>;

inline std::function<Rgba(double, double)> Solid(Rgba c) {
  return [c](double, double) { return c; };
}

inline Shape Circle(double cx, double cy, double r, std::function<Rgba(double, double)> paint) {
  return Shape{
      [=](double x, double y) { return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r; },
      std::move(paint)};
}

inline Shape Rect(double x0, double y0, double x1, double y1, Rgba c) {
  return Shape{[=](double x, double y) { return x >= x0 && x <= x1 && y >= y0 && y <= y1; },
               Solid(c)};
}

inline Shape RoundRect(double x0, double y0, double x1, double y1, double r,
                       std::function<Rgba(double, double)> paint) {
  return Shape{[=](double x, double y) {
                 if (x < x0 || x > x1 || y < y0 || y > y1) return false;
                 const double dx = std::max({x0 + r - x, 0.0, x - (x1 - r)});
                 const double dy = std::max({y0 + r - y, 0.0, y - (y1 - r)});
                 return dx * dx + dy * dy <= r * r;
               },
               std::move(paint)};
}

inline Shape RoundRect(double x0, double y0, double x1, double y1, double r, Rgba c) {
  return RoundRect(x0, y0, x1, y1, r, Solid(c));
}

// A thick segment with round ends.
inline Shape Line(double x0, double y0, double x1, double y1, double width, Rgba c) {
  return Shape{[=](double x, double y) {
                 const double vx = x1 - x0, vy = y1 - y0;
                 const double len2 = vx * vx + vy * vy;
                 double t = len2 > 0 ? ((x - x0) * vx + (y - y0) * vy) / len2 : 0;
                 t = std::clamp(t, 0.0, 1.0);
                 const double px = x0 + t * vx - x, py = y0 + t * vy - y;
                 return px * px + py * py <= width * width / 4;
               },
               Solid(c)};
}

// A band of a ring between two angles (degrees, 0 pointing right, counted
// clockwise on screen since y grows downwards).
inline Shape Arc(double cx, double cy, double radius, double width, double from_deg, double to_deg,
                 Rgba c) {
  const double pi = 3.14159265358979323846;
  return Shape{[=](double x, double y) {
                 const double d = std::hypot(x - cx, y - cy);
                 if (std::fabs(d - radius) > width / 2) return false;
                 const double angle = std::atan2(y - cy, x - cx) * 180 / pi;
                 return angle >= from_deg && angle <= to_deg;
               },
               Solid(c)};
}

// A polygon (even-odd rule).
inline Shape Polygon(std::vector<std::pair<double, double>> points, Rgba c) {
  return Shape{[points](double x, double y) {
                 bool inside = false;
                 for (std::size_t i = 0, j = points.size() - 1; i < points.size(); j = i++) {
                   const auto [xi, yi] = points[i];
                   const auto [xj, yj] = points[j];
                   if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi)
                     inside = !inside;
                 }
                 return inside;
               },
               Solid(c)};
}

// Renders a scene into width x height pixels, top row first. `scale` maps
// pixel coordinates to the scene's units; `background` lies under everything.
inline std::vector<Rgba> Render(const Scene& scene, int width, int height, double scale,
                                Rgba background) {
  constexpr int kSamples = 8;
  std::vector<Rgba> pixels(static_cast<std::size_t>(width) * height);
  for (int py = 0; py < height; ++py)
    for (int px = 0; px < width; ++px) {
      Rgba sum;
      double weight = 0;
      for (int sy = 0; sy < kSamples; ++sy)
        for (int sx = 0; sx < kSamples; ++sx) {
          const double x = (px + (sx + 0.5) / kSamples) * scale;
          const double y = (py + (sy + 0.5) / kSamples) * scale;
          Rgba c = background;
          for (const Shape& shape : scene)
            if (shape.covers(x, y)) c = Over(shape.paint(x, y), c);
          // Average premultiplied colours so that transparent samples do not
          // darken the edges.
          sum.r += c.r * c.a;
          sum.g += c.g * c.a;
          sum.b += c.b * c.a;
          sum.a += c.a;
          weight += 1;
        }
      Rgba& out = pixels[static_cast<std::size_t>(py) * width + px];
      out.a = sum.a / weight;
      if (sum.a > 0) {
        out.r = sum.r / sum.a;
        out.g = sum.g / sum.a;
        out.b = sum.b / sum.a;
      }
    }
  return pixels;
}

// A square picture or icon image.
inline std::vector<Rgba> Render(const Scene& scene, int size, double scale, Rgba background) {
  return Render(scene, size, size, scale, background);
}

inline std::uint8_t Byte(double v) {
  return static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L));
}

inline void Put16(std::string& out, unsigned v) {
  out.push_back(char(v & 0xFF));
  out.push_back(char((v >> 8) & 0xFF));
}
inline void Put32(std::string& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

// BITMAPINFOHEADER.
inline void PutInfoHeader(std::string& out, int width, int height, int bit_count,
                          std::uint32_t image_size) {
  Put32(out, 40);
  Put32(out, static_cast<std::uint32_t>(width));
  Put32(out, static_cast<std::uint32_t>(height));
  Put16(out, 1);
  Put16(out, static_cast<unsigned>(bit_count));
  Put32(out, 0);  // BI_RGB
  Put32(out, image_size);
  Put32(out, 2835);  // 72 dpi
  Put32(out, 2835);
  Put32(out, 0);
  Put32(out, 0);
}

// A 24-bit BMP file: rows bottom-up, each padded to 4 bytes.
inline std::string Bmp24(const std::vector<Rgba>& pixels, int width, int height) {
  const int stride = (width * 3 + 3) / 4 * 4;
  const std::uint32_t image_size = static_cast<std::uint32_t>(stride * height);
  std::string out = "BM";
  Put32(out, 14 + 40 + image_size);
  Put32(out, 0);
  Put32(out, 14 + 40);
  PutInfoHeader(out, width, height, 24, image_size);
  for (int y = height - 1; y >= 0; --y) {
    for (int x = 0; x < width; ++x) {
      const Rgba& p = pixels[static_cast<std::size_t>(y) * width + x];
      out.push_back(char(Byte(p.b)));
      out.push_back(char(Byte(p.g)));
      out.push_back(char(Byte(p.r)));
    }
    out.append(static_cast<std::size_t>(stride - width * 3), '\0');
  }
  return out;
}

inline std::string Bmp24(const std::vector<Rgba>& pixels, int size) {
  return Bmp24(pixels, size, size);
}

// One image of an icon file: a 32-bit BGRA bitmap (twice as tall in its
// header, for the colour and the mask halves), then the 1-bit AND mask.
inline std::string IconImage(const std::vector<Rgba>& pixels, int size) {
  const int mask_stride = (size + 31) / 32 * 4;
  const std::uint32_t image_size = static_cast<std::uint32_t>(size * size * 4 + mask_stride * size);
  std::string out;
  PutInfoHeader(out, size, size * 2, 32, image_size);
  for (int y = size - 1; y >= 0; --y)
    for (int x = 0; x < size; ++x) {
      const Rgba& p = pixels[static_cast<std::size_t>(y) * size + x];
      out.push_back(char(Byte(p.b)));
      out.push_back(char(Byte(p.g)));
      out.push_back(char(Byte(p.r)));
      out.push_back(char(Byte(p.a * 255)));
    }
  for (int y = size - 1; y >= 0; --y) {
    std::string row(static_cast<std::size_t>(mask_stride), '\0');
    for (int x = 0; x < size; ++x)
      if (pixels[static_cast<std::size_t>(y) * size + x].a < 0.5 / 255)
        row[static_cast<std::size_t>(x / 8)] |= char(0x80 >> (x % 8));
    out += row;
  }
  return out;
}

inline std::string IconFile(const std::vector<std::pair<int, std::string>>& images) {
  std::string out;
  Put16(out, 0);  // reserved
  Put16(out, 1);  // icon
  Put16(out, static_cast<unsigned>(images.size()));
  std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * images.size());
  for (const auto& [size, data] : images) {
    out.push_back(char(size >= 256 ? 0 : size));
    out.push_back(char(size >= 256 ? 0 : size));
    out.push_back(0);  // no palette
    out.push_back(0);
    Put16(out, 1);   // planes
    Put16(out, 32);  // bits per pixel
    Put32(out, static_cast<std::uint32_t>(data.size()));
    Put32(out, offset);
    offset += static_cast<std::uint32_t>(data.size());
  }
  for (const auto& image : images) out += image.second;
  return out;
}

// --- the pictures ------------------------------------------------------------

inline constexpr int kPicture = 17;
// The widgets that show these pictures leave out the bottom-left pixel's
// colour; the usual face colour keeps them right where they are shown opaque.
inline const Rgba kFace = Colour(192, 192, 192);

inline Scene Lamp(bool lit) {
  const double c = kPicture / 2.0;
  const Rgba rim = lit ? Colour(0, 90, 0) : Colour(60, 66, 60);
  const Rgba centre = lit ? Colour(170, 255, 150) : Colour(105, 125, 105);
  const Rgba edge = lit ? Colour(10, 190, 20) : Colour(45, 65, 45);
  Scene scene;
  if (lit) scene.push_back(Circle(c, c, 8.4, Solid(Colour(80, 255, 80, 0.25))));  // glow
  scene.push_back(Circle(c, c, 7.2, Solid(rim)));
  scene.push_back(Circle(c, c, 6.2, [=](double x, double y) {
    return Lerp(centre, edge, std::hypot(x - (c - 1.5), y - (c - 1.5)) / 7.0);
  }));
  scene.push_back(Circle(c - 2, c - 2.2, 1.8, Solid(Colour(255, 255, 255, lit ? 0.8 : 0.3))));
  return scene;
}

inline Scene Speaker(bool muted) {
  const Rgba body = Colour(40, 40, 48);
  Scene scene;
  scene.push_back(Rect(1.5, 6.0, 5.0, 11.0, body));
  scene.push_back(Polygon({{4.5, 6.0}, {9.0, 2.0}, {9.0, 15.0}, {4.5, 11.0}}, body));
  if (!muted) {
    const Rgba wave = Colour(20, 60, 170);
    scene.push_back(Arc(8.5, 8.5, 3.6, 1.3, -55, 55, wave));
    scene.push_back(Arc(8.5, 8.5, 6.4, 1.3, -55, 55, wave));
  } else {
    const Rgba wave = Colour(20, 60, 170, 0.35);
    scene.push_back(Arc(8.5, 8.5, 3.6, 1.3, -55, 55, wave));
    scene.push_back(Arc(8.5, 8.5, 6.4, 1.3, -55, 55, wave));
    scene.push_back(Line(1.8, 15.2, 15.2, 1.8, 2.0, Colour(215, 20, 20)));
  }
  return scene;
}

// The program icon, in a unit square: a remote control sending infrared
// waves from its tip. The small size gets fewer, bolder waves.
inline Scene ProgramIcon(bool small) {
  const Rgba body = Colour(48, 54, 66);
  const Rgba light = Colour(205, 210, 222);
  const Rgba red = Colour(235, 45, 35);
  Scene scene;
  scene.push_back(RoundRect(0.28, 0.36, 0.72, 0.99, 0.11, Colour(25, 28, 35)));
  scene.push_back(RoundRect(0.31, 0.39, 0.69, 0.96, 0.09, body));
  scene.push_back(Circle(0.5, 0.45, 0.05, Solid(red)));
  for (int row = 0; row < 3; ++row)
    for (int column = 0; column < 2; ++column)
      scene.push_back(Circle(0.41 + 0.18 * column, 0.60 + 0.12 * row, 0.045, Solid(light)));
  const int waves = small ? 2 : 3;
  const double spacing = small ? 0.15 : 0.11;
  const double width = small ? 0.085 : 0.055;
  for (int i = 0; i < waves; ++i)
    scene.push_back(Arc(0.5, 0.42, 0.14 + spacing * i, width, -90 - 42, -90 + 42,
                        Colour(235, 60, 35, 1.0 - 0.2 * i)));
  return scene;
}

// --- pictures built into the program ----------------------------------------
// Drawn on the colour they are shown on, so that their anti-aliased edges
// blend into it; the transparent ones have that colour in their bottom-left
// pixel, which the image widget leaves out.

// The learning dialog's TV remote control (117 x 165 on the dialog's white):
// a graphite body whose infrared window at the top sends its waves out.
inline Scene RemoteControl() {
  const Rgba key = Colour(214, 218, 228);
  const Rgba key_shadow = Colour(18, 20, 26, 0.7);
  const Rgba mark = Colour(40, 44, 54);
  const double cx = 58.5;
  Scene scene;
  // Infrared waves leaving the window at the top.
  for (int i = 0; i < 3; ++i)
    scene.push_back(
        Arc(cx, 29, 9 + 6.5 * i, 2.2, -90 - 36, -90 + 36, Colour(225, 45, 35, 1.0 - 0.25 * i)));
  // A soft shadow, the outline and the body, lighter along its middle.
  scene.push_back(RoundRect(33.5, 27, 89.5, 163.5, 14, Colour(0, 0, 0, 0.10)));
  scene.push_back(RoundRect(32.5, 26, 88, 162, 14, Colour(0, 0, 0, 0.12)));
  scene.push_back(RoundRect(30.5, 23.5, 86.5, 160, 13.5, Colour(22, 24, 30)));
  scene.push_back(RoundRect(31.8, 24.8, 85.2, 158.7, 12.3, [=](double x, double) {
    return Lerp(Colour(52, 57, 68), Colour(92, 98, 113), 1.0 - std::fabs(x - cx) / 27.0);
  }));
  // The infrared window and its glint.
  scene.push_back(RoundRect(47, 26.2, 70, 32.5, 2.8, Colour(120, 12, 28)));
  scene.push_back(RoundRect(49, 27.2, 60, 28.6, 0.7, Colour(255, 255, 255, 0.35)));
  // Power (red) and two small source keys.
  scene.push_back(Circle(73.5, 41.5, 5.4, Solid(Colour(110, 14, 14))));
  scene.push_back(Circle(73.5, 41.5, 4.5, Solid(Colour(222, 44, 38))));
  scene.push_back(Circle(72.3, 40.2, 1.4, Solid(Colour(255, 255, 255, 0.45))));
  for (double x : {37.5, 51.0}) {
    scene.push_back(RoundRect(x, 39.8, x + 10, 44.6, 2.4, key_shadow));
    scene.push_back(RoundRect(x, 39.0, x + 10, 43.8, 2.4, Colour(170, 176, 190)));
  }
  // The number keys, three by four.
  for (int row = 0; row < 4; ++row)
    for (int column = 0; column < 3; ++column) {
      const double x = cx - 20 + 14.5 * column;
      const double y = 51 + 9.5 * row;
      scene.push_back(RoundRect(x - 5.5, y + 0.8, x + 5.5, y + 7.3, 3, key_shadow));
      scene.push_back(RoundRect(x - 5.5, y, x + 5.5, y + 6.5, 3, key));
    }
  // Red, green, yellow and blue.
  const Rgba colours[] = {Colour(222, 52, 44), Colour(58, 176, 76), Colour(242, 198, 38),
                          Colour(48, 112, 214)};
  for (int n = 0; n < 4; ++n) {
    const double x = 38.5 + 11.5 * n;
    scene.push_back(RoundRect(x, 90.8, x + 9, 95.6, 2.2, key_shadow));
    scene.push_back(RoundRect(x, 90, x + 9, 94.8, 2.2, colours[n]));
  }
  // The arrow ring with its OK key.
  const double ny = 114;
  scene.push_back(Circle(cx, ny + 0.8, 14.2, Solid(key_shadow)));
  scene.push_back(Circle(cx, ny, 14.2, [=](double x, double y) {
    return Lerp(Colour(196, 201, 213), Colour(140, 146, 160), (y - (ny - 14)) / 28.0);
  }));
  scene.push_back(Circle(cx, ny, 7.6, Solid(Colour(44, 48, 58))));
  scene.push_back(Circle(cx, ny, 6.2, Solid(key)));
  scene.push_back(Polygon({{cx, ny - 12.6}, {cx + 3, ny - 9.4}, {cx - 3, ny - 9.4}}, mark));
  scene.push_back(Polygon({{cx, ny + 12.6}, {cx + 3, ny + 9.4}, {cx - 3, ny + 9.4}}, mark));
  scene.push_back(Polygon({{cx - 12.6, ny}, {cx - 9.4, ny + 3}, {cx - 9.4, ny - 3}}, mark));
  scene.push_back(Polygon({{cx + 12.6, ny}, {cx + 9.4, ny + 3}, {cx + 9.4, ny - 3}}, mark));
  // Volume and programme rockers, with the mute key between them.
  for (double x : {36.5, 69.5}) {
    scene.push_back(RoundRect(x, 133.8, x + 11, 154.8, 5.5, key_shadow));
    scene.push_back(RoundRect(x, 133, x + 11, 154, 5.5, Colour(178, 184, 198)));
    const double m = x + 5.5;
    scene.push_back(Line(m - 2.6, 138.5, m + 2.6, 138.5, 1.4, mark));
    scene.push_back(Line(m, 135.9, m, 141.1, 1.4, mark));
    scene.push_back(Line(m - 2.6, 148.5, m + 2.6, 148.5, 1.4, mark));
  }
  scene.push_back(Circle(cx, 144.3, 4.4, Solid(key_shadow)));
  scene.push_back(Circle(cx, 143.5, 4.4, Solid(Colour(160, 166, 180))));
  scene.push_back(Line(cx - 2, 141.5, cx + 2, 145.5, 1.2, Colour(200, 40, 35)));
  return scene;
}

// The countdown window's sign (33 x 33 on black): the power symbol, glowing.
inline Scene PowerSign() {
  const double c = 16.5, cy = 17.5;
  auto glow = [=](double, double y) {
    return Lerp(Colour(255, 150, 70), Colour(235, 45, 30), (y - 4) / 26.0);
  };
  Scene scene;
  scene.push_back(Circle(c, cy, 14.5, Solid(Colour(255, 70, 30, 0.12))));
  for (auto [from, to] : {std::pair{-180.0, -124.0}, std::pair{-56.0, 180.0}}) {
    Shape ring = Arc(c, cy, 10.2, 3.4, from, to, Rgba{});
    ring.paint = glow;
    scene.push_back(ring);
    // Round ends where the ring opens.
    const double end = (from == -180.0 ? to : from) * 3.14159265358979323846 / 180;
    scene.push_back(Circle(c + 10.2 * std::cos(end), cy + 10.2 * std::sin(end), 1.7, glow));
  }
  Shape bar = Line(c, 4.2, c, 16.5, 3.4, Rgba{});
  bar.paint = glow;
  scene.push_back(bar);
  return scene;
}

// The conflict warning's sign (33 x 33 on the window's green): a yellow
// triangle with an exclamation mark.
inline Scene WarningSign() {
  const Rgba border = Colour(150, 96, 0);
  const std::pair<double, double> top{16.5, 3.0}, right{30.5, 28.5}, left{2.5, 28.5};
  Scene scene;
  scene.push_back(Polygon({{17.5, 4.5}, {31.5, 30.0}, {3.5, 30.0}}, Colour(0, 0, 0, 0.22)));
  scene.push_back(Polygon({top, right, left}, Colour(255, 208, 24)));
  for (auto [a, b] : {std::pair{top, right}, std::pair{right, left}, std::pair{left, top}})
    scene.push_back(Line(a.first, a.second, b.first, b.second, 2.4, border));
  scene.push_back(Line(16.5, 11.5, 16.5, 20.0, 3.4, Colour(30, 30, 30)));
  scene.push_back(Circle(16.5, 24.6, 1.9, Solid(Colour(30, 30, 30))));
  return scene;
}

// --- the media buttons' pictures --------------------------------------------
// Pictograms drawn in a square of kButtonUnits units, shown kButtonPixels
// wide on the 41-pixel buttons and kActiverPixels wide on the larger Activer
// buttons; dark ink on the button face, with a few coloured accents.

inline constexpr double kButtonUnits = 24;
inline constexpr int kButtonPixels = 24;
inline constexpr int kActiverPixels = 32;

inline const Rgba kInk = Colour(38, 44, 56);
// The buttons take the system's face colour, which current Windows gives as
// this light grey: the pictograms' soft edges blend into it, and it is their
// bottom-left colour, which the buttons leave out.
inline const Rgba kButtonFace = Colour(240, 240, 240);

inline Shape Triangle(double x0, double y0, double x1, double y1, double x2, double y2,
                      Rgba c = kInk) {
  return Polygon({{x0, y0}, {x1, y1}, {x2, y2}}, c);
}

// A triangle pointing right (dir 1) or left (dir -1) from `x` over `w`.
inline Shape Pointer(double x, double w, double top, double bottom, int dir, Rgba c = kInk) {
  const double tip = x + dir * w;
  return Triangle(x, top, tip, (top + bottom) / 2, x, bottom, c);
}

// The outline of a rectangle with rounded corners.
inline void Outline(Scene& scene, double x0, double y0, double x1, double y1, double r, double w,
                    Rgba c = kInk) {
  scene.push_back(Line(x0, y0 + r, x0, y1 - r, w, c));
  scene.push_back(Line(x1, y0 + r, x1, y1 - r, w, c));
  scene.push_back(Line(x0 + r, y0, x1 - r, y0, w, c));
  scene.push_back(Line(x0 + r, y1, x1 - r, y1, w, c));
  if (r > 0) {
    scene.push_back(Arc(x0 + r, y0 + r, r, w, -180, -90, c));
    scene.push_back(Arc(x1 - r, y0 + r, r, w, -90, 0, c));
    scene.push_back(Arc(x1 - r, y1 - r, r, w, 0, 90, c));
    scene.push_back(Arc(x0 + r, y1 - r, r, w, 90, 180, c));
  }
}

// A small loudspeaker on the left, for the volume pictures.
inline void SmallSpeaker(Scene& scene) {
  scene.push_back(Rect(2.5, 9, 6.5, 15, kInk));
  scene.push_back(Polygon({{6, 9}, {11.5, 4.5}, {11.5, 19.5}, {6, 15}}, kInk));
}

inline void PlusSign(Scene& scene, double cx, double cy, double half, double width, Rgba c = kInk) {
  scene.push_back(Rect(cx - half, cy - width / 2, cx + half, cy + width / 2, c));
  scene.push_back(Rect(cx - width / 2, cy - half, cx + width / 2, cy + half, c));
}

inline void MinusSign(Scene& scene, double cx, double cy, double half, double width,
                      Rgba c = kInk) {
  scene.push_back(Rect(cx - half, cy - width / 2, cx + half, cy + width / 2, c));
}

// A television screen with an arrow inside, up (dir -1) or down (dir 1).
inline void ChannelPicture(Scene& scene, int dir) {
  Outline(scene, 3, 4, 21, 17.5, 2.5, 2);
  scene.push_back(Line(8, 21, 16, 21, 2, kInk));
  scene.push_back(Line(12, 17.5, 12, 21, 2, kInk));
  const double tip = dir < 0 ? 7 : 14.5, base = dir < 0 ? 14.5 : 7;
  scene.push_back(Triangle(12, tip, 17, base, 7, base));
}

// A slide with an arrow beside it pointing right (dir 1) or left (dir -1).
inline void SlidePicture(Scene& scene, int dir) {
  const double x0 = dir > 0 ? 2.5 : 9.5;
  scene.push_back(RoundRect(x0, 4, x0 + 12, 20, 1.2, kInk));
  scene.push_back(Rect(x0 + 2, 6, x0 + 10, 18, Colour(236, 238, 242)));
  scene.push_back(Rect(x0 + 3.5, 8, x0 + 8.5, 9.6, Colour(30, 90, 190)));
  for (double y : {11.5, 14.5}) scene.push_back(Rect(x0 + 3.5, y, x0 + 8.5, y + 1.2, kInk));
  if (dir > 0)
    scene.push_back(Pointer(16, 6.5, 7.5, 16.5, 1));
  else
    scene.push_back(Pointer(8, 6.5, 7.5, 16.5, -1));
}

inline Scene ButtonScene(ui::ButtonPicture picture) {
  using P = ui::ButtonPicture;
  const Rgba accent = Colour(30, 90, 190);
  Scene scene;
  switch (picture) {
    case P::None:
      break;
    case P::Power: {
      // The power symbol in green: the button brings the application up.
      const Rgba green = Colour(24, 140, 64);
      const double c = 12, cy = 13, r = 7.6, w = 2.8;
      scene.push_back(Arc(c, cy, r, w, -180, -122, green));
      scene.push_back(Arc(c, cy, r, w, -58, 180, green));
      for (double deg : {-122.0, -58.0}) {
        const double a = deg * 3.14159265358979323846 / 180;
        scene.push_back(Circle(c + r * std::cos(a), cy + r * std::sin(a), w / 2, Solid(green)));
      }
      scene.push_back(Line(c, 3.2, c, 12, w, green));
      break;
    }
    case P::Play:
      scene.push_back(Triangle(7, 4, 20, 12, 7, 20));
      break;
    case P::Pause:
      scene.push_back(RoundRect(6, 5, 10.5, 19, 0.8, kInk));
      scene.push_back(RoundRect(13.5, 5, 18, 19, 0.8, kInk));
      break;
    case P::PlayPause:
      scene.push_back(Triangle(2.5, 5, 12, 12, 2.5, 19));
      scene.push_back(RoundRect(14, 5, 17, 19, 0.6, kInk));
      scene.push_back(RoundRect(19, 5, 22, 19, 0.6, kInk));
      break;
    case P::Stop:
      scene.push_back(RoundRect(6, 6, 18, 18, 1.2, kInk));
      break;
    case P::Previous:
      scene.push_back(Rect(4, 5, 7, 19, kInk));
      scene.push_back(Pointer(20, 12.5, 5, 19, -1));
      break;
    case P::Next:
      scene.push_back(Pointer(4, 12.5, 5, 19, 1));
      scene.push_back(Rect(17, 5, 20, 19, kInk));
      break;
    case P::FastForward:
      scene.push_back(Pointer(2.5, 9.5, 6, 18, 1));
      scene.push_back(Pointer(12, 9.5, 6, 18, 1));
      break;
    case P::Rewind:
      scene.push_back(Pointer(21.5, 9.5, 6, 18, -1));
      scene.push_back(Pointer(12, 9.5, 6, 18, -1));
      break;
    case P::StepForward:
      // A film frame, then a small arrow: one picture onwards.
      Outline(scene, 3, 6, 12, 18, 1, 2);
      scene.push_back(Pointer(15, 7, 7, 17, 1));
      break;
    case P::StepBack:
      Outline(scene, 12, 6, 21, 18, 1, 2);
      scene.push_back(Pointer(9, 7, 7, 17, -1));
      break;
    case P::Repeat: {
      // A loop open on the upper right, its arrow going on clockwise.
      const double r = 7, w = 2.4;
      scene.push_back(Arc(12, 12, r, w, -180, -40, kInk));
      scene.push_back(Arc(12, 12, r, w, 0, 180, kInk));
      const double a = -40 * 3.14159265358979323846 / 180;
      const double ex = 12 + r * std::cos(a), ey = 12 + r * std::sin(a);
      // Tangent (clockwise) and outward normal at the loop's end.
      const double tx = -std::sin(a), ty = std::cos(a);
      const double nx = std::cos(a), ny = std::sin(a);
      scene.push_back(Triangle(ex + 3.6 * nx, ey + 3.6 * ny, ex - 3.6 * nx, ey - 3.6 * ny,
                               ex + 4.6 * tx, ey + 4.6 * ty));
      break;
    }
    case P::Shuffle:
      scene.push_back(Line(3, 7, 8, 7, 2.2, kInk));
      scene.push_back(Line(8, 7, 15, 17, 2.2, kInk));
      scene.push_back(Line(3, 17, 8, 17, 2.2, kInk));
      scene.push_back(Line(8, 17, 15, 7, 2.2, kInk));
      scene.push_back(Line(15, 7, 17, 7, 2.2, kInk));
      scene.push_back(Line(15, 17, 17, 17, 2.2, kInk));
      scene.push_back(Pointer(17, 5, 3, 11, 1));
      scene.push_back(Pointer(17, 5, 13, 21, 1));
      break;
    case P::FullScreen:
      // Four corners pointing outwards.
      for (int sx : {-1, 1})
        for (int sy : {-1, 1}) {
          const double x = 12 + sx * 8, y = 12 + sy * 8;
          scene.push_back(Line(x, y, x - sx * 6, y, 2.4, kInk));
          scene.push_back(Line(x, y, x, y - sy * 6, 2.4, kInk));
        }
      break;
    case P::Eject:
      scene.push_back(Triangle(12, 4, 20.5, 13, 3.5, 13));
      scene.push_back(RoundRect(3.5, 16, 20.5, 19.5, 0.6, kInk));
      break;
    case P::Record:
      scene.push_back(Circle(12, 12, 7.5, Solid(Colour(150, 16, 16))));
      scene.push_back(Circle(12, 12, 6.4, [](double x, double y) {
        return Lerp(Colour(245, 80, 70), Colour(205, 25, 25), std::hypot(x - 10, y - 10) / 8);
      }));
      break;
    case P::Menu:
      for (double y : {6.5, 12.0, 17.5})
        scene.push_back(RoundRect(4, y - 1.4, 20, y + 1.4, 1, kInk));
      break;
    case P::ChannelUp:
      ChannelPicture(scene, -1);
      break;
    case P::ChannelDown:
      ChannelPicture(scene, 1);
      break;
    case P::VolumeUp:
      SmallSpeaker(scene);
      PlusSign(scene, 17.5, 12, 4.5, 2.4);
      break;
    case P::VolumeDown:
      SmallSpeaker(scene);
      MinusSign(scene, 17.5, 12, 4.5, 2.4);
      break;
    case P::SlideNext:
      SlidePicture(scene, 1);
      break;
    case P::SlidePrevious:
      SlidePicture(scene, -1);
      break;
    case P::Subtitles:
      // A screen with two lines of text along its bottom.
      Outline(scene, 2.5, 4.5, 21.5, 19.5, 2, 2);
      scene.push_back(Rect(6, 12.5, 13, 14.5, kInk));
      scene.push_back(Rect(14.5, 12.5, 18, 14.5, kInk));
      scene.push_back(Rect(6, 16, 9, 17.8, kInk));
      scene.push_back(Rect(10.5, 16, 18, 17.8, kInk));
      break;
    case P::Info:
      scene.push_back(Circle(12, 12, 9, Solid(accent)));
      scene.push_back(Circle(12, 7.5, 1.6, Solid(Colour(255, 255, 255))));
      scene.push_back(RoundRect(10.6, 10.5, 13.4, 17.5, 0.5, Colour(255, 255, 255)));
      break;
    case P::Photo:
      scene.push_back(RoundRect(2.5, 7, 21.5, 19.5, 2, kInk));
      scene.push_back(RoundRect(8, 4.5, 15, 8, 1, kInk));
      scene.push_back(Circle(12, 13, 4.6, Solid(Colour(236, 238, 242))));
      scene.push_back(Circle(12, 13, 2.8, Solid(accent)));
      scene.push_back(Circle(18.3, 9.8, 0.9, Solid(Colour(236, 238, 242))));
      break;
    case P::Zoom:
      scene.push_back(Arc(10, 10, 5.5, 2.4, -180, 180, kInk));
      scene.push_back(Line(14.2, 14.2, 19.5, 19.5, 3.4, kInk));
      PlusSign(scene, 10, 10, 2.6, 1.6);
      break;
    case P::Enter:
      // The return key's arrow.
      scene.push_back(Line(18.5, 5, 18.5, 14, 2.4, kInk));
      scene.push_back(Line(18.5, 14, 9, 14, 2.4, kInk));
      scene.push_back(Pointer(10, 6, 9, 19, -1));
      break;
    case P::Plus:
      PlusSign(scene, 12, 12, 7, 3);
      break;
    case P::Minus:
      MinusSign(scene, 12, 12, 7, 3);
      break;
    case P::Dot:
      scene.push_back(Circle(12, 12, 4.5, Solid(kInk)));
      break;
  }
  return scene;
}

struct BuiltInPicture {
  const char* name;  // its resource name, as the layout tables or the slot map give it
  int width;
  int height;
  Rgba background;  // the colour it is shown on
  Scene scene;
  double scale = 1.0;  // scene units per pixel
};

inline std::vector<BuiltInPicture> BuiltInPictures() {
  std::vector<BuiltInPicture> pictures = {
      {"REMOTE", 117, 165, Colour(255, 255, 255), RemoteControl()},
      {"COUNTDOWN", 33, 33, Colour(0, 0, 0), PowerSign()},
      {"CONFLICT", 33, 33, Colour(192, 220, 192), WarningSign()},
  };
  for (ui::ButtonPicture picture : ui::kButtonPictures) {
    const int size = picture == ui::ButtonPicture::Power ? kActiverPixels : kButtonPixels;
    pictures.push_back({ui::ResourceName(picture), size, size, kButtonFace, ButtonScene(picture),
                        kButtonUnits / size});
  }
  return pictures;
}

inline std::string PictureFile(const BuiltInPicture& picture) {
  return Bmp24(
      Render(picture.scene, picture.width, picture.height, picture.scale, picture.background),
      picture.width, picture.height);
}

// The resource script that builds every picture into the program: one
// BITMAP line per picture, naming its file in `resource_dir`.
inline std::string ResourceScript(const std::vector<BuiltInPicture>& pictures,
                                  const std::string& resource_dir) {
  std::string out = "// Drawn by assetgen: the pictures built into the program.\n";
  for (const BuiltInPicture& picture : pictures)
    out +=
        std::string(picture.name) + " BITMAP \"" + resource_dir + "/" + picture.name + ".bmp\"\n";
  return out;
}

}  // namespace talvoro::assetgen
