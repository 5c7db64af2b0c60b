#include "app/clock_text.h"

#include <algorithm>

namespace talvoro::app {
namespace {

std::string Pad(int value, char fill) {
  return (value < 10 ? std::string(1, fill) : std::string()) + std::to_string(value);
}

}  // namespace

std::string ClockText(const platform::DateTime& now) {
  return " " + Pad(now.hour, ' ') + ":" + Pad(now.minute, '0') + ":" + Pad(now.second, '0') +
         "   " + Pad(now.day, '0') + "/" + Pad(now.month, '0') + "/" + std::to_string(now.year);
}

std::string TimeText(const platform::DateTime& time) {
  const std::string millisecond = std::to_string(time.millisecond);
  return Pad(time.hour, '0') + ":" + Pad(time.minute, '0') + ":" + Pad(time.second, '0') + "." +
         std::string(3 - std::min<std::size_t>(3, millisecond.size()), '0') + millisecond;
}

}  // namespace talvoro::app
