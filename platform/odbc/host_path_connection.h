// A connection for a driver manager that runs outside the Windows file name space (Wine's
// odbc32 hands connect strings to the host's unixODBC untranslated). The database file that
// "DBQ" names is given once more with its host path under "Database", the key file-based host
// drivers read; the Windows driver ignores it, and nothing else of the string changes.
#ifndef QDW_PLATFORM_ODBC_HOST_PATH_CONNECTION_H_
#define QDW_PLATFORM_ODBC_HOST_PATH_CONNECTION_H_

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/database.h"
#include "platform/odbc/odbc_connection.h"

namespace qdw::odbc {

// The host path of an existing file named by its Windows path; nullopt when there is none.
using HostPathLookup = std::function<std::optional<std::string>(const std::string&)>;

// The "DBQ" value of a connect string (found ignoring case, braces removed); nullopt when the
// string names none.
std::optional<std::string> DatabaseFileOf(const std::string& connect_string);

class HostPathConnection : public platform::DatabaseConnection {
 public:
  explicit HostPathConnection(HostPathLookup lookup) : lookup_(std::move(lookup)) {}

  // A missing file is refused as the Access driver refuses it, never created by the host's
  // driver; so is a host path that a connect string cannot carry.
  bool Open(const std::string& connect_string, bool exclusive, bool read_only,
            bool use_cursor_library) override;
  bool IsOpen() const override { return odbc_.IsOpen(); }
  void Close() override { odbc_.Close(); }
  bool Execute(const std::string& sql, long* rows_affected = nullptr) override {
    return odbc_.Execute(sql, rows_affected);
  }
  bool Query(const std::string& sql, bool read_only,
             std::unique_ptr<platform::RecordSet>* out) override {
    return odbc_.Query(sql, read_only, out);
  }
  bool BeginTransaction() override { return odbc_.BeginTransaction(); }
  bool Commit() override { return odbc_.Commit(); }
  bool Rollback() override { return odbc_.Rollback(); }
  std::string LastError() const override {
    return own_error_.empty() ? odbc_.LastError() : own_error_;
  }

 private:
  HostPathLookup lookup_;
  OdbcConnection odbc_;
  std::string own_error_;
};

}  // namespace qdw::odbc

#endif  // QDW_PLATFORM_ODBC_HOST_PATH_CONNECTION_H_
