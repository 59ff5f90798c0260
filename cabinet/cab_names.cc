#include "cabinet/cab_names.h"

#include "platform/windows_path.h"

namespace qdw::cab {

bool CabNameIsSafeRelative(const char* name) {
  return name != nullptr && platform::IsSafeRelativeName(name);
}

}  // namespace qdw::cab
