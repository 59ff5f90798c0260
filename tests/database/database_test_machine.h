// A stand-in machine for the database tests, with helpers to read the product database behind
// the code under test.
#ifndef QDW_TESTS_DATABASE_DATABASE_TEST_MACHINE_H_
#define QDW_TESTS_DATABASE_DATABASE_TEST_MACHINE_H_

#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "tests/platform/sim_test_machine.h"

namespace qdw::testing {

class DatabaseTestMachine {
 public:
  DatabaseTestMachine();
  ~DatabaseTestMachine();

  SimTestMachine& sim() { return sim_; }
  platform::Platform& platform() { return sim_.platform(); }
  platform::FileSystem& files() { return platform().files(); }
  platform::Databases& databases() { return platform().databases(); }

  bool Exists(const std::string& windows_path) { return sim_.Exists(windows_path); }
  // Creates a folder with its parents behind the ports' back.
  void MakeFolder(const std::string& windows_path);
  // Creates an empty product database (with its folder) and fills it; fails the test on error.
  void MakeDatabase(const std::string& database_path, const std::vector<std::string>& rows);

  // Every row of `sql` with the named columns, values as text ("" for NULL); fails the test
  // on a database error.
  std::vector<std::vector<std::string>> Rows(const std::string& database_path,
                                             const std::string& sql,
                                             const std::vector<std::string>& columns);
  // The first column of every row.
  std::vector<std::string> Column(const std::string& database_path, const std::string& sql,
                                  const std::string& column);
  // Number of rows of `sql`.
  size_t Count(const std::string& database_path, const std::string& sql);
  // Executes statements (test set-up); fails the test when one fails.
  void Execute(const std::string& database_path, const std::vector<std::string>& statements);

 private:
  SimTestMachine sim_;
};

}  // namespace qdw::testing

#endif  // QDW_TESTS_DATABASE_DATABASE_TEST_MACHINE_H_
