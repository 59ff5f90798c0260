#include "database/process_connection.h"

#include "database/database_paths.h"

namespace qdw::database {

ProcessConnection& ProcessConnection::Instance() {
  static ProcessConnection instance;
  return instance;
}

bool ProcessConnection::Open(platform::Databases& databases, const std::string& database_path) {
  Close();
  connection_ = databases.NewConnection();
  if (!connection_) return false;
  if (!connection_->Open(AccessConnectString(database_path), /*exclusive=*/false,
                         /*read_only=*/false, /*use_cursor_library=*/true)) {
    connection_.reset();
    return false;
  }
  return true;
}

bool ProcessConnection::IsOpen() const { return connection_ && connection_->IsOpen(); }

void ProcessConnection::Close() {
  if (connection_) connection_->Close();
  connection_.reset();
}

platform::DatabaseConnection& ProcessConnection::connection() { return *connection_; }

ScopedProcessConnection::ScopedProcessConnection(platform::Databases& databases,
                                                 const std::string& database_path)
    : ok_(ProcessConnection::Instance().Open(databases, database_path)) {}

ScopedProcessConnection::~ScopedProcessConnection() { ProcessConnection::Instance().Close(); }

}  // namespace qdw::database
