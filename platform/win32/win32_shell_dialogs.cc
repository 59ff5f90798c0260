#include "platform/win32/win32_shell_dialogs.h"

#include <commdlg.h>
#include <objbase.h>
#include <shlobj.h>

#include <vector>

namespace qdw::win32 {

namespace {

int CALLBACK StartAtFolder(HWND browser, UINT message, LPARAM /*lparam*/, LPARAM data) {
  if (message == BFFM_INITIALIZED && data != 0) {
    SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, data);
  }
  return 0;
}

// "Text|*.ext||" as the common dialog wants it: pieces ended by NUL, the list by two.
std::vector<char> FilterPieces(const std::string& filter) {
  std::vector<char> pieces(filter.begin(), filter.end());
  for (char& c : pieces) {
    if (c == '|') c = '\0';
  }
  pieces.push_back('\0');
  pieces.push_back('\0');
  return pieces;
}

}  // namespace

platform::BrowseResult ShowFolderBrowser(HWND owner, const std::string& title, std::string* path) {
  IMalloc* allocator = nullptr;
  if (FAILED(SHGetMalloc(&allocator)) || allocator == nullptr) {
    return platform::BrowseResult::kNoShellAllocator;
  }
  // The new dialog style needs COM on this thread.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  char display_name[MAX_PATH] = {};
  BROWSEINFOA info = {};
  info.hwndOwner = owner;
  info.pszDisplayName = display_name;
  info.lpszTitle = title.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
  info.lpfn = StartAtFolder;
  info.lParam = path->empty() ? 0 : reinterpret_cast<LPARAM>(path->c_str());
  LPITEMIDLIST chosen = SHBrowseForFolderA(&info);
  platform::BrowseResult result = platform::BrowseResult::kCancelled;
  if (chosen != nullptr) {
    char folder[MAX_PATH] = {};
    if (SHGetPathFromIDListA(chosen, folder)) {
      *path = folder;
      result = platform::BrowseResult::kChosen;
    }
    allocator->Free(chosen);
  }
  allocator->Release();
  if (SUCCEEDED(com)) CoUninitialize();
  return result;
}

bool ShowFileOpenDialog(HWND owner, const platform::FileOpenRequest& request, std::string* path) {
  std::vector<char> name(MAX_PATH, '\0');
  if (request.initial_name.size() < name.size()) {
    std::copy(request.initial_name.begin(), request.initial_name.end(), name.begin());
  }
  const std::vector<char> filter = FilterPieces(request.filter);
  OPENFILENAMEA dialog = {};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = filter.data();
  dialog.lpstrFile = name.data();
  dialog.nMaxFile = static_cast<DWORD>(name.size());
  dialog.lpstrInitialDir =
      request.initial_folder.empty() ? nullptr : request.initial_folder.c_str();
  dialog.lpstrDefExt =
      request.default_extension.empty() ? nullptr : request.default_extension.c_str();
  dialog.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_EXPLORER;
  if (request.overwrite_prompt) dialog.Flags |= OFN_OVERWRITEPROMPT;
  if (!GetOpenFileNameA(&dialog)) return false;
  *path = name.data();
  return true;
}

}  // namespace qdw::win32
