// The connection that hands a host driver the host path of the Windows database file, run
// against the host's SQLite ODBC driver as it is reached under Wine.
#include "platform/odbc/host_path_connection.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <string>

#include "platform/sim/sim_databases.h"

namespace qdw::odbc {
namespace {

TEST(DatabaseFileOfTest, FindsTheFileAttributeWhateverItsCaseAndQuoting) {
  EXPECT_EQ(
      DatabaseFileOf("ODBC;DRIVER={MICROSOFT ACCESS DRIVER (*.mdb)};DSN='';DBQ=C:\\a b\\x.mdb"),
      "C:\\a b\\x.mdb");
  EXPECT_EQ(DatabaseFileOf("DRIVER={X};dbq={C:\\x;y.mdb};UID=admin"), "C:\\x;y.mdb");
  EXPECT_EQ(DatabaseFileOf("Dbq=C:\\x.mdb;DSN=a"), "C:\\x.mdb");
  EXPECT_EQ(DatabaseFileOf("DRIVER={X};;READONLY;DBQ=C:\\x.mdb"), "C:\\x.mdb");
}

TEST(DatabaseFileOfTest, NoFileAttributeGivesNothing) {
  EXPECT_FALSE(DatabaseFileOf("DRIVER={SQLite3};Database=/tmp/x").has_value());
  EXPECT_FALSE(DatabaseFileOf("DRIVER={X};XDBQ=C:\\x.mdb").has_value());
  EXPECT_FALSE(DatabaseFileOf("").has_value());
}

class HostPathConnectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char folder[] = "/tmp/qdw-host-path-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    folder_ = folder;
    host_file_ = folder_ + "/VNDATABASE.mdb";
    std::ofstream(host_file_).flush();  // an empty file is an empty SQLite database
    files_[kWindowsFile] = host_file_;
  }
  void TearDown() override {
    std::remove(host_file_.c_str());
    std::remove((folder_ + "/Missing.mdb").c_str());
    rmdir(folder_.c_str());
  }

  // The host driver with the Access driver's file attribute, as a private driver entry would
  // name it. The product's "DSN=''" is left out: with it the SQLite driver reads the driver
  // manager's ini files, whose cache the leak checker reports.
  std::string ConnectString(const std::string& file) const {
    return "ODBC;DRIVER={" + sim::SqliteOdbcDriver() + "};DBQ=" + file;
  }

  HostPathConnection NewConnection() {
    return HostPathConnection([this](const std::string& path) -> std::optional<std::string> {
      auto found = files_.find(path);
      if (found == files_.end()) return std::nullopt;
      return found->second;
    });
  }

  static constexpr char kWindowsFile[] = "C:\\QDW\\DataBase\\VNDATABASE.mdb";
  std::string folder_;
  std::string host_file_;
  std::map<std::string, std::string> files_;
};

TEST_F(HostPathConnectionTest, OpensTheHostFileAndRunsTheBackupStatements) {
  HostPathConnection connection = NewConnection();
  ASSERT_TRUE(connection.Open(ConnectString(kWindowsFile), false, false, true))
      << connection.LastError();
  ASSERT_TRUE(connection.Execute("CREATE TABLE qln_file_properties (id INTEGER, is_open INTEGER)"));
  ASSERT_TRUE(connection.Execute("INSERT INTO qln_file_properties VALUES (1, 1), (2, 0)"));
  ASSERT_TRUE(connection.Execute("UPDATE qln_file_properties SET is_open = '0'"));
  connection.Close();

  // The rows landed in the named file, not in a database of the driver's own choosing.
  HostPathConnection again = NewConnection();
  ASSERT_TRUE(again.Open(ConnectString(kWindowsFile), false, false, true)) << again.LastError();
  std::unique_ptr<platform::RecordSet> rows;
  ASSERT_TRUE(again.Query("SELECT * FROM qln_file_properties WHERE is_open = 1", true, &rows))
      << again.LastError();
  EXPECT_FALSE(rows->Fetch());
  EXPECT_EQ(rows->LastError(), "");
}

TEST_F(HostPathConnectionTest, AMissingFileIsRefusedAndNeverCreated) {
  const std::string missing = folder_ + "/Missing.mdb";
  HostPathConnection connection = NewConnection();
  EXPECT_FALSE(connection.Open(ConnectString("C:\\QDW\\Missing.mdb"), false, false, true));
  EXPECT_EQ(connection.LastError(), "HY024: Could not find file 'C:\\QDW\\Missing.mdb'.");
  EXPECT_FALSE(connection.IsOpen());
  EXPECT_NE(access(missing.c_str(), F_OK), 0);
}

TEST_F(HostPathConnectionTest, AHostPathTheStringCannotCarryIsRefused) {
  files_["C:\\odd.mdb"] = "/tmp/a;Database=/tmp/other";
  HostPathConnection connection = NewConnection();
  EXPECT_FALSE(connection.Open(ConnectString("C:\\odd.mdb"), false, false, true));
  EXPECT_NE(connection.LastError().find("cannot be handed to the driver"), std::string::npos);
}

TEST_F(HostPathConnectionTest, AStringWithoutAFileGoesToTheDriverUnchanged) {
  HostPathConnection connection = NewConnection();
  ASSERT_TRUE(connection.Open("DRIVER={" + sim::SqliteOdbcDriver() + "};Database=" + host_file_,
                              false, false, false))
      << connection.LastError();
  EXPECT_TRUE(connection.Execute("CREATE TABLE t (a INTEGER)"));
}

}  // namespace
}  // namespace qdw::odbc
