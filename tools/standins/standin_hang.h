// Making a stand-in program hang, so callers' time limits can be tested. machine.json
//   "standins": {"qdw_cmd": {"hang": true}, "qdw_haltwerk": {"hang": true}}
// keeps the program waiting for as long as the flag stays set (a test clears it, or removes
// the machine, to let the process end).
#ifndef QDW_TOOLS_STANDINS_STANDIN_HANG_H_
#define QDW_TOOLS_STANDINS_STANDIN_HANG_H_

#include <string>

#include "platform/sim/sim_machine.h"

namespace qdw::standins {

bool ShouldHang(const sim::SimMachine& machine, const std::string& program);
// Waits while ShouldHang() holds and the machine exists.
void HangWhileAsked(const sim::SimMachine& machine, const std::string& program);

}  // namespace qdw::standins

#endif  // QDW_TOOLS_STANDINS_STANDIN_HANG_H_
