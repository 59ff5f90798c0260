// Services of the stand-in machine, kept in "services.json":
//   {"VNQLNSharedFolder": {"state": "running", "display_name": "...",
//                          "stop_pending_polls": 2, "start_pending_polls": 1,
//                          "wait_hint_ms": 0, "stuck": false, "fails_to_start": false,
//                          "start_type": "auto", "who_may_control": ["Administrators"]}}
// A stop or start puts the service into its pending state; each status query then counts one
// poll, and after the configured number of polls the service reaches stopped or running
// (stopped again when "fails_to_start"). A "stuck" service stays pending for ever. Without
// "who_may_control" every user who may control services at all (machine.json
// "current_user.may_control_services") may start and stop it; the list holds account names,
// "DOMAIN\name", SIDs, "Everyone" or "Administrators". Names are compared ignoring case.
#ifndef QDW_PLATFORM_SIM_SIM_SERVICES_H_
#define QDW_PLATFORM_SIM_SIM_SERVICES_H_

#include <cstdint>
#include <string>

#include "platform/services.h"
#include "platform/sim/sim_machine.h"

namespace qdw::sim {

// "running" -> kServiceRunning and back; 0 for an unknown name.
uint32_t ServiceStateFromName(const std::string& name);
std::string ServiceStateName(uint32_t state);

// True when the current user is one of `accounts` (names, "DOMAIN\name", SIDs, "Everyone",
// "Administrators" for an administrator).
bool CurrentUserListed(const SimMachine& machine, const Json& accounts);

}  // namespace qdw::sim

#endif  // QDW_PLATFORM_SIM_SIM_SERVICES_H_
