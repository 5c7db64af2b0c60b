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

// A 1920 x 1080 primary at 100 %, a 3840 x 2160 monitor right of it at
// 200 % and a 1280 x 1024 one left of it at 150 %.
constexpr Monitor kMonitors[] = {
    {0, 0, 1920, 1080, 96}, {1920, 0, 5760, 2160, 192}, {-1280, 0, 0, 1024, 144}};

bool Same(ScreenPoint a, ScreenPoint b) {
  return a.x == b.x && a.y == b.y;
}

TEST(Win32ScreenCoordinates, EachMonitorKeepsItsCornerAndScalesFromIt) {
  const LogicalArea right = LogicalAreaOf(kMonitors[1]);
  EXPECT_EQ(right.left, 1920);
  EXPECT_EQ(right.top, 0);
  EXPECT_EQ(right.width, 1920);
  EXPECT_EQ(right.height, 1080);
  const LogicalArea left = LogicalAreaOf(kMonitors[2]);
  EXPECT_EQ(left.left, -1280);
  EXPECT_EQ(left.width, 853);
  EXPECT_EQ(left.height, 683);

  EXPECT_TRUE(Same(ToLogicalOn(kMonitors[0], {1000, 500}), {1000, 500}));
  EXPECT_TRUE(Same(ToLogicalOn(kMonitors[1], {4920, 100}), {3420, 50}));
  EXPECT_TRUE(Same(ToDeviceOn(kMonitors[1], {3420, 50}), {4920, 100}));
  EXPECT_TRUE(Same(ToLogicalOn(kMonitors[2], {-1160, 90}), {-1200, 60}));
  EXPECT_TRUE(Same(ToDeviceOn(kMonitors[2], {-1200, 60}), {-1160, 90}));
}

TEST(Win32ScreenCoordinates, ALogicalPointBelongsToOneMonitorOrTheNearest) {
  EXPECT_EQ(MonitorOfLogicalPoint(kMonitors, {1000, 500}), 0u);
  // Half way into the 200 % monitor: its area does not overlap the primary's.
  EXPECT_EQ(MonitorOfLogicalPoint(kMonitors, {1920 + 960, 50}), 1u);
  EXPECT_EQ(MonitorOfLogicalPoint(kMonitors, {-1200, 60}), 2u);
  // Between the left monitor's area (up to -428) and the primary's.
  EXPECT_EQ(MonitorOfLogicalPoint(kMonitors, {-300, 10}), 2u);
  EXPECT_EQ(MonitorOfLogicalPoint(kMonitors, {-100, 10}), 0u);
  EXPECT_EQ(MonitorOfLogicalPoint(kMonitors, {5000, 5000}), 1u);
  EXPECT_EQ(MonitorOfLogicalPoint(std::span<const Monitor>(kMonitors, 1), {-5000, 0}), 0u);
}

}  // namespace
}  // namespace talvoro::platform::win32
