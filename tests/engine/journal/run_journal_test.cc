// The run journal after a crash: a process makes changes of every kind through the journaling
// machine and dies without a word, leaving a torn record behind; the next start's recovery puts
// everything back, also when it is itself stopped half way by a failing step and run again.
// A run that was committed is only cleaned up.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

#include "engine/common/engine_state.h"
#include "engine/common/file_tree_operations.h"
#include "engine/common/locked_document_cleanup.h"
#include "engine/journal/journaled_moves.h"
#include "engine/journal/journaling_platform.h"
#include "engine/journal/run_journal.h"
#include "platform/sim/machine_snapshot.h"
#include "tests/engine/common/engine_test_support.h"
#include "tests/platform/sim_test_machine.h"

namespace qdw::journal {
namespace {

using platform::kSuccess;

constexpr char kBox[] = "C:\\Users\\jo\\Box";
constexpr char kKey[] = "Software\\Journal Test";
constexpr char kJournal[] = "C:\\ProgramData\\VARNOLD\\Quillon Deskora Backup Tool\\RunJournal.txt";

class RunJournalTest : public ::testing::Test {
 protected:
  void SetUp() override {
    machine_.PutFile("C:\\ProgramData\\VARNOLD\\Quillon Deskora Backup Tool\\BackupLog.txt", "");
    machine_.PutFile(std::string(kBox) + "\\a.txt", "the user's");
    machine_.PutFile("C:\\Users\\jo\\Documents\\keep.txt", "kept");
    platform::ShareInfo share;
    share.name = "Box";
    share.path = kBox;
    share.remark = "box";
    share.max_uses = 4;
    ASSERT_EQ(platform().shares().Add(share), kSuccess);
    std::unique_ptr<platform::RegistryKey> key;
    ASSERT_EQ(platform().registry().CreateKey(platform::Hive::kCurrentUser,
                                              std::string(kKey) + "\\Old",
                                              platform::kKeyRead | platform::kKeyWrite, &key,
                                              nullptr),
              kSuccess);
    ASSERT_EQ(key->SetValue("V", platform::kRegDword, {1, 0, 0, 0}), kSuccess);
    before_ = sim::TakeSnapshot(machine_.machine());
  }

  platform::Platform& platform() { return machine_.platform(); }

  // Runs `changes` in a child process over a journal opened there, which then ends at once,
  // as a killed program does, after appending half a record.
  void CrashAfter(const std::function<void(platform::Platform&, RunJournal&)>& changes) {
    const pid_t child = ::fork();
    if (child == 0) {
      std::unique_ptr<sim::SimPlatform> own = sim::OpenSimMachine(machine_.folder());
      engine::EngineState state;
      RunJournal journal(*own, state);
      JournalingPlatform journaling(*own, journal);
      if (!journal.Begin(kOperationRestore, nullptr)) ::_exit(1);
      changes(journaling, journal);
      if (::testing::Test::HasFailure()) ::_exit(2);
      // A record the crash cut: had it counted, its undo would remove the user's documents.
      std::ofstream(machine_.HostPath(kJournal), std::ios::app)
          << "\nQJ 999 created C:\\Users\\jo\\Documents *1234";
      ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }

  RecoveryReport Recover() {
    RunJournal journal(platform(), state_);
    return journal.Recover(/*start_services=*/false);
  }

  testing::SimTestMachine machine_;
  engine::EngineState state_;
  sim::MachineSnapshot before_;
};

TEST_F(RunJournalTest, EveryChangeComesBackAfterACrashAlsoWhenTheRecoveryIsCutShort) {
  CrashAfter([](platform::Platform& machine, RunJournal& journal) {
    engine::EngineState state;
    engine::NoLockedDocumentCleanup cleanup;
    engine::FileTreeOperations trees(machine, state, cleanup);
    JournaledMoves moves(machine, trees, journal);
    ASSERT_EQ(machine.shares().Delete("Box"), kSuccess);
    ASSERT_TRUE(moves.SetAside(kBox));
    ASSERT_TRUE(moves.MakeFolder(kBox));
    ASSERT_TRUE(moves.MakeParents("C:\\Users\\jo\\New\\Deeper\\x"));
    ASSERT_TRUE(journal.Record(CreatedRecord(std::string(kBox) + "\\b.txt")));
    std::unique_ptr<platform::File> file;
    ASSERT_EQ(machine.files().Open(std::string(kBox) + "\\b.txt", platform::kGenericWrite, 0,
                                   platform::Disposition::kCreateNew, platform::kAttrNormal, &file),
              kSuccess);
    platform::ShareInfo share;
    share.name = "Box";
    share.path = kBox;
    ASSERT_EQ(machine.shares().Add(share), kSuccess);
    std::unique_ptr<platform::RegistryKey> key;
    ASSERT_EQ(machine.registry().CreateKey(platform::Hive::kCurrentUser,
                                           std::string(kKey) + "\\New\\Deeper",
                                           platform::kKeyRead | platform::kKeyWrite, &key, nullptr),
              kSuccess);
    ASSERT_EQ(key->SetValue("Made", platform::kRegSz, {'x', 0}), kSuccess);
    ASSERT_EQ(machine.registry().OpenKey(platform::Hive::kCurrentUser, kKey,
                                         platform::kKeyRead | platform::kKeyWrite |
                                             platform::kKeyEnumerateSubKeys,
                                         &key),
              kSuccess);
    ASSERT_EQ(key->DeleteSubKey("Old"), kSuccess);
  });
  ASSERT_NE(sim::DescribeDifferences(before_, sim::TakeSnapshot(machine_.machine())), "");

  // The kept folder cannot move back yet: the rest is undone, that step stays for later.
  machine_.machine().faults().AddRule("FileSystem.Move", 1, platform::kErrorAccessDenied, "", 0);
  RecoveryReport report = Recover();
  EXPECT_TRUE(report.undo_pending);
  EXPECT_NE(std::find(report.not_put_back.begin(), report.not_put_back.end(), kBox),
            report.not_put_back.end());
  EXPECT_TRUE(machine_.Exists(kJournal));
  machine_.machine().faults().Clear();

  report = Recover();
  EXPECT_FALSE(report.undo_pending);
  EXPECT_TRUE(report.not_put_back.empty());
  EXPECT_NE(std::find(report.put_back.begin(), report.put_back.end(), kBox),
            report.put_back.end());
  EXPECT_EQ(sim::DescribeDifferences(before_, sim::TakeSnapshot(machine_.machine())), "");
  EXPECT_FALSE(machine_.Exists(kJournal));
  EXPECT_TRUE(Recover().put_back.empty());
}

TEST_F(RunJournalTest, ACommittedRunIsOnlyCleanedUp) {
  CrashAfter([](platform::Platform& machine, RunJournal& journal) {
    engine::EngineState state;
    engine::NoLockedDocumentCleanup cleanup;
    engine::FileTreeOperations trees(machine, state, cleanup);
    JournaledMoves moves(machine, trees, journal);
    ASSERT_TRUE(moves.SetAside(kBox));
    ASSERT_TRUE(moves.MakeFolder(kBox));
    ASSERT_TRUE(journal.Commit());
  });
  const RecoveryReport report = Recover();
  EXPECT_TRUE(report.put_back.empty());
  EXPECT_TRUE(report.not_put_back.empty());
  EXPECT_TRUE(machine_.Exists(kBox));
  EXPECT_FALSE(machine_.Exists(std::string(kBox) + "\\a.txt"));
  EXPECT_FALSE(machine_.Exists(std::string(kBox) + kKeptSuffix));
  EXPECT_FALSE(machine_.Exists(kJournal));
}

}  // namespace
}  // namespace qdw::journal
