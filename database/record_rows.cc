#include "database/record_rows.h"

#include <memory>

namespace qdw::database {

bool FetchRows(platform::DatabaseConnection& connection, const std::string& sql, bool read_only,
               const std::vector<std::string>& columns, std::vector<Row>* rows, size_t max_rows) {
  std::unique_ptr<platform::RecordSet> records;
  if (!connection.Query(sql, read_only, &records) || !records) return false;
  for (const std::string& column : columns) {
    if (!records->HasColumn(column)) return false;
  }
  while (rows->size() < max_rows) {
    if (!records->Fetch()) return records->LastError().empty();
    Row row;
    for (const std::string& column : columns) {
      row[column] = records->Value(column).value_or("");
    }
    rows->push_back(std::move(row));
  }
  return true;
}

bool FetchFirstRow(platform::DatabaseConnection& connection, const std::string& sql,
                   const std::vector<std::string>& columns, Row* row) {
  std::vector<Row> rows;
  if (!FetchRows(connection, sql, /*read_only=*/true, columns, &rows, 1) || rows.empty()) {
    return false;
  }
  *row = std::move(rows.front());
  return true;
}

}  // namespace qdw::database
