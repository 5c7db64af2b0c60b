// Decisions the Windows layer takes on user input before it reaches a form,
// kept apart from the window procedures so that the host's unit tests can
// check them against real forms.
#pragma once

#include <cstddef>

#include "platform/win32/layout_plan.h"
#include "ui/form_model.h"

namespace talvoro::platform::win32 {

// A radio button was clicked: it becomes the checked one of its group and its
// siblings are unchecked, in the form's state. Returns whether the click is
// reported: as with the original widgets, a click on the button that was
// already checked changes nothing and is not.
inline bool ClickRadio(ui::FormBase& form, std::size_t index) {
  const bool was_checked = form.state(index).checked;
  for (std::size_t sibling : RadioGroupOf(form.layout(), index))
    form.ViewSetChecked(sibling, sibling == index);
  return !was_checked;
}

// After a press went to the form (ViewMouseDown), whether the control itself
// still gets it. Other buttons than the left one always do. A check box
// whose press is handled keeps the state the handler gave it, so its own
// click toggle is withheld. And when the handler ran a modal loop (a message
// box), that loop took the button's release: passing the press on would
// leave the control holding the mouse, pushed in, until the next click.
// Whether the physical button is still down tells nothing here: a press
// made by a program (BM_CLICK, which screen readers and automation tools
// use) comes with the button up.
inline bool PassPressToControl(const ui::FormBase& form, std::size_t index, bool left_button,
                               bool modal_loop_ran) {
  if (!left_button) return true;
  if (form.layout().controls[index].kind == ui::Kind::CheckBox && form.HandlesMouseDown(index))
    return false;
  return !modal_loop_ran;
}

}  // namespace talvoro::platform::win32
