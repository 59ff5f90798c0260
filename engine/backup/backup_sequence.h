// The backup engine: checks the inputs, copies the product folders into a work folder
// beside the destination, records the shares, clears the "open" flags in the copied
// database, lists the locked files, marks every folder, packs the work folder and places
// the volumes at the destination.
#ifndef QDW_ENGINE_BACKUP_BACKUP_SEQUENCE_H_
#define QDW_ENGINE_BACKUP_BACKUP_SEQUENCE_H_

#include <string>
#include <vector>

#include "engine/backup/archive_packer.h"
#include "engine/backup/product_folder_step.h"
#include "engine/backup/share_info_writer.h"
#include "engine/common/engine_state.h"
#include "engine/common/file_tree_operations.h"
#include "engine/common/progress.h"
#include "engine/common/prompts.h"
#include "engine/journal/run_journal.h"
#include "platform/platform.h"
#include "settings/product_settings.h"

namespace qdw::backup {

inline constexpr char kWorkFolderName[] = "QDWBackUpTemp";
inline constexpr char kFileTempFolderName[] = "QDWBackUpFileTemp";

// The parts the backup engine works with; they live as long as the sequence.
struct BackupParts {
  platform::Platform& platform;
  engine::Prompts& prompts;
  settings::ProductSettings& settings;
  engine::EngineState& state;
  engine::FileTreeOperations& trees;
  ShareInfoWriter& shares;
  ProductFolderStep& product_folder;
  ArchivePacker& packer;
  journal::RunJournal& journal;
  engine::Progress& progress;
};

class BackupSequence {
 public:
  explicit BackupSequence(const BackupParts& parts) : parts_(parts) {}

  // Backs up the product below `repository` into `destination`\`name`.qdw (or a
  // multi-volume set). Returns the result code (engine/common/result_codes.h); `archive_path`
  // is set unless the inputs were refused. The work folders are removed on every way out,
  // exceptions included, and archives at the destination are replaced only by a complete new
  // set. Everything the backup makes or replaces is journaled first: a failure puts back
  // what was there, and a crash leaves it to the next start of the program.
  int Run(const std::string& repository, const std::string& destination, const std::string& name,
          std::string* archive_path);

 private:
  // Each step below either completes or fails with a result code (engine::Fail).

  // The archive path for accepted inputs; refused inputs fail with kResultAbandoned after
  // their message.
  // `earlier_set` gets the volumes of an earlier set of the name the user agreed to replace.
  std::string AcceptInputs(const std::string& repository, const std::string& destination,
                           const std::string& name, std::vector<std::string>* earlier_set);
  // The inputs' message, or 0 when they are accepted.
  int InputRefusal(const std::string& repository, const std::string& destination,
                   const std::string& name);
  // These two return the bytes they copied into the work folder, which packing then reads.
  uint64_t MakeWorkingCopy(const std::string& repository, const std::string& work);
  uint64_t RecordShares(const std::string& work);
  void ReportLockedFiles();
  void PackAndPlace(const std::string& destination, const std::string& name,
                    const std::string& work, const std::vector<std::string>& earlier_set,
                    uint64_t work_bytes, std::string* archive_path);
  // Packs `work` into the set of `first_volume`, showing how much of `work_bytes` is packed.
  int PackWithProgress(const std::string& work, const std::string& first_volume,
                       uint64_t work_bytes, std::string* last_volume);
  void RemoveToolFolder(const std::string& folder);
  // Makes one of the backup's work folders, which goes again whatever happens.
  void MakeWorkFolder(const std::string& folder);

  BackupParts parts_;
};

}  // namespace qdw::backup

#endif  // QDW_ENGINE_BACKUP_BACKUP_SEQUENCE_H_
