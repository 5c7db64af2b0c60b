// The about box: its four value texts, their refresh at every activation,
// and how it opens and closes.
#include <gtest/gtest.h>

#include "app/about_box.h"
#include "heart_fixture.h"

namespace talvoro::app {
namespace {

using ui::AboutId;

platform::NumberGrouping Grouping(std::string separator, std::vector<int> sizes = {3},
                                  bool repeat_last = true) {
  return platform::NumberGrouping{std::move(separator), std::move(sizes), repeat_last};
}

const std::string kNarrowNoBreakSpace = "\u202F";
const std::string kNoBreakSpace = "\u00A0";

TEST(AboutTexts, TwoGibibytesReadInKilobytesWithTheFrenchSeparator) {
  // Today's French locale separates thousands with U+202F; older systems
  // with U+00A0. The form model holds it as UTF-8, whatever Windows-1252 lacks.
  EXPECT_EQ(MemoryText(2147483648ull, Grouping(kNarrowNoBreakSpace)), "2\u202F097\u202F152 Ko");
  EXPECT_EQ(MemoryText(2147483648ull, Grouping(kNoBreakSpace)), "2\u00A0097\u00A0152 Ko");
  EXPECT_EQ(MemoryText(2147483648ull, Grouping(",")), "2,097,152 Ko");
}

TEST(AboutTexts, MemoryBeyondFourGibibytesIsNotCutShort) {
  EXPECT_EQ(MemoryText(8ull << 30, Grouping(" ")), "8 388 608 Ko");
  EXPECT_EQ(MemoryText(64ull << 30, Grouping(" ")), "67 108 864 Ko");
  EXPECT_EQ(MemoryText(std::uint64_t{1} << 40, Grouping(" ")), "1 073 741 824 Ko");
}

TEST(AboutTexts, KilobytesAreRoundedToTheNearestHalvesToEven) {
  const auto g = Grouping(" ");
  EXPECT_EQ(MemoryText(0, g), "0 Ko");
  EXPECT_EQ(MemoryText(511, g), "0 Ko");
  EXPECT_EQ(MemoryText(512, g), "0 Ko");  // 0.5: to the even 0
  EXPECT_EQ(MemoryText(513, g), "1 Ko");
  EXPECT_EQ(MemoryText(1536, g), "2 Ko");  // 1.5: to the even 2
  EXPECT_EQ(MemoryText(2560, g), "2 Ko");  // 2.5: to the even 2
  EXPECT_EQ(MemoryText(1023 * 1024 + 600, g), "1 024 Ko");
}

TEST(AboutTexts, DigitsAreGroupedAsTheLocaleSays) {
  EXPECT_EQ(GroupDigits(999, Grouping(" ")), "999");
  EXPECT_EQ(GroupDigits(1000, Grouping(" ")), "1 000");
  EXPECT_EQ(GroupDigits(123456789, Grouping(".")), "123.456.789");
  // Three, then twos (Indian locales: "3;2;0").
  EXPECT_EQ(GroupDigits(12345678, Grouping(",", {3, 2})), "1,23,45,678");
  // One group of three and no more ("3").
  EXPECT_EQ(GroupDigits(123456789, Grouping(",", {3}, false)), "123456,789");
  // No grouping at all.
  EXPECT_EQ(GroupDigits(2097152, Grouping(" ", {}, false)), "2097152");
  EXPECT_EQ(GroupDigits(2097152, Grouping(" ", {}, true)), "2097152");
  // A separator of several characters goes in whole.
  EXPECT_EQ(GroupDigits(1234567, Grouping("'\u202F")), "1'\u202F234'\u202F567");
}

TEST(AboutTexts, LoadResolutionAndColourDepth) {
  EXPECT_EQ(LoadText(45), "45 %");
  EXPECT_EQ(LoadText(0), "0 %");
  EXPECT_EQ(LoadText(100), "100 %");
  EXPECT_EQ(ResolutionText({1024, 768}), "1024 x 768");
  EXPECT_EQ(ResolutionText({3840, 2160}), "3840 x 2160");
  EXPECT_EQ(ColourText(32), "32 bits");
  EXPECT_EQ(ColourText(16), "16 bits");
}

// Records the order in which the view hears of text changes.
struct TextOrderView : ui::IFormView {
  std::vector<std::size_t> texts;
  void ControlChanged(std::size_t index, ui::Change what, int) override {
    if (what == ui::Change::Text) texts.push_back(index);
  }
  int TextWidth(std::size_t, std::string_view text) override { return int(text.size()) * 7; }
};

class AboutBoxTest : public test::HeartTest {
 protected:
  AboutBoxTest() {
    fake.system_info.grouping = Grouping(kNarrowNoBreakSpace);
    Start();
  }
  ui::AboutForm& about() { return app->forms().about; }
  void Open() { Click(ui::MainId::Aproposde1); }
  void Activate() { about().ViewActivate(); }
  std::vector<std::string> Values() {
    return {about().Text(AboutId::Label6), about().Text(AboutId::Label7),
            about().Text(AboutId::Label8), about().Text(AboutId::Label9)};
  }
};

TEST_F(AboutBoxTest, TheMenuEntryShowsTheBoxOnTopWithoutBlockingTheMainWindow) {
  EXPECT_FALSE(about().Shown());
  Open();
  EXPECT_TRUE(about().Shown());
  EXPECT_TRUE(about().Get(AboutId::TForm8).topmost);
  // The main window goes on working: a reduce from its menu still runs.
  EXPECT_TRUE(form().Enabled(ui::MainId::TForm1));
  Click(ui::MainId::Rduire1);
  EXPECT_EQ(state().minimised, 1);
  EXPECT_TRUE(about().Shown());
}

TEST_F(AboutBoxTest, ActivationFillsTheFourValuesInTheOrderTheyAreListed) {
  fake.system_info.memory = {2147483648ull, 37};
  fake.system_info.colour_depth = 24;
  fake.shell.screen = {1024, 768};
  TextOrderView view;
  about().AttachView(&view);
  Open();
  Activate();
  about().AttachView(nullptr);
  EXPECT_EQ(Values(),
            (std::vector<std::string>{"2\u202F097\u202F152 Ko", "37 %", "1024 x 768", "24 bits"}));
  EXPECT_EQ(view.texts,
            (std::vector<std::size_t>{
                ui::AboutForm::At(AboutId::Label6), ui::AboutForm::At(AboutId::Label7),
                ui::AboutForm::At(AboutId::Label8), ui::AboutForm::At(AboutId::Label9)}));
  // The memory status is read once for both of its lines.
  EXPECT_EQ(fake.system_info.memory_reads, 1);
}

TEST_F(AboutBoxTest, ShowsTheScreensOwnPixelsOnADenseScreen) {
  // 150 %: windows are placed on a 1280 x 720 layout, the screen has 1920 x 1080 pixels.
  fake.shell.screen = {1280, 720};
  fake.shell.resolution = platform::ScreenSize{1920, 1080};
  Open();
  Activate();
  EXPECT_EQ(about().Text(AboutId::Label8), "1920 x 1080");
}

TEST_F(AboutBoxTest, EveryActivationReadsTheComputerAfresh) {
  Open();
  Activate();
  EXPECT_EQ(about().Text(AboutId::Label8), "1024 x 768");
  // The screen changes while the box is open: seen at the next activation only.
  fake.shell.screen = {1280, 1024};
  fake.system_info.memory = {8ull << 30, 80};
  fake.system_info.colour_depth = 16;
  EXPECT_EQ(about().Text(AboutId::Label8), "1024 x 768");
  Activate();
  EXPECT_EQ(Values(),
            (std::vector<std::string>{"8\u202F388\u202F608 Ko", "80 %", "1280 x 1024", "16 bits"}));
  EXPECT_EQ(fake.system_info.memory_reads, 2);
}

TEST_F(AboutBoxTest, OkAndTheCloseBoxHideTheBoxAndTakeItOutOfTheTopmostBand) {
  Open();
  Activate();
  about().ViewClick(ui::AboutForm::At(AboutId::Button1));
  EXPECT_FALSE(about().Shown());
  EXPECT_FALSE(about().Get(AboutId::TForm8).topmost);

  Open();
  EXPECT_TRUE(about().Get(AboutId::TForm8).topmost);
  about().ViewClose();
  EXPECT_FALSE(about().Shown());
  EXPECT_FALSE(about().Get(AboutId::TForm8).topmost);
  // Opened again, it is the same box, on top again.
  Open();
  EXPECT_TRUE(about().Shown());
  EXPECT_TRUE(about().Get(AboutId::TForm8).topmost);
}

}  // namespace
}  // namespace talvoro::app
