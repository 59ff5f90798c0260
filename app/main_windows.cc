// `Backup.exe` on Windows: the dialogs run through the Win32 dialog host.
#include "app/backup_app.h"
#include "app/machine_services.h"
#include "platform/platform.h"
#include "platform/win32/win32_dialog_host.h"

int main() {
  qdw::platform::Platform& platform = qdw::platform::DefaultPlatform();
  std::unique_ptr<qdw::platform::DialogHost> host = qdw::win32::NewWin32DialogHost();
  qdw::app::MachineServices services(platform, *host);
  qdw::app::CBackupApp app(platform, *host, services, services);
  app.InitInstance();
  return 0;
}
