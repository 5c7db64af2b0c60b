#include <gtest/gtest.h>

#include "app/application.h"
#include "app/main_window.h"
#include "config/line_file.h"
#include "fakes.h"

namespace talvoro::app {
namespace {

using config::FreshProgramme;
using ui::MainId;

constexpr const char* kDir = "C:\\P\\";

class ApplyTest : public ::testing::Test {
 protected:
  ApplyTest() {
    fake.instance.directory = kDir;
    for (const char* name : {"ledon.bmp", "ledoff.bmp", "SON_ON.BMP", "SON_OFF.BMP"})
      fake.files.files[std::string(kDir) + "\\" + name] = name;
    app = std::make_unique<Application>(fake.services());
    app->OnMainWindowCreated();
    fake.dialogs.errors.clear();
  }
  MainWindow& win() { return app->main_window(); }
  ui::MainForm& form() { return app->main_form(); }
  std::string Image(MainId id) { return *form().Get(id).image; }

  test::FakePlatform fake;
  std::unique_ptr<Application> app;
};

TEST_F(ApplyTest, SwitchesAndLampsFollowTheExactStateText) {
  auto& t = win().programme();
  t[1] = "ON";
  t[21] = "on";
  t[35] = "ON";
  t[51] = "ON";  // two members of one group: not enforced here
  t[255] = "ON ";
  win().ApplyConfiguration();
  EXPECT_TRUE(form().Checked(MainId::RxSwitch1));
  EXPECT_EQ(Image(MainId::Led1), "ledon.bmp");
  EXPECT_FALSE(form().Checked(MainId::RxSwitch3));
  EXPECT_EQ(Image(MainId::Led2), "ledoff.bmp");
  EXPECT_TRUE(form().Checked(MainId::RxSwitch5));
  EXPECT_TRUE(form().Checked(MainId::RxSwitch7));
  EXPECT_FALSE(form().Checked(MainId::RxSwitch29));
  EXPECT_EQ(t[51], "ON");
}

TEST_F(ApplyTest, LevelSelectorChangesOnlyForVgAndVw) {
  auto& t = win().programme();
  t[2] = "VW";
  win().ApplyConfiguration();
  EXPECT_TRUE(form().Checked(MainId::RadioButton2));
  EXPECT_FALSE(form().Checked(MainId::RadioButton1));
  EXPECT_EQ(form().Text(MainId::Label16), "Volume wave / MP3");
  EXPECT_EQ(form().Get(MainId::Label16).x, 88);
  EXPECT_FALSE(form().Visible(MainId::Panel4));
  EXPECT_FALSE(form().Visible(MainId::SpeedButton6));
  EXPECT_FALSE(form().Visible(MainId::Label15));

  t[2] = "vg";
  win().ApplyConfiguration();
  EXPECT_TRUE(form().Checked(MainId::RadioButton2));
  EXPECT_EQ(form().Text(MainId::Label16), "Volume wave / MP3");

  t[2] = "VG";
  win().ApplyConfiguration();
  EXPECT_TRUE(form().Checked(MainId::RadioButton1));
  EXPECT_EQ(form().Text(MainId::Label16), "Volume général");
  EXPECT_EQ(form().Get(MainId::Label16).x, 98);
  EXPECT_TRUE(form().Visible(MainId::Panel4));
  EXPECT_TRUE(form().Visible(MainId::Label15));
}

TEST_F(ApplyTest, LevelsReachTheMixerBarsAndStoredLevels) {
  auto& t = win().programme();
  t[3] = "40";
  t[5] = "85";
  t[6] = "230";
  win().ApplyConfiguration();
  EXPECT_EQ(form().Get(MainId::ProgressBar1).position, 40);
  EXPECT_EQ(form().Get(MainId::TrackBar1).position, 85);
  EXPECT_EQ(form().Get(MainId::ProgressBar2).position, 230);
  EXPECT_EQ(win().levels().master, 40);
  EXPECT_EQ(win().levels().balance, 85);
  EXPECT_EQ(win().levels().wave, 230);
  EXPECT_EQ(fake.mixer.master.right, 26214u);
  EXPECT_EQ(fake.mixer.master.left, 26214u * 15 / 100);
}

TEST_F(ApplyTest, MuteSlotLoadsItsGlyphAndOtherValuesChangeNothing) {
  auto& t = win().programme();
  t[4] = "SON_OFF";
  win().ApplyConfiguration();
  EXPECT_TRUE(fake.mixer.mute);
  EXPECT_EQ(Image(MainId::SpeedButton6), "SON_OFF.BMP");
  t[4] = "son_on";
  win().ApplyConfiguration();
  EXPECT_TRUE(fake.mixer.mute);
  EXPECT_EQ(Image(MainId::SpeedButton6), "SON_OFF.BMP");
  t[4] = "SON_ON";
  win().ApplyConfiguration();
  EXPECT_FALSE(fake.mixer.mute);
  EXPECT_EQ(Image(MainId::SpeedButton6), "SON_ON.BMP");
}

TEST_F(ApplyTest, ConversionErrorStopsTheApplyAtItsStep) {
  auto& t = win().programme();
  t[5] = "x";
  t[6] = "10";
  t[22] = "999";
  try {
    win().ApplyConfiguration();
    FAIL();
  } catch (const std::exception& e) {
    EXPECT_STREQ(e.what(), "'x' n'est pas une valeur entière correcte");
  }
  EXPECT_NE(form().Get(MainId::ProgressBar2).position, 10);
  EXPECT_EQ(form().Text(MainId::Label23), "IR: ");
}

TEST_F(ApplyTest, CodeAndPathLabels) {
  auto& t = win().programme();
  t[7] = "4660";
  t[14] = "0";
  t[45] = "12";
  t[157] = "77";
  t[50] = "C:\\Program Files\\Winamp\\winamp.exe";
  t[221] = "C:\\Jeux\\\xE9t\xE9.exe";
  t[222] = "5";
  win().ApplyConfiguration();
  EXPECT_EQ(form().Text(MainId::Label3), "IR: 4660");
  EXPECT_EQ(form().Text(MainId::Label7), "IR: 0");
  EXPECT_EQ(form().Text(MainId::Label4), "IR: ");
  EXPECT_EQ(form().Text(MainId::LabelIr45), "IR: 12");
  EXPECT_EQ(form().Text(MainId::LabelIr157), "IR: 77");
  EXPECT_EQ(form().Text(MainId::Label81), "Winamp => C:\\Program Files\\Winamp\\winamp.exe");
  EXPECT_EQ(form().Text(MainId::Label87), "Power DVD => ");
  EXPECT_EQ(form().Text(MainId::Label269), "C:\\Jeux\\été.exe");
  EXPECT_EQ(form().Text(MainId::Label274), "IR: 5");
}

TEST_F(ApplyTest, AMissingLampImageIsReportedWithItsPath) {
  fake.files.files.erase(std::string(kDir) + "\\ledoff.bmp");
  try {
    win().ApplyConfiguration();
    FAIL();
  } catch (const std::exception& e) {
    EXPECT_STREQ(e.what(),
                 "Impossible d'ouvrir le fichier \"C:\\P\\\\ledoff.bmp\". Le fichier spécifié "
                 "est introuvable");
  }
}

}  // namespace
}  // namespace talvoro::app
