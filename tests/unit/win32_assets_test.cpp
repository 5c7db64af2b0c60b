// The generated pictures and icon: valid files for the program's own BMP
// checks, corners in the colour the image widgets leave out, pictures that
// tell their states apart, and the pictures built into the program matching
// the image controls and the media buttons that show them.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "../../tools/assetgen/drawing.h"
#include "dispatch/slot_map.h"
#include "platform/win32/bmp_file.h"
#include "platform/win32/layout_plan.h"
#include "ui/forms/forms.h"

namespace talvoro::assetgen {
namespace {

using platform::win32::ParseBmp;

struct Pixel {
  int r, g, b;
};

// The pixel at (x, y), y counted from the top, of a bottom-up 24-bit file.
Pixel At(const std::string& bmp, int x, int y) {
  const auto layout = ParseBmp(bmp);
  const std::size_t stride = (static_cast<std::size_t>(layout->width) * 3 + 3) / 4 * 4;
  const std::size_t row = static_cast<std::size_t>(layout->height - 1 - y);
  const std::size_t at = layout->bits_offset + row * stride + static_cast<std::size_t>(x) * 3;
  auto byte = [&](std::size_t i) { return static_cast<int>(static_cast<std::uint8_t>(bmp[i])); };
  return Pixel{byte(at + 2), byte(at + 1), byte(at)};
}

std::string Picture(const Scene& scene) {
  return Bmp24(Render(scene, kPicture, 1.0, kFace), kPicture);
}

TEST(Win32Assets, PicturesAre17PixelBmpFilesTheProgramAccepts) {
  for (const Scene& scene : {Lamp(true), Lamp(false), Speaker(false), Speaker(true)}) {
    const std::string bmp = Picture(scene);
    const auto layout = ParseBmp(bmp);
    ASSERT_TRUE(layout);
    EXPECT_EQ(layout->width, 17);
    EXPECT_EQ(layout->height, 17);
    EXPECT_EQ(layout->bit_count, 24);
    EXPECT_EQ(layout->bits_offset + layout->bits_size, bmp.size());
  }
}

TEST(Win32Assets, CornersHaveTheFaceColourSoTransparentWidgetsLeaveThemOut) {
  for (const Scene& scene : {Lamp(true), Lamp(false), Speaker(false), Speaker(true)}) {
    const std::string bmp = Picture(scene);
    for (auto [x, y] : {std::pair{0, 16}, std::pair{0, 0}, std::pair{16, 16}}) {
      const Pixel p = At(bmp, x, y);
      EXPECT_EQ(p.r, 192);
      EXPECT_EQ(p.g, 192);
      EXPECT_EQ(p.b, 192);
    }
  }
}

TEST(Win32Assets, TheLitLampIsBrightAndTheUnlitOneDark) {
  const Pixel lit = At(Picture(Lamp(true)), 8, 8);
  const Pixel unlit = At(Picture(Lamp(false)), 8, 8);
  EXPECT_GT(lit.g, 180);
  EXPECT_GT(lit.g, lit.r);
  EXPECT_LT(unlit.g, 140);
  EXPECT_GT(lit.g - unlit.g, 60);
}

TEST(Win32Assets, OnlyTheMutedSpeakerIsCrossedOutInRed) {
  auto has_red = [](const std::string& bmp) {
    for (int y = 0; y < kPicture; ++y)
      for (int x = 0; x < kPicture; ++x) {
        const Pixel p = At(bmp, x, y);
        if (p.r > 180 && p.g < 80 && p.b < 80) return true;
      }
    return false;
  };
  EXPECT_FALSE(has_red(Picture(Speaker(false))));
  EXPECT_TRUE(has_red(Picture(Speaker(true))));
}

std::uint32_t U32(const std::string& s, std::size_t at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<std::uint8_t>(s[at + i]);
  return v;
}

TEST(Win32Assets, TheIconHoldsA16AndA32PixelImageWithAlpha) {
  std::vector<std::pair<int, std::string>> images;
  for (int size : {16, 32})
    images.emplace_back(size,
                        IconImage(Render(ProgramIcon(size < 32), size, 1.0 / size, Rgba{}), size));
  const std::string ico = IconFile(images);
  ASSERT_GE(ico.size(), 6u + 2 * 16);
  EXPECT_EQ(U32(ico, 0) & 0xFFFF, 0u);  // reserved
  EXPECT_EQ(U32(ico, 2) & 0xFFFF, 1u);  // an icon
  EXPECT_EQ(U32(ico, 4) & 0xFFFF, 2u);  // two images
  std::size_t end = 6 + 2 * 16;
  for (int n = 0; n < 2; ++n) {
    const std::size_t entry = 6 + 16 * static_cast<std::size_t>(n);
    const int size = n == 0 ? 16 : 32;
    EXPECT_EQ(static_cast<std::uint8_t>(ico[entry]), size);
    EXPECT_EQ(U32(ico, entry + 6) & 0xFFFF, 32u);  // bits per pixel
    const std::uint32_t bytes = U32(ico, entry + 8);
    const std::uint32_t offset = U32(ico, entry + 12);
    EXPECT_EQ(offset, end);  // images follow each other with no gap
    end = offset + bytes;
    EXPECT_EQ(U32(ico, offset), 40u);                                       // BITMAPINFOHEADER
    EXPECT_EQ(U32(ico, offset + 8), static_cast<std::uint32_t>(2 * size));  // colour + mask
    // The top-left corner (last row of the bottom-up data) is transparent,
    // the middle of the remote control opaque.
    const std::size_t pixels = offset + 40;
    const std::size_t top_left = pixels + static_cast<std::size_t>(size - 1) * size * 4;
    EXPECT_EQ(static_cast<std::uint8_t>(ico[top_left + 3]), 0);
    const std::size_t middle = pixels + (static_cast<std::size_t>(size / 4) * size + size / 2) * 4;
    EXPECT_EQ(static_cast<std::uint8_t>(ico[middle + 3]), 255);
  }
  EXPECT_EQ(end, ico.size());
}

TEST(Win32Assets, EdgesAreAntiAliased) {
  // A shape covering the left half of a single pixel leaves it half opaque.
  const std::vector<Rgba> half = Render({Rect(0, 0, 0.5, 1, Colour(255, 0, 0))}, 1, 1.0, Rgba{});
  ASSERT_EQ(half.size(), 1u);
  EXPECT_NEAR(half[0].a, 0.5, 0.07);
  EXPECT_NEAR(half[0].r, 255, 1);  // the colour itself is not darkened by the transparent part
}

struct PictureUse {
  std::string form;
  const ui::ControlSpec* control;
  std::uint32_t background;  // 0xRRGGBB behind the control
};

// Every image control of the forms that shows a built-in picture.
std::vector<PictureUse> PictureUses() {
  const ui::FormLayout* layouts[] = {
#define FORM(Type, member, window_class) &ui::Type##Layout(),
#include "ui/forms/form_list.def"
#undef FORM
  };
  std::vector<PictureUse> uses;
  for (const ui::FormLayout* layout : layouts)
    for (std::size_t i = 0; i < layout->controls.size(); ++i) {
      const ui::ControlSpec& desc = layout->controls[i];
      if (desc.style && desc.style->picture)
        uses.push_back({std::string(layout->class_name), &desc,
                        platform::win32::BackgroundColour(*layout, i)});
    }
  return uses;
}

const BuiltInPicture* FindBuiltIn(const std::vector<BuiltInPicture>& pictures,
                                  std::string_view name) {
  for (const BuiltInPicture& picture : pictures)
    if (name == picture.name) return &picture;
  return nullptr;
}

TEST(Win32Assets, EveryBuiltInPictureAControlNamesIsDrawnAtTheControlsSize) {
  const std::vector<BuiltInPicture> pictures = BuiltInPictures();
  const std::vector<PictureUse> uses = PictureUses();
  ASSERT_FALSE(uses.empty());
  for (const PictureUse& use : uses) {
    SCOPED_TRACE(use.form + "." + use.control->name);
    EXPECT_EQ(use.control->kind, ui::Kind::Image);
    const BuiltInPicture* picture = FindBuiltIn(pictures, use.control->style->picture);
    ASSERT_NE(picture, nullptr) << use.control->style->picture << " is not drawn";
    EXPECT_EQ(picture->width, use.control->w);
    EXPECT_EQ(picture->height, use.control->h);
    // Drawn on the colour it is shown on: its soft edges blend in, and a
    // transparent one leaves exactly that colour out.
    ASSERT_NE(use.background, ui::kDefaultColour);
    EXPECT_EQ(Byte(picture->background.r), (use.background >> 16) & 0xFF);
    EXPECT_EQ(Byte(picture->background.g), (use.background >> 8) & 0xFF);
    EXPECT_EQ(Byte(picture->background.b), use.background & 0xFF);
  }
  // And none is drawn for nothing: an image control or a media button shows it.
  for (const BuiltInPicture& picture : pictures) {
    bool used = false;
    for (const PictureUse& use : uses)
      used = used || std::string_view(picture.name) == use.control->style->picture;
    for (const dispatch::TabSpec& tab : dispatch::Tabs())
      for (const dispatch::CodeSlot& code : tab.codes)
        used = used || (code.picture != ui::ButtonPicture::None &&
                        std::string_view(picture.name) == ui::ResourceName(code.picture));
    EXPECT_TRUE(used) << picture.name;
  }
}

// Every media button's picture is drawn, listed in the resource script that
// builds it into the program, fits inside the button's bevel and is drawn on
// the button face, whose colour its bottom-left pixel gives.
TEST(Win32Assets, EveryMediaButtonsPictureIsBuiltInAndFitsItsButton) {
  const std::vector<BuiltInPicture> pictures = BuiltInPictures();
  const std::string script = ResourceScript(pictures, "gen");
  int checked = 0;
  for (const dispatch::TabSpec& tab : dispatch::Tabs())
    for (const dispatch::CodeSlot& code : tab.codes) {
      if (code.picture == ui::ButtonPicture::None) continue;
      const char* name = ui::ResourceName(code.picture);
      SCOPED_TRACE(std::to_string(code.slot) + " " + name);
      const BuiltInPicture* picture = FindBuiltIn(pictures, name);
      ASSERT_NE(picture, nullptr) << name << " is not drawn";
      EXPECT_NE(script.find(std::string(name) + " BITMAP \"gen/" + name + ".bmp\"\n"),
                std::string::npos);
      const ui::ControlSpec& button = ui::MainLayout().controls[ui::MainForm::At(code.control)];
      ASSERT_EQ(button.kind, ui::Kind::SpeedButton);
      // Inside the 2-pixel bevel with at least 4 pixels to spare on each side.
      EXPECT_LE(picture->width, button.w - 2 * 6);
      EXPECT_LE(picture->height, button.h - 2 * 6);
      // Large enough to read: more than half the button.
      EXPECT_GT(picture->width * 2, button.w);
      // The buttons have no face colour of their own: the system's.
      EXPECT_EQ(platform::win32::BackgroundColour(ui::MainLayout(), ui::MainForm::At(code.control)),
                ui::kDefaultColour);
      EXPECT_EQ(At(PictureFile(*picture), 0, picture->height - 1).r, Byte(kButtonFace.r));
      ++checked;
    }
  EXPECT_EQ(checked, 109);
}

// The resource script names every built-in picture once, with its file.
TEST(Win32Assets, TheResourceScriptListsEveryBuiltInPicture) {
  const std::vector<BuiltInPicture> pictures = BuiltInPictures();
  const std::string script = ResourceScript(pictures, "C:/build/generated");
  std::size_t lines = 0;
  for (char c : script) lines += c == '\n' ? 1 : 0;
  EXPECT_EQ(lines, pictures.size() + 1);  // and a comment line
  for (const BuiltInPicture& picture : pictures)
    EXPECT_NE(script.find("\n" + std::string(picture.name) + " BITMAP \"C:/build/generated/" +
                          picture.name + ".bmp\"\n"),
              std::string::npos)
        << picture.name;
}

// Each pictogram is its own: no two button pictures are drawn alike.
TEST(Win32Assets, ButtonPicturesAreAllDifferent) {
  const std::vector<BuiltInPicture> pictures = BuiltInPictures();
  std::vector<std::string> files;
  for (ui::ButtonPicture picture : ui::kButtonPictures) {
    const BuiltInPicture* drawn = FindBuiltIn(pictures, ui::ResourceName(picture));
    ASSERT_NE(drawn, nullptr) << ui::ResourceName(picture);
    files.push_back(PictureFile(*drawn));
  }
  for (std::size_t i = 0; i < files.size(); ++i)
    for (std::size_t j = i + 1; j < files.size(); ++j)
      EXPECT_NE(files[i], files[j]) << ui::ResourceName(ui::kButtonPictures[i]) << " and "
                                    << ui::ResourceName(ui::kButtonPictures[j]);
}

TEST(Win32Assets, BuiltInPicturesAreBmpFilesWithTheirBackgroundInTheCorners) {
  for (const BuiltInPicture& picture : BuiltInPictures()) {
    SCOPED_TRACE(picture.name);
    const std::string bmp = PictureFile(picture);
    const auto layout = ParseBmp(bmp);
    ASSERT_TRUE(layout);
    EXPECT_EQ(layout->width, picture.width);
    EXPECT_EQ(layout->height, picture.height);
    EXPECT_EQ(layout->bit_count, 24);
    EXPECT_EQ(layout->bits_offset + layout->bits_size, bmp.size());
    const int right = picture.width - 1;
    const int bottom = picture.height - 1;
    int drawn = 0;
    for (int y = 0; y < picture.height; ++y)
      for (int x = 0; x < picture.width; ++x) {
        const Pixel p = At(bmp, x, y);
        const bool background = p.r == Byte(picture.background.r) &&
                                p.g == Byte(picture.background.g) &&
                                p.b == Byte(picture.background.b);
        // The bottom-left pixel above all: the transparency colour.
        if ((x == 0 || x == right) && (y == 0 || y == bottom)) {
          EXPECT_TRUE(background) << "corner " << x << ", " << y;
        }
        drawn += background ? 0 : 1;
      }
    // There is a drawing: at least a fifth of the picture differs from its
    // background (a twentieth for the buttons' pictograms, mostly face).
    const bool pictogram = std::string_view(picture.name).substr(0, 7) == "BUTTON_";
    EXPECT_GT(drawn * (pictogram ? 20 : 5), picture.width * picture.height);
  }
}

TEST(Win32Assets, TheWarningSignIsYellowAndThePowerSignGlowsRed) {
  const std::vector<BuiltInPicture> pictures = BuiltInPictures();
  const BuiltInPicture* warning = FindBuiltIn(pictures, "CONFLICT");
  const BuiltInPicture* power = FindBuiltIn(pictures, "COUNTDOWN");
  ASSERT_TRUE(warning && power);
  // Inside the triangle, beside the exclamation mark.
  const Pixel yellow = At(PictureFile(*warning), 11, 24);
  EXPECT_GT(yellow.r, 220);
  EXPECT_GT(yellow.g, 170);
  EXPECT_LT(yellow.b, 80);
  // On the ring, left of the centre.
  const Pixel red = At(PictureFile(*power), 6, 18);
  EXPECT_GT(red.r, 200);
  EXPECT_LT(red.g, 140);
}

}  // namespace
}  // namespace talvoro::assetgen
