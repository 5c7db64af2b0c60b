#pragma once

#include <memory>

#include "platform/hid_backend.h"

namespace talvoro::platform::win32 {

// The real SetupAPI/HID backend; with `simulate`, wrapped in the simulated bus
// that irsim.exe drives over a named pipe.
std::unique_ptr<IHidBackend> CreateHidBackend(bool simulate);

}  // namespace talvoro::platform::win32
