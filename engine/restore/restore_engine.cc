#include "engine/restore/restore_engine.h"

#include "Extractor/extractor.h"
#include "database/folder_table_updates.h"
#include "engine/common/engine_errors.h"
#include "engine/restore/installation_swap.h"
#include "engine/restore/printer_icon_repair.h"
#include "engine/restore/registered_shares.h"
#include "engine/restore/volume_set.h"
#include "system/command_line_services.h"
#include "system/os_version.h"
#include "system/program_checks.h"

namespace qdw::restore {

namespace {

using engine::PromptAnswer;
using engine::PromptButtons;
using engine::PromptIcon;
using engine::ResultCodeError;

constexpr int kAbandoned = 100;

[[noreturn]] void Fail(int code) { throw ResultCodeError(code); }

}  // namespace

int ExtractVolume(const std::string& volume, const std::string& folder) {
  return Extract(volume.c_str(), folder.c_str());
}

int RestoreEngine::RestoreFromArchive(const std::string& archive_path,
                                      const std::string& repository, const std::string& temp_base) {
  if (!Exists(archive_path)) {
    p_.prompts.ShowMessage(kMsgArchiveNotFound, PromptButtons::kOk, PromptIcon::kStop);
    return kAbandoned;
  }
  const size_t slash = archive_path.rfind('\\');
  const std::string archive_folder =
      slash == std::string::npos ? std::string() : archive_path.substr(0, slash);
  const std::string file_name =
      slash == std::string::npos ? archive_path : archive_path.substr(slash + 1);
  std::vector<std::string> volumes;
  if (!ChooseVolumes(archive_folder, file_name, &volumes)) return kAbandoned;

  bool writable = false;
  if (!p_.settings.CanWriteProductSettings(&writable)) writable = false;
  if (!writable) {
    database::CDataBase database(p_.platform.databases(), [this](std::string* path) {
      return p_.settings.ReadUserRepositoryPath(path);
    });
    database::StringList ids;
    if (database.ListSharedFolderTree(&ids) && !ids.empty()) return 214;
  }

  const std::string temp_folder =
      (temp_base.empty() ? repository : temp_base) + "\\" + kRestoreTempFolder;
  try {
    if (Exists(temp_folder)) p_.trees.RemoveTree(temp_folder, engine::ReadOnlyHandling::kClear);
    if (p_.platform.files().MakeFolder(temp_folder) != platform::kSuccess) Fail(201);
    if (p_.platform.files().Copy(archive_path, temp_folder + "\\" + file_name, true) !=
        platform::kSuccess) {
      Fail(202);
    }
    for (const std::string& volume : volumes) {
      if (p_.platform.files().Copy(archive_folder + "\\" + volume, temp_folder + "\\" + volume,
                                   true) != platform::kSuccess) {
        Fail(202);
      }
    }
    bool running = false;
    if (!system::ProgramChecks(p_.platform).CheckMainProgram(&running)) Fail(210);
    if (running) Fail(211);
    const int unpacked = Unpack(archive_folder, file_name, volumes, temp_folder);
    if (unpacked != 0) Fail(unpacked);
    CheckTargetsAndFormat(temp_folder);
    if (!p_.trees.RemoveMarkers(temp_folder)) Fail(209);
    return PutInPlace(repository, temp_folder);
  } catch (const ResultCodeError& error) {
    if (Exists(temp_folder)) p_.trees.RemoveTree(temp_folder, engine::ReadOnlyHandling::kClear);
    return error.code();
  }
}

bool RestoreEngine::ChooseVolumes(const std::string& folder, const std::string& file_name,
                                  std::vector<std::string>* volumes) {
  volumes->clear();
  if (file_name.find("_add") != std::string::npos &&
      p_.prompts.ShowMessage(kMsgContinuationChosen, PromptButtons::kYesNo,
                             PromptIcon::kQuestion) != PromptAnswer::kYes) {
    return false;
  }
  if (file_name.find("_bak") == std::string::npos) return true;
  const long count = VolumeCountFromName(file_name);
  std::vector<std::string> missing;
  std::vector<std::string> names;
  if (count < 0) {
    // A count no set can have: the name is broken, so the chosen file stands alone.
    missing.push_back(folder + "\\" + file_name);
  } else {
    names = ContinuationVolumeNames(file_name, count);
    for (const std::string& name : names) {
      if (!Exists(folder + "\\" + name)) missing.push_back(folder + "\\" + name);
    }
  }
  if (!missing.empty()) {
    std::string text = p_.prompts.LoadText(kMsgVolumesMissing);
    for (const std::string& path : missing) text += "\n" + path;
    if (p_.prompts.ShowText(text, kMsgVolumesMissing, PromptButtons::kYesNo,
                            PromptIcon::kQuestion) != PromptAnswer::kYes) {
      return false;
    }
    names.clear();
  }
  *volumes = names;
  return true;
}

int RestoreEngine::Unpack(const std::string&, const std::string& file_name,
                          const std::vector<std::string>& volumes, const std::string& temp_folder) {
  const Unpacker unpack = p_.unpack ? p_.unpack : Unpacker(ExtractVolume);
  if (unpack(temp_folder + "\\" + file_name, temp_folder) != 0) return 203;
  for (const std::string& volume : volumes) {
    if (unpack(temp_folder + "\\" + volume, temp_folder) != 0) return 203;
  }
  return 0;
}

void RestoreEngine::CheckTargetsAndFormat(const std::string& temp_folder) {
  ShareTargetProblems problems;
  CheckShareTargets(p_.platform, p_.settings, temp_folder, &problems);
  if (!problems.empty()) {
    std::string text;
    if (!problems.drives.empty()) {
      text = p_.prompts.LoadText(kMsgUnusableDrives);
      for (const std::string& drive : problems.drives) text += "\n" + drive;
    }
    // Entries that would reach outside their folders are shown with the folders in the way.
    std::vector<std::string> folders = problems.folders;
    folders.insert(folders.end(), problems.unsafe_entries.begin(), problems.unsafe_entries.end());
    if (!folders.empty()) {
      if (!text.empty()) text += "\n";
      text += p_.prompts.LoadText(kMsgFoldersInTheWay);
      for (const std::string& folder : folders) text += "\n" + folder;
    }
    p_.prompts.ShowText(text, problems.drives.empty() ? kMsgFoldersInTheWay : kMsgUnusableDrives,
                        PromptButtons::kOk, PromptIcon::kStop);
    Fail(212);
  }
  const std::string unpacked = temp_folder + "\\VARNOLD\\";
  if (Exists(unpacked + kFormerFormatMarker)) Fail(215);
  if (!Exists(unpacked + kCurrentFormatMarker)) Fail(208);
}

int RestoreEngine::PutInPlace(const std::string& repository, const std::string& temp_folder) {
  const std::string product_folder = repository + "\\VARNOLD";
  RegisteredShares registered(p_.platform, p_.settings, [this] { StopServicesForRestore(); });
  InstallationSwap swap(p_.platform.files(), p_.trees);
  bool set_aside = true;
  if (system::ClassifyOperatingSystem(p_.platform.system()) == 6) {
    StopForClearing();
    registered.RemoveRecordedShares();
    if (Exists(product_folder)) {
      StopForClearing();
      set_aside = swap.SetAside(product_folder);
    }
  } else {
    if (Exists(product_folder)) {
      StopForClearing();
      set_aside = swap.SetAside(product_folder);
    }
    StopForClearing();
    registered.RemoveRecordedShares();
  }

  try {
    // Moving into a folder that still holds the old trees would mix the two installations.
    if (!set_aside) Fail(204);
    if (!Exists(product_folder) &&
        p_.platform.files().MakeFolder(product_folder) != platform::kSuccess) {
      Fail(204);
    }
    const std::string unpacked = temp_folder + "\\VARNOLD";
    if (!Exists(unpacked)) Fail(204);
    // A move that left files behind (1) is a failed restore too: taking it for success would
    // discard the kept installation and leave the product with files missing.
    if (p_.trees.MoveTree(unpacked, product_folder) != 0) Fail(205);
    const std::string catalog = product_folder + "\\QDW\\FTSIndex\\catalog.wci";
    uint32_t attributes = 0;
    if (p_.platform.files().ReadAttributes(catalog, &attributes) == platform::kSuccess) {
      const uint32_t settable = attributes & (platform::kAttrReadOnly | platform::kAttrHidden |
                                              platform::kAttrSystem | platform::kAttrArchive);
      if (p_.platform.files().WriteAttributes(catalog, settable | platform::kAttrHidden) !=
          platform::kSuccess) {
        Fail(207);
      }
    }
    if (!RestoreSharesAndSettings(temp_folder)) Fail(206);
  } catch (...) {
    swap.PutBack();
    throw;
  }
  swap.Discard();

  if (Exists(temp_folder)) p_.trees.RemoveTree(temp_folder, engine::ReadOnlyHandling::kClear);
  if (!p_.state.undeletable_files.empty()) {
    p_.prompts.ShowMessage(kMsgUndeletableFiles, PromptButtons::kOk, PromptIcon::kInformation);
    return 307;
  }
  RepairPrinterIcons(p_.platform, p_.settings);
  return 0;
}

void RestoreEngine::StopForClearing() {
  StopServicesForRestore();
  system::CommandLineServices(p_.platform, nullptr).StopProductServices();
}

bool RestoreEngine::Exists(const std::string& path) {
  uint32_t attributes = 0;
  return p_.platform.files().ReadAttributes(path, &attributes) == platform::kSuccess;
}

}  // namespace qdw::restore
