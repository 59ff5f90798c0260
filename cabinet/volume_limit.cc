#include "cabinet/volume_limit.h"

#include <cstdlib>

#include "cabinet/fci.h"

namespace qdw::cab {

uint64_t VolumeLimit(unsigned long ccab_cb) {
  uint64_t limit = ccab_cb != 0 ? ccab_cb : CAB_DEFAULT_VOLUME_LIMIT;
  if (const char* text = std::getenv("QDW_CAB_VOLUME_LIMIT")) {
    char* end = nullptr;
    unsigned long long value = std::strtoull(text, &end, 10);
    if (end != text && *end == 0 && value > 0) limit = value;
  }
  if (limit < CAB_MIN_VOLUME_LIMIT) limit = CAB_MIN_VOLUME_LIMIT;
  if (limit > CAB_DEFAULT_VOLUME_LIMIT) limit = CAB_DEFAULT_VOLUME_LIMIT;
  return limit;
}

}  // namespace qdw::cab
