// `Backup` on the stand-in machine: the dialogs run headless, answered by the script named by
// QDW_UI_SCRIPT (see app/headless/script.h).
#include "app/backup_app.h"
#include "app/headless/headless_host.h"
#include "app/machine_services.h"
#include "platform/platform.h"

int main() {
  qdw::platform::Platform& platform = qdw::platform::DefaultPlatform();
  std::unique_ptr<qdw::headless::HeadlessHost> host =
      qdw::headless::MakeHeadlessHostFromEnvironment(&platform.files());
  qdw::app::MachineServices services(platform, *host);
  qdw::app::CBackupApp app(platform, *host, services, services);
  app.InitInstance();
  host->Finish();
  return 0;
}
