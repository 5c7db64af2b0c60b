#include "platform/win32/ui_resources.h"

#include "platform/win32/dpi_win32.h"
#include "platform/win32/font_faces.h"
#include "platform/win32/wide_text.h"

namespace talvoro::platform::win32 {
namespace {

constexpr int kProgramIconId = 1;

HICON LoadProgramIcon(HINSTANCE instance, int metric_x, int metric_y) {
  // LoadImage picks the icon's image closest to the size asked for; LoadIcon
  // would always take the large one and let the system shrink it.
  return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kProgramIconId), IMAGE_ICON,
                                       GetSystemMetrics(metric_x), GetSystemMetrics(metric_y),
                                       LR_DEFAULTCOLOR));
}

int CALLBACK NoteFaceFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;  // one is enough
}

}  // namespace

UiResources::UiResources(HINSTANCE instance) : instance_(instance) {
  big_icon_ = LoadProgramIcon(instance, SM_CXICON, SM_CYICON);
  small_icon_ = LoadProgramIcon(instance, SM_CXSMICON, SM_CYSMICON);
  if (!big_icon_) big_icon_ = LoadIconW(nullptr, IDI_APPLICATION);
  if (!small_icon_) small_icon_ = big_icon_;
  GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof base_font_, &base_font_);
  // The stock font is made for the system's density; each window scales it
  // for its own.
  base_font_.lfHeight = ToLogical(base_font_.lfHeight, SystemDpi());
}

UiResources::~UiResources() {
  for (auto& [key, font] : fonts_) DeleteObject(font);
  for (auto& [key, brush] : brushes_) DeleteObject(brush);
  // Icons loaded from the module without LR_SHARED are ours to destroy.
  if (small_icon_ && small_icon_ != big_icon_) DestroyIcon(small_icon_);
  if (big_icon_) DestroyIcon(big_icon_);
}

HFONT UiResources::Font(const ui::Style* style, bool underline, int dpi) {
  const std::uint32_t flags = style ? style->flags : 0;
  const std::wstring face =
      style && style->font ? Utf8ToWide(style->font) : std::wstring(base_font_.lfFaceName);
  // A negative height asks for that character height in pixels, which is
  // what the tables give (positive would include the internal leading).
  const int height =
      FontHeightFor(style && style->font_px > 0 ? -style->font_px : base_font_.lfHeight, dpi);
  const bool bold = (flags & ui::flag::kBold) != 0;
  const bool italic = (flags & ui::flag::kItalic) != 0;
  const FontKey key{face, height, bold, italic, underline};
  if (auto it = fonts_.find(key); it != fonts_.end()) return it->second;

  LOGFONTW lf = base_font_;
  const std::wstring installed = InstalledFace(face);
  lf.lfHeight = height;
  lf.lfWidth = 0;
  lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = italic;
  lf.lfUnderline = underline;
  lf.lfCharSet = DEFAULT_CHARSET;
  const std::size_t n = installed.copy(lf.lfFaceName, LF_FACESIZE - 1);
  lf.lfFaceName[n] = L'\0';
  HFONT font = CreateFontIndirectW(&lf);
  if (!font) font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  fonts_.emplace(key, font);
  return font;
}

std::wstring UiResources::InstalledFace(const std::wstring& face) {
  if (auto it = installed_faces_.find(face); it != installed_faces_.end()) return it->second;
  std::wstring chosen = face;
  // CreateFont never fails for a face that is not installed: it quietly
  // hands out another one. Whether a face exists is asked of the font
  // enumeration instead (the callback runs once per matching face).
  HDC screen = GetDC(nullptr);
  for (std::wstring_view candidate : FaceCandidates(face)) {
    if (candidate.size() >= LF_FACESIZE) continue;
    LOGFONTW query{};
    query.lfCharSet = DEFAULT_CHARSET;
    candidate.copy(query.lfFaceName, candidate.size());
    bool found = false;
    EnumFontFamiliesExW(screen, &query, &NoteFaceFound, reinterpret_cast<LPARAM>(&found), 0);
    if (found) {
      chosen = std::wstring(candidate);
      break;
    }
  }
  ReleaseDC(nullptr, screen);
  installed_faces_.emplace(face, chosen);
  return chosen;
}

HBRUSH UiResources::Brush(std::uint32_t rgb) {
  // The system's own brush follows a change of the colour scheme.
  if (rgb == ui::kDefaultColour) return GetSysColorBrush(COLOR_BTNFACE);
  if (auto it = brushes_.find(rgb); it != brushes_.end()) return it->second;
  HBRUSH brush = CreateSolidBrush(ToColorRef(rgb, 0));
  brushes_.emplace(rgb, brush);
  return brush;
}

COLORREF UiResources::ToColorRef(std::uint32_t rgb, COLORREF fallback) {
  if (rgb == ui::kDefaultColour) return fallback;
  return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

}  // namespace talvoro::platform::win32
