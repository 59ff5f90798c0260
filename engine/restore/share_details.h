// The details field of a recorded share: share name, remark, user limit and permission pairs.
#ifndef QDW_ENGINE_RESTORE_SHARE_DETAILS_H_
#define QDW_ENGINE_RESTORE_SHARE_DETAILS_H_

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "engine/common/archive_names.h"

namespace qdw::restore {

struct ShareDetails {
  std::string name;
  std::string remark;
  int32_t max_users = -1;
  // (account, permission code text) in file order.
  std::vector<std::pair<std::string, std::string>> permissions;
};

// name + ",!vnqdw!" + remark + "!vnqdw!," + users + ("," account "," code)*. False when a
// fence is missing, so that the caller keeps its defaults instead of cutting text that is not
// there.
bool ParseShareDetails(const std::string& details, ShareDetails* out);

// The leading decimal digits of `text` as atoi reads them (0 when there are none).
int32_t LeadingInteger(const std::string& text);

}  // namespace qdw::restore

#endif  // QDW_ENGINE_RESTORE_SHARE_DETAILS_H_
