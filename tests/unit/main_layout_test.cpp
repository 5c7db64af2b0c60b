// Checks of the main window's layout table: the controls that the tab logic
// addresses stand where that logic expects them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "dispatch/slot_map.h"
#include "ui/forms/forms.h"
#include "ui/forms/styles.h"

namespace talvoro::ui {
namespace {

using dispatch::Tabs;
using dispatch::TabSpec;

const FormLayout& L() {
  return MainLayout();
}
const ControlSpec& Desc(std::size_t i) {
  return L().controls[i];
}
const ControlSpec& Desc(MainId id) {
  return Desc(MainForm::At(id));
}

bool Hidden(const ControlSpec& s) {
  return s.style && (s.style->flags & flag::kHidden) != 0;
}

// True when `index` lies somewhere inside `ancestor`.
bool IsInside(std::size_t index, std::size_t ancestor) {
  while (index != 0) {
    index = Desc(index).parent;
    if (index == ancestor) return true;
  }
  return ancestor == 0;
}

bool IsInside(MainId id, MainId ancestor) {
  return IsInside(MainForm::At(id), MainForm::At(ancestor));
}

// Pixels between two boxes of the same parent (0 when they touch or overlap).
int Gap(const ControlSpec& a, const ControlSpec& b) {
  const int dx = std::max({0, b.x - (a.x + a.w), a.x - (b.x + b.w)});
  const int dy = std::max({0, b.y - (a.y + a.h), a.y - (b.y + b.h)});
  return std::max(dx, dy);
}

// The tree, containment and overlap checks of every form, this one included,
// are in form_layout_test.cpp.
TEST(MainLayoutTree, TheMainFormIsTForm1WithItsCaptionAndSize) {
  const ControlSpec& form = Desc(0);
  EXPECT_EQ(form.kind, Kind::Form);
  EXPECT_EQ(form.w, 704);
  EXPECT_EQ(form.h, 513);
  EXPECT_STREQ(form.caption, "Talvoro IR USB v2.0");
  EXPECT_EQ(L().class_name, "TForm1");
}

TEST(MainLayoutGeometry, WindowIsToolbarTabsAndStatusBarFromTopToBottom) {
  const ControlSpec& bar = Desc(MainId::ToolBar1);
  const ControlSpec& tabs = Desc(MainId::PageControl1);
  const ControlSpec& status = Desc(MainId::StatusBar1);
  EXPECT_EQ(bar.y, 0);
  EXPECT_EQ(bar.w, 704);
  EXPECT_EQ(tabs.y, bar.y + bar.h);
  EXPECT_EQ(tabs.w, 704);
  EXPECT_EQ(status.y, tabs.y + tabs.h);
  EXPECT_EQ(status.y + status.h, 513);
  EXPECT_TRUE(Hidden(Desc(MainId::ComboBox1)));
}

TEST(MainLayoutGeometry, ToolbarGroupsReadQuitReduceFilesSettingsHelp) {
  std::string pattern;
  int last_right = 0;
  for (std::size_t i = 1; i < L().controls.size(); ++i) {
    const ControlSpec& s = Desc(i);
    if (s.parent != MainForm::At(MainId::ToolBar1)) continue;
    pattern += s.kind == Kind::ToolSeparator ? '|' : 'B';
    EXPECT_GE(s.x, last_right) << s.name << " is out of left-to-right order";
    last_right = s.x + s.w;
  }
  EXPECT_EQ(pattern, "B|B|BB|B|B");
  EXPECT_STREQ(Desc(MainId::ToolButton1).hint, "Quitter");
  EXPECT_STREQ(Desc(MainId::ToolButton4).hint, "Exporter configuration IR");
  EXPECT_STREQ(Desc(MainId::ToolButton6).hint, "Aide");
}

TEST(MainLayoutPages, PagesStandInTabControlOrderWithTheirCaptions) {
  std::vector<std::size_t> pages;
  for (std::size_t i = 1; i < L().controls.size(); ++i)
    if (Desc(i).kind == Kind::Page) pages.push_back(i);
  const auto& order = dispatch::PageOrder();
  ASSERT_EQ(pages.size(), order.size());
  for (std::size_t k = 0; k < order.size(); ++k) {
    const TabSpec& tab = dispatch::Tab(order[k]);
    EXPECT_EQ(pages[k], MainForm::At(tab.page)) << "page " << k;
    EXPECT_STREQ(Desc(pages[k]).caption, tab.caption);
    EXPECT_EQ(Desc(pages[k]).parent, MainForm::At(MainId::PageControl1));
  }
}

TEST(MainLayoutPages, EveryTabsControlsStandOnItsOwnPage) {
  for (const TabSpec& tab : Tabs()) {
    SCOPED_TRACE(tab.caption);
    for (MainId id : {tab.activation, tab.programming, tab.lamp, tab.clear_button})
      EXPECT_TRUE(IsInside(id, tab.page)) << Desc(id).name;
    EXPECT_EQ(Desc(tab.activation).kind, Kind::Switch);
    EXPECT_EQ(Desc(tab.programming).kind, Kind::Switch);
    EXPECT_EQ(Desc(tab.lamp).kind, Kind::Image);
    EXPECT_EQ(Desc(tab.lamp).w, 17);
    EXPECT_EQ(Desc(tab.lamp).h, 17);
    EXPECT_EQ(Desc(tab.clear_button).kind, Kind::SpeedButton);
    // The lamp stands beside its activation switch.
    EXPECT_LE(Gap(Desc(tab.lamp), Desc(tab.activation)), 8);

    for (const dispatch::CodeSlot& code : tab.codes) {
      EXPECT_TRUE(IsInside(code.control, tab.page)) << Desc(code.control).name;
      EXPECT_TRUE(IsInside(code.code_label, tab.page)) << Desc(code.code_label).name;
    }
    if (tab.toggle) {
      EXPECT_TRUE(IsInside(tab.toggle->code_label, tab.page));
    }
    for (const dispatch::KeySlot& keys : tab.keys) {
      EXPECT_TRUE(IsInside(keys.label, tab.page)) << Desc(keys.label).name;
      EXPECT_EQ(Desc(keys.label).parent, Desc(keys.chooser).parent) << Desc(keys.label).name;
      EXPECT_STREQ(Desc(keys.chooser).caption, "...") << Desc(keys.chooser).name;
      EXPECT_NE(std::string_view(Desc(keys.chooser).hint), "") << Desc(keys.chooser).name;
    }
    for (const dispatch::PathSlot& path : tab.paths) {
      EXPECT_TRUE(IsInside(path.label, tab.page)) << Desc(path.label).name;
      EXPECT_TRUE(IsInside(path.chooser, tab.page)) << Desc(path.chooser).name;
      EXPECT_EQ(Desc(path.label).parent, Desc(path.chooser).parent) << Desc(path.label).name;
      EXPECT_EQ(Desc(path.label).style, &styles::kPathLabel) << Desc(path.label).name;
    }
  }
}

TEST(MainLayoutPages, CodeLabelsSitBesideTheirControlsAndStartEmpty) {
  MainForm form(L());
  auto check_label = [&](MainId id) {
    const ControlSpec& label = Desc(id);
    EXPECT_EQ(label.kind, Kind::Label) << label.name;
    EXPECT_EQ(label.style, &styles::kCodeLabel) << label.name;
    EXPECT_EQ(form.Text(id), "IR: ") << label.name;
  };
  for (const TabSpec& tab : Tabs()) {
    SCOPED_TRACE(tab.caption);
    for (const dispatch::CodeSlot& code : tab.codes) {
      check_label(code.code_label);
      // Each action's code reads right under (or beside) its own control.
      const ControlSpec& label = Desc(code.code_label);
      const ControlSpec& control = Desc(code.control);
      EXPECT_EQ(label.parent, control.parent) << label.name;
      EXPECT_LE(Gap(label, control), 16) << label.name << " is far from " << control.name;
    }
    if (tab.toggle) {
      check_label(tab.toggle->code_label);
      EXPECT_EQ(Desc(tab.toggle->code_label).parent, Desc(tab.activation).parent);
    }
  }
}

TEST(MainLayoutPages, PathLabelsStartWithTheirPrefixBesideADotsButton) {
  MainForm form(L());
  for (const TabSpec& tab : Tabs()) {
    for (const dispatch::PathSlot& path : tab.paths) {
      EXPECT_EQ(form.Text(path.label), path.prefix) << Desc(path.label).name;
      EXPECT_STREQ(Desc(path.chooser).caption, "...") << Desc(path.chooser).name;
      EXPECT_NE(std::string_view(Desc(path.chooser).hint), "") << Desc(path.chooser).name;
      // The path reads to the right of its chooser.
      EXPECT_GE(Desc(path.label).x, Desc(path.chooser).x + Desc(path.chooser).w);
    }
  }
}

TEST(MainLayoutPages, ClearButtonHintsNameTheirTab) {
  for (const TabSpec& tab : Tabs()) {
    std::string expected;
    if (tab.number == dispatch::kTabWindows)
      expected = "Effacer tous les codes IR de l'onget \"Windows\".";
    else if (tab.number != dispatch::kTabCloseApp)
      expected = std::string("Effacer tous les codes IR de l'onglet \"") + tab.clear_name + "\".";
    EXPECT_EQ(Desc(tab.clear_button).hint, expected) << tab.caption;
    EXPECT_NE(std::string_view(Desc(tab.clear_button).caption), "") << tab.caption;
  }
}

TEST(MainLayoutPages, MediaButtonsAreSquaresWithTheStartButtonLarger) {
  for (const TabSpec& tab : Tabs()) {
    const bool media = tab.toggle.has_value() || tab.number == dispatch::kTabPowerPoint;
    if (!media) continue;
    SCOPED_TRACE(tab.caption);
    int start_buttons = 0;
    for (const dispatch::CodeSlot& code : tab.codes) {
      const ControlSpec& b = Desc(code.control);
      EXPECT_EQ(b.kind, Kind::SpeedButton) << b.name;
      const bool start = std::string_view(b.hint).starts_with("Activer ");
      start_buttons += start;
      EXPECT_EQ(b.w, start ? 49 : 41) << b.name;
      EXPECT_EQ(b.h, b.w) << b.name;
      EXPECT_NE(std::string_view(b.hint), "") << b.name;
    }
    EXPECT_EQ(start_buttons, 1);
  }
}

// Twenty rows in two columns of ten, each on one line: its button, code,
// chooser and keys, in the order the Tab key visits them.
TEST(MainLayoutPages, CustomKeyRowsStandInTwoColumnsOfTenInTabOrder) {
  const TabSpec& tab = dispatch::Tab(dispatch::kTabCustomKeys);
  ASSERT_EQ(tab.codes.size(), 20u);
  ASSERT_EQ(tab.keys.size(), 20u);
  std::size_t previous = 0;
  for (std::size_t n = 0; n < 20; ++n) {
    const ControlSpec& button = Desc(tab.codes[n].control);
    SCOPED_TRACE(button.name);
    EXPECT_EQ(button.caption, "Touche " + std::to_string(n + 1));
    EXPECT_EQ(button.x, n < 10 ? 8 : 344);
    EXPECT_EQ(button.y, Desc(tab.codes[n % 10].control).y);
    if (n % 10 > 0) EXPECT_GT(button.y, Desc(tab.codes[n - 1].control).y);
    for (MainId id :
         {tab.codes[n].control, tab.codes[n].code_label, tab.keys[n].chooser, tab.keys[n].label}) {
      const std::size_t row = MainForm::At(id);
      EXPECT_GT(row, previous) << Desc(id).name;
      previous = row;
      EXPECT_LE(Desc(id).y, button.y + button.h) << Desc(id).name;
      EXPECT_GE(Desc(id).y + Desc(id).h, button.y) << Desc(id).name;
    }
  }
}

TEST(MainLayoutPages, LauncherButtonsAreSmallNumberedSquares) {
  // White bold digits on a blue face (52, 105, 165) lit by a lighter blue
  // (138, 162, 215).
  EXPECT_EQ(styles::kLaunchButton.colour, 0xFFFFFFu);
  EXPECT_EQ(styles::kLaunchButton.face, 0x3469A5u);
  EXPECT_EQ(styles::kLaunchButton.raised, 0x8AA2D7u);
  EXPECT_TRUE(styles::kLaunchButton.flags & flag::kBold);
  for (const dispatch::CodeSlot& code : dispatch::Tab(dispatch::kTabLauncher).codes) {
    const ControlSpec& b = Desc(code.control);
    EXPECT_EQ(b.w, 25) << b.name;
    EXPECT_EQ(b.h, 25) << b.name;
    EXPECT_EQ(b.style, &styles::kLaunchButton) << b.name;
    EXPECT_EQ(std::string_view(b.caption).size(), 1u) << b.name;
  }
}

}  // namespace
}  // namespace talvoro::ui
