#include "app/framework/dialog.h"

namespace qdw::ui {

namespace {

// Keeps the dialog on the context's stack of running dialogs for the length of its run, also
// when a handler throws.
class RunningDialog {
 public:
  RunningDialog(UiContext& ui, platform::DialogWindow** window) : ui_(ui), window_(window) {}
  ~RunningDialog() {
    if (*window_ != nullptr) ui_.PopWindow(*window_);
    *window_ = nullptr;
  }
  RunningDialog(const RunningDialog&) = delete;
  RunningDialog& operator=(const RunningDialog&) = delete;

 private:
  UiContext& ui_;
  platform::DialogWindow** window_;
};

}  // namespace

int Dialog::DoModal() {
  RunningDialog running(ui_, &window_);
  return ui_.host().RunModal(template_id_, *this, ui_.ActiveWindow());
}

bool Dialog::HandleMessage(platform::DialogWindow& window, platform::UiEvent& event) {
  if (window_ == nullptr) {
    window_ = &window;
    ui_.PushWindow(window_);
  }
  if (DispatchMapped(event)) return true;
  switch (event.message) {
    case platform::UiMessage::kInitDialog:
      event.result = OnInitDialog();
      return true;
    case platform::UiMessage::kCommand:
      if (event.code != platform::kButtonClicked) return false;
      if (event.control_id == platform::kIdOk) {
        OnOK();
        return true;
      }
      if (event.control_id == platform::kIdCancel) {
        OnCancel();
        return true;
      }
      return false;
    default:
      return false;
  }
}

void Dialog::SetItemString(int control_id, int string_id) {
  window_->SetControlText(control_id, LoadText(string_id));
}

void Dialog::SetItemText(int control_id, const std::string& text) {
  window_->SetControlText(control_id, text);
}

void Dialog::SetDialogIcon(uint16_t icon_group_id) {
  window_->SetIcon(icon_group_id, true);
  window_->SetIcon(icon_group_id, false);
}

bool Dialog::PaintIconWhenMinimized(platform::UiEvent& event) {
  if (!window_->IsMinimized()) return false;
  int client_width = 0;
  int client_height = 0;
  int icon_width = 0;
  int icon_height = 0;
  window_->ClientSize(&client_width, &client_height);
  window_->SystemIconSize(&icon_width, &icon_height);
  window_->DrawIcon((client_width - icon_width + 1) / 2, (client_height - icon_height + 1) / 2);
  event.result = true;
  return true;
}

}  // namespace qdw::ui
