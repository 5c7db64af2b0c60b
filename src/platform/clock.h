// Wall-clock time and blocking pauses on the calling thread.
#pragma once

namespace talvoro::platform {

struct DateTime {
  int year = 0;
  int month = 0;  // 1..12
  int day = 0;    // 1..31
  int hour = 0;   // 0..23
  int minute = 0;
  int second = 0;
  int millisecond = 0;  // 0..999
};

class IClock {
 public:
  virtual ~IClock() = default;
  virtual DateTime Now() = 0;
  virtual void Sleep(int milliseconds) = 0;
};

}  // namespace talvoro::platform
