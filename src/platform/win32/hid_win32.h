#pragma once

#include "platform/win32/win32_api.h"

#include <cstdint>
#include <memory>

#include "platform/hid_backend.h"

namespace talvoro::platform::win32 {

// The real SetupAPI/HID backend; with `simulate`, wrapped in the simulated bus
// that irsim.exe drives over a named pipe.
std::unique_ptr<IHidBackend> CreateHidBackend(bool simulate);

// The device object the backend opens, built instead over `read_handle`, a
// handle already open for overlapped reading (one end of an overlapped pipe in
// the tests), whose reports are `input_report_length` bytes long. It owns the
// handle from then on and closes it in Close(). Reading, waiting, waking and
// closing run exactly as for an opened HID interface; it has no attributes
// (no HidD_ calls are made on the handle).
std::unique_ptr<IHidDevice> CreateHidDeviceOnHandle(HANDLE read_handle,
                                                    std::uint16_t input_report_length);

}  // namespace talvoro::platform::win32
