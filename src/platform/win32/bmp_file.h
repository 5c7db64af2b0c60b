// Checks the layout of a BMP file held in memory before its parts are handed
// to the system's bitmap functions. Those trust the header: a truncated or
// damaged file from the program directory would make them read past the
// buffer. No Windows header here, so the host's unit tests can run it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace talvoro::platform::win32 {

struct BmpLayout {
  std::size_t info_offset = 14;  // the info header follows the 14-byte file header
  std::size_t info_size = 0;     // bytes of the info header
  std::size_t colour_table = 0;  // bytes of masks and palette after the info header
  std::size_t bits_offset = 0;   // where the pixel data starts
  std::size_t bits_size = 0;     // bytes of pixel data the system will read
  int width = 0;
  int height = 0;  // always positive
  bool top_down = false;
  int bit_count = 0;
  std::uint32_t compression = 0;
};

namespace bmp_detail {

inline std::uint32_t U16(std::string_view b, std::size_t at) {
  return static_cast<std::uint8_t>(b[at]) | (static_cast<std::uint8_t>(b[at + 1]) << 8);
}
inline std::uint32_t U32(std::string_view b, std::size_t at) {
  return U16(b, at) | (U16(b, at + 2) << 16);
}

inline constexpr std::uint32_t kRgb = 0;
inline constexpr std::uint32_t kRle8 = 1;
inline constexpr std::uint32_t kRle4 = 2;
inline constexpr std::uint32_t kBitFields = 3;
inline constexpr int kMaxSide = 16384;  // far above any picture this program shows

}  // namespace bmp_detail

// The layout of a well-formed, uncompressed or RLE BMP file; nothing when any
// part of it would lie outside `bytes` or the format is not one the system's
// DIB functions take.
inline std::optional<BmpLayout> ParseBmp(std::string_view bytes) {
  using namespace bmp_detail;
  constexpr std::size_t kFileHeader = 14;
  if (bytes.size() < kFileHeader + 12) return std::nullopt;
  if (bytes[0] != 'B' || bytes[1] != 'M') return std::nullopt;

  BmpLayout bmp;
  bmp.bits_offset = U32(bytes, 10);
  bmp.info_size = U32(bytes, 14);
  const bool core = bmp.info_size == 12;  // the old OS/2 header: 16-bit sizes, 3-byte palette
  if (!core && bmp.info_size != 40 && bmp.info_size != 52 && bmp.info_size != 56 &&
      bmp.info_size != 108 && bmp.info_size != 124)
    return std::nullopt;
  if (bytes.size() < kFileHeader + bmp.info_size) return std::nullopt;

  std::int64_t height = 0;
  std::uint32_t planes = 0;
  std::uint32_t colours_used = 0;
  std::uint32_t image_size = 0;
  if (core) {
    bmp.width = static_cast<int>(U16(bytes, 18));
    height = static_cast<std::int16_t>(U16(bytes, 20));
    planes = U16(bytes, 22);
    bmp.bit_count = static_cast<int>(U16(bytes, 24));
  } else {
    bmp.width = static_cast<std::int32_t>(U32(bytes, 18));
    height = static_cast<std::int32_t>(U32(bytes, 22));
    planes = U16(bytes, 26);
    bmp.bit_count = static_cast<int>(U16(bytes, 28));
    bmp.compression = U32(bytes, 30);
    image_size = U32(bytes, 34);
    colours_used = U32(bytes, 46);
  }
  if (planes != 1) return std::nullopt;
  if (bmp.width <= 0 || bmp.width > kMaxSide) return std::nullopt;
  if (height == 0 || height > kMaxSide || height < -kMaxSide) return std::nullopt;
  bmp.top_down = height < 0;
  bmp.height = static_cast<int>(height < 0 ? -height : height);

  switch (bmp.bit_count) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
      break;
    default:
      return std::nullopt;
  }
  switch (bmp.compression) {
    case kRgb:
      break;
    case kRle8:
      if (bmp.bit_count != 8 || bmp.top_down) return std::nullopt;
      break;
    case kRle4:
      if (bmp.bit_count != 4 || bmp.top_down) return std::nullopt;
      break;
    case kBitFields:
      if (bmp.bit_count != 16 && bmp.bit_count != 32) return std::nullopt;
      break;
    default:
      return std::nullopt;
  }

  // Colour masks (a 40-byte header followed by bit fields) and the palette.
  std::size_t masks = (bmp.info_size == 40 && bmp.compression == kBitFields) ? 12 : 0;
  std::size_t entries = colours_used;
  if (bmp.bit_count <= 8) {
    const std::size_t max_entries = std::size_t{1} << bmp.bit_count;
    if (entries == 0 || entries > max_entries) entries = max_entries;
  }
  const std::size_t palette = entries * (core ? 3 : 4);
  bmp.colour_table = masks + palette;
  const std::size_t table_end = kFileHeader + bmp.info_size + bmp.colour_table;
  if (table_end > bytes.size()) return std::nullopt;
  if (bmp.bits_offset < kFileHeader + bmp.info_size || bmp.bits_offset > bytes.size())
    return std::nullopt;

  if (bmp.compression == kRle8 || bmp.compression == kRle4) {
    // The decoder reads until the stream's end code: the recorded size bounds it.
    bmp.bits_size = image_size;
    if (bmp.bits_size == 0) return std::nullopt;
  } else {
    const std::size_t stride =
        ((static_cast<std::size_t>(bmp.width) * bmp.bit_count + 31) / 32) * 4;
    bmp.bits_size = stride * static_cast<std::size_t>(bmp.height);
  }
  if (bmp.bits_size > bytes.size() - bmp.bits_offset) return std::nullopt;
  return bmp;
}

// The BMP file of a device-independent bitmap held without its file header
// (as a BITMAP resource is stored): the 14-byte header is put back in front,
// its pixel offset past the info header and colour table. Nothing when the
// result is not a file ParseBmp accepts.
inline std::optional<std::string> BmpFileFromDib(std::string_view dib) {
  constexpr std::size_t kFileHeader = 14;
  if (dib.size() < 4) return std::nullopt;
  auto put32 = [](std::string& out, std::size_t at, std::size_t v) {
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
  };
  std::string file(kFileHeader, '\0');
  file[0] = 'B';
  file[1] = 'M';
  file.append(dib);
  put32(file, 2, file.size());
  // First with the pixels right after the info header, to learn the colour
  // table's size; then at their true place, checked again.
  const std::size_t info_size = bmp_detail::U32(dib, 0);
  if (info_size > dib.size()) return std::nullopt;
  put32(file, 10, kFileHeader + info_size);
  const std::optional<BmpLayout> first = ParseBmp(file);
  if (!first) return std::nullopt;
  put32(file, 10, kFileHeader + info_size + first->colour_table);
  if (!ParseBmp(file)) return std::nullopt;
  return file;
}

}  // namespace talvoro::platform::win32
