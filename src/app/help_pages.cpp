#include "app/help_pages.h"

#include "config/text.h"

namespace talvoro::app {

namespace {

constexpr const char* kCaption = "Aide";

bool PlainName(const std::string& topic) {
  if (topic.empty()) return false;
  for (char c : topic) {
    const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    const bool digit = c >= '0' && c <= '9';
    if (!letter && !digit) return false;
  }
  return true;
}

}  // namespace

std::string HelpPagePath(const std::string& program_directory, const std::string& topic) {
  if (!PlainName(topic)) return {};
  std::string path = program_directory;
  if (!path.empty() && path.back() != '\\' && path.back() != '/') path += '\\';
  return path + kHelpFolder + "\\" + topic + ".html";
}

void HelpPages::Open(const std::string& topic) {
  const std::string page = HelpPagePath(config_.settings()[config::kProgramDirectory], topic);
  if (page.empty() || !files_.FileExists(page)) {
    const std::string shown = page.empty() ? config::AnsiToUtf8(topic) : config::AnsiToUtf8(page);
    dialogs_.MessageBox("La page d'aide « " + shown +
                            " » est introuvable.\nLe dossier « help » livré avec le programme "
                            "doit se trouver à côté de Talvoro_IR.exe.",
                        kCaption, platform::BoxIcon::Warning, platform::BoxButtons::Ok);
    return;
  }
  if (!programs_.OpenDocument(page, false))
    dialogs_.MessageBox("Windows n'a pas pu ouvrir la page d'aide « " + config::AnsiToUtf8(page) +
                            " » : aucun navigateur n'a répondu.",
                        kCaption, platform::BoxIcon::Warning, platform::BoxButtons::Ok);
}

}  // namespace talvoro::app
