#include "rightsmend/rightsmend.h"

#include <exception>

#include "platform/platform.h"
#include "platform/process_code_page.h"
#include "rightsmend/access_rights.h"

using qdw::rightsmend::AccessRights;
using qdw::rightsmend::kRightsFailed;

// Nothing may escape a C boundary: every failure is the failure result.
extern "C" QDW_RIGHTS_API int QDW_STDCALL VNChangeAccessRights(const char* relative_path,
                                                               const char* account, uint32_t mask,
                                                               int keep_existing, int recurse) {
  if (relative_path == nullptr || account == nullptr) return kRightsFailed;
  try {
    qdw::platform::AdoptSystemCodePage(qdw::platform::DefaultPlatform().system());
    return AccessRights(qdw::platform::DefaultPlatform())
        .ChangeRelative(relative_path, account, mask, keep_existing, recurse);
  } catch (...) {
    return kRightsFailed;
  }
}

extern "C" QDW_RIGHTS_API int QDW_STDCALL VNChangeAccessRightsFullPath(
    const char* full_path, const char* account, uint32_t mask, int keep_existing, int recurse) {
  if (full_path == nullptr || account == nullptr) return kRightsFailed;
  try {
    qdw::platform::AdoptSystemCodePage(qdw::platform::DefaultPlatform().system());
    return AccessRights(qdw::platform::DefaultPlatform())
        .ChangeFullPath(full_path, account, mask, keep_existing, recurse);
  } catch (...) {
    return kRightsFailed;
  }
}
