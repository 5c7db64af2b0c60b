// The application's standard error box.
#pragma once

#include <string>

namespace talvoro::platform::win32 {

// The application title: the error box's caption and the taskbar entry's text.
inline constexpr wchar_t kApplicationTitle[] = L"Talvoro_IR";

// Shows `utf8_message` (ended with a full stop, see ErrorBoxText) with an
// error icon and an OK button, owned by the active window of the program (or
// task-modal when none is active).
void ShowErrorBox(const std::string& utf8_message);

// For catch blocks around window procedures and timer callbacks: an error that
// reached the message loop is shown and the program goes on.
void ReportEscapedException() noexcept;

}  // namespace talvoro::platform::win32
