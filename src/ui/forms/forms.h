// The program's eight windows: one control enumeration and one layout table
// each, both generated from the form's .def table.
//
// A .def table is a list of
//   CONTROL(Name, Kind, Parent, X, Y, W, H, "Caption", "Hint", Style)
// rows. The first row is the form itself (its own parent). Parent names an
// earlier row; X, Y are relative to the parent's client area. Style names a
// constant of ui/forms/styles.h (or of the .def's own prelude).
#pragma once

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

#undef TALVORO_CONTROL_ENUM

const FormLayout& MainLayout();
const FormLayout& SerialLayout();
const FormLayout& SettingsLayout();
const FormLayout& LearnLayout();
const FormLayout& OsdLayout();
const FormLayout& CountdownLayout();
const FormLayout& ConflictLayout();
const FormLayout& AboutLayout();

using MainForm = Form<MainId>;
using SerialForm = Form<SerialId>;
using SettingsForm = Form<SettingsId>;
using LearnForm = Form<LearnId>;
using OsdForm = Form<OsdId>;
using CountdownForm = Form<CountdownId>;
using ConflictForm = Form<ConflictId>;
using AboutForm = Form<AboutId>;

}  // namespace talvoro::ui
