// The platform services the core is built on, handed over at start.
#pragma once

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/file_system.h"
#include "platform/hid_backend.h"
#include "platform/keyboard.h"
#include "platform/main_thread.h"
#include "platform/mixer.h"
#include "platform/power.h"
#include "platform/programs.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/shortcuts.h"
#include "platform/single_instance.h"
#include "platform/system_info.h"
#include "platform/timers.h"

namespace talvoro::app {

struct Services {
  platform::IFileSystem& files;
  platform::IClock& clock;
  platform::ITimers& timers;
  platform::IDialogs& dialogs;
  platform::IKeyboard& keyboard;
  platform::IShell& shell;
  platform::IRegistry& registry;
  platform::IMixer& mixer;
  platform::ISingleInstance& instance;
  platform::IHidBackend& hid;
  platform::MainThreadQueue& main_thread;
  platform::IPower& power;
  platform::IPrograms& programs;
  platform::IShortcuts& shortcuts;
  platform::ISystemInfo& system_info;
};

}  // namespace talvoro::app
