// The registry port as Windows behaves: keys by path ignoring case, values with their types,
// the fixed-buffer rule, enumeration order, deletion rules and access rights. Everything
// happens below a scratch key of the current user's hive.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "tests/platform/port_under_test.h"

namespace qdw::platform {
namespace {

constexpr uint32_t kWriteAndEnumerate = kKeyWrite | kKeyEnumerateSubKeys;

std::vector<uint8_t> Text(const std::string& text) {
  std::vector<uint8_t> data(text.begin(), text.end());
  data.push_back(0);
  return data;
}

std::string Upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return text;
}

class RegistryContractTest : public ::testing::Test {
 protected:
  Registry& registry() { return port_->platform().registry(); }
  // `relative` below the scratch key.
  std::string K(const std::string& relative) { return port_->scratch_key() + "\\" + relative; }

  std::unique_ptr<RegistryKey> MustCreate(const std::string& path) {
    std::unique_ptr<RegistryKey> key;
    EXPECT_EQ(registry().CreateKey(Hive::kCurrentUser, path, kWriteAndEnumerate | kKeyRead, &key,
                                   nullptr),
              kSuccess)
        << path;
    return key;
  }

  std::unique_ptr<testing::PortUnderTest> port_ = testing::PortUnderTest::Make();
};

TEST_F(RegistryContractTest, CreateKeyMakesEveryMissingLevelAndOpenIgnoresCase) {
  std::unique_ptr<RegistryKey> key;
  bool created = false;
  ASSERT_EQ(registry().CreateKey(Hive::kCurrentUser, K("VARNOLD\\QDW\\Common"), kWriteAndEnumerate,
                                 &key, &created),
            kSuccess);
  EXPECT_TRUE(created);
  ASSERT_EQ(registry().CreateKey(Hive::kCurrentUser, Upper(K("varnold\\qdw")), kWriteAndEnumerate,
                                 &key, &created),
            kSuccess);
  EXPECT_FALSE(created);
  EXPECT_EQ(registry().OpenKey(Hive::kCurrentUser, K("VARNOLD\\QDW\\"), kKeyRead, &key), kSuccess);
  EXPECT_EQ(registry().OpenKey(Hive::kCurrentUser, K("VARNOLD\\Missing"), kKeyRead, &key),
            kErrorFileNotFound);
  EXPECT_EQ(key, nullptr);
  // The hives are separate.
  EXPECT_EQ(registry().OpenKey(Hive::kLocalMachine, K("VARNOLD"), kKeyRead, &key),
            kErrorFileNotFound);
}

TEST_F(RegistryContractTest, ValuesKeepTheirTypeAndObeyTheBufferSize) {
  auto key = MustCreate(K("QDW"));
  ASSERT_NE(key, nullptr);
  ASSERT_EQ(key->SetValue("Repository Path", kRegSz, Text("C:\\Data")), kSuccess);
  ASSERT_EQ(key->SetValue("Count", kRegDword, {10, 0, 0, 0}), kSuccess);
  ASSERT_EQ(key->SetValue("Blob", kRegBinary, {1, 2, 0xff}), kSuccess);
  ASSERT_EQ(key->SetValue("", kRegSz, Text("default")), kSuccess);

  uint32_t type = 0;
  std::vector<uint8_t> data;
  ASSERT_EQ(key->QueryValue("repository path", 8, &type, &data), kSuccess);  // exact fit
  EXPECT_EQ(type, kRegSz);
  EXPECT_EQ(data, Text("C:\\Data"));
  EXPECT_EQ(key->QueryValue("Repository Path", 7, &type, &data), kErrorMoreData);
  EXPECT_TRUE(data.empty());
  ASSERT_EQ(key->QueryValue("Count", 4, &type, &data), kSuccess);
  EXPECT_EQ(type, kRegDword);
  EXPECT_EQ(data, (std::vector<uint8_t>{10, 0, 0, 0}));
  ASSERT_EQ(key->QueryValue("Blob", 100, &type, &data), kSuccess);
  EXPECT_EQ(type, kRegBinary);
  EXPECT_EQ(data, (std::vector<uint8_t>{1, 2, 0xff}));
  ASSERT_EQ(key->QueryValue("", 100, &type, &data), kSuccess);
  EXPECT_EQ(data, Text("default"));
  EXPECT_EQ(key->QueryValue("Missing", 100, &type, &data), kErrorFileNotFound);

  // A padded path, as the shared-folder list writes it, keeps its full length.
  std::vector<uint8_t> padded = Text("C:\\Share");
  padded.resize(1024, 0);
  ASSERT_EQ(key->SetValue("Path", kRegSz, padded), kSuccess);
  std::unique_ptr<RegistryKey> reopened;
  ASSERT_EQ(registry().OpenKey(Hive::kCurrentUser, K("QDW"), kKeyRead, &reopened), kSuccess);
  ASSERT_EQ(reopened->QueryValue("PATH", 1024, &type, &data), kSuccess);
  EXPECT_EQ(data, padded);

  ASSERT_EQ(key->DeleteValue("count"), kSuccess);
  EXPECT_EQ(key->DeleteValue("Count"), kErrorFileNotFound);
  EXPECT_EQ(key->QueryValue("Count", 4, &type, &data), kErrorFileNotFound);
}

TEST_F(RegistryContractTest, SubkeysEnumerateSortedIgnoringCaseWithTheirOwnSpelling) {
  for (const char* name : {"zeta", "Alpha", "beta", "QDW"}) {
    MustCreate(K("Product\\") + name);
  }
  std::unique_ptr<RegistryKey> key;
  ASSERT_EQ(registry().OpenKey(Hive::kCurrentUser, K("Product"), kKeyRead, &key), kSuccess);
  std::vector<std::string> names;
  std::string name;
  for (uint32_t i = 0; key->EnumSubKey(i, &name) == kSuccess; ++i) names.push_back(name);
  EXPECT_EQ(names, (std::vector<std::string>{"Alpha", "beta", "QDW", "zeta"}));
  EXPECT_EQ(key->EnumSubKey(4, &name), kErrorNoMoreItems);
}

TEST_F(RegistryContractTest, DeleteSubKeyRefusesKeysThatHaveSubkeys) {
  auto key = MustCreate(K("Product"));
  ASSERT_NE(key, nullptr);
  MustCreate(K("Product\\Shared\\jo\\Docs"));
  EXPECT_EQ(key->DeleteSubKey("Shared"), kErrorAccessDenied);
  EXPECT_EQ(key->DeleteSubKey("shared\\JO\\docs"), kSuccess);
  EXPECT_EQ(key->DeleteSubKey("Shared\\jo\\Docs"), kErrorFileNotFound);
  EXPECT_EQ(key->DeleteSubKey("Shared\\jo"), kSuccess);
  std::string name;
  ASSERT_EQ(key->EnumSubKey(0, &name), kSuccess);
  EXPECT_EQ(name, "Shared");
}

TEST_F(RegistryContractTest, AKeyRemovedWhileOpenReportsKeyDeleted) {
  auto parent = MustCreate(K("A"));
  auto child = MustCreate(K("A\\B"));
  ASSERT_NE(child, nullptr);
  ASSERT_EQ(parent->DeleteSubKey("B"), kSuccess);
  EXPECT_EQ(child->SetValue("x", kRegSz, Text("y")), 1018u);
  EXPECT_EQ(registry().OpenKey(Hive::kCurrentUser, K("A\\B"), kKeyRead, &child),
            kErrorFileNotFound);
}

TEST_F(RegistryContractTest, BadKeyPathsAreRefused) {
  std::unique_ptr<RegistryKey> key;
  EXPECT_EQ(registry().CreateKey(Hive::kCurrentUser, K("\\X"), kKeyWrite, &key, nullptr),
            kErrorBadPathname);
  EXPECT_EQ(registry().OpenKey(Hive::kCurrentUser, "\\Software", kKeyRead, &key),
            kErrorBadPathname);
  EXPECT_EQ(registry().OpenKey(Hive::kCurrentUser, "", kKeyRead, &key), kSuccess);  // the root
}

TEST_F(RegistryContractTest, HandleRightsLimitWhatTheKeyAllows) {
  MustCreate(K("A\\B"));
  std::unique_ptr<RegistryKey> key;
  ASSERT_EQ(registry().OpenKey(Hive::kCurrentUser, K("A"), kKeyQueryValue, &key), kSuccess);
  std::string name;
  EXPECT_EQ(key->EnumSubKey(0, &name), kErrorAccessDenied);
  EXPECT_EQ(key->SetValue("x", kRegSz, Text("y")), kErrorAccessDenied);
  ASSERT_EQ(registry().OpenKey(Hive::kCurrentUser, K("A"), kKeyRead, &key), kSuccess);
  EXPECT_EQ(key->SetValue("x", kRegSz, Text("y")), kErrorAccessDenied);
  EXPECT_EQ(key->EnumSubKey(0, &name), kSuccess);
}

}  // namespace
}  // namespace qdw::platform
