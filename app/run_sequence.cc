// The run sequence: the OK handler of the backup and restore dialog. It stops what must not
// run during the operation, calls an engine, maps the result to a message, writes the
// operation log, starts again what it stopped and removes the temporary folders.
#include <memory>
#include <string>
#include <vector>

#include "app/file_dlg.h"
#include "app/operation_log.h"
#include "app/resource_ids.h"
#include "app/result_messages.h"
#include "app/temp_dlg.h"
#include "app/unfinished_run.h"
#include "engine/common/engine_errors.h"
#include "engine/common/result_codes.h"
#include "platform/code_page_text.h"
#include "platform/normalised_paths.h"
#include "platform/process_code_page.h"
#include "platform/windows_path.h"
#include "system/os_version.h"
#include "system/service_control.h"

namespace qdw::app {

void CFileDlg::HideInputs() {
  if (restore_mode()) {
    for (int id : {kArchiveLabel, kBrowseArchiveButton, kArchiveEdit}) ShowItem(id, false);
  } else {
    for (int id : {kBrowseFolderButton, kDestinationEdit, kArchiveNameEdit, kNoteText, kSeparator,
                   kDestinationLabel, kArchiveNameLabel}) {
      ShowItem(id, false);
    }
  }
  ShowItem(kBackButton, false);
  ShowItem(platform::kIdOk, false);
  SetItemString(kHeadingText, kTextWorking);
}

void CFileDlg::OnOK() {
  HideInputs();
  RunState state;
  state.os_class = app_.services.OperatingSystemClass();
  progress_ = std::make_unique<DialogProgress>(window(), ui(), app_.platform.system());
  app_.services.SetProgress(progress_.get());
  std::unique_ptr<engine::EngineRun> engine = app_.services.NewEngineRun(app_.prompts);
  app_.services.SetProgress(nullptr);
  int code = kCompleted;
  bool thrown = false;
  try {
    code = RunSteps(state, *engine);
  } catch (const engine::ResultCodeError& error) {
    // A step that raised one of the result codes fails with it, as if it had returned it.
    code = error.code();
    if (code == engine::kResultAbandoned) state.log = false;
  } catch (...) {
    thrown = true;
  }
  if (thrown) {
    // Anything thrown inside the steps is a general failure: message 125 alone.
    engine->StartServicesFromCommandLine();
    state.outcome = LoadText(kMsgOperationFailed);
  } else if (code != kCompleted) {
    FailurePath(state, *engine, code);
  }
  Tail(state);
  // The services are running again: nothing of the run is left to put back.
  engine->EndRun();
  ShowFinalState(state);
}

void CFileDlg::StartAnimation() {
  platform::DialogWindow& dialog = window();
  ShowItem(kAnimation, true);
  if (dialog.AnimationOpen(kAnimation, kProgressAnimation)) {
    dialog.AnimationPlay(kAnimation, 0, -1, -1);
  }
  // The dialog repaints while the engines work; what is left to click waits for the end.
  progress_->ShowControls(true);
  for (int id : {platform::kIdCancel, kViewLogButton}) EnableItem(id, false);
}

void CFileDlg::StopAnimation() {
  window().AnimationClose(kAnimation);
  ShowItem(kAnimation, false);
  progress_->ShowControls(false);
  for (int id : {platform::kIdCancel, kViewLogButton}) EnableItem(id, true);
}

int CFileDlg::RunSteps(RunState& state, engine::EngineRun& engine) {
  if (restore_mode()) {
    state.archive_path = ItemText(kArchiveEdit);
    if (MessageBox(kMsgConfirmRestore, platform::MessageBoxButtons::kYesNo) != platform::kIdYes) {
      state.indexing_restart = false;
      state.share_restart = false;
      return engine::kResultDeclined;
    }
  }
  // The journal opens before the first change, the services' stop included.
  std::vector<std::string> pending;
  if (!engine.BeginRun(restore_mode(), &pending)) {
    ShowNotPutBack(ui(), pending);
    state.indexing_restart = false;
    state.share_restart = false;
    state.log = false;
    return engine::kResultAbandoned;
  }
  state.cursor = std::make_unique<ui::WaitCursor>(ui());
  StartAnimation();
  progress_->Begin({engine::ProgressPhase::kStopServices}, 0);
  const int stopped = StopServices(state, engine);
  if (stopped != kCompleted) return stopped;
  progress_->Finish();
  std::string repository;
  if (!app_.services.ReadRepositoryPath(&repository)) return engine::kResultRepositoryUnreadable;
  return restore_mode() ? RunRestore(state, engine, repository)
                        : RunBackup(state, engine, repository);
}

int CFileDlg::StopServices(RunState& state, engine::EngineRun& engine) {
  RunServices& services = app_.services;
  state.rights = services.ServiceRights();
  if (!state.rights) {
    engine.StopServicesWithoutRights();
    return kCompleted;
  }
  if (system::HasIndexingService(state.os_class)) {
    if (!services.QueryService(system::kIndexingService, &state.indexing_running)) {
      state.indexing_restart = false;
      state.share_restart = false;
      return engine::kResultIndexingQueryFailed;
    }
    if (state.indexing_running && !services.StopService(system::kIndexingService)) {
      state.indexing_restart = false;
      state.share_restart = false;
      return engine::kResultIndexingStopFailed;
    }
  }
  if (!services.QueryService(system::kSharedFolderService, &state.share_running)) {
    state.share_restart = false;
    return engine::kResultSharedFolderQueryFailed;
  }
  if (state.share_running && !services.StopService(system::kSharedFolderService)) {
    state.share_restart = false;
    return engine::kResultSharedFolderStopFailed;
  }
  return kCompleted;
}

int CFileDlg::RunRestore(RunState& state, engine::EngineRun& engine,
                         const std::string& repository) {
  const int step = engine.RunProductFolderStep("Restore");
  if (step != 0) return step;
  int result = engine.RestoreFromArchive(state.archive_path, repository, "");
  if (result == engine::kResultNeedsTempFolder) {
    CTempDlg temp(app_, repository);
    if (temp.DoModal() != platform::kIdOk) return engine::kResultNeedsTempFolder;
    result = engine.RestoreFromArchive(state.archive_path, repository, temp.folder());
  }
  if (result == engine::kResultAbandoned) {
    state.log = false;
    return engine::kResultAbandoned;
  }
  if (result != 0) return result;
  state.success = true;
  engine.StartServicesFromCommandLine();
  return kCompleted;
}

bool CFileDlg::UnsafeDestination(const std::string& destination, const std::string& repository) {
  platform::FileSystem& files = app_.platform.files();
  // A destination the system cannot resolve could be anywhere.
  std::string full;
  if (!platform::NormalisedPath(files, destination, &full)) return true;
  // The Windows and program folders are looked for anywhere in the text as typed, and as whole
  // folders once resolved; a folder that is unknown (empty) refuses nothing.
  std::vector<std::string> folders = app_.services.ProgramFolders();
  folders.insert(folders.begin(), app_.services.WindowsFolder());
  for (const std::string& folder : folders) {
    const std::string limited =
        platform::LeadingText(platform::ProcessCodePage(), folder, platform::kMaxPath);
    if (limited.empty()) continue;
    if (platform::ContainsIgnoreCase(destination, limited) ||
        platform::LiesInside(files, full, limited)) {
      return true;
    }
  }
  // The product folder is replaced by a restore and copied by the backup itself.
  if (repository.empty()) return false;
  return platform::LiesInside(files, destination, platform::JoinPath(repository, "VARNOLD"));
}

int CFileDlg::RunBackup(RunState& state, engine::EngineRun& engine, const std::string& repository) {
  const std::string destination = ItemText(kDestinationEdit);
  const std::string name = ItemText(kArchiveNameEdit);
  app_.last_backup_destination = destination;
  if (UnsafeDestination(destination, repository)) {
    MessageBox(engine::kMsgUnsafeDestination);
    return engine::kResultDeclined;
  }
  const int result = engine.Backup(repository, destination, name);
  if (result == 0) state.success = true;
  state.archive_path = engine.archive_path();
  if (result == engine::kResultAbandoned) state.log = false;
  if (result != 0 && result != engine::kResultAbandoned) return result;
  engine.StartServicesFromCommandLine();
  return kCompleted;
}

void CFileDlg::FailurePath(RunState& state, engine::EngineRun& engine, int code) {
  engine.StartServicesFromCommandLine();
  state.outcome = code == engine::kResultDeclined ? "" : LoadText(kMsgOperationFailed);
  const int message = ResultMessage(code);
  state.outcome += "\n";
  if (message != 0) state.outcome += LoadText(message);
  // Which share the system refused, so the user knows what to look at.
  const std::string share = engine.refused_share();
  if (code == engine::kResultSharesNotRestored && !share.empty()) state.outcome += "\n" + share;
}

void CFileDlg::Tail(RunState& state) {
  if (state.log) {
    OperationLog(app_.platform).Add(mode_, state.success, state.archive_path);
  }
  if (state.success) state.outcome = LoadText(kMsgOperationSucceeded);
  RunServices& services = app_.services;
  progress_->Begin({engine::ProgressPhase::kStartServices}, 0);
  if (state.rights) {
    if (system::HasIndexingService(state.os_class) && state.indexing_restart &&
        state.indexing_running && !services.StartService(system::kIndexingService)) {
      state.outcome = LoadText(kMsgIndexingNotRestarted);
    }
    if (state.share_restart && state.share_running &&
        !services.StartService(system::kSharedFolderService)) {
      state.outcome = LoadText(kMsgSharedFolderNotRestarted);
    }
  }
  progress_->Finish();
  // Without a backup in this process the names are looked for at the root of the current drive.
  const std::string& destination = app_.last_backup_destination;
  for (const char* name : {"QDWBackUpTemp", "QDWBackUpFileTemp"}) {
    const std::string folder =
        destination.empty() ? std::string("\\") + name : platform::JoinPath(destination, name);
    if (services.FolderExists(folder)) services.RemoveFolderTree(folder);
  }
  StopAnimation();
  ShowItem(kHeadingText, false);
  state.cursor.reset();
}

void CFileDlg::ShowFinalState(const RunState& state) {
  if (state.log) {
    SetItemString(platform::kIdCancel, kTextClose);
    SetItemText(kOutcomeText, state.outcome);
    ShowItem(kOutcomeText, true);
    return;
  }
  // Abandoned: the dialog is put back for another try.
  if (restore_mode()) {
    SetItemString(kHeadingText, kTextRestoreAgainHeading);
    SetItemString(kArchiveLabel, kTextArchiveLabel);
    SetItemString(kBrowseArchiveButton, kTextBrowse);
    for (int id : {kHeadingText, kArchiveLabel, kBrowseArchiveButton, kArchiveEdit}) {
      ShowItem(id, true);
    }
  } else {
    SetItemString(kHeadingText, kTextBackupHeading);
    SetItemString(kNoteText, kTextBackupNote);
    SetItemString(kBrowseFolderButton, kTextBrowse);
    SetItemString(kDestinationLabel, kTextDestinationLabel);
    SetItemString(kArchiveNameLabel, kTextArchiveNameLabel);
    for (int id : {kHeadingText, kNoteText, kBrowseFolderButton, kDestinationLabel,
                   kArchiveNameLabel, kSeparator, kDestinationEdit, kArchiveNameEdit}) {
      ShowItem(id, true);
    }
    SetItemText(kArchiveNameEdit, NewArchiveName());
  }
  SetItemString(kBackButton, kTextBack);
  ShowItem(kBackButton, true);
  SetItemString(platform::kIdOk, kTextStart);
  ShowItem(platform::kIdOk, true);
}

}  // namespace qdw::app
