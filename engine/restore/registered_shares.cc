#include "engine/restore/registered_shares.h"

#include <memory>

#include "engine/common/engine_errors.h"
#include "platform/windows_path.h"
#include "security/account_id.h"
#include "security/process_user.h"
#include "system/os_version.h"

namespace qdw::restore {

namespace {

// NetShareEnum answers in batches; a machine with this many batches is answering wrongly.
constexpr int kMaxEnumerationBatches = 100000;

}  // namespace

void CheckShareService(platform::HResult hr, const char* what) {
  if (platform::Failed(hr)) throw engine::FrameworkError(std::string("share service: ") + what);
}

FoundShares FindSharesByPath(platform::Shares& shares, const std::vector<std::string>& paths) {
  std::vector<platform::ShareInfo> all;
  uint32_t resume = 0;
  for (int batch = 0;; ++batch) {
    std::vector<platform::ShareInfo> part;
    const platform::WinError error = shares.Enumerate(&resume, &part);
    if (error != platform::kSuccess && error != platform::kErrorMoreData) {
      all.clear();
      break;
    }
    all.insert(all.end(), part.begin(), part.end());
    if (error == platform::kSuccess) break;
    if (batch >= kMaxEnumerationBatches) {
      all.clear();
      break;
    }
  }
  FoundShares found;
  for (const std::string& path : paths) {
    for (const platform::ShareInfo& share : all) {
      if (!share.name.empty() && share.path && platform::EqualsIgnoreCase(*share.path, path)) {
        found.emplace_back(share.name, path);
      }
    }
  }
  return found;
}

std::string ShareServiceCreator(platform::Platform& platform) {
  security::AccountId user;
  if (!security::ReadProcessUser(platform.accounts(), &user)) return std::string();
  return security::ProcessUserText(user);
}

bool RegisteredShares::RemoveRecordedShares() {
  std::vector<std::string> entries;
  if (!settings_.ReadUserSharedFolders(&entries)) return false;
  std::vector<std::string> paths;
  for (const std::string& entry : entries) {
    const size_t comma = entry.find(',');
    paths.push_back(comma == std::string::npos ? std::string() : entry.substr(comma + 1));
  }
  try {
    const bool use_proxy = system::IsWindowsSixFamily(platform_.system());
    for (const auto& [name, path] : FindSharesByPath(platform_.shares(), paths)) {
      if (use_proxy) {
        DeleteThroughProxy(platform::UpperAnsi(name), path);
      } else {
        platform_.shares().Delete(platform::UpperAnsi(name));
      }
    }
  } catch (const std::exception&) {
    stop_services_();
    return false;
  }
  stop_services_();
  return true;
}

void RegisteredShares::DeleteThroughProxy(const std::string& name, const std::string& path) {
  std::unique_ptr<platform::ShareProxy> proxy;
  CheckShareService(platform_.share_proxy().Create(&proxy), "create");
  if (!proxy) throw engine::FrameworkError("share service: no interface");
  std::string computer;
  if (platform_.system().ComputerName(&computer) != platform::kSuccess) {
    throw engine::FrameworkError("computer name");
  }
  CheckShareService(proxy->SetComputer(computer), "set computer");
  proxy->SetShareName(name);
  proxy->SetPath(path);
  CheckShareService(proxy->DeleteShare(ShareServiceCreator(platform_), 0), "delete share");
}

}  // namespace qdw::restore
