// The one ODBC connection object of the process, shared by the record cleanup, the open-flag
// reset and the printer icon repair. One user at a time; opened and closed around each use.
#ifndef QDW_DATABASE_PROCESS_CONNECTION_H_
#define QDW_DATABASE_PROCESS_CONNECTION_H_

#include <memory>
#include <string>

#include "platform/database.h"

namespace qdw::database {

class ProcessConnection {
 public:
  static ProcessConnection& Instance();

  // Opens the Access database at `database_path` (not exclusive, not read-only, cursor
  // library), closing an earlier one first. False when the driver refuses.
  bool Open(platform::Databases& databases, const std::string& database_path);
  bool IsOpen() const;
  // Closes and releases the connection; harmless when closed.
  void Close();
  // Valid only while open.
  platform::DatabaseConnection& connection();

 private:
  ProcessConnection() = default;
  // Made anew by every Open, so it never outlives the port it came from.
  std::unique_ptr<platform::DatabaseConnection> connection_;
};

// Opens the process connection for a scope and closes it on every way out.
class ScopedProcessConnection {
 public:
  ScopedProcessConnection(platform::Databases& databases, const std::string& database_path);
  ~ScopedProcessConnection();
  ScopedProcessConnection(const ScopedProcessConnection&) = delete;
  ScopedProcessConnection& operator=(const ScopedProcessConnection&) = delete;

  bool ok() const { return ok_; }
  platform::DatabaseConnection& connection() { return ProcessConnection::Instance().connection(); }

 private:
  bool ok_ = false;
};

}  // namespace qdw::database

#endif  // QDW_DATABASE_PROCESS_CONNECTION_H_
