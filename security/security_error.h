// The error raised when an access list or a security descriptor cannot be built; it carries
// the Windows error code and ends the caller's share step.
#ifndef QDW_SECURITY_SECURITY_ERROR_H_
#define QDW_SECURITY_SECURITY_ERROR_H_

#include <stdexcept>
#include <string>

#include "platform/win_error.h"

namespace qdw::security {

class SecurityError : public std::runtime_error {
 public:
  SecurityError(const std::string& what, platform::WinError code)
      : std::runtime_error(what + " (error " + std::to_string(code) + ")"), code_(code) {}
  platform::WinError code() const { return code_; }

 private:
  platform::WinError code_;
};

}  // namespace qdw::security

#endif  // QDW_SECURITY_SECURITY_ERROR_H_
