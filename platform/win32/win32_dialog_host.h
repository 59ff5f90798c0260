// The dialog host of the Windows program.
#ifndef QDW_PLATFORM_WIN32_WIN32_DIALOG_HOST_H_
#define QDW_PLATFORM_WIN32_WIN32_DIALOG_HOST_H_

#include <memory>

#include "platform/dialog_host.h"

namespace qdw::win32 {

// For now a host that cannot yet create the dialogs from their templates: every dialog fails
// (kModalFailed) after telling the user so once; message boxes are real.
std::unique_ptr<platform::DialogHost> NewWin32DialogHost();

}  // namespace qdw::win32

#endif  // QDW_PLATFORM_WIN32_WIN32_DIALOG_HOST_H_
