// The product database connection over the ODBC API: one driver connection, statements run
// directly, forward-only record sets, transactions by switching autocommit off. The connect
// string goes to the driver as given (an MFC-style "ODBC;" prefix is dropped); ports that
// need another driver or SQL dialect wrap this class.
#ifndef QDW_PLATFORM_ODBC_ODBC_CONNECTION_H_
#define QDW_PLATFORM_ODBC_ODBC_CONNECTION_H_

#include <sql.h>

#include <memory>
#include <string>

#include "platform/database.h"
#include "platform/odbc/odbc_session.h"

namespace qdw::odbc {

class OdbcConnection : public platform::DatabaseConnection {
 public:
  OdbcConnection() = default;
  ~OdbcConnection() override;
  OdbcConnection(const OdbcConnection&) = delete;
  OdbcConnection& operator=(const OdbcConnection&) = delete;

  // `exclusive` is not supported by the drivers in use and is ignored; `read_only` asks the
  // driver for a read-only connection; `use_cursor_library` lets the driver manager add its
  // cursor library when the driver lacks a cursor kind (forward-only never needs it).
  bool Open(const std::string& connect_string, bool exclusive, bool read_only,
            bool use_cursor_library) override;
  bool IsOpen() const override;
  void Close() override;
  bool Execute(const std::string& sql, long* rows_affected = nullptr) override;
  bool Query(const std::string& sql, bool read_only,
             std::unique_ptr<platform::RecordSet>* out) override;
  bool BeginTransaction() override;
  bool Commit() override;
  bool Rollback() override;
  std::string LastError() const override { return last_error_; }

 private:
  bool EndTransaction(SQLSMALLINT completion);
  bool RequireOpen();
  SQLHSTMT NewStatement();

  std::shared_ptr<OdbcSession> session_;
  bool in_transaction_ = false;
  std::string last_error_;
};

// Drops a leading "ODBC;" (any case), which MFC accepts but driver managers do not.
std::string DriverConnectString(const std::string& connect_string);

}  // namespace qdw::odbc

#endif  // QDW_PLATFORM_ODBC_ODBC_CONNECTION_H_
