#include "engine/restore/share_details.h"

#include <cstdlib>

namespace qdw::restore {

int32_t LeadingInteger(const std::string& text) {
  return static_cast<int32_t>(std::strtol(text.c_str(), nullptr, 10));
}

bool ParseShareDetails(const std::string& details, ShareDetails* out) {
  *out = ShareDetails();
  const std::string fence = engine::kRemarkFence;
  const size_t comma = details.find(',');
  if (comma == std::string::npos || details.compare(comma + 1, fence.size(), fence) != 0) {
    return false;
  }
  std::string rest = details.substr(comma + 1 + fence.size());
  const size_t remark_end = rest.find(fence + ",");
  if (remark_end == std::string::npos) return false;
  out->name = details.substr(0, comma);
  out->remark = rest.substr(0, remark_end);
  rest = rest.substr(remark_end + fence.size() + 1);

  size_t next = rest.find(',');
  out->max_users = LeadingInteger(rest.substr(0, next));
  rest = next == std::string::npos ? std::string() : rest.substr(next + 1);
  // Pairs of account and code; a lone account at the end has no code and is dropped.
  while (!rest.empty() || next != std::string::npos) {
    next = rest.find(',');
    if (next == std::string::npos) break;
    const std::string account = rest.substr(0, next);
    rest = rest.substr(next + 1);
    next = rest.find(',');
    const std::string code = rest.substr(0, next);
    out->permissions.emplace_back(account, code);
    if (next == std::string::npos) break;
    rest = rest.substr(next + 1);
  }
  return true;
}

}  // namespace qdw::restore
