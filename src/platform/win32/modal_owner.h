// Which window a message box belongs to.
#pragma once

#include "platform/win32/win32_api.h"

namespace talvoro::platform::win32 {

struct ModalOwner {
  HWND window = nullptr;
  UINT extra_flags = 0;

  // The thread's active window when there is one. Otherwise no owner, and
  // MB_TASKMODAL so that the box still disables every window of the program
  // (an owner-less box would otherwise let the user click on under it, and
  // reenter the handler that is waiting for it).
  static ModalOwner Current() {
    ModalOwner owner;
    owner.window = GetActiveWindow();
    if (!owner.window) owner.extra_flags = MB_TASKMODAL;
    return owner;
  }
};

}  // namespace talvoro::platform::win32
