// Per-call cost of the stand-in machine's registry, services, shares and database ports: the
// engines call them a few hundred times per run, the record cleanup a few thousand.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/database.h"
#include "platform/registry.h"
#include "platform/services.h"
#include "platform/shares.h"
#include "tests/platform/sim_test_machine.h"

namespace qdw::platform {
namespace {

const char kDatabase[] = "C:\\Data\\VNDATABASE.mdb";

std::vector<uint8_t> Text(const std::string& text) {
  std::vector<uint8_t> data(text.begin(), text.end());
  data.push_back(0);
  return data;
}

// A hive of `keys` keys with a value each, as a product installation has.
void FillHive(Registry& registry, int keys) {
  for (int i = 0; i < keys; ++i) {
    std::unique_ptr<RegistryKey> key;
    registry.CreateKey(Hive::kLocalMachine,
                       "SOFTWARE\\Vendor" + std::to_string(i % 20) + "\\Key" + std::to_string(i),
                       kKeyWrite, &key, nullptr);
    key->SetValue("Path", kRegSz, Text("C:\\Program Files\\Vendor\\" + std::to_string(i)));
  }
}

void BM_RegistryOpenAndQuery(benchmark::State& state) {
  testing::SimTestMachine machine;
  Registry& registry = machine.platform().registry();
  FillHive(registry, static_cast<int>(state.range(0)));
  for (auto _ : state) {
    std::unique_ptr<RegistryKey> key;
    registry.OpenKey(Hive::kLocalMachine, "SOFTWARE\\Vendor3\\Key3", kKeyRead, &key);
    uint32_t type = 0;
    std::vector<uint8_t> data;
    key->QueryValue("Path", 1024, &type, &data);
    benchmark::DoNotOptimize(data);
  }
}
BENCHMARK(BM_RegistryOpenAndQuery)->Arg(500);

void BM_RegistrySetValue(benchmark::State& state) {
  testing::SimTestMachine machine;
  Registry& registry = machine.platform().registry();
  FillHive(registry, static_cast<int>(state.range(0)));
  std::unique_ptr<RegistryKey> key;
  registry.CreateKey(Hive::kLocalMachine, "SOFTWARE\\Bench", kKeyWrite, &key, nullptr);
  int i = 0;
  for (auto _ : state) key->SetValue("Path", kRegSz, Text(std::to_string(i++)));
}
BENCHMARK(BM_RegistrySetValue)->Arg(500);

void BM_ServiceQueryStatus(benchmark::State& state) {
  testing::SimTestMachine machine;
  machine.machine().store().Write("services.json", {{"CiSvc", {{"state", "running"}}}});
  std::unique_ptr<ServiceDatabase> database;
  machine.platform().services().Connect(kGenericExecute, &database);
  std::unique_ptr<Service> service;
  database->OpenServiceByName("CiSvc", kServiceQueryStatus, &service);
  for (auto _ : state) {
    ServiceStatus status;
    service->QueryStatus(&status);
    benchmark::DoNotOptimize(status);
  }
}
BENCHMARK(BM_ServiceQueryStatus);

void BM_ShareEnumeration(benchmark::State& state) {
  testing::SimTestMachine machine;
  Shares& shares = machine.platform().shares();
  for (int i = 0; i < state.range(0); ++i) {
    std::string folder = "C:\\Shares\\S" + std::to_string(i);
    machine.PutFile(folder + "\\x", "x");
    ShareInfo share;
    share.name = "S" + std::to_string(i);
    share.path = folder;
    shares.Add(share);
  }
  for (auto _ : state) {
    uint32_t resume = 0;
    std::vector<ShareInfo> all;
    while (shares.Enumerate(&resume, &all) == kErrorMoreData) {
    }
    benchmark::DoNotOptimize(all);
  }
}
BENCHMARK(BM_ShareEnumeration)->Arg(30);

std::unique_ptr<DatabaseConnection> OpenDatabase(testing::SimTestMachine& machine) {
  auto connection = machine.platform().databases().NewConnection();
  connection->Open(
      std::string("ODBC;DRIVER={MICROSOFT ACCESS DRIVER (*.mdb)};DSN='';DBQ=") + kDatabase, false,
      false, true);
  return connection;
}

void BM_DatabaseOpenClose(benchmark::State& state) {
  testing::SimTestMachine machine;
  machine.PutFile(kDatabase, "");
  for (auto _ : state) OpenDatabase(machine)->Close();
}
BENCHMARK(BM_DatabaseOpenClose)->Unit(benchmark::kMicrosecond);

void BM_DatabaseScanRows(benchmark::State& state) {
  testing::SimTestMachine machine;
  machine.PutFile(kDatabase, "");
  auto connection = OpenDatabase(machine);
  connection->Execute(
      "CREATE TABLE qln_file_properties (id INTEGER PRIMARY KEY, pdf_name TEXT, "
      "is_open INTEGER, merged INTEGER)");
  connection->BeginTransaction();
  for (int i = 0; i < state.range(0); ++i) {
    connection->Execute("INSERT INTO qln_file_properties VALUES (" + std::to_string(i) +
                        ", 'Document " + std::to_string(i) + "', 0, 0)");
  }
  connection->Commit();
  for (auto _ : state) {
    std::unique_ptr<RecordSet> rows;
    connection->Query("SELECT * FROM qln_file_properties", false, &rows);
    while (rows->Fetch()) benchmark::DoNotOptimize(rows->Value("pdf_name"));
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_DatabaseScanRows)->Arg(5000)->Unit(benchmark::kMillisecond);

void BM_DatabaseDeleteStatement(benchmark::State& state) {
  testing::SimTestMachine machine;
  machine.PutFile(kDatabase, "");
  auto connection = OpenDatabase(machine);
  connection->Execute("CREATE TABLE qln_binder (id INTEGER PRIMARY KEY, total_files INTEGER)");
  for (auto _ : state) connection->Execute("DELETE * FROM qln_binder WHERE id =7");
}
BENCHMARK(BM_DatabaseDeleteStatement)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace qdw::platform

BENCHMARK_MAIN();
