// The resource module as built (its path comes from the build), opened once per test program,
// and the lists of what the program expects from it.
#ifndef QDW_TESTS_PLATFORM_RESOURCES_LINGVAULT_FIXTURE_H_
#define QDW_TESTS_PLATFORM_RESOURCES_LINGVAULT_FIXTURE_H_

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/resources/pe_resource_image.h"
#include "tests/platform/resources/module_library.h"
#include "tests/platform/resources/resource_expectations.h"

namespace qdw::resources::testing {

// The module under test: each language's test program is linked with its own definitions
// (lingvault_module_under_test.cc).
std::string LingvaultPath();
// Its folder name under lingvault/ ("en", "ja", ...), its code page and its language id.
std::string LingvaultLanguage();
int LingvaultCodePage();
uint16_t LingvaultLanguageId();
// The folder that holds the lists of what the program expects.
std::string LingvaultListDir();

class LingvaultTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    auto image = PeResourceImage::Open(LingvaultPath());
    if (image) module_ = new ImageLibrary(std::move(image));
    std::string error;
    strings_ok_ = ReadExpectedStrings(LingvaultListDir() + "/string_ids.txt", &strings_, &error);
    dialogs_ok_ =
        ReadExpectedDialogs(LingvaultListDir() + "/dialog_controls.txt", &dialogs_, &error);
    error_ = error;
  }
  static void TearDownTestSuite() {
    delete module_;
    module_ = nullptr;
    strings_.clear();
    dialogs_.clear();
  }
  void SetUp() override {
    ASSERT_NE(module_, nullptr) << "cannot open " << LingvaultPath();
    ASSERT_TRUE(strings_ok_ && dialogs_ok_) << error_;
  }

  static inline ImageLibrary* module_ = nullptr;
  static inline std::vector<ExpectedString> strings_;
  static inline std::vector<ExpectedDialog> dialogs_;
  static inline bool strings_ok_ = false;
  static inline bool dialogs_ok_ = false;
  static inline std::string error_;
};

}  // namespace qdw::resources::testing

#endif  // QDW_TESTS_PLATFORM_RESOURCES_LINGVAULT_FIXTURE_H_
