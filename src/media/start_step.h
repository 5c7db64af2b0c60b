// Bringing a media application forward: a start request made every time,
// whether or not the application already runs.
#pragma once

namespace talvoro::media {

class IStartStep {
 public:
  virtual ~IStartStep() = default;
  // Starts the program stored in the tab's path slot. When that fails it
  // beeps, shows the tab's warning and returns false once the box is closed;
  // the caller goes on all the same.
  virtual bool StartApplication(int tab) = 0;
};

}  // namespace talvoro::media
