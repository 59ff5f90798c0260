// The product database through the port: values as text, the Access dialect of the system's
// statements, transactions, and failures that say why.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/database.h"
#include "tests/platform/port_under_test.h"

namespace qdw::platform {
namespace {

class DatabaseContractTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string why;
    const std::string connect = port_->NewDatabase(&why);
    if (connect.empty()) GTEST_SKIP() << why;
    connection_ = port_->platform().databases().NewConnection();
    ASSERT_TRUE(connection_->Open(connect, false, false, true)) << connection_->LastError();
    for (const char* sql : {
             "CREATE TABLE qln_folder (id INTEGER PRIMARY KEY, parent_folder__id INTEGER, "
             "name TEXT, path TEXT, shared BIT, share_type INTEGER, IsShareCreator BIT)",
             "CREATE TABLE qln_file_properties (id INTEGER PRIMARY KEY, folder__id INTEGER, "
             "pdf_name TEXT, original_file_name TEXT, is_open TEXT, merged INTEGER)",
             "INSERT INTO qln_folder VALUES (1, 0, 'Root', 'C:\\Data', 0, 0, 0)",
             "INSERT INTO qln_folder VALUES (2, 1, 'O''Brien', NULL, 1, 0, 1)",
             "INSERT INTO qln_file_properties VALUES (10, 2, 'a', '', '1', 0)",
             "INSERT INTO qln_file_properties VALUES (11, 2, 'b', 'b', '0', 1)",
         }) {
      ASSERT_TRUE(connection_->Execute(sql)) << sql << ": " << connection_->LastError();
    }
  }

  // The rows' values of one column, joined by ",".
  std::string Column(const std::string& sql, const std::string& column) {
    std::unique_ptr<RecordSet> rows;
    EXPECT_TRUE(connection_->Query(sql, true, &rows)) << sql << ": " << connection_->LastError();
    if (!rows) return "<failed>";
    std::string values;
    while (rows->Fetch()) {
      if (!values.empty()) values += ",";
      values += rows->Value(column).value_or("<null>");
    }
    EXPECT_EQ(rows->LastError(), "");
    return values;
  }

  std::unique_ptr<testing::PortUnderTest> port_ = testing::PortUnderTest::Make();
  std::unique_ptr<DatabaseConnection> connection_;
};

TEST_F(DatabaseContractTest, ValuesReadAsTextWithNullsAndLongTexts) {
  std::unique_ptr<RecordSet> rows;
  ASSERT_TRUE(connection_->Query("SELECT * FROM qln_folder WHERE id = 2", true, &rows));
  ASSERT_TRUE(rows->Fetch());
  EXPECT_EQ(rows->ColumnCount(), 7u);
  EXPECT_EQ(rows->ColumnName(2), "name");
  EXPECT_TRUE(rows->HasColumn("SHARE_TYPE"));
  EXPECT_FALSE(rows->HasColumn("nothing"));
  EXPECT_EQ(rows->Value("Name"), "O'Brien");
  EXPECT_EQ(rows->Value("shared"), "1");
  EXPECT_EQ(rows->Value("path"), std::nullopt);
  EXPECT_EQ(rows->Value(size_t{99}), std::nullopt);
  EXPECT_FALSE(rows->Fetch());
  EXPECT_EQ(rows->LastError(), "");

  std::string long_path(10000, 'x');
  long_path += "end";
  ASSERT_TRUE(
      connection_->Execute("UPDATE qln_folder SET path = '" + long_path + "' WHERE id = 1"));
  EXPECT_EQ(Column("SELECT path FROM qln_folder WHERE id = 1", "path"), long_path);
}

TEST_F(DatabaseContractTest, TheAccessDialectOfTheSystemsStatementsWorks) {
  QDW_SKIP_IF_LACKING(*port_, testing::Capability::kAccessDialect);
  EXPECT_EQ(Column("SELECT * FROM qln_file_properties WHERE is_open = 1", "id"), "10");
  long changed = 0;
  ASSERT_TRUE(connection_->Execute("UPDATE qln_file_properties SET is_open = '0'", &changed));
  EXPECT_EQ(changed, 2);
  EXPECT_EQ(Column("SELECT * FROM qln_file_properties WHERE is_open = 1", "id"), "");
  EXPECT_EQ(Column("SELECT * FROM qln_folder WHERE shared=Yes", "id"), "2");
  ASSERT_TRUE(
      connection_->Execute("UPDATE qln_folder SET path='O''Brien' , shared=No, "
                           "share_type=-1, IsShareCreator =No where name='O''Brien' "
                           "and shared=Yes"));
  EXPECT_EQ(Column("SELECT * FROM [qln_folder] WHERE id = 2", "share_type"), "-1");
  EXPECT_EQ(Column("SELECT * FROM qln_folder WHERE id = 2", "IsShareCreator"), "0");
  ASSERT_TRUE(connection_->Execute(
      "DELETE * FROM qln_file_properties WHERE original_file_name ='b' AND folder__id = 2",
      &changed));
  EXPECT_EQ(changed, 1);
  // A statement that matches nothing is no failure.
  ASSERT_TRUE(connection_->Execute("DELETE FROM qln_file_properties WHERE id =999", &changed));
  EXPECT_EQ(changed, 0);
}

TEST_F(DatabaseContractTest, TransactionsCommitOrLeaveEverythingAsItWas) {
  ASSERT_TRUE(connection_->BeginTransaction());
  ASSERT_TRUE(connection_->Execute("Delete FROM qln_folder where id=2"));
  ASSERT_TRUE(connection_->Rollback());
  EXPECT_EQ(Column("SELECT id FROM qln_folder", "id"), "1,2");

  ASSERT_TRUE(connection_->BeginTransaction());
  ASSERT_TRUE(connection_->Execute("Delete FROM qln_folder where id=2"));
  ASSERT_TRUE(connection_->Commit());
  EXPECT_EQ(Column("SELECT id FROM qln_folder", "id"), "1");
  EXPECT_FALSE(connection_->Commit());  // none in progress
}

TEST_F(DatabaseContractTest, FailuresSayWhyAndLeaveTheConnectionUsable) {
  EXPECT_FALSE(connection_->Execute("DELETE FROM no_such_table"));
  EXPECT_NE(connection_->LastError().find("no_such_table"), std::string::npos)
      << connection_->LastError();
  std::unique_ptr<RecordSet> rows;
  EXPECT_FALSE(connection_->Query("SELECT nonsense FROM", true, &rows));
  EXPECT_EQ(rows, nullptr);
  EXPECT_TRUE(connection_->Execute("DELETE FROM qln_folder WHERE id = 2"));
}

TEST_F(DatabaseContractTest, ARecordSetOutlivingItsConnectionFailsCleanly) {
  std::unique_ptr<RecordSet> rows;
  ASSERT_TRUE(connection_->Query("SELECT * FROM qln_folder", false, &rows));
  ASSERT_TRUE(rows->Fetch());
  connection_->Close();
  EXPECT_FALSE(connection_->IsOpen());
  EXPECT_FALSE(rows->Fetch());
  EXPECT_NE(rows->LastError(), "");
  EXPECT_FALSE(connection_->Execute("SELECT 1"));
}

}  // namespace
}  // namespace qdw::platform
