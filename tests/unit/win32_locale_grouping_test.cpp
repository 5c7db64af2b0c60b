// How the locale's digit grouping string is read.
#include <gtest/gtest.h>

#include "app/about_box.h"
#include "platform/win32/locale_grouping.h"

namespace talvoro::platform::win32 {
namespace {

TEST(Win32LocaleGrouping, ThreeThenZeroGroupsEveryThreeDigits) {
  const NumberGrouping g = ParseGrouping(L"3;0", "\u202F");
  EXPECT_EQ(g.sizes, std::vector<int>{3});
  EXPECT_TRUE(g.repeat_last);
  EXPECT_EQ(g.separator, "\u202F");
  EXPECT_EQ(app::MemoryText(2147483648ull, g), "2\u202F097\u202F152 Ko");
}

TEST(Win32LocaleGrouping, IndianGroupingAndASingleGroup) {
  const NumberGrouping indian = ParseGrouping(L"3;2;0", ",");
  EXPECT_EQ(indian.sizes, (std::vector<int>{3, 2}));
  EXPECT_TRUE(indian.repeat_last);
  EXPECT_EQ(app::GroupDigits(12345678, indian), "1,23,45,678");
  const NumberGrouping once = ParseGrouping(L"3", ",");
  EXPECT_EQ(once.sizes, std::vector<int>{3});
  EXPECT_FALSE(once.repeat_last);
  EXPECT_EQ(app::GroupDigits(123456789, once), "123456,789");
}

TEST(Win32LocaleGrouping, NothingUsableGroupsNothing) {
  for (const wchar_t* text : {L"", L"0", L";", L"0;0", L"x"}) {
    const NumberGrouping g = ParseGrouping(text, ".");
    EXPECT_TRUE(g.sizes.empty()) << static_cast<int>(text[0]);
    EXPECT_EQ(app::GroupDigits(2097152, g), "2097152");
  }
  // A zero inside stops the grouping there: it could never end a group.
  const NumberGrouping g = ParseGrouping(L"3;0;2", ".");
  EXPECT_EQ(g.sizes, std::vector<int>{3});
  EXPECT_FALSE(g.repeat_last);
  EXPECT_EQ(app::GroupDigits(2097152, g), "2097.152");
}

}  // namespace
}  // namespace talvoro::platform::win32
