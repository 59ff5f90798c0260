// The kinds of change a run journals, each written before its change is made and carrying
// everything its undo needs, and what undoing one and cleaning up after a kept run do.
//
// Every step checks before it acts and acts only on what the run itself made or set aside,
// so it may run again after being interrupted, and a record whose change never happened
// (the record was made durable, then the change failed) undoes to nothing.
#ifndef QDW_ENGINE_JOURNAL_JOURNAL_CHANGES_H_
#define QDW_ENGINE_JOURNAL_JOURNAL_CHANGES_H_

#include <string>
#include <vector>

#include "engine/common/engine_state.h"
#include "engine/journal/journal_record.h"
#include "platform/platform.h"

namespace qdw::journal {

// Record kinds. The run's own bookkeeping first.
inline constexpr char kRecordBegin[] = "begin";        // operation ("backup", "restore")
inline constexpr char kRecordServices[] = "services";  // the services that ran at the start
inline constexpr char kRecordCommit[] = "commit";      // from here on the run is kept
inline constexpr char kRecordUndone[] = "undone";      // sequence of a record whose undo is done
inline constexpr char kRecordDone[] = "done";  // sequence of a record whose clean-up is done
// Changes.
inline constexpr char kRecordWorkFolder[] = "work-folder";  // path: removed in either case
inline constexpr char kRecordCreated[] = "created";  // path where nothing was: removed on undo
inline constexpr char kRecordKept[] = "kept";        // original, kept path: moved back on undo,
                                                     // removed once the run is kept
inline constexpr char kRecordAttributes[] = "attributes";       // path, old attributes
inline constexpr char kRecordDacl[] = "dacl";                   // path, old access list
inline constexpr char kRecordShareRemoved[] = "share-removed";  // the share's information
inline constexpr char kRecordShareAdded[] = "share-added";      // name, path
inline constexpr char kRecordKeyCreated[] = "key-created";      // hive, key
inline constexpr char kRecordKeyRemoved[] = "key-removed";      // hive, key, (name, type, data)...
inline constexpr char kRecordValueSet[] = "value-set";  // hive, key, name, old type or "absent",
                                                        // old data

JournalRecord BeginRecord(const std::string& operation);
JournalRecord ServicesRecord(const std::vector<std::string>& running);
JournalRecord WorkFolderRecord(const std::string& path);
JournalRecord CreatedRecord(const std::string& path);
JournalRecord KeptRecord(const std::string& original, const std::string& kept);
JournalRecord AttributesRecord(const std::string& path, uint32_t attributes);
JournalRecord DaclRecord(const std::string& path, bool present, const platform::Acl& dacl);
JournalRecord ShareRemovedRecord(const platform::ShareInfo& share);
JournalRecord ShareAddedRecord(const std::string& name, const std::string& path);
JournalRecord KeyCreatedRecord(platform::Hive hive, const std::string& key);
struct RegistryValue {
  std::string name;
  uint32_t type = 0;
  std::vector<uint8_t> data;
};
JournalRecord KeyRemovedRecord(platform::Hive hive, const std::string& key,
                               const std::vector<RegistryValue>& values);
// `old` empty: the value did not exist.
JournalRecord ValueSetRecord(platform::Hive hive, const std::string& key, const std::string& name,
                             const std::vector<RegistryValue>& old);

// The four services a run may stop, in the order they are started again.
std::vector<std::string> ProductServiceNames();

enum class StepResult {
  kNothingToDo,  // already as it must be
  kDone,         // changed something back
  kFailed,       // could not; the step stays pending
};

class ChangeActions {
 public:
  // Undo and clean-up act on the machine directly: `platform` must not journal.
  ChangeActions(platform::Platform& platform, engine::EngineState& state)
      : platform_(platform), state_(state) {}

  // Undoes one change. `item` names what was put back (or what could not be), for the user.
  StepResult Undo(const JournalRecord& record, std::string* item);
  // After the run was kept: removes what the change set aside.
  StepResult CleanUp(const JournalRecord& record, std::string* item);
  // Starts again the services the record lists that do not run.
  StepResult StartServices(const JournalRecord& record, std::string* item);

 private:
  StepResult RemovePath(const std::string& path);
  StepResult MoveBack(const std::string& original, const std::string& kept);
  StepResult PutAttributesBack(const JournalRecord& record);
  StepResult PutDaclBack(const JournalRecord& record);
  StepResult AddShareBack(const JournalRecord& record);
  StepResult RemoveAddedShare(const JournalRecord& record);
  StepResult RemoveCreatedKey(const JournalRecord& record);
  StepResult AddKeyBack(const JournalRecord& record);
  StepResult PutValueBack(const JournalRecord& record);
  StepResult StartService(const std::string& name);

  platform::Platform& platform_;
  engine::EngineState& state_;
};

}  // namespace qdw::journal

#endif  // QDW_ENGINE_JOURNAL_JOURNAL_CHANGES_H_
