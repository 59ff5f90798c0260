// Reading query results into memory before acting on them, so that no statement changes a
// table while a cursor over it is still open.
#ifndef QDW_DATABASE_RECORD_ROWS_H_
#define QDW_DATABASE_RECORD_ROWS_H_

#include <cstddef>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include "platform/database.h"

namespace qdw::database {

// Column name -> value as text; SQL NULL reads as the empty text.
using Row = std::map<std::string, std::string>;

// Runs `sql` forward-only and collects `columns` of at most `max_rows` rows. False on any
// database error, a missing column included; `rows` then holds the rows read before it.
bool FetchRows(platform::DatabaseConnection& connection, const std::string& sql, bool read_only,
               const std::vector<std::string>& columns, std::vector<Row>* rows,
               size_t max_rows = std::numeric_limits<size_t>::max());

// The first row of `sql` (read-only). False on an error or when there is no row.
bool FetchFirstRow(platform::DatabaseConnection& connection, const std::string& sql,
                   const std::vector<std::string>& columns, Row* row);

}  // namespace qdw::database

#endif  // QDW_DATABASE_RECORD_ROWS_H_
