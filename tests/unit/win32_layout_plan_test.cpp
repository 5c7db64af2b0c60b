// How the Windows layer maps a layout table onto windows: hosts, pages,
// menus, radio groups, colours and frames.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/win32/layout_plan.h"
#include "ui/forms/forms.h"
#include "ui/forms/styles.h"

namespace talvoro::platform::win32 {
namespace {

using ui::ControlSpec;
using ui::FormLayout;
using ui::Kind;

constexpr ui::Style kPlain{};
constexpr ui::Style kBlueFace{.face = 0x0000FF};
constexpr ui::Style kCentred{.flags = ui::flag::kCentre};
constexpr ui::Style kDialog{.flags = ui::flag::kFixedFrame | ui::flag::kSysMenu};

// Row indices of the test table.
enum : std::size_t {
  kForm,
  kMenu,
  kFile,
  kOpen,
  kSep,
  kRecent,
  kRecentOne,
  kPopup,
  kPopupQuit,
  kTabs,
  kPage1,
  kBevel,
  kOnBevel,
  kPage2,
  kGroup,
  kRadio1,
  kLabel,
  kRadio2,
  kPanel,
  kRadio3,
  kBarTools,
  kToolButton,
};
constexpr ControlSpec kControls[] = {
    {"TForm9", Kind::Form, 0, -1, -1, 300, 200, "Form", "", &kPlain},
    {"MainMenu1", Kind::MainMenu, kForm, 0, 0, 0, 0, "", "", &kPlain},
    {"File1", Kind::MenuItem, kMenu, 0, 0, 0, 0, "&File", "", &kPlain},
    {"Open1", Kind::MenuItem, kFile, 0, 0, 0, 0, "&Open", "", &kPlain},
    {"N1", Kind::MenuSeparator, kFile, 0, 0, 0, 0, "", "", &kPlain},
    {"Recent1", Kind::MenuItem, kFile, 0, 0, 0, 0, "&Recent", "", &kPlain},
    {"RecentOne", Kind::MenuItem, kRecent, 0, 0, 0, 0, "1", "", &kPlain},
    {"PopupMenu1", Kind::PopupMenu, kForm, 0, 0, 0, 0, "", "", &kPlain},
    {"Quit1", Kind::MenuItem, kPopup, 0, 0, 0, 0, "Quit", "", &kPlain},
    {"PageControl1", Kind::PageControl, kForm, 0, 30, 300, 150, "", "", &kPlain},
    {"TabSheet1", Kind::Page, kTabs, 4, 24, 292, 122, "One", "", &kPlain},
    {"Bevel1", Kind::Bevel, kPage1, 10, 20, 100, 50, "", "", &kPlain},
    {"Label1", Kind::Label, kBevel, 5, 6, 40, 13, "on bevel", "", &kPlain},
    {"TabSheet2", Kind::Page, kTabs, 4, 24, 292, 122, "Two", "", &kBlueFace},
    {"GroupBox1", Kind::GroupBox, kPage2, 8, 8, 200, 100, "Group", "", &kPlain},
    {"RadioButton1", Kind::RadioButton, kGroup, 8, 16, 80, 17, "A", "", &kPlain},
    {"Label2", Kind::Label, kGroup, 8, 40, 80, 13, "text", "", &kCentred},
    {"RadioButton2", Kind::RadioButton, kGroup, 8, 60, 80, 17, "B", "", &kPlain},
    {"Panel1", Kind::Panel, kPage2, 210, 8, 70, 100, "", "", &kBlueFace},
    {"RadioButton3", Kind::RadioButton, kPanel, 4, 4, 60, 17, "C", "", &kPlain},
    {"ToolBar1", Kind::ToolBar, kForm, 0, 0, 300, 30, "", "", &kPlain},
    {"ToolButton1", Kind::ToolButton, kBarTools, 4, 2, 40, 26, "Go", "Go", &kPlain},
};
const FormLayout kLayout{"TForm9", kControls, {}};

TEST(Win32LayoutPlan, ControlsAreCreatedInTheNearestContainerAtTheirOffset) {
  const Placement on_page = PlaceControl(kLayout, kBevel);
  EXPECT_EQ(on_page.host, kPage1);
  EXPECT_EQ(on_page.dx, 0);

  // A label placed on a bevel (not a window that holds controls) goes into
  // the bevel's own host, moved by the bevel's position.
  const Placement on_bevel = PlaceControl(kLayout, kOnBevel);
  EXPECT_EQ(on_bevel.host, kPage1);
  EXPECT_EQ(on_bevel.dx, 10);
  EXPECT_EQ(on_bevel.dy, 20);

  EXPECT_EQ(PlaceControl(kLayout, kRadio1).host, kGroup);
  EXPECT_EQ(PlaceControl(kLayout, kRadio3).host, kPanel);
  EXPECT_EQ(PlaceControl(kLayout, kPage2).host, kTabs);  // pages sit in their tab control
  EXPECT_EQ(PlaceControl(kLayout, kTabs).host, kForm);
}

TEST(Win32LayoutPlan, PagesAreTheTabControlsPageChildrenInTableOrder) {
  EXPECT_EQ(PagesOf(kLayout, kTabs), (std::vector<std::size_t>{kPage1, kPage2}));
  EXPECT_EQ(PageOrdinal(kLayout, kPage1), 0);
  EXPECT_EQ(PageOrdinal(kLayout, kPage2), 1);
  EXPECT_EQ(PageOrdinal(kLayout, kGroup), -1);
}

TEST(Win32LayoutPlan, ControlsAreCreatedRealOnesFirstThenPaintedOnesLastOnTop) {
  // A new child window goes beneath its siblings: creation order is the
  // stacking order, top first.
  EXPECT_EQ(CreationOrder(kLayout, kGroup), (std::vector<std::size_t>{kRadio1, kRadio2, kLabel}));
  // Painted kinds in reverse: the later one drawn over the earlier one.
  EXPECT_EQ(CreationOrder(kLayout, kPage1), (std::vector<std::size_t>{kOnBevel, kBevel}));
  // Pages belong to their page control; tool buttons follow their tool bar.
  EXPECT_EQ(CreationOrder(kLayout, kPage2), (std::vector<std::size_t>{kGroup, kPanel}));
  const std::vector<std::size_t> form = CreationOrder(kLayout, kForm);
  EXPECT_EQ(std::count(form.begin(), form.end(), kPage1), 0);
  const auto bar = std::find(form.begin(), form.end(), kBarTools);
  const auto button = std::find(form.begin(), form.end(), kToolButton);
  ASSERT_NE(bar, form.end());
  ASSERT_NE(button, form.end());
  EXPECT_LT(bar, button);
}

TEST(Win32LayoutPlan, MenuEntriesKnowTheirMenuAndWhetherTheyOpenASubMenu) {
  EXPECT_EQ(MenuRoot(kLayout, kOpen), kMenu);
  EXPECT_EQ(MenuRoot(kLayout, kRecentOne), kMenu);
  EXPECT_EQ(MenuRoot(kLayout, kSep), kMenu);
  EXPECT_EQ(MenuRoot(kLayout, kPopupQuit), kPopup);
  EXPECT_EQ(MenuRoot(kLayout, kLabel), kLabel);  // not a menu entry

  EXPECT_TRUE(HasSubMenu(kLayout, kFile));
  EXPECT_TRUE(HasSubMenu(kLayout, kRecent));
  EXPECT_FALSE(HasSubMenu(kLayout, kOpen));
  EXPECT_FALSE(HasSubMenu(kLayout, kPopupQuit));
  EXPECT_EQ(ChildrenOf(kLayout, kFile), (std::vector<std::size_t>{kOpen, kSep, kRecent}));
}

TEST(Win32LayoutPlan, RadioButtonsExcludeOnlyTheirSiblings) {
  EXPECT_EQ(RadioGroupOf(kLayout, kRadio1), (std::vector<std::size_t>{kRadio1, kRadio2}));
  EXPECT_EQ(RadioGroupOf(kLayout, kRadio2), (std::vector<std::size_t>{kRadio1, kRadio2}));
  EXPECT_EQ(RadioGroupOf(kLayout, kRadio3), (std::vector<std::size_t>{kRadio3}));
}

TEST(Win32LayoutPlan, BackgroundIsTheNearestFaceColour) {
  EXPECT_EQ(BackgroundColour(kLayout, kPanel), 0x0000FFu);   // its own
  EXPECT_EQ(BackgroundColour(kLayout, kRadio3), 0x0000FFu);  // its panel's
  EXPECT_EQ(BackgroundColour(kLayout, kRadio1), 0x0000FFu);  // the page's, through the group
  EXPECT_EQ(BackgroundColour(kLayout, kOnBevel), ui::kDefaultColour);
  // Seen from inside its host, a panel stands on its page's colour.
  EXPECT_EQ(HostBackground(kLayout, kGroup), 0x0000FFu);
  EXPECT_EQ(HostBackground(kLayout, kBevel), ui::kDefaultColour);
}

TEST(Win32LayoutPlan, OnlyFormsPanelsGroupsAndPagesHoldControls) {
  EXPECT_TRUE(IsContainer(Kind::Form));
  EXPECT_TRUE(IsContainer(Kind::Page));
  EXPECT_FALSE(IsContainer(Kind::PageControl));
  EXPECT_FALSE(IsContainer(Kind::ToolBar));
  EXPECT_FALSE(HasOwnWindow(Kind::ToolButton));
  EXPECT_FALSE(HasOwnWindow(Kind::MenuSeparator));
  EXPECT_TRUE(HasOwnWindow(Kind::Switch));
  EXPECT_TRUE(IsGraphicKind(Kind::SpeedButton));
  EXPECT_FALSE(IsGraphicKind(Kind::Button));
}

TEST(Win32LayoutPlan, FrameFollowsTheFormFlags) {
  const FrameKind main = FrameFor(kDialog.flags);
  EXPECT_FALSE(main.popup);
  EXPECT_TRUE(main.sys_menu);
  EXPECT_FALSE(main.minimize_box);
  EXPECT_FALSE(main.maximize_box);
  EXPECT_FALSE(main.sizeable);

  const FrameKind popup = FrameFor(ui::flag::kNoCaption | ui::flag::kSysMenu);
  EXPECT_TRUE(popup.popup);
  EXPECT_FALSE(popup.sys_menu);  // no caption, so no system menu either

  const FrameKind sizeable = FrameFor(ui::flag::kSysMenu | ui::flag::kMinimizeBox);
  EXPECT_TRUE(sizeable.sizeable);
  EXPECT_TRUE(sizeable.minimize_box);
  EXPECT_TRUE(sizeable.maximize_box);
}

TEST(Win32LayoutPlan, NoActivateFormsAreMarkedWhateverTheirFrame) {
  EXPECT_TRUE(FrameFor(ui::flag::kNoCaption | ui::flag::kNoActivate).no_activate);
  EXPECT_TRUE(FrameFor(ui::flag::kNoCaption | ui::flag::kNoActivate).popup);
  EXPECT_TRUE(FrameFor(ui::flag::kSysMenu | ui::flag::kNoActivate).no_activate);
  EXPECT_FALSE(FrameFor(ui::flag::kNoCaption).no_activate);
  EXPECT_FALSE(FrameFor(kDialog.flags).no_activate);
}

TEST(Win32LayoutPlan, OnlyFormsToBeAnsweredComeUpActiveAndNeverOverAnotherProgram) {
  // The program's own forms.
  for (bool in_front : {false, true}) {
    SCOPED_TRACE(in_front ? "program in front" : "another program in front");
    // The on-screen display never takes the focus.
    EXPECT_FALSE(ActivatesWhenShown(ui::OsdLayout(), in_front));
    // The countdown has nothing to answer with.
    EXPECT_FALSE(ActivatesWhenShown(ui::CountdownLayout(), in_front));
    // The learning dialog and the conflict warning have their button, but
    // only take the focus from the program itself.
    EXPECT_EQ(ActivatesWhenShown(ui::LearnLayout(), in_front), in_front);
    EXPECT_EQ(ActivatesWhenShown(ui::ConflictLayout(), in_front), in_front);
    // Framed windows are opened by the user.
    EXPECT_TRUE(ActivatesWhenShown(ui::MainLayout(), in_front));
    EXPECT_TRUE(ActivatesWhenShown(ui::AboutLayout(), in_front));
  }
  EXPECT_TRUE(TakesFocus(Kind::Edit));
  EXPECT_TRUE(TakesFocus(Kind::ComboBox));
  EXPECT_FALSE(TakesFocus(Kind::Label));
  EXPECT_FALSE(TakesFocus(Kind::SpeedButton));
}

TEST(Win32LayoutPlan, MinusOneCentresEachAxisOnItsOwn) {
  const Origin centred = FormOrigin(-1, -1, 710, 551, 1024, 768);
  EXPECT_EQ(centred.x, 157);
  EXPECT_EQ(centred.y, 108);
  const Origin fixed = FormOrigin(889, 120, 352, 95, 1024, 768);
  EXPECT_EQ(fixed.x, 889);
  EXPECT_EQ(fixed.y, 120);
  const Origin mixed = FormOrigin(-1, 5, 100, 50, 1000, 700);
  EXPECT_EQ(mixed.x, 450);
  EXPECT_EQ(mixed.y, 5);
}

TEST(Win32LayoutPlan, LeftLabelsTakeTheirTextSizeCentredAndWrappingOnesKeepTheirBox) {
  const Size box{80, 13};
  // A left-aligned label shrinks or grows to its text.
  EXPECT_EQ(LabelSize(kControls[kOnBevel], box, Size{120, 13}, 13).w, 120);
  EXPECT_EQ(LabelSize(kControls[kOnBevel], box, Size{30, 13}, 13).w, 30);
  // Several lines of text make it taller.
  EXPECT_EQ(LabelSize(kControls[kOnBevel], box, Size{60, 39}, 13).h, 39);
  // A centred label keeps its box.
  EXPECT_EQ(LabelSize(kControls[kLabel], box, Size{120, 13}, 13).w, 80);
  // A box of two lines, narrower than its one-line text, wraps it.
  const Size tall{80, 26};
  const Size kept = LabelSize(kControls[kOnBevel], tall, Size{150, 13}, 13);
  EXPECT_EQ(kept.w, 80);
  EXPECT_EQ(kept.h, 26);
  // Lines the text breaks itself are not wrapped again, however narrow the
  // box: the label takes the text's size.
  const Size lines = LabelSize(kControls[kOnBevel], Size{80, 60}, Size{120, 39}, 13);
  EXPECT_EQ(lines.w, 120);
  EXPECT_EQ(lines.h, 39);
  // Other controls keep their box whatever their text.
  EXPECT_EQ(LabelSize(kControls[kRadio1], box, Size{200, 13}, 13).w, 80);
}

TEST(Win32LayoutPlan, TheProgramsFormsAreWellFormedForTheWindowLayer) {
  // Every row's parent comes earlier, tool buttons sit in a tool bar, pages
  // in a page control and menu entries in a menu: what the window builder
  // relies on when it creates the controls in table order.
  const ui::FormLayout* layouts[] = {
#define FORM(Type, member, window_class) &ui::Type##Layout(),
#include "ui/forms/form_list.def"
#undef FORM
  };
  ASSERT_EQ(std::size(layouts), ui::FormSet::kCount);
  for (const ui::FormLayout* layout : layouts) {
    SCOPED_TRACE(std::string(layout->class_name));
    ASSERT_FALSE(layout->controls.empty());
    EXPECT_EQ(layout->controls[0].kind, Kind::Form);
    for (std::size_t i = 1; i < layout->controls.size(); ++i) {
      const ControlSpec& desc = layout->controls[i];
      SCOPED_TRACE(desc.name);
      ASSERT_LT(desc.parent, i);
      const Kind parent = layout->controls[desc.parent].kind;
      if (desc.kind == Kind::ToolButton || desc.kind == Kind::ToolSeparator) {
        EXPECT_EQ(parent, Kind::ToolBar);
      }
      if (desc.kind == Kind::Page) {
        EXPECT_EQ(parent, Kind::PageControl);
      }
      if (IsMenuEntry(desc.kind)) {
        EXPECT_TRUE(parent == Kind::MainMenu || parent == Kind::PopupMenu ||
                    parent == Kind::MenuItem);
      }
      EXPECT_TRUE(IsContainer(layout->controls[PlaceControl(*layout, i).host].kind) ||
                  desc.kind == Kind::Page || IsMenuEntry(desc.kind) ||
                  desc.kind == Kind::ToolButton || desc.kind == Kind::ToolSeparator);
    }
    // The window builder creates each container's controls in its creation
    // order, and a page control's pages with it: every row exactly once.
    std::vector<int> created(layout->controls.size(), 0);
    for (std::size_t host = 0; host < layout->controls.size(); ++host) {
      if (!IsContainer(layout->controls[host].kind)) continue;
      for (std::size_t i : CreationOrder(*layout, host)) {
        ++created[i];
        if (layout->controls[i].kind == Kind::PageControl)
          for (std::size_t page : PagesOf(*layout, i)) ++created[page];
      }
    }
    for (std::size_t i = 1; i < layout->controls.size(); ++i)
      EXPECT_EQ(created[i], 1) << layout->controls[i].name;
  }
}

TEST(Win32LayoutPlan, OnlyButtonsWithColoursOfTheirOwnLeaveTheVisualStyle) {
  static constexpr ui::Style kRedText{.colour = 0xFF0000};
  enum : std::size_t { kF, kPlainPanel, kPlainBox, kRedBox, kPlainButton, kRedLabel, kBluePanel,
                       kOnBlue, kTrack };
  static constexpr ControlSpec kRows[] = {
      {"TForm9", Kind::Form, 0, 0, 0, 300, 200, "", "", &kPlain},
      {"Panel1", Kind::Panel, kF, 0, 0, 100, 100, "", "", &kPlain},
      {"CheckBox1", Kind::CheckBox, kPlainPanel, 4, 4, 80, 17, "a", "", &kPlain},
      {"CheckBox2", Kind::CheckBox, kPlainPanel, 4, 24, 80, 17, "b", "", &kRedText},
      {"Button1", Kind::Button, kF, 4, 120, 80, 25, "c", "", nullptr},
      {"Label1", Kind::Label, kF, 4, 150, 80, 13, "d", "", &kRedText},
      {"Panel2", Kind::Panel, kF, 150, 0, 100, 100, "", "", &kBlueFace},
      {"RadioButton1", Kind::RadioButton, kBluePanel, 4, 4, 80, 17, "e", "", &kPlain},
      {"TrackBar1", Kind::TrackBar, kBluePanel, 4, 30, 80, 20, "", "", &kPlain},
  };
  const FormLayout layout{"TForm9", kRows, {}};
  EXPECT_FALSE(WantsClassicLook(layout, kPlainBox));
  EXPECT_TRUE(WantsClassicLook(layout, kRedBox));         // its own text colour
  EXPECT_FALSE(WantsClassicLook(layout, kPlainButton));   // no style at all
  EXPECT_TRUE(WantsClassicLook(layout, kOnBlue));         // on a face of the program's
  EXPECT_FALSE(WantsClassicLook(layout, kRedLabel));      // statics are not themed
  EXPECT_FALSE(WantsClassicLook(layout, kTrack));         // nor anything but buttons
  EXPECT_FALSE(WantsClassicLook(layout, kBluePanel));
  EXPECT_FALSE(WantsClassicLook(layout, kF));
  // The test table above: radio buttons in a group box on a blue page.
  EXPECT_TRUE(WantsClassicLook(kLayout, kRadio1));
  EXPECT_TRUE(WantsClassicLook(kLayout, kRadio3));
}

TEST(Win32LayoutPlan, TheProgramsWindowsOnColouredFacesGetClassicButtons) {
  auto row = [](const FormLayout& layout, std::string_view name) {
    for (std::size_t i = 0; i < layout.controls.size(); ++i)
      if (layout.controls[i].name == name) return i;
    ADD_FAILURE() << name;
    return std::size_t{0};
  };
  // The conflict warning's green face and the learning dialog's white one.
  EXPECT_TRUE(WantsClassicLook(ui::ConflictLayout(), row(ui::ConflictLayout(), "Button1")));
  EXPECT_TRUE(WantsClassicLook(ui::LearnLayout(), row(ui::LearnLayout(), "Button1")));
  // Plain dialogs and pages keep the system's look.
  EXPECT_FALSE(WantsClassicLook(ui::AboutLayout(), row(ui::AboutLayout(), "Button1")));
  EXPECT_FALSE(WantsClassicLook(ui::SettingsLayout(), row(ui::SettingsLayout(), "CheckBox1")));
  EXPECT_FALSE(WantsClassicLook(ui::MainLayout(), row(ui::MainLayout(), "RadioButton1")));
}

}  // namespace
}  // namespace talvoro::platform::win32
