// The product database through ODBC: one connection, forward-only record sets, statements
// executed directly, and transactions. Values are read as text, as the driver renders them.
#ifndef QDW_PLATFORM_DATABASE_H_
#define QDW_PLATFORM_DATABASE_H_

#include <cstddef>
#include <memory>
#include <optional>
#include <string>

namespace qdw::platform {

// A forward-only cursor over the rows of one query.
class RecordSet {
 public:
  virtual ~RecordSet() = default;
  // Moves to the next row (the first on the first call). False at the end or on an error;
  // LastError() is empty at a normal end.
  virtual bool Fetch() = 0;
  virtual size_t ColumnCount() const = 0;
  virtual std::string ColumnName(size_t index) const = 0;
  // The current row's value as text; nullopt for SQL NULL or an unknown column.
  virtual std::optional<std::string> Value(size_t index) const = 0;
  // By column name, compared case-insensitively.
  virtual std::optional<std::string> Value(const std::string& column) const = 0;
  virtual bool HasColumn(const std::string& column) const = 0;
  virtual std::string LastError() const = 0;
};

class DatabaseConnection {
 public:
  virtual ~DatabaseConnection() = default;
  // Opens with an ODBC connect string such as
  // "ODBC;DRIVER={MICROSOFT ACCESS DRIVER (*.mdb)};DSN='';DBQ=C:\...\VNDATABASE.mdb".
  virtual bool Open(const std::string& connect_string, bool exclusive, bool read_only,
                    bool use_cursor_library) = 0;
  virtual bool IsOpen() const = 0;
  virtual void Close() = 0;
  // Executes a statement written in the product database's own SQL dialect; the port adapts
  // it where its driver differs. `rows_affected` is optional.
  virtual bool Execute(const std::string& sql, long* rows_affected = nullptr) = 0;
  virtual bool Query(const std::string& sql, bool read_only, std::unique_ptr<RecordSet>* out) = 0;
  virtual bool BeginTransaction() = 0;
  virtual bool Commit() = 0;
  virtual bool Rollback() = 0;
  // The driver's last diagnostic ("SQLSTATE: message"), empty when none.
  virtual std::string LastError() const = 0;
};

class Databases {
 public:
  virtual ~Databases() = default;
  virtual std::unique_ptr<DatabaseConnection> NewConnection() = 0;
};

// Doubles every single quote, so a value can stand inside '...' in SQL text.
std::string SqlQuote(const std::string& value);

}  // namespace qdw::platform

#endif  // QDW_PLATFORM_DATABASE_H_
