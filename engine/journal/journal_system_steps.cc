// The undo steps of shares, registry keys and values, and the start of stopped services.
#include <memory>

#include "engine/journal/journal_changes.h"
#include "platform/windows_path.h"
#include "security/account_id.h"
#include "security/process_user.h"
#include "security/share_permission_codes.h"

namespace qdw::journal {
namespace {

using platform::kSuccess;
using platform::RegistryKey;

constexpr uint32_t kReadWrite =
    platform::kKeyRead | platform::kKeyWrite | platform::kKeyEnumerateSubKeys;
// The option every share the product's share service creates is given.
constexpr int32_t kProxyShareOption = 12;
// Polls of a service on its way to a state, and the pause between them.
constexpr int kServicePolls = 150;
constexpr uint32_t kServicePollMs = 200;
// Registry values are read whole: nothing the tool writes comes near this.
constexpr uint32_t kValueBufferSize = 1 << 20;

bool SameValue(RegistryKey& key, const std::string& name, uint32_t type,
               const std::vector<uint8_t>& data) {
  uint32_t now_type = 0;
  std::vector<uint8_t> now;
  return key.QueryValue(name, kValueBufferSize, &now_type, &now) == kSuccess && now_type == type &&
         now == data;
}

// The product's share service acts for its own service account, so it can put shares back
// for a user who may not manage shares himself.
class ProxyShares {
 public:
  explicit ProxyShares(platform::Platform& platform) : platform_(platform) {}

  bool Add(const platform::ShareInfo& share) {
    std::unique_ptr<platform::ShareProxy> proxy;
    if (!Open(share.name, share.path.value_or(""), &proxy)) return false;
    if (platform::Failed(proxy->SetRemark(share.remark.value_or(""))) ||
        platform::Failed(proxy->SetMaxUsers(share.max_uses)) ||
        platform::Failed(proxy->SetOption(kProxyShareOption))) {
      return false;
    }
    if (share.security && share.security->dacl_present) {
      for (const platform::Ace& ace : share.security->dacl.entries) {
        const security::AceKind kind = ace.type == platform::kAceAccessDenied
                                           ? security::AceKind::kDenied
                                           : security::AceKind::kAllowed;
        const security::ShareProxyPermission p =
            security::ProxyPermissionForCode(security::CodeForEntry(kind, ace.mask));
        std::string account;
        std::string domain;
        if (platform_.accounts().LookupSid("", ace.sid, &account, &domain) != kSuccess) continue;
        if (platform::Failed(
                proxy->AddPermission(account, p.allow, p.full_control, p.change, p.read))) {
          return false;
        }
      }
    }
    return !platform::Failed(proxy->CreateShare(Creator(), 0)) &&
           !platform::Failed(proxy->BeforeFinish(0)) && !platform::Failed(proxy->Finish());
  }

  bool Delete(const std::string& name, const std::string& path) {
    std::unique_ptr<platform::ShareProxy> proxy;
    return Open(platform::UpperAnsi(name), path, &proxy) &&
           !platform::Failed(proxy->DeleteShare(Creator(), 0));
  }

 private:
  bool Open(const std::string& name, const std::string& path,
            std::unique_ptr<platform::ShareProxy>* proxy) {
    std::string computer;
    if (platform::Failed(platform_.share_proxy().Create(proxy)) || !*proxy ||
        platform_.system().ComputerName(&computer) != kSuccess) {
      return false;
    }
    return !platform::Failed((*proxy)->SetComputer(computer)) &&
           !platform::Failed((*proxy)->SetShareName(name)) &&
           !platform::Failed((*proxy)->SetPath(path));
  }

  std::string Creator() {
    security::AccountId user;
    if (!security::ReadProcessUser(platform_.accounts(), &user)) return std::string();
    std::string creator = security::ProcessUserText(user);
    for (char& c : creator) {
      if (c == '\\') c = '/';
    }
    return creator;
  }

  platform::Platform& platform_;
};

}  // namespace

StepResult ChangeActions::AddShareBack(const JournalRecord& record) {
  platform::ShareInfo share;
  if (!ParseShareFields(record.fields, 0, &share)) return StepResult::kFailed;
  platform::ShareInfo existing;
  const platform::WinError found = platform_.shares().GetInfo(share.name, &existing);
  // A share of that name is there: the removal never happened, or it was put back already.
  if (found == kSuccess) return StepResult::kNothingToDo;
  if (found != platform::kNerrNetNameNotFound) return StepResult::kFailed;
  share.current_uses = 0;
  const platform::WinError added = platform_.shares().Add(share);
  if (added == kSuccess) return StepResult::kDone;
  if (added == platform::kErrorAccessDenied && ProxyShares(platform_).Add(share)) {
    return StepResult::kDone;
  }
  return StepResult::kFailed;
}

StepResult ChangeActions::RemoveAddedShare(const JournalRecord& record) {
  const std::string& name = record.Field(0);
  const std::string& path = record.Field(1);
  platform::ShareInfo existing;
  const platform::WinError found = platform_.shares().GetInfo(name, &existing);
  if (found == platform::kNerrNetNameNotFound) return StepResult::kNothingToDo;
  if (found != kSuccess) return StepResult::kFailed;
  // A share of that name on another folder is not the one the run made.
  if (!existing.path || !platform::EqualsIgnoreCase(*existing.path, path)) {
    return StepResult::kNothingToDo;
  }
  const platform::WinError removed = platform_.shares().Delete(name);
  if (removed == kSuccess) return StepResult::kDone;
  if (removed == platform::kErrorAccessDenied && ProxyShares(platform_).Delete(name, path)) {
    return StepResult::kDone;
  }
  return StepResult::kFailed;
}

StepResult ChangeActions::RemoveCreatedKey(const JournalRecord& record) {
  platform::Hive hive = platform::Hive::kLocalMachine;
  if (!ParseHiveField(record.Field(0), &hive)) return StepResult::kFailed;
  const std::string& key = record.Field(1);
  std::unique_ptr<RegistryKey> handle;
  const platform::WinError opened =
      platform_.registry().OpenKey(hive, key, platform::kKeyRead, &handle);
  if (opened == platform::kErrorFileNotFound) return StepResult::kNothingToDo;
  if (opened != kSuccess) return StepResult::kFailed;
  handle.reset();
  const size_t slash = platform::FindLastSeparator(key);
  if (slash == std::string::npos) return StepResult::kFailed;
  std::unique_ptr<RegistryKey> parent;
  if (platform_.registry().OpenKey(hive, key.substr(0, slash), kReadWrite, &parent) != kSuccess) {
    return StepResult::kFailed;
  }
  return parent->DeleteSubKey(key.substr(slash + 1)) == kSuccess ? StepResult::kDone
                                                                 : StepResult::kFailed;
}

StepResult ChangeActions::AddKeyBack(const JournalRecord& record) {
  platform::Hive hive = platform::Hive::kLocalMachine;
  if (!ParseHiveField(record.Field(0), &hive) || (record.fields.size() - 2) % 3 != 0) {
    return StepResult::kFailed;
  }
  std::unique_ptr<RegistryKey> key;
  bool created = false;
  if (platform_.registry().CreateKey(hive, record.Field(1), kReadWrite, &key, &created) !=
      kSuccess) {
    return StepResult::kFailed;
  }
  StepResult result = created ? StepResult::kDone : StepResult::kNothingToDo;
  for (size_t i = 2; i + 2 < record.fields.size(); i += 3) {
    uint64_t type = 0;
    std::vector<uint8_t> data;
    if (!ParseNumberField(record.fields[i + 1], &type) ||
        !ParseHexField(record.fields[i + 2], &data)) {
      return StepResult::kFailed;
    }
    const uint32_t value_type = static_cast<uint32_t>(type);
    if (SameValue(*key, record.fields[i], value_type, data)) continue;
    if (key->SetValue(record.fields[i], value_type, data) != kSuccess) return StepResult::kFailed;
    result = StepResult::kDone;
  }
  return result;
}

StepResult ChangeActions::PutValueBack(const JournalRecord& record) {
  platform::Hive hive = platform::Hive::kLocalMachine;
  if (!ParseHiveField(record.Field(0), &hive)) return StepResult::kFailed;
  std::unique_ptr<RegistryKey> key;
  const platform::WinError opened =
      platform_.registry().OpenKey(hive, record.Field(1), kReadWrite, &key);
  // The key went with a later change's undo, or never existed: the value has no place.
  if (opened == platform::kErrorFileNotFound) return StepResult::kNothingToDo;
  if (opened != kSuccess) return StepResult::kFailed;
  const std::string& name = record.Field(2);
  if (record.Field(3) == "absent") {
    uint32_t type = 0;
    std::vector<uint8_t> data;
    const platform::WinError read = key->QueryValue(name, kValueBufferSize, &type, &data);
    if (read == platform::kErrorFileNotFound) return StepResult::kNothingToDo;
    return key->DeleteValue(name) == kSuccess ? StepResult::kDone : StepResult::kFailed;
  }
  uint64_t type = 0;
  std::vector<uint8_t> data;
  if (!ParseNumberField(record.Field(3), &type) || !ParseHexField(record.Field(4), &data)) {
    return StepResult::kFailed;
  }
  if (SameValue(*key, name, static_cast<uint32_t>(type), data)) return StepResult::kNothingToDo;
  return key->SetValue(name, static_cast<uint32_t>(type), data) == kSuccess ? StepResult::kDone
                                                                            : StepResult::kFailed;
}

StepResult ChangeActions::StartService(const std::string& name) {
  std::unique_ptr<platform::ServiceDatabase> manager;
  if (platform_.services().Connect(platform::kGenericExecute, &manager) != kSuccess) {
    return StepResult::kFailed;
  }
  std::unique_ptr<platform::Service> service;
  const platform::WinError opened = manager->OpenServiceByName(
      name, platform::kServiceQueryStatus | platform::kServiceStart, &service);
  if (opened == platform::kErrorServiceDoesNotExist) return StepResult::kNothingToDo;
  if (opened != kSuccess) return StepResult::kFailed;
  bool started = false;
  // A service the run left on its way to stopped gets there first; one that runs is done.
  for (int poll = 0; poll < kServicePolls; ++poll) {
    platform::ServiceStatus status;
    if (service->QueryStatus(&status) != kSuccess) return StepResult::kFailed;
    if (status.current_state == platform::kServiceRunning) {
      return started ? StepResult::kDone : StepResult::kNothingToDo;
    }
    if (status.current_state == platform::kServiceStopped) {
      if (started) return StepResult::kFailed;  // it fell back while starting
      const platform::WinError start = service->Start();
      if (start != kSuccess && start != platform::kErrorServiceAlreadyRunning) {
        return StepResult::kFailed;
      }
      started = true;
      continue;
    }
    platform_.system().Sleep(kServicePollMs);
  }
  return StepResult::kFailed;
}

}  // namespace qdw::journal
