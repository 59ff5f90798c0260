// The stand-in machine's database: the Access connect string to a file of the machine,
// failing commits and statements, and files that are missing or no database.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/database.h"
#include "tests/platform/sim_test_machine.h"

namespace qdw::platform {
namespace {

using testing::SimTestMachine;

const char kDatabase[] = "C:\\Users\\jo\\VARNOLD\\QDW\\DataBase\\VNDATABASE.mdb";

std::string ConnectString(const std::string& file) {
  return "ODBC;DRIVER={MICROSOFT ACCESS DRIVER (*.mdb)};DSN='';DBQ=" + file;
}

class SimDatabaseTest : public ::testing::Test {
 protected:
  SimDatabaseTest() {
    machine_.PutFile(kDatabase, "");
    connection_ = machine_.platform().databases().NewConnection();
    EXPECT_TRUE(connection_->Open(ConnectString(kDatabase), false, false, true))
        << connection_->LastError();
    EXPECT_TRUE(
        connection_->Execute("CREATE TABLE qln_folder (id INTEGER PRIMARY KEY, name TEXT)"));
    EXPECT_TRUE(connection_->Execute("INSERT INTO qln_folder VALUES (1, 'Root')"));
    EXPECT_TRUE(connection_->Execute("INSERT INTO qln_folder VALUES (2, 'Sub')"));
  }
  long Count() {
    std::unique_ptr<RecordSet> rows;
    EXPECT_TRUE(connection_->Query("SELECT * FROM qln_folder", true, &rows));
    long count = 0;
    while (rows && rows->Fetch()) ++count;
    return count;
  }
  SimTestMachine machine_;
  std::unique_ptr<DatabaseConnection> connection_;
};

TEST_F(SimDatabaseTest, TextComparesIgnoringCaseAsTheAccessDriverDoes) {
  std::unique_ptr<RecordSet> rows;
  ASSERT_TRUE(connection_->Query("SELECT id FROM qln_folder WHERE name = 'ROOT' OR name IN ('sUB')",
                                 true, &rows));
  long count = 0;
  while (rows->Fetch()) ++count;
  EXPECT_EQ(count, 2);
  long changed = 0;
  ASSERT_TRUE(connection_->Execute("DELETE FROM qln_folder WHERE name = 'root'", &changed));
  EXPECT_EQ(changed, 1);
}

TEST_F(SimDatabaseTest, AFailingCommitUndoesTheTransactionsWork) {
  machine_.machine().faults().AddRule("Database.Commit", 1, kErrorDiskFull);
  ASSERT_TRUE(connection_->BeginTransaction());
  ASSERT_TRUE(connection_->Execute("Delete FROM qln_folder where id=1"));
  EXPECT_FALSE(connection_->Commit());
  EXPECT_NE(connection_->LastError(), "");
  EXPECT_EQ(Count(), 2);
}

TEST_F(SimDatabaseTest, AFailingStatementSaysWhyAndTheNextOneRuns) {
  machine_.machine().faults().AddRule("Database.Execute", 1, kErrorLockViolation, "DELETE*");
  EXPECT_FALSE(connection_->Execute("DELETE FROM qln_folder WHERE id = 2"));
  EXPECT_NE(connection_->LastError(), "");
  EXPECT_TRUE(connection_->Execute("DELETE FROM qln_folder WHERE id = 2"));
  EXPECT_EQ(Count(), 1);
}

TEST(DatabaseOpenTest, AMissingFileIsNeitherOpenedNorCreated) {
  SimTestMachine machine;
  auto connection = machine.platform().databases().NewConnection();
  EXPECT_FALSE(connection->Open(ConnectString(kDatabase), false, false, true));
  EXPECT_FALSE(connection->IsOpen());
  EXPECT_NE(connection->LastError().find("VNDATABASE.mdb"), std::string::npos);
  EXPECT_FALSE(machine.Exists(kDatabase));
  EXPECT_FALSE(connection->Open(ConnectString("Q:\\VNDATABASE.mdb"), false, false, true));
  EXPECT_FALSE(
      connection->Open("ODBC;DRIVER={MICROSOFT ACCESS DRIVER (*.mdb)};DSN=''", false, false, true));
  // Not a database at all.
  machine.PutFile(kDatabase, std::string(2048, 'x'));
  if (connection->Open(ConnectString(kDatabase), false, false, true)) {
    EXPECT_FALSE(connection->Execute("SELECT * FROM qln_folder"));
  }
}

TEST(DatabaseOpenTest, TheFileIsFoundIgnoringCaseAndReadOnlyRefusesWrites) {
  SimTestMachine machine;
  machine.PutFile(kDatabase, "");
  auto connection = machine.platform().databases().NewConnection();
  ASSERT_TRUE(connection->Open(
      ConnectString("c:\\users\\JO\\varnold\\qdw\\database\\vndatabase.MDB"), false, true, false))
      << connection->LastError();
  EXPECT_FALSE(connection->Execute("CREATE TABLE t (a INTEGER)"));
}

}  // namespace
}  // namespace qdw::platform
