#include "engine/restore/volume_copy.h"

#include <memory>
#include <vector>

namespace qdw::restore {

namespace {

bool CopyContent(platform::File& from, platform::File& to, uint32_t piece,
                 const std::function<void(uint64_t)>& copied) {
  std::vector<uint8_t> buffer(piece);
  uint64_t done = 0;
  for (;;) {
    uint32_t read = 0;
    if (from.Read(buffer.data(), piece, &read) != platform::kSuccess) return false;
    if (read == 0) return true;
    uint32_t written = 0;
    if (to.Write(buffer.data(), read, &written) != platform::kSuccess || written != read) {
      return false;
    }
    done += read;
    if (copied) copied(done);
  }
}

}  // namespace

bool CopyVolume(platform::FileSystem& files, const std::string& source, const std::string& target,
                const std::function<void(uint64_t)>& copied, uint32_t piece) {
  if (piece == 0) return false;
  std::unique_ptr<platform::File> from;
  if (files.Open(source, platform::kGenericRead, platform::kShareRead,
                 platform::Disposition::kOpenExisting,
                 platform::kAttrNormal | platform::kFlagSequentialScan,
                 &from) != platform::kSuccess) {
    return false;
  }
  std::unique_ptr<platform::File> to;
  if (files.Open(target, platform::kGenericWrite, platform::kShareNone,
                 platform::Disposition::kCreateNew, platform::kAttrNormal,
                 &to) != platform::kSuccess) {
    return false;
  }
  const bool whole = CopyContent(*from, *to, piece, copied);
  to.reset();
  // Half a volume would only fail later, in the unpacking, with a less telling error.
  if (!whole) files.Delete(target);
  return whole;
}

}  // namespace qdw::restore
