#include "platform/odbc/odbc_connection.h"

#include <sqlext.h>

#include <utility>
#include <vector>

#include "platform/odbc/odbc_diagnostics.h"
#include "platform/odbc/odbc_record_set.h"
#include "platform/windows_path.h"

namespace qdw::odbc {

std::string DriverConnectString(const std::string& connect_string) {
  if (platform::StartsWithIgnoreCase(connect_string, "ODBC;")) return connect_string.substr(5);
  return connect_string;
}

OdbcConnection::~OdbcConnection() { Close(); }

bool OdbcConnection::IsOpen() const { return session_ != nullptr && session_->connected; }

bool OdbcConnection::RequireOpen() {
  if (IsOpen()) return true;
  last_error_ = "08003: the connection is not open";
  return false;
}

bool OdbcConnection::Open(const std::string& connect_string, bool /*exclusive*/, bool read_only,
                          bool use_cursor_library) {
  Close();
  last_error_.clear();
  auto session = std::make_shared<OdbcSession>();
  if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &session->env))) {
    last_error_ = "HY001: cannot allocate an ODBC environment";
    return false;
  }
  SQLSetEnvAttr(session->env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
  if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_DBC, session->env, &session->dbc))) {
    last_error_ = Diagnostics(SQL_HANDLE_ENV, session->env, "HY001: cannot allocate a connection");
    SQLFreeHandle(SQL_HANDLE_ENV, session->env);
    return false;
  }
  if (use_cursor_library) {
    SQLSetConnectAttr(session->dbc, SQL_ATTR_ODBC_CURSORS,
                      reinterpret_cast<SQLPOINTER>(SQL_CUR_USE_IF_NEEDED), 0);
  }
  if (read_only) {
    SQLSetConnectAttr(session->dbc, SQL_ATTR_ACCESS_MODE,
                      reinterpret_cast<SQLPOINTER>(SQL_MODE_READ_ONLY), 0);
  }
  std::string text = DriverConnectString(connect_string);
  std::vector<SQLCHAR> in(text.begin(), text.end());
  in.push_back(0);
  SQLCHAR completed[1024];
  SQLSMALLINT completed_length = 0;
  SQLRETURN rc = SQLDriverConnect(session->dbc, nullptr, in.data(), SQL_NTS, completed,
                                  sizeof(completed), &completed_length, SQL_DRIVER_NOPROMPT);
  if (!SQL_SUCCEEDED(rc)) {
    last_error_ = Diagnostics(SQL_HANDLE_DBC, session->dbc, "08001: cannot connect");
    SQLFreeHandle(SQL_HANDLE_DBC, session->dbc);
    SQLFreeHandle(SQL_HANDLE_ENV, session->env);
    return false;
  }
  session->connected = true;
  session_ = std::move(session);
  in_transaction_ = false;
  return true;
}

void OdbcConnection::Close() {
  if (!session_) return;
  // Record sets still open lose their statements first; the driver manager would free them
  // behind their backs on disconnect.
  while (!session_->holders.empty()) (*session_->holders.begin())->ReleaseStatement();
  if (session_->connected) {
    if (in_transaction_) SQLEndTran(SQL_HANDLE_DBC, session_->dbc, SQL_ROLLBACK);
    SQLDisconnect(session_->dbc);
    session_->connected = false;
  }
  SQLFreeHandle(SQL_HANDLE_DBC, session_->dbc);
  SQLFreeHandle(SQL_HANDLE_ENV, session_->env);
  session_->dbc = SQL_NULL_HDBC;
  session_->env = SQL_NULL_HENV;
  session_.reset();
  in_transaction_ = false;
}

SQLHSTMT OdbcConnection::NewStatement() {
  SQLHSTMT statement = SQL_NULL_HSTMT;
  if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, session_->dbc, &statement))) {
    last_error_ = Diagnostics(SQL_HANDLE_DBC, session_->dbc, "HY001: cannot allocate a statement");
    return SQL_NULL_HSTMT;
  }
  return statement;
}

bool OdbcConnection::Execute(const std::string& sql, long* rows_affected) {
  if (rows_affected) *rows_affected = 0;
  if (!RequireOpen()) return false;
  SQLHSTMT statement = NewStatement();
  if (statement == SQL_NULL_HSTMT) return false;
  std::vector<SQLCHAR> text(sql.begin(), sql.end());
  text.push_back(0);
  SQLRETURN rc = SQLExecDirect(statement, text.data(), SQL_NTS);
  // SQL_NO_DATA: a searched UPDATE or DELETE that matched no row, which is not a failure.
  bool ok = SQL_SUCCEEDED(rc) || rc == SQL_NO_DATA;
  if (!ok) {
    last_error_ = Diagnostics(SQL_HANDLE_STMT, statement, "HY000: the statement failed");
  } else {
    last_error_.clear();
    SQLLEN count = 0;
    if (rows_affected && rc != SQL_NO_DATA && SQL_SUCCEEDED(SQLRowCount(statement, &count))) {
      *rows_affected = count < 0 ? 0 : static_cast<long>(count);
    }
  }
  SQLFreeHandle(SQL_HANDLE_STMT, statement);
  return ok;
}

bool OdbcConnection::Query(const std::string& sql, bool read_only,
                           std::unique_ptr<platform::RecordSet>* out) {
  out->reset();
  if (!RequireOpen()) return false;
  SQLHSTMT statement = NewStatement();
  if (statement == SQL_NULL_HSTMT) return false;
  SQLSetStmtAttr(statement, SQL_ATTR_CURSOR_TYPE,
                 reinterpret_cast<SQLPOINTER>(SQL_CURSOR_FORWARD_ONLY), 0);
  if (read_only) {
    SQLSetStmtAttr(statement, SQL_ATTR_CONCURRENCY,
                   reinterpret_cast<SQLPOINTER>(SQL_CONCUR_READ_ONLY), 0);
  }
  std::vector<SQLCHAR> text(sql.begin(), sql.end());
  text.push_back(0);
  SQLRETURN rc = SQLExecDirect(statement, text.data(), SQL_NTS);
  if (!SQL_SUCCEEDED(rc) && rc != SQL_NO_DATA) {
    last_error_ = Diagnostics(SQL_HANDLE_STMT, statement, "HY000: the query failed");
    SQLFreeHandle(SQL_HANDLE_STMT, statement);
    return false;
  }
  auto record_set = std::make_unique<OdbcRecordSet>(session_, statement);
  if (!record_set->LastError().empty()) {
    last_error_ = record_set->LastError();
    return false;
  }
  last_error_.clear();
  *out = std::move(record_set);
  return true;
}

bool OdbcConnection::BeginTransaction() {
  if (!RequireOpen()) return false;
  if (in_transaction_) {
    last_error_ = "25000: a transaction is already in progress";
    return false;
  }
  SQLRETURN rc = SQLSetConnectAttr(session_->dbc, SQL_ATTR_AUTOCOMMIT,
                                   reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF), 0);
  if (!SQL_SUCCEEDED(rc)) {
    last_error_ = Diagnostics(SQL_HANDLE_DBC, session_->dbc, "HYC00: no transactions");
    return false;
  }
  in_transaction_ = true;
  last_error_.clear();
  return true;
}

bool OdbcConnection::EndTransaction(SQLSMALLINT completion) {
  if (!RequireOpen()) return false;
  if (!in_transaction_) {
    last_error_ = "25000: no transaction is in progress";
    return false;
  }
  SQLRETURN rc = SQLEndTran(SQL_HANDLE_DBC, session_->dbc, completion);
  bool ok = SQL_SUCCEEDED(rc);
  if (!ok) {
    last_error_ = Diagnostics(SQL_HANDLE_DBC, session_->dbc, "HY000: the transaction failed");
    // A commit that failed leaves nothing half-applied: undo the rest.
    if (completion == SQL_COMMIT) SQLEndTran(SQL_HANDLE_DBC, session_->dbc, SQL_ROLLBACK);
  } else {
    last_error_.clear();
  }
  SQLSetConnectAttr(session_->dbc, SQL_ATTR_AUTOCOMMIT,
                    reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON), 0);
  in_transaction_ = false;
  return ok;
}

bool OdbcConnection::Commit() { return EndTransaction(SQL_COMMIT); }

bool OdbcConnection::Rollback() { return EndTransaction(SQL_ROLLBACK); }

}  // namespace qdw::odbc
