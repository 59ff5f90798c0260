// What only the stand-in shows of junctions: where a dangling or looping one leads, that it
// keeps its target when moved, and how a snapshot and qdwsim see it.
#include <gtest/gtest.h>

#include "platform/sim/machine_snapshot.h"
#include "platform/sim/sim_file_system.h"
#include "tests/platform/file_system_test_fixture.h"
#include "tests/platform/sim_test_machine.h"

namespace qdw::platform {
namespace {

class SimJunctionTest : public FileSystemCases {
 protected:
  FileSystem& fs() override { return machine_.platform().files(); }
  WinError Link(const std::string& path, const std::string& target) {
    return sim::MakeSimJunction(machine_.machine(), path, target);
  }

  testing::SimTestMachine machine_;
};

TEST_F(SimJunctionTest, LeadsWhereItsTargetIsWhereverItIsMoved) {
  ASSERT_EQ(fs().MakeFolder("C:\\Data"), kSuccess);
  ASSERT_EQ(fs().MakeFolder("C:\\Data\\Target"), kSuccess);
  Write("C:\\Data\\Target\\a.txt", "a");
  ASSERT_EQ(Link("C:\\Data\\Link", "C:\\Data\\Target"), kSuccess);
  EXPECT_EQ(Link("C:\\Data\\Link", "C:\\Data\\Target"), kErrorAlreadyExists);
  EXPECT_EQ(Link("D:\\Link", "C:\\Data\\Target"), kErrorAccessDenied) << "FAT has no junctions";

  ASSERT_EQ(fs().MakeFolder("C:\\Elsewhere"), kSuccess);
  ASSERT_EQ(fs().Move("C:\\Data\\Link", "C:\\Elsewhere\\Moved"), kSuccess);
  EXPECT_EQ(Read("C:\\Elsewhere\\Moved\\a.txt"), "a");
  ASSERT_EQ(fs().WriteAttributes("C:\\Elsewhere\\Moved", kAttrHidden), kSuccess);
  EXPECT_EQ(Attributes("C:\\Elsewhere\\Moved"), kAttrHidden | kAttrDirectory | kAttrReparsePoint);
  EXPECT_EQ(Attributes("C:\\Data\\Target"), kAttrDirectory) << "the link's attributes are its own";

  // The snapshot lists the junction as what it is and its target once, where it lies.
  const std::string text = sim::TakeSnapshot(machine_.machine()).Text();
  EXPECT_NE(text.find("junction\tC:\\ELSEWHERE\\MOVED\tname=\"Moved\" attributes=0x412 "
                      "target=\"C:\\\\Data\\\\Target\""),
            std::string::npos)
      << text;
  EXPECT_EQ(text.find("MOVED\\A.TXT"), std::string::npos) << text;

  // Gone target, loop.
  ASSERT_EQ(Link("C:\\Dangling", "C:\\Nowhere"), kSuccess);
  std::vector<DirEntry> entries;
  EXPECT_EQ(fs().Find("C:\\Dangling\\*", &entries), kErrorPathNotFound);
  ASSERT_EQ(Link("C:\\Loop", "C:\\Loop\\x"), kSuccess);
  EXPECT_EQ(Read("C:\\Loop\\a.txt"), "<error 1921>");
  EXPECT_EQ(fs().RemoveFolder("C:\\Loop"), kSuccess);
}

}  // namespace
}  // namespace qdw::platform
