// The BMP checks the Windows layer runs before handing picture bytes to the
// system: well-formed files pass with their layout, damaged ones are refused.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/win32/bmp_file.h"

namespace talvoro::platform::win32 {
namespace {

void Put16(std::string& s, unsigned v) {
  s.push_back(char(v & 0xFF));
  s.push_back(char((v >> 8) & 0xFF));
}
void Put32(std::string& s, std::uint32_t v) {
  Put16(s, v & 0xFFFF);
  Put16(s, v >> 16);
}

struct BmpFields {
  std::int32_t width = 17;
  std::int32_t height = 17;
  unsigned bit_count = 24;
  std::uint32_t compression = 0;
  std::uint32_t colours_used = 0;
  std::uint32_t image_size = 0;
  std::size_t palette_entries = 0;
  std::size_t pixel_bytes = 0;  // 0: exactly what the size needs
};

// A BMP file with a 40-byte info header.
std::string MakeBmp(const BmpFields& fields) {
  const std::size_t stride =
      ((static_cast<std::size_t>(fields.width) * fields.bit_count + 31) / 32) * 4;
  const std::size_t rows =
      static_cast<std::size_t>(fields.height < 0 ? -fields.height : fields.height);
  const std::size_t pixels = fields.pixel_bytes ? fields.pixel_bytes : stride * rows;
  const std::size_t offset = 14 + 40 + fields.palette_entries * 4;
  std::string s = "BM";
  Put32(s, static_cast<std::uint32_t>(offset + pixels));
  Put32(s, 0);
  Put32(s, static_cast<std::uint32_t>(offset));
  Put32(s, 40);
  Put32(s, static_cast<std::uint32_t>(fields.width));
  Put32(s, static_cast<std::uint32_t>(fields.height));
  Put16(s, 1);
  Put16(s, fields.bit_count);
  Put32(s, fields.compression);
  Put32(s, fields.image_size);
  Put32(s, 2835);
  Put32(s, 2835);
  Put32(s, fields.colours_used);
  Put32(s, 0);
  s.append(fields.palette_entries * 4, '\x7F');
  s.append(pixels, '\x10');
  return s;
}

TEST(Win32BmpFile, AcceptsTheProgramsOwnPictures) {
  const std::string bytes = MakeBmp({});
  const auto bmp = ParseBmp(bytes);
  ASSERT_TRUE(bmp);
  EXPECT_EQ(bmp->width, 17);
  EXPECT_EQ(bmp->height, 17);
  EXPECT_FALSE(bmp->top_down);
  EXPECT_EQ(bmp->bit_count, 24);
  EXPECT_EQ(bmp->info_size, 40u);
  EXPECT_EQ(bmp->colour_table, 0u);
  EXPECT_EQ(bmp->bits_offset, 54u);
  EXPECT_EQ(bmp->bits_size, 52u * 17u);  // 51 bytes a row, padded to 52
}

TEST(Win32BmpFile, PaletteAndTopDownLayouts) {
  const auto indexed =
      ParseBmp(MakeBmp({.width = 9, .height = 4, .bit_count = 8, .palette_entries = 256}));
  ASSERT_TRUE(indexed);
  EXPECT_EQ(indexed->colour_table, 1024u);
  EXPECT_EQ(indexed->bits_size, 12u * 4u);

  // A file may say it uses fewer palette entries than its depth allows.
  const auto short_palette = ParseBmp(
      MakeBmp({.width = 8, .height = 2, .bit_count = 4, .colours_used = 3, .palette_entries = 3}));
  ASSERT_TRUE(short_palette);
  EXPECT_EQ(short_palette->colour_table, 12u);

  const auto top_down = ParseBmp(MakeBmp({.height = -5, .bit_count = 32}));
  ASSERT_TRUE(top_down);
  EXPECT_TRUE(top_down->top_down);
  EXPECT_EQ(top_down->height, 5);
}

TEST(Win32BmpFile, RunLengthDataIsBoundedByItsRecordedSize) {
  EXPECT_TRUE(ParseBmp(MakeBmp({.width = 4,
                                .height = 4,
                                .bit_count = 8,
                                .compression = 1,
                                .image_size = 10,
                                .palette_entries = 256,
                                .pixel_bytes = 10})));
  // No recorded size: the decoder would have nothing to stop it.
  EXPECT_FALSE(ParseBmp(MakeBmp({.width = 4,
                                 .height = 4,
                                 .bit_count = 8,
                                 .compression = 1,
                                 .image_size = 0,
                                 .palette_entries = 256,
                                 .pixel_bytes = 10})));
  // A recorded size past the end of the file.
  EXPECT_FALSE(ParseBmp(MakeBmp({.width = 4,
                                 .height = 4,
                                 .bit_count = 8,
                                 .compression = 1,
                                 .image_size = 11,
                                 .palette_entries = 256,
                                 .pixel_bytes = 10})));
  // Run-length data cannot be stored top-down.
  EXPECT_FALSE(ParseBmp(MakeBmp({.width = 4,
                                 .height = -4,
                                 .bit_count = 8,
                                 .compression = 1,
                                 .image_size = 10,
                                 .palette_entries = 256,
                                 .pixel_bytes = 10})));
}

TEST(Win32BmpFile, RefusesDamagedFiles) {
  const std::string good = MakeBmp({});
  EXPECT_FALSE(ParseBmp(""));
  EXPECT_FALSE(ParseBmp(good.substr(0, 30)));               // header cut short
  EXPECT_FALSE(ParseBmp(good.substr(0, good.size() - 1)));  // one pixel byte missing
  std::string not_bmp = good;
  not_bmp[0] = 'X';
  EXPECT_FALSE(ParseBmp(not_bmp));
  std::string bad_offset = good;
  bad_offset[13] = char(0x7F);  // pixel data said to start far beyond the file
  EXPECT_FALSE(ParseBmp(bad_offset));
  std::string bad_header = good;
  bad_header[14] = 41;  // no such info header size
  EXPECT_FALSE(ParseBmp(bad_header));

  EXPECT_FALSE(ParseBmp(MakeBmp({.width = 0})));
  EXPECT_FALSE(ParseBmp(MakeBmp({.height = 0})));
  EXPECT_FALSE(ParseBmp(MakeBmp({.width = -3, .pixel_bytes = 64})));
  EXPECT_FALSE(ParseBmp(MakeBmp({.bit_count = 7})));
  EXPECT_FALSE(ParseBmp(MakeBmp({.compression = 4})));                   // JPEG inside a BMP
  EXPECT_FALSE(ParseBmp(MakeBmp({.bit_count = 24, .compression = 1})));  // RLE8 needs 8 bits
  // A palette file whose palette runs past the end.
  EXPECT_FALSE(ParseBmp(
      MakeBmp({.width = 2, .height = 2, .bit_count = 8, .palette_entries = 2, .pixel_bytes = 8})));
}

TEST(Win32BmpFile, AcceptsTheOldOs2Header) {
  // 12-byte header: 16-bit sizes, 3-byte palette entries.
  std::string s = "BM";
  Put32(s, 14 + 12 + 2 * 3 + 8);
  Put32(s, 0);
  Put32(s, 14 + 12 + 2 * 3);
  Put32(s, 12);
  Put16(s, 3);  // width
  Put16(s, 2);  // height
  Put16(s, 1);
  Put16(s, 1);  // 1 bit per pixel
  s.append(6, '\0');
  s.append(8, '\0');
  const auto bmp = ParseBmp(s);
  ASSERT_TRUE(bmp);
  EXPECT_EQ(bmp->width, 3);
  EXPECT_EQ(bmp->colour_table, 6u);
  EXPECT_EQ(bmp->bits_size, 8u);
}

TEST(Win32BmpFile, ABitmapResourceGetsItsFileHeaderBack) {
  // A BITMAP resource holds the file without its first 14 bytes.
  for (const BmpFields& fields :
       {BmpFields{}, BmpFields{.width = 117, .height = 165},
        BmpFields{.width = 9, .height = 4, .bit_count = 8, .palette_entries = 256},
        BmpFields{
            .width = 5, .height = 3, .bit_count = 4, .colours_used = 3, .palette_entries = 3}}) {
    const std::string file = MakeBmp(fields);
    const std::optional<std::string> rebuilt = BmpFileFromDib(std::string_view(file).substr(14));
    ASSERT_TRUE(rebuilt) << fields.width << " x " << fields.height;
    // The very file it came from: size, pixel offset past the palette, and
    // every byte after the header.
    EXPECT_EQ(*rebuilt, file) << fields.width << " x " << fields.height;
  }
}

TEST(Win32BmpFile, ADamagedBitmapResourceIsRefused) {
  const std::string file = MakeBmp({});
  const std::string_view dib = std::string_view(file).substr(14);
  EXPECT_FALSE(BmpFileFromDib(""));
  EXPECT_FALSE(BmpFileFromDib(dib.substr(0, 20)));              // header cut short
  EXPECT_FALSE(BmpFileFromDib(dib.substr(0, dib.size() - 1)));  // one pixel byte missing
  std::string bad_header(dib);
  bad_header[0] = 41;  // no such info header
  EXPECT_FALSE(BmpFileFromDib(bad_header));
}

}  // namespace
}  // namespace talvoro::platform::win32
