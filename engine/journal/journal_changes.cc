#include "engine/journal/journal_changes.h"

#include "engine/common/tree_remover.h"
#include "system/command_line_services.h"
#include "system/service_control.h"

namespace qdw::journal {
namespace {

using platform::kSuccess;

constexpr uint32_t kSettableAttributes = platform::kAttrReadOnly | platform::kAttrHidden |
                                         platform::kAttrSystem | platform::kAttrArchive;

JournalRecord Make(const char* kind, std::vector<std::string> fields) {
  JournalRecord record;
  record.kind = kind;
  record.fields = std::move(fields);
  return record;
}

}  // namespace

JournalRecord BeginRecord(const std::string& operation) { return Make(kRecordBegin, {operation}); }

JournalRecord ServicesRecord(const std::vector<std::string>& running) {
  return Make(kRecordServices, running);
}

JournalRecord WorkFolderRecord(const std::string& path) { return Make(kRecordWorkFolder, {path}); }

JournalRecord CreatedRecord(const std::string& path) { return Make(kRecordCreated, {path}); }

JournalRecord KeptRecord(const std::string& original, const std::string& kept) {
  return Make(kRecordKept, {original, kept});
}

JournalRecord AttributesRecord(const std::string& path, uint32_t attributes) {
  return Make(kRecordAttributes, {path, NumberField(attributes)});
}

JournalRecord DaclRecord(const std::string& path, bool present, const platform::Acl& dacl) {
  return Make(kRecordDacl, {path, AclField(present, dacl)});
}

JournalRecord ShareRemovedRecord(const platform::ShareInfo& share) {
  return Make(kRecordShareRemoved, ShareFields(share));
}

JournalRecord ShareAddedRecord(const std::string& name, const std::string& path) {
  return Make(kRecordShareAdded, {name, path});
}

JournalRecord KeyCreatedRecord(platform::Hive hive, const std::string& key) {
  return Make(kRecordKeyCreated, {HiveField(hive), key});
}

JournalRecord KeyRemovedRecord(platform::Hive hive, const std::string& key,
                               const std::vector<RegistryValue>& values) {
  JournalRecord record = Make(kRecordKeyRemoved, {HiveField(hive), key});
  for (const RegistryValue& value : values) {
    record.fields.push_back(value.name);
    record.fields.push_back(NumberField(value.type));
    record.fields.push_back(HexField(value.data));
  }
  return record;
}

JournalRecord ValueSetRecord(platform::Hive hive, const std::string& key, const std::string& name,
                             const std::vector<RegistryValue>& old) {
  if (old.empty()) return Make(kRecordValueSet, {HiveField(hive), key, name, "absent", ""});
  return Make(kRecordValueSet,
              {HiveField(hive), key, name, NumberField(old[0].type), HexField(old[0].data)});
}

std::vector<std::string> ProductServiceNames() {
  return {system::kIndexingService, system::kWatchFolderService, system::kShareProxyService,
          system::kSharedFolderService};
}

StepResult ChangeActions::Undo(const JournalRecord& record, std::string* item) {
  const std::string& kind = record.kind;
  *item = record.Field(0);
  if (kind == kRecordWorkFolder || kind == kRecordCreated) return RemovePath(record.Field(0));
  if (kind == kRecordKept) return MoveBack(record.Field(0), record.Field(1));
  if (kind == kRecordAttributes) return PutAttributesBack(record);
  if (kind == kRecordDacl) return PutDaclBack(record);
  if (kind == kRecordShareRemoved || kind == kRecordShareAdded) {
    std::string computer;
    if (platform_.system().ComputerName(&computer) != kSuccess) computer.clear();
    *item = "\\\\" + computer + "\\" + record.Field(0);
    return kind == kRecordShareRemoved ? AddShareBack(record) : RemoveAddedShare(record);
  }
  if (kind == kRecordKeyCreated || kind == kRecordKeyRemoved || kind == kRecordValueSet) {
    platform::Hive hive = platform::Hive::kLocalMachine;
    ParseHiveField(record.Field(0), &hive);
    *item = std::string(platform::HiveRootName(hive)) + "\\" + record.Field(1);
    if (kind == kRecordKeyCreated) return RemoveCreatedKey(record);
    return kind == kRecordKeyRemoved ? AddKeyBack(record) : PutValueBack(record);
  }
  // Bookkeeping, or a kind this build does not know: nothing to undo.
  item->clear();
  return StepResult::kNothingToDo;
}

StepResult ChangeActions::CleanUp(const JournalRecord& record, std::string* item) {
  if (record.kind == kRecordWorkFolder) {
    *item = record.Field(0);
    return RemovePath(record.Field(0));
  }
  if (record.kind == kRecordKept) {
    *item = record.Field(1);
    return RemovePath(record.Field(1));
  }
  item->clear();
  return StepResult::kNothingToDo;
}

StepResult ChangeActions::RemovePath(const std::string& path) {
  platform::FileSystem& files = platform_.files();
  uint32_t attributes = 0;
  const platform::WinError read = files.ReadAttributes(path, &attributes);
  if (read == platform::kErrorFileNotFound || read == platform::kErrorPathNotFound) {
    return StepResult::kNothingToDo;
  }
  if (read != kSuccess || path.empty()) return StepResult::kFailed;
  if ((attributes & platform::kAttrReadOnly) != 0) {
    const uint32_t kept =
        attributes & (platform::kAttrHidden | platform::kAttrSystem | platform::kAttrArchive);
    files.WriteAttributes(path, kept == 0 ? platform::kAttrNormal : kept);
  }
  // A junction goes as a link; walking into it would empty its target.
  if ((attributes & platform::kAttrReparsePoint) != 0) {
    return files.RemoveFolder(path) == kSuccess ? StepResult::kDone : StepResult::kFailed;
  }
  if ((attributes & platform::kAttrDirectory) != 0) {
    engine::TreeRemover remover(files, state_);
    return remover.RemoveTree(path, engine::ReadOnlyHandling::kClear) ? StepResult::kDone
                                                                      : StepResult::kFailed;
  }
  return files.Delete(path) == kSuccess ? StepResult::kDone : StepResult::kFailed;
}

StepResult ChangeActions::MoveBack(const std::string& original, const std::string& kept) {
  platform::FileSystem& files = platform_.files();
  uint32_t attributes = 0;
  const platform::WinError read = files.ReadAttributes(kept, &attributes);
  if (read == platform::kErrorFileNotFound || read == platform::kErrorPathNotFound) {
    return StepResult::kNothingToDo;
  }
  if (read != kSuccess) return StepResult::kFailed;
  uint32_t unused = 0;
  // Whatever took the original's place was made by the run and is undone before this step;
  // something still there is not the run's to remove.
  if (files.ReadAttributes(original, &unused) == kSuccess) return StepResult::kFailed;
  const platform::WinError moved = (attributes & platform::kAttrDirectory) != 0
                                       ? files.Move(kept, original)
                                       : files.Replace(kept, original);
  return moved == kSuccess ? StepResult::kDone : StepResult::kFailed;
}

StepResult ChangeActions::PutAttributesBack(const JournalRecord& record) {
  uint64_t old = 0;
  if (!ParseNumberField(record.Field(1), &old)) return StepResult::kFailed;
  platform::FileSystem& files = platform_.files();
  uint32_t current = 0;
  const platform::WinError read = files.ReadAttributes(record.Field(0), &current);
  if (read == platform::kErrorFileNotFound || read == platform::kErrorPathNotFound) {
    return StepResult::kNothingToDo;
  }
  if (read != kSuccess) return StepResult::kFailed;
  const uint32_t wanted = static_cast<uint32_t>(old) & kSettableAttributes;
  if ((current & kSettableAttributes) == wanted) return StepResult::kNothingToDo;
  return files.WriteAttributes(record.Field(0), wanted == 0 ? platform::kAttrNormal : wanted) ==
                 kSuccess
             ? StepResult::kDone
             : StepResult::kFailed;
}

StepResult ChangeActions::PutDaclBack(const JournalRecord& record) {
  bool present = false;
  platform::Acl old;
  if (!ParseAclField(record.Field(1), &present, &old)) return StepResult::kFailed;
  if (!present) return StepResult::kNothingToDo;  // a file system without access lists
  platform::FileSystem& files = platform_.files();
  bool now_present = false;
  platform::Acl now;
  const platform::WinError read = files.ReadDacl(record.Field(0), &now_present, &now);
  if (read == platform::kErrorFileNotFound || read == platform::kErrorPathNotFound) {
    return StepResult::kNothingToDo;
  }
  if (read != kSuccess) return StepResult::kFailed;
  if (now_present && now == old) return StepResult::kNothingToDo;
  return files.WriteDacl(record.Field(0), old) == kSuccess ? StepResult::kDone
                                                           : StepResult::kFailed;
}

StepResult ChangeActions::StartServices(const JournalRecord& record, std::string* item) {
  item->clear();
  StepResult result = StepResult::kNothingToDo;
  for (const std::string& name : record.fields) {
    const StepResult one = StartService(name);
    if (one == StepResult::kNothingToDo) continue;
    if (!item->empty()) *item += ", ";
    *item += name;
    if (result != StepResult::kFailed) result = one;
  }
  return result;
}

}  // namespace qdw::journal
