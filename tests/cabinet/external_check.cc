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

std::string Latin1ToUtf8(const std::string& text) {
  std::string out;
  for (unsigned char c : text) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

void CheckWithCabextract(const std::string& first_volume,
                         const std::map<std::string, std::string>& expected) {
  std::string output;
  EXPECT_EQ(RunCommand("cabextract -q -t " + Quote(first_volume), &output), 0) << output;
  ScratchDir out;
  EXPECT_EQ(
      RunCommand("cabextract -q -d " + Quote(out.path()) + " " + Quote(first_volume), &output), 0)
      << output;
  std::map<std::string, std::string> converted;
  for (const auto& [name, bytes] : expected) converted[Latin1ToUtf8(name)] = bytes;
  std::map<std::string, std::string> actual = SnapshotTree(out.path());
  EXPECT_EQ(actual.size(), converted.size());
  for (const auto& [name, bytes] : converted) {
    auto found = actual.find(name);
    if (found == actual.end()) {
      ADD_FAILURE() << "cabextract did not write " << name;
    } else if (found->second != bytes) {
      ADD_FAILURE() << "cabextract wrote other bytes for " << name;
    }
  }
}

}  // namespace qdw::cab::testing
