// After a restore the printers' icons lie in the product's settings folder; icon paths that
// still point into the old installation are moved there, or their rows deleted when the icon
// is gone.
#ifndef QDW_ENGINE_RESTORE_PRINTER_ICON_REPAIR_H_
#define QDW_ENGINE_RESTORE_PRINTER_ICON_REPAIR_H_

#include <string>

#include "settings/product_settings.h"
#include "platform/platform.h"

namespace qdw::restore {

// Repairs `qln_printer` in the user's live database. True when done, also when there is no
// database; false when it cannot be opened or read, or a statement fails (the restore then
// fails and is undone: the database it changed is the one it had just put in place).
bool RepairPrinterIcons(platform::Platform& platform, settings::ProductSettings& settings);

}  // namespace qdw::restore

#endif  // QDW_ENGINE_RESTORE_PRINTER_ICON_REPAIR_H_
