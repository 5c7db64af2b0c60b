#include "platform/win32/hid_win32.h"

#include "platform/win32/win32_api.h"

#include <setupapi.h>

// mingw's HID headers have no extern "C" guards of their own.
extern "C" {
#include <hidsdi.h>
#include <hidpi.h>
}

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "platform/win32/hid_window.h"
#include "platform/win32/sim_win32.h"
#include "platform/win32/system_directory.h"
#include "platform/win32/wide_text.h"

namespace talvoro::platform::win32 {

namespace {

// SetupAPI and HID entry points, looked up at run time so that the program
// starts (with no receiver support) on systems where either is missing.
// Opened devices share it, so the libraries stay loaded while one is alive.
class HidLibrary {
 public:
  static std::shared_ptr<HidLibrary> Load() {
    auto lib = std::shared_ptr<HidLibrary>(new HidLibrary);
    lib->setupapi_ = LoadSystemLibrary(L"SetupApi.dll");
    if (!lib->setupapi_) return nullptr;
    const bool setupapi_ok =
        Resolve(lib->setupapi_, "SetupDiGetClassDevsW", lib->GetClassDevs) &&
        Resolve(lib->setupapi_, "SetupDiEnumDeviceInterfaces", lib->EnumDeviceInterfaces) &&
        Resolve(lib->setupapi_, "SetupDiGetDeviceInterfaceDetailW",
                lib->GetDeviceInterfaceDetail) &&
        Resolve(lib->setupapi_, "SetupDiDestroyDeviceInfoList", lib->DestroyDeviceInfoList);
    // HID.dll only once SetupAPI is complete: without enumeration it is useless.
    if (!setupapi_ok) return nullptr;
    lib->hid_ = LoadSystemLibrary(L"HID.dll");
    if (!lib->hid_) return nullptr;
    const bool hid_ok = Resolve(lib->hid_, "HidD_GetHidGuid", lib->GetHidGuid) &&
                        Resolve(lib->hid_, "HidD_GetAttributes", lib->GetAttributes) &&
                        Resolve(lib->hid_, "HidD_GetPreparsedData", lib->GetPreparsedData) &&
                        Resolve(lib->hid_, "HidD_FreePreparsedData", lib->FreePreparsedData) &&
                        Resolve(lib->hid_, "HidP_GetCaps", lib->GetCaps) &&
                        Resolve(lib->hid_, "HidD_GetNumInputBuffers", lib->GetNumInputBuffers);
    if (!hid_ok) return nullptr;
    lib->GetHidGuid(&lib->hid_guid);
    return lib;
  }

  ~HidLibrary() {
    if (hid_) FreeLibrary(hid_);
    if (setupapi_) FreeLibrary(setupapi_);
  }

  HidLibrary(const HidLibrary&) = delete;
  HidLibrary& operator=(const HidLibrary&) = delete;

  decltype(&::SetupDiGetClassDevsW) GetClassDevs = nullptr;
  decltype(&::SetupDiEnumDeviceInterfaces) EnumDeviceInterfaces = nullptr;
  decltype(&::SetupDiGetDeviceInterfaceDetailW) GetDeviceInterfaceDetail = nullptr;
  decltype(&::SetupDiDestroyDeviceInfoList) DestroyDeviceInfoList = nullptr;
  decltype(&::HidD_GetHidGuid) GetHidGuid = nullptr;
  decltype(&::HidD_GetAttributes) GetAttributes = nullptr;
  decltype(&::HidD_GetPreparsedData) GetPreparsedData = nullptr;
  decltype(&::HidD_FreePreparsedData) FreePreparsedData = nullptr;
  decltype(&::HidP_GetCaps) GetCaps = nullptr;
  decltype(&::HidD_GetNumInputBuffers) GetNumInputBuffers = nullptr;
  GUID hid_guid{};

 private:
  HidLibrary() = default;

  HMODULE setupapi_ = nullptr;
  HMODULE hid_ = nullptr;
};

HANDLE OpenPath(const std::wstring& path, DWORD access, DWORD flags) {
  return CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                     OPEN_EXISTING, flags, nullptr);
}

// One HID interface. Enumeration, Attributes, InputReportLength and Close run
// on the main thread; StartRead, WaitRead and CancelRead on the read thread.
class Win32HidDevice : public IHidDevice {
 public:
  // An interface the backend found: the read handle is opened by path at the
  // first read.
  Win32HidDevice(std::shared_ptr<HidLibrary> lib, std::wstring path, bool read_write,
                 std::optional<HidAttributes> attributes)
      : lib_(std::move(lib)),
        path_(std::move(path)),
        read_write_(read_write),
        attributes_(attributes) {}

  // Over a read handle opened elsewhere (see CreateHidDeviceOnHandle): no
  // library, no path, so nothing is ever opened or asked of the HID driver;
  // the read path below is the same.
  Win32HidDevice(HANDLE read_handle, std::uint16_t input_report_length)
      : read_write_(true), input_report_length_(input_report_length), read_handle_(read_handle) {}

  ~Win32HidDevice() override { Close(); }

  bool ReadWrite() const override { return read_write_; }
  std::optional<HidAttributes> Attributes() override { return attributes_; }

  std::uint16_t InputReportLength() override {
    if (input_report_length_) return *input_report_length_;
    // The query handle was closed after identification; reopen it for the
    // preparsed data, with the access that worked then (0 for devices the
    // system keeps for itself, such as keyboards: enough for HidD_ calls).
    HANDLE handle = OpenPath(path_, read_write_ ? GENERIC_READ | GENERIC_WRITE : 0, 0);
    if (handle == INVALID_HANDLE_VALUE) return 0;
    std::uint16_t length = 0;
    PHIDP_PREPARSED_DATA preparsed = nullptr;
    if (lib_->GetPreparsedData(handle, &preparsed)) {
      HIDP_CAPS caps{};
      if (lib_->GetCaps(preparsed, &caps) == HIDP_STATUS_SUCCESS) {
        length = caps.InputReportByteLength;
      }
      lib_->FreePreparsedData(preparsed);
    }
    CloseHandle(handle);
    if (length > 0) input_report_length_ = length;
    return length;
  }

  bool StartRead(std::uint8_t* buffer, std::size_t length, std::uint32_t& error) override {
    std::lock_guard lock(mutex_);
    if (closed_) {
      error = ERROR_INVALID_HANDLE;
      return false;
    }
    if (pending_) FinishPendingLocked();
    if (read_handle_ == INVALID_HANDLE_VALUE) {
      read_handle_ = OpenPath(path_, GENERIC_READ, FILE_FLAG_OVERLAPPED);
      if (read_handle_ == INVALID_HANDLE_VALUE) {
        error = GetLastError();
        return false;
      }
      // Only looked at, never changed: the driver's default ring of input
      // buffers is what the receiver has always been read with.
      ULONG buffers = 0;
      if (lib_->GetNumInputBuffers(read_handle_, &buffers)) input_buffers_ = buffers;
    }
    if (!event_) {
      // Manual reset: the overlapped machinery sets it on completion and
      // ReadFile resets it when the next read starts.
      event_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
      if (!event_) {
        error = GetLastError();
        return false;
      }
    }
    // An event-signalled overlapped read instead of ReadFileEx + SleepEx: the
    // completion routine of ReadFileEx only runs inside an alertable wait of
    // the issuing thread, which ties completion to whatever else waits
    // alertably on that thread; an event gives WaitRead an exact timeout and
    // leaves the result to GetOverlappedResult.
    ZeroMemory(&overlapped_, sizeof(overlapped_));
    overlapped_.hEvent = event_;
    const DWORD count = static_cast<DWORD>(std::min<std::size_t>(length, MAXDWORD));
    if (!ReadFile(read_handle_, buffer, count, nullptr, &overlapped_)) {
      const DWORD failure = GetLastError();
      if (failure != ERROR_IO_PENDING) {
        error = failure;
        return false;
      }
    }
    // Completed at once or pending: either way the event tells WaitRead.
    pending_ = true;
    return true;
  }

  HidWait WaitRead(int timeout_ms, std::size_t& bytes_read) override {
    bytes_read = 0;
    std::unique_lock lock(mutex_);
    if (closed_ || !pending_) return HidWait::Completed;
    const HANDLE events[] = {event_, wake_};
    ++waiting_;
    lock.unlock();
    // Close() keeps the event handles open until this wait is over.
    const DWORD result = WaitForMultipleObjects(wake_ ? 2 : 1, events, FALSE,
                                                timeout_ms < 0 ? INFINITE : timeout_ms);
    lock.lock();
    --waiting_;
    idle_.notify_all();
    if (closed_) return HidWait::Completed;  // Close() finishes the read
    if (result == WAIT_TIMEOUT || result == WAIT_OBJECT_0 + 1) return HidWait::Pending;
    if (result != WAIT_OBJECT_0) {
      FinishPendingLocked();
      return HidWait::Completed;
    }
    DWORD transferred = 0;
    // Any failure is a failed read (0 bytes), ERROR_MORE_DATA included: a
    // report longer than the buffer is never handed over cut short (a HID
    // driver refuses such a read; a message pipe standing in for the device
    // fills the buffer and says so).
    if (GetOverlappedResult(read_handle_, &overlapped_, &transferred, FALSE)) {
      bytes_read = transferred;
    } else if (GetLastError() == ERROR_IO_INCOMPLETE) {
      return HidWait::Pending;
    }
    pending_ = false;
    return HidWait::Completed;
  }

  void WakeRead() override {
    std::lock_guard lock(mutex_);
    if (!closed_ && wake_) SetEvent(wake_);
  }

  void CancelRead() override {
    std::lock_guard lock(mutex_);
    if (pending_) FinishPendingLocked();
  }

  // Safe while the read thread still sits in WaitRead: the pending read is
  // cancelled (which wakes the wait), and the handles are closed only once
  // the waiter has left and the read has really finished; until then the
  // driver may still write into the OVERLAPPED and the caller's buffer.
  void Close() override {
    std::unique_lock lock(mutex_);
    closed_ = true;
    if (pending_ && read_handle_ != INVALID_HANDLE_VALUE) {
      // CancelIoEx, not CancelIo: CancelIo only cancels the I/O that the
      // calling thread issued, and the read belongs to the read thread.
      CancelIoEx(read_handle_, &overlapped_);
    }
    idle_.wait(lock, [&] { return waiting_ == 0; });
    if (pending_) {
      DWORD transferred = 0;
      GetOverlappedResult(read_handle_, &overlapped_, &transferred, TRUE);
      pending_ = false;
    }
    if (read_handle_ != INVALID_HANDLE_VALUE) {
      CloseHandle(read_handle_);
      read_handle_ = INVALID_HANDLE_VALUE;
    }
    if (event_) {
      CloseHandle(event_);
      event_ = nullptr;
    }
    if (wake_) {
      CloseHandle(wake_);
      wake_ = nullptr;
    }
  }

 private:
  // Lock held, on the read thread. Ends the pending read and waits until the
  // system no longer touches the buffer or the OVERLAPPED.
  void FinishPendingLocked() {
    CancelIo(read_handle_);  // the read thread issued it, so CancelIo suffices
    DWORD transferred = 0;
    GetOverlappedResult(read_handle_, &overlapped_, &transferred, TRUE);
    pending_ = false;
  }

  std::shared_ptr<HidLibrary> lib_;
  const std::wstring path_;
  const bool read_write_;
  const std::optional<HidAttributes> attributes_;
  std::optional<std::uint16_t> input_report_length_;

  std::mutex mutex_;
  std::condition_variable idle_;
  HANDLE read_handle_ = INVALID_HANDLE_VALUE;
  HANDLE event_ = nullptr;
  // Auto reset: each WakeRead ends one wait. Made with the device, so that a
  // wake-up before the first read is not lost.
  HANDLE wake_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  OVERLAPPED overlapped_{};
  bool pending_ = false;
  bool closed_ = false;
  int waiting_ = 0;
  ULONG input_buffers_ = 0;
};

class Win32HidBackend : public IHidBackend {
 public:
  Win32HidBackend() : lib_(HidLibrary::Load()) {}

  bool Available() override { return lib_ != nullptr; }

  std::vector<HidInterfaceInfo> Enumerate() override {
    std::vector<HidInterfaceInfo> list;
    if (!lib_) return list;
    GUID guid = lib_->hid_guid;
    HDEVINFO set =
        lib_->GetClassDevs(&guid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (set == INVALID_HANDLE_VALUE) return list;
    for (DWORD index = 0;; ++index) {
      SP_DEVICE_INTERFACE_DATA interface_data{};
      interface_data.cbSize = sizeof(interface_data);
      if (!lib_->EnumDeviceInterfaces(set, nullptr, &guid, index, &interface_data)) break;

      // First call only asks for the size: it must fail for lack of room.
      // Anything else (success, another error, a size of 0) means this
      // interface can't be described; skip it and go on with the next index.
      DWORD needed = 0;
      if (lib_->GetDeviceInterfaceDetail(set, &interface_data, nullptr, 0, &needed, nullptr) ||
          GetLastError() != ERROR_INSUFFICIENT_BUFFER || needed == 0) {
        continue;
      }
      // DWORD elements keep the record suitably aligned.
      std::vector<DWORD> storage((needed + sizeof(DWORD) - 1) / sizeof(DWORD) + 1);
      auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(storage.data());
      // cbSize is the size of the fixed part of the record, not of the
      // buffer: 8 for the wide record on x64 (6 on x86, 5 for the ANSI one).
      detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
      SP_DEVINFO_DATA devinfo{};
      devinfo.cbSize = sizeof(devinfo);
      if (!lib_->GetDeviceInterfaceDetail(set, &interface_data, detail, needed, nullptr,
                                          &devinfo)) {
        continue;
      }
      list.push_back({WideToUtf8(detail->DevicePath), static_cast<std::uint32_t>(devinfo.DevInst)});
    }
    lib_->DestroyDeviceInfoList(set);
    return list;
  }

  std::unique_ptr<IHidDevice> Open(const HidInterfaceInfo& info) override {
    if (!lib_) return nullptr;
    const std::wstring path = Utf8ToWide(info.path);
    HANDLE handle = OpenPath(path, GENERIC_READ | GENERIC_WRITE, 0);
    const bool read_write = handle != INVALID_HANDLE_VALUE;
    // Keyboards, mice and the like are held exclusively by the system; a
    // handle without access still answers the HidD_ queries.
    if (!read_write) handle = OpenPath(path, 0, 0);
    if (handle == INVALID_HANDLE_VALUE) return nullptr;
    std::optional<HidAttributes> attributes;
    HIDD_ATTRIBUTES raw{};
    raw.Size = sizeof(raw);  // must be set before the call
    if (lib_->GetAttributes(handle, &raw)) {
      attributes = HidAttributes{raw.VendorID, raw.ProductID, raw.VersionNumber};
    }
    // A listed device that nobody uses holds no handle, so nothing of ours
    // keeps its driver busy when it is pulled out.
    CloseHandle(handle);
    return std::make_unique<Win32HidDevice>(lib_, path, read_write, attributes);
  }

  void SetDeviceChangeHandler(std::function<void()> changed) override {
    handler_ = std::move(changed);
    // Without the libraries there is nothing to watch: no window, no rescan.
    if (!lib_ || !handler_) return;
    if (!window_) {
      window_ = std::make_unique<DeviceChangeWindow>([this] {
        // A copy: the handler may replace itself while it runs.
        if (auto handler = handler_) handler();
      });
      if (!window_->Create()) {
        window_.reset();
        return;
      }
    }
    // The first scan runs once the message loop does, like any later change.
    window_->Post(-1);
  }

 private:
  std::shared_ptr<HidLibrary> lib_;
  std::function<void()> handler_;
  std::unique_ptr<DeviceChangeWindow> window_;
};

}  // namespace

std::unique_ptr<IHidDevice> CreateHidDeviceOnHandle(HANDLE read_handle,
                                                    std::uint16_t input_report_length) {
  return std::make_unique<Win32HidDevice>(read_handle, input_report_length);
}

std::unique_ptr<IHidBackend> CreateHidBackend(bool simulate) {
  auto real = std::make_unique<Win32HidBackend>();
  if (!simulate) return real;
  return CreateSimulatedHidBackend(std::move(real));
}

}  // namespace talvoro::platform::win32
