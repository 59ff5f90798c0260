#include "tests/database/database_test_machine.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "database/database_paths.h"
#include "platform/odbc/odbc_connection.h"
#include "platform/sim/sql_dialect.h"

namespace qdw::testing {
namespace {

// Interim database port for these tests until the stand-in machine's own lands: the SQLite
// ODBC driver on the host file behind the DBQ path, with the Access dialect adapted.
class InterimConnection : public platform::DatabaseConnection {
 public:
  explicit InterimConnection(sim::SimMachine& machine) : machine_(machine) {}
  bool Open(const std::string& connect_string, bool exclusive, bool read_only,
            bool use_cursor_library) override {
    const size_t at = connect_string.find("DBQ=");
    std::string host;
    struct stat info;
    if (at == std::string::npos || !machine_.ToHostPath(connect_string.substr(at + 4), &host) ||
        ::stat(host.c_str(), &info) != 0) {
      return false;
    }
    return odbc_.Open("DRIVER=/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so;Database=" + host,
                      exclusive, read_only, use_cursor_library);
  }
  bool IsOpen() const override { return odbc_.IsOpen(); }
  void Close() override { odbc_.Close(); }
  bool Execute(const std::string& sql, long* rows) override {
    return odbc_.Execute(sim::SqlDialect::ToSqlite(sql), rows);
  }
  bool Query(const std::string& sql, bool read_only,
             std::unique_ptr<platform::RecordSet>* out) override {
    return odbc_.Query(sim::SqlDialect::ToSqlite(sql), read_only, out);
  }
  bool BeginTransaction() override { return odbc_.BeginTransaction(); }
  bool Commit() override { return odbc_.Commit(); }
  bool Rollback() override { return odbc_.Rollback(); }
  std::string LastError() const override { return odbc_.LastError(); }

 private:
  sim::SimMachine& machine_;
  odbc::OdbcConnection odbc_;
};

class InterimDatabases : public platform::Databases {
 public:
  explicit InterimDatabases(sim::SimMachine& machine) : machine_(machine) {}
  std::unique_ptr<platform::DatabaseConnection> NewConnection() override {
    return std::make_unique<InterimConnection>(machine_);
  }

 private:
  sim::SimMachine& machine_;
};

class TestPlatform : public platform::Platform {
 public:
  explicit TestPlatform(sim::SimPlatform& sim) : sim_(sim), databases_(sim.machine()) {}
  platform::FileSystem& files() override { return sim_.files(); }
  platform::Registry& registry() override { return sim_.registry(); }
  platform::ServiceManager& services() override { return sim_.services(); }
  platform::Processes& processes() override { return sim_.processes(); }
  platform::Shares& shares() override { return sim_.shares(); }
  platform::ShareProxyFactory& share_proxy() override { return sim_.share_proxy(); }
  platform::Accounts& accounts() override { return sim_.accounts(); }
  platform::Shell& shell() override { return sim_.shell(); }
  platform::SystemInfo& system() override { return sim_.system(); }
  platform::Libraries& libraries() override { return sim_.libraries(); }
  platform::Mutexes& mutexes() override { return sim_.mutexes(); }
  platform::Databases& databases() override { return databases_; }

 private:
  sim::SimPlatform& sim_;
  InterimDatabases databases_;
};

}  // namespace

DatabaseTestMachine::DatabaseTestMachine()
    : platform_(std::make_unique<TestPlatform>(sim_.platform())) {}

DatabaseTestMachine::~DatabaseTestMachine() = default;

std::vector<std::vector<std::string>> DatabaseTestMachine::Rows(
    const std::string& database_path, const std::string& sql,
    const std::vector<std::string>& columns) {
  std::vector<std::vector<std::string>> rows;
  std::unique_ptr<platform::DatabaseConnection> connection = databases().NewConnection();
  if (!connection->Open(database::AccessConnectString(database_path), false, true, false)) {
    ADD_FAILURE() << "cannot open " << database_path << ": " << connection->LastError();
    return rows;
  }
  std::unique_ptr<platform::RecordSet> records;
  if (!connection->Query(sql, true, &records)) {
    ADD_FAILURE() << sql << ": " << connection->LastError();
    return rows;
  }
  while (records->Fetch()) {
    std::vector<std::string> row;
    for (const std::string& column : columns) row.push_back(records->Value(column).value_or(""));
    rows.push_back(row);
  }
  EXPECT_EQ(records->LastError(), "") << sql;
  return rows;
}

std::vector<std::string> DatabaseTestMachine::Column(const std::string& database_path,
                                                     const std::string& sql,
                                                     const std::string& column) {
  std::vector<std::string> values;
  for (auto& row : Rows(database_path, sql, {column})) values.push_back(row[0]);
  return values;
}

size_t DatabaseTestMachine::Count(const std::string& database_path, const std::string& sql) {
  return Rows(database_path, sql, {}).size();
}

void DatabaseTestMachine::Execute(const std::string& database_path,
                                  const std::vector<std::string>& statements) {
  std::unique_ptr<platform::DatabaseConnection> connection = databases().NewConnection();
  ASSERT_TRUE(connection->Open(database::AccessConnectString(database_path), false, false, false))
      << connection->LastError();
  for (const std::string& statement : statements) {
    ASSERT_TRUE(connection->Execute(statement)) << statement << ": " << connection->LastError();
  }
}

}  // namespace qdw::testing
