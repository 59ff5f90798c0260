// After a restore the printers' icons lie in the product's settings folder; icon paths that
// still point into the old installation are moved there, or their rows deleted when the icon
// is gone.
#ifndef QDW_ENGINE_RESTORE_PRINTER_ICON_REPAIR_H_
#define QDW_ENGINE_RESTORE_PRINTER_ICON_REPAIR_H_

#include <string>

#include "settings/product_settings.h"
#include "platform/platform.h"

namespace qdw::restore {

// Repairs `qln_printer` in the user's live database. Nothing to do when the database does not
// exist. Raises engine::FrameworkError when the database cannot be opened or read.
void RepairPrinterIcons(platform::Platform& platform, settings::ProductSettings& settings);

}  // namespace qdw::restore

#endif  // QDW_ENGINE_RESTORE_PRINTER_ICON_REPAIR_H_
