#include "platform/database.h"

namespace qdw::platform {

std::string SqlQuote(const std::string& value) {
  std::string quoted;
  quoted.reserve(value.size());
  for (char c : value) {
    quoted += c;
    if (c == '\'') quoted += '\'';
  }
  return quoted;
}

}  // namespace qdw::platform
