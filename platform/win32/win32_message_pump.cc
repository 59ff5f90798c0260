// The progress bar of a working dialog, and the messages the dialog handles while the program
// works on its one thread: painting and timers go through, the user's input is dropped, so
// nothing the user does can start, close or change anything until the work is done.
#include <windows.h>
// After <windows.h>, which it needs.
#include <commctrl.h>

#include "platform/win32/win32_dialog_window.h"

namespace qdw::win32 {

namespace {

// How often a held run looks at its messages, in milliseconds.
constexpr DWORD kHoldPoll = 15;

bool IsUserInput(const MSG& message) {
  const UINT kind = message.message;
  return (kind >= WM_KEYFIRST && kind <= WM_KEYLAST) ||
         (kind >= WM_MOUSEFIRST && kind <= WM_MOUSELAST) ||
         (kind >= WM_NCMOUSEMOVE && kind <= WM_NCXBUTTONDBLCLK) || kind == WM_NCMOUSEHOVER ||
         kind == WM_NCMOUSELEAVE || kind == WM_MOUSEHOVER || kind == WM_MOUSELEAVE ||
         kind == WM_CLOSE;
}

void DispatchWaiting() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // Left for the modal loop, which ends once the work is done.
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    if (IsUserInput(message)) continue;
    DispatchMessageA(&message);
  }
}

}  // namespace

void Win32DialogWindow::SetProgressPosition(int id, int percent) {
  if (HWND item = Item(id)) SendMessageA(item, PBM_SETPOS, static_cast<WPARAM>(percent), 0);
}

void Win32DialogWindow::PumpMessages() {
  DispatchWaiting();
  if (driver_ == nullptr) return;
  const int hold = driver_->DialogRepaints(*this);
  if (hold <= 0) return;
  const ULONGLONG until = GetTickCount64() + static_cast<ULONGLONG>(hold);
  while (GetTickCount64() < until) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, kHoldPoll, QS_ALLINPUT);
    DispatchWaiting();
  }
}

}  // namespace qdw::win32
