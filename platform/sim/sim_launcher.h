// Starting programs of the stand-in machine. A Windows program path is mapped to a host
// executable through machine.json "programs" ({"C:\\Windows\\system32\\cmd.exe":
// "/path/to/stand-in"}; a relative host path is taken from the machine folder), and run as a
// real child process with QDW_MACHINE naming the machine and no console input, so it can never
// wait for an answer. Hidden programs write their output to "processes.log" in the machine
// folder.
#ifndef QDW_PLATFORM_SIM_SIM_LAUNCHER_H_
#define QDW_PLATFORM_SIM_SIM_LAUNCHER_H_

#include <memory>
#include <string>
#include <vector>

#include "platform/processes.h"
#include "platform/sim/sim_machine.h"

namespace qdw::sim {

// The host executable of a Windows program path; false when the machine maps none.
bool MapProgram(const SimMachine& machine, const std::string& program, std::string* host);

// Splits a Windows command line into arguments with the C runtime's rules (spaces separate,
// double quotes group, backslashes escape a quote only).
std::vector<std::string> SplitCommandLine(const std::string& command_line);

// Starts `program` with `command_line`. kErrorFileNotFound when the program maps to nothing
// or the host executable is missing.
platform::WinError LaunchProgram(const SimMachine& machine, const std::string& program,
                                 const std::string& command_line, bool hidden,
                                 std::unique_ptr<platform::ProcessHandle>* out);

}  // namespace qdw::sim

#endif  // QDW_PLATFORM_SIM_SIM_LAUNCHER_H_
