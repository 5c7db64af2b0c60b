// Message boxes and the standard error box.
#pragma once

#include <string>

namespace talvoro::platform {

enum class BoxIcon { Information, Warning, Error };
enum class BoxButtons { Ok, YesNo };
enum class BoxResult { Ok, Yes, No, Cancel };

class IDialogs {
 public:
  virtual ~IDialogs() = default;
  // The application's standard error box for an error nobody handled.
  virtual void ShowError(const std::string& utf8_message) = 0;
  // A modal message box, centred on the screen.
  virtual BoxResult MessageBox(const std::string& utf8_text, const std::string& utf8_caption,
                               BoxIcon icon, BoxButtons buttons) = 0;
};

}  // namespace talvoro::platform
