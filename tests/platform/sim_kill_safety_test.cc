// A process of the machine killed at any instant of a move or a replacement leaves what
// Windows could have left: the object at one place or the other, with its own attributes.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <memory>
#include <random>

#include "platform/sim/sim_platform.h"
#include "tests/platform/sim_test_machine.h"

namespace qdw::testing {
namespace {

using platform::kAttrArchive;
using platform::kAttrHidden;
using platform::kInvalidAttributes;
using platform::kSuccess;

class SimKillSafetyTest : public ::testing::Test {
 protected:
  void Put(const std::string& path, uint32_t attributes) {
    machine_.PutFile(path, "content");
    ASSERT_EQ(machine_.platform().files().WriteAttributes(path, attributes), kSuccess);
  }

  // Runs `step` over and over in a child process of its own and kills it at a random instant.
  template <typename Step>
  void KillDuring(std::mt19937* random, Step step) {
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      auto port = sim::OpenSimMachine(machine_.folder());
      for (int i = 0; i < 1000000; ++i) step(port->files(), i);
      ::_exit(0);
    }
    ::usleep(std::uniform_int_distribution<int>(200, 8000)(*random));
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
  }

  // The attributes of `path` as a process that starts now sees them.
  uint32_t AttributesAfterRestart(const std::string& path) {
    auto port = sim::OpenSimMachine(machine_.folder());
    uint32_t attributes = 0;
    port->files().ReadAttributes(path, &attributes);
    return attributes;
  }

  SimTestMachine machine_;
};

TEST_F(SimKillSafetyTest, AKilledReplaceOrMoveLeavesEachObjectWithItsOwnMetadata) {
  std::mt19937 random(7);
  const std::string a = "C:\\Data\\a.txt";
  const std::string b = "C:\\Data\\b.txt";
  Put(a, kAttrHidden | kAttrArchive);
  machine_.PutFile("C:\\Data\\One\\inner.txt", "inner");
  ASSERT_EQ(machine_.platform().files().WriteAttributes("C:\\Data\\One\\inner.txt", kAttrHidden),
            kSuccess);
  for (int round = 0; round < 12; ++round) {
    KillDuring(&random, [&](platform::FileSystem& files, int i) {
      // Back and forth, and over a plain file that must give way.
      files.Replace(i % 2 ? b : a, i % 2 ? a : b);
      files.Move(i % 2 ? "C:\\Data\\Two" : "C:\\Data\\One",
                 i % 2 ? "C:\\Data\\One" : "C:\\Data\\Two");
    });
    uint32_t at_a = AttributesAfterRestart(a);
    uint32_t at_b = AttributesAfterRestart(b);
    EXPECT_TRUE((at_a == kInvalidAttributes) != (at_b == kInvalidAttributes)) << round;
    EXPECT_EQ(at_a == kInvalidAttributes ? at_b : at_a, kAttrHidden | kAttrArchive) << round;
    uint32_t one = AttributesAfterRestart("C:\\Data\\One\\inner.txt");
    uint32_t two = AttributesAfterRestart("C:\\Data\\Two\\inner.txt");
    EXPECT_EQ(one == kInvalidAttributes ? two : one, kAttrHidden) << round;
  }
}

// Files without sidecars move without a note; one that replaces a file with a sidecar must still
// never be seen with the replaced file's attributes.
TEST_F(SimKillSafetyTest, AKilledReplaceOfAFileWithAttributesByOneWithoutLeavesNeitherMixed) {
  std::mt19937 random(11);
  const std::string target = "C:\\Data\\target.txt";
  Put(target, kAttrHidden | kAttrArchive);
  machine_.PutFile(target, "hidden");
  for (int round = 0; round < 12; ++round) {
    KillDuring(&random, [&](platform::FileSystem& files, int i) {
      const std::string source = "C:\\Data\\new" + std::to_string(i) + ".txt";
      const bool hidden = i % 2 == 1;
      std::unique_ptr<platform::File> file;
      if (files.Open(source, platform::kGenericWrite, 0, platform::Disposition::kCreateNew,
                     hidden ? kAttrHidden : 0, &file) != kSuccess) {
        return;
      }
      uint32_t written = 0;
      file->Write(hidden ? "hidden" : "plain", hidden ? 6 : 5, &written);
      file.reset();
      files.Replace(source, target);
    });
    const bool hidden = AttributesAfterRestart(target) & kAttrHidden;
    EXPECT_EQ(machine_.ReadFile(target), hidden ? "hidden" : "plain") << round;
  }
}

// A process killed after a folder's move had finished but before it dropped its note: the next
// process to start finishes the move again, which must not take the moved children's sidecars.
TEST_F(SimKillSafetyTest, ANoteOfAFinishedFolderMoveChangesNothingWhenReplayed) {
  machine_.PutFile("C:\\Data\\One\\inner.txt", "inner");
  ASSERT_EQ(machine_.platform().files().WriteAttributes("C:\\Data\\One\\inner.txt", kAttrHidden),
            kSuccess);
  ASSERT_EQ(machine_.platform().files().Move("C:\\Data\\One", "C:\\Data\\Two"), kSuccess);
  pid_t dead = ::fork();
  ASSERT_GE(dead, 0);
  if (dead == 0) ::_exit(0);
  ::waitpid(dead, nullptr, 0);
  const std::string root = machine_.folder();
  std::ofstream(root + "/meta/.moves/" + std::to_string(dead) + "-1.json")
      << "{\"pid\":" << dead << ",\"host_from\":\"" << root << "/drives/C/Data/One\",\"host_to\":\""
      << root << "/drives/C/Data/Two\",\"node_from\":\"" << root
      << "/meta/C/DATA/ONE\",\"node_to\":\"" << root
      << "/meta/C/DATA/TWO\",\"had_sidecar\":false,\"had_children\":true}";
  EXPECT_EQ(AttributesAfterRestart("C:\\Data\\Two\\inner.txt"), kAttrHidden);
}

}  // namespace
}  // namespace qdw::testing
