#include "engine/backup/backup_sequence.h"

#include <vector>

#include "engine/backup/backup_inputs.h"
#include "engine/backup/failure_list_writer.h"
#include "engine/common/folder_listing.h"
#include "engine/backup/open_flag_reset.h"
#include "engine/backup/volume_placement.h"
#include "platform/windows_path.h"

namespace qdw::backup {
namespace {

using engine::PromptAnswer;
using engine::PromptButtons;
using engine::PromptIcon;

constexpr int kMessageReplaceArchive = 118;
constexpr int kMessageFilesLocked = 179;
constexpr int kTextOpenList = 180;
constexpr int kTextDoNotOpen = 184;

}  // namespace

int BackupSequence::Run(const std::string& repository, const std::string& destination_in,
                        const std::string& name, std::string* archive_path) {
  const std::string destination = platform::StripTrailingSeparator(destination_in);
  if (int message = RefuseInputs(repository, destination, name); message != 0) {
    parts_.prompts.ShowMessage(message, PromptButtons::kOk, PromptIcon::kWarning);
    return kAbandoned;
  }
  std::string archive = destination + "\\" + name + ".qdw";
  if (engine::PathExists(parts_.platform.files(), archive) &&
      parts_.prompts.ShowMessage(kMessageReplaceArchive, PromptButtons::kYesNo,
                                 PromptIcon::kQuestion) != PromptAnswer::kYes) {
    return kAbandoned;
  }

  const std::string work = destination + "\\" + kWorkFolderName;
  int result = kBackupOk;
  try {
    result = MakeWorkingCopy(repository, work);
    if (result == kBackupOk) result = RecordShares(work);
    if (result == kBackupOk) result = PackAndPlace(destination, name, work, &archive);
  } catch (...) {
    *archive_path = archive;
    RemoveToolFolder(work);
    RemoveToolFolder(destination + "\\" + kFileTempFolderName);
    throw;
  }
  *archive_path = archive;
  RemoveToolFolder(work);
  return result;
}

int BackupSequence::RefuseInputs(const std::string& repository, const std::string& destination,
                                 const std::string& name) {
  if (!DestinationAccepted(parts_.platform.files(), destination)) return kMessageBadDestination;
  if (int message = NameRefusal(name); message != 0) return message;
  // The work folder would lie inside what it copies.
  if (DestinationInsideProduct(destination, repository)) return kMessageUnsafeDestination;
  if ((destination + "\\" + name + ".qdw").size() > kMaxArchivePathLength) {
    return kMessagePathTooLong;
  }
  return 0;
}

int BackupSequence::MakeWorkingCopy(const std::string& repository, const std::string& work) {
  platform::FileSystem& files = parts_.platform.files();
  parts_.state.BeginBackupRun();
  if (engine::PathExists(files, work)) RemoveToolFolder(work);
  if (files.MakeFolder(work) != platform::kSuccess) return kFolderNotCreated;

  const std::string product = repository + "\\VARNOLD";
  if (!engine::FolderExists(files, product)) return kProductFolderMissing;
  if (files.MakeFolder(work + "\\VARNOLD") != platform::kSuccess) return kFolderNotCreated;

  if (int stop = parts_.product_folder.Run("Backup"); stop != 0) return stop;
  if (!engine::FolderExists(files, product + "\\QDW")) return kProductFolderMissing;

  const std::string copy = work + "\\VARNOLD\\QDW";
  files.MakeFolder(copy);
  parts_.state.working_copy_folder = copy;
  // Files held by other programs are the expected, listed skips; anything else would leave
  // an archive that silently lacks files.
  if (parts_.trees.CopyTree(product + "\\QDW", copy, work).HasUnexpectedFailures()) {
    return kCopyFailed;
  }
  if (engine::FolderExists(files, product + "\\QDWie")) {
    files.MakeFolder(work + "\\VARNOLD\\QDWie");
    if (parts_.trees.CopyTree(product + "\\QDWie", work + "\\VARNOLD\\QDWie", work).Code() != 0) {
      return kCopyFailed;
    }
  }
  return kBackupOk;
}

int BackupSequence::RecordShares(const std::string& work) {
  std::vector<std::string> shared_folders;
  if (!parts_.settings.ReadUserSharedFolders(&shared_folders)) return kSharedFoldersUnreadable;
  if (!shared_folders.empty()) {
    switch (parts_.shares.Write(shared_folders, work)) {
      case ShareInfoResult::kWritten:
        break;
      case ShareInfoResult::kFailed:
        return kShareInfoFailed;
      case ShareInfoResult::kCopyIncomplete:
        return kCopyFailed;
    }
  }
  if (!ResetOpenFlags(parts_.platform, parts_.state.working_copy_folder)) {
    return kCabinetOrDatabaseMissing;
  }
  WriteFailureList(parts_.platform, parts_.state);
  ReportLockedFiles();
  if (!parts_.trees.MarkFolders(work)) return kMarkingFailed;
  return kBackupOk;
}

void BackupSequence::ReportLockedFiles() {
  if (parts_.state.locked_file_count <= 0) return;
  parts_.state.locked_file_count = 0;
  if (parts_.prompts.CustomMessageBox(kMessageFilesLocked, kTextOpenList, kTextDoNotOpen) ==
      engine::kCustomBoxOk) {
    parts_.prompts.OpenFailureList();
  }
}

int BackupSequence::PackAndPlace(const std::string& destination, const std::string& name,
                                 const std::string& work, std::string* archive_path) {
  platform::FileSystem& files = parts_.platform.files();
  const std::string file_temp = destination + "\\" + kFileTempFolderName;
  if (engine::PathExists(files, file_temp)) RemoveToolFolder(file_temp);
  if (files.MakeFolder(file_temp) != platform::kSuccess) return kFolderNotCreated;

  std::string last_volume;
  int packed = parts_.packer.Pack(work, file_temp + "\\" + name + ".qdw", &last_volume);
  int result = kBackupOk;
  if (packed != 0) {
    result = packed == kPackCannotCreateCabinet ? kCabinetOrDatabaseMissing : kPackingFailed;
  } else {
    VolumePlacement placement(files, parts_.prompts);
    result = placement.Place(destination, name, file_temp, last_volume, archive_path);
  }
  RemoveToolFolder(file_temp);
  return result;
}

void BackupSequence::RemoveToolFolder(const std::string& folder) {
  if (engine::PathExists(parts_.platform.files(), folder)) {
    parts_.trees.RemoveTree(folder, engine::ReadOnlyHandling::kClear);
  }
}

}  // namespace qdw::backup
