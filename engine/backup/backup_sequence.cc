#include "engine/backup/backup_sequence.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "engine/backup/backup_inputs.h"
#include "engine/backup/earlier_set.h"
#include "engine/backup/failure_list_writer.h"
#include "engine/backup/open_flag_reset.h"
#include "engine/backup/volume_placement.h"
#include "engine/common/archive_names.h"
#include "engine/common/engine_errors.h"
#include "engine/common/folder_listing.h"
#include "engine/common/message_ids.h"
#include "engine/common/result_codes.h"
#include "engine/common/tree_size.h"
#include "engine/journal/journaled_moves.h"
#include "platform/windows_path.h"

namespace qdw::backup {
namespace {

using engine::Fail;
using engine::PromptAnswer;
using engine::PromptButtons;
using engine::PromptIcon;

// Room a temporary name of the cabinet engine takes after its folder: "\xx" and a number.
constexpr size_t kTemporaryNameRoom = 16;

// Points the process's temporary folder (TMP and TEMP, which the cabinet engine's temporary
// names come from) at a folder of the backup's own while it packs: the journal removes that
// folder whatever happens, where files left in the user's temporary folder would stay for
// good. A folder too long for the names keeps the user's.
class TemporaryFolderScope {
 public:
  TemporaryFolderScope(platform::SystemInfo& system, const std::string& folder)
      : system_(system) {
    if (folder.size() + kTemporaryNameRoom >= platform::kMaxPath) return;
    for (const char* name : {"TMP", "TEMP"}) {
      std::string value;
      Saved saved{name, std::nullopt};
      if (system_.Environment(name, &value)) saved.value = value;
      if (system_.SetEnvironment(name, folder)) saved_.push_back(saved);
    }
  }
  ~TemporaryFolderScope() {
    for (const Saved& saved : saved_) system_.SetEnvironment(saved.name, saved.value);
  }
  TemporaryFolderScope(const TemporaryFolderScope&) = delete;
  TemporaryFolderScope& operator=(const TemporaryFolderScope&) = delete;

 private:
  struct Saved {
    std::string name;
    std::optional<std::string> value;
  };
  platform::SystemInfo& system_;
  std::vector<Saved> saved_;
};

}  // namespace

int BackupSequence::Run(const std::string& repository, const std::string& destination_in,
                        const std::string& name, std::string* archive_path) {
  const std::string destination = platform::StripTrailingSeparator(destination_in);
  std::string archive;
  std::vector<std::string> earlier_set;
  try {
    archive = AcceptInputs(repository, destination, name, &earlier_set);
  } catch (const engine::ResultCodeError& refused) {
    // Nothing exists yet that would need tidying, and no archive path is reported.
    return refused.code();
  }

  // Inside the run the program opened this only counts; alone (tests) it is the run.
  journal::JournalRun run(parts_.journal, journal::kOperationBackup, nullptr);
  if (!run.opened()) return engine::kResultAbandoned;
  const std::string work = platform::JoinPath(destination, kWorkFolderName);
  const std::string file_temp = platform::JoinPath(destination, kFileTempFolderName);
  int result = engine::kResultOk;
  try {
    uint64_t work_bytes = MakeWorkingCopy(repository, work);
    work_bytes += RecordShares(work);
    PackAndPlace(destination, name, work, earlier_set, work_bytes, &archive);
  } catch (const engine::ResultCodeError& failure) {
    result = failure.code();
    parts_.journal.Undo();
  } catch (...) {
    *archive_path = archive;
    parts_.journal.Undo();
    RemoveToolFolder(file_temp);
    RemoveToolFolder(work);
    throw;
  }
  *archive_path = archive;
  RemoveToolFolder(file_temp);
  RemoveToolFolder(work);
  return result;
}

std::string BackupSequence::AcceptInputs(const std::string& repository,
                                         const std::string& destination, const std::string& name,
                                         std::vector<std::string>* earlier_set) {
  if (int message = InputRefusal(repository, destination, name); message != 0) {
    parts_.prompts.ShowMessage(message, PromptButtons::kOk, PromptIcon::kWarning);
    Fail(engine::kResultAbandoned);
  }
  const std::string archive = platform::JoinPath(destination, name) + engine::kArchiveExtension;
  // One question for the whole earlier set of this name, single or multi-volume, listing what
  // would be replaced.
  *earlier_set = EarlierSetVolumes(parts_.platform.files(), destination, name);
  if (!earlier_set->empty()) {
    std::string question = parts_.prompts.LoadText(engine::kMsgReplaceArchive);
    for (const std::string& volume : *earlier_set) question += "\n" + volume;
    if (parts_.prompts.ShowText(question, engine::kMsgReplaceArchive, PromptButtons::kYesNo,
                                PromptIcon::kQuestion) != PromptAnswer::kYes) {
      Fail(engine::kResultAbandoned);
    }
  }
  return archive;
}

int BackupSequence::InputRefusal(const std::string& repository, const std::string& destination,
                                 const std::string& name) {
  if (!DestinationAccepted(parts_.platform.files(), destination)) {
    return engine::kMsgDriveUnusable;
  }
  if (int message = NameRefusal(name); message != 0) return message;
  // The work folder would lie inside what it copies.
  if (DestinationInsideProduct(parts_.platform.files(), destination, repository))
    return engine::kMsgUnsafeDestination;
  if (!SetPathsFit(destination, name, kFileTempFolderName)) return engine::kMsgPathTooLong;
  return 0;
}

uint64_t BackupSequence::MakeWorkingCopy(const std::string& repository, const std::string& work) {
  platform::FileSystem& files = parts_.platform.files();
  parts_.state.BeginBackupRun();
  MakeWorkFolder(work);

  const std::string product = platform::JoinPath(repository, engine::kProductFolderName);
  const std::string work_product = platform::JoinPath(work, engine::kProductFolderName);
  if (!platform::FolderExists(files, product)) Fail(engine::kResultProductFolderMissing);
  if (files.MakeFolder(work_product) != platform::kSuccess) {
    Fail(engine::kResultFolderNotCreated);
  }

  if (int stop = parts_.product_folder.Run("Backup"); stop != engine::kResultOk) Fail(stop);
  const std::string tree = platform::JoinPath(product, engine::kRepositoryTree);
  if (!platform::FolderExists(files, tree)) Fail(engine::kResultProductFolderMissing);

  const std::string extra_tree = platform::JoinPath(product, engine::kRepositoryExtraTree);
  const bool has_extra_tree = platform::FolderExists(files, extra_tree);
  const engine::ProgressStep step{engine::ProgressPhase::kCopyRepository};
  const uint64_t repository_bytes =
      engine::TreeBytes(files, tree) + (has_extra_tree ? engine::TreeBytes(files, extra_tree) : 0);
  parts_.progress.Begin(step, repository_bytes);
  engine::ProgressCounter copied(parts_.progress, step, repository_bytes);
  engine::CountedTreeWork counted(parts_.trees, copied);

  const std::string copy = platform::JoinPath(work_product, engine::kRepositoryTree);
  files.MakeFolder(copy);
  parts_.state.working_copy_folder = copy;
  // Files held by other programs are the expected, listed skips; anything else would leave
  // an archive that silently lacks files.
  if (parts_.trees.CopyTree(tree, copy, work).HasUnexpectedFailures()) {
    Fail(engine::kResultCopyFailed);
  }
  if (has_extra_tree) {
    const std::string extra_copy = platform::JoinPath(work_product, engine::kRepositoryExtraTree);
    files.MakeFolder(extra_copy);
    if (parts_.trees.CopyTree(extra_tree, extra_copy, work).Code() != 0) {
      Fail(engine::kResultCopyFailed);
    }
  }
  parts_.progress.Finish();
  return copied.done();
}

uint64_t BackupSequence::RecordShares(const std::string& work) {
  const engine::ProgressStep step{engine::ProgressPhase::kRecordShares};
  parts_.progress.Begin(step, 0);
  engine::ProgressCounter copied(parts_.progress, step);
  std::vector<std::string> shared_folders;
  if (!parts_.settings.ReadUserSharedFolders(&shared_folders)) {
    Fail(engine::kResultSharedFoldersUnreadable);
  }
  if (!shared_folders.empty()) {
    engine::CountedTreeWork counted(parts_.trees, copied);
    switch (parts_.shares.Write(shared_folders, work)) {
      case ShareInfoResult::kWritten:
        break;
      case ShareInfoResult::kFailed:
        Fail(engine::kResultShareInfoFailed);
      case ShareInfoResult::kCopyIncomplete:
        Fail(engine::kResultCopyFailed);
    }
  }
  parts_.progress.Finish();

  parts_.progress.Begin({engine::ProgressPhase::kCleanCopy}, 0);
  if (!ResetOpenFlags(parts_.platform, parts_.state.working_copy_folder)) {
    Fail(engine::kResultCabinetOrDatabaseMissing);
  }
  journal::JournaledMoves moves(parts_.platform, parts_.trees, parts_.journal);
  WriteFailureList(parts_.platform, parts_.state, moves, parts_.journal);
  parts_.progress.Finish();
  ReportLockedFiles();

  parts_.progress.Begin({engine::ProgressPhase::kMarkFolders}, 0);
  if (!parts_.trees.MarkFolders(work)) Fail(engine::kResultMarkingFailed);
  parts_.progress.Finish();
  return copied.done();
}

void BackupSequence::ReportLockedFiles() {
  if (parts_.state.locked_file_count <= 0) return;
  parts_.state.locked_file_count = 0;
  if (parts_.prompts.CustomMessageBox(engine::kMsgFilesLocked, engine::kTextOpenFailureList,
                                      engine::kTextDoNotOpen) == engine::kCustomBoxOk) {
    parts_.prompts.OpenFailureList();
  }
}

void BackupSequence::PackAndPlace(const std::string& destination, const std::string& name,
                                  const std::string& work,
                                  const std::vector<std::string>& earlier_set, uint64_t work_bytes,
                                  std::string* archive_path) {
  const std::string file_temp = platform::JoinPath(destination, kFileTempFolderName);
  MakeWorkFolder(file_temp);

  std::string last_volume;
  int packed = 0;
  {
    TemporaryFolderScope temporary(parts_.platform.system(), file_temp);
    packed =
        PackWithProgress(work, platform::JoinPath(file_temp, name) + engine::kArchiveExtension,
                         work_bytes, &last_volume);
  }
  if (packed != 0) {
    Fail(packed == kPackCannotCreateCabinet ? engine::kResultCabinetOrDatabaseMissing
                                            : engine::kResultPackingFailed);
  }
  parts_.progress.Begin({engine::ProgressPhase::kPlaceSet}, 0);
  journal::JournaledMoves moves(parts_.platform, parts_.trees, parts_.journal);
  VolumePlacement(parts_.platform.files(), parts_.prompts, moves, parts_.journal)
      .Place(destination, name, file_temp, last_volume, earlier_set, archive_path);
  parts_.progress.Finish();
}

int BackupSequence::PackWithProgress(const std::string& work, const std::string& first_volume,
                                     uint64_t work_bytes, std::string* last_volume) {
  engine::Progress& progress = parts_.progress;
  int shown_volume = 1;
  progress.Begin({engine::ProgressPhase::kPackVolume, shown_volume}, work_bytes);
  uint64_t reported = 0;
  parts_.packer.set_progress([&](uint64_t bytes_packed, int volume) {
    if (volume != shown_volume) {
      shown_volume = volume;
      progress.Show({engine::ProgressPhase::kPackVolume, volume});
    }
    // The cleaned database may have grown a little since it was copied.
    reported = std::max(reported, std::min(bytes_packed, work_bytes));
    progress.Advance(reported);
  });
  int packed = 0;
  try {
    packed = parts_.packer.Pack(work, first_volume, last_volume);
  } catch (...) {
    parts_.packer.set_progress(nullptr);
    throw;
  }
  parts_.packer.set_progress(nullptr);
  if (packed == 0) progress.Finish();
  return packed;
}

void BackupSequence::MakeWorkFolder(const std::string& folder) {
  if (!parts_.journal.Record(journal::WorkFolderRecord(folder))) {
    Fail(engine::kResultFolderNotCreated);
  }
  RemoveToolFolder(folder);
  if (parts_.platform.files().MakeFolder(folder) != platform::kSuccess) {
    Fail(engine::kResultFolderNotCreated);
  }
}

void BackupSequence::RemoveToolFolder(const std::string& folder) {
  if (platform::PathExists(parts_.platform.files(), folder)) {
    parts_.trees.RemoveTree(folder, engine::ReadOnlyHandling::kClear);
  }
}

}  // namespace qdw::backup
