#include "engine/backup/product_folder_step.h"

#include <vector>

#include "engine/common/archive_names.h"
#include "engine/common/engine_errors.h"
#include "engine/common/message_ids.h"
#include "engine/common/result_codes.h"
#include "platform/windows_path.h"

namespace qdw::backup {

int ProductFolderStep::Run(const std::string& mode) {
  state_.open_pdfs.clear();
  std::string repository;
  if (!settings_.ReadUserRepositoryPath(&repository)) {
    engine::Fail(engine::kResultRepositoryUnreadable);
  }
  const std::string product = platform::JoinPath(repository, engine::kProductFolderName);
  bool open_in_repository = check_.HasOpenPdf(platform::JoinPath(product, engine::kRepositoryTree));
  if (check_.HasOpenPdf(platform::JoinPath(product, engine::kRepositoryExtraTree))) {
    open_in_repository = true;
  }

  // Shared folders are checked when their list can be read; the repository's findings
  // count either way.
  int open_in_shares = 0;
  std::vector<std::string> shared_folders;
  if (settings_.ReadUserSharedFolders(&shared_folders)) {
    for (const std::string& entry : shared_folders) {
      size_t comma = entry.find(',');
      const std::string folder = comma == std::string::npos ? entry : entry.substr(comma + 1);
      if (check_.HasOpenPdf(folder)) ++open_in_shares;
    }
  }
  if (!open_in_repository && open_in_shares == 0) return engine::kResultOk;

  if (mode == "Backup") {
    int answer = prompts_.CustomMessageBox(engine::kMsgOpenPdfsDuringBackup,
                                           engine::kTextContinueBackup, engine::kTextCancel);
    return answer == engine::kCustomBoxOk ? engine::kResultOk : engine::kResultStoppedForOpenPdfs;
  }
  if (mode == "Restore") {
    prompts_.ShowMessage(engine::kMsgFilesInUse, engine::PromptButtons::kOk,
                         engine::PromptIcon::kStop);
    return engine::kResultStoppedForOpenPdfs;
  }
  return engine::kResultOk;
}

}  // namespace qdw::backup
