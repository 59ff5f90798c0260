// A forward-only result of one query. Each row's values are read in column order right after
// the fetch (some drivers allow SQLGetData only in that order), as text of any length.
#ifndef QDW_PLATFORM_ODBC_ODBC_RECORD_SET_H_
#define QDW_PLATFORM_ODBC_ODBC_RECORD_SET_H_

#include <sql.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/database.h"
#include "platform/odbc/odbc_session.h"

namespace qdw::odbc {

class OdbcRecordSet : public platform::RecordSet, public StatementHolder {
 public:
  // Takes ownership of `statement`, which has just been executed.
  OdbcRecordSet(std::shared_ptr<OdbcSession> session, SQLHSTMT statement);
  ~OdbcRecordSet() override;
  OdbcRecordSet(const OdbcRecordSet&) = delete;
  OdbcRecordSet& operator=(const OdbcRecordSet&) = delete;

  bool Fetch() override;
  size_t ColumnCount() const override { return columns_.size(); }
  std::string ColumnName(size_t index) const override;
  std::optional<std::string> Value(size_t index) const override;
  std::optional<std::string> Value(const std::string& column) const override;
  bool HasColumn(const std::string& column) const override;
  std::string LastError() const override { return last_error_; }

  void ReleaseStatement() override;

 private:
  bool ReadColumns();
  bool ReadValue(SQLUSMALLINT column, std::optional<std::string>* value);
  int ColumnIndex(const std::string& column) const;

  std::shared_ptr<OdbcSession> session_;
  SQLHSTMT statement_;
  std::vector<std::string> columns_;
  std::vector<std::optional<std::string>> row_;
  bool at_end_ = false;
  std::string last_error_;
};

}  // namespace qdw::odbc

#endif  // QDW_PLATFORM_ODBC_ODBC_RECORD_SET_H_
