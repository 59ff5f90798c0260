// Clearing the "open" flags in the working copy's database, so that a restored product does
// not believe documents are still open.
#ifndef QDW_ENGINE_BACKUP_OPEN_FLAG_RESET_H_
#define QDW_ENGINE_BACKUP_OPEN_FLAG_RESET_H_

#include <string>

#include "platform/platform.h"

namespace qdw::backup {

// The database of a "QDW" folder (or its working copy).
std::string WorkingCopyDatabasePath(const std::string& working_copy_folder);

// Clears `is_open` in qln_file_properties and qln_merged_files of the database below
// `working_copy_folder`. False when that database does not exist; a database the driver
// cannot open or change raises FrameworkError.
bool ResetOpenFlags(platform::Platform& platform, const std::string& working_copy_folder);

}  // namespace qdw::backup

#endif  // QDW_ENGINE_BACKUP_OPEN_FLAG_RESET_H_
