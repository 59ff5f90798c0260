#include "engine/backup/open_flag_reset.h"

#include <memory>

#include "database/database_paths.h"
#include "database/process_connection.h"
#include "engine/common/engine_errors.h"
#include "engine/common/folder_listing.h"

namespace qdw::backup {
namespace {

// Runs `update` when `select` finds a row. The update clears the flag on every row, so
// running it once has the effect of running it once per row found; the cursor is closed
// before the table changes.
void ClearFlags(platform::DatabaseConnection& db, const std::string& select,
                const std::string& update) {
  std::unique_ptr<platform::RecordSet> rows;
  if (!db.Query(select, /*read_only=*/false, &rows)) {
    throw engine::FrameworkError("query failed: " + select + ": " + db.LastError());
  }
  bool found = rows->Fetch();
  std::string error = found ? std::string() : rows->LastError();
  rows.reset();
  if (!error.empty()) throw engine::FrameworkError("reading failed: " + select + ": " + error);
  if (found && !db.Execute(update)) {
    throw engine::FrameworkError("statement failed: " + update + ": " + db.LastError());
  }
}

}  // namespace

std::string WorkingCopyDatabasePath(const std::string& working_copy_folder) {
  return database::DatabasePathUnder(working_copy_folder);
}

bool ResetOpenFlags(platform::Platform& platform, const std::string& working_copy_folder) {
  const std::string path = WorkingCopyDatabasePath(working_copy_folder);
  if (!platform::FileExists(platform.files(), path)) return false;

  database::ScopedProcessConnection db(platform.databases(), path);
  if (!db.ok()) throw engine::FrameworkError("the database driver cannot open " + path);
  ClearFlags(db.connection(), "SELECT * FROM qln_file_properties WHERE is_open = 1",
             "UPDATE qln_file_properties SET is_open = '0'");
  ClearFlags(db.connection(), "SELECT * FROM qln_merged_files WHERE is_open = 1",
             "UPDATE qln_merged_files SET is_open = '0'");
  return true;
}

}  // namespace qdw::backup
