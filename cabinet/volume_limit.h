// The size limit of the volumes a writer makes.
#ifndef QDW_CABINET_VOLUME_LIMIT_H_
#define QDW_CABINET_VOLUME_LIMIT_H_

#include <cstdint>

namespace qdw::cab {

// CCAB.cb when non-zero, otherwise CAB_DEFAULT_VOLUME_LIMIT; QDW_CAB_VOLUME_LIMIT (decimal
// bytes) overrides both. The result lies between CAB_MIN_VOLUME_LIMIT and
// CAB_DEFAULT_VOLUME_LIMIT.
uint64_t VolumeLimit(unsigned long ccab_cb);

}  // namespace qdw::cab

#endif  // QDW_CABINET_VOLUME_LIMIT_H_
