// The pictures of the media tabs' buttons: an enumeration generated from
// button_pictures.def with each picture's resource name. Plain C++17 without
// any other header of the program, so that assetgen, a host tool, draws
// exactly this list.
#pragma once

#include <array>

namespace talvoro::ui {

enum class ButtonPicture {
  None,  // the button shows its caption only
#define BUTTON_PICTURE(id, name) id,
#include "button_pictures.def"
#undef BUTTON_PICTURE
};

// Every picture, in the list's order (None left out).
inline constexpr std::array kButtonPictures = {
#define BUTTON_PICTURE(id, name) ButtonPicture::id,
#include "button_pictures.def"
#undef BUTTON_PICTURE
};

// The picture's resource name; nullptr for None.
constexpr const char* ResourceName(ButtonPicture picture) {
  switch (picture) {
#define BUTTON_PICTURE(id, name) \
  case ButtonPicture::id:        \
    return name;
#include "button_pictures.def"
#undef BUTTON_PICTURE
    case ButtonPicture::None:
      break;
  }
  return nullptr;
}

}  // namespace talvoro::ui
