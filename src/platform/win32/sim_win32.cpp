#include "platform/win32/sim_win32.h"

#include "platform/win32/win32_api.h"

#include <atomic>
#include <list>
#include <mutex>
#include <string>
#include <thread>

#include "platform/sim_bus.h"
#include "platform/sim_protocol.h"
#include "platform/win32/hid_window.h"

namespace talvoro::platform::win32 {

namespace {

using sim::Reply;
using sim::SimHidBus;
using sim::Status;

constexpr DWORD kRequestTimeoutMs = 10000;  // for the client to send its line
constexpr DWORD kWriteTimeoutMs = 10000;
constexpr DWORD kCloseGraceMs = 2000;  // for the client to read the answer and hang up
constexpr std::size_t kMaxLine = 16 * 1024;

std::wstring PipeName() {
  DWORD session = 0;
  if (!ProcessIdToSessionId(GetCurrentProcessId(), &session)) session = 0;
  const std::string name = sim::PipeName(session);
  return std::wstring(name.begin(), name.end());  // plain ASCII
}

// Serves irsim's requests: one thread listens, one thread per connection
// (a SEND may wait for the program for a long time; others can go on).
class PipeServer {
 public:
  explicit PipeServer(SimHidBus& bus) : bus_(bus) {
    stop_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (stop_) listener_ = std::thread([this] { Listen(); });
  }

  ~PipeServer() { Stop(); }

  void Stop() {
    if (stop_) SetEvent(stop_);
    if (listener_.joinable()) listener_.join();
    std::list<Worker> workers;
    {
      std::lock_guard lock(mutex_);
      workers.swap(workers_);
    }
    for (auto& worker : workers) {
      if (worker.thread.joinable()) worker.thread.join();
    }
    if (stop_) {
      CloseHandle(stop_);
      stop_ = nullptr;
    }
  }

 private:
  struct Worker {
    std::thread thread;
    std::shared_ptr<std::atomic<bool>> done = std::make_shared<std::atomic<bool>>(false);
  };

  enum class Io { Done, Failed, Stopped, TimedOut };

  bool Stopping() const { return WaitForSingleObject(stop_, 0) == WAIT_OBJECT_0; }

  // One overlapped transfer on `pipe`, given up on stop (when `stoppable`)
  // or after `timeout`. Given up means cancelled AND finished, so `data`
  // and the OVERLAPPED are free again when this returns.
  Io Transfer(HANDLE pipe, bool write, void* data, DWORD size, DWORD& done, DWORD timeout,
              bool stoppable) {
    done = 0;
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!event) return Io::Failed;
    OVERLAPPED overlapped{};
    overlapped.hEvent = event;
    const BOOL started = write ? WriteFile(pipe, data, size, nullptr, &overlapped)
                               : ReadFile(pipe, data, size, nullptr, &overlapped);
    Io result = Io::Done;
    if (!started && GetLastError() != ERROR_IO_PENDING) {
      result = Io::Failed;
    } else {
      // The transfer's event comes first: when both are set, a finished
      // transfer (say, the answer to an unplug that ends the program) counts.
      HANDLE handles[2] = {event, stop_};
      const DWORD wait = WaitForMultipleObjects(stoppable ? 2 : 1, handles, FALSE, timeout);
      if (wait != WAIT_OBJECT_0) {
        CancelIoEx(pipe, &overlapped);
        result = wait == WAIT_TIMEOUT ? Io::TimedOut : Io::Stopped;
      }
      if (!GetOverlappedResult(pipe, &overlapped, &done, TRUE) && result == Io::Done) {
        result = Io::Failed;
      }
    }
    CloseHandle(event);
    return result;
  }

  HANDLE CreateInstance(const std::wstring& name, bool first) {
    // The first instance claims the name: if another program already serves
    // it, this one stays without a server rather than share requests.
    const DWORD open_mode =
        PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED | (first ? FILE_FLAG_FIRST_PIPE_INSTANCE : 0);
    DWORD pipe_mode = PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS;
    HANDLE pipe = CreateNamedPipeW(name.c_str(), open_mode, pipe_mode, PIPE_UNLIMITED_INSTANCES,
                                   4096, 4096, 0, nullptr);
    if (pipe == INVALID_HANDLE_VALUE && GetLastError() == ERROR_INVALID_PARAMETER) {
      // Systems before Vista don't know PIPE_REJECT_REMOTE_CLIENTS.
      pipe_mode &= ~static_cast<DWORD>(PIPE_REJECT_REMOTE_CLIENTS);
      pipe = CreateNamedPipeW(name.c_str(), open_mode, pipe_mode, PIPE_UNLIMITED_INSTANCES, 4096,
                              4096, 0, nullptr);
    }
    return pipe;
  }

  // Waits for a client on `pipe`; false on stop or failure.
  bool WaitForClient(HANDLE pipe, HANDLE event) {
    ResetEvent(event);
    OVERLAPPED overlapped{};
    overlapped.hEvent = event;
    if (ConnectNamedPipe(pipe, &overlapped)) return true;
    const DWORD error = GetLastError();
    if (error == ERROR_PIPE_CONNECTED) return true;  // it came between create and connect
    if (error != ERROR_IO_PENDING) return false;
    HANDLE handles[2] = {event, stop_};
    const DWORD wait = WaitForMultipleObjects(2, handles, FALSE, INFINITE);
    if (wait != WAIT_OBJECT_0) CancelIoEx(pipe, &overlapped);
    DWORD unused = 0;
    const bool connected = GetOverlappedResult(pipe, &overlapped, &unused, TRUE) != FALSE;
    return connected && wait == WAIT_OBJECT_0;
  }

  void Listen() {
    const std::wstring name = PipeName();
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!event) return;
    HANDLE pipe = CreateInstance(name, true);
    while (pipe != INVALID_HANDLE_VALUE && !Stopping()) {
      if (!WaitForClient(pipe, event)) {
        CloseHandle(pipe);
        if (Stopping()) break;
        pipe = CreateInstance(name, false);
        continue;
      }
      // The next instance listens before this one is served: with none
      // listening, a client would take the missing name for "no program".
      HANDLE next = CreateInstance(name, false);
      StartWorker(pipe);
      pipe = next;
      while (pipe == INVALID_HANDLE_VALUE && WaitForSingleObject(stop_, 1000) == WAIT_TIMEOUT) {
        pipe = CreateInstance(name, false);  // out of resources: try again later
      }
    }
    if (pipe != INVALID_HANDLE_VALUE) CloseHandle(pipe);
    CloseHandle(event);
  }

  void StartWorker(HANDLE pipe) {
    std::lock_guard lock(mutex_);
    // Reap the workers that are through.
    for (auto it = workers_.begin(); it != workers_.end();) {
      if (it->done->load()) {
        it->thread.join();
        it = workers_.erase(it);
      } else {
        ++it;
      }
    }
    Worker& worker = workers_.emplace_back();
    worker.thread = std::thread([this, pipe, done = worker.done] {
      Serve(pipe);
      done->store(true);
    });
  }

  void Serve(HANDLE pipe) {
    std::string line;
    bool complete = false;
    char chunk[512];
    while (line.size() < kMaxLine) {
      DWORD count = 0;
      if (Transfer(pipe, false, chunk, sizeof(chunk), count, kRequestTimeoutMs, true) != Io::Done ||
          count == 0) {
        break;
      }
      line.append(chunk, count);
      if (line.find('\n') != std::string::npos) {
        complete = true;
        break;
      }
    }
    if (complete) {
      line.resize(line.find('\n'));
      std::string error;
      Reply reply;
      if (auto request = sim::ParseRequest(line, error)) {
        reply = bus_.Handle(*request);
      } else {
        reply = {Status::BadArgument, error};
      }
      std::string answer = sim::FormatReply(reply) + "\n";
      DWORD written = 0;
      if (Transfer(pipe, true, answer.data(), static_cast<DWORD>(answer.size()), written,
                   kWriteTimeoutMs, false) == Io::Done) {
        // Wait for the client to hang up, so that the answer is read before
        // this end goes away. Not cut short on stop: when the answer is what
        // lets the program end (an unplug), the client is about to go anyway.
        DWORD unused = 0;
        Transfer(pipe, false, chunk, sizeof(chunk), unused, kCloseGraceMs, false);
      }
    }
    DisconnectNamedPipe(pipe);
    CloseHandle(pipe);
  }

  SimHidBus& bus_;
  HANDLE stop_ = nullptr;
  std::thread listener_;
  std::mutex mutex_;
  std::list<Worker> workers_;
};

class SimulatedHidBackend : public IHidBackend {
 public:
  explicit SimulatedHidBackend(std::unique_ptr<IHidBackend> real)
      : window_([this] { bus_.OnDeviceChange(); }),
        // Plugs and unplugs take the road of a real device change: a message
        // to the window, so the handler runs on the main thread.
        bus_(std::move(real), [this](bool first) { window_.Post(first ? -1 : 0); }),
        server_(bus_) {}

  ~SimulatedHidBackend() override {
    // Release every waiting request first, so that the pipe threads can end.
    bus_.Shutdown();
    server_.Stop();
  }

  bool Available() override { return bus_.Available(); }
  std::vector<HidInterfaceInfo> Enumerate() override { return bus_.Enumerate(); }
  std::unique_ptr<IHidDevice> Open(const HidInterfaceInfo& info) override {
    return bus_.Open(info);
  }

  void SetDeviceChangeHandler(std::function<void()> changed) override {
    // Created here, on the main thread, whose message loop must run it. The
    // real backend gets no handler and so makes no window of its own: this
    // one hears the system's broadcasts as well.
    if (changed && !window_.Created()) window_.Create();
    bus_.SetDeviceChangeHandler(std::move(changed));
  }

 private:
  DeviceChangeWindow window_;
  SimHidBus bus_;
  PipeServer server_;
};

}  // namespace

std::unique_ptr<IHidBackend> CreateSimulatedHidBackend(std::unique_ptr<IHidBackend> real) {
  return std::make_unique<SimulatedHidBackend>(std::move(real));
}

}  // namespace talvoro::platform::win32
