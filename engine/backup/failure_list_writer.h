// The failure list "BackupFailureLog.txt" in the tool's data folder: for each file the backup
// could not copy because another program held it, the file and its original document.
#ifndef QDW_ENGINE_BACKUP_FAILURE_LIST_WRITER_H_
#define QDW_ENGINE_BACKUP_FAILURE_LIST_WRITER_H_

#include <string>

#include "engine/common/engine_state.h"
#include "engine/journal/journaled_moves.h"
#include "platform/platform.h"

namespace qdw::backup {

inline constexpr char kFailureListName[] = "BackupFailureLog.txt";

// The failure list's text for the state's two lists: three lines per pair, each ending
// with "\r\n"; empty when the lists are empty or differ in length.
std::string FailureListText(const engine::EngineState& state);

// Name stem of the earlier failure list while a backup runs.
inline constexpr char kEarlierListSuffix[] = ".old";

// Re-creates the failure list with FailureListText. The earlier list is set aside (journaled
// through `moves`) and comes back if the backup fails. Raises FrameworkError when the file
// cannot be written.
void WriteFailureList(platform::Platform& platform, const engine::EngineState& state,
                      journal::JournaledMoves& moves, journal::RunJournal& journal);

}  // namespace qdw::backup

#endif  // QDW_ENGINE_BACKUP_FAILURE_LIST_WRITER_H_
