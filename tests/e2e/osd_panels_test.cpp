// The on-screen display's panels for the Volumes and Windows tabs: while the
// main window is reduced and the settings say "OSD_ON", volume up shows the
// volume panel, balance right the balance panel, choosing the master volume
// by the remote the selection panel, and the Explorer the information panel,
// each alone. Each is captured while shown (build/screenshots/osd_*.png).
#include <gtest/gtest.h>

#include "harness.h"
#include "remote_fixture.h"
#include "tables.h"

// After the Windows header that harness.h brings.
#include <commctrl.h>

namespace e2e {
namespace {

constexpr int kVolumesState = 1;
constexpr int kSelectMasterSlot = 7;
constexpr int kUpSlot = 9;
constexpr int kRightSlot = 12;
constexpr int kWindowsState = 21;
constexpr int kExplorerSlot = 22;

constexpr int kSelectMasterCode = 701;
constexpr int kUpCode = 901;
constexpr int kRightCode = 1201;
constexpr int kExplorerCode = 2201;

const char* const kPanels[] = {"Panel1", "Panel2", "Panel3", "Panel4", "Panel5"};

class OsdPanels : public RemoteControlTest {
 protected:
  void StartReduced() {
    std::vector<std::string> table = ValidProgramme();  // master 60, balance 0, sound on
    table[kVolumesState] = "ON";
    table[kSelectMasterSlot] = std::to_string(kSelectMasterCode);
    table[kUpSlot] = std::to_string(kUpCode);
    table[kRightSlot] = std::to_string(kRightCode);
    table[kWindowsState] = "ON";
    table[kExplorerSlot] = std::to_string(kExplorerCode);
    std::vector<std::string> settings = EmptySettings();
    settings[2] = "LANCE_ON";     // entry 3: reduced about two seconds after start
    settings[5] = "OSD_ON";       // entry 6
    settings[6] = "POSI_OSD_HG";  // entry 7: top left
    Start(table, settings);
    osd_ = app_->Form(L"TForm5");
    ASSERT_NE(osd_, nullptr);
    for (const char* name : kPanels) {
      panels_[name] = app_->Control(L"TForm5", name);
      ASSERT_NE(panels_[name], nullptr) << name;
    }
    HWND main = app_->main_window();
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(main); }, kWait))
        << "the main window was not reduced";
  }

  HWND Osd(std::string_view name) const { return app_->Control(L"TForm5", name); }

  // Whether panel `shown` is the one panel the display shows.
  bool Alone(const char* shown) const {
    for (const auto& [name, panel] : panels_) {
      const bool visible = (GetWindowLongW(panel, GWL_STYLE) & WS_VISIBLE) != 0;
      if (visible != (name == shown)) return false;
    }
    return true;
  }

  int Position(std::string_view name) const {
    HWND control = Osd(name);
    if (!control) return -1000;
    const UINT message = ClassName(control) == TRACKBAR_CLASSW ? TBM_GETPOS : PBM_GETPOS;
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(control, message, 0, 0, SMTO_ABORTIFHUNG, 5000, &result)) return -1000;
    return static_cast<int>(static_cast<LRESULT>(result));
  }

  // Sends `code` and captures the display once it shows `panel` alone and
  // `ready` holds; saves the picture as osd_<name>.png.
  std::optional<Pixels> Announce(int code, const char* panel, std::function<bool()> ready,
                                 const wchar_t* name) {
    ShowCapture capture(osd_, [this, panel, ready] { return Alone(panel) && ready(); });
    EXPECT_TRUE(Send(code));
    auto shot = capture.Wait(kWait);
    EXPECT_TRUE(shot) << "no on-screen display with " << panel << " alone for code " << code;
    if (shot) Screenshot(*shot, name);
    return shot;
  }

  HWND osd_ = nullptr;
  std::map<std::string, HWND> panels_;
};

TEST_F(OsdPanels, VolumeBalanceSelectionAndInformation) {
  StartReduced();
  HWND speaker = Osd("Image1");
  ASSERT_NE(speaker, nullptr);

  // Volume up: the volume panel, its bars at the levels, the sound-on speaker.
  auto volume = Announce(
      kUpCode, "Panel1",
      [&] { return Position("ProgressBar1") == 70 && Position("ProgressBar2") == 128; },
      L"osd_volume");
  EXPECT_EQ(Slot(3), "70");
  if (volume) {
    RECT osd_rect{}, image_rect{};
    GetWindowRect(osd_, &osd_rect);
    GetWindowRect(speaker, &image_rect);
    EXPECT_TRUE(ContainsPicture(
        *volume, POINT{image_rect.left - osd_rect.left, image_rect.top - osd_rect.top},
        dir_.File(L"SON_ON.BMP")))
        << "the volume panel does not show the sound-on speaker";
  }

  // Balance right: the balance panel, its track bar at the level.
  Announce(
      kRightCode, "Panel2", [&] { return Position("TrackBar1") == 10; }, L"osd_balance");
  EXPECT_EQ(Slot(5), "10");

  // The master volume chosen by the remote: the selection panel.
  Announce(
      kSelectMasterCode, "Panel3",
      [&] { return WindowText(Osd("Label8")) == L"Volume général sélectionné..."; },
      L"osd_selection");
  EXPECT_EQ(WindowText(Osd("Label7")), L"Contrôle du volume :");

  // The Explorer: the information panel.
  Announce(
      kExplorerCode, "Panel4",
      [&] {
        return WindowText(Osd("Label9")) == L"Ouverture de l'Explorateur Windows." &&
               WindowText(Osd("Label10")) == L"Patientez...";
      },
      L"osd_info");

  EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(osd_); }, kWait))
      << "the on-screen display did not hide itself";
  EXPECT_FALSE(IsWindowVisible(app_->main_window()));
}

}  // namespace
}  // namespace e2e
