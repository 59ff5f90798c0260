// The shares the current user has registered, found among the machine's shares and removed
// before the archive's shares are put back.
#ifndef QDW_ENGINE_RESTORE_REGISTERED_SHARES_H_
#define QDW_ENGINE_RESTORE_REGISTERED_SHARES_H_

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/platform.h"
#include "settings/product_settings.h"

namespace qdw::restore {

// (share name, the folder path it was found for), in the order of the given paths.
using FoundShares = std::vector<std::pair<std::string, std::string>>;

// The machine's shares whose folder is one of `paths`, compared ignoring case as Windows
// compares paths. False when the shares cannot be listed, or the listing never ends (cut off
// after a generous number of batches).
bool FindSharesByPath(platform::Shares& shares, const std::vector<std::string>& paths,
                      FoundShares* found);

// Raises engine::FrameworkError when a call of the share service failed.
void CheckShareService(platform::HResult hr, const char* what);

// The user of the process as the share service knows it ("domain/account"); empty when unknown.
std::string ShareServiceCreator(platform::Platform& platform);

class RegisteredShares {
 public:
  // `stop_services` is the engine's StopServicesForRestore.
  RegisteredShares(platform::Platform& platform, settings::ProductSettings& settings,
                   std::function<void()> stop_services)
      : platform_(platform), settings_(settings), stop_services_(std::move(stop_services)) {}

  // Deletes the shares of the user's registered folders (through the share service on class
  // 6). The folders themselves stay: the restore replaces only those the archive brings back.
  // False when the registered list cannot be read or a share cannot be deleted.
  bool RemoveRecordedShares();

 private:
  void DeleteThroughProxy(const std::string& name, const std::string& path);

  platform::Platform& platform_;
  settings::ProductSettings& settings_;
  std::function<void()> stop_services_;
};

}  // namespace qdw::restore

#endif  // QDW_ENGINE_RESTORE_REGISTERED_SHARES_H_
