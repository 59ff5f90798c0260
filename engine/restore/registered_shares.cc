#include "engine/restore/registered_shares.h"

#include <memory>

#include "engine/common/engine_errors.h"
#include "platform/windows_path.h"
#include "security/account_id.h"
#include "security/process_user.h"
#include "system/os_version.h"

namespace qdw::restore {

namespace {

// NERR_ServerNotStarted: the Server service, which publishes the shares, is not running.
constexpr platform::WinError kNerrServerNotStarted = 2114;

// NetShareEnum answers in batches; a machine with this many batches is answering wrongly.
constexpr int kMaxEnumerationBatches = 100000;

}  // namespace

void CheckShareService(platform::HResult hr, const char* what) {
  if (platform::Failed(hr)) throw engine::FrameworkError(std::string("share service: ") + what);
}

bool FindSharesByPath(platform::Shares& shares, const std::vector<std::string>& paths,
                      FoundShares* found) {
  found->clear();
  std::vector<platform::ShareInfo> all;
  uint32_t resume = 0;
  for (int batch = 0;; ++batch) {
    std::vector<platform::ShareInfo> part;
    const platform::WinError error = shares.Enumerate(&resume, &part);
    // A machine without a share service (or with its server stopped) publishes no share that
    // could be in the way; any other failure leaves the shares unknown.
    if (batch == 0 && (error == platform::kErrorNotSupported || error == kNerrServerNotStarted)) {
      return true;
    }
    if (error != platform::kSuccess && error != platform::kErrorMoreData) return false;
    all.insert(all.end(), part.begin(), part.end());
    if (error == platform::kSuccess) break;
    if (batch >= kMaxEnumerationBatches) return false;
  }
  for (const std::string& path : paths) {
    for (const platform::ShareInfo& share : all) {
      if (!share.name.empty() && share.path && platform::EqualsIgnoreCase(*share.path, path)) {
        found->emplace_back(share.name, path);
      }
    }
  }
  return true;
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
    FoundShares found;
    // Shares that cannot be listed cannot be removed, and would clash with the archive's.
    if (!FindSharesByPath(platform_.shares(), paths, &found)) {
      throw engine::FrameworkError("shares not listed");
    }
    for (const auto& [name, path] : found) {
      if (use_proxy) {
        DeleteThroughProxy(platform::UpperAnsi(name), path);
        continue;
      }
      // A share that stays would keep the archive's share of that name from coming back.
      const platform::WinError deleted = platform_.shares().Delete(platform::UpperAnsi(name));
      if (deleted != platform::kSuccess && deleted != platform::kNerrNetNameNotFound) {
        throw engine::FrameworkError("share " + name + " not removed");
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
