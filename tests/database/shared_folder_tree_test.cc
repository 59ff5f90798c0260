#include "database/shared_folder_tree.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace qdw::database {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(SharedFolderTreeTest, RootsFirstThenEachRootsDescendantsLevelByLevel) {
  // 2 is a shared root with children 4 and 5; 4 has child 6; 3 is a plain top-level folder.
  std::vector<FolderRow> rows = {{"1", "0", "0", "0"}, {"2", "1", "1", "0"}, {"3", "1", "0", "0"},
                                 {"4", "2", "0", "0"}, {"5", "2", "0", "0"}, {"6", "4", "1", "1"},
                                 {"7", "3", "0", "0"}};
  EXPECT_THAT(SharedFolderTree(rows), ElementsAre("2", "4", "5", "6"));
}

TEST(SharedFolderTreeTest, ShareTypeOneIsNoRootButIsListedBelowAnotherRoot) {
  std::vector<FolderRow> rows = {{"2", "1", "1", "1"},   // shared by another user: not a root
                                 {"3", "1", "1", "-1"},  // unshared leftover: a root
                                 {"4", "3", "1", "1"},   // below a root: listed
                                 {"5", "2", "0", "0"}};  // below the type-1 folder only
  EXPECT_THAT(SharedFolderTree(rows), ElementsAre("3", "4"));
}

TEST(SharedFolderTreeTest, RootBelowAnotherRootIsListedTwice) {
  std::vector<FolderRow> rows = {{"2", "1", "1", "0"}, {"3", "2", "1", "0"}, {"4", "3", "0", "0"}};
  EXPECT_THAT(SharedFolderTree(rows), ElementsAre("2", "3", "3", "4", "4"));
}

TEST(SharedFolderTreeTest, ParentCycleStopsAtTheFirstRepeatedId) {
  // 2 and 3 are each other's parent; 4 is its own parent.
  std::vector<FolderRow> rows = {{"2", "3", "1", "0"}, {"3", "2", "0", "0"}, {"4", "4", "1", "0"}};
  EXPECT_THAT(SharedFolderTree(rows), ElementsAre("2", "4", "3"));
}

TEST(SharedFolderTreeTest, NoSharedFolders) {
  EXPECT_THAT(SharedFolderTree({{"1", "0", "0", "0"}, {"2", "1", "0", "-1"}}), IsEmpty());
}

TEST(SharedFolderTreeTest, DriverRenderingsAreNormalised) {
  EXPECT_EQ(CanonicalFlag("-1"), "1");
  EXPECT_EQ(CanonicalFlag("True"), "1");
  EXPECT_EQ(CanonicalFlag("0"), "0");
  EXPECT_EQ(CanonicalFlag(""), "0");
  EXPECT_EQ(CanonicalDecimal("007"), "7");
  EXPECT_EQ(CanonicalDecimal("-1"), "-1");
  EXPECT_EQ(CanonicalDecimal("abc"), "abc");
}

}  // namespace
}  // namespace qdw::database
