#include "platform/odbc/odbc_record_set.h"

#include <sqlext.h>

#include <utility>

#include "platform/odbc/odbc_diagnostics.h"
#include "platform/windows_path.h"

namespace qdw::odbc {

OdbcRecordSet::OdbcRecordSet(std::shared_ptr<OdbcSession> session, SQLHSTMT statement)
    : session_(std::move(session)), statement_(statement) {
  session_->holders.insert(this);
  if (!ReadColumns()) ReleaseStatement();
}

OdbcRecordSet::~OdbcRecordSet() {
  if (statement_ != SQL_NULL_HSTMT) {
    SQLFreeHandle(SQL_HANDLE_STMT, statement_);
    statement_ = SQL_NULL_HSTMT;
  }
  session_->holders.erase(this);
}

void OdbcRecordSet::ReleaseStatement() {
  if (statement_ != SQL_NULL_HSTMT) {
    SQLFreeHandle(SQL_HANDLE_STMT, statement_);
    statement_ = SQL_NULL_HSTMT;
  }
  row_.clear();
  session_->holders.erase(this);
}

bool OdbcRecordSet::ReadColumns() {
  SQLSMALLINT count = 0;
  if (!SQL_SUCCEEDED(SQLNumResultCols(statement_, &count))) {
    last_error_ = Diagnostics(SQL_HANDLE_STMT, statement_, "cannot count the result's columns");
    return false;
  }
  for (SQLUSMALLINT i = 1; i <= static_cast<SQLUSMALLINT>(count); ++i) {
    std::vector<SQLCHAR> name(256);
    SQLSMALLINT length = 0;
    SQLRETURN rc = SQLDescribeCol(statement_, i, name.data(), static_cast<SQLSMALLINT>(name.size()),
                                  &length, nullptr, nullptr, nullptr, nullptr);
    if (SQL_SUCCEEDED(rc) && length >= static_cast<SQLSMALLINT>(name.size())) {
      name.resize(static_cast<size_t>(length) + 1);
      rc = SQLDescribeCol(statement_, i, name.data(), static_cast<SQLSMALLINT>(name.size()),
                          &length, nullptr, nullptr, nullptr, nullptr);
    }
    if (!SQL_SUCCEEDED(rc)) {
      last_error_ = Diagnostics(SQL_HANDLE_STMT, statement_, "cannot describe a column");
      return false;
    }
    columns_.emplace_back(reinterpret_cast<const char*>(name.data()));
  }
  return true;
}

bool OdbcRecordSet::Fetch() {
  row_.clear();
  if (statement_ == SQL_NULL_HSTMT) {
    if (last_error_.empty()) last_error_ = "the record set is closed";
    return false;
  }
  if (at_end_) return false;
  SQLRETURN rc = SQLFetch(statement_);
  if (rc == SQL_NO_DATA) {
    at_end_ = true;
    last_error_.clear();
    return false;
  }
  if (!SQL_SUCCEEDED(rc)) {
    last_error_ = Diagnostics(SQL_HANDLE_STMT, statement_, "fetch failed");
    return false;
  }
  row_.resize(columns_.size());
  for (size_t i = 0; i < columns_.size(); ++i) {
    if (!ReadValue(static_cast<SQLUSMALLINT>(i + 1), &row_[i])) {
      row_.clear();
      return false;
    }
  }
  last_error_.clear();
  return true;
}

// Reads a value of any length: the driver hands out a long text in pieces, reporting
// truncation (01004) until the last one.
bool OdbcRecordSet::ReadValue(SQLUSMALLINT column, std::optional<std::string>* value) {
  std::string text;
  char buffer[4096];
  for (;;) {
    SQLLEN indicator = 0;
    SQLRETURN rc = SQLGetData(statement_, column, SQL_C_CHAR, buffer, sizeof(buffer), &indicator);
    if (rc == SQL_NO_DATA) break;
    if (!SQL_SUCCEEDED(rc)) {
      last_error_ = Diagnostics(SQL_HANDLE_STMT, statement_, "cannot read a value");
      return false;
    }
    if (indicator == SQL_NULL_DATA) {
      value->reset();
      return true;
    }
    size_t piece = sizeof(buffer) - 1;
    if (indicator != SQL_NO_TOTAL && static_cast<size_t>(indicator) < piece) {
      piece = static_cast<size_t>(indicator);
    }
    text.append(buffer, piece);
    if (rc == SQL_SUCCESS) break;
  }
  *value = std::move(text);
  return true;
}

std::string OdbcRecordSet::ColumnName(size_t index) const {
  return index < columns_.size() ? columns_[index] : std::string();
}

std::optional<std::string> OdbcRecordSet::Value(size_t index) const {
  if (index >= row_.size()) return std::nullopt;
  return row_[index];
}

int OdbcRecordSet::ColumnIndex(const std::string& column) const {
  for (size_t i = 0; i < columns_.size(); ++i) {
    if (platform::EqualsIgnoreCase(columns_[i], column)) return static_cast<int>(i);
  }
  return -1;
}

std::optional<std::string> OdbcRecordSet::Value(const std::string& column) const {
  int index = ColumnIndex(column);
  if (index < 0) return std::nullopt;
  return Value(static_cast<size_t>(index));
}

bool OdbcRecordSet::HasColumn(const std::string& column) const { return ColumnIndex(column) >= 0; }

}  // namespace qdw::odbc
