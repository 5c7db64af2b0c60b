// Drawing the controls that are drawn here rather than by the system: panels,
// group boxes, pages, the on/off switch, pictures, speed buttons and the
// tool bar's images.
#include <algorithm>

#include "platform/win32/form_window.h"
#include "platform/win32/form_window_internal.h"
#include "platform/win32/layout_plan.h"
#include "platform/win32/switch_geometry.h"
#include "platform/win32/wide_text.h"

namespace talvoro::platform::win32 {

using ui::Kind;

namespace {

// Selects GDI objects into a DC for the length of a scope.
class Selected {
 public:
  Selected(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
  ~Selected() { SelectObject(dc_, old_); }
  Selected(const Selected&) = delete;
  Selected& operator=(const Selected&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

RECT ToRect(const Box& box) {
  return RECT{box.left, box.top, box.right, box.bottom};
}

void FillRoundRect(HDC dc, const RECT& r, int radius, COLORREF fill, COLORREF border) {
  HBRUSH brush = CreateSolidBrush(fill);
  HPEN pen = CreatePen(PS_SOLID, 1, border);
  {
    Selected b(dc, brush);
    Selected p(dc, pen);
    RoundRect(dc, r.left, r.top, r.right, r.bottom, radius, radius);
  }
  DeleteObject(pen);
  DeleteObject(brush);
}

COLORREF Blend(COLORREF a, COLORREF b, int percent_b) {
  auto mix = [&](int x, int y) { return (x * (100 - percent_b) + y * percent_b) / 100; };
  return RGB(mix(GetRValue(a), GetRValue(b)), mix(GetGValue(a), GetGValue(b)),
             mix(GetBValue(a), GetBValue(b)));
}

// A 0xRRGGBB colour darkened towards black by `percent`.
std::uint32_t Darker(std::uint32_t rgb, int percent) {
  auto channel = [&](int shift) {
    const std::uint32_t value = (rgb >> shift) & 0xFF;
    return (value * static_cast<std::uint32_t>(100 - percent) / 100) << shift;
  };
  return channel(16) | channel(8) | channel(0);
}

}  // namespace

void FormWindow::PaintContainer(std::size_t i, HDC dc) {
  const HWND hwnd = controls_[i].hwnd;
  RECT client{};
  GetClientRect(hwnd, &client);
  const std::uint32_t background = BackgroundColour(form_.layout(), i);
  FillRect(dc, &client, res_.Brush(background));
  const std::wstring text = Utf8ToWide(form_.state(i).text);
  const Kind kind = Desc(i).kind;
  if (kind == Kind::Page) return;

  Selected font(dc, controls_[i].font);
  SetBkMode(dc, TRANSPARENT);
  const ui::Style* style = Desc(i).style;
  const bool enabled = IsWindowEnabled(hwnd) != FALSE;
  SetTextColor(dc, enabled ? UiResources::ToColorRef(style ? style->colour : ui::kDefaultColour,
                                                     GetSysColor(COLOR_BTNTEXT))
                           : GetSysColor(COLOR_GRAYTEXT));
  if (kind == Kind::GroupBox) {
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    RECT frame = client;
    frame.top += metrics.tmHeight / 2;
    DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
    if (!text.empty()) {
      RECT caption{Px(8), 0, client.right - Px(8), metrics.tmHeight};
      DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &caption,
                DT_SINGLELINE | DT_LEFT | DT_TOP | DT_CALCRECT);
      RECT gap{caption.left - Px(2), caption.top, caption.right + Px(2), caption.bottom};
      FillRect(dc, &gap, res_.Brush(background));
      DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &caption,
                DT_SINGLELINE | DT_LEFT | DT_TOP);
    }
  } else if (!text.empty()) {
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &client,
              DT_SINGLELINE | DT_CENTER | DT_VCENTER);
  }
}

void FormWindow::PaintSwitch(std::size_t i, HDC dc) {
  const HWND hwnd = controls_[i].hwnd;
  RECT client{};
  GetClientRect(hwnd, &client);
  const std::uint32_t background = BackgroundColour(form_.layout(), i);
  FillRect(dc, &client, res_.Brush(background));

  const ui::ControlState& state = form_.state(i);
  const bool on = state.checked;
  const bool enabled = IsWindowEnabled(hwnd) != FALSE;
  const std::wstring caption = Utf8ToWide(state.text);
  const SwitchGeometry g = LayoutSwitch(client.right, client.bottom, on, !caption.empty(), dpi_);

  // On: a green track with the knob at the "on" end; off: a grey one. The
  // disabled look washes both out towards the background.
  const COLORREF face = UiResources::Face(background);
  COLORREF track = on ? RGB(46, 160, 67) : RGB(150, 150, 150);
  COLORREF border = on ? RGB(30, 110, 45) : RGB(105, 105, 105);
  COLORREF knob = RGB(255, 255, 255);
  COLORREF label = on ? RGB(255, 255, 255) : RGB(40, 40, 40);
  if (!enabled) {
    track = Blend(track, face, 60);
    border = Blend(border, face, 60);
    knob = Blend(knob, face, 40);
    label = Blend(label, face, 55);
  }
  const RECT track_rect = ToRect(g.track);
  const int track_radius = std::min(g.track.width(), g.track.height());
  FillRoundRect(dc, track_rect, track_radius, track, border);
  const RECT knob_rect = ToRect(g.knob);
  const int knob_radius = std::min(g.knob.width(), g.knob.height());
  FillRoundRect(dc, knob_rect, knob_radius, knob, border);

  SetBkMode(dc, TRANSPARENT);
  {
    Selected font(dc, res_.Font(nullptr, false, dpi_));
    SetTextColor(dc, label);
    RECT text_rect = ToRect(g.state_text);
    const wchar_t* word = on ? L"ON" : L"OFF";
    DrawTextW(dc, word, -1, &text_rect, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
  }
  if (!caption.empty() && g.caption.width() > 0) {
    Selected font(dc, controls_[i].font);
    const ui::Style* style = Desc(i).style;
    SetTextColor(dc, enabled ? UiResources::ToColorRef(style ? style->colour : ui::kDefaultColour,
                                                       GetSysColor(COLOR_BTNTEXT))
                             : GetSysColor(COLOR_GRAYTEXT));
    RECT caption_rect = ToRect(g.caption);
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &caption_rect,
              DT_SINGLELINE | DT_LEFT | DT_VCENTER | DT_END_ELLIPSIS);
  }
  // The focus mark, unless the keyboard cues are hidden (until the user
  // first works with the keyboard, where the system asks for that).
  if (GetFocus() == hwnd && (SendMessageW(hwnd, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS) == 0) {
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 255, 255));
    DrawFocusRect(dc, &client);
  }
}

void FormWindow::PaintImage(std::size_t i, HDC dc) {
  RECT client{};
  GetClientRect(controls_[i].hwnd, &client);
  FillRect(dc, &client, res_.Brush(BackgroundColour(form_.layout(), i)));
  if (const Picture* picture = controls_[i].picture.get())
    picture->Draw(dc, 0, 0, Px(picture->width()), Px(picture->height()),
                  (Flags(i) & ui::flag::kTransparent) != 0);
}

void FormWindow::DrawSpeedButton(std::size_t i, const DRAWITEMSTRUCT& item) {
  HDC dc = item.hDC;
  RECT rect = item.rcItem;
  const ui::ControlState& state = form_.state(i);
  const ui::Style* style = Desc(i).style;
  const bool pushed = (item.itemState & ODS_SELECTED) != 0 || state.checked;
  const bool enabled = (item.itemState & ODS_DISABLED) == 0;
  const std::uint32_t face = style ? style->face : ui::kDefaultColour;
  FillRect(dc, &rect,
           face != ui::kDefaultColour ? res_.Brush(face)
                                      : res_.Brush(BackgroundColour(form_.layout(), i)));
  const std::uint32_t raised = style ? style->raised : ui::kDefaultColour;
  if (raised != ui::kDefaultColour && face != ui::kDefaultColour) {
    // A bevel in the button's own colours (DrawEdge would take the system's
    // grey ones): the raised colour lights the top and left edges, a darker
    // face shades the others; pushed, the two change places.
    const std::uint32_t dark = Darker(face, 45);
    const std::uint32_t top_left = pushed ? dark : raised;
    const std::uint32_t bottom_right = pushed ? raised : dark;
    const LONG w = rect.right - rect.left;
    const LONG h = rect.bottom - rect.top;
    for (LONG k = 0; k < Px(2); ++k) {
      const RECT top{rect.left + k, rect.top + k, rect.left + w - k, rect.top + k + 1};
      const RECT left{rect.left + k, rect.top + k, rect.left + k + 1, rect.top + h - k};
      const RECT bottom{rect.left + k, rect.top + h - k - 1, rect.left + w - k, rect.top + h - k};
      const RECT right{rect.left + w - k - 1, rect.top + k, rect.left + w - k, rect.top + h - k};
      FillRect(dc, &top, res_.Brush(top_left));
      FillRect(dc, &left, res_.Brush(top_left));
      FillRect(dc, &bottom, res_.Brush(bottom_right));
      FillRect(dc, &right, res_.Brush(bottom_right));
    }
    InflateRect(&rect, -Px(2), -Px(2));
  } else {
    DrawEdge(dc, &rect, pushed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_ADJUST);
  }
  if (pushed) OffsetRect(&rect, 1, 1);

  const std::wstring text = Utf8ToWide(state.text);
  const Picture* picture = controls_[i].picture.get();
  Selected font(dc, controls_[i].font);
  SetBkMode(dc, TRANSPARENT);
  SIZE text_size{};
  if (!text.empty())
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &text_size);
  const int gap = picture && !text.empty() ? Px(4) : 0;
  const int picture_w = picture ? Px(picture->width()) : 0;
  const int picture_h = picture ? Px(picture->height()) : 0;
  const int content_w = picture_w + gap + text_size.cx;
  int x = rect.left + (rect.right - rect.left - content_w) / 2;
  if (picture) {
    const int y = rect.top + (rect.bottom - rect.top - picture_h) / 2;
    // Glyphs leave out their bottom-left colour, like the original buttons.
    picture->Draw(dc, x, y, picture_w, picture_h, true);
    x += picture_w + gap;
  }
  if (!text.empty()) {
    SetTextColor(dc, enabled ? UiResources::ToColorRef(style ? style->colour : ui::kDefaultColour,
                                                       GetSysColor(COLOR_BTNTEXT))
                             : GetSysColor(COLOR_GRAYTEXT));
    RECT text_rect{x, rect.top, rect.right, rect.bottom};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &text_rect,
              DT_SINGLELINE | DT_LEFT | DT_VCENTER);
  }
  if ((item.itemState & ODS_FOCUS) != 0 && (item.itemState & ODS_NOFOCUSRECT) == 0) {
    RECT mark = item.rcItem;
    InflateRect(&mark, -Px(3), -Px(3));
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 255, 255));
    DrawFocusRect(dc, &mark);
  }
}

// ---------------------------------------------------------------------------
// Tool bar images.

namespace {

enum class Glyph { Quit, Reduce, Import, Export, Settings, Help, Letter };

Glyph GlyphFor(std::wstring_view hint) {
  struct Entry {
    std::wstring_view prefix;
    Glyph glyph;
  };
  static constexpr Entry kKnown[] = {
      {L"Quitter", Glyph::Quit},
      {L"R\u00e9duire", Glyph::Reduce},
      {L"Importer", Glyph::Import},
      {L"Exporter", Glyph::Export},
      {L"Param\u00e8tres", Glyph::Settings},
      {L"Aide", Glyph::Help},
  };
  for (const Entry& entry : kKnown)
    if (hint.substr(0, entry.prefix.size()) == entry.prefix) return entry.glyph;
  return Glyph::Letter;
}

void Fill(HDC dc, int l, int t, int r, int b, COLORREF colour) {
  HBRUSH brush = CreateSolidBrush(colour);
  RECT rect{l, t, r, b};
  FillRect(dc, &rect, brush);
  DeleteObject(brush);
}

void Polygon(HDC dc, std::initializer_list<POINT> points, COLORREF colour) {
  HBRUSH brush = CreateSolidBrush(colour);
  HPEN pen = CreatePen(PS_SOLID, 1, colour);
  {
    Selected b(dc, brush);
    Selected p(dc, pen);
    ::Polygon(dc, points.begin(), static_cast<int>(points.size()));
  }
  DeleteObject(pen);
  DeleteObject(brush);
}

void Folder(HDC dc) {
  const COLORREF edge = RGB(150, 110, 20);
  Fill(dc, 1, 5, 7, 7, edge);
  Fill(dc, 1, 6, 15, 15, edge);
  Fill(dc, 2, 7, 14, 14, RGB(250, 210, 90));
}

void DrawGlyph(HDC dc, Glyph glyph, wchar_t letter) {
  switch (glyph) {
    case Glyph::Quit: {
      // A door with an arrow leaving it.
      Fill(dc, 2, 1, 10, 15, RGB(90, 60, 30));
      Fill(dc, 3, 2, 9, 14, RGB(170, 120, 60));
      Fill(dc, 7, 8, 8, 9, RGB(250, 220, 80));
      Fill(dc, 8, 7, 12, 9, RGB(200, 30, 30));
      Polygon(dc, {{11, 4}, {15, 8}, {11, 12}}, RGB(200, 30, 30));
      break;
    }
    case Glyph::Reduce:
      // A window with the "minimise" bar.
      Fill(dc, 1, 2, 15, 14, RGB(60, 60, 60));
      Fill(dc, 2, 3, 14, 6, RGB(20, 60, 160));
      Fill(dc, 2, 6, 14, 13, RGB(255, 255, 255));
      Fill(dc, 5, 10, 11, 12, RGB(20, 20, 20));
      break;
    case Glyph::Import:
      Folder(dc);
      Fill(dc, 7, 0, 10, 6, RGB(30, 150, 40));
      Polygon(dc, {{4, 5}, {12, 5}, {8, 10}}, RGB(30, 150, 40));
      break;
    case Glyph::Export:
      Folder(dc);
      Fill(dc, 7, 4, 10, 11, RGB(30, 80, 190));
      Polygon(dc, {{4, 5}, {12, 5}, {8, 0}}, RGB(30, 80, 190));
      break;
    case Glyph::Settings:
      // Three sliders.
      for (int row = 0; row < 3; ++row) {
        const int y = 3 + row * 5;
        Fill(dc, 1, y, 15, y + 1, RGB(80, 80, 80));
        const int knob = row == 1 ? 9 : (row == 0 ? 4 : 11);
        Fill(dc, knob - 1, y - 2, knob + 2, y + 3, RGB(30, 80, 190));
      }
      break;
    case Glyph::Help:
    case Glyph::Letter: {
      if (glyph == Glyph::Help) {
        HBRUSH brush = CreateSolidBrush(RGB(30, 80, 190));
        HPEN pen = CreatePen(PS_SOLID, 1, RGB(20, 50, 130));
        {
          Selected b(dc, brush);
          Selected p(dc, pen);
          Ellipse(dc, 0, 0, 16, 16);
        }
        DeleteObject(pen);
        DeleteObject(brush);
        letter = L'?';
      } else {
        Fill(dc, 1, 1, 15, 15, RGB(90, 90, 90));
        Fill(dc, 2, 2, 14, 14, RGB(230, 230, 230));
      }
      LOGFONTW lf{};
      lf.lfHeight = -12;
      lf.lfWeight = FW_BOLD;
      lf.lfCharSet = DEFAULT_CHARSET;
      lstrcpynW(lf.lfFaceName, L"Arial", LF_FACESIZE);
      HFONT font = CreateFontIndirectW(&lf);
      {
        Selected f(dc, font);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, glyph == Glyph::Help ? RGB(255, 255, 255) : RGB(30, 30, 30));
        RECT rect{0, 0, kGlyphSize, kGlyphSize};
        DrawTextW(dc, &letter, 1, &rect, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
      }
      DeleteObject(font);
      break;
    }
  }
}

}  // namespace

int AddToolGlyph(HIMAGELIST images, std::wstring_view hint, std::wstring_view caption,
                 int size) {
  const COLORREF kMaskColour = RGB(255, 0, 255);  // never used in a drawing
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, size, size);
  ReleaseDC(nullptr, screen);
  {
    Selected selected(dc, bitmap);
    Fill(dc, 0, 0, size, size, kMaskColour);
    // The glyphs are drawn on a 16 x 16 grid; a larger image scales the
    // drawing itself (shapes and letter drawn at the size shown), not a
    // finished 16 x 16 bitmap.
    if (size != kGlyphSize) {
      SetGraphicsMode(dc, GM_ADVANCED);
      const float scale = static_cast<float>(size) / kGlyphSize;
      const XFORM transform{scale, 0.0f, 0.0f, scale, 0.0f, 0.0f};
      SetWorldTransform(dc, &transform);
    }
    std::wstring_view source = !hint.empty() ? hint : caption;
    const wchar_t letter = source.empty() ? L'?' : source.front();
    DrawGlyph(dc, GlyphFor(hint), letter);
  }
  DeleteDC(dc);
  // The image list copies the bitmap and derives the mask (and from it the
  // disabled look) from the mask colour.
  const int index = ImageList_AddMasked(images, bitmap, kMaskColour);
  DeleteObject(bitmap);
  return index;
}

}  // namespace talvoro::platform::win32
