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
// Widths of the status bar's panels (only the main window has one).
constexpr int kMainStatusPanels[] = {300, 180, 50};
template <typename Id>
constexpr std::span<const int> kStatusPanels{};
template <>
constexpr std::span<const int> kStatusPanels<MainId>{kMainStatusPanels};

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

constexpr ControlSpec kKeysControls[] = {
#define CONTROL(...) TALVORO_CONTROL_ROW(KeysId, __VA_ARGS__)
#include "ui/forms/keys_form.def"
#undef CONTROL
};

constexpr ControlSpec kJournalControls[] = {
#define CONTROL(...) TALVORO_CONTROL_ROW(JournalId, __VA_ARGS__)
#include "ui/forms/journal_form.def"
#undef CONTROL
};

#undef TALVORO_CONTROL_ROW

}  // namespace

#define FORM(Type, member, window_class)                                                       \
  const FormLayout& Type##Layout() {                                                           \
    static const FormLayout layout{#window_class, k##Type##Controls, kStatusPanels<Type##Id>}; \
    return layout;                                                                             \
  }
#include "ui/forms/form_list.def"
#undef FORM

}  // namespace talvoro::ui
