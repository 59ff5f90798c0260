// Base of the program's dialogs: a modal run over the dialog host, the default handling of
// initialisation, OK, Cancel and close, and short hands for the controls. A derived dialog
// adds its message map by overriding DispatchMapped.
#ifndef QDW_APP_FRAMEWORK_DIALOG_H_
#define QDW_APP_FRAMEWORK_DIALOG_H_

#include <cstdint>
#include <string>

#include "app/framework/ui_context.h"
#include "platform/dialog_host.h"

namespace qdw::ui {

class Dialog : public platform::DialogHandler {
 public:
  Dialog(UiContext& ui, uint16_t template_id) : ui_(ui), template_id_(template_id) {}
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;

  // Runs the dialog modally, owned by the innermost running dialog. Returns the result given
  // to EndDialog, or platform::kModalFailed when the dialog could not be created.
  int DoModal();

  bool HandleMessage(platform::DialogWindow& window, platform::UiEvent& event) final;

 protected:
  // Returns true to let the host set the default focus.
  virtual bool OnInitDialog() { return true; }
  virtual void OnOK() { EndDialog(platform::kIdOk); }
  virtual void OnCancel() { EndDialog(platform::kIdCancel); }
  // The derived class's message map; true when it handled the message.
  virtual bool DispatchMapped(platform::UiEvent& /*event*/) { return false; }

  UiContext& ui() { return ui_; }
  // The running dialog; only valid between initialisation and the end of the modal run.
  platform::DialogWindow& window() { return *window_; }

  void EndDialog(int result) { window_->EndDialog(result); }
  std::string LoadText(int string_id) const { return ui_.LoadText(string_id); }
  void SetItemString(int control_id, int string_id);
  void SetItemText(int control_id, const std::string& text);
  std::string ItemText(int control_id) const { return window_->ControlText(control_id); }
  void ShowItem(int control_id, bool shown) { window_->ShowControl(control_id, shown); }
  void EnableItem(int control_id, bool enabled) { window_->EnableControl(control_id, enabled); }
  int MessageBox(int string_id,
                 platform::MessageBoxButtons buttons = platform::MessageBoxButtons::kOk,
                 platform::MessageBoxIcon icon = platform::MessageBoxIcon::kNone) {
    return ui_.MessageBox(string_id, buttons, icon);
  }

  // Large and small window icon from the resource module.
  void SetDialogIcon(uint16_t icon_group_id);
  // The paint of every dialog: minimised, the icon is drawn centred in the client area;
  // otherwise the host paints as usual (returns false).
  bool PaintIconWhenMinimized(platform::UiEvent& event);

 private:
  UiContext& ui_;
  uint16_t template_id_;
  platform::DialogWindow* window_ = nullptr;
};

}  // namespace qdw::ui

#endif  // QDW_APP_FRAMEWORK_DIALOG_H_
