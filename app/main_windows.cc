// `Backup.exe` on Windows: the dialogs run through the Win32 dialog host. With QDW_UI_SCRIPT
// set, the script plays the user on the real dialogs (see app/headless/script.h) and the
// program ends with the status of the headless program: 3 when the script failed.
#include "app/backup_app.h"
#include "app/headless/script_driver.h"
#include "app/machine_services.h"
#include "platform/platform.h"
#include "platform/win32/win32_dialog_host.h"

int main() {
  qdw::platform::Platform& platform = qdw::platform::DefaultPlatform();
  std::unique_ptr<qdw::headless::ScriptDriver> driver =
      qdw::headless::MakeScriptDriverFromEnvironment(&platform.files());
  std::unique_ptr<qdw::platform::DialogHost> host = qdw::win32::NewWin32DialogHost(driver.get());
  qdw::app::MachineServices services(platform, *host);
  qdw::app::CBackupApp app(platform, *host, services, services);
  app.InitInstance();
  if (driver != nullptr) driver->Finish();
  return 0;
}
