#include "tests/cabinet/external_check.h"

#include <gtest/gtest.h>

#include "tests/cabinet/test_tree.h"

namespace qdw::cab::testing {

bool CheckStructure(const std::vector<std::string>& volumes) {
  std::string checker = CabdumpPath();
  if (checker.empty()) return false;
  std::string command = Quote(QDW_TEST_PYTHON3) + " " + Quote(checker) + " -q";
  for (const std::string& volume : volumes) command += " " + Quote(volume);
  std::string output;
  EXPECT_EQ(RunCommand(command, &output), 0) << output;
  return true;
}

void CheckWithCabextract(const std::string& first_volume,
                         const std::map<std::string, std::string>& expected) {
  std::string output;
  EXPECT_EQ(RunCommand("cabextract -q -t " + Quote(first_volume), &output), 0) << output;
  ScratchDir out;
  EXPECT_EQ(
      RunCommand("cabextract -q -d " + Quote(out.path()) + " " + Quote(first_volume), &output), 0)
      << output;
  std::map<std::string, std::string> actual = SnapshotTree(out.path());
  std::string written;
  for (const auto& entry : actual) written += "\n  " + entry.first;
  EXPECT_EQ(actual.size(), expected.size()) << "cabextract wrote:" << written;
  for (const auto& [name, bytes] : expected) {
    auto found = actual.find(name);
    if (found == actual.end()) {
      ADD_FAILURE() << "cabextract did not write " << name << "; it wrote:" << written;
    } else if (found->second != bytes) {
      ADD_FAILURE() << "cabextract wrote other bytes for " << name;
    }
  }
}

}  // namespace qdw::cab::testing
