#include "app/mode_dlg.h"

#include "app/custom_message_box.h"
#include "app/file_dlg.h"
#include "app/log_dlg.h"
#include "app/resource_ids.h"

namespace qdw::app {

CModeDlg::CModeDlg(AppContext& app, int mode)
    : ui::Dialog(app.ui, kModeDialogTemplate), app_(app), mode_(mode) {}

const ui::MessageMap<CModeDlg>& CModeDlg::Map() {
  using Map = ui::MessageMap<CModeDlg>;
  static const Map map = {
      Map::On(platform::UiMessage::kSysCommand, &CModeDlg::OnSysCommand),
      Map::On(platform::UiMessage::kPaint, &CModeDlg::OnPaint),
      Map::On(platform::UiMessage::kQueryDragIcon, &CModeDlg::OnQueryDragIcon),
      Map::Clicked(kBackupRadio, &CModeDlg::OnChooseMode),
      Map::Clicked(kRestoreRadio, &CModeDlg::OnChooseMode),
      Map::Clicked(kViewLogButton, &CModeDlg::OnViewLog),
  };
  return map;
}

bool CModeDlg::OnInitDialog() {
  const std::string about = LoadText(kTextAboutMenu);
  if (!about.empty()) window().AppendSystemMenuCommand(kAboutCommand, about);
  SetDialogIcon(kDialogIcon);
  window().SetCheck(kBackupRadio, mode_ == kModeBackup);
  window().SetCheck(kRestoreRadio, mode_ == kModeRestore);
  if (mode_ != kModeBackup && mode_ != kModeRestore) EnableItem(platform::kIdOk, false);
  SetItemString(kChoiceHeading, kTextChoiceHeading);
  SetItemString(kBackupRadio, kTextBackupChoice);
  SetItemString(kRestoreRadio, kTextRestoreChoice);
  SetItemString(kViewLogButton, kTextViewLog);
  SetItemString(platform::kIdOk, kTextNext);
  SetItemString(platform::kIdCancel, engine::kTextCancel);
  return true;
}

bool CModeDlg::OnSysCommand(platform::UiEvent& event) {
  // The low four bits of a system command carry flags of the system's own.
  if ((event.command & 0xFFF0) != kAboutCommand) return false;
  CAboutDlg about(ui());
  about.DoModal();
  return true;
}

bool CModeDlg::OnQueryDragIcon(platform::UiEvent& event) {
  event.result = true;
  return true;
}

void CModeDlg::OnChooseMode() { EnableItem(platform::kIdOk, true); }

void CModeDlg::OnViewLog() {
  CLogDlg viewer(app_);
  viewer.DoModal();
}

void CModeDlg::OnOK() {
  int mode = 0;
  if (window().IsChecked(kRestoreRadio)) {
    mode = kModeRestore;
  } else if (window().IsChecked(kBackupRadio)) {
    mode = kModeBackup;
  }
  EndDialog(platform::kIdOk);
  CFileDlg next(app_, mode);
  next.DoModal();
}

}  // namespace qdw::app
