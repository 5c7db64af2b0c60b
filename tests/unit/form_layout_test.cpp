// Structural checks of every form's layout table (every one of ui::FormSet):
// the tree is well formed, every control fits in its parent's client area,
// and no visible control covers a sibling.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "ui/forms/forms.h"

namespace talvoro::ui {
namespace {

// The layouts, from the program's own list of its forms.
std::vector<const FormLayout*> AllLayouts() {
  return {
#define FORM(Type, member, window_class) &Type##Layout(),
#include "ui/forms/form_list.def"
#undef FORM
  };
}

bool IsMenuKind(Kind k) {
  return k == Kind::MainMenu || k == Kind::PopupMenu || k == Kind::MenuItem ||
         k == Kind::MenuSeparator;
}

bool IsContainerKind(Kind k) {
  return k == Kind::Form || k == Kind::Page || k == Kind::GroupBox || k == Kind::Panel;
}

std::uint32_t Flags(const ControlSpec& s) {
  return s.style ? s.style->flags : 0;
}

bool Hidden(const ControlSpec& s) {
  return (Flags(s) & flag::kHidden) != 0;
}

// The client area of a container: a bordered panel loses a pixel of border
// on every side (the table's x, y count from inside it).
struct Client {
  int w, h;
};
Client ClientOf(const ControlSpec& s) {
  const int border = s.kind == Kind::Panel && (Flags(s) & flag::kBorder) ? 2 : 0;
  return {s.w - border, s.h - border};
}

class FormLayoutTest : public testing::TestWithParam<std::size_t> {
 protected:
  const FormLayout& L() const { return *AllLayouts().at(GetParam()); }
  const ControlSpec& Desc(std::size_t i) const { return L().controls[i]; }
};

TEST(FormLayouts, TheProgramHasItsFormsEachWithItsOwnClassInNumberOrder) {
  const std::vector<const FormLayout*> layouts = AllLayouts();
  ASSERT_EQ(layouts.size(), FormSet::kCount);
  EXPECT_EQ(layouts.front()->class_name, "TForm1");
  int previous = 0;
  for (const FormLayout* layout : layouts) {
    const std::string name(layout->class_name);
    ASSERT_EQ(name.rfind("TForm", 0), 0u) << name;
    const int number = std::stoi(name.substr(5));
    EXPECT_GT(number, previous) << name;
    previous = number;
    EXPECT_STREQ(layout->controls[0].name, name.c_str());
  }
}

TEST_P(FormLayoutTest, FormComesFirstAndParentsPrecedeTheirChildren) {
  ASSERT_FALSE(L().controls.empty());
  EXPECT_EQ(Desc(0).kind, Kind::Form);
  EXPECT_EQ(Desc(0).parent, 0);
  EXPECT_GT(Desc(0).w, 0);
  EXPECT_GT(Desc(0).h, 0);
  for (std::size_t i = 1; i < L().controls.size(); ++i) {
    EXPECT_LT(Desc(i).parent, i) << Desc(i).name;
    EXPECT_NE(Desc(i).kind, Kind::Form) << Desc(i).name;
  }
}

TEST_P(FormLayoutTest, ControlNamesAreUniqueWithinTheForm) {
  for (std::size_t a = 0; a < L().controls.size(); ++a)
    for (std::size_t b = a + 1; b < L().controls.size(); ++b)
      EXPECT_STRNE(Desc(a).name, Desc(b).name);
}

TEST_P(FormLayoutTest, EveryControlHangsFromAParentOfTheRightKind) {
  for (std::size_t i = 1; i < L().controls.size(); ++i) {
    const ControlSpec& s = Desc(i);
    const Kind parent = Desc(s.parent).kind;
    switch (s.kind) {
      case Kind::MainMenu:
      case Kind::PopupMenu:
        EXPECT_EQ(parent, Kind::Form) << s.name;
        break;
      case Kind::MenuItem:
      case Kind::MenuSeparator:
        EXPECT_TRUE(parent == Kind::MainMenu || parent == Kind::PopupMenu ||
                    parent == Kind::MenuItem)
            << s.name;
        break;
      case Kind::ToolButton:
      case Kind::ToolSeparator:
        EXPECT_EQ(parent, Kind::ToolBar) << s.name;
        break;
      case Kind::Page:
        EXPECT_EQ(parent, Kind::PageControl) << s.name;
        break;
      default:
        EXPECT_TRUE(IsContainerKind(parent)) << s.name << " sits on " << Desc(s.parent).name;
    }
  }
}

// The on-screen display's panels (353 x 97) overrun its 352 x 95 window by
// their right and bottom border lines.
bool IsOsdPanel(std::string_view form, const ControlSpec& s) {
  return form == "TForm5" && s.kind == Kind::Panel && s.parent == 0;
}

TEST_P(FormLayoutTest, ChildrenLieInsideTheirParentsClientArea) {
  for (std::size_t i = 1; i < L().controls.size(); ++i) {
    const ControlSpec& s = Desc(i);
    if (IsMenuKind(s.kind)) continue;
    const ControlSpec& p = Desc(s.parent);
    Client client = ClientOf(p);
    if (IsOsdPanel(L().class_name, s)) {
      client.w += 1;
      client.h += 2;
    }
    EXPECT_GT(s.w, 0) << s.name;
    EXPECT_GT(s.h, 0) << s.name;
    EXPECT_GE(s.x, 0) << s.name;
    EXPECT_LE(s.x + s.w, client.w) << s.name << " overflows " << p.name << " to the right";
    EXPECT_LE(s.y + s.h, client.h) << s.name << " overflows " << p.name << " at the bottom";
    // A group box draws its caption across its top edge.
    const int top = p.kind == Kind::GroupBox ? 14 : 0;
    EXPECT_GE(s.y, top) << s.name << " runs into the top of " << p.name;
  }
}

// Overlaps kept on purpose, by form, first and second control.
struct KnownOverlap {
  std::string_view form, first, second;
};
// The on-screen display's balance legends touch the blank bottom row of the
// track bar above them by one pixel; the display keeps its designed layout
// (the track bar's window covers that row of the legends, which is the
// blank top of their text cell).
constexpr KnownOverlap kKnownOverlaps[] = {
    {"TForm5", "Label5", "TrackBar1"},
    {"TForm5", "Label4", "TrackBar1"},
    {"TForm5", "Label6", "TrackBar1"},
};

bool IsKnownOverlap(std::string_view form, const ControlSpec& a, const ControlSpec& b) {
  for (const KnownOverlap& known : kKnownOverlaps)
    if (known.form == form && known.first == a.name && known.second == b.name) {
      // Only by the one row it was found at.
      const int depth = std::min(a.y + a.h, b.y + b.h) - std::max(a.y, b.y);
      return depth == 1;
    }
  return false;
}

TEST_P(FormLayoutTest, VisibleSiblingsDoNotOverlap) {
  const std::size_t n = L().controls.size();
  for (std::size_t a = 1; a < n; ++a) {
    const ControlSpec& sa = Desc(a);
    // Pages share their page control's area; only one shows at a time.
    if (IsMenuKind(sa.kind) || sa.kind == Kind::Page || Hidden(sa)) continue;
    for (std::size_t b = a + 1; b < n; ++b) {
      const ControlSpec& sb = Desc(b);
      if (sb.parent != sa.parent || IsMenuKind(sb.kind) || sb.kind == Kind::Page || Hidden(sb))
        continue;
      // Panels stacked exactly on one another take turns (the on-screen
      // display shows one of its panels at a time).
      const bool stacked_panels = sa.kind == Kind::Panel && sb.kind == Kind::Panel &&
                                  sa.x == sb.x && sa.y == sb.y && sa.w == sb.w && sa.h == sb.h;
      if (stacked_panels) continue;
      const bool apart =
          sa.x + sa.w <= sb.x || sb.x + sb.w <= sa.x || sa.y + sa.h <= sb.y || sb.y + sb.h <= sa.y;
      EXPECT_TRUE(apart || IsKnownOverlap(L().class_name, sa, sb))
          << sa.name << " overlaps " << sb.name;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(AllForms, FormLayoutTest, testing::Range<std::size_t>(0, FormSet::kCount),
                         [](const testing::TestParamInfo<std::size_t>& info) {
                           return std::string(AllLayouts().at(info.param)->class_name);
                         });

}  // namespace
}  // namespace talvoro::ui
