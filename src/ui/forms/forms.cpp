#include "ui/forms/forms.h"

#include "ui/forms/styles.h"

namespace talvoro::ui {
namespace {

using namespace styles;

#define TALVORO_CONTROL_ROW(IdType, name, kind, parent, x, y, w, h, caption, hint, style)         \
  ControlSpec{#name, Kind::kind, static_cast<std::uint16_t>(IdType::parent), x, y, w, h, caption, \
              hint,  &style},

constexpr ControlSpec kMainControls[] = {
#define CONTROL(...) TALVORO_CONTROL_ROW(MainId, __VA_ARGS__)
#include "ui/forms/main_form.def"
#undef CONTROL
};
constexpr int kMainStatusPanels[] = {300, 180, 50};

constexpr ControlSpec kSerialControls[] = {
#define CONTROL(...) TALVORO_CONTROL_ROW(SerialId, __VA_ARGS__)
#include "ui/forms/serial_form.def"
#undef CONTROL
};

constexpr ControlSpec kSettingsControls[] = {
#define CONTROL(...) TALVORO_CONTROL_ROW(SettingsId, __VA_ARGS__)
#include "ui/forms/settings_form.def"
#undef CONTROL
};

constexpr ControlSpec kLearnControls[] = {
#define CONTROL(...) TALVORO_CONTROL_ROW(LearnId, __VA_ARGS__)
#include "ui/forms/learn_form.def"
#undef CONTROL
};

constexpr ControlSpec kOsdControls[] = {
#define CONTROL(...) TALVORO_CONTROL_ROW(OsdId, __VA_ARGS__)
#include "ui/forms/osd_form.def"
#undef CONTROL
};

constexpr ControlSpec kCountdownControls[] = {
#define CONTROL(...) TALVORO_CONTROL_ROW(CountdownId, __VA_ARGS__)
#include "ui/forms/countdown_form.def"
#undef CONTROL
};

constexpr ControlSpec kConflictControls[] = {
#define CONTROL(...) TALVORO_CONTROL_ROW(ConflictId, __VA_ARGS__)
#include "ui/forms/conflict_form.def"
#undef CONTROL
};

constexpr ControlSpec kAboutControls[] = {
#define CONTROL(...) TALVORO_CONTROL_ROW(AboutId, __VA_ARGS__)
#include "ui/forms/about_form.def"
#undef CONTROL
};

#undef TALVORO_CONTROL_ROW

}  // namespace

const FormLayout& MainLayout() {
  static const FormLayout layout{"TForm1", kMainControls, kMainStatusPanels};
  return layout;
}
const FormLayout& SerialLayout() {
  static const FormLayout layout{"TForm2", kSerialControls, {}};
  return layout;
}
const FormLayout& SettingsLayout() {
  static const FormLayout layout{"TForm3", kSettingsControls, {}};
  return layout;
}
const FormLayout& LearnLayout() {
  static const FormLayout layout{"TForm4", kLearnControls, {}};
  return layout;
}
const FormLayout& OsdLayout() {
  static const FormLayout layout{"TForm5", kOsdControls, {}};
  return layout;
}
const FormLayout& CountdownLayout() {
  static const FormLayout layout{"TForm6", kCountdownControls, {}};
  return layout;
}
const FormLayout& ConflictLayout() {
  static const FormLayout layout{"TForm7", kConflictControls, {}};
  return layout;
}
const FormLayout& AboutLayout() {
  static const FormLayout layout{"TForm8", kAboutControls, {}};
  return layout;
}

}  // namespace talvoro::ui
