// Fault injection on the stand-in machine. "faults.json" in the machine folder holds rules:
//   {"rules": [{"op": "FileSystem.Copy", "nth": 3, "path": "*\\QDW\\*.pdf", "error": 112,
//               "times": 1, "seen": 0}],
//    "disk_full": {"C": 1048576}}
// A rule counts the calls of its operation (and, with "path", only calls whose path matches
// the wildcard pattern, ignoring case); the nth counted call and the `times` - 1 after it fail
// with `error` (times 0: every call from the nth on). "disk_full" gives a drive a budget of
// bytes that may still be written; once it is spent, writes fail with the disk-full error.
// Counters live in the file, so calls from every process of the machine count.
#ifndef QDW_PLATFORM_SIM_FAULT_INJECTOR_H_
#define QDW_PLATFORM_SIM_FAULT_INJECTOR_H_

#include <cstdint>
#include <string>

#include "platform/sim/machine_store.h"
#include "platform/win_error.h"

namespace qdw::sim {

class FaultInjector {
 public:
  explicit FaultInjector(const MachineStore& store)
      : store_(store), rules_path_(store.HostPath("faults.json")) {}

  // Counts one call of `operation` on `path` (empty when the call has no path) and returns the
  // error it must fail with, or kSuccess. Cheap when the machine has no faults.
  platform::WinError Check(const std::string& operation, const std::string& path = "") const;

  // Charges `bytes` about to be written on `drive` ('C'). Returns kErrorDiskFull, charging
  // nothing, when the drive's budget cannot take them.
  platform::WinError ChargeWrite(char drive, uint64_t bytes) const;

  // Whether any rule or disk-full budget is set: without, no call fails by a fault.
  bool HasFaults() const;

  // Adds a rule (used by qdwsim and tests).
  void AddRule(const std::string& operation, uint32_t nth, platform::WinError error,
               const std::string& path_pattern = "", uint32_t times = 1) const;
  void SetDiskFull(char drive, uint64_t bytes_left) const;
  void Clear() const;

 private:
  const MachineStore& store_;
  const std::string rules_path_;  // asked on every port call: spelt once
};

}  // namespace qdw::sim

#endif  // QDW_PLATFORM_SIM_FAULT_INJECTOR_H_
