#include "engine/backup/product_folder_step.h"

#include <vector>

#include "engine/common/engine_errors.h"

namespace qdw::backup {

int ProductFolderStep::Run(const std::string& mode) {
  state_.open_pdfs.clear();
  std::string repository;
  if (!settings_.ReadUserRepositoryPath(&repository)) {
    throw engine::ResultCodeError(kRepositoryPathUnreadable);
  }
  bool open_in_repository = check_.HasOpenPdf(repository + "\\VARNOLD\\QDW");
  if (check_.HasOpenPdf(repository + "\\VARNOLD\\QDWie")) open_in_repository = true;

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
  if (!open_in_repository && open_in_shares == 0) return 0;

  if (mode == "Backup") {
    int answer = prompts_.CustomMessageBox(181, 182, 2);
    return answer == engine::kCustomBoxOk ? 0 : kStoppedForOpenPdfs;
  }
  if (mode == "Restore") {
    prompts_.ShowMessage(183, engine::PromptButtons::kOk, engine::PromptIcon::kStop);
    return kStoppedForOpenPdfs;
  }
  return 0;
}

}  // namespace qdw::backup
