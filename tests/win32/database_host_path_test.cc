// The database port under Wine, where ODBC goes to the host's driver manager: the file that a
// connect string names by its Windows path reaches the host's driver by its host path, and a
// missing file is refused rather than created by that driver.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>

#include "platform/platform.h"
#include "tests/win32/win32_scratch_folder.h"

namespace qdw::win32 {
namespace {

using platform::DatabaseConnection;
using platform::DefaultPlatform;
using testing::RunningUnderWine;
using testing::ScratchFolder;

// The host's SQLite ODBC driver as the system's driver list names it (Debian libsqliteodbc).
const char kDriver[] = "ODBC;DRIVER={SQLite3};DSN='';DBQ=";

bool FileExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

class DatabaseHostPathTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!RunningUnderWine()) GTEST_SKIP() << "on Windows the driver reads Windows paths itself";
    std::unique_ptr<DatabaseConnection> probe = DefaultPlatform().databases().NewConnection();
    if (!probe->Open("DRIVER={SQLite3}", false, false, false)) {
      GTEST_SKIP() << "no SQLite ODBC driver on the host: " << probe->LastError();
    }
  }

  ScratchFolder scratch_;
};

TEST_F(DatabaseHostPathTest, TheFileNamedByItsWindowsPathIsTheOneOpened) {
  const std::string file = scratch_.Path("Data Base\\VNDATABASE.mdb");
  scratch_.Put("Data Base\\VNDATABASE.mdb", "");  // an empty file is an empty database
  std::unique_ptr<DatabaseConnection> connection = DefaultPlatform().databases().NewConnection();
  ASSERT_TRUE(connection->Open(kDriver + file, false, false, true)) << connection->LastError();
  ASSERT_TRUE(connection->Execute("CREATE TABLE qln_printer (ID INTEGER, Icon_Path TEXT)"));
  ASSERT_TRUE(connection->Execute("INSERT INTO qln_printer VALUES (1, 'C:\\p.ico=0')"));
  connection->Close();

  std::unique_ptr<DatabaseConnection> again = DefaultPlatform().databases().NewConnection();
  ASSERT_TRUE(again->Open(kDriver + file, false, false, true)) << again->LastError();
  std::unique_ptr<platform::RecordSet> rows;
  ASSERT_TRUE(again->Query("SELECT * FROM qln_printer", true, &rows)) << again->LastError();
  ASSERT_TRUE(rows->Fetch());
  EXPECT_EQ(rows->Value("Icon_Path").value_or(""), "C:\\p.ico=0");
}

TEST_F(DatabaseHostPathTest, AMissingFileIsRefusedAndNotCreated) {
  const std::string file = scratch_.Path("VNDATABASE.mdb");
  std::unique_ptr<DatabaseConnection> connection = DefaultPlatform().databases().NewConnection();
  EXPECT_FALSE(connection->Open(kDriver + file, false, false, true));
  EXPECT_EQ(connection->LastError(), "HY024: Could not find file '" + file + "'.");
  EXPECT_FALSE(FileExists(file));
}

}  // namespace
}  // namespace qdw::win32
