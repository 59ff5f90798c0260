#include "Extractor/pending_targets.h"

#include <algorithm>
#include <cstddef>
#include <utility>

#include "Extractor/target_files.h"
#include "archive/dos_time.h"
#include "archive/runtime_files.h"
#include "platform/file_checks.h"
#include "platform/file_system.h"
#include "platform/platform.h"
#include "platform/windows_path.h"

namespace qdw::extractor {
namespace {

using platform::FileSystem;

// Above every handle of the runtime file table.
constexpr intptr_t kFirstHandle = intptr_t{1} << 24;

// The result of one file that a batch of new files did not make.
PendingTargets::Failure RedoAlone(const platform::NewFile& file, uint16_t dos_date,
                                  uint16_t dos_time, uint16_t attributes, platform::WinError why) {
  if (why != platform::kErrorFileExists) {
    // A batch tells an outcome, not its step: a file at the name now is one made and not written.
    return platform::FileExists(platform::DefaultPlatform().files(), file.path)
               ? PendingTargets::Failure::kNotWritten
               : PendingTargets::Failure::kNotCreated;
  }
  // Something is at the name already: replaced as a file unpacked alone would replace it.
  const intptr_t handle = CreateTarget(file.path);
  if (handle == -1) return PendingTargets::Failure::kNotCreated;
  archive::RuntimeFiles& runtime = archive::RuntimeFiles::Instance();
  const auto size = static_cast<unsigned int>(file.data.size());
  if (size > 0 && runtime.Write(handle, file.data.data(), size, nullptr) != size) {
    runtime.Close(handle, nullptr);
    return PendingTargets::Failure::kNotWritten;
  }
  FinishTarget(file.path, handle, dos_date, dos_time, attributes);
  return PendingTargets::Failure::kNone;
}

}  // namespace

bool PendingTargets::Fits(const std::string& target, uint32_t size) const {
  return targets_.size() < kMaxFiles && bytes_ + size <= kMaxBytes &&
         names_.count(platform::UpperAnsi(target)) == 0;
}

intptr_t PendingTargets::Add(std::string target, uint32_t size) {
  names_.insert(platform::UpperAnsi(target));
  Target& added = targets_.emplace_back();
  added.path = std::move(target);
  added.data.reserve(size);
  bytes_ += size;
  return kFirstHandle + static_cast<intptr_t>(targets_.size() - 1);
}

PendingTargets::Target* PendingTargets::Find(intptr_t handle) {
  if (handle < kFirstHandle) return nullptr;
  const size_t index = static_cast<size_t>(handle - kFirstHandle);
  return index < targets_.size() ? &targets_[index] : nullptr;
}

bool PendingTargets::Holds(intptr_t handle) const {
  return handle >= kFirstHandle && static_cast<size_t>(handle - kFirstHandle) < targets_.size();
}

void PendingTargets::Append(intptr_t handle, const void* data, unsigned int count) {
  if (Target* target = Find(handle)) target->data.append(static_cast<const char*>(data), count);
}

void PendingTargets::Finish(intptr_t handle, uint16_t dos_date, uint16_t dos_time,
                            uint16_t attributes) {
  Target* target = Find(handle);
  if (target == nullptr) return;
  target->dos_date = dos_date;
  target->dos_time = dos_time;
  target->attributes = attributes;
  target->finished = true;
}

PendingTargets::Failure PendingTargets::Flush(const std::function<void()>& written) {
  platform::Platform& machine = platform::DefaultPlatform();
  std::vector<platform::NewFile> files;
  std::vector<const Target*> sources;
  for (Target& target : targets_) {
    if (!target.finished) continue;
    platform::NewFile& file = files.emplace_back();
    file.path = std::move(target.path);
    file.data = std::move(target.data);
    file.stamped = archive::LocalDosDateTimeToUtc(machine.system(), target.dos_date,
                                                  target.dos_time, &file.stamp);
    file.attributes = NewFileAttributes(target.attributes);
    sources.push_back(&target);
  }
  Failure failure = Failure::kNone;
  std::vector<platform::WinError> results;
  size_t done = 0;
  while (!files.empty() && failure == Failure::kNone) {
    machine.files().CreateFiles(files, FileSystem::BatchEnd::kStopAtFailure, &results);
    // A batch ends early only at a failure; what follows it goes in the next one.
    const size_t reported = std::min(results.size(), files.size());
    if (reported == 0) failure = Failure::kNotCreated;
    for (size_t i = 0; i < reported && failure == Failure::kNone; ++i) {
      const Target& source = *sources[done + i];
      if (results[i] != platform::kSuccess) {
        failure =
            RedoAlone(files[i], source.dos_date, source.dos_time, source.attributes, results[i]);
      }
      if (failure == Failure::kNone) written();
    }
    files.erase(files.begin(), files.begin() + static_cast<std::ptrdiff_t>(reported));
    done += reported;
  }
  Clear();
  return failure;
}

void PendingTargets::Clear() {
  targets_.clear();
  names_.clear();
  bytes_ = 0;
}

}  // namespace qdw::extractor
