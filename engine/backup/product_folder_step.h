// The product-folder step before a backup or a restore: look for PDF documents that another
// program holds open in the repository and in the shared folders, and let the user stop.
#ifndef QDW_ENGINE_BACKUP_PRODUCT_FOLDER_STEP_H_
#define QDW_ENGINE_BACKUP_PRODUCT_FOLDER_STEP_H_

#include <string>

#include "engine/common/engine_state.h"
#include "engine/common/open_pdf_check.h"
#include "engine/common/prompts.h"
#include "settings/product_settings.h"

namespace qdw::backup {

class ProductFolderStep {
 public:
  ProductFolderStep(settings::ProductSettings& settings, engine::OpenPdfCheck& check,
                    engine::EngineState& state, engine::Prompts& prompts)
      : settings_(settings), check_(check), state_(state), prompts_(prompts) {}

  // `mode` is "Backup" or "Restore". 0 to go on, kResultStoppedForOpenPdfs when the user
  // stops; any other word gives 0 without asking. Fails with kResultRepositoryUnreadable when
  // the repository path cannot be read.
  int Run(const std::string& mode);

 private:
  settings::ProductSettings& settings_;
  engine::OpenPdfCheck& check_;
  engine::EngineState& state_;
  engine::Prompts& prompts_;
};

}  // namespace qdw::backup

#endif  // QDW_ENGINE_BACKUP_PRODUCT_FOLDER_STEP_H_
