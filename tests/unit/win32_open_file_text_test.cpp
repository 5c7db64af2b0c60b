// Text rules of the open-file dialog: its filter list and the folder of a
// chosen file.
#include <gtest/gtest.h>

#include "platform/win32/open_file_text.h"

namespace talvoro::platform::win32 {
namespace {

using namespace std::string_literals;

TEST(Win32OpenFileText, AFilterBecomesANullSeparatedListEndedTwice) {
  EXPECT_EQ(FilterList("Fichiers EXE (*.EXE)|*.EXE"), "Fichiers EXE (*.EXE)\0*.EXE\0\0"s);
  EXPECT_EQ(FilterList("GML (*.GML)|*.GML|Tous|*.*"), "GML (*.GML)\0*.GML\0Tous\0*.*\0\0"s);
  EXPECT_EQ(FilterList(""), "");
}

TEST(Win32OpenFileText, TheFolderOfAChosenFileLosesItsSeparatorButARootKeepsIt) {
  EXPECT_EQ(FolderOfChosenFile(L"C:\\Program Files\\App\\app.exe", 21), L"C:\\Program Files\\App");
  EXPECT_EQ(FolderOfChosenFile(L"C:\\app.exe", 3), L"C:\\");
  EXPECT_EQ(FolderOfChosenFile(L"\\\\server\\share\\app.exe", 15), L"\\\\server\\share");
  EXPECT_EQ(FolderOfChosenFile(L"app.exe", 0), L"");
  EXPECT_EQ(FolderOfChosenFile(L"C:\\a", 99), L"C:\\a");
}

}  // namespace
}  // namespace talvoro::platform::win32
