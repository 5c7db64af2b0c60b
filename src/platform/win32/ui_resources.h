// What every form window shares: the program icon, fonts and brushes (made
// once, freed at the end), and the colour conversions.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <tuple>

#include "platform/win32/win32_api.h"
#include "ui/form_model.h"

namespace talvoro::platform::win32 {

class UiResources {
 public:
  explicit UiResources(HINSTANCE instance);
  ~UiResources();
  UiResources(const UiResources&) = delete;
  UiResources& operator=(const UiResources&) = delete;

  HINSTANCE instance() const { return instance_; }
  HICON big_icon() const { return big_icon_; }
  HICON small_icon() const { return small_icon_; }

  // The font of a style: its face, pixel height, weight and slant, each
  // falling back to the system's dialog font; its height for a window drawn
  // at `dpi` (one font per density, kept until the end).
  HFONT Font(const ui::Style* style, bool underline = false, int dpi = 96);
  // A solid brush of a 0xRRGGBB colour; kDefaultColour gives the system's
  // face colour.
  HBRUSH Brush(std::uint32_t rgb);

  // 0xRRGGBB (the tables) to COLORREF (0x00BBGGRR), with a fallback for
  // kDefaultColour.
  static COLORREF ToColorRef(std::uint32_t rgb, COLORREF fallback);
  static COLORREF Face(std::uint32_t rgb) { return ToColorRef(rgb, GetSysColor(COLOR_BTNFACE)); }

 private:
  using FontKey = std::tuple<std::wstring, int, bool, bool, bool>;  // height in device pixels

  // The face to ask GDI for: `face` when it is installed, else the first
  // installed face of the same metrics (FaceCandidates), else `face`.
  std::wstring InstalledFace(const std::wstring& face);

  HINSTANCE instance_;
  HICON big_icon_ = nullptr;
  HICON small_icon_ = nullptr;
  LOGFONTW base_font_{};  // its height in pixels of a 96 dpi screen
  std::map<FontKey, HFONT> fonts_;
  std::map<std::uint32_t, HBRUSH> brushes_;
  std::map<std::wstring, std::wstring> installed_faces_;
};

}  // namespace talvoro::platform::win32
