// The shell's folder browser and the common file-open dialog.
#ifndef QDW_PLATFORM_WIN32_WIN32_SHELL_DIALOGS_H_
#define QDW_PLATFORM_WIN32_WIN32_SHELL_DIALOGS_H_

#include <windows.h>

#include <string>

#include "platform/dialog_host.h"

namespace qdw::win32 {

// File-system folders only, in the new dialog style, starting at `*path`.
platform::BrowseResult ShowFolderBrowser(HWND owner, const std::string& title, std::string* path);

bool ShowFileOpenDialog(HWND owner, const platform::FileOpenRequest& request, std::string* path);

}  // namespace qdw::win32

#endif  // QDW_PLATFORM_WIN32_WIN32_SHELL_DIALOGS_H_
