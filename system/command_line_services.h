// The stop and start of the product's own services through the command interpreter with NET.
// They run only when the product's "Product_Type" is "2", write "STOP SERVICE" or
// "START SERVICE" to the debugger output, and never fail: what NET does is not looked at.
#ifndef QDW_SYSTEM_COMMAND_LINE_SERVICES_H_
#define QDW_SYSTEM_COMMAND_LINE_SERVICES_H_

#include <string>
#include <vector>

#include "platform/platform.h"
#include "system/wait_cursor.h"
#include "system/wait_limits.h"

namespace qdw::system {

inline constexpr char kWatchFolderService[] = "VNQLNWatchFolderService";
inline constexpr char kShareProxyService[] = "QDW Share Proxy Service";

class CommandLineServices {
 public:
  // `cursor` may be null.
  CommandLineServices(platform::Platform& platform, WaitCursor* cursor, WaitLimits limits = {})
      : platform_(platform), cursor_(cursor), limits_(limits) {}

  // NET STOP of the watch-folder and share proxy services. Returns true.
  bool StopProductServices();
  // NET START of the watch-folder, share proxy and shared-folder services. Returns true.
  bool StartProductServices();

  // The services each step names, in order.
  static std::vector<std::string> StopList();
  static std::vector<std::string> StartList();

 private:
  bool IsEnabled();
  void RunForEach(const std::string& verb, const std::vector<std::string>& services);
  void RunNet(const std::string& program, const std::string& verb, const std::string& service);

  platform::Platform& platform_;
  WaitCursor* cursor_;
  WaitLimits limits_;
};

}  // namespace qdw::system

#endif  // QDW_SYSTEM_COMMAND_LINE_SERVICES_H_
