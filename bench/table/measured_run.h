// Runs one benchmark step as a child process and measures it: wall time, CPU time (user and
// system, the child's own waited-for children included) and peak resident memory from wait4.
#ifndef QDW_BENCH_TABLE_MEASURED_RUN_H_
#define QDW_BENCH_TABLE_MEASURED_RUN_H_

#include <string>
#include <vector>

namespace qdw::bench {

struct Measurement {
  bool ok = false;  // started and exited with status 0
  double wall_seconds = 0;
  double cpu_seconds = 0;
  double peak_mib = 0;
};

struct StepCommand {
  std::vector<std::string> arguments;        // arguments[0] is looked up in PATH
  std::string folder;                        // working folder; empty: this process's
  std::vector<std::string> set_variables;    // "NAME=value"
  std::vector<std::string> unset_variables;  // "NAME"
};

// Standard output of the step goes to /dev/null; standard error stays.
Measurement RunMeasured(const StepCommand& command);

}  // namespace qdw::bench

#endif  // QDW_BENCH_TABLE_MEASURED_RUN_H_
