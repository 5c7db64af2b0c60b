// The help pages shipped in the help folder: one page per topic the program
// opens, each in French, UTF-8, and every link between them leads to a page
// that exists.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "app/help_pages.h"

namespace talvoro::app {
namespace {

namespace fs = std::filesystem;

fs::path HelpFolder() {
  return fs::path(TALVORO_SOURCE_DIR) / kHelpFolder;
}

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::set<std::string> PageNames() {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(HelpFolder()))
    if (entry.path().extension() == ".html") names.insert(entry.path().filename().string());
  return names;
}

// Whether `text` is well-formed UTF-8 of at most three bytes a character:
// nothing beyond the Basic Multilingual Plane (no emoji).
bool ValidUtf8(const std::string& text) {
  for (std::size_t i = 0; i < text.size();) {
    const auto c = static_cast<unsigned char>(text[i]);
    std::size_t extra = 0;
    if (c >= 0x80) {
      if ((c & 0xE0) == 0xC0)
        extra = 1;
      else if ((c & 0xF0) == 0xE0)
        extra = 2;
      else
        return false;
    }
    if (i + extra >= text.size() && extra > 0) return false;
    for (std::size_t k = 1; k <= extra; ++k)
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    i += extra + 1;
  }
  return true;
}

TEST(HelpFolder, EveryTopicTheProgramOpensHasItsPage) {
  const std::set<std::string> names = PageNames();
  for (const char* topic : {kHelpContents, kHelpSerialRs232, kHelpSettings, kHelpSerialUsb})
    EXPECT_TRUE(names.count(std::string(topic) + ".html")) << topic;
}

TEST(HelpFolder, EveryPageIsFrenchUtf8AndLinksOnlyToPagesThatExist) {
  const std::set<std::string> names = PageNames();
  ASSERT_GE(names.size(), 4u);
  const std::regex href("href=\"([^\"]*)\"");
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    const std::string text = ReadAll(HelpFolder() / name);
    EXPECT_NE(text.find("<meta charset=\"utf-8\">"), std::string::npos);
    EXPECT_NE(text.find("<html lang=\"fr\">"), std::string::npos);
    EXPECT_TRUE(ValidUtf8(text));
    int links = 0;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), href);
         it != std::sregex_iterator(); ++it) {
      const std::string target = (*it)[1];
      // One page per topic: a fragment would be lost on the way to the browser.
      EXPECT_EQ(target.find('#'), std::string::npos) << target;
      // The shared style sheet stands beside the pages.
      if (fs::path(target).extension() == ".css") {
        EXPECT_TRUE(fs::is_regular_file(HelpFolder() / target)) << target;
        continue;
      }
      EXPECT_TRUE(names.count(target)) << target;
      ++links;
    }
    // Each page reaches every other one.
    EXPECT_GE(links, static_cast<int>(names.size()) - 1);
  }
}

TEST(HelpFolder, TheContentsPageNamesTheTopicsTheIssueAsksFor) {
  const std::string text = ReadAll(HelpFolder() / "som.html");
  for (const char* words : {"onglets", "Programmer une touche", "OSD", "Importer", "Exporter",
                            "Paramètres", "RS232", "USB", "Ne rien faire !"})
    EXPECT_NE(text.find(words), std::string::npos) << words;
}

// The check above refuses what a page must not hold.
TEST(HelpFolder, TheUtf8CheckRefusesWindows1252TruncatedAndEmojiText) {
  EXPECT_TRUE(ValidUtf8("Paramètres « ok »"));
  EXPECT_FALSE(ValidUtf8("Param\xE8tres"));
  EXPECT_FALSE(ValidUtf8("\xC3"));
  EXPECT_FALSE(ValidUtf8("\xF0\x9F\x98\x80"));
}

}  // namespace
}  // namespace talvoro::app
