// The handles of one open ODBC connection. The connection and its record sets share it, so a
// record set that outlives Close() finds its statement already released instead of holding a
// handle the driver manager has freed.
#ifndef QDW_PLATFORM_ODBC_ODBC_SESSION_H_
#define QDW_PLATFORM_ODBC_ODBC_SESSION_H_

#include <sql.h>

#include <set>

namespace qdw::odbc {

// Something that holds a statement of the session (a record set).
class StatementHolder {
 public:
  virtual ~StatementHolder() = default;
  // Frees the statement now; later calls on the holder fail cleanly.
  virtual void ReleaseStatement() = 0;
};

struct OdbcSession {
  SQLHENV env = SQL_NULL_HENV;
  SQLHDBC dbc = SQL_NULL_HDBC;
  bool connected = false;
  std::set<StatementHolder*> holders;
};

}  // namespace qdw::odbc

#endif  // QDW_PLATFORM_ODBC_ODBC_SESSION_H_
