#include "engine/backup/compress_packer.h"

#include "Compressor/compressor.h"

namespace qdw::backup {

int CompressPacker::Pack(const std::string& source_folder, const std::string& archive_path,
                         std::string* last_volume_name) {
  char last[QDW_LAST_VOLUME_NAME_SIZE] = {0};
  int result = Compress(source_folder.c_str(), archive_path.c_str(), last);
  // The writer fills at most the buffer; never read past it.
  last[QDW_LAST_VOLUME_NAME_SIZE - 1] = '\0';
  *last_volume_name = last;
  return result;
}

}  // namespace qdw::backup
