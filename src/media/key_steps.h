// The sender of key scripts (dispatch/key_script.h): the one place the media
// tabs' keys are performed.
#pragma once

#include "dispatch/key_script.h"
#include "platform/clock.h"
#include "platform/keyboard.h"

namespace talvoro::media {

using dispatch::KeyScript;
using dispatch::KeyStep;
using dispatch::StepKind;

// Sends the steps in order: every key one event (scan code 0, no extended
// flag), every wait a sleep; nothing waits inside a tap or a chord.
void SendSteps(const KeyScript& script, platform::IKeyboard& keyboard, platform::IClock& clock);

}  // namespace talvoro::media
