// Keyboard use of the forms: Tab stops, radio groups, the names screen
// readers announce, Ctrl+Tab's next page and the forms Escape closes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/keyboard_plan.h"
#include "ui/forms/forms.h"

namespace talvoro::platform::win32 {
namespace {

using ui::ControlSpec;
using ui::Kind;

enum class TestId : std::uint16_t {
  Form,
  Group,
  Radio1,
  Radio2,
  Radio3,
  Switch,
  Lamp,
  SwitchLabel,
  Bare,
  Dots,
  Digit,
  Picture,
  Clear,
  Label,
  Bar,
  Count
};

constexpr ui::Style kPlain{};
constexpr ui::Style kChecked{.flags = ui::flag::kChecked};
constexpr ui::Style kOff{.flags = ui::flag::kDisabled};
constexpr ControlSpec kControls[] = {
    {"TForm9", Kind::Form, 0, -1, -1, 300, 200, "", "", &kPlain},
    {"GroupBox1", Kind::GroupBox, 0, 0, 0, 100, 100, "", "", &kPlain},
    {"RadioButton1", Kind::RadioButton, 1, 8, 16, 80, 17, "A", "", &kPlain},
    {"RadioButton2", Kind::RadioButton, 1, 8, 40, 80, 17, "B", "", &kChecked},
    {"RadioButton3", Kind::RadioButton, 1, 8, 64, 80, 17, "C", "", &kPlain},
    {"RxSwitch1", Kind::Switch, 0, 110, 8, 50, 22, "", "", &kPlain},
    {"Led1", Kind::Image, 0, 166, 10, 17, 17, "", "", &kPlain},
    {"LabelAct1", Kind::Label, 0, 190, 12, 100, 13, "Activer les codes", "", &kPlain},
    {"RxSwitch2", Kind::Switch, 0, 110, 40, 50, 22, "", "", &kPlain},
    {"SpeedButton1", Kind::SpeedButton, 0, 110, 70, 25, 25, "...", "Choisir le programme", &kPlain},
    {"SpeedButton2", Kind::SpeedButton, 0, 140, 70, 25, 25, "1", "Lancer l'application 1", &kPlain},
    {"SpeedButton3", Kind::SpeedButton, 0, 170, 70, 41, 41, "", "Explorateur Windows", &kPlain},
    {"SpeedButton4", Kind::SpeedButton, 0, 220, 70, 60, 25, "Effacer", "Effacer tout", &kPlain},
    {"Label2", Kind::Label, 0, 220, 100, 60, 13, "", "a hint no one reads", &kPlain},
    {"TrackBar1", Kind::TrackBar, 0, 8, 120, 200, 28, "", "", &kOff},
};
const ui::FormLayout kLayout{"TForm9", kControls, {}};
using TestForm = ui::Form<TestId>;
constexpr std::size_t At(TestId id) {
  return TestForm::At(id);
}

std::string NameOf(TestId id) {
  const ControlSpec& desc = kControls[At(id)];
  return AccessibleName(kLayout, At(id), desc.caption);
}

TEST(Win32KeyboardPlan, ARadioGroupIsOneTabStopOnItsCheckedButtonThatFollowsTheCheck) {
  TestForm form(kLayout);
  EXPECT_FALSE(TabStyleFor(form, At(TestId::Radio1)).tab_stop);
  EXPECT_TRUE(TabStyleFor(form, At(TestId::Radio2)).tab_stop);
  EXPECT_FALSE(TabStyleFor(form, At(TestId::Radio3)).tab_stop);
  // The group starts at its first button whichever is checked.
  EXPECT_TRUE(TabStyleFor(form, At(TestId::Radio1)).group);
  EXPECT_FALSE(TabStyleFor(form, At(TestId::Radio2)).group);
  EXPECT_FALSE(TabStyleFor(form, At(TestId::Radio3)).group);

  form.SetChecked(TestId::Radio2, false);
  form.SetChecked(TestId::Radio3, true);
  EXPECT_FALSE(TabStyleFor(form, At(TestId::Radio2)).tab_stop);
  EXPECT_TRUE(TabStyleFor(form, At(TestId::Radio3)).tab_stop);

  // None checked: the first one takes the stop, so the group stays reachable.
  form.SetChecked(TestId::Radio3, false);
  EXPECT_TRUE(TabStyleFor(form, At(TestId::Radio1)).tab_stop);
  EXPECT_FALSE(TabStyleFor(form, At(TestId::Radio3)).tab_stop);
}

TEST(Win32KeyboardPlan, SwitchesButtonsAndBarsAreStopsOfTheirOwnWhilePicturesAndLabelsAreNot) {
  TestForm form(kLayout);
  for (TestId id : {TestId::Switch, TestId::Bare, TestId::Dots, TestId::Picture, TestId::Bar}) {
    const TabStyle style = TabStyleFor(form, At(id));
    EXPECT_TRUE(style.tab_stop) << kControls[At(id)].name;
    EXPECT_TRUE(style.group) << kControls[At(id)].name;
  }
  for (TestId id :
       {TestId::Form, TestId::Group, TestId::Lamp, TestId::SwitchLabel, TestId::Label}) {
    const TabStyle style = TabStyleFor(form, At(id));
    EXPECT_FALSE(style.tab_stop) << kControls[At(id)].name;
    EXPECT_FALSE(style.group) << kControls[At(id)].name;
  }
}

TEST(Win32KeyboardPlan, AButtonWithoutAWordForACaptionIsNamedByItsHint) {
  EXPECT_EQ(NameOf(TestId::Dots), "Choisir le programme");
  EXPECT_EQ(NameOf(TestId::Digit), "Lancer l'application 1");
  EXPECT_EQ(NameOf(TestId::Picture), "Explorateur Windows");
  EXPECT_EQ(NameOf(TestId::Clear), "Effacer");  // its caption says it
  // Only buttons and switches: a label keeps its text whatever its hint.
  EXPECT_EQ(NameOf(TestId::Label), "");
  // The caption the core sets later counts, not the table's.
  EXPECT_EQ(AccessibleName(kLayout, At(TestId::Picture), "Winamp"), "Winamp");
  EXPECT_EQ(AccessibleName(kLayout, At(TestId::Clear), "&"), "Effacer tout");
}

TEST(Win32KeyboardPlan, ASwitchWithoutCaptionOrHintIsNamedByTheLabelBesideIt) {
  EXPECT_EQ(NameOf(TestId::Switch), "Activer les codes");
  // The next switch has no label after it before the end of its parent's
  // rows: it keeps its empty caption rather than borrow another's words.
  EXPECT_EQ(NameOf(TestId::Bare), "");
}

TEST(Win32KeyboardPlan, EveryPictureOnlyButtonAndSwitchOfTheRealFormsHasAName) {
  ui::FormSet forms;
  for (ui::FormBase* form : forms.All()) {
    const ui::FormLayout& layout = form->layout();
    for (std::size_t i = 1; i < layout.controls.size(); ++i) {
      const Kind kind = layout.controls[i].kind;
      if (kind != Kind::SpeedButton && kind != Kind::Switch && kind != Kind::Button) continue;
      const std::string name = AccessibleName(layout, i, form->state(i).text);
      EXPECT_TRUE(IsDescriptive(name)) << layout.class_name << " " << layout.controls[i].name
                                       << " is announced as \"" << name << "\"";
    }
  }
}

TEST(Win32KeyboardPlan, ACaptionNeedsTwoLettersOrDigitsToTellWhatItDoes) {
  EXPECT_FALSE(IsDescriptive(""));
  EXPECT_FALSE(IsDescriptive("..."));
  EXPECT_FALSE(IsDescriptive("&1"));
  EXPECT_FALSE(IsDescriptive("< >"));
  EXPECT_TRUE(IsDescriptive("&Ok"));
  EXPECT_TRUE(IsDescriptive("12"));
  EXPECT_TRUE(IsDescriptive("\xC3\xA9"));  // one accented letter is two UTF-8 bytes
}

TEST(Win32KeyboardPlan, TabFollowsTheTableRoundTheEndsFromAnyControl) {
  const std::vector<std::size_t> stops = {3, 5, 9};
  EXPECT_EQ(NextTabStop(stops, 3, false), 5);
  EXPECT_EQ(NextTabStop(stops, 9, false), 3);
  EXPECT_EQ(NextTabStop(stops, 5, true), 3);
  EXPECT_EQ(NextTabStop(stops, 3, true), 9);
  // From a control that is no stop (the form, a control just hidden): the
  // stops around its row.
  EXPECT_EQ(NextTabStop(stops, 0, false), 3);
  EXPECT_EQ(NextTabStop(stops, 0, true), 9);
  EXPECT_EQ(NextTabStop(stops, 7, false), 9);
  EXPECT_EQ(NextTabStop(stops, 7, true), 5);
  EXPECT_EQ(NextTabStop({}, 4, false), -1);
}

TEST(Win32KeyboardPlan, OnAPageTheSwitchesComeBeforeTheButtonsInTableOrder) {
  // The Volumes page: the activation switch, the programming switch, the
  // clear button, then the volume buttons; the lamp and the labels are skipped.
  ui::FormSet forms;
  const ui::FormLayout& layout = forms.main.layout();
  std::vector<std::string> order;
  for (std::size_t i = 1; i < layout.controls.size(); ++i) {
    const std::string_view name = layout.controls[i].name;
    if (TabStyleFor(forms.main, i).tab_stop &&
        (name == "RxSwitch1" || name == "RxSwitch2" || name == "SpeedButton50" ||
         name == "SpeedButton1" || name == "Led1" || name == "LabelAct1"))
      order.emplace_back(name);
  }
  EXPECT_EQ(order,
            (std::vector<std::string>{"RxSwitch1", "RxSwitch2", "SpeedButton50", "SpeedButton1"}));
}

TEST(Win32KeyboardPlan, CtrlTabGoesRoundThePagesBothWays) {
  EXPECT_EQ(NextPage(0, 14, false), 1);
  EXPECT_EQ(NextPage(13, 14, false), 0);
  EXPECT_EQ(NextPage(0, 14, true), 13);
  EXPECT_EQ(NextPage(5, 14, true), 4);
  EXPECT_EQ(NextPage(0, 1, false), 0);
  // No page selected yet: forwards starts at the first, backwards at the last.
  EXPECT_EQ(NextPage(-1, 3, false), 0);
  EXPECT_EQ(NextPage(-1, 3, true), 2);
  EXPECT_EQ(NextPage(7, 3, false), 0);
  EXPECT_EQ(NextPage(0, 0, false), -1);
}

TEST(Win32KeyboardPlan, EscapeClosesDialogsWithACloseBoxButNeverTheMainWindow) {
  ui::FormSet forms;
  EXPECT_FALSE(EscapeCloses(forms.main.layout()));      // menu bar: the program's window
  EXPECT_TRUE(EscapeCloses(forms.settings.layout()));   // close box
  EXPECT_TRUE(EscapeCloses(forms.about.layout()));      // close box
  EXPECT_FALSE(EscapeCloses(forms.serial.layout()));    // no close box to match
  EXPECT_FALSE(EscapeCloses(forms.learn.layout()));     // borderless
  EXPECT_FALSE(EscapeCloses(forms.conflict.layout()));  // borderless
  EXPECT_FALSE(EscapeCloses(forms.osd.layout()));       // never takes the keyboard
}

}  // namespace
}  // namespace talvoro::platform::win32
