// Layout pixels (96 dpi) to screen pixels and back.
#include <gtest/gtest.h>

#include "platform/win32/dpi_scale.h"

namespace talvoro::platform::win32 {
namespace {

TEST(Win32DpiScale, At96DpiNothingChanges) {
  for (int v : {-7, -1, 0, 1, 8, 704, 513, 100000}) {
    EXPECT_EQ(ToDevice(v, 96), v);
    EXPECT_EQ(ToLogical(v, 96), v);
  }
}

TEST(Win32DpiScale, RoundsToTheNearestPixelWithHalvesAwayFromZero) {
  // 120 dpi: x 1.25.
  EXPECT_EQ(ToDevice(1, 120), 1);  // 1.25
  EXPECT_EQ(ToDevice(2, 120), 3);  // 2.5
  EXPECT_EQ(ToDevice(3, 120), 4);  // 3.75
  EXPECT_EQ(ToDevice(16, 120), 20);
  // 144 dpi: x 1.5.
  EXPECT_EQ(ToDevice(1, 144), 2);    // 1.5
  EXPECT_EQ(ToDevice(3, 144), 5);    // 4.5
  EXPECT_EQ(ToDevice(13, 144), 20);  // 19.5
  EXPECT_EQ(ToDevice(-1, 144), -2);  // symmetric around zero, as MulDiv
  EXPECT_EQ(ToDevice(-3, 144), -5);
  // 192 dpi: x 2.
  EXPECT_EQ(ToDevice(7, 192), 14);
  EXPECT_EQ(ToDevice(-7, 192), -14);
  // Back: 1056 pixels at 144 dpi are 704 layout pixels; 5 are 3.33.
  EXPECT_EQ(ToLogical(1056, 144), 704);
  EXPECT_EQ(ToLogical(5, 144), 3);
  EXPECT_EQ(ToLogical(4, 144), 3);  // 2.67
  EXPECT_EQ(ToLogical(-4, 144), -3);
  EXPECT_EQ(ToLogical(3, 120), 2);  // 2.4
}

TEST(Win32DpiScale, TheMainWindowAt144Dpi) {
  EXPECT_EQ(ToDevice(704, 144), 1056);
  EXPECT_EQ(ToDevice(513, 144), 770);  // 769.5
}

TEST(Win32DpiScale, LogicalToDeviceAndBackIsExactAtEveryCommonDensity) {
  for (int dpi : {96, 120, 144, 168, 192, 240, 288}) {
    for (int v = -2000; v <= 2000; ++v) {
      ASSERT_EQ(ToLogical(ToDevice(v, dpi), dpi), v) << v << " at " << dpi;
    }
  }
}

TEST(Win32DpiScale, FontHeightsRoundTowardsZero) {
  EXPECT_EQ(FontHeightFor(-11, 96), -11);
  EXPECT_EQ(FontHeightFor(-11, 144), -16);  // 16.5: the text stays inside its box
  EXPECT_EQ(FontHeightFor(-11, 120), -13);  // 13.75
  EXPECT_EQ(FontHeightFor(-11, 192), -22);
  EXPECT_EQ(FontHeightFor(13, 144), 19);  // a cell height (positive), 19.5
  EXPECT_EQ(FontHeightFor(0, 144), 0);    // the default size stays the default
}

TEST(Win32DpiScale, NoDensityCountsAs96) {
  EXPECT_EQ(ToDevice(50, 0), 50);
  EXPECT_EQ(ToLogical(50, 0), 50);
  EXPECT_EQ(ToDevice(50, -144), 50);
}

TEST(Win32DpiScale, LargeValuesDoNotOverflow) {
  EXPECT_EQ(ToDevice(20000000, 192), 40000000);
  EXPECT_EQ(ToLogical(40000000, 192), 20000000);
}

}  // namespace
}  // namespace talvoro::platform::win32
