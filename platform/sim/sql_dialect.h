// The one place where the product database's Access SQL is turned into SQLite's.
//
// What differs, and what is done about it:
//   "DELETE * FROM t" / "DELETE t.* FROM t"  ->  "DELETE FROM t"
//   Yes, No, True, False as values           ->  1, 0 (Access stores Yes/No as a bit; read as
//                                                text both give "1" and "0")
//   "text" in double quotes (a Jet literal)  ->  'text'
// What needs nothing: [bracketed] names (SQLite accepts them), and "=" between a text and a
// number ("is_open = 1", "is_open = '0'"), which SQLite settles by the column's declared type
// as long as the product tables declare their columns' types.
#ifndef QDW_PLATFORM_SIM_SQL_DIALECT_H_
#define QDW_PLATFORM_SIM_SQL_DIALECT_H_

#include <string>

namespace qdw::sim {

class SqlDialect {
 public:
  // The statement as SQLite must see it. Text inside quotes and brackets is never changed.
  static std::string ToSqlite(const std::string& access_sql);
};

}  // namespace qdw::sim

#endif  // QDW_PLATFORM_SIM_SQL_DIALECT_H_
