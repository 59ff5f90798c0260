#include "app/file_dlg.h"

#include "app/log_dlg.h"
#include "app/mode_dlg.h"
#include "app/resource_ids.h"
#include "app/result_messages.h"
#include "app/temp_dlg.h"

namespace qdw::app {

CFileDlg::CFileDlg(AppContext& app, int mode)
    : ui::Dialog(app.ui, kFileDialogTemplate), app_(app), mode_(mode) {}

const ui::MessageMap<CFileDlg>& CFileDlg::Map() {
  using Map = ui::MessageMap<CFileDlg>;
  static const Map map = {
      Map::On(platform::UiMessage::kPaint, &CFileDlg::OnPaint),
      Map::Clicked(kViewLogButton, &CFileDlg::OnViewLog),
      Map::Clicked(kBackButton, &CFileDlg::OnBack),
      Map::Clicked(kBrowseFolderButton, &CFileDlg::OnBrowseFolder),
      Map::Clicked(kBrowseArchiveButton, &CFileDlg::OnBrowseArchive),
      Map::EditChanged(kArchiveEdit, &CFileDlg::OnArchiveChange),
      Map::EditChanged(kDestinationEdit, &CFileDlg::OnBackupInputChange),
      Map::EditChanged(kArchiveNameEdit, &CFileDlg::OnBackupInputChange),
  };
  return map;
}

bool CFileDlg::restore_mode() const { return mode_ == kModeRestore; }

std::string CFileDlg::NewArchiveName() {
  platform::SystemInfo& system = app_.platform.system();
  return DefaultArchiveName(platform::FileTimeToCalendar(system.UtcToLocal(system.Now())));
}

bool CFileDlg::OnInitDialog() {
  SetDialogIcon(kDialogIcon);
  SetItemString(kViewLogButton, kTextViewLog);
  SetItemString(kBackButton, kTextBack);
  SetItemString(platform::kIdOk, kTextStart);
  SetItemString(platform::kIdCancel, engine::kTextCancel);
  if (restore_mode()) {
    SetItemString(kHeadingText, kTextRestoreAgainHeading);
    SetItemString(kArchiveLabel, kTextArchiveLabel);
    SetItemString(kBrowseArchiveButton, kTextBrowse);
    for (int id : {kBrowseFolderButton, kDestinationEdit, kArchiveNameEdit, kNoteText, kSeparator,
                   kDestinationLabel, kArchiveNameLabel}) {
      ShowItem(id, false);
    }
    SetItemString(kHeadingText, kTextRestoreHeading);
  } else {
    SetItemString(kHeadingText, kTextBackupHeading);
    SetItemString(kNoteText, kTextBackupNote);
    SetItemString(kDestinationLabel, kTextDestinationLabel);
    SetItemString(kArchiveNameLabel, kTextArchiveNameLabel);
    SetItemString(kBrowseFolderButton, kTextBrowse);
    for (int id : {kArchiveLabel, kBrowseArchiveButton, kArchiveEdit}) ShowItem(id, false);
    SetItemText(kArchiveNameEdit, NewArchiveName());
  }
  EnableItem(platform::kIdOk, false);
  return true;
}

void CFileDlg::OnViewLog() {
  CLogDlg viewer(app_);
  viewer.DoModal();
}

void CFileDlg::OnBack() {
  EndDialog(platform::kIdOk);
  CModeDlg choice(app_, mode_);
  choice.DoModal();
}

void CFileDlg::OnBrowseFolder() { BrowseFolderInto(ui(), window(), kDestinationEdit); }

void CFileDlg::OnBrowseArchive() {
  platform::FileOpenRequest request;
  request.default_extension = "qdw";
  request.initial_name = "*.qdw";
  request.filter = "Qdw(*.qdw)|*.qdw||";
  request.overwrite_prompt = true;
  app_.platform.shell().SpecialFolder(platform::kCsidlPersonal, &request.initial_folder);
  std::string path;
  if (ui().host().OpenFileDialog(&window(), request, &path) && !path.empty()) {
    SetItemText(kArchiveEdit, path);
  }
}

void CFileDlg::OnArchiveChange() { EnableItem(platform::kIdOk, !ItemText(kArchiveEdit).empty()); }

void CFileDlg::OnBackupInputChange() {
  EnableItem(platform::kIdOk,
             !ItemText(kDestinationEdit).empty() && !ItemText(kArchiveNameEdit).empty());
}

}  // namespace qdw::app
