// The /simulate backend: the real devices plus the simulated receivers that
// irsim.exe plugs, unplugs and makes send reports over a named pipe (the
// pipe's protocol is described in platform/sim_protocol.h).
#pragma once

#include <memory>

#include "platform/hid_backend.h"

namespace talvoro::platform::win32 {

std::unique_ptr<IHidBackend> CreateSimulatedHidBackend(std::unique_ptr<IHidBackend> real);

}  // namespace talvoro::platform::win32
