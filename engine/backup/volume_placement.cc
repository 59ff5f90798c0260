#include "engine/backup/volume_placement.h"

#include <cstdlib>

#include "engine/common/archive_names.h"
#include "engine/common/engine_errors.h"
#include "engine/common/folder_listing.h"
#include "engine/common/message_ids.h"
#include "engine/common/result_codes.h"
#include "platform/windows_path.h"

namespace qdw::backup {
namespace {

using platform::kSuccess;

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
  Volume volume;
  volume.source = source;
  volume.target = target;
  return volume;
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
    if (!PlaceSet(&volumes)) engine::Fail(engine::kResultVolumeNotMoved);
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
  if (!PlaceSet(&volumes)) engine::Fail(engine::kResultVolumeNotMoved);
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

bool VolumePlacement::PlaceSet(std::vector<Volume>* volumes) {
  for (Volume& volume : *volumes) {
    if (!engine::FitsPathLimit(volume.source) || !engine::FitsPathLimit(volume.target)) {
      return false;
    }
  }
  for (Volume& volume : *volumes) {
    if (platform::PathExists(files_, volume.target) && !SetAside(&volume)) {
      Rollback(volumes);
      return false;
    }
  }
  for (Volume& volume : *volumes) {
    if (volume.source.empty()) continue;
    if (files_.Move(volume.source, volume.target) != kSuccess) {
      Rollback(volumes);
      return false;
    }
    volume.placed = true;
  }
  DropAsides(*volumes);
  return true;
}

bool VolumePlacement::SetAside(Volume* volume) {
  for (int n = 1; n < 1000; ++n) {
    std::string aside = volume->target + ".old" + (n == 1 ? std::string() : std::to_string(n));
    if (!engine::FitsPathLimit(aside)) return false;
    if (platform::PathExists(files_, aside)) continue;
    if (files_.Move(volume->target, aside) != kSuccess) return false;
    volume->aside = aside;
    return true;
  }
  return false;
}

void VolumePlacement::Rollback(std::vector<Volume>* volumes) {
  for (Volume& volume : *volumes) {
    if (volume.placed && files_.Delete(volume.target) == kSuccess) volume.placed = false;
    if (!volume.aside.empty() && !volume.placed &&
        files_.Move(volume.aside, volume.target) == kSuccess) {
      volume.aside.clear();
    }
  }
}

void VolumePlacement::DropAsides(const std::vector<Volume>& volumes) {
  for (const Volume& volume : volumes) {
    if (volume.aside.empty()) continue;
    uint32_t attributes = 0;
    if (files_.ReadAttributes(volume.aside, &attributes) == kSuccess &&
        (attributes & platform::kAttrReadOnly) != 0) {
      files_.WriteAttributes(volume.aside, platform::kAttrNormal);
    }
    files_.Delete(volume.aside);
  }
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
