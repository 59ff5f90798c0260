// What every dialog of the program shares: the dialog host, the texts of the resource module,
// the application name used as the caption of message boxes, and the stack of running dialogs
// (the top one owns new dialogs and message boxes).
#ifndef QDW_APP_FRAMEWORK_UI_CONTEXT_H_
#define QDW_APP_FRAMEWORK_UI_CONTEXT_H_

#include <string>
#include <vector>

#include "platform/dialog_host.h"

namespace qdw::ui {

// Texts of the string table by number; empty for a number it does not have.
class TextSource {
 public:
  virtual ~TextSource() = default;
  virtual std::string Text(int string_id) const = 0;
};

class UiContext {
 public:
  UiContext(platform::DialogHost& host, const TextSource& texts, std::string app_name);
  UiContext(const UiContext&) = delete;
  UiContext& operator=(const UiContext&) = delete;

  platform::DialogHost& host() { return host_; }
  const std::string& app_name() const { return app_name_; }
  void set_app_name(const std::string& name) { app_name_ = name; }

  std::string LoadText(int string_id) const { return texts_.Text(string_id); }

  // A message box with string `string_id`, captioned with the application name and owned by
  // the running dialog. Returns platform::kIdOk, kIdYes or kIdNo.
  int MessageBox(int string_id,
                 platform::MessageBoxButtons buttons = platform::MessageBoxButtons::kOk,
                 platform::MessageBoxIcon icon = platform::MessageBoxIcon::kNone);
  // The same for a text composed by the caller; `string_id` names the string it starts with.
  int MessageBoxText(const std::string& text, int string_id, platform::MessageBoxButtons buttons,
                     platform::MessageBoxIcon icon);

  // The innermost running dialog, or nullptr.
  platform::DialogWindow* ActiveWindow() const;
  void PushWindow(platform::DialogWindow* window) { windows_.push_back(window); }
  void PopWindow(platform::DialogWindow* window);

 private:
  platform::DialogHost& host_;
  const TextSource& texts_;
  std::string app_name_;
  std::vector<platform::DialogWindow*> windows_;
};

// Hourglass for the life of the object.
class WaitCursor {
 public:
  explicit WaitCursor(UiContext& ui) : ui_(ui) { ui_.host().BeginWaitCursor(); }
  ~WaitCursor() { ui_.host().EndWaitCursor(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  UiContext& ui_;
};

}  // namespace qdw::ui

#endif  // QDW_APP_FRAMEWORK_UI_CONTEXT_H_
