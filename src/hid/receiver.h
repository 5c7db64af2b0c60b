// The USB IR receiver's connection: takes the receiver when the controller
// reports it, reads its codes, and ends the session when it goes away.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "hid/hid_controller.h"

namespace talvoro::hid {

inline constexpr std::uint16_t kReceiverVendorId = 0x04D8;
inline constexpr std::uint16_t kReceiverProductId = 0x0001;

inline constexpr const char* kReceiverAbsentText = "Récepteur IR USB absent...";
inline constexpr const char* kReceiverConnectedText = "Récepteur IR USB connecté";
inline constexpr const char* kReceiverDisconnectedText = "Récepteur IR USB déconnecté";

// The main window's side of the connection. Every call is on the main thread.
class IReceiverHost {
 public:
  virtual ~IReceiverHost() = default;
  // Status panel 0 (UTF-8): the connection itself sets "Récepteur IR USB
  // connecté" at arrival and "Récepteur IR USB déconnecté" at removal.
  virtual void OnReceiverStatus(const std::string& utf8) = 0;
  // After binding and the status text: receiver active flag, programming
  // switches, import/export, pending actions cleared.
  virtual void OnReceiverArrived() = 0;
  // After the receiver was released: tray icon removed, Alt released, quit.
  virtual void OnReceiverGone() = 0;
  // One received code (0..65535): last code, status panel 2, routing.
  virtual void OnCode(int code) = 0;
};

// The code of one report: first payload byte × 256 + second. Bytes the
// report does not carry count as 0 (a short report, or a device whose input
// report is shorter than three bytes), so nothing past `size` is read.
int CodeFromReport(const std::uint8_t* data, std::uint16_t size);

// Installs itself as the controller's arrival and removal handlers. The
// controller must outlive the connection (declare it first).
class ReceiverConnection {
 public:
  ReceiverConnection(HidDeviceController& controller, IReceiverHost& host);
  // Releases every receiver it holds (their read threads end, and none of
  // them delivers a code meanwhile) and unhooks itself from the controller.
  ~ReceiverConnection();
  ReceiverConnection(const ReceiverConnection&) = delete;
  ReceiverConnection& operator=(const ReceiverConnection&) = delete;

  void HandleArrival(HidDevice& device);
  void HandleRemoval(HidDevice& device);
  void HandleReport(HidDevice& device, std::uint8_t report_id, const std::uint8_t* data,
                    std::uint16_t size);

  // The receiver bound last; none before the first arrival and after removal.
  HidDevice* BoundReceiver() const { return bound_; }
  // Receivers checked out so far and not yet released. A second receiver
  // arriving while one is bound is taken as well; the first keeps its thread.
  std::size_t HeldCount() const { return held_.size(); }

 private:
  static bool IsReceiver(const HidDevice& device);

  HidDeviceController& controller_;
  IReceiverHost& host_;
  HidDevice* bound_ = nullptr;
  std::vector<std::unique_ptr<HidDevice>> held_;
};

}  // namespace talvoro::hid
