// A walk over the running processes on every Windows family: the process-status route on
// NT 4, the tool-help route on the 9x family and NT 5 and later, with the 16-bit tasks of
// every NTVDM process on NT.
#ifndef QDW_SYSTEM_PROCESS_WALKER_H_
#define QDW_SYSTEM_PROCESS_WALKER_H_

#include <cstdint>
#include <functional>
#include <string>

#include "platform/platform.h"

namespace qdw::system {

// Receives the process identifier, the 16-bit task handle (0 for an ordinary process) and the
// process or task name; returns false to stop the walk.
using ProcessVisitor = std::function<bool(uint32_t pid, uint16_t task, const std::string& name)>;

// True when the walk ran; false when the system is not supported or no process list could be
// taken.
bool EnumerateProcesses(platform::Platform& platform, const ProcessVisitor& visitor);

}  // namespace qdw::system

#endif  // QDW_SYSTEM_PROCESS_WALKER_H_
