// The open-file and save-file dialogs.
#include <algorithm>
#include <vector>

#include "platform/win32/modal_loop.h"
#include "platform/win32/open_file_text.h"
#include "platform/win32/services_win32.h"
#include "platform/win32/wide_text.h"

// WIN32_LEAN_AND_MEAN leaves the common dialogs out of <windows.h>.
#include <commdlg.h>

namespace talvoro::platform::win32 {
namespace {

// Room for the longest path the file system allows.
constexpr DWORD kPathCapacity = 32768;

// What the hook saw while the dialog ran.
struct DialogWatch {
  std::wstring folder;
};

// Hears the dialog's folder changes (CDN_FOLDERCHANGE, sent at its opening
// too), so that the folder it ended in is known also when the user cancels.
UINT_PTR CALLBACK FolderHook(HWND hook_dialog, UINT message, WPARAM, LPARAM lparam) {
  if (message != WM_NOTIFY) return 0;
  const auto* notify = reinterpret_cast<const OFNOTIFYW*>(lparam);
  if (notify->hdr.code != CDN_FOLDERCHANGE) return 0;
  auto* watch = reinterpret_cast<DialogWatch*>(notify->lpOFN->lCustData);
  // With OFN_EXPLORER the hook gets a child dialog of its own: the CDM_
  // messages go to its parent, the real dialog. Asked with no buffer, the
  // message gives the size it needs, terminator included; virtual folders
  // (the desktop's "Computer") have no path and fail it.
  const HWND dialog = GetParent(hook_dialog);
  const LRESULT needed = SendMessageW(dialog, CDM_GETFOLDERPATH, 0, 0);
  if (needed <= 1) return 0;
  std::vector<wchar_t> buffer(static_cast<std::size_t>(needed) + 1, L'\0');
  if (SendMessageW(dialog, CDM_GETFOLDERPATH, static_cast<WPARAM>(buffer.size()),
                   reinterpret_cast<LPARAM>(buffer.data())) > 0)
    watch->folder = buffer.data();
  return 0;
}

// Room for the longest path the file system allows, the proposed name first.
std::vector<wchar_t> FileBuffer(const std::wstring& proposed) {
  std::vector<wchar_t> file(kPathCapacity, L'\0');
  if (proposed.size() < kPathCapacity) std::copy(proposed.begin(), proposed.end(), file.begin());
  return file;
}

}  // namespace

// Runs the open-file or the save-file dialog; what both share.
OpenFileResult Win32Dialogs::RunFileDialog(bool save, const std::string& utf8_filter,
                                           const std::string& utf8_initial_folder,
                                           const std::string& utf8_title,
                                           const std::string& utf8_default_name,
                                           const std::string& utf8_default_extension) {
  // The filter list holds null characters: converted by length, not as a C string.
  const std::wstring filter = Utf8ToWide(FilterList(utf8_filter));
  const std::wstring title = Utf8ToWide(utf8_title);
  const std::wstring initial_folder = Utf8ToWide(utf8_initial_folder);
  const std::wstring extension = Utf8ToWide(utf8_default_extension);
  std::vector<wchar_t> file = FileBuffer(Utf8ToWide(utf8_default_name));
  DialogWatch watch;

  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = main_;
  dialog.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = kPathCapacity;
  dialog.lpstrInitialDir = initial_folder.empty() ? nullptr : initial_folder.c_str();
  dialog.lpstrTitle = title.empty() ? nullptr : title.c_str();
  dialog.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
  // OFN_NOCHANGEDIR: the dialog would otherwise make the chosen folder the
  // process's current directory, which every program the launcher starts
  // inherits. A hook gives the older Explorer-style dialog on Vista and
  // later, the price of hearing its folder changes; OFN_ENABLESIZING keeps it
  // resizable all the same. No OFN_OVERWRITEPROMPT when saving: the program
  // asks its own question about an existing file once the dialog has closed.
  dialog.Flags = OFN_EXPLORER | OFN_ENABLEHOOK | OFN_ENABLESIZING | OFN_HIDEREADONLY |
                 OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST;
  dialog.lpfnHook = FolderHook;
  dialog.lCustData = reinterpret_cast<LPARAM>(&watch);

  OpenFileResult result;
  BOOL confirmed = FALSE;
  {
    const ModalLoop loop;
    confirmed = save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
  }
  if (confirmed) {
    const std::wstring chosen = file.data();
    result.path = WideToUtf8(chosen);
    // The dialog closes on the chosen file without moving to its folder when
    // a full path was typed: the file's own folder is where it ended.
    result.folder = WideToUtf8(FolderOfChosenFile(chosen, dialog.nFileOffset));
  } else {
    // Cancelled, or the dialog failed (CommDlgExtendedError): nothing chosen.
    result.folder = WideToUtf8(watch.folder);
  }
  return result;
}

OpenFileResult Win32Dialogs::OpenFile(const OpenFileRequest& request) {
  return RunFileDialog(false, request.filter, request.initial_folder, request.title, "", "");
}

SaveFileResult Win32Dialogs::SaveFile(const SaveFileRequest& request) {
  return RunFileDialog(true, request.filter, request.initial_folder, "", request.default_name,
                       request.default_extension);
}

}  // namespace talvoro::platform::win32
