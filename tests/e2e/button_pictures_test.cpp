// The media tabs' buttons show their pictures, built into the program, in
// their middle: the Winamp and Power DVD pages are checked button by button
// against the program's own BITMAP resources and captured
// (build/screenshots/tab_winamp.png, tab_powerdvd.png).
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "harness.h"
#include "remote_fixture.h"
#include "tables.h"

namespace e2e {
namespace {

struct ShownPicture {
  const char* button;
  const wchar_t* picture;  // resource name
};

struct MediaPage {
  const char* sheet;
  const wchar_t* screenshot;
  std::vector<ShownPicture> buttons;
};

class ButtonPictures : public RemoteControlTest {
 protected:
  // Whether `button` shows the resource picture `picture` in its middle
  // (a pixel off either way allowed).
  static bool ShowsCentred(HWND button, const Pixels& picture) {
    auto shot = CaptureWindow(button);
    if (!shot) return false;
    const int x = (shot->width - picture.width) / 2;
    const int y = (shot->height - picture.height) / 2;
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx)
        if (ContainsPicture(*shot, POINT{x + dx, y + dy}, picture)) return true;
    return false;
  }

  std::optional<Pixels> Resource(const wchar_t* name) const {
    return ReadBitmapResource(dir_.File(L"Talvoro_IR.exe"), name);
  }
};

TEST_F(ButtonPictures, MediaButtonsShowTheirPicturesInTheirMiddle) {
  Start(ValidProgramme());
  const MediaPage pages[] = {
      {"TabSheet4",
       L"tab_winamp",
       {{"SpeedButton34", L"BUTTON_POWER"},
        {"SpeedButton24", L"BUTTON_PREVIOUS"},
        {"SpeedButton28", L"BUTTON_PLAY"},
        {"SpeedButton27", L"BUTTON_PAUSE"},
        {"SpeedButton26", L"BUTTON_STOP"},
        {"SpeedButton30", L"BUTTON_NEXT"},
        {"SpeedButton31", L"BUTTON_REPEAT"}}},
      {"TabSheet5",
       L"tab_powerdvd",
       {{"SpeedButton36", L"BUTTON_POWER"},
        {"SpeedButton43", L"BUTTON_STEP_FORWARD"},
        {"SpeedButton47", L"BUTTON_FULL_SCREEN"},
        {"SpeedButton48", L"BUTTON_EJECT"},
        {"SpeedButton45", L"BUTTON_SUBTITLES"}}},
  };
  for (const MediaPage& page : pages) {
    SCOPED_TRACE(page.sheet);
    ASSERT_TRUE(app_->SelectPage(page.sheet));
    for (const ShownPicture& shown : page.buttons) {
      SCOPED_TRACE(shown.button);
      HWND button = app_->Control(shown.button);
      ASSERT_NE(button, nullptr);
      auto picture = Resource(shown.picture);
      ASSERT_TRUE(picture) << "no resource " << ToUtf8(shown.picture);
      EXPECT_TRUE(WaitUntil([&] { return ShowsCentred(button, *picture); }, kWait))
          << "does not show " << ToUtf8(shown.picture);
    }
    Screenshot(app_->main_window(), page.screenshot);
  }
  // Each button shows its own picture, not just any: Stop is not on Play.
  auto play_picture = Resource(L"BUTTON_PLAY");
  auto stop_picture = Resource(L"BUTTON_STOP");
  ASSERT_TRUE(play_picture && stop_picture);
  ASSERT_TRUE(app_->SelectPage("TabSheet4"));
  HWND play = app_->Control("SpeedButton28");
  ASSERT_TRUE(WaitUntil([&] { return ShowsCentred(play, *play_picture); }, kWait));
  EXPECT_FALSE(ShowsCentred(play, *stop_picture));
}

}  // namespace
}  // namespace e2e
