#include "engine/backup/volume_placement.h"

#include <cstdlib>
#include <memory>

#include "engine/common/archive_names.h"
#include "engine/common/engine_errors.h"
#include "engine/common/folder_listing.h"
#include "engine/common/message_ids.h"
#include "engine/common/result_codes.h"
#include "platform/windows_path.h"

namespace qdw::backup {
namespace {

using platform::kSuccess;

// Name stem of a replaced volume until the new set is in place.
constexpr char kReplacedVolumeSuffix[] = ".old";

bool IsListed(const std::vector<std::string>& paths, const std::string& path) {
  for (const std::string& listed : paths) {
    if (platform::EqualsIgnoreCase(listed, path)) return true;
  }
  return false;
}

}  // namespace

bool VolumeCount(const std::string& name, const std::string& last_volume_name, int* count,
                 std::string* count_text) {
  const std::string prefix = name + engine::kContinuationMark;
  const std::string suffix = engine::kArchiveExtension;
  if (last_volume_name.size() <= prefix.size() + suffix.size() ||
      last_volume_name.compare(0, prefix.size(), prefix) != 0 ||
      last_volume_name.compare(last_volume_name.size() - suffix.size(), suffix.size(), suffix) !=
          0) {
    return false;
  }
  std::string digits = last_volume_name.substr(
      prefix.size(), last_volume_name.size() - prefix.size() - suffix.size());
  if (digits.size() > 5 || digits.find_first_not_of("0123456789") != std::string::npos) {
    return false;
  }
  int value = std::atoi(digits.c_str());
  if (value < 2 || value > engine::kMaxVolumeCount) return false;
  *count = value;
  *count_text = digits;
  return true;
}

VolumePlacement::Volume VolumePlacement::MakeVolume(const std::string& source,
                                                    const std::string& target) {
  return Volume{source, target};
}

void VolumePlacement::Place(const std::string& destination, const std::string& name,
                            const std::string& file_temp, const std::string& last_volume_name,
                            const std::vector<std::string>& earlier_set,
                            std::string* archive_path) {
  std::vector<Volume> volumes;
  if (last_volume_name.empty()) {
    volumes.push_back(
        MakeVolume(platform::JoinPath(file_temp, name) + engine::kArchiveExtension,
                   platform::JoinPath(destination, name) + engine::kArchiveExtension));
    AddLeftovers(earlier_set, &volumes);
    if (!PlaceSet(volumes)) engine::Fail(engine::kResultVolumeNotMoved);
    *archive_path = volumes[0].target;
    return;
  }

  int count = 0;
  std::string count_text;
  if (!VolumeCount(name, last_volume_name, &count, &count_text)) {
    engine::Fail(engine::kResultVolumeNotMoved);
  }
  volumes.push_back(MakeVolume(platform::JoinPath(file_temp, name) + engine::kArchiveExtension,
                               platform::JoinPath(destination, name) + engine::kFirstVolumeMark +
                                   count_text + engine::kArchiveExtension));
  for (int i = 2; i <= count; ++i) {
    const std::string volume =
        name + engine::kContinuationMark + std::to_string(i) + engine::kArchiveExtension;
    volumes.push_back(
        MakeVolume(platform::JoinPath(file_temp, volume), platform::JoinPath(destination, volume)));
  }

  // The user already agreed to replace the earlier set; only volumes that appeared since are
  // asked about.
  std::string question = prompts_.LoadText(engine::kMsgReplaceVolumes);
  bool any_existing = false;
  for (const Volume& volume : volumes) {
    if (!platform::PathExists(files_, volume.target) || IsListed(earlier_set, volume.target)) {
      continue;
    }
    question += "\n" + volume.target;
    any_existing = true;
  }
  if (any_existing &&
      prompts_.ShowText(question, engine::kMsgReplaceVolumes, engine::PromptButtons::kYesNo,
                        engine::PromptIcon::kQuestion) != engine::PromptAnswer::kYes) {
    engine::Fail(engine::kResultReplaceDeclined);
  }

  *archive_path = volumes[0].target;
  AddLeftovers(earlier_set, &volumes);
  if (!PlaceSet(volumes)) engine::Fail(engine::kResultVolumeNotMoved);
  ShowPlacedSet(volumes);
}

void VolumePlacement::AddLeftovers(const std::vector<std::string>& earlier_set,
                                   std::vector<Volume>* volumes) {
  std::vector<std::string> targets;
  for (const Volume& volume : *volumes) targets.push_back(volume.target);
  for (const std::string& path : earlier_set) {
    if (!IsListed(targets, path)) volumes->push_back(MakeVolume("", path));
  }
}

bool VolumePlacement::PlaceSet(const std::vector<Volume>& volumes) {
  for (const Volume& volume : volumes) {
    if (!engine::FitsPathLimit(volume.source) || !engine::FitsPathLimit(volume.target)) {
      return false;
    }
  }
  for (const Volume& volume : volumes) {
    if (!moves_.SetAside(volume.target, kReplacedVolumeSuffix)) return false;
  }
  for (const Volume& volume : volumes) {
    if (volume.source.empty()) continue;
    // The target was set aside above; a "created" record of anything there would remove it.
    if (!Flush(volume.source) || !moves_.NothingAt(volume.target) ||
        !journal_.Record(journal::CreatedRecord(volume.target)) ||
        files_.Replace(volume.source, volume.target) != kSuccess) {
      return false;
    }
  }
  // The whole set is in place: the backup is kept, and what it replaced goes.
  if (!journal_.Commit()) return false;
  journal_.CleanUp();
  return true;
}

bool VolumePlacement::Flush(const std::string& volume) {
  std::unique_ptr<platform::File> file;
  if (files_.Open(volume, platform::kGenericWrite, platform::kShareNone,
                  platform::Disposition::kOpenExisting, platform::kAttrNormal,
                  &file) != kSuccess) {
    return false;
  }
  return file->Flush() == kSuccess;
}

void VolumePlacement::ShowPlacedSet(const std::vector<Volume>& volumes) {
  std::string text = prompts_.LoadText(engine::kMsgVolumesWritten);
  for (const Volume& volume : volumes) {
    if (!volume.source.empty()) text += "\n" + volume.target;
  }
  text += "\n\n" + prompts_.LoadText(engine::kMsgRestoreFrom) + "\n" + volumes[0].target;
  prompts_.ShowText(text, engine::kMsgVolumesWritten, engine::PromptButtons::kOk,
                    engine::PromptIcon::kInformation);
}

}  // namespace qdw::backup
