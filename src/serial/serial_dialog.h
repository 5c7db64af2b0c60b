// The serial port dialog (TForm2): the serial ports Windows knows, read once
// when the dialog is created at start-up; choosing one stores its name in the
// serial port setting. Nothing in the program opens the port: reception goes
// through the USB receiver.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "config/configuration.h"
#include "config/io_error.h"
#include "platform/registry.h"
#include "ui/forms/forms.h"

namespace talvoro::serial {

// Where Windows lists the serial ports, under HKEY_LOCAL_MACHINE.
inline constexpr const char* kSerialDeviceMap = "HARDWARE\\DEVICEMAP\\SERIALCOMM";
inline constexpr const char* kFirstUsePrompt = "Cliquez sur la flèche de droite ------------>";
inline constexpr const char* kSelectedText = "Vous avez sélectionné le port ";

// The registry could not be read: "Registry error (win error code: 5)".
class PortError : public config::AppError {
 public:
  static constexpr int kNumber = 23;
  explicit PortError(std::uint32_t win_error);
  std::uint32_t win_error() const { return win_error_; }

 private:
  std::uint32_t win_error_;
};

// The port names from the values' data: each without the NULs that end it,
// sorted alphabetically without regard to case (COM1, COM10, COM3).
std::vector<std::string> SortPortNames(std::vector<std::string> data);

// The serial ports Windows lists, sorted (Windows-1252 names). A machine
// without any has no key at all: that is an empty list, not an error. Any
// other failure throws PortError.
std::vector<std::string> ReadPortNames(platform::IRegistry& registry);

class SerialDialog {
 public:
  using OpenHelp = std::function<void(const std::string& topic)>;

  SerialDialog(ui::SerialForm& form, platform::IRegistry& registry, config::Configuration& config,
               OpenHelp open_help);

  // Shows the dialog above the other windows, its edit field holding the
  // stored port name.
  void Show();
  // "&Ok" and any other way of closing: the confirmation goes, the dialog is
  // hidden and back in the normal window order.
  void Close();

  // The names the list shows, as stored (Windows-1252).
  const std::vector<std::string>& ports() const { return ports_; }

 private:
  void OnCreate();
  void OnActivate();
  void OnSelect();
  config::SettingsTable& settings() { return config_.settings(); }

  ui::SerialForm& form_;
  platform::IRegistry& registry_;
  config::Configuration& config_;
  OpenHelp open_help_;
  std::vector<std::string> ports_;
};

}  // namespace talvoro::serial
