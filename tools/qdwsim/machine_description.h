// The machine qdwsim makes: a Windows 7 workstation of the user "jo" with the product's drives,
// folders and environment. The tests' stand-in machines start from the same description.
#ifndef QDW_TOOLS_QDWSIM_MACHINE_DESCRIPTION_H_
#define QDW_TOOLS_QDWSIM_MACHINE_DESCRIPTION_H_

#include <string>

#include "platform/sim/sim_machine.h"

namespace qdw::qdwsim {

inline constexpr char kUser[] = "jo";
inline constexpr char kDomain[] = "WORKSTATION";
inline constexpr char kUserSid[] = "S-1-5-21-1004336348-1177238915-682003330-1001";
inline constexpr char kColleagueSid[] = "S-1-5-21-1004336348-1177238915-682003330-1002";
inline constexpr char kInstallFolder[] = "C:\\Program Files\\VARNOLD\\Quillon Deskora";

// The machine's description with Windows 7 (6.1). The stand-in command interpreter and Haltwerk
// are the programs in `program_folder`; with an empty folder the machine runs no programs.
sim::Json DefaultMachineDescription(const std::string& program_folder);

// The "os_version" entry of a Windows version ("4.0" ... "10.0", or "9x"); false for another.
bool OsVersionDescription(const std::string& version, sim::Json* os_version);

}  // namespace qdw::qdwsim

#endif  // QDW_TOOLS_QDWSIM_MACHINE_DESCRIPTION_H_
