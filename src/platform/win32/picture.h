// A picture made from the bytes of a BMP file, drawn opaque or with the
// colour of its bottom-left pixel left out (the transparency rule of the
// program's image widgets).
#pragma once

#include <memory>
#include <string_view>

#include "platform/win32/win32_api.h"

namespace talvoro::platform::win32 {

class Picture {
 public:
  // Nothing when the bytes are not a BMP file the system can draw.
  static std::unique_ptr<Picture> FromBmp(std::string_view bytes);
  // A bitmap built into the program (a BITMAP resource of `module`);
  // nothing when there is no such resource.
  static std::unique_ptr<Picture> FromResource(HINSTANCE module, std::wstring_view name);
  ~Picture();
  Picture(const Picture&) = delete;
  Picture& operator=(const Picture&) = delete;

  int width() const { return width_; }
  int height() const { return height_; }
  void Draw(HDC dc, int x, int y, bool transparent) const;
  // Drawn stretched to `w` x `h` pixels (a window on a denser screen):
  // smoothed when opaque; with its transparent colour left out, each pixel
  // is repeated instead, so that the cut-out edge stays exact.
  void Draw(HDC dc, int x, int y, int w, int h, bool transparent) const;

 private:
  Picture() = default;

  int width_ = 0;
  int height_ = 0;
  HBITMAP colour_ = nullptr;
  HBITMAP mask_ = nullptr;     // monochrome: 1 where the picture is transparent
  HBITMAP punched_ = nullptr;  // the colour image, black where it is transparent
};

}  // namespace talvoro::platform::win32
