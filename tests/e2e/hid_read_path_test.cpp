// The receiver's real read path (platform/win32/hid_win32.cpp) under Wine,
// with an overlapped message-mode pipe standing in for the HID interface: one
// write to the pipe is one input report. The device object is the one the
// backend opens, built over the pipe's reading end instead of a device path.
#include "platform/win32/hid_win32.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "hid/hid_controller.h"
#include "platform/main_thread.h"

namespace {

using namespace std::chrono_literals;
using talvoro::platform::HidWait;
using Bytes = std::vector<std::uint8_t>;

constexpr std::uint16_t kReportLength = 9;  // report id + 8 payload bytes
constexpr int kLongWaitMs = 20000;          // "for ever": the result comes long before

// Runs a call that must end on a thread of its own. A Win32 thread, not
// std::async: the C++ runtime's threads leave handles behind, which would
// hide the device's in the handle count.
class Elsewhere {
 public:
  explicit Elsewhere(std::function<void()> work) : work_(std::move(work)) {
    thread_ = CreateThread(nullptr, 0, &Run, this, 0, nullptr);
  }
  ~Elsewhere() { Join(); }

  // A call that never returns ends the test program here, rather than
  // leaving the run to hang.
  void Join() {
    if (!thread_) return;
    if (WaitForSingleObject(thread_, 60000) != WAIT_OBJECT_0) {
      std::fprintf(stderr, "hid_read_path_test: a call never returned\n");
      std::fflush(stderr);
      TerminateProcess(GetCurrentProcess(), 3);
    }
    CloseHandle(thread_);
    thread_ = nullptr;
  }

 private:
  static DWORD WINAPI Run(void* self) {
    static_cast<Elsewhere*>(self)->work_();
    return 0;
  }
  std::function<void()> work_;
  HANDLE thread_ = nullptr;
};

class HidReadPath : public ::testing::Test {
 protected:
  void SetUp() override {
    handles_before_ = HandleCount();
    static int serial = 0;
    const std::wstring name = L"\\\\.\\pipe\\talvoro-hid-read-" +
                              std::to_wstring(GetCurrentProcessId()) + L"-" +
                              std::to_wstring(++serial);
    writer_ = CreateNamedPipeW(name.c_str(), PIPE_ACCESS_OUTBOUND | FILE_FLAG_OVERLAPPED,
                               PIPE_TYPE_MESSAGE | PIPE_WAIT, 1, 4096, 4096, 0, nullptr);
    ASSERT_NE(writer_, INVALID_HANDLE_VALUE) << GetLastError();
    // Opened as the backend opens a HID interface for reading (overlapped);
    // FILE_WRITE_ATTRIBUTES only to switch the client end to message reads.
    HANDLE reader = CreateFileW(name.c_str(), GENERIC_READ | FILE_WRITE_ATTRIBUTES, 0, nullptr,
                                OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE) << GetLastError();
    DWORD mode = PIPE_READMODE_MESSAGE;
    ASSERT_TRUE(SetNamedPipeHandleState(reader, &mode, nullptr, nullptr)) << GetLastError();
    device_ = talvoro::platform::win32::CreateHidDeviceOnHandle(reader, kReportLength);
  }

  void TearDown() override {
    device_.reset();
    if (writer_ != INVALID_HANDLE_VALUE) CloseHandle(writer_);
  }

  // Once the device is gone, only the pipe's writing end is left of the
  // handles made since SetUp.
  void ExpectOnlyTheWriterLeft() { EXPECT_EQ(HandleCount(), handles_before_ + 1); }

  // Handles this process holds. GetProcessHandleCount is a stub under Wine
  // (always 0); the system's handle table is real.
  static DWORD HandleCount() {
    using Query = LONG(WINAPI*)(int, void*, ULONG, ULONG*);
    static const auto query = reinterpret_cast<Query>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    struct Entry {
      ULONG process_id;
      BYTE type, flags;
      USHORT value;
      void* object;
      ACCESS_MASK access;
    };
    constexpr int kSystemHandleInformation = 16;
    constexpr LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004);
    std::vector<std::uint8_t> table(1 << 16);
    ULONG needed = 0;
    LONG status;
    while ((status = query(kSystemHandleInformation, table.data(), static_cast<ULONG>(table.size()),
                           &needed)) == kInfoLengthMismatch) {
      table.resize(std::max<std::size_t>(table.size() * 2, needed + 4096));
    }
    if (status < 0) {
      ADD_FAILURE() << "cannot list the handles (status " << status << ")";
      return 0;
    }
    ULONG count = 0;
    std::memcpy(&count, table.data(), sizeof count);
    const auto* entries = reinterpret_cast<const Entry*>(table.data() + sizeof(void*));
    DWORD mine = 0;
    for (ULONG i = 0; i < count; ++i) mine += entries[i].process_id == GetCurrentProcessId();
    return mine;
  }

  // One report into the pipe; false when the reading end is gone.
  bool Write(const Bytes& report) {
    OVERLAPPED overlapped{};
    overlapped.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    DWORD written = 0;
    const bool ok = (WriteFile(writer_, report.data(), static_cast<DWORD>(report.size()), nullptr,
                               &overlapped) ||
                     GetLastError() == ERROR_IO_PENDING) &&
                    GetOverlappedResult(writer_, &overlapped, &written, TRUE);
    CloseHandle(overlapped.hEvent);
    return ok && written == report.size();
  }

  bool Start() {
    buffer_.fill(0);
    return device_->StartRead(buffer_.data(), buffer_.size(), error_);
  }
  HidWait Wait(int timeout_ms) { return device_->WaitRead(timeout_ms, bytes_read_); }
  // A wait with no timeout in progress on another thread.
  std::unique_ptr<Elsewhere> WaitElsewhere(HidWait& result) {
    return std::make_unique<Elsewhere>([this, &result] { result = Wait(-1); });
  }
  Bytes Received() const { return Bytes(buffer_.begin(), buffer_.begin() + bytes_read_); }

  HANDLE writer_ = INVALID_HANDLE_VALUE;
  std::unique_ptr<talvoro::platform::IHidDevice> device_;
  std::array<std::uint8_t, kReportLength> buffer_{};
  std::size_t bytes_read_ = 0;
  std::uint32_t error_ = 0;
  DWORD handles_before_ = 0;
};

TEST_F(HidReadPath, ReadsAReportWholeWhetherItCameBeforeOrDuringTheRead) {
  const Bytes first = {0x00, 0x12, 0x34, 1, 2, 3, 4, 5, 6};
  const Bytes second = {0x07, 0xAB, 0xCD, 9, 8, 7, 6, 5, 4};
  EXPECT_EQ(device_->InputReportLength(), kReportLength);

  ASSERT_TRUE(Write(first));
  ASSERT_TRUE(Start()) << error_;  // the read completes at once
  ASSERT_EQ(Wait(kLongWaitMs), HidWait::Completed);
  EXPECT_EQ(Received(), first);

  ASSERT_TRUE(Start()) << error_;  // the read stays pending
  ASSERT_TRUE(Write(second));
  ASSERT_EQ(Wait(kLongWaitMs), HidWait::Completed);
  EXPECT_EQ(Received(), second);
}

TEST_F(HidReadPath, AWaitWithNothingToReadTimesOutAndTheReadGoesOn) {
  ASSERT_TRUE(Start()) << error_;
  EXPECT_EQ(Wait(50), HidWait::Pending);
  EXPECT_EQ(bytes_read_, 0u);

  const Bytes report = {0x00, 0x00, 0x2A, 0, 0, 0, 0, 0, 0};
  ASSERT_TRUE(Write(report));
  ASSERT_EQ(Wait(kLongWaitMs), HidWait::Completed);
  EXPECT_EQ(Received(), report);
}

TEST_F(HidReadPath, WakeReadEndsAWaitWithoutLosingTheRead) {
  ASSERT_TRUE(Start()) << error_;
  HidWait woken = HidWait::Completed;
  auto waiting = WaitElsewhere(woken);
  Sleep(100);  // most likely inside the wait by now; either way it must end
  device_->WakeRead();
  waiting->Join();
  EXPECT_EQ(woken, HidWait::Pending);

  // A wake-up before the wait ends the next one.
  device_->WakeRead();
  HidWait next = HidWait::Completed;
  WaitElsewhere(next)->Join();
  EXPECT_EQ(next, HidWait::Pending);

  const Bytes report = {0x01, 0x10, 0x20, 0, 0, 0, 0, 0, 0};
  ASSERT_TRUE(Write(report));
  ASSERT_EQ(Wait(kLongWaitMs), HidWait::Completed);
  EXPECT_EQ(Received(), report);
}

TEST_F(HidReadPath, CloseDuringAWaitFailsTheReadAndReleasesTheHandles) {
  ASSERT_TRUE(Start()) << error_;
  HidWait result = HidWait::Pending;
  auto waiting = WaitElsewhere(result);
  Sleep(100);
  Elsewhere([this] { device_->Close(); }).Join();
  waiting->Join();
  // Completed with nothing: the read failed, as the read thread expects.
  EXPECT_EQ(result, HidWait::Completed);
  EXPECT_EQ(bytes_read_, 0u);
  EXPECT_FALSE(Start());
  EXPECT_EQ(error_, static_cast<std::uint32_t>(ERROR_INVALID_HANDLE));
  EXPECT_FALSE(Write({0x00, 0x01}));  // nobody reads the pipe any more
  device_.reset();
  ExpectOnlyTheWriterLeft();
}

TEST_F(HidReadPath, DestroyingTheDeviceWithAReadPendingEndsIt) {
  ASSERT_TRUE(Start()) << error_;
  Elsewhere([this] { device_.reset(); }).Join();
  EXPECT_FALSE(Write({0x00, 0x01}));
  ExpectOnlyTheWriterLeft();
}

TEST_F(HidReadPath, AShortReportIsReadAsItCameALongOneFailsTheRead) {
  const Bytes short_report = {0x03, 0x12};
  ASSERT_TRUE(Start()) << error_;
  ASSERT_TRUE(Write(short_report));
  ASSERT_EQ(Wait(kLongWaitMs), HidWait::Completed);
  EXPECT_EQ(Received(), short_report);

  // More than the report length is never handed over cut short.
  ASSERT_TRUE(Start()) << error_;
  ASSERT_TRUE(Write({0x00, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
  ASSERT_EQ(Wait(kLongWaitMs), HidWait::Completed);
  EXPECT_EQ(bytes_read_, 0u);
}

// The read thread over the real device: reports reach the main thread whole,
// the buffer zeroed beyond a short one, and Stop ends a pending wait.
TEST_F(HidReadPath, TheReadThreadHandsEachReportToTheMainThread) {
  struct Report {
    std::uint8_t id;
    std::uint16_t size;
    Bytes payload;  // the whole buffer after the report id
  };
  std::vector<Report> reports;
  int errors = 0;
  talvoro::platform::MainThreadQueue main_thread;
  {
    talvoro::hid::HidReadThread reader(
        *device_, kReportLength, talvoro::hid::kDefaultThreadSleepTime, main_thread,
        [&](std::uint8_t id, const std::uint8_t* data, std::uint16_t size) {
          reports.push_back({id, size, Bytes(data, data + kReportLength - 1)});
        },
        [&](std::uint32_t) { ++errors; });
    ASSERT_TRUE(Write({0x00, 0x12, 0x34, 1, 2, 3, 4, 5, 6}));
    ASSERT_TRUE(Write({0x05, 0x56}));
    const auto deadline = std::chrono::steady_clock::now() + 60s;
    main_thread.WaitUntil(
        [&] { return reports.size() == 2 || std::chrono::steady_clock::now() > deadline; });
    reader.Stop(true);  // the next read is pending: the wake-up ends it
  }
  ASSERT_EQ(reports.size(), 2u);
  EXPECT_EQ(reports[0].id, 0x00);
  EXPECT_EQ(reports[0].size, 8);
  EXPECT_EQ(reports[0].payload, (Bytes{0x12, 0x34, 1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(reports[1].id, 0x05);
  EXPECT_EQ(reports[1].size, 1);
  EXPECT_EQ(reports[1].payload, (Bytes{0x56, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(errors, 0);
}

}  // namespace
