// The keys the program sends are for the window in front, never for the
// program's own windows. Every key event it injects carries a mark of its own
// (kOwnKeyMark as the event's extra information), and a message hook on the
// window thread makes a keyboard message with that mark into nothing.
//
// Without it, a key sent while one of the program's windows is in front
// works that window: the Enter of a media button presses the button that has
// the focus, which runs the button again and sends Enter again, over and
// over; the Alt+F4 of "Fermer" closes the program itself; a Space presses
// whichever button or box is focused. Keys that other programs inject
// (on-screen keyboards, automation, accessibility tools) carry their own
// extra information and still work.
#pragma once

#include "platform/win32/win32_api.h"

namespace talvoro::platform::win32 {

// The extra information of every key event the program injects: "TALV" in
// ASCII. Any value but 0 (what keyboards and most programs give) would do;
// this one is clear of the pen and touch signature Windows puts in the upper
// bits of the extra information of the mouse messages it makes from a pen.
inline constexpr ULONG_PTR kOwnKeyMark = 0x54414C56;

// While it lives, keyboard messages (WM_KEYFIRST ... WM_KEYLAST) that carry
// the mark reach no loop of the thread that made it: the program's message
// loop, nor the modal loops Windows runs for message boxes, file dialogs and
// menus. The thread's view of which keys are down still follows them.
class OwnKeyFilter {
 public:
  OwnKeyFilter();
  ~OwnKeyFilter();
  OwnKeyFilter(const OwnKeyFilter&) = delete;
  OwnKeyFilter& operator=(const OwnKeyFilter&) = delete;

 private:
  static LRESULT CALLBACK OnGetMessage(int code, WPARAM removal, LPARAM message);

  HHOOK hook_ = nullptr;
};

}  // namespace talvoro::platform::win32
