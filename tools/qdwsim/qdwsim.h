// The subcommands of qdwsim. Each takes the arguments after its name and returns the exit
// status; a UsageError is reported with the usage text and exit status 2.
#ifndef QDW_TOOLS_QDWSIM_QDWSIM_H_
#define QDW_TOOLS_QDWSIM_QDWSIM_H_

#include <stdexcept>
#include <string>
#include <vector>

namespace qdw::qdwsim {

using Args = std::vector<std::string>;

class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

int Init(const Args& args);
int Show(const Args& args);
int Lock(const Args& args, bool lock);
int Service(const Args& args);
int Process(const Args& args);
int Share(const Args& args);
int Fault(const Args& args);
int User(const Args& args);
int Link(const Args& args);
int Snapshot(const Args& args);
int Diff(const Args& args);

// The value after `flag` in `args` (removing both), or `fallback` when absent.
std::string TakeOption(Args* args, const std::string& flag, const std::string& fallback);
// The folder of the running qdwsim executable.
std::string ExecutableFolder();
// Fails with a UsageError unless `folder` holds a machine.
void RequireMachine(const std::string& folder);

}  // namespace qdw::qdwsim

#endif  // QDW_TOOLS_QDWSIM_QDWSIM_H_
