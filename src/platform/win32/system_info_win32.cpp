// The computer's memory, the screen's colour depth and the locale's digit
// grouping, for the about box.
#include "platform/win32/locale_grouping.h"
#include "platform/win32/services_win32.h"
#include "platform/win32/wide_text.h"

namespace talvoro::platform::win32 {

namespace {

std::wstring LocaleText(LCTYPE what) {
  const int length = GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, what, nullptr, 0);
  if (length <= 0) return {};
  std::wstring text(static_cast<std::size_t>(length), L'\0');
  const int written = GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, what, text.data(), length);
  text.resize(written > 0 ? static_cast<std::size_t>(written - 1) : 0);  // without its NUL
  return text;
}

}  // namespace

MemoryStatus Win32SystemInfo::Memory() {
  // The extended status counts memory beyond 4 GiB, which the old call
  // cannot express.
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof(status);
  if (!GlobalMemoryStatusEx(&status)) return {};
  return MemoryStatus{status.ullTotalPhys, static_cast<int>(status.dwMemoryLoad)};
}

int Win32SystemInfo::ColourDepth() {
  HDC screen = GetDC(nullptr);
  if (!screen) return 0;
  const int bits = GetDeviceCaps(screen, BITSPIXEL);
  ReleaseDC(nullptr, screen);
  return bits;
}

NumberGrouping Win32SystemInfo::LocaleGrouping() {
  // The separator is kept as the locale gives it: French uses a narrow
  // no-break space (U+202F) on today's systems, which Windows-1252 lacks.
  return ParseGrouping(LocaleText(LOCALE_SGROUPING), WideToUtf8(LocaleText(LOCALE_STHOUSAND)));
}

}  // namespace talvoro::platform::win32
