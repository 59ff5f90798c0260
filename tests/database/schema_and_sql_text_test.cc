#include <gtest/gtest.h>

#include <string>

#include "database/database_paths.h"
#include "database/product_schema.h"
#include "database/sql_text.h"

namespace qdw::database {
namespace {

TEST(SqlTextTest, QuotesAreDoubledInsideTheLiteral) {
  EXPECT_EQ(SqlString("O'Brien"), "'O''Brien'");
  EXPECT_EQ(SqlString("x' OR '1'='1"), "'x'' OR ''1''=''1'");
  EXPECT_EQ(SqlString(""), "''");
}

TEST(SqlTextTest, OnlyPlainIntegersPassUnquoted) {
  EXPECT_TRUE(IsIntegerText("12"));
  EXPECT_TRUE(IsIntegerText("-1"));
  EXPECT_FALSE(IsIntegerText(""));
  EXPECT_FALSE(IsIntegerText("-"));
  EXPECT_FALSE(IsIntegerText("1 OR 1=1"));
  EXPECT_FALSE(IsIntegerText("1.5"));
  EXPECT_FALSE(IsIntegerText("1234567890123456789"));
}

TEST(SqlTextTest, DecimalValueReadsLikeAtol) {
  EXPECT_EQ(DecimalValue("5"), 5);
  EXPECT_EQ(DecimalValue(" 3x"), 3);
  EXPECT_EQ(DecimalValue("abc"), 0);
  EXPECT_EQ(DecimalValue(""), 0);
}

TEST(DatabasePathsTest, WorkingCopyAndLiveDatabase) {
  EXPECT_EQ(DatabasePathUnder("E:\\B\\QDWBackUpTemp\\VARNOLD\\QDW"),
            "E:\\B\\QDWBackUpTemp\\VARNOLD\\QDW\\DataBase\\VNDATABASE.mdb");
  EXPECT_EQ(LiveDatabasePath("C:\\Repo"), "C:\\Repo\\VARNOLD\\QDW\\DATABASE\\VNDATABASE.mdb");
  EXPECT_EQ(AccessConnectString("C:\\x.mdb"),
            "ODBC;DRIVER={MICROSOFT ACCESS DRIVER (*.mdb)};DSN='';DBQ=C:\\x.mdb");
}

TEST(ProductSchemaTest, EveryTableAndColumnTheToolUsesIsDeclared) {
  const std::string sql = SchemaSql();
  const char* const kNames[] = {"qln_file_properties",
                                "folder__id",
                                "pdf_name",
                                "original_file_name",
                                "original_file_extension",
                                "is_open",
                                "merged",
                                "binder__id",
                                "total_versions",
                                "qln_merged_files",
                                "qln_file_properties__id",
                                "qln_binder",
                                "total_files",
                                "qln_file_version",
                                "file_properties__id",
                                "qln_folder",
                                "parent_folder__id",
                                "path",
                                "shared",
                                "share_type",
                                "IsShareCreator",
                                "qln_printer",
                                "Icon_Path"};
  for (const char* name : kNames) EXPECT_NE(sql.find(name), std::string::npos) << name;
}

TEST(ProductSchemaTest, StatementsAreSplitWithoutComments) {
  std::vector<std::string> statements = SchemaStatements();
  ASSERT_EQ(statements.size(), 9u);
  for (const std::string& statement : statements) {
    EXPECT_EQ(statement.find("--"), std::string::npos);
    EXPECT_NE(statement.back(), ';');
    EXPECT_EQ(statement.rfind("CREATE ", 0), 0u) << statement;
  }
}

}  // namespace
}  // namespace qdw::database
