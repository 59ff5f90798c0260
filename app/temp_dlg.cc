#include "app/temp_dlg.h"

#include "app/resource_ids.h"
#include "platform/code_page_text.h"
#include "platform/normalised_paths.h"
#include "platform/process_code_page.h"
#include "platform/windows_path.h"

namespace qdw::app {

void BrowseFolderInto(ui::UiContext& ui, platform::DialogWindow& window, int edit_id) {
  std::string path = platform::LeadingText(platform::ProcessCodePage(), window.ControlText(edit_id),
                                           platform::kMaxPath - 1);
  switch (ui.host().BrowseForFolder(&window, ui.LoadText(kTextBrowseTitle), &path)) {
    case platform::BrowseResult::kChosen:
      if (!path.empty()) window.SetControlText(edit_id, path);
      break;
    case platform::BrowseResult::kNoShellAllocator:
      ui.MessageBox(kMsgNoFolderBrowser, platform::MessageBoxButtons::kOk,
                    platform::MessageBoxIcon::kStop);
      break;
    case platform::BrowseResult::kCancelled:
      break;
  }
}

CTempDlg::CTempDlg(AppContext& app, const std::string& repository_path)
    : ui::Dialog(app.ui, kTempDialogTemplate), app_(app) {
  if (!repository_path.empty()) {
    product_folder_ = platform::JoinPath(repository_path, "VARNOLD");
  }
}

const ui::MessageMap<CTempDlg>& CTempDlg::Map() {
  using Map = ui::MessageMap<CTempDlg>;
  static const Map map = {
      Map::EditChanged(kTempFolderEdit, &CTempDlg::OnFolderChange),
      Map::Clicked(kTempBrowseButton, &CTempDlg::OnBrowse),
      Map::On(platform::UiMessage::kPaint, &CTempDlg::OnPaint),
  };
  return map;
}

bool CTempDlg::OnInitDialog() {
  SetDialogIcon(kDialogIcon);
  SetItemString(1023, 1023);
  SetItemString(1025, 1024);
  SetItemString(1024, 1025);
  SetItemString(1026, 1026);
  SetItemString(kTempBrowseButton, kTextBrowse);
  SetItemString(platform::kIdOk, kTextOk);
  SetItemString(platform::kIdCancel, engine::kTextCancel);
  EnableItem(platform::kIdOk, false);
  return true;
}

void CTempDlg::OnFolderChange() { EnableItem(platform::kIdOk, !ItemText(kTempFolderEdit).empty()); }

void CTempDlg::OnBrowse() { BrowseFolderInto(ui(), window(), kTempFolderEdit); }

bool CTempDlg::InsideProductFolder(const std::string& folder) const {
  return platform::LiesInside(app_.platform.files(), folder, product_folder_);
}

void CTempDlg::OnOK() {
  folder_ = ItemText(kTempFolderEdit);
  const std::string copy = platform::UpperAnsi(platform::StripTrailingSeparator(folder_));
  if (!platform::IsBareDrive(copy)) {
    // A folder the system cannot resolve (relative, a device path, too long) is no place to
    // unpack into.
    std::string full;
    if (!platform::NormalisedPath(app_.platform.files(), folder_, &full)) {
      MessageBox(engine::kMsgDriveUnusable);
      return;
    }
    if (InsideProductFolder(folder_)) {
      MessageBox(kMsgTempInsideProduct);
      return;
    }
    EndDialog(platform::kIdOk);
    return;
  }
  switch (app_.platform.files().DriveKind(copy)) {
    case platform::kDriveRemovable:
    case platform::kDriveFixed:
    case platform::kDriveRemote:
    case platform::kDriveRamDisk:
      EndDialog(platform::kIdOk);
      return;
    default:
      MessageBox(engine::kMsgDriveUnusable);
  }
}

}  // namespace qdw::app
