#include "engine/restore/unpack_progress.h"

#include <utility>
#include <vector>

#include "Extractor/extractor.h"

namespace qdw::restore {

uint64_t FileBytes(platform::FileSystem& files, const std::string& path) {
  std::vector<platform::DirEntry> entries;
  if (files.Find(path, &entries) != platform::kSuccess || entries.size() != 1) return 0;
  return entries[0].size;
}

UnpackReports::UnpackReports(Report report) : report_(std::move(report)) {
  SetExtractProgress(Relay, this);
}

UnpackReports::~UnpackReports() { SetExtractProgress(nullptr, nullptr); }

void UnpackReports::RethrowIfFailed() {
  if (error_) std::rethrow_exception(std::exchange(error_, nullptr));
}

void UnpackReports::Relay(void* context, unsigned long long cabinet_bytes_read,
                          unsigned long files_written) {
  auto* self = static_cast<UnpackReports*>(context);
  if (self->error_) return;
  try {
    self->report_(cabinet_bytes_read, files_written);
  } catch (...) {
    self->error_ = std::current_exception();
  }
}

}  // namespace qdw::restore
