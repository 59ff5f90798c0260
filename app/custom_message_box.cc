#include "app/custom_message_box.h"

#include "app/resource_ids.h"

namespace qdw::app {

CCustomMessageBox::CCustomMessageBox(ui::UiContext& ui)
    : ui::Dialog(ui, kCustomMessageBoxTemplate) {}

bool CCustomMessageBox::OnInitDialog() {
  SetDialogIcon(kDialogIcon);
  SetItemText(kCustomMessageText, message);
  SetItemText(platform::kIdCancel, cancel_caption);
  SetItemText(platform::kIdOk, ok_caption);
  return true;
}

CAboutDlg::CAboutDlg(ui::UiContext& ui) : ui::Dialog(ui, kAboutBoxTemplate) {}

}  // namespace qdw::app
