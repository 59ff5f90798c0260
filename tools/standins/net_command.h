// The command interpreter as the system uses it: "cmd.exe /C NET STOP "name"" and
// "/C NET START "name"" on the machine's services. NET never asks a question here (there is
// no console input to answer it); it reports like NET does, with exit code 0 when the service
// reached the state asked for and 2 otherwise. Any other command fails with exit code 1.
#ifndef QDW_TOOLS_STANDINS_NET_COMMAND_H_
#define QDW_TOOLS_STANDINS_NET_COMMAND_H_

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace qdw::standins {

// The exit code of cmd.exe with `arguments` (those after the program name).
int RunCommandInterpreter(platform::Platform& platform, const std::vector<std::string>& arguments,
                          std::ostream& out);

// "NET STOP name" / "NET START name" (`arguments` after "NET"). A service that does not reach
// the state within `max_polls` status queries counts as failed.
int RunNet(platform::Platform& platform, const std::vector<std::string>& arguments,
           std::ostream& out, uint32_t max_polls = 600);

}  // namespace qdw::standins

#endif  // QDW_TOOLS_STANDINS_NET_COMMAND_H_
