// The drawing behind assetgen: a small supersampling rasterizer, the
// program's pictures (lamps, speakers, icon) as shapes, and the BMP and ICO
// file writers.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

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

inline Shape RoundRect(double x0, double y0, double x1, double y1, double r, Rgba c) {
  return Shape{[=](double x, double y) {
                 if (x < x0 || x > x1 || y < y0 || y > y1) return false;
                 const double dx = std::max({x0 + r - x, 0.0, x - (x1 - r)});
                 const double dy = std::max({y0 + r - y, 0.0, y - (y1 - r)});
                 return dx * dx + dy * dy <= r * r;
               },
               Solid(c)};
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

// Renders a scene into size x size pixels, top row first. `scale` maps pixel
// coordinates to the scene's units; `background` lies under everything.
inline std::vector<Rgba> Render(const Scene& scene, int size, double scale, Rgba background) {
  constexpr int kSamples = 8;
  std::vector<Rgba> pixels(static_cast<std::size_t>(size) * size);
  for (int py = 0; py < size; ++py)
    for (int px = 0; px < size; ++px) {
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
      Rgba& out = pixels[static_cast<std::size_t>(py) * size + px];
      out.a = sum.a / weight;
      if (sum.a > 0) {
        out.r = sum.r / sum.a;
        out.g = sum.g / sum.a;
        out.b = sum.b / sum.a;
      }
    }
  return pixels;
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
inline std::string Bmp24(const std::vector<Rgba>& pixels, int size) {
  const int stride = (size * 3 + 3) / 4 * 4;
  const std::uint32_t image_size = static_cast<std::uint32_t>(stride * size);
  std::string out = "BM";
  Put32(out, 14 + 40 + image_size);
  Put32(out, 0);
  Put32(out, 14 + 40);
  PutInfoHeader(out, size, size, 24, image_size);
  for (int y = size - 1; y >= 0; --y) {
    for (int x = 0; x < size; ++x) {
      const Rgba& p = pixels[static_cast<std::size_t>(y) * size + x];
      out.push_back(char(Byte(p.b)));
      out.push_back(char(Byte(p.g)));
      out.push_back(char(Byte(p.r)));
    }
    out.append(static_cast<std::size_t>(stride - size * 3), '\0');
  }
  return out;
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

}  // namespace talvoro::assetgen
