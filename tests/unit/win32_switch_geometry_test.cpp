// Where the on/off switch draws its track, knob, state word and caption.
#include <gtest/gtest.h>

#include "platform/win32/switch_geometry.h"

namespace talvoro::platform::win32 {
namespace {

TEST(Win32SwitchGeometry, WideSwitchSlidesItsKnobRightWhenOn) {
  const SwitchGeometry off = LayoutSwitch(50, 22, false, false);
  const SwitchGeometry on = LayoutSwitch(50, 22, true, false);
  EXPECT_FALSE(off.vertical);
  EXPECT_EQ(off.track.left, 1);
  EXPECT_EQ(off.track.right, 49);
  EXPECT_LT(off.knob.right, 25);  // knob at the left end
  EXPECT_GT(on.knob.left, 25);    // knob at the right end
  // The state word takes the part of the track the knob leaves free.
  EXPECT_GE(off.state_text.left, off.knob.right);
  EXPECT_LE(on.state_text.right, on.knob.left);
  EXPECT_EQ(off.caption.width(), 0);  // no caption, no caption area
}

TEST(Win32SwitchGeometry, TallSwitchIsALeverWithTheKnobUpWhenOn) {
  const SwitchGeometry on = LayoutSwitch(22, 50, true, false);
  const SwitchGeometry off = LayoutSwitch(22, 50, false, false);
  EXPECT_TRUE(on.vertical);
  EXPECT_LT(on.knob.bottom, 25);
  EXPECT_GT(off.knob.top, 25);
  EXPECT_GE(on.state_text.top, on.knob.bottom);
}

TEST(Win32SwitchGeometry, ACaptionTakesTheRightOfAWideBox) {
  const SwitchGeometry g = LayoutSwitch(200, 20, true, true);
  EXPECT_EQ(g.track.right, 39);  // the track is twice as wide as tall
  EXPECT_EQ(g.caption.left, 44);
  EXPECT_EQ(g.caption.right, 200);
  // Too narrow for a caption area: the switch keeps the whole box.
  const SwitchGeometry narrow = LayoutSwitch(30, 20, true, true);
  EXPECT_EQ(narrow.caption.width(), 0);
  EXPECT_EQ(narrow.track.right, 29);
}

TEST(Win32SwitchGeometry, DegenerateBoxesGiveEmptyPartsNotInvertedOnes) {
  for (int w : {0, 1, 2, 3}) {
    for (int h : {0, 1, 2, 3}) {
      const SwitchGeometry g = LayoutSwitch(w, h, true, true);
      EXPECT_GE(g.track.width(), 0);
      EXPECT_GE(g.track.height(), 0);
      EXPECT_GE(g.knob.width(), 0);
      EXPECT_GE(g.knob.height(), 0);
    }
  }
}

TEST(Win32SwitchGeometry, AtHigherDensityTheGapsGrowWithTheBox) {
  // The 50 x 22 switch of the tables at 144 dpi is 75 x 33 pixels.
  const SwitchGeometry at96 = LayoutSwitch(50, 22, true, false);
  const SwitchGeometry at144 = LayoutSwitch(75, 33, true, false, 144);
  EXPECT_EQ(at96.knob.left - at96.track.left, at96.track.right - at96.track.left - 20 + 2);
  // The knob keeps its inset from the track in proportion: 2 -> 3 pixels.
  EXPECT_EQ(at96.track.bottom - at96.knob.bottom, 2);
  EXPECT_EQ(at144.track.bottom - at144.knob.bottom, 3);
  EXPECT_EQ(at144.knob.top - at144.track.top, 3);
  // A caption starts 4 -> 6 pixels right of the track.
  const SwitchGeometry captioned = LayoutSwitch(300, 30, true, true, 144);
  EXPECT_EQ(captioned.caption.left, 60 + 6);
  // At 96 dpi the default is the table's own geometry.
  const SwitchGeometry same = LayoutSwitch(200, 20, true, true, 96);
  EXPECT_EQ(same.caption.left, LayoutSwitch(200, 20, true, true).caption.left);
}

}  // namespace
}  // namespace talvoro::platform::win32
