#include "platform/win32/error_box.h"

#include <exception>

#include "platform/win32/error_text.h"
#include "platform/win32/modal_loop.h"
#include "platform/win32/modal_owner.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_api.h"

namespace talvoro::platform::win32 {

void ShowErrorBox(const std::string& utf8_message) {
  const ModalOwner owner = ModalOwner::Current();
  // Shown from every entry (queue, timers, handlers): all hold the codes.
  const ModalLoop loop;
  MessageBoxW(owner.window, Utf8ToWide(ErrorBoxText(utf8_message)).c_str(), kApplicationTitle,
              MB_ICONERROR | MB_OK | owner.extra_flags);
}

void ReportEscapedException() noexcept {
  // Exceptions must never unwind through the system's frames that called a
  // window procedure: that is undefined behaviour, and on 64-bit Windows the
  // system may even swallow them silently. Everything is caught here.
  try {
    throw;
  } catch (const std::exception& e) {
    try {
      ShowErrorBox(e.what());
    } catch (...) {
    }
  } catch (...) {
    try {
      ShowErrorBox("Erreur inattendue");
    } catch (...) {
    }
  }
}

}  // namespace talvoro::platform::win32
