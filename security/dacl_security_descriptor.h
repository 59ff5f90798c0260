// A security descriptor that carries only a DACL (no owner, group or system list), as a
// re-created share gets it.
#ifndef QDW_SECURITY_DACL_SECURITY_DESCRIPTOR_H_
#define QDW_SECURITY_DACL_SECURITY_DESCRIPTOR_H_

#include "platform/security_types.h"
#include "security/dacl_builder.h"

namespace qdw::security {

class DaclSecurityDescriptor {
 public:
  // Takes the builder's list in canonical order and marks the DACL present. Raises
  // SecurityError when the list cannot be built.
  void SetDacl(DaclBuilder& dacl);

  // The descriptor for a share record; without SetDacl it holds no DACL.
  const platform::SecurityDescriptor& descriptor() const { return descriptor_; }

 private:
  platform::SecurityDescriptor descriptor_;
};

}  // namespace qdw::security

#endif  // QDW_SECURITY_DACL_SECURITY_DESCRIPTOR_H_
