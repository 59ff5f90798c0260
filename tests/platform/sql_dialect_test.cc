// The Access statements of the system as SQLite must see them.
#include "platform/sim/sql_dialect.h"

#include <gtest/gtest.h>

namespace qdw::sim {
namespace {

TEST(SqlDialectTest, AdaptsWhatSqliteDoesNotUnderstand) {
  EXPECT_EQ(SqlDialect::ToSqlite("DELETE * FROM qln_file_properties WHERE original_file_name ='a'"
                                 " AND folder__id = 3"),
            "DELETE FROM qln_file_properties WHERE original_file_name ='a' AND folder__id = 3");
  EXPECT_EQ(SqlDialect::ToSqlite("delete  qln_binder.*  from qln_binder"),
            "delete  from qln_binder");
  EXPECT_EQ(SqlDialect::ToSqlite("UPDATE qln_folder SET path='x' , shared=No, share_type=-1, "
                                 "IsShareCreator =No where name='x' and shared=Yes"),
            "UPDATE qln_folder SET path='x' , shared=0, share_type=-1, "
            "IsShareCreator =0 where name='x' and shared=1");
  EXPECT_EQ(SqlDialect::ToSqlite("SELECT * FROM t WHERE a = TRUE OR b = false"),
            "SELECT * FROM t WHERE a = 1 OR b = 0");
  EXPECT_EQ(SqlDialect::ToSqlite("SELECT * FROM t WHERE name = \"O'Brien \"\"Jr\"\"\""),
            "SELECT * FROM t WHERE name = 'O''Brien \"Jr\"'");
}

TEST(SqlDialectTest, TextColumnsOfNewTablesCompareIgnoringCase) {
  EXPECT_EQ(SqlDialect::ToSqlite("CREATE TABLE qln_folder (id INTEGER PRIMARY KEY, name TEXT "
                                 "DEFAULT '', [text] varchar (255) NOT NULL, memo MEMO,\n"
                                 "  kept TEXT COLLATE BINARY, UNIQUE (name, memo))"),
            "CREATE TABLE qln_folder (id INTEGER PRIMARY KEY, name TEXT COLLATE NOCASE "
            "DEFAULT '', [text] varchar (255) COLLATE NOCASE NOT NULL, memo MEMO COLLATE NOCASE,"
            "\n  kept TEXT COLLATE BINARY, UNIQUE (name, memo))");
  EXPECT_EQ(SqlDialect::ToSqlite("create table t (a text)"),
            "create table t (a text COLLATE NOCASE)");
}

TEST(SqlDialectTest, LeavesTextNamesAndOtherStatementsAlone) {
  for (const char* sql : {
           "SELECT * FROM qln_folder WHERE name = 'Yes' AND path = 'No''s DELETE * FROM x'",
           "SELECT [No], t.Yes FROM [Yes table] t WHERE Nope = 1 AND Yesterday = 2",
           "DELETE FROM qln_printer WHERE ID =4",
           "SELECT 2*3 FROM t",
           "DELETE * FROMAGE",
           "UPDATE qln_file_properties SET is_open = '0'",
           "SELECT * FROM t WHERE a = 'unterminated",
           "CREATE INDEX i ON t (text)",
           "SELECT text FROM t WHERE name TEXT",
       }) {
    EXPECT_EQ(SqlDialect::ToSqlite(sql), sql);
  }
}

}  // namespace
}  // namespace qdw::sim
