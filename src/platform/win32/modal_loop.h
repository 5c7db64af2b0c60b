// Every modal loop the program runs (message boxes, the file dialogs, popup
// menus, the menu bar's own loop) is bracketed by one ModalLoop: while one is
// open the main-thread queue holds the receiver's codes, which run once the
// last one has closed (see platform::MainThreadQueue). A code run inside a
// box would have its keys answer the box, and its handler run inside the one
// that opened the box.
#pragma once

#include <cstdint>

#include "platform/main_thread.h"

namespace talvoro::platform::win32 {

class ModalLoop {
 public:
  ModalLoop();
  ~ModalLoop();
  ModalLoop(const ModalLoop&) = delete;
  ModalLoop& operator=(const ModalLoop&) = delete;

  // How many modal loops have been entered so far: a handler that reads it
  // before and after knows whether it ran one.
  static std::uint64_t Count();

  // The queue that is told of modal loops, for as long as it lives; boxes
  // shown without one (before it exists, after it is gone) hold nothing.
  class Attachment {
   public:
    explicit Attachment(MainThreadQueue& queue);
    ~Attachment();
    Attachment(const Attachment&) = delete;
    Attachment& operator=(const Attachment&) = delete;
  };

 private:
  MainThreadQueue* queue_;
};

}  // namespace talvoro::platform::win32
