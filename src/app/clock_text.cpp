#include "app/clock_text.h"

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

}  // namespace talvoro::app
