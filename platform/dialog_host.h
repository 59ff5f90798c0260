// The user interface port: modal dialogs made from the templates of the resource module,
// the controls inside them, message boxes, the folder browser, the file-open dialog and the
// wait cursor. Windows shows real dialogs; the stand-in runs them headless from a script.
//
// A dialog is driven by a DialogHandler: the host delivers every message (initialisation,
// commands and notifications of controls, system commands, size, paint, close) to it, and the
// handler works the dialog through the DialogWindow it is given. A click of the user and a
// scripted click take the same road: the host turns both into the same messages.
#ifndef QDW_PLATFORM_DIALOG_HOST_H_
#define QDW_PLATFORM_DIALOG_HOST_H_

#include <cstdint>
#include <string>

#include "platform/library.h"

namespace qdw::platform {

// Standard control ids and modal results.
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kIdYes = 6;
inline constexpr int kIdNo = 7;
// What RunModal returns when the dialog could not be created (no such template).
inline constexpr int kModalFailed = -1;

// Notification codes of kCommand and kNotify (the Win32 values).
inline constexpr int kButtonClicked = 0;       // BN_CLICKED
inline constexpr int kEditChange = 0x0300;     // EN_CHANGE
inline constexpr int kListItemChanged = -101;  // LVN_ITEMCHANGED

// List view item state bits and the extended style used by the program.
inline constexpr uint32_t kListStateFocused = 0x0001;
inline constexpr uint32_t kListStateSelected = 0x0002;
inline constexpr uint32_t kListExFullRowSelect = 0x0020;

// System commands. kSysCommandClose is SC_CLOSE; a program's own commands are below 0xF000.
inline constexpr uint32_t kSysCommandClose = 0xF060;

enum class UiMessage {
  kInitDialog,     // result: true to let the host set the default focus
  kCommand,        // control_id, code (kButtonClicked, kEditChange)
  kNotify,         // control_id, code (kListItemChanged), item, old_state, new_state
  kSysCommand,     // command
  kSize,           // width, height: the new client size in pixels
  kGetMinMaxInfo,  // the handler may raise min_width and min_height
  kPaint,          // the handler may draw (DrawIcon); unhandled: the host paints as usual
  kQueryDragIcon,  // result: true when the dialog's icon is to be dragged
  kClose,          // unhandled: the host sends kCommand kIdCancel, as DefDlgProc does
};

struct UiEvent {
  UiMessage message = UiMessage::kInitDialog;
  int control_id = 0;
  int code = 0;
  uint32_t command = 0;
  int item = -1;
  uint32_t old_state = 0;
  uint32_t new_state = 0;
  int width = 0;
  int height = 0;
  int min_width = 0;
  int min_height = 0;
  bool result = false;
};

struct ControlRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

// A dialog while it runs. Operations on a control id the dialog does not have do nothing
// (reads give empty values), as they would on a missing window.
class DialogWindow {
 public:
  virtual ~DialogWindow() = default;

  virtual uint16_t TemplateId() const = 0;
  virtual bool HasControl(int id) const = 0;

  // Window text. Setting the text of an edit control notifies kEditChange, as Windows does.
  virtual void SetControlText(int id, const std::string& text) = 0;
  virtual std::string ControlText(int id) const = 0;
  virtual void ShowControl(int id, bool shown) = 0;
  virtual bool IsControlShown(int id) const = 0;
  virtual void EnableControl(int id, bool enabled) = 0;
  virtual bool IsControlEnabled(int id) const = 0;
  virtual void SetCheck(int id, bool checked) = 0;
  virtual bool IsChecked(int id) const = 0;
  virtual void FocusControl(int id) = 0;

  // Layout, in pixels of the client area.
  virtual void ClientSize(int* width, int* height) const = 0;
  virtual bool ControlClientSize(int id, int* width, int* height) const = 0;
  virtual void MoveControl(int id, const ControlRect& rect) = 0;
  virtual bool IsMinimized() const = 0;
  // The system's icon size, and drawing the dialog's large icon at a client position over an
  // erased background (the minimised dialog's paint).
  virtual void SystemIconSize(int* width, int* height) const = 0;
  virtual void DrawIcon(int left, int top) = 0;

  // The dialog's large or small window icon, an icon group of the resource module.
  virtual void SetIcon(uint16_t icon_group_id, bool large) = 0;
  // Appends a separator and a command to the window's system menu.
  virtual void AppendSystemMenuCommand(uint32_t command, const std::string& text) = 0;
  // Ends the modal run with `result` once the current message has been handled.
  virtual void EndDialog(int result) = 0;

  // List view (report view). Rows and columns count from 0. Changing a row's state notifies
  // kListItemChanged, as Windows does.
  virtual void ListAddExtendedStyle(int id, uint32_t style) = 0;
  virtual void ListInsertColumn(int id, int column, const std::string& heading) = 0;
  // Inserts a row with the text of column 0; returns its index, or -1.
  virtual int ListInsertRow(int id, int row, const std::string& text) = 0;
  virtual void ListSetCell(int id, int row, int column, const std::string& text) = 0;
  virtual std::string ListCell(int id, int row, int column) const = 0;
  virtual int ListRowCount(int id) const = 0;
  virtual void ListDeleteAllRows(int id) = 0;
  virtual uint32_t ListRowState(int id, int row) const = 0;
  // Sets the bits of `mask` in the row's state to those of `state`.
  virtual void ListSetRowState(int id, int row, uint32_t state, uint32_t mask) = 0;
  // Sizes a column to fit its heading and its contents.
  virtual void ListFitColumn(int id, int column) = 0;

  // Animation control: opens an "AVI" resource of the resource module; plays frames `from` to
  // `to` (-1: the last), `repeat` times (-1: without end).
  virtual bool AnimationOpen(int id, uint16_t animation_id) = 0;
  virtual bool AnimationPlay(int id, int from, int to, int repeat) = 0;
  virtual void AnimationClose(int id) = 0;

  // Progress bar (its range is 0 to 100): the position it shows.
  virtual void SetProgressPosition(int id, int percent) = 0;
  // The program works on the dialog's one thread: the messages waiting are handled so the
  // dialog repaints, while the user's input (keys, mouse, closing) is dropped.
  virtual void PumpMessages() = 0;
};

class DialogHandler {
 public:
  virtual ~DialogHandler() = default;
  // Returns true when the message was handled; false asks for the default handling.
  virtual bool HandleMessage(DialogWindow& window, UiEvent& event) = 0;
};

enum class MessageBoxButtons { kOk, kYesNo };
enum class MessageBoxIcon { kNone, kInformation, kQuestion, kWarning, kStop };

struct MessageBoxRequest {
  int string_id = 0;  // the resource string the text starts with; 0 for a text of its own
  std::string text;
  std::string caption;
  MessageBoxButtons buttons = MessageBoxButtons::kOk;
  MessageBoxIcon icon = MessageBoxIcon::kNone;
};

enum class BrowseResult { kChosen, kCancelled, kNoShellAllocator };

struct FileOpenRequest {
  std::string default_extension;  // without the dot
  std::string initial_name;
  std::string filter;  // "Text|*.ext||", as the framework writes it
  std::string initial_folder;
  bool overwrite_prompt = false;
};

class DialogHost {
 public:
  virtual ~DialogHost() = default;

  // The module whose templates, icons and animations the dialogs use; nullptr for the
  // program's own module, which has no templates. The module outlives the host's use of it.
  virtual void SetResourceModule(const Library* module) = 0;

  // Creates the dialog from template `template_id` and runs it modally, owned by `owner`
  // (nullptr: no owner). Returns the value given to EndDialog, or kModalFailed.
  virtual int RunModal(uint16_t template_id, DialogHandler& handler, DialogWindow* owner) = 0;

  // Returns kIdOk, kIdYes or kIdNo.
  virtual int ShowMessageBox(DialogWindow* owner, const MessageBoxRequest& request) = 0;

  // The shell's folder browser for file-system folders, in the new dialog style. `*path` holds
  // the initial folder on entry and the chosen one on kChosen.
  virtual BrowseResult BrowseForFolder(DialogWindow* owner, const std::string& title,
                                       std::string* path) = 0;

  // The common file-open dialog. True with the confirmed path; false when cancelled.
  virtual bool OpenFileDialog(DialogWindow* owner, const FileOpenRequest& request,
                              std::string* path) = 0;

  // The hourglass cursor; calls nest.
  virtual void BeginWaitCursor() = 0;
  virtual void EndWaitCursor() = 0;
};

}  // namespace qdw::platform

#endif  // QDW_PLATFORM_DIALOG_HOST_H_
