// The stand-in's batches against the same items made as single calls on the same machine with
// the same faults armed: outcomes, the files left behind and the faults' counts agree item by
// item, also where an item reads what an earlier one of its batch wrote.
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "tests/platform/file_system_test_fixture.h"
#include "tests/platform/sim_test_machine.h"

namespace qdw::platform {
namespace {

using BatchEnd = FileSystem::BatchEnd;

constexpr int kFiles = 40;
constexpr WinError kInjected = 112;
constexpr size_t kBigFile = (1 << 20) + 4096;  // more than one chunk of a copy

struct Scenario {
  const char* name;
  bool chained;
  std::function<void(const sim::FaultInjector&)> arm;
};

class SimFileBatchTest : public FileSystemCases {
 protected:
  FileSystem& fs() override { return machine_.platform().files(); }
  const sim::FaultInjector& faults() { return machine_.machine().faults(); }

  void SetUp() override {
    ASSERT_EQ(fs().MakeFolder("C:\\Src"), kSuccess);
    for (int i = 0; i < kFiles; ++i) Write(Source(i), "file " + std::to_string(i));
    Write("C:\\Src\\big.bin", std::string(kBigFile, 'b'));
    ASSERT_EQ(fs().WriteAttributes(Source(3), kAttrHidden), kSuccess);
  }
  static std::string Source(int i) { return "C:\\Src\\f" + std::to_string(100 + i) + ".txt"; }

  // Every file of the source folder, the big one among them; `chained`, then an item that reads
  // an earlier item's target and one that writes a target a second time.
  static std::vector<FileCopy> Copies(const std::string& folder, bool chained) {
    std::vector<FileCopy> copies;
    for (int i = 0; i < kFiles; ++i) {
      copies.push_back({Source(i), folder + "\\f" + std::to_string(100 + i) + ".txt"});
      if (i == kFiles / 2) copies.push_back({"C:\\Src\\big.bin", folder + "\\big.bin"});
    }
    if (!chained) return copies;
    copies.push_back({folder + "\\f105.txt", folder + "\\chain.txt"});
    copies.push_back({Source(7), folder + "\\F105.TXT"});
    return copies;
  }

  // Names and contents of a folder's files, and what the fault rules counted.
  std::string State(const std::string& folder) {
    std::string state;
    for (const std::string& name : Names(folder + "\\*")) {
      if (name == "." || name == "..") continue;
      const std::string content = Read(folder + "\\" + name);
      state += name + "=" + (content.size() > 64 ? std::to_string(content.size()) : content) + "@" +
               std::to_string(Attributes(folder + "\\" + name)) + ";";
    }
    std::ifstream rules(machine_.folder() + "/faults.json");
    return state + " faults " + std::string(std::istreambuf_iterator<char>(rules), {});
  }

  testing::SimTestMachine machine_;
};

TEST_F(SimFileBatchTest, BatchesEndAsTheirSingleCallsUnderEveryFault) {
  const std::vector<Scenario> scenarios = {
      {"none, independent items", false, [](const sim::FaultInjector&) {}},
      {"none", true, [](const sim::FaultInjector&) {}},
      {"first copy", true,
       [](const sim::FaultInjector& f) { f.AddRule("FileSystem.Copy", 1, kInjected); }},
      {"a middle copy", true,
       [](const sim::FaultInjector& f) { f.AddRule("FileSystem.Copy", 17, kInjected); }},
      {"from a copy on", true,
       [](const sim::FaultInjector& f) { f.AddRule("FileSystem.Copy", 30, kInjected, "", 0); }},
      {"copies of some names", true,
       [](const sim::FaultInjector& f) {
         f.AddRule("FileSystem.Copy", 1, kInjected, "*F11?.TXT", 0);
       }},
      {"a drive that fills", true, [](const sim::FaultInjector& f) { f.SetDiskFull('C', 150); }},
      {"a drive that fills in the big file", true,
       [](const sim::FaultInjector& f) { f.SetDiskFull('C', 400 + (1 << 20)); }},
      {"a middle delete", true,
       [](const sim::FaultInjector& f) { f.AddRule("FileSystem.Delete", 9, kInjected); }},
  };
  int run = 0;
  for (const Scenario& scenario : scenarios) {
    for (BatchEnd end : {BatchEnd::kAll, BatchEnd::kStopAtFailure}) {
      SCOPED_TRACE(std::string(scenario.name) + (end == BatchEnd::kAll ? "" : ", stopping"));
      std::string states[2];
      std::vector<WinError> outcomes[2];
      for (int batched = 0; batched < 2; ++batched) {
        const std::string folder = "C:\\Run" + std::to_string(run++);
        ASSERT_EQ(fs().MakeFolder(folder), kSuccess);
        faults().Clear();
        scenario.arm(faults());
        const std::vector<FileCopy> copies = Copies(folder, scenario.chained);
        std::vector<std::string> deletes;
        for (const FileCopy& copy : copies) deletes.push_back(copy.target);
        std::vector<WinError>& results = outcomes[batched];
        if (batched == 1) {
          fs().CopyFiles(copies, /*fail_if_exists=*/false, end, &results);
          std::vector<WinError> deleted;
          fs().DeleteFiles(std::vector<std::string>(deletes.begin(), deletes.begin() + 20), end,
                           &deleted);
          results.insert(results.end(), deleted.begin(), deleted.end());
        } else {
          // The single calls, by the default loop every port starts from.
          fs().FileSystem::CopyFiles(copies, /*fail_if_exists=*/false, end, &results);
          std::vector<WinError> deleted;
          fs().FileSystem::DeleteFiles(
              std::vector<std::string>(deletes.begin(), deletes.begin() + 20), end, &deleted);
          results.insert(results.end(), deleted.begin(), deleted.end());
        }
        states[batched] = State(folder);
      }
      EXPECT_EQ(outcomes[1], outcomes[0]);
      EXPECT_EQ(states[1], states[0]);
    }
  }
  faults().Clear();
}

}  // namespace
}  // namespace qdw::platform
