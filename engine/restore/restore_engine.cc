#include "engine/restore/restore_engine.h"

#include <algorithm>

#include "Extractor/extractor.h"
#include "database/folder_table_updates.h"
#include "engine/common/archive_names.h"
#include "engine/common/engine_errors.h"
#include "engine/common/folder_listing.h"
#include "engine/common/message_ids.h"
#include "engine/common/result_codes.h"
#include "engine/restore/printer_icon_repair.h"
#include "engine/restore/registered_shares.h"
#include "engine/restore/unpack_progress.h"
#include "engine/restore/volume_copy.h"
#include "engine/restore/volume_set.h"
#include "platform/file_checks.h"
#include "platform/windows_path.h"
#include "system/command_line_services.h"
#include "system/os_version.h"
#include "system/program_checks.h"

namespace qdw::restore {

namespace {

using engine::Fail;
using engine::PromptAnswer;
using engine::PromptButtons;
using engine::PromptIcon;

constexpr uint32_t kSettableAttributes = platform::kAttrReadOnly | platform::kAttrHidden |
                                         platform::kAttrSystem | platform::kAttrArchive;

// A folder whose name ends with "$#" is hidden when it is moved into place.
bool EndsWithDollarHash(const std::string& name) {
  return name.size() >= 2 && name.compare(name.size() - 2, 2, "$#") == 0;
}

}  // namespace

int ExtractVolume(const std::string& volume, const std::string& folder) {
  return Extract(volume.c_str(), folder.c_str());
}

int RestoreEngine::RestoreFromArchive(const std::string& archive_path,
                                      const std::string& repository, const std::string& temp_base) {
  refused_share_.clear();
  if (!platform::PathExists(p_.platform.files(), archive_path)) {
    p_.prompts.ShowMessage(engine::kMsgArchiveNotFound, PromptButtons::kOk, PromptIcon::kStop);
    return engine::kResultAbandoned;
  }
  const std::string archive_folder = platform::FolderPart(archive_path);
  const std::string file_name = platform::FileNamePart(archive_path);
  std::vector<std::string> volumes;
  if (!ChooseVolumes(archive_folder, file_name, &volumes)) return engine::kResultAbandoned;
  if (SharedFoldersNeedSettings()) return engine::kResultSharedFoldersNeedSettings;

  // Inside the run the program opened this only counts; alone (tests) it is the run.
  journal::JournalRun run(p_.journal, journal::kOperationRestore, nullptr);
  if (!run.opened()) return engine::kResultAbandoned;
  // From here on every failure undoes what the run changed and removes the temporary folder.
  const std::string temp_folder =
      platform::JoinPath(temp_base.empty() ? repository : temp_base, kRestoreTempFolder);
  try {
    PrepareTempFolder(temp_folder);
    const std::vector<uint64_t> sizes =
        CopyVolumes(archive_path, archive_folder, volumes, temp_folder);
    CheckMainProgramStopped();
    const uint64_t unpacked_files = Unpack(file_name, volumes, sizes, temp_folder);
    p_.progress.Begin({engine::ProgressPhase::kCheckArchive}, 0);
    CheckShareTargets(temp_folder, repository);
    CheckFormat(temp_folder);
    RemoveFolderMarkers(temp_folder);
    p_.progress.Finish();
    return PutInPlace(repository, temp_folder, unpacked_files);
  } catch (const engine::ResultCodeError& error) {
    Undo();
    RemoveTempFolder(temp_folder);
    return error.code();
  } catch (...) {
    Undo();
    RemoveTempFolder(temp_folder);
    throw;
  }
}

void RestoreEngine::Undo() {
  // What cannot be undone now stays in the journal for the next start of the program.
  p_.journal.Undo();
}

journal::JournaledMoves RestoreEngine::Moves() {
  return journal::JournaledMoves(p_.platform, p_.trees, p_.journal);
}

bool RestoreEngine::ChooseVolumes(const std::string& folder, const std::string& file_name,
                                  std::vector<std::string>* volumes) {
  volumes->clear();
  if (file_name.find(engine::kContinuationMark) != std::string::npos &&
      p_.prompts.ShowMessage(engine::kMsgContinuationChosen, PromptButtons::kYesNo,
                             PromptIcon::kQuestion) != PromptAnswer::kYes) {
    return false;
  }
  if (file_name.find(engine::kFirstVolumeMark) == std::string::npos) return true;
  const long count = VolumeCountFromName(file_name);
  std::vector<std::string> missing;
  std::vector<std::string> names;
  if (count < 0) {
    // A count no set can have: the name is broken, so the chosen file stands alone.
    missing.push_back(platform::JoinPath(folder, file_name));
  } else {
    names = ContinuationVolumeNames(file_name, count);
    for (const std::string& name : names) {
      const std::string path = platform::JoinPath(folder, name);
      if (!platform::PathExists(p_.platform.files(), path)) missing.push_back(path);
    }
  }
  if (!missing.empty()) {
    std::string text = p_.prompts.LoadText(engine::kMsgVolumesMissing);
    for (const std::string& path : missing) text += "\n" + path;
    if (p_.prompts.ShowText(text, engine::kMsgVolumesMissing, PromptButtons::kYesNo,
                            PromptIcon::kQuestion) != PromptAnswer::kYes) {
      return false;
    }
    names.clear();
  }
  *volumes = names;
  return true;
}

bool RestoreEngine::SharedFoldersNeedSettings() {
  bool writable = false;
  if (!p_.settings.CanWriteProductSettings(&writable)) writable = false;
  if (writable) return false;
  database::CDataBase database(p_.platform.databases(), [this](std::string* path) {
    return p_.settings.ReadUserRepositoryPath(path);
  });
  database::StringList ids;
  return database.ListSharedFolderTree(&ids) && !ids.empty();
}

void RestoreEngine::PrepareTempFolder(const std::string& temp_folder) {
  if (!p_.journal.Record(journal::WorkFolderRecord(temp_folder))) {
    Fail(engine::kResultTempFolderNotCreated);
  }
  RemoveTempFolder(temp_folder);
  if (p_.platform.files().MakeFolder(temp_folder) != platform::kSuccess) {
    Fail(engine::kResultTempFolderNotCreated);
  }
}

std::vector<uint64_t> RestoreEngine::CopyVolumes(const std::string& archive_path,
                                                 const std::string& archive_folder,
                                                 const std::vector<std::string>& volumes,
                                                 const std::string& temp_folder) {
  platform::FileSystem& files = p_.platform.files();
  std::vector<std::string> sources{archive_path};
  for (const std::string& volume : volumes) {
    sources.push_back(platform::JoinPath(archive_folder, volume));
  }
  std::vector<uint64_t> sizes;
  uint64_t total = 0;
  for (const std::string& source : sources) total += sizes.emplace_back(FileBytes(files, source));
  p_.progress.Begin({engine::ProgressPhase::kCopySet}, total);
  uint64_t copied = 0;
  for (size_t i = 0; i < sources.size(); ++i) {
    // A copy never replaces a file: the folder was made empty for this run. A volume that grew
    // since it was measured fills no more than its own share.
    const auto counted = [&](uint64_t bytes) {
      p_.progress.Advance(copied + std::min(bytes, sizes[i]));
    };
    if (!CopyVolume(files, sources[i],
                    platform::JoinPath(temp_folder, platform::FileNamePart(sources[i])), counted)) {
      Fail(engine::kResultCopyIntoPlaceFailed);
    }
    copied += sizes[i];
    p_.progress.Advance(copied);
  }
  p_.progress.Finish();
  return sizes;
}

void RestoreEngine::CheckMainProgramStopped() {
  bool running = false;
  if (!system::ProgramChecks(p_.platform).CheckMainProgram(&running)) {
    Fail(engine::kResultMainProgramCheckFailed);
  }
  if (running) Fail(engine::kResultMainProgramRunning);
}

uint64_t RestoreEngine::Unpack(const std::string& file_name,
                               const std::vector<std::string>& volumes,
                               const std::vector<uint64_t>& sizes, const std::string& temp_folder) {
  const Unpacker unpack = p_.unpack ? p_.unpack : Unpacker(ExtractVolume);
  std::vector<std::string> paths{platform::JoinPath(temp_folder, file_name)};
  for (const std::string& volume : volumes)
    paths.push_back(platform::JoinPath(temp_folder, volume));
  uint64_t total = 0;
  for (uint64_t size : sizes) total += size;
  // A set of one volume needs no number.
  const int count = static_cast<int>(paths.size());
  auto step = [count](size_t index) {
    return count == 1 ? engine::ProgressStep{engine::ProgressPhase::kUnpackVolume}
                      : engine::ProgressStep{engine::ProgressPhase::kUnpackVolume,
                                             static_cast<int>(index) + 1, count};
  };
  p_.progress.Begin(step(0), total);
  uint64_t before = 0;
  uint64_t files = 0;
  for (size_t i = 0; i < paths.size(); ++i) {
    if (i > 0) p_.progress.Show(step(i));
    uint64_t written_here = 0;
    // A file that goes on in the next volume is finished by reading that one too: the volume's
    // own share of the measure is all it can fill.
    UnpackReports reports([&](uint64_t read, uint64_t written) {
      written_here = written;
      p_.progress.Advance(before + std::min(read, sizes[i]));
    });
    const int unpacked = unpack(paths[i], temp_folder);
    reports.RethrowIfFailed();
    if (unpacked != 0) Fail(engine::kResultNeedsTempFolder);
    files += written_here;
    before += sizes[i];
    p_.progress.Advance(before);
  }
  p_.progress.Finish();
  return files;
}

void RestoreEngine::CheckShareTargets(const std::string& temp_folder,
                                      const std::string& repository) {
  ShareTargetProblems problems;
  restore::CheckShareTargets(p_.platform, p_.settings, temp_folder, repository, &problems);
  if (problems.empty()) return;
  std::string text;
  if (!problems.drives.empty()) {
    text = p_.prompts.LoadText(engine::kMsgUnusableDrives);
    for (const std::string& drive : problems.drives) text += "\n" + drive;
  }
  // Entries that would reach outside their folders or into the system's are shown with the
  // folders in the way.
  std::vector<std::string> folders = problems.folders;
  folders.insert(folders.end(), problems.unsafe_entries.begin(), problems.unsafe_entries.end());
  if (!folders.empty()) {
    if (!text.empty()) text += "\n";
    text += p_.prompts.LoadText(engine::kMsgFoldersInTheWay);
    for (const std::string& folder : folders) text += "\n" + folder;
  }
  p_.prompts.ShowText(
      text, problems.drives.empty() ? engine::kMsgFoldersInTheWay : engine::kMsgUnusableDrives,
      PromptButtons::kOk, PromptIcon::kStop);
  Fail(engine::kResultShareTargetsUnusable);
}

void RestoreEngine::CheckFormat(const std::string& temp_folder) {
  // The former format's marker decides first: such an archive may carry both.
  const std::string unpacked = platform::JoinPath(temp_folder, engine::kProductFolderName);
  platform::FileSystem& files = p_.platform.files();
  if (platform::PathExists(files, platform::JoinPath(unpacked, kFormerFormatMarker))) {
    Fail(engine::kResultFormerFormat);
  }
  if (!platform::PathExists(files, platform::JoinPath(unpacked, engine::kFolderMarkerName))) {
    Fail(engine::kResultNotThisFormat);
  }
}

void RestoreEngine::RemoveFolderMarkers(const std::string& temp_folder) {
  if (!p_.trees.RemoveMarkers(temp_folder)) Fail(engine::kResultMarkersNotRemoved);
}

int RestoreEngine::PutInPlace(const std::string& repository, const std::string& temp_folder,
                              uint64_t unpacked_files) {
  const std::string product_folder = platform::JoinPath(repository, engine::kProductFolderName);
  const std::string unpacked = platform::JoinPath(temp_folder, engine::kProductFolderName);
  engine::Progress& progress = p_.progress;
  const engine::ProgressStep placing{engine::ProgressPhase::kPutInPlace};
  progress.Begin(placing, unpacked_files);
  engine::ProgressCounter moved(progress, placing, unpacked_files);
  const bool cleared = ClearInstalledProduct(product_folder, unpacked);
  {
    engine::CountedTreeWork counted(p_.trees, moved);
    MoveUnpackedProductIn(unpacked, product_folder, cleared);
  }
  HideCatalog(product_folder);
  progress.Finish();
  progress.Begin({engine::ProgressPhase::kRecreateShares}, 0);
  if (!RestoreSharesAndSettings(temp_folder)) Fail(engine::kResultSharesNotRestored);
  // Files a removal could not delete, earlier in this process, keep the printer rows as they
  // are.
  const bool undeletable_before = !p_.state.undeletable_files.empty();
  if (!undeletable_before && !RepairPrinterIcons(p_.platform, p_.settings)) {
    Fail(engine::kResultSharesNotRestored);
  }
  progress.Finish();
  // Everything is in place: from here on the restore is kept, and what it set aside goes.
  if (!p_.journal.Commit()) Fail(engine::kResultRestoreIncomplete);
  // The installation replaced is about as large as the one that came in.
  const engine::ProgressStep removing{engine::ProgressPhase::kRemoveReplaced};
  progress.Begin(removing, moved.done());
  {
    engine::ProgressCounter removed(progress, removing, moved.done());
    engine::CountedTreeWork counted(p_.trees, removed);
    // The trees set aside go through the counted tree removal; the clean-up then only has to
    // note them done.
    for (const std::string& kept : p_.journal.KeptPaths()) {
      if (platform::FolderExists(p_.platform.files(), kept)) {
        p_.trees.RemoveTree(kept, engine::ReadOnlyHandling::kClear);
      }
    }
    p_.journal.CleanUp();
    RemoveTempFolder(temp_folder);
  }
  progress.Finish();
  if (!p_.state.undeletable_files.empty()) {
    p_.prompts.ShowMessage(engine::kMsgFilesInUse, PromptButtons::kOk, PromptIcon::kInformation);
    return engine::kResultUndeletableFiles;
  }
  return engine::kResultOk;
}

bool RestoreEngine::ClearInstalledProduct(const std::string& product_folder,
                                          const std::string& unpacked) {
  RegisteredShares registered(p_.platform, p_.settings, [this] { StopServicesForRestore(); });
  // Windows 6 removes the shares before the folders they publish; the others the other way.
  // A share that stays would clash with the archive's, and a tree that stays would mix with
  // it: either stops the restore before anything moves in.
  if (system::ClassifyOperatingSystem(p_.platform.system()) == system::kOsClassVista) {
    StopForClearing();
    if (!registered.RemoveRecordedShares()) return false;
    if (platform::PathExists(p_.platform.files(), product_folder)) {
      StopForClearing();
      return SetAsideInstalledTrees(product_folder, unpacked);
    }
    return true;
  }
  if (platform::PathExists(p_.platform.files(), product_folder)) {
    StopForClearing();
    if (!SetAsideInstalledTrees(product_folder, unpacked)) return false;
  }
  StopForClearing();
  return registered.RemoveRecordedShares();
}

bool RestoreEngine::SetAsideInstalledTrees(const std::string& product_folder,
                                           const std::string& unpacked) {
  std::vector<std::string> names = {engine::kRepositoryTree, engine::kRepositoryExtraTree};
  std::vector<platform::DirEntry> entries;
  if (engine::ListFolder(p_.platform.files(), unpacked, &entries)) {
    for (const platform::DirEntry& entry : entries) {
      const bool listed = std::any_of(names.begin(), names.end(), [&](const std::string& name) {
        return platform::EqualsIgnoreCase(name, entry.name);
      });
      if (!listed) names.push_back(entry.name);
    }
  }
  journal::JournaledMoves moves = Moves();
  for (const std::string& name : names) {
    if (!moves.SetAside(platform::JoinPath(product_folder, name))) return false;
  }
  return true;
}

void RestoreEngine::MoveUnpackedProductIn(const std::string& unpacked,
                                          const std::string& product_folder, bool cleared) {
  // Moving into a folder that still holds the old trees would mix the two installations.
  if (!cleared) Fail(engine::kResultProductFolderNotCreated);
  journal::JournaledMoves moves = Moves();
  if (!platform::PathExists(p_.platform.files(), product_folder) &&
      !moves.MakeFolder(product_folder)) {
    Fail(engine::kResultProductFolderNotCreated);
  }
  std::vector<platform::DirEntry> entries;
  if (!platform::PathExists(p_.platform.files(), unpacked) ||
      !engine::ListFolder(p_.platform.files(), unpacked, &entries)) {
    Fail(engine::kResultProductFolderNotCreated);
  }
  // Each tree reaches its place whole. A move that left files behind is a failed restore
  // too: taking it for success would keep the product with files missing.
  for (const platform::DirEntry& entry : entries) {
    const std::string from = platform::JoinPath(unpacked, entry.name);
    const std::string to = platform::JoinPath(product_folder, entry.name);
    if (!engine::FitsPathLimit(from) || !engine::FitsPathLimit(to)) {
      Fail(engine::kResultMoveIncomplete);
    }
    if (!engine::IsFolder(entry)) {
      if (!moves.PlaceFile(from, to)) Fail(engine::kResultCopyIntoPlaceFailed);
      continue;
    }
    uint32_t attributes = entry.attributes & kSettableAttributes;
    if (EndsWithDollarHash(entry.name)) attributes |= platform::kAttrHidden;
    if (moves.PlaceTree(from, to, attributes) != 0) Fail(engine::kResultMoveIncomplete);
  }
}

void RestoreEngine::HideCatalog(const std::string& product_folder) {
  const std::string catalog = product_folder + "\\QDW\\FTSIndex\\catalog.wci";
  uint32_t attributes = 0;
  if (p_.platform.files().ReadAttributes(catalog, &attributes) != platform::kSuccess) return;
  const uint32_t settable = attributes & (platform::kAttrReadOnly | platform::kAttrHidden |
                                          platform::kAttrSystem | platform::kAttrArchive);
  if (!p_.journal.Record(journal::AttributesRecord(catalog, attributes)) ||
      p_.platform.files().WriteAttributes(catalog, settable | platform::kAttrHidden) !=
          platform::kSuccess) {
    Fail(engine::kResultCatalogNotHidden);
  }
}

void RestoreEngine::StopForClearing() {
  StopServicesForRestore();
  system::CommandLineServices(p_.platform, nullptr).StopProductServices();
}

void RestoreEngine::RemoveTempFolder(const std::string& temp_folder) {
  if (platform::PathExists(p_.platform.files(), temp_folder)) {
    p_.trees.RemoveTree(temp_folder, engine::ReadOnlyHandling::kClear);
  }
}

}  // namespace qdw::restore
