// The pieces a machine snapshot is made of (machine_snapshot.h): the lines of the drives and the
// lines of the machine's state documents, and the text forms they share.
#ifndef QDW_PLATFORM_SIM_MACHINE_SNAPSHOT_PARTS_H_
#define QDW_PLATFORM_SIM_MACHINE_SNAPSHOT_PARTS_H_

#include <string>
#include <vector>

#include "platform/security_types.h"
#include "platform/sim/machine_snapshot.h"

namespace qdw::sim::snapshot {

// "KIND\tKEY\tFIELDS".
std::string Line(const std::string& kind, const std::string& key, const std::string& fields);
// Text with control characters, "\" and the quote escaped, in quotes.
std::string Quoted(const std::string& text);
// "[allow 0x1F01FF OI|CI S-1-1-0, deny ...]".
std::string AclText(const platform::Acl& acl);
// The key form of a UTF-8 text of the machine: its ANSI letters in upper case, as UTF-8.
std::string FoldedKey(int code_page, const std::string& utf8);

// Every file and folder of the machine's drives.
void AddDriveLines(const SimMachine& machine, const SnapshotOptions& options,
                   std::vector<std::string>* lines);
// Shares, registry hives and services.
void AddStateLines(const SimMachine& machine, const SnapshotOptions& options,
                   std::vector<std::string>* lines);

}  // namespace qdw::sim::snapshot

#endif  // QDW_PLATFORM_SIM_MACHINE_SNAPSHOT_PARTS_H_
