// Re-creates the recorded shares with their remarks, user limits and permissions: directly
// with NetShareAdd, or through the product's share service on version class 6. A share name
// that is taken gets "_bak" appended until it is free.
#ifndef QDW_ENGINE_RESTORE_SHARE_CREATOR_H_
#define QDW_ENGINE_RESTORE_SHARE_CREATOR_H_

#include <string>
#include <vector>

#include "engine/common/file_tree_operations.h"
#include "engine/common/prompts.h"
#include "engine/restore/share_details.h"
#include "engine/restore/share_info_reader.h"
#include "platform/platform.h"

namespace qdw::restore {

// Longest share name a renamed share gets (the system refuses longer ones).
inline constexpr size_t kMaxShareNameLength = 80;
// String of the resource module in the default remark.
inline constexpr int kDefaultRemarkStringId = 163;

struct CreatedShares {
  std::vector<std::string> names;
  std::vector<std::string> paths;
  // False when the system refused a share for another reason than a taken name.
  bool all_added = true;
  // The name of the first share refused so, for the user.
  std::string refused;
};

class ShareCreator {
 public:
  ShareCreator(platform::Platform& platform, engine::Prompts& prompts,
               settings::ProductSettings& settings, engine::FileTreeOperations& trees)
      : platform_(platform), prompts_(prompts), settings_(settings), trees_(trees) {}

  // Creates every recorded share; `created` receives the names and paths the shares got.
  // Raises engine::FrameworkError when a share service call fails; the shares made for earlier
  // lines stay.
  void CreateShares(const RecordedShares& shares, CreatedShares* created);

 private:
  struct Line {
    std::string name;
    std::string path;
    std::string data_flag;
  };

  ShareDetails DetailsFor(const RecordedShares& shares, size_t i, bool use_proxy,
                          const std::string& user);
  platform::ShareInfo Record(const ShareDetails& details, const std::string& path,
                             platform::ShareProxy* proxy);
  // Adds the share; false when its name is taken (the caller tries another name).
  bool AddUnlessNameTaken(const platform::ShareInfo& record, CreatedShares* created);
  void CreateDirect(const Line& line, platform::ShareInfo record, CreatedShares* created);
  void CreateThroughProxy(const Line& line, const ShareDetails& details, platform::ShareInfo record,
                          platform::ShareProxy& proxy, CreatedShares* created);

  platform::Platform& platform_;
  engine::Prompts& prompts_;
  settings::ProductSettings& settings_;
  engine::FileTreeOperations& trees_;
};

}  // namespace qdw::restore

#endif  // QDW_ENGINE_RESTORE_SHARE_CREATOR_H_
