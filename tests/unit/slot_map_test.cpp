#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "dispatch/slot_map.h"

namespace talvoro::dispatch {
namespace {

struct Expect {
  int first, last;
  SlotKind kind;
  int tab;
};

// The programme table's map, range by range.
const Expect kMap[] = {
    {0, 0, SlotKind::Spare, 0},
    {1, 1, SlotKind::State, 1},
    {2, 6, SlotKind::VolumeSetting, 1},
    {7, 14, SlotKind::Code, 1},
    {15, 20, SlotKind::Spare, 0},
    {21, 21, SlotKind::State, 2},
    {22, 29, SlotKind::Code, 2},
    {30, 34, SlotKind::Spare, 0},
    {35, 35, SlotKind::State, 3},
    {36, 44, SlotKind::Code, 3},
    {45, 45, SlotKind::Toggle, 3},
    {46, 49, SlotKind::Spare, 0},
    {50, 50, SlotKind::Path, 4},
    {51, 51, SlotKind::State, 4},
    {52, 52, SlotKind::Toggle, 4},
    {53, 63, SlotKind::Code, 4},
    {64, 69, SlotKind::Spare, 0},
    {70, 70, SlotKind::Path, 5},
    {71, 71, SlotKind::State, 5},
    {72, 72, SlotKind::Toggle, 5},
    {73, 84, SlotKind::Code, 5},
    {85, 89, SlotKind::Spare, 0},
    {90, 90, SlotKind::Path, 6},
    {91, 91, SlotKind::State, 6},
    {92, 92, SlotKind::Toggle, 6},
    {93, 104, SlotKind::Code, 6},
    {105, 109, SlotKind::Spare, 0},
    {110, 110, SlotKind::Path, 7},
    {111, 111, SlotKind::State, 7},
    {112, 112, SlotKind::Toggle, 7},
    {113, 123, SlotKind::Code, 7},
    {124, 129, SlotKind::Spare, 0},
    {130, 130, SlotKind::Path, 8},
    {131, 131, SlotKind::State, 8},
    {132, 132, SlotKind::Toggle, 8},
    {133, 145, SlotKind::Code, 8},
    {146, 149, SlotKind::Spare, 0},
    {150, 150, SlotKind::Path, 9},
    {151, 151, SlotKind::State, 9},
    {152, 152, SlotKind::Reserved, 9},
    {153, 157, SlotKind::Code, 9},
    {158, 169, SlotKind::Spare, 0},
    {170, 170, SlotKind::Path, 10},
    {171, 171, SlotKind::State, 10},
    {172, 172, SlotKind::Toggle, 10},
    {173, 188, SlotKind::Code, 10},
    {189, 199, SlotKind::Spare, 0},
    {200, 200, SlotKind::Path, 11},
    {201, 201, SlotKind::State, 11},
    {202, 202, SlotKind::Toggle, 11},
    {203, 212, SlotKind::Code, 11},
    {213, 219, SlotKind::Spare, 0},
    {220, 220, SlotKind::State, 12},
    // 221..230 alternate path and code: checked below.
    {231, 234, SlotKind::Spare, 0},
    {235, 235, SlotKind::Path, 13},
    {236, 236, SlotKind::State, 13},
    {237, 237, SlotKind::Toggle, 13},
    {238, 247, SlotKind::Code, 13},
    {248, 254, SlotKind::Spare, 0},
    {255, 255, SlotKind::State, 14},
    {256, 258, SlotKind::Code, 14},
    {259, 259, SlotKind::State, 15},
    // 260..299 alternate code and keys: checked below.
};

TEST(SlotMap, EverySlotIsOwnedByExactlyWhatTheMapSays) {
  std::set<int> seen;
  for (const Expect& e : kMap)
    for (int slot = e.first; slot <= e.last; ++slot) {
      const SlotOwner owner = OwnerOf(slot);
      EXPECT_EQ(owner.kind, e.kind) << "slot " << slot;
      EXPECT_EQ(owner.tab, e.tab) << "slot " << slot;
      seen.insert(slot);
    }
  for (int n = 1; n <= 5; ++n) {
    EXPECT_EQ(OwnerOf(219 + 2 * n).kind, SlotKind::Path);
    EXPECT_EQ(OwnerOf(220 + 2 * n).kind, SlotKind::Code);
    EXPECT_EQ(OwnerOf(219 + 2 * n).tab, kTabLauncher);
    seen.insert(219 + 2 * n);
    seen.insert(220 + 2 * n);
  }
  for (int n = 1; n <= 20; ++n) {
    EXPECT_EQ(OwnerOf(258 + 2 * n).kind, SlotKind::Code);
    EXPECT_EQ(OwnerOf(259 + 2 * n).kind, SlotKind::Keys);
    EXPECT_EQ(OwnerOf(259 + 2 * n).tab, kTabCustomKeys);
    seen.insert(258 + 2 * n);
    seen.insert(259 + 2 * n);
  }
  EXPECT_EQ(seen.size(), 300u);
}

TEST(SlotMap, NoSlotBelongsToTwoTabsOrTwoRoles) {
  std::map<int, int> uses;
  for (const TabSpec& tab : Tabs()) {
    ++uses[tab.state_slot];
    if (tab.toggle) ++uses[tab.toggle->slot];
    for (const CodeSlot& c : tab.codes) ++uses[c.slot];
    for (const PathSlot& p : tab.paths) ++uses[p.slot];
    for (const KeySlot& k : tab.keys) ++uses[k.slot];
  }
  for (const auto& [slot, count] : uses) EXPECT_EQ(count, 1) << "slot " << slot;
}

// The learning rule: slot = action number + the tab's offset.
int RuleSlot(int tab, int action) {
  switch (tab) {
    case kTabVolumes:
      return action + 6;
    case kTabWindows:
      return action + 12;
    case kTabWindowsMediaPlayer:
      return action + 16;
    case kTabWinamp:
    case kTabPowerDvd:
    case kTabWinDvd:
    case kTabMsiDvd:
    case kTabPinnacle:
      return action + 12;
    case kTabPowerPoint:
      return action == 144 ? 157 : action == 145 ? 156 : action + 12;
    case kTabKtv:
      return action + 22;
    case kTabRealOne:
      return action + 32;
    case kTabProgDvb:
      return action + 37;
    case kTabCloseApp:
      return action + 35;
    case kTabLauncher:
      return 2 * action - 160;
    case kTabCustomKeys:
      return 2 * action - 202;
  }
  return -1;
}

TEST(SlotMap, ActionNumbersFollowEachTabsOffsetRule) {
  std::set<int> actions;
  for (const TabSpec& tab : Tabs()) {
    if (tab.toggle) {
      EXPECT_EQ(RuleSlot(tab.number, tab.toggle->action), tab.toggle->slot) << tab.caption;
      EXPECT_EQ(tab.toggle->action, tab.activation_learn_action) << tab.caption;
      EXPECT_TRUE(actions.insert(tab.toggle->action).second);
    }
    for (const CodeSlot& c : tab.codes) {
      EXPECT_EQ(RuleSlot(tab.number, c.action), c.slot) << tab.caption << " " << c.action;
      EXPECT_EQ(SlotForAction(c.action), c.slot);
      EXPECT_TRUE(actions.insert(c.action).second) << c.action;
    }
  }
  EXPECT_EQ(SlotForAction(144), 157);
  EXPECT_EQ(SlotForAction(145), 156);
  // Armed by the launcher's and the closing tab's activation switches, but
  // never stored.
  EXPECT_EQ(Tab(kTabLauncher).activation_learn_action, 190);
  EXPECT_EQ(Tab(kTabCloseApp).activation_learn_action, 220);
  EXPECT_FALSE(SlotForAction(190));
  EXPECT_FALSE(SlotForAction(220));
  EXPECT_FALSE(SlotForAction(0));
  EXPECT_EQ(SlotForAction(231), 260);
  EXPECT_EQ(SlotForAction(250), 298);
  EXPECT_FALSE(SlotForAction(251));
}

TEST(SlotMap, CodesAreListedInSlotOrderForTheDispatchPass) {
  for (const TabSpec& tab : Tabs())
    for (std::size_t i = 1; i < tab.codes.size(); ++i)
      EXPECT_LT(tab.codes[i - 1].slot, tab.codes[i].slot) << tab.caption;
}

TEST(SlotMap, ClearingCoversTheCodesAndToggleButNeverStateOrPaths) {
  for (const TabSpec& tab : Tabs()) {
    std::set<int> expected;
    if (tab.toggle) expected.insert(tab.toggle->slot);
    for (const CodeSlot& c : tab.codes) expected.insert(c.slot);
    if (tab.number == kTabPowerPoint) expected.insert(152);
    EXPECT_EQ(std::set<int>(tab.clear_slots.begin(), tab.clear_slots.end()), expected)
        << tab.caption;
    EXPECT_TRUE(std::is_sorted(tab.clear_slots.begin(), tab.clear_slots.end()));
  }
}

TEST(SlotMap, TabsGroupsAndPageOrder) {
  for (int n = 1; n <= kTabCount; ++n) EXPECT_EQ(Tab(n).number, n);
  const int page_order[] = {1, 2, 14, 3, 4, 5, 6, 7, 11, 8, 10, 13, 9, 12, 15};
  EXPECT_TRUE(std::equal(PageOrder().begin(), PageOrder().end(), std::begin(page_order)));
  const int a[] = {3, 4, 5, 6, 7, 11};
  const int b[] = {8, 10, 13};
  auto ga = GroupMembers(Group::A);
  auto gb = GroupMembers(Group::B);
  EXPECT_TRUE(std::equal(ga.begin(), ga.end(), std::begin(a), std::end(a)));
  EXPECT_TRUE(std::equal(gb.begin(), gb.end(), std::begin(b), std::end(b)));
  for (const TabSpec& tab : Tabs()) {
    const bool member = std::find(ga.begin(), ga.end(), tab.number) != ga.end() ||
                        std::find(gb.begin(), gb.end(), tab.number) != gb.end();
    EXPECT_EQ(member, tab.group != Group::None) << tab.caption;
    EXPECT_EQ(member, tab.toggle.has_value()) << tab.caption;
  }
  // Routing's conflict test looks at twelve tabs; a refusal turns eleven off.
  int tested = 0, turned_off = 0;
  for (const TabSpec& tab : Tabs()) {
    tested += tab.in_learning_conflict_test;
    turned_off += tab.off_on_conflict;
  }
  EXPECT_EQ(tested, 12);
  EXPECT_EQ(turned_off, 11);
  EXPECT_TRUE(Tab(kTabCustomKeys).in_learning_conflict_test);
  EXPECT_TRUE(Tab(kTabCustomKeys).off_on_conflict);
  EXPECT_FALSE(Tab(kTabPowerPoint).in_learning_conflict_test);
  EXPECT_TRUE(Tab(kTabCloseApp).off_on_conflict);
  EXPECT_FALSE(Tab(kTabVolumes).off_on_conflict);
}

}  // namespace
}  // namespace talvoro::dispatch

namespace talvoro::dispatch {
namespace {

// Every button of a media tab shows a picture; the other tabs' buttons keep
// their own looks (the Volumes and Windows tabs, the launcher's digits).
TEST(SlotMap, EveryMediaButtonAndOnlyMediaButtonsHaveAPicture) {
  int media_buttons = 0;
  for (const TabSpec& tab : Tabs()) {
    SCOPED_TRACE(tab.caption);
    for (const CodeSlot& code : tab.codes) {
      SCOPED_TRACE(code.slot);
      if (tab.media) {
        ++media_buttons;
        EXPECT_NE(code.picture, ui::ButtonPicture::None);
        EXPECT_NE(ui::ResourceName(code.picture), nullptr);
        EXPECT_EQ(ui::MainLayout().controls[ui::MainForm::At(code.control)].kind,
                  ui::Kind::SpeedButton);
      } else {
        EXPECT_EQ(code.picture, ui::ButtonPicture::None);
      }
    }
    if (tab.toggle) {
      EXPECT_EQ(tab.toggle->picture, ui::ButtonPicture::None);
    }
  }
  EXPECT_EQ(media_buttons, 109);
}

// The Activer buttons, and only they, show the power symbol.
TEST(SlotMap, TheActiverButtonsShowThePowerSymbol) {
  for (const TabSpec& tab : Tabs())
    for (const CodeSlot& code : tab.codes) {
      SCOPED_TRACE(code.slot);
      EXPECT_EQ(code.role == MediaRole::Activer, code.picture == ui::ButtonPicture::Power);
    }
}

// Buttons whose status line says the same thing show the same picture,
// whatever their tab.
TEST(SlotMap, ButtonsThatDoTheSameShowTheSamePicture) {
  std::map<std::string, std::pair<ui::ButtonPicture, int>> by_status;
  int shared = 0;
  for (const TabSpec& tab : Tabs())
    for (const CodeSlot& code : tab.codes) {
      if (!code.osd_status) continue;
      auto [it, first] = by_status.emplace(code.osd_status, std::pair{code.picture, code.slot});
      if (first) continue;
      ++shared;
      EXPECT_EQ(code.picture, it->second.first)
          << "slot " << code.slot << " and slot " << it->second.second << " both say "
          << code.osd_status;
    }
  EXPECT_GT(shared, 30);  // "Bouton : Arrêt", "Bouton : Suivant", "ACTIF", ...
}

// Every picture of the list is shown by some button: none is drawn for nothing.
TEST(SlotMap, EveryButtonPictureIsUsed) {
  std::set<ui::ButtonPicture> used;
  for (const TabSpec& tab : Tabs())
    for (const CodeSlot& code : tab.codes) used.insert(code.picture);
  for (ui::ButtonPicture picture : ui::kButtonPictures)
    EXPECT_TRUE(used.count(picture)) << ui::ResourceName(picture);
}

TEST(SlotMap, ButtonPictureResourceNamesAreDistinct) {
  std::set<std::string> names;
  for (ui::ButtonPicture picture : ui::kButtonPictures)
    EXPECT_TRUE(names.insert(ui::ResourceName(picture)).second) << ui::ResourceName(picture);
  EXPECT_EQ(ui::ResourceName(ui::ButtonPicture::None), nullptr);
}

}  // namespace
}  // namespace talvoro::dispatch
