// Upper bounds on the waits for services and outside programs. A service stuck in a pending
// state or a program that never ends must not freeze the tool: past the limit the wait ends
// as a failure the caller already handles. Tests set short limits.
#ifndef QDW_SYSTEM_WAIT_LIMITS_H_
#define QDW_SYSTEM_WAIT_LIMITS_H_

#include <cstdint>

namespace qdw::system {

struct WaitLimits {
  // A stop or start until the service reaches the awaited state.
  uint32_t service_state_ms = 10 * 60 * 1000;
  // One run of the command interpreter with NET.
  uint32_t net_command_ms = 10 * 60 * 1000;
  // The run of the product's outside program with "/delete".
  uint32_t haltwerk_ms = 10 * 60 * 1000;
};

}  // namespace qdw::system

#endif  // QDW_SYSTEM_WAIT_LIMITS_H_
