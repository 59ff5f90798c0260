// A canonical description of what a user could observe on a stand-in machine, so that two
// states can be compared: every file and folder of every drive (content digest, attributes,
// last-write time of files, explicit access lists), the network shares with their settings and
// security, every key and value of every registry hive, and the services' states.
//
// Each item is one line "KIND<TAB>KEY<TAB>FIELDS": KIND is file, folder, junction, share, key,
// value or service; KEY names the item as Windows compares names (upper case, UTF-8); FIELDS hold
// the observable values, the item's own spelling among them. Lines are sorted, so equal states give
// equal text on every run. Left out: last-access times, folders' times and creation times (a
// restore copies files by design, which gives them new ones), the tool's own operation log, the
// SQLite journal beside a database, and the machine's bookkeeping outside its drives (locks,
// faults, logs, opened documents).
//
//   MachineSnapshot before = TakeSnapshot(machine);
//   ... a restore ...
//   EXPECT_EQ(DescribeDifferences(before, TakeSnapshot(machine)), "");
#ifndef QDW_PLATFORM_SIM_MACHINE_SNAPSHOT_H_
#define QDW_PLATFORM_SIM_MACHINE_SNAPSHOT_H_

#include <string>
#include <vector>

#include "platform/sim/sim_machine.h"

namespace qdw::sim {

struct SnapshotOptions {
  // Files whose last-write time differs count as different.
  bool file_write_times = true;
  // Creation times of files count too (off: copies get new ones by design).
  bool creation_times = false;
  bool services = true;
  // Windows paths left out, with everything below them; matched ignoring case. Empty: the tool's
  // operation log (BackupLog.txt in its data folder below the machine's common application data).
  std::vector<std::string> excluded_paths;
};

struct MachineSnapshot {
  std::vector<std::string> lines;  // sorted
  // The lines, each ending with a line break.
  std::string Text() const;
  bool operator==(const MachineSnapshot& o) const { return lines == o.lines; }
  bool operator!=(const MachineSnapshot& o) const { return lines != o.lines; }
};

MachineSnapshot TakeSnapshot(const SimMachine& machine, const SnapshotOptions& options = {});
// Reads the text of Text() back (a snapshot written to a file).
MachineSnapshot ParseSnapshot(const std::string& text);
// The differences from `before` to `after`, one block per item ("- " gone, "+ " new, "~ "
// changed with its old and new fields); empty when the snapshots are equal.
std::string DescribeDifferences(const MachineSnapshot& before, const MachineSnapshot& after);

// The tool's operation log on this machine: BackupLog.txt in the tool's data folder
// (VARNOLD\Quillon Deskora Backup Tool below the common application data folder).
std::string OperationLogPath(const SimMachine& machine);

}  // namespace qdw::sim

#endif  // QDW_PLATFORM_SIM_MACHINE_SNAPSHOT_H_
