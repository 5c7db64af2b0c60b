#pragma once

#include <string>

#include "platform/clock.h"

namespace talvoro::app {

// The status bar clock: " 14:05:07   07/12/2026" (hour padded with a space,
// the rest with zeros).
std::string ClockText(const platform::DateTime& now);

// A time to the millisecond: "14:05:07.045".
std::string TimeText(const platform::DateTime& time);

}  // namespace talvoro::app
