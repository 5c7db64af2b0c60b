#include "platform/win32/own_keys.h"

namespace talvoro::platform::win32 {

OwnKeyFilter::OwnKeyFilter() {
  // A WH_GETMESSAGE hook of this thread alone sees every message that any
  // GetMessage or PeekMessage of the thread takes, including those of modal
  // loops we do not own (MessageBox, the common dialogs, TrackPopupMenu),
  // before the loop acts on it. Should it not be had, the program runs as
  // it would without it.
  hook_ = SetWindowsHookExW(WH_GETMESSAGE, OnGetMessage, nullptr, GetCurrentThreadId());
}

OwnKeyFilter::~OwnKeyFilter() {
  if (hook_) UnhookWindowsHookEx(hook_);
}

LRESULT CALLBACK OwnKeyFilter::OnGetMessage(int code, WPARAM removal, LPARAM message) {
  auto* msg = reinterpret_cast<MSG*>(message);
  if (code == HC_ACTION && msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST &&
      static_cast<ULONG_PTR>(GetMessageExtraInfo()) == kOwnKeyMark) {
    // The hook may change the message its caller gets: WM_NULL does nothing
    // in any loop. A menu loop first peeks without removing and then removes
    // the same message; both calls come here and both are emptied.
    // Translating the key into characters, DefWindowProc's Alt+F4 and its
    // menu bar on the Alt release never happen; the thread's key state was
    // already updated when the message was taken, so an Alt press and its
    // release, both dropped, leave Alt up as before.
    msg->message = WM_NULL;
    msg->wParam = 0;
    msg->lParam = 0;
    // GetMessageExtraInfo tells the extra information of the last input
    // message taken; Windows may leave it as it is when a posted message is
    // taken next. Cleared once the key is gone, so that a key message posted
    // to the program afterwards (a program that posts rather than injects
    // keys) is not taken for one of ours.
    if (removal == PM_REMOVE) SetMessageExtraInfo(0);
  }
  return CallNextHookEx(nullptr, code, removal, message);
}

}  // namespace talvoro::platform::win32
