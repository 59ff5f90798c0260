// `CBackupApp`: the program's start-up. Loads the resource module, keeps a second copy from
// running, checks the product, and shows the operation choice dialog; when the chain of
// dialogs has closed, the program ends.
#ifndef QDW_APP_BACKUP_APP_H_
#define QDW_APP_BACKUP_APP_H_

#include <memory>

#include "app/run_services.h"
#include "app/startup_services.h"
#include "platform/dialog_host.h"
#include "platform/platform.h"

namespace qdw::app {

inline constexpr char kApplicationName[] = "Quillon Deskora Backup Tool";
inline constexpr char kResourceModuleName[] = "Lingvault.dll";
inline constexpr char kSingleInstanceMutex[] = "UniqueName";

class CBackupApp {
 public:
  CBackupApp(platform::Platform& platform, platform::DialogHost& host, StartupServices& startup,
             RunServices& run);

  // The start-up routine. Always false: there is no message loop to run afterwards.
  bool InitInstance();

  bool resource_module_loaded() const { return resource_module_loaded_; }

 private:
  platform::Platform& platform_;
  platform::DialogHost& host_;
  StartupServices& startup_;
  RunServices& run_;
  std::unique_ptr<platform::Library> resource_module_;
  bool resource_module_loaded_ = false;
};

}  // namespace qdw::app

#endif  // QDW_APP_BACKUP_APP_H_
