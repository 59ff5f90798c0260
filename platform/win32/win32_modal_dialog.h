// One modal run of a dialog template: the dialog procedure that turns the window messages
// into the handler's UiEvents, and the scripted driving of the dialog while it runs.
#ifndef QDW_PLATFORM_WIN32_WIN32_MODAL_DIALOG_H_
#define QDW_PLATFORM_WIN32_WIN32_MODAL_DIALOG_H_

#include <windows.h>

#include <cstdint>

#include "platform/dialog_driver.h"
#include "platform/dialog_host.h"

namespace qdw::win32 {

// Runs template `template_id` of `module` modally over `owner` (may be null). Returns the
// dialog's result or kModalFailed. An exception of the handler ends the dialog and is
// rethrown here, since it cannot cross the system's message dispatch.
int RunModalDialog(HINSTANCE module, uint16_t template_id, platform::DialogHandler& handler,
                   HWND owner, platform::DialogDriver* driver);

// The innermost running dialog of this thread, or null.
HWND InnermostDialog();

}  // namespace qdw::win32

#endif  // QDW_PLATFORM_WIN32_WIN32_MODAL_DIALOG_H_
