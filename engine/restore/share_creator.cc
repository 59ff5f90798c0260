#include "engine/restore/share_creator.h"

#include <memory>

#include "engine/restore/registered_shares.h"
#include "platform/file_checks.h"
#include "platform/windows_path.h"
#include "security/account_id.h"
#include "security/dacl_builder.h"
#include "security/dacl_security_descriptor.h"
#include "security/share_permission_codes.h"
#include "system/os_version.h"

namespace qdw::restore {

namespace {

using platform::kSuccess;

// The next name to try for a taken share name: `taken` gets "_bak" appended, and past the
// longest name a share can have the base loses its last character instead. False once the
// base is too short to shorten: every name has been tried. Both rename loops end there.
bool NextShareName(std::string* taken, std::string* base) {
  *taken += "_bak";
  if (base->size() < 2) return false;
  while (taken->size() > kMaxShareNameLength) {
    base->pop_back();
    *taken = *base + "_bak";
  }
  return true;
}

}  // namespace

void ShareCreator::CreateShares(const RecordedShares& shares, CreatedShares* created) {
  std::string user;
  if (platform_.system().UserName(&user) != kSuccess) user.clear();
  if (user.size() > settings::kMaxUserNameLength) user.resize(settings::kMaxUserNameLength);
  *created = CreatedShares();
  const bool use_proxy = system::IsWindowsSixFamily(platform_.system());
  for (size_t i = 0; i < shares.size(); ++i) {
    const Line line{shares.names[i], shares.paths[i], shares.data_flags[i]};
    std::unique_ptr<platform::ShareProxy> proxy;
    if (use_proxy) {
      const platform::HResult hr = platform_.share_proxy().Create(&proxy);
      CheckShareService(hr, "create object");
      if (!proxy) CheckShareService(platform::kEFail, "no interface");
    }
    try {
      const ShareDetails details = DetailsFor(shares, i, use_proxy, user);
      platform::ShareInfo record = Record(details, line.path, proxy.get());
      if (use_proxy) {
        CreateThroughProxy(line, details, record, *proxy, created);
      } else {
        CreateDirect(line, record, created);
      }
    } catch (...) {
      // The share service failed on this share: it is the one the user is told of.
      if (created->refused.empty()) created->refused = shares.names[i];
      throw;
    }
  }
}

ShareDetails ShareCreator::DetailsFor(const RecordedShares& shares, size_t i, bool use_proxy,
                                      const std::string& user) {
  ShareDetails defaults;
  defaults.name = shares.names[i];
  defaults.remark =
      "Quillon Deskora " + prompts_.LoadText(kDefaultRemarkStringId) + " -" + shares.names[i];
  defaults.permissions.emplace_back(user, "6");
  const bool parse = (use_proxy || shares.source_kind == kSourceNt) && shares.details[i] != "\\";
  ShareDetails parsed;
  if (!parse || !ParseShareDetails(shares.details[i], &parsed)) return defaults;
  // A share name that could not stand as a share keeps the line's own (checked) name.
  if (!IsSafeShareName(parsed.name)) return defaults;
  if (parsed.permissions.empty()) parsed.permissions = defaults.permissions;
  return parsed;
}

platform::ShareInfo ShareCreator::Record(const ShareDetails& details, const std::string& path,
                                         platform::ShareProxy* proxy) {
  security::DaclBuilder dacl;
  for (const auto& [account, code_text] : details.permissions) {
    const int code = LeadingInteger(code_text);
    const security::AccountId id = security::AccountId::FromName(platform_.accounts(), account);
    if (id.IsValid()) {
      const security::SharePermission permission = security::PermissionForCode(code);
      if (permission.kind == security::AceKind::kDenied) {
        dacl.AddDenied(id, permission.mask);
      } else {
        dacl.AddAllowed(id, permission.mask);
      }
    }
    if (proxy != nullptr) {
      const security::ShareProxyPermission p = security::ProxyPermissionForCode(code);
      CheckShareService(proxy->AddPermission(id.IsValid() ? account : std::string(), p.allow,
                                             p.full_control, p.change, p.read),
                        "add permission");
    }
  }
  security::DaclSecurityDescriptor descriptor;
  descriptor.SetDacl(dacl);
  platform::ShareInfo record;
  record.name = details.name;
  record.remark = details.remark;
  record.max_uses = details.max_users;
  record.path = path;
  record.security = descriptor.descriptor();
  return record;
}

bool ShareCreator::AddUnlessNameTaken(const platform::ShareInfo& record, CreatedShares* created) {
  const platform::WinError answer = platform_.shares().Add(record);
  if (answer == platform::kNerrDuplicateShare) return false;
  if (answer != kSuccess && created->all_added) {
    created->all_added = false;
    created->refused = record.name;
  }
  return true;
}

void ShareCreator::CreateDirect(const Line& line, platform::ShareInfo record,
                                CreatedShares* created) {
  const std::string name = record.name;
  if (AddUnlessNameTaken(record, created)) {
    created->names.push_back(name);
    created->paths.push_back(line.path);
    return;
  }
  std::string repository;
  if (!settings_.ReadUserRepositoryPath(&repository)) repository.clear();
  const std::string data_folder = repository + "\\VARNOLD\\QDW\\QUILLON DESKORA\\";
  std::string taken = name;  // U
  std::string base = name;   // V
  std::string target = line.path;
  std::string source = line.path;
  for (;;) {
    if (!NextShareName(&taken, &base)) {
      // The folder went along with the names tried; it goes back to where it is recorded.
      if (source != line.path) {
        if (!platform::PathExists(platform_.files(), line.path)) {
          platform_.files().MakeFolder(line.path);
        }
        trees_.MoveTree(source, line.path);
      }
      created->names.push_back(name);
      created->paths.push_back(line.path);
      return;
    }
    if (line.data_flag == "1") {
      target = data_folder + taken;
      if (platform::PathExists(platform_.files(), target)) continue;
      if (platform_.files().MakeFolder(target) == kSuccess) {
        if (trees_.MoveTree(source, target) != 0) platform_.files().RemoveFolder(source);
        source = target;
      }
      record.path = target;
    }
    record.name = taken;
    if (!AddUnlessNameTaken(record, created)) continue;
    created->names.push_back(taken);
    created->paths.push_back(target);
    return;
  }
}

void ShareCreator::CreateThroughProxy(const Line& line, const ShareDetails& details,
                                      platform::ShareInfo record, platform::ShareProxy& proxy,
                                      CreatedShares* created) {
  std::string computer;
  if (platform_.system().ComputerName(&computer) != kSuccess) computer.clear();
  std::string creator = ShareServiceCreator(platform_);
  if (creator.empty() && platform_.system().UserName(&creator) != kSuccess) creator.clear();
  for (size_t at = platform::FindSeparator(creator); at != std::string::npos;
       at = platform::FindSeparator(creator, at + 1)) {
    creator[at] = '/';
  }
  std::string name = details.name;
  CheckShareService(proxy.SetComputer(computer), "set computer");
  CheckShareService(proxy.SetRemark(details.remark), "set remark");
  CheckShareService(proxy.SetPath(line.path), "set path");
  CheckShareService(proxy.SetShareName(name), "set share name");
  CheckShareService(proxy.SetMaxUsers(details.max_users), "set maximum users");
  CheckShareService(proxy.SetOption(12), "set option");
  bool recorded = false;
  const platform::HResult taken = proxy.CheckShareName(1);
  if (taken == platform::kSOk) {
    // The service's own loop has no end: a failing check, or running out of names the way the
    // direct path does, ends it as a failed share step.
    std::string base = name;
    for (;;) {
      if (!NextShareName(&name, &base)) CheckShareService(platform::kEFail, "no free share name");
      CheckShareService(proxy.SetPath(line.path), "set path");
      CheckShareService(proxy.SetShareName(name), "set share name");
      const platform::HResult free = proxy.CheckShareName(1);
      CheckShareService(free, "check share name");
      if (free != platform::kSFalse) continue;
      record.name = name;
      if (line.data_flag == "1") record.path = line.path;
      if (AddUnlessNameTaken(record, created)) break;
    }
    created->names.push_back(name);
    created->paths.push_back(line.path);
    recorded = true;
  } else if (taken == platform::kSFalse && proxy.CheckPath() == platform::kSOk) {
    created->names.push_back(name);
    created->paths.push_back(line.path);
    recorded = true;
  } else {
    CheckShareService(proxy.CreateShare(creator, 0), "create share");
  }
  CheckShareService(proxy.BeforeFinish(0), "before finish");
  CheckShareService(proxy.Finish(), "finish");
  if (!recorded) {
    created->names.push_back(name);
    created->paths.push_back(line.path);
  }
}

}  // namespace qdw::restore
