#include "platform/win32/picture.h"

#include <cstring>
#include <string>
#include <vector>

#include "platform/win32/bmp_file.h"

namespace talvoro::platform::win32 {
namespace {

// A memory DC with a bitmap selected, restored and freed on scope exit.
class MemoryDc {
 public:
  MemoryDc(HDC compatible, HBITMAP bitmap)
      : dc_(CreateCompatibleDC(compatible)), old_(SelectObject(dc_, bitmap)) {}
  ~MemoryDc() {
    SelectObject(dc_, old_);
    DeleteDC(dc_);
  }
  MemoryDc(const MemoryDc&) = delete;
  MemoryDc& operator=(const MemoryDc&) = delete;
  operator HDC() const { return dc_; }

 private:
  HDC dc_;
  HGDIOBJ old_;
};

}  // namespace

std::unique_ptr<Picture> Picture::FromBmp(std::string_view bytes) {
  const std::optional<BmpLayout> layout = ParseBmp(bytes);
  if (!layout) return nullptr;

  // The info header sits at offset 14 of the file, which leaves its 32-bit
  // fields misaligned: GDI gets an aligned copy of header, masks and palette.
  const std::size_t info_bytes = layout->info_size + layout->colour_table;
  std::vector<std::uint32_t> info((info_bytes + 3) / 4);
  std::memcpy(info.data(), bytes.data() + layout->info_offset, info_bytes);
  const auto* bitmap_info = reinterpret_cast<const BITMAPINFO*>(info.data());
  const void* bits = bytes.data() + layout->bits_offset;

  std::unique_ptr<Picture> picture(new Picture);
  picture->width_ = layout->width;
  picture->height_ = layout->height;

  HDC screen = GetDC(nullptr);
  picture->colour_ =
      CreateDIBitmap(screen, &bitmap_info->bmiHeader, CBM_INIT, bits, bitmap_info, DIB_RGB_COLORS);
  if (!picture->colour_) {
    ReleaseDC(nullptr, screen);
    return nullptr;
  }
  const int w = picture->width_;
  const int h = picture->height_;
  picture->mask_ = CreateBitmap(w, h, 1, 1, nullptr);
  picture->punched_ = CreateCompatibleBitmap(screen, w, h);
  {
    MemoryDc colour(screen, picture->colour_);
    MemoryDc mask(screen, picture->mask_);
    MemoryDc punched(screen, picture->punched_);
    // Colour-to-monochrome blits turn pixels equal to the source's background
    // colour into 1 and all others into 0: with the bottom-left pixel as
    // background this yields the transparency mask.
    SetBkColor(colour, GetPixel(colour, 0, h - 1));
    BitBlt(mask, 0, 0, w, h, colour, 0, 0, SRCCOPY);
    // Monochrome-to-colour blits turn 1 into the destination's background
    // colour and 0 into its text colour: ANDing the mask in this way blacks
    // out the transparent pixels of the copy.
    BitBlt(punched, 0, 0, w, h, colour, 0, 0, SRCCOPY);
    SetBkColor(punched, RGB(0, 0, 0));
    SetTextColor(punched, RGB(255, 255, 255));
    BitBlt(punched, 0, 0, w, h, mask, 0, 0, SRCAND);
  }
  ReleaseDC(nullptr, screen);
  return picture;
}

std::unique_ptr<Picture> Picture::FromResource(HINSTANCE module, std::wstring_view name) {
  const std::wstring id(name);
  HRSRC found = FindResourceW(module, id.c_str(), RT_BITMAP);
  if (!found) return nullptr;
  HGLOBAL loaded = LoadResource(module, found);
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data) return nullptr;
  // A BITMAP resource is the BMP file without its 14-byte file header.
  // Given one back, it takes the same road (and the same checks) as the
  // pictures read from disk. Resource memory is never freed by hand.
  const std::optional<std::string> file = BmpFileFromDib(
      std::string_view(static_cast<const char*>(data), SizeofResource(module, found)));
  return file ? FromBmp(*file) : nullptr;
}

Picture::~Picture() {
  if (colour_) DeleteObject(colour_);
  if (mask_) DeleteObject(mask_);
  if (punched_) DeleteObject(punched_);
}

void Picture::Draw(HDC dc, int x, int y, bool transparent) const {
  if (!transparent || !mask_ || !punched_) {
    MemoryDc colour(dc, colour_);
    BitBlt(dc, x, y, width_, height_, colour, 0, 0, SRCCOPY);
    return;
  }
  // Black out the opaque pixels of the destination, then OR the punched
  // image in: the transparent pixels leave the background as it was.
  const COLORREF old_bk = SetBkColor(dc, RGB(255, 255, 255));
  const COLORREF old_text = SetTextColor(dc, RGB(0, 0, 0));
  {
    MemoryDc mask(dc, mask_);
    BitBlt(dc, x, y, width_, height_, mask, 0, 0, SRCAND);
  }
  {
    MemoryDc punched(dc, punched_);
    BitBlt(dc, x, y, width_, height_, punched, 0, 0, SRCPAINT);
  }
  SetBkColor(dc, old_bk);
  SetTextColor(dc, old_text);
}

void Picture::Draw(HDC dc, int x, int y, int w, int h, bool transparent) const {
  if (w == width_ && h == height_) {
    Draw(dc, x, y, transparent);
    return;
  }
  if (w <= 0 || h <= 0) return;
  if (!transparent || !mask_ || !punched_) {
    // HALFTONE averages the source pixels each target pixel covers; it
    // needs the brush origin set afterwards.
    const int old_mode = SetStretchBltMode(dc, HALFTONE);
    POINT old_origin{};
    SetBrushOrgEx(dc, 0, 0, &old_origin);
    {
      MemoryDc colour(dc, colour_);
      StretchBlt(dc, x, y, w, h, colour, 0, 0, width_, height_, SRCCOPY);
    }
    SetBrushOrgEx(dc, old_origin.x, old_origin.y, nullptr);
    SetStretchBltMode(dc, old_mode);
    return;
  }
  // Averaged pixels would mix the punched-out black into the edge and blur
  // the mask: both are stretched pixel for pixel, and stay in register.
  const int old_mode = SetStretchBltMode(dc, COLORONCOLOR);
  const COLORREF old_bk = SetBkColor(dc, RGB(255, 255, 255));
  const COLORREF old_text = SetTextColor(dc, RGB(0, 0, 0));
  {
    MemoryDc mask(dc, mask_);
    StretchBlt(dc, x, y, w, h, mask, 0, 0, width_, height_, SRCAND);
  }
  {
    MemoryDc punched(dc, punched_);
    StretchBlt(dc, x, y, w, h, punched, 0, 0, width_, height_, SRCPAINT);
  }
  SetBkColor(dc, old_bk);
  SetTextColor(dc, old_text);
  SetStretchBltMode(dc, old_mode);
}

}  // namespace talvoro::platform::win32
