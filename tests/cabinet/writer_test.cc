#include <gtest/gtest.h>

#include "tests/cabinet/external_check.h"
#include "tests/cabinet/posix_fci.h"
#include "tests/cabinet/posix_fdi.h"
#include "tests/cabinet/test_tree.h"

namespace qdw::cab::testing {
namespace {

TEST(CabinetWriterTest, SmallTreeIsReadByCabextract) {
  ScratchDir dir;
  std::string root = dir.Sub("src");
  WriteFileBytes(root + "a.txt", MakeContent(Content::kText, 1000, 1));
  WriteFileBytes(root + "sub/b.bin", MakeContent(Content::kRandom, 70000, 2));
  WriteFileBytes(root + "sub/deeper/empty.txt", "");
  std::string out = dir.Sub("out");
  PackResult result = PackFiles(ListTree(root), out + "Set.qdw");
  ASSERT_TRUE(result.ok) << result.erf.erfOper;
  CheckStructure(result.volumes);
  CheckWithCabextract(result.volumes[0], SnapshotTree(root));
  std::string back = dir.Sub("back");
  ExtractResult extracted = ExtractVolume(result.volumes[0], back);
  ASSERT_TRUE(extracted.ok) << extracted.erf.erfOper;
  EXPECT_EQ(SnapshotTree(back), SnapshotTree(root));
}

}  // namespace
}  // namespace qdw::cab::testing
