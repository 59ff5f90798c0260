#include "platform/win32/win32_modal_dialog.h"

#include <commctrl.h>

#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32/win32_dialog_window.h"

namespace qdw::win32 {

namespace {

// Posted to a driven dialog whenever it waits for the next scripted action.
constexpr UINT kDriveMessage = WM_APP + 0x51;
// The timer that brings the next action after a scripted pause.
constexpr UINT_PTR kDriveTimer = 0x5144;
// How often a driven dialog looks whether it is on the screen yet, in milliseconds.
constexpr UINT kShowPoll = 20;

struct ModalRun {
  HINSTANCE module = nullptr;
  uint16_t template_id = 0;
  platform::DialogHandler* handler = nullptr;
  platform::DialogDriver* driver = nullptr;
  std::unique_ptr<Win32DialogWindow> window;
  std::exception_ptr error;
  std::vector<platform::DrivenControl> final_state;
  bool driving = false;  // a scripted action is under way (it may run nested dialogs)
};

std::vector<ModalRun*>& RunningDialogs() {
  static std::vector<ModalRun*> runs;
  return runs;
}

// The system's text for `error`, without the line end it comes with.
std::string SystemErrorText(DWORD error) {
  char* text = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string out = length > 0 && text != nullptr ? std::string(text, length) : "no text";
  if (text != nullptr) LocalFree(text);
  while (!out.empty() && (out.back() == '\r' || out.back() == '\n' || out.back() == ' ')) {
    out.pop_back();
  }
  return out;
}

void ReportFailure(platform::DialogDriver* driver, uint16_t template_id, DWORD error) {
  if (driver == nullptr) return;
  // Wine may leave the error at 0 where Windows says what failed (1407 for a control class
  // nobody registered, for one).
  driver->DialogFailed(template_id, error,
                       error == ERROR_RESOURCE_NAME_NOT_FOUND
                           ? "the resource module has no such template"
                       : error == ERROR_SUCCESS ? "the system gave no reason"
                                                : SystemErrorText(error));
}

void Abandon(ModalRun& run) {
  if (!run.error) run.error = std::current_exception();
  run.window->EndDialog(platform::kModalFailed);
}

bool Deliver(ModalRun& run, platform::UiEvent& event) {
  if (run.error) return false;
  try {
    return run.handler->HandleMessage(*run.window, event);
  } catch (...) {
    Abandon(run);
    return true;
  }
}

void PostDrive(ModalRun& run) {
  if (run.driver != nullptr && !run.window->ended()) {
    PostMessageA(run.window->handle(), kDriveMessage, 0, 0);
  }
}

void Drive(ModalRun& run) {
  // Only the innermost dialog takes actions; an outer one goes on once its inner one ends.
  if (run.window->ended() || run.driving || RunningDialogs().empty() ||
      RunningDialogs().back() != &run) {
    return;
  }
  // A modal dialog is shown once its message loop first goes idle; the user acts on what is
  // on the screen.
  if (!IsWindowVisible(run.window->handle())) {
    SetTimer(run.window->handle(), kDriveTimer, kShowPoll, nullptr);
    return;
  }
  run.driving = true;
  int pause = 0;
  try {
    pause = run.driver->DialogWaits(*run.window);
  } catch (...) {
    Abandon(run);
  }
  run.driving = false;
  if (run.window->ended()) return;
  if (pause > 0) {
    SetTimer(run.window->handle(), kDriveTimer, static_cast<UINT>(pause), nullptr);
  } else {
    PostDrive(run);
  }
}

INT_PTR Event(ModalRun& run, platform::UiEvent& event) {
  return Deliver(run, event) ? TRUE : FALSE;
}

INT_PTR Notify(ModalRun& run, const NMHDR& header) {
  if (header.code != LVN_ITEMCHANGED) return FALSE;
  const NMLISTVIEW& change = reinterpret_cast<const NMLISTVIEW&>(header);
  if (!(change.uChanged & LVIF_STATE)) return FALSE;
  platform::UiEvent event;
  event.message = platform::UiMessage::kNotify;
  event.control_id = static_cast<int>(header.idFrom);
  event.code = platform::kListItemChanged;
  event.item = change.iItem;
  event.old_state = change.uOldState;
  event.new_state = change.uNewState;
  return Event(run, event);
}

INT_PTR InitDialog(HWND dialog, ModalRun& run) {
  SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(&run));
  run.window = std::make_unique<Win32DialogWindow>(dialog, run.template_id, run.module);
  run.window->set_driver(run.driver);
  if (run.driver != nullptr) run.driver->DialogOpened(*run.window);
  platform::UiEvent event;
  event.message = platform::UiMessage::kInitDialog;
  if (!Deliver(run, event)) event.result = true;
  PostDrive(run);
  return event.result ? TRUE : FALSE;
}

INT_PTR CALLBACK DialogProcedure(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) return InitDialog(dialog, *reinterpret_cast<ModalRun*>(lparam));
  ModalRun* run = reinterpret_cast<ModalRun*>(GetWindowLongPtrA(dialog, DWLP_USER));
  if (run == nullptr || run->window == nullptr) return FALSE;
  platform::UiEvent event;
  switch (message) {
    case WM_COMMAND:
      event.message = platform::UiMessage::kCommand;
      event.control_id = LOWORD(wparam);
      event.code = HIWORD(wparam);
      return Event(*run, event);
    case WM_NOTIFY:
      return Notify(*run, *reinterpret_cast<const NMHDR*>(lparam));
    case WM_SYSCOMMAND:
      event.message = platform::UiMessage::kSysCommand;
      event.command = static_cast<uint32_t>(wparam);
      if (!Deliver(*run, event)) return FALSE;
      SetWindowLongPtrA(dialog, DWLP_MSGRESULT, 0);
      return TRUE;
    case WM_SIZE:
      event.message = platform::UiMessage::kSize;
      event.width = LOWORD(lparam);
      event.height = HIWORD(lparam);
      return Event(*run, event);
    case WM_GETMINMAXINFO: {
      event.message = platform::UiMessage::kGetMinMaxInfo;
      if (!Deliver(*run, event)) return FALSE;
      MINMAXINFO* limits = reinterpret_cast<MINMAXINFO*>(lparam);
      if (event.min_width > 0) limits->ptMinTrackSize.x = event.min_width;
      if (event.min_height > 0) limits->ptMinTrackSize.y = event.min_height;
      return TRUE;
    }
    case WM_PAINT:
      event.message = platform::UiMessage::kPaint;
      return Deliver(*run, event) && event.result ? TRUE : FALSE;
    case WM_QUERYDRAGICON:
      event.message = platform::UiMessage::kQueryDragIcon;
      if (!Deliver(*run, event) || !event.result) return FALSE;
      return reinterpret_cast<INT_PTR>(run->window->large_icon());
    case WM_CLOSE:
      event.message = platform::UiMessage::kClose;
      return Event(*run, event);
    case WM_DESTROY:
      // The controls still exist here: what the dialog showed when it closed.
      if (run->driver != nullptr) run->final_state = run->window->Controls();
      return FALSE;
    case WM_TIMER:
      if (wparam != kDriveTimer) return FALSE;
      KillTimer(dialog, kDriveTimer);
      Drive(*run);
      return TRUE;
    case kDriveMessage:
      Drive(*run);
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

HWND InnermostDialog() {
  const std::vector<ModalRun*>& runs = RunningDialogs();
  for (auto it = runs.rbegin(); it != runs.rend(); ++it) {
    if ((*it)->window != nullptr) return (*it)->window->handle();
  }
  return nullptr;
}

int RunModalDialog(HINSTANCE module, uint16_t template_id, platform::DialogHandler& handler,
                   HWND owner, platform::DialogDriver* driver) {
  if (FindResourceA(module, MAKEINTRESOURCEA(template_id), MAKEINTRESOURCEA(5)) == nullptr) {
    ReportFailure(driver, template_id, ERROR_RESOURCE_NAME_NOT_FOUND);
    return platform::kModalFailed;
  }
  ModalRun run;
  run.module = module;
  run.template_id = template_id;
  run.handler = &handler;
  run.driver = driver;
  RunningDialogs().push_back(&run);
  SetLastError(ERROR_SUCCESS);
  const INT_PTR result = DialogBoxParamA(module, MAKEINTRESOURCEA(template_id), owner,
                                         DialogProcedure, reinterpret_cast<LPARAM>(&run));
  // The template is there: whatever kept the dialog from being made is the system's to say.
  const DWORD error = GetLastError();
  RunningDialogs().pop_back();
  if (run.error) std::rethrow_exception(run.error);
  if (run.window == nullptr) {
    ReportFailure(driver, template_id, error);
    return platform::kModalFailed;
  }
  if (driver != nullptr) {
    driver->DialogEnded(template_id, static_cast<int>(result), run.final_state);
    // The outer dialog takes the next action, unless the one that opened this run goes on.
    if (!RunningDialogs().empty() && !RunningDialogs().back()->driving) {
      PostDrive(*RunningDialogs().back());
    }
  }
  return static_cast<int>(result);
}

}  // namespace qdw::win32
