#include "tests/database/database_test_machine.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "database/database_paths.h"
#include "database/product_schema.h"

namespace qdw::testing {

DatabaseTestMachine::DatabaseTestMachine() = default;
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

void DatabaseTestMachine::MakeFolder(const std::string& windows_path) {
  std::filesystem::create_directories(sim_.HostPath(windows_path));
}

void DatabaseTestMachine::MakeDatabase(const std::string& database_path,
                                       const std::vector<std::string>& rows) {
  MakeFolder(database_path.substr(0, database_path.rfind('\\')));
  std::string error;
  ASSERT_TRUE(database::CreateProductDatabase(files(), databases(), database_path, &error))
      << error;
  Execute(database_path, rows);
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
