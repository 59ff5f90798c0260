#include "platform/sim/machine_store.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace qdw::sim {
namespace {

class MachineStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = std::filesystem::temp_directory_path() /
            ("qdw-store-" + std::to_string(::getpid()) + "-" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(root_);
  }
  void TearDown() override { std::filesystem::remove_all(root_); }
  std::filesystem::path root_;
};

TEST_F(MachineStoreTest, MissingDocumentReadsAsEmptyObjectAndWritesRoundTrip) {
  MachineStore store(root_.string());
  EXPECT_EQ(store.Read("services.json"), Json::object());
  store.Write("services.json", Json{{"CiSvc", {{"state", 4}}}});
  EXPECT_EQ(store.Read("services.json")["CiSvc"]["state"], 4);
  store.Update("services.json", [](Json& doc) {
    doc["CiSvc"]["state"] = 1;
    return true;
  });
  EXPECT_EQ(store.Read("services.json")["CiSvc"]["state"], 1);
  // Nested use under one lock must not wait for itself.
  store.WithLock([&] { store.Update("a.json", [](Json& d) { return (d["x"] = 1), true; }); });
  EXPECT_EQ(store.Read("a.json")["x"], 1);
}

TEST_F(MachineStoreTest, DamagedDocumentIsAnErrorNotAnEmptyMachine) {
  std::ofstream(root_ / "machine.json") << "{ not json";
  MachineStore store(root_.string());
  EXPECT_THROW(store.Read("machine.json"), std::runtime_error);
}

TEST_F(MachineStoreTest, UpdatesFromSeveralProcessesAreNotLost) {
  MachineStore store(root_.string());
  store.Write("counter.json", Json{{"n", 0}});
  constexpr int kProcesses = 4;
  constexpr int kIncrements = 50;
  for (int p = 0; p < kProcesses; ++p) {
    pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      MachineStore child(root_.string());
      for (int i = 0; i < kIncrements; ++i) {
        child.Update("counter.json", [](Json& doc) {
          doc["n"] = doc["n"].get<int>() + 1;
          return true;
        });
      }
      ::_exit(0);
    }
  }
  for (int p = 0; p < kProcesses; ++p) {
    int status = 0;
    ::wait(&status);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  EXPECT_EQ(store.Read("counter.json")["n"], kProcesses * kIncrements);
}

}  // namespace
}  // namespace qdw::sim
