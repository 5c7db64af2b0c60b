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

}  // namespace
}  // namespace talvoro::platform::win32
