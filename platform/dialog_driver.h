// Driving real dialogs from a script: the dialog host of a windowed platform hands each
// running dialog to a DialogDriver, which plays the user (clicks, typing, list selection,
// answers to message boxes and the shell's dialogs) and checks what the dialog shows.
// The same scripts run headless on the stand-in machine.
#ifndef QDW_PLATFORM_DIALOG_DRIVER_H_
#define QDW_PLATFORM_DIALOG_DRIVER_H_

#include <cstdint>
#include <string>
#include <vector>

#include "platform/dialog_host.h"
#include "platform/win_error.h"

namespace qdw::platform {

// What a control of a running dialog shows, in the order of the dialog's template.
struct DrivenControl {
  int id = -1;
  std::string class_name;
  uint32_t style = 0;
  std::string text;
  bool shown = false;
  bool enabled = false;
  bool checked = false;
  bool playing = false;  // an animation that plays
  int position = 0;      // a progress bar's position, 0 to 100
  // List view rows: the cells of each row, and whether it is selected.
  std::vector<std::vector<std::string>> rows;
  std::vector<bool> selected;
};

// A running dialog as a user sees it. The user's actions return an empty text when done, or
// why a user could not have done it (a missing, hidden or disabled control, the wrong kind).
class DrivenDialog {
 public:
  virtual ~DrivenDialog() = default;
  virtual uint16_t TemplateId() const = 0;
  virtual std::string Caption() const = 0;
  virtual std::vector<DrivenControl> Controls() const = 0;
  virtual std::string UserClick(int id) = 0;
  virtual std::string UserType(int id, const std::string& text) = 0;
  // Clicks the first row (from 1) and control-clicks the others.
  virtual std::string UserSelect(int id, const std::vector<int>& rows) = 0;
  virtual std::string UserClose() = 0;
  virtual std::string UserSysCommand(uint32_t command) = 0;
};

class DialogDriver {
 public:
  virtual ~DialogDriver() = default;
  // The dialog was created; its handler has not seen it yet.
  virtual void DialogOpened(const DrivenDialog& dialog) = 0;
  // The dialog waits for the user: the driver does one action. Returns how many milliseconds
  // the user looks at the dialog before the next action (0: right away).
  virtual int DialogWaits(DrivenDialog& dialog) = 0;
  // The program works while the dialog shows how far it has got; it lets the dialog repaint
  // now. Returns how many milliseconds the work is held with the dialog on the screen (0: none).
  virtual int DialogRepaints(const DrivenDialog& dialog) = 0;
  // The dialog has ended; `final_state` is what it showed when it closed.
  virtual void DialogEnded(uint16_t template_id, int result,
                           const std::vector<DrivenControl>& final_state) = 0;
  // The dialog could not be created: the system's `error` (kErrorResourceNameNotFound when
  // the module has no such template) and its text.
  virtual void DialogFailed(uint16_t template_id, WinError error, const std::string& reason) = 0;
  // Returns kIdOk, kIdYes or kIdNo.
  virtual int AnswerMessageBox(const MessageBoxRequest& request) = 0;
  virtual BrowseResult AnswerFolderBrowser(const std::string& title, std::string* path) = 0;
  virtual bool AnswerFileOpen(const FileOpenRequest& request, std::string* path) = 0;
};

}  // namespace qdw::platform

#endif  // QDW_PLATFORM_DIALOG_DRIVER_H_
