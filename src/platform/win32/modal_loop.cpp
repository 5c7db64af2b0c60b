#include "platform/win32/modal_loop.h"

namespace talvoro::platform::win32 {
namespace {

// Main thread only, as every window of the program.
MainThreadQueue* attached = nullptr;
std::uint64_t entered = 0;

}  // namespace

ModalLoop::ModalLoop() : queue_(attached) {
  ++entered;
  if (queue_) queue_->EnterModal();
}

ModalLoop::~ModalLoop() {
  // The queue it entered, even if another was attached meanwhile.
  if (queue_ && queue_ == attached) queue_->LeaveModal();
}

std::uint64_t ModalLoop::Count() {
  return entered;
}

ModalLoop::Attachment::Attachment(MainThreadQueue& queue) {
  attached = &queue;
}

ModalLoop::Attachment::~Attachment() {
  attached = nullptr;
}

}  // namespace talvoro::platform::win32
