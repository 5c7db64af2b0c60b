// PLACEHOLDER, NOT YET STARTING ANYTHING: stands in for the application start
// step (the program stored in the tab's path slot) until that step exists.
// The media tabs' buttons then send their keys to whatever window is in
// front without starting their application first.
#pragma once

#include "media/start_step.h"

namespace talvoro::media {

class PlaceholderStartStep final : public IStartStep {
 public:
  // Starts nothing and reports nothing.
  bool StartApplication(int) override { return false; }
};

}  // namespace talvoro::media
