// Text rules of the open-file dialog that need no Windows header (the host's
// unit tests check them).
#pragma once

#include <string>
#include <string_view>

namespace talvoro::platform::win32 {

// A "Description|pattern|Description|pattern" filter as the common dialogs
// take it: every part ended by a null character and the list by one more.
// An empty filter gives an empty list (the dialog then gets none).
inline std::string FilterList(std::string_view filter) {
  if (filter.empty()) return {};
  std::string list;
  list.reserve(filter.size() + 2);
  for (char c : filter) list.push_back(c == '|' ? '\0' : c);
  list.push_back('\0');
  list.push_back('\0');
  return list;
}

// The folder part of a chosen file's full path, `offset` being where the
// file name starts: without its closing separator, except for a drive's
// root ("C:\"), which is how the dialog itself names folders.
inline std::wstring FolderOfChosenFile(std::wstring_view path, std::size_t offset) {
  std::wstring folder(path.substr(0, offset < path.size() ? offset : path.size()));
  if (folder.size() > 3 && (folder.back() == L'\\' || folder.back() == L'/')) folder.pop_back();
  return folder;
}

}  // namespace talvoro::platform::win32
