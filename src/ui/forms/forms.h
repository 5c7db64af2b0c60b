// The program's windows: one control enumeration and one layout table each,
// both generated from the form's .def table.
//
// A .def table is a list of
//   CONTROL(Name, Kind, Parent, X, Y, W, H, "Caption", "Hint", Style)
// rows. The first row is the form itself (its own parent). Parent names an
// earlier row; X, Y are relative to the parent's client area. Style names a
// constant of ui/forms/styles.h (or of the .def's own prelude).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "ui/form_model.h"

namespace talvoro::ui {

#define TALVORO_CONTROL_ENUM(name, ...) name,

enum class MainId : std::uint16_t {
#define CONTROL TALVORO_CONTROL_ENUM
#include "ui/forms/main_form.def"
#undef CONTROL
  Count
};

enum class SerialId : std::uint16_t {
#define CONTROL TALVORO_CONTROL_ENUM
#include "ui/forms/serial_form.def"
#undef CONTROL
  Count
};

enum class SettingsId : std::uint16_t {
#define CONTROL TALVORO_CONTROL_ENUM
#include "ui/forms/settings_form.def"
#undef CONTROL
  Count
};

enum class LearnId : std::uint16_t {
#define CONTROL TALVORO_CONTROL_ENUM
#include "ui/forms/learn_form.def"
#undef CONTROL
  Count
};

enum class OsdId : std::uint16_t {
#define CONTROL TALVORO_CONTROL_ENUM
#include "ui/forms/osd_form.def"
#undef CONTROL
  Count
};

enum class CountdownId : std::uint16_t {
#define CONTROL TALVORO_CONTROL_ENUM
#include "ui/forms/countdown_form.def"
#undef CONTROL
  Count
};

enum class ConflictId : std::uint16_t {
#define CONTROL TALVORO_CONTROL_ENUM
#include "ui/forms/conflict_form.def"
#undef CONTROL
  Count
};

enum class AboutId : std::uint16_t {
#define CONTROL TALVORO_CONTROL_ENUM
#include "ui/forms/about_form.def"
#undef CONTROL
  Count
};

enum class KeysId : std::uint16_t {
#define CONTROL TALVORO_CONTROL_ENUM
#include "ui/forms/keys_form.def"
#undef CONTROL
  Count
};

enum class JournalId : std::uint16_t {
#define CONTROL TALVORO_CONTROL_ENUM
#include "ui/forms/journal_form.def"
#undef CONTROL
  Count
};

#undef TALVORO_CONTROL_ENUM

#define FORM(Type, member, window_class) \
  const FormLayout& Type##Layout();      \
  using Type##Form = Form<Type##Id>;
#include "ui/forms/form_list.def"
#undef FORM

// One live form of each kind, in creation order.
struct FormSet {
#define FORM(Type, member, window_class) Type##Form member{Type##Layout()};
#include "ui/forms/form_list.def"
#undef FORM

  static constexpr std::size_t kCount = 0
#define FORM(Type, member, window_class) +1
#include "ui/forms/form_list.def"
#undef FORM
      ;
  // All of them, in creation order (TForm1 first).
  std::array<FormBase*, kCount> All() {
    return {
#define FORM(Type, member, window_class) &member,
#include "ui/forms/form_list.def"
#undef FORM
    };
  }
};

}  // namespace talvoro::ui
