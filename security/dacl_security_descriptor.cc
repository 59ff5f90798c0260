#include "security/dacl_security_descriptor.h"

namespace qdw::security {

void DaclSecurityDescriptor::SetDacl(DaclBuilder& dacl) {
  platform::Acl acl = dacl.Win32Dacl();
  descriptor_.dacl = std::move(acl);
  descriptor_.dacl_present = true;
}

}  // namespace qdw::security
