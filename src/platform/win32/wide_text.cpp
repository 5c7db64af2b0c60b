#include "platform/win32/wide_text.h"

#include "platform/win32/win32_api.h"

namespace talvoro::platform::win32 {
namespace {

constexpr UINT kWindows1252 = 1252;

std::wstring ToWide(UINT code_page, std::string_view text) {
  if (text.empty()) return {};
  const int length =
      MultiByteToWideChar(code_page, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(code_page, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                      length);
  return wide;
}

}  // namespace

std::wstring Utf8ToWide(std::string_view utf8) {
  return ToWide(CP_UTF8, utf8);
}

std::string WideToUtf8(std::wstring_view wide) {
  if (wide.empty()) return {};
  const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                         nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), length,
                      nullptr, nullptr);
  return utf8;
}

std::wstring AnsiToWide(std::string_view ansi) {
  return ToWide(kWindows1252, ansi);
}

std::string WideToAnsi(std::wstring_view wide, bool* lossy) {
  if (lossy) *lossy = false;
  if (wide.empty()) return {};
  // No "best fit": a look-alike letter would name another file than the one
  // meant, while '?' makes the loss visible (and lets the caller react).
  BOOL used_default = FALSE;
  const int length =
      WideCharToMultiByte(kWindows1252, WC_NO_BEST_FIT_CHARS, wide.data(),
                          static_cast<int>(wide.size()), nullptr, 0, "?", &used_default);
  std::string ansi(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(kWindows1252, WC_NO_BEST_FIT_CHARS, wide.data(),
                      static_cast<int>(wide.size()), ansi.data(), length, "?", &used_default);
  if (lossy) *lossy = used_default != FALSE;
  return ansi;
}

}  // namespace talvoro::platform::win32
