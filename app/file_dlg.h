// `CFileDlg`: the backup and restore dialog. The user gives the inputs of one operation and
// starts it; its OK handler is the run sequence (run_sequence.cc), which drives the whole
// operation and leaves the dialog showing the outcome.
#ifndef QDW_APP_FILE_DLG_H_
#define QDW_APP_FILE_DLG_H_

#include <memory>
#include <string>

#include "app/app_context.h"
#include "app/dialog_progress.h"
#include "app/framework/dialog.h"
#include "app/framework/message_map.h"
#include "app/run_services.h"
#include "engine/engine_run.h"

namespace qdw::app {

class CFileDlg : public ui::Dialog {
 public:
  // `mode`: 3 restore, otherwise backup.
  CFileDlg(AppContext& app, int mode);

 protected:
  bool OnInitDialog() override;
  void OnOK() override;
  bool DispatchMapped(platform::UiEvent& event) override { return Map().Dispatch(*this, event); }

 private:
  // The state of one run, local to the OK handler.
  struct RunState {
    bool log = true;
    bool indexing_restart = true;
    bool share_restart = true;
    bool rights = true;
    bool indexing_running = false;
    bool share_running = false;
    bool success = false;
    std::string archive_path;
    std::string outcome;
    int os_class = 0;
    std::unique_ptr<ui::WaitCursor> cursor;  // from the start of the work to the tail
  };
  // The steps run while the animation plays: a result code of the failure path, or
  // kCompleted when the run reached the tail without failing.
  static constexpr int kCompleted = -1;

  static const ui::MessageMap<CFileDlg>& Map();
  bool restore_mode() const;
  bool OnPaint(platform::UiEvent& event) { return PaintIconWhenMinimized(event); }
  void OnViewLog();
  void OnBack();
  void OnBrowseFolder();
  void OnBrowseArchive();
  void OnArchiveChange();
  void OnBackupInputChange();
  std::string NewArchiveName();

  // Run sequence, in run_sequence.cc.
  void HideInputs();
  int StopServices(RunState& state, engine::EngineRun& engine);
  int RunSteps(RunState& state, engine::EngineRun& engine);
  int RunRestore(RunState& state, engine::EngineRun& engine, const std::string& repository);
  int RunBackup(RunState& state, engine::EngineRun& engine, const std::string& repository);
  bool UnsafeDestination(const std::string& destination, const std::string& repository);
  void FailurePath(RunState& state, engine::EngineRun& engine, int code);
  void Tail(RunState& state);
  void ShowFinalState(const RunState& state);
  void StartAnimation();
  void StopAnimation();

  AppContext& app_;
  int mode_;
  DialogProgress* progress_ = nullptr;  // during a run
};

}  // namespace qdw::app

#endif  // QDW_APP_FILE_DLG_H_
