// qdwsim snapshot and qdwsim diff: what a user could observe on a machine, and how two such
// states differ (platform/sim/machine_snapshot.h).
#include <fstream>
#include <iostream>
#include <sstream>

#include "platform/sim/machine_snapshot.h"
#include "tools/qdwsim/qdwsim.h"

namespace qdw::qdwsim {
namespace {

// A machine folder is snapshot now; any other file is a snapshot written earlier.
sim::MachineSnapshot SnapshotOf(const std::string& argument) {
  if (sim::SimMachine::IsMachineFolder(argument)) {
    return sim::TakeSnapshot(sim::SimMachine(argument));
  }
  std::ifstream in(argument, std::ios::binary);
  if (!in) throw UsageError(argument + " is neither a machine nor a snapshot file");
  std::stringstream text;
  text << in.rdbuf();
  return sim::ParseSnapshot(text.str());
}

}  // namespace

int Snapshot(const Args& args) {
  if (args.size() != 1) throw UsageError("snapshot takes one folder");
  RequireMachine(args[0]);
  std::cout << sim::TakeSnapshot(sim::SimMachine(args[0])).Text();
  return 0;
}

int Diff(const Args& args) {
  if (args.size() != 2) throw UsageError("diff takes two machines or snapshot files");
  std::string differences = sim::DescribeDifferences(SnapshotOf(args[0]), SnapshotOf(args[1]));
  std::cout << differences;
  return differences.empty() ? 0 : 1;
}

}  // namespace qdw::qdwsim
