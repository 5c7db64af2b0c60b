// Shared between the files that make up FormWindow.
#pragma once

#include <string_view>

#include "platform/win32/win32_api.h"

namespace talvoro::platform::win32 {

// The one window class of the controls drawn here: panels, group boxes,
// pages, switches and pictures.
inline constexpr wchar_t kChildClass[] = L"TalvoroControl";

inline constexpr int kGlyphSize = 16;         // tool bar images
inline constexpr int kComboDropHeight = 160;  // a combo box's list, below its edit field

// Posted to a form once a menu loop is over, to rebuild the menus changed
// while it ran.
inline constexpr UINT kRebuildMenus = WM_APP + 10;

// Draws a 16 x 16 tool bar image chosen by the button's hint (a few known
// commands have a picture; anything else shows its first letter), scaled to
// `size` x `size` pixels, and adds it to `images`; returns its index.
int AddToolGlyph(HIMAGELIST images, std::wstring_view hint, std::wstring_view caption,
                 int size = kGlyphSize);

}  // namespace talvoro::platform::win32
