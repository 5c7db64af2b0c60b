// Input decisions of the Windows layer, on real forms: radio groups and
// whether a press still goes to the control after the form had it.
#include <gtest/gtest.h>

#include "platform/win32/form_input.h"

namespace talvoro::platform::win32 {
namespace {

using ui::ControlSpec;
using ui::Kind;

enum class TestId : std::uint16_t {
  Form,
  Group,
  Radio1,
  Radio2,
  Label,
  Radio3,
  Box,
  Button,
  Count
};

constexpr ui::Style kPlain{};
constexpr ui::Style kChecked{.flags = ui::flag::kChecked};
constexpr ControlSpec kControls[] = {
    {"TForm9", Kind::Form, 0, -1, -1, 200, 200, "", "", &kPlain},
    {"GroupBox1", Kind::GroupBox, 0, 0, 0, 100, 100, "", "", &kPlain},
    {"RadioButton1", Kind::RadioButton, 1, 8, 16, 80, 17, "A", "", &kChecked},
    {"RadioButton2", Kind::RadioButton, 1, 8, 40, 80, 17, "B", "", &kPlain},
    {"Label1", Kind::Label, 1, 8, 60, 80, 13, "", "", &kPlain},
    {"RadioButton3", Kind::RadioButton, 0, 110, 16, 80, 17, "C", "", &kChecked},
    {"CheckBox1", Kind::CheckBox, 0, 110, 40, 80, 17, "", "", &kPlain},
    {"Button1", Kind::Button, 0, 110, 60, 80, 25, "", "", &kPlain},
};
const ui::FormLayout kLayout{"TForm9", kControls, {}};
using TestForm = ui::Form<TestId>;
constexpr std::size_t At(TestId id) {
  return TestForm::At(id);
}

TEST(Win32FormInput, ClickingARadioButtonChecksItAndUnchecksItsSiblingsOnly) {
  TestForm form(kLayout);
  EXPECT_TRUE(ClickRadio(form, At(TestId::Radio2)));
  EXPECT_FALSE(form.Checked(TestId::Radio1));
  EXPECT_TRUE(form.Checked(TestId::Radio2));
  EXPECT_TRUE(form.Checked(TestId::Radio3));  // another parent, another group
}

TEST(Win32FormInput, ClickingTheCheckedRadioButtonIsNotReported) {
  TestForm form(kLayout);
  EXPECT_FALSE(ClickRadio(form, At(TestId::Radio1)));
  EXPECT_TRUE(form.Checked(TestId::Radio1));
  EXPECT_FALSE(form.Checked(TestId::Radio2));
}

TEST(Win32FormInput, OtherButtonsThanTheLeftOneAlwaysReachTheControl) {
  TestForm form(kLayout);
  form.OnMouseDown(TestId::Box, [](ui::MouseButton) {});
  EXPECT_TRUE(PassPressToControl(form, At(TestId::Box), false, false));
  EXPECT_TRUE(PassPressToControl(form, At(TestId::Radio1), false, true));
}

TEST(Win32FormInput, AHandledCheckBoxKeepsTheStateItsHandlerGave) {
  TestForm form(kLayout);
  EXPECT_TRUE(PassPressToControl(form, At(TestId::Box), true, false));  // no handler yet
  form.OnMouseDown(TestId::Box, [](ui::MouseButton) {});
  EXPECT_FALSE(PassPressToControl(form, At(TestId::Box), true, false));
  // Any other handled control still gets its click.
  form.OnMouseDown(TestId::Radio1, [](ui::MouseButton) {});
  EXPECT_TRUE(PassPressToControl(form, At(TestId::Radio1), true, false));
}

TEST(Win32FormInput, APressWhoseHandlerRanAModalLoopStopsAtTheForm) {
  TestForm form(kLayout);
  EXPECT_FALSE(PassPressToControl(form, At(TestId::Button), true, true));
  EXPECT_FALSE(PassPressToControl(form, At(TestId::Radio2), true, true));
  EXPECT_TRUE(PassPressToControl(form, At(TestId::Button), true, false));
}

}  // namespace
}  // namespace talvoro::platform::win32
