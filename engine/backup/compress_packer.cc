#include "engine/backup/compress_packer.h"

#include <exception>

#include "Compressor/compressor.h"

namespace qdw::backup {
namespace {

// Carries the writer's reports to the packer's function; an exception may not cross the
// library, so it waits here until Compress has returned.
struct ProgressRelay {
  const PackProgress* progress;
  std::exception_ptr error;
};

void RelayProgress(void* context, unsigned long long bytes_packed, int volume) {
  auto* relay = static_cast<ProgressRelay*>(context);
  if (relay->error) return;
  try {
    (*relay->progress)(bytes_packed, volume);
  } catch (...) {
    relay->error = std::current_exception();
  }
}

}  // namespace

int CompressPacker::Pack(const std::string& source_folder, const std::string& archive_path,
                         std::string* last_volume_name) {
  ProgressRelay relay{&progress_, nullptr};
  SetCompressProgress(progress_ ? RelayProgress : nullptr, &relay);
  char last[QDW_LAST_VOLUME_NAME_SIZE] = {0};
  int result = Compress(source_folder.c_str(), archive_path.c_str(), last);
  SetCompressProgress(nullptr, nullptr);
  // The writer fills at most the buffer; never read past it.
  last[QDW_LAST_VOLUME_NAME_SIZE - 1] = '\0';
  *last_volume_name = last;
  if (relay.error) std::rethrow_exception(relay.error);
  return result;
}

}  // namespace qdw::backup
