// The on-screen display: places, panels, centring and the hide countdown.
#include <gmock/gmock.h>

#include "heart_fixture.h"
#include "ui/centre.h"

namespace talvoro::test {
namespace {

using osd::OsdPlace;
using osd::Point;
using ui::OsdId;

Point Place(const std::string& setting, int w, int h) {
  Point p{-1, -1};
  EXPECT_TRUE(OsdPlace(setting, {w, h}, p)) << setting;
  return p;
}

MATCHER_P2(IsAt, x, y, "") {
  return arg.x == x && arg.y == y;
}

TEST(OsdPlaces, FourByThreeAndFiveByFourScreens) {
  EXPECT_THAT(Place("POSI_OSD_HG", 1024, 768), IsAt(64, 64));
  EXPECT_THAT(Place("POSI_OSD_BG", 1024, 768), IsAt(64, 666));
  EXPECT_THAT(Place("POSI_OSD_HD", 1024, 768), IsAt(642, 64));
  EXPECT_THAT(Place("POSI_OSD_BD", 1024, 768), IsAt(642, 666));
  EXPECT_THAT(Place("POSI_OSD_CE", 1024, 768), IsAt(362, 334));
  EXPECT_THAT(Place("POSI_OSD_HG", 1280, 1024), IsAt(80, 80));
  EXPECT_THAT(Place("POSI_OSD_BG", 1280, 1024), IsAt(80, 896));
  EXPECT_THAT(Place("POSI_OSD_HD", 1280, 1024), IsAt(886, 80));
  EXPECT_THAT(Place("POSI_OSD_BD", 1280, 1024), IsAt(886, 896));
  EXPECT_THAT(Place("POSI_OSD_CE", 1280, 1024), IsAt(490, 462));
}

TEST(OsdPlaces, WideScreensKeepTheRightHandPlacesAtTheRight) {
  // 1920 - 352 - 1920 / 32
  EXPECT_THAT(Place("POSI_OSD_HD", 1920, 1080), IsAt(1508, 120));
  EXPECT_THAT(Place("POSI_OSD_BD", 1920, 1080), IsAt(1508, 888));
  EXPECT_THAT(Place("POSI_OSD_HG", 1920, 1080), IsAt(120, 120));
  EXPECT_THAT(Place("POSI_OSD_CE", 1920, 1080), IsAt(810, 490));
  Point p{7, 7};
  for (const char* setting : {"", "POSI_OSD_hg", "POSI_OSD_HG ", "OSD_ON"}) {
    EXPECT_FALSE(OsdPlace(setting, {1024, 768}, p));
    EXPECT_THAT(p, IsAt(7, 7));
  }
}

TEST(OsdCentring, HalvesGoToTheEvenNeighbour) {
  EXPECT_EQ(ui::CentredLeft(353, 100), 126);  // 126.5
  EXPECT_EQ(ui::CentredLeft(353, 98), 128);   // 127.5
  EXPECT_EQ(ui::CentredLeft(352, 100), 126);
  EXPECT_EQ(ui::CentredLeft(100, 103), -2);  // -1.5
  EXPECT_EQ(ui::CentredLeft(100, 101), 0);   // -0.5
}

class OsdTest : public HeartTest {
 protected:
  osd::Osd& osd() { return win().osd(); }
  bool Shown() { return osd_form().Visible(OsdId::TForm5); }
  std::vector<OsdId> VisiblePanels() {
    std::vector<OsdId> panels;
    for (OsdId p : {OsdId::Panel1, OsdId::Panel2, OsdId::Panel3, OsdId::Panel4, OsdId::Panel5})
      if (osd_form().Visible(p)) panels.push_back(p);
    return panels;
  }
};

TEST_F(OsdTest, TwoAnnouncementsASecondAndAHalfApartStayUntilTheSecondTickAfterTheLast) {
  settings_lines[6] = "POSI_OSD_HG";
  Start();
  osd().ShowOsdMessage("Titre", "Etat");  // t = 0: the period starts
  EXPECT_TRUE(Shown());
  EXPECT_TRUE(osd_form().Get(OsdId::TForm5).topmost);
  fake.timers.Fire(1000);  // t = 1.0
  EXPECT_EQ(osd().hide_ticks(), 1);
  osd().ShowOsdInfo("Un", "Deux");  // t = 1.5: count back to 0, period kept
  EXPECT_EQ(osd().hide_ticks(), 0);
  fake.timers.Fire(1000);  // t = 2.0
  EXPECT_TRUE(Shown());
  fake.timers.Fire(1000);  // t = 3.0
  EXPECT_FALSE(Shown());
  EXPECT_FALSE(osd_form().Get(OsdId::TForm5).topmost);
  EXPECT_FALSE(osd().hide_timer_running());
}

TEST_F(OsdTest, EachAnnouncementShowsItsPanelAloneAndIsPlacedEachTime) {
  settings_lines[6] = "POSI_OSD_BD";
  Start();
  EXPECT_EQ(osd_form().Get(OsdId::TForm5).x, 889);  // not placed before it shows
  win().state().levels = {70, 200, -30};
  osd().ShowOsdMessage("Lecteur Winamp", "Activation des codes IR");
  EXPECT_EQ(VisiblePanels(), std::vector<OsdId>{OsdId::Panel5});
  EXPECT_EQ(osd_form().Get(OsdId::TForm5).x, 642);
  EXPECT_EQ(osd_form().Get(OsdId::TForm5).y, 666);

  osd().ShowOsdVolume("SON_ON.BMP");
  EXPECT_EQ(VisiblePanels(), std::vector<OsdId>{OsdId::Panel1});
  EXPECT_EQ(osd_form().Get(OsdId::ProgressBar1).position, 70);
  EXPECT_EQ(osd_form().Get(OsdId::ProgressBar2).position, 200);
  EXPECT_EQ(*osd_form().Get(OsdId::Image1).image, "SON_ON.BMP");

  osd().ShowOsdBalance(-30);
  EXPECT_EQ(VisiblePanels(), std::vector<OsdId>{OsdId::Panel2});
  EXPECT_EQ(osd_form().Get(OsdId::TrackBar1).position, -30);
  EXPECT_FALSE(osd_form().Enabled(OsdId::TrackBar1));

  osd().ShowOsdSelection("Volume général sélectionné...", 55);
  EXPECT_EQ(VisiblePanels(), std::vector<OsdId>{OsdId::Panel3});
  EXPECT_EQ(osd_form().Get(OsdId::Label8).x, 55);
  EXPECT_EQ(osd_form().Text(OsdId::Label8), "Volume général sélectionné...");

  osd().ShowOsdInfo("Ouverture", "Patientez...");
  EXPECT_EQ(VisiblePanels(), std::vector<OsdId>{OsdId::Panel4});
  const auto& line = osd_form().Get(OsdId::Label10);
  EXPECT_EQ(line.x, ui::CentredLeft(353, line.w));
  EXPECT_EQ(line.w, osd_form().TextWidth(OsdId::Label10, "Patientez..."));

  // A setting changed meanwhile moves it at the next announcement; an unknown
  // one leaves it where it is.
  win().settings()[config::kOsdPosition] = "POSI_OSD_HG";
  osd().SetOsdStatus("x");
  EXPECT_EQ(osd_form().Get(OsdId::TForm5).x, 642);
  osd().ShowOsd();
  EXPECT_EQ(osd_form().Get(OsdId::TForm5).x, 64);
  win().settings()[config::kOsdPosition] = "";
  osd().ShowOsd();
  EXPECT_EQ(osd_form().Get(OsdId::TForm5).x, 64);
}

TEST_F(OsdTest, OnTheMonitorOfTheWindowInFrontOnlyWhenAskedExactly) {
  settings_lines[6] = "POSI_OSD_HD";
  settings_lines[10] = "OSD_ECRAN_ACTIF";
  Start();
  auto placed_at = [&](std::optional<platform::ScreenRect> front) {
    fake.shell.foreground_screen = front;
    osd().ShowOsd();
    const ui::ControlState& s = osd_form().Get(OsdId::TForm5);
    return Point{s.x, s.y};
  };
  // A 1920 x 1080 primary; a 1280 x 1024 monitor left of it; above it, a
  // 2560 x 1440 one at 150 % (1707 x 960 layout pixels).
  fake.shell.screen = {1920, 1080};
  const platform::ScreenRect left{-1280, 0, 1280, 1024};
  const platform::ScreenRect above{0, -1440, 1707, 960};
  EXPECT_THAT(placed_at(left), IsAt(-1280 + 886, 80));
  EXPECT_THAT(placed_at(above), IsAt(1707 - 352 - 53, -1440 + 106));
  EXPECT_THAT(placed_at(std::nullopt), IsAt(1508, 120));  // no window in front
  win().settings()[config::kOsdPosition] = "POSI_OSD_CE";
  EXPECT_THAT(placed_at(left), IsAt(-1280 + 490, 462));
  win().settings()[config::kOsdPosition] = "POSI_OSD_BG";
  EXPECT_THAT(placed_at(above), IsAt(106, -1440 + 790));

  // Any other value: the primary screen, wherever the window in front is.
  for (const char* other : {"OSD_ECRAN_PRINCIPAL", "", "osd_ecran_actif", "OSD_ECRAN_ACTIF "}) {
    win().settings()[config::kOsdActiveScreen] = other;
    EXPECT_THAT(placed_at(left), IsAt(120, 888)) << other;
  }
}

TEST_F(OsdTest, TheConditionNeedsTheReducedWindowAndExactlyOsdOn) {
  settings_lines[5] = "OSD_ON";
  Start();
  EXPECT_FALSE(osd::OsdCondition(state(), win().settings()));
  win().Reduce();
  EXPECT_TRUE(osd::OsdCondition(state(), win().settings()));
  win().settings()[config::kOsdSwitch] = "OSD_OFF";
  EXPECT_FALSE(osd::OsdCondition(state(), win().settings()));
}

}  // namespace
}  // namespace talvoro::test
