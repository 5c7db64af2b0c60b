// The screen and the PC's power.
#pragma once

namespace talvoro::platform {

enum class ExitKind { Restart, ShutDown };

class IPower {
 public:
  virtual ~IPower() = default;
  // Starts the screen saver (a system command posted to the desktop window).
  virtual void StartScreenSaver() = 0;
  // Puts the display into its low-power state (a system command posted to
  // the program's own top-level window; never sent, which would wait).
  virtual void DisplayLowPower() = 0;
  // Enables the shut-down privilege, then restarts or shuts down (and
  // switches off) the PC as a planned shut-down. Results are not checked.
  virtual void ExitSystem(ExitKind kind) = 0;
};

}  // namespace talvoro::platform
