// The dialog host of the Windows program: modal dialogs made from the templates of the
// resource module, message boxes, the shell's folder browser and the common file-open dialog.
// With a driver, every dialog is played by it instead of the user (the scripted runs of
// QDW_UI_SCRIPT): the dialogs are real, the driver sends them what a user's actions send.
#ifndef QDW_PLATFORM_WIN32_WIN32_DIALOG_HOST_H_
#define QDW_PLATFORM_WIN32_WIN32_DIALOG_HOST_H_

#include <memory>

#include "platform/dialog_driver.h"
#include "platform/dialog_host.h"

namespace qdw::win32 {

// `driver` may be null (a user at the screen); it outlives the host.
std::unique_ptr<platform::DialogHost> NewWin32DialogHost(platform::DialogDriver* driver = nullptr);

}  // namespace qdw::win32

#endif  // QDW_PLATFORM_WIN32_WIN32_DIALOG_HOST_H_
