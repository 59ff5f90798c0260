// The resource module as built (its path comes from the build), opened once per test program,
// and the lists of what the program expects from it.
#ifndef QDW_TESTS_PLATFORM_RESOURCES_LINGVAULT_FIXTURE_H_
#define QDW_TESTS_PLATFORM_RESOURCES_LINGVAULT_FIXTURE_H_

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/resources/pe_resource_image.h"
#include "tests/platform/resources/module_library.h"
#include "tests/platform/resources/resource_expectations.h"

namespace qdw::resources::testing {

inline std::string LingvaultPath() { return QDW_LINGVAULT_DLL; }

class LingvaultTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    auto image = PeResourceImage::Open(LingvaultPath());
    if (image) module_ = new ImageLibrary(std::move(image));
    std::string error;
    strings_ok_ =
        ReadExpectedStrings(std::string(QDW_LINGVAULT_DIR) + "/string_ids.txt", &strings_, &error);
    dialogs_ok_ = ReadExpectedDialogs(std::string(QDW_LINGVAULT_DIR) + "/dialog_controls.txt",
                                      &dialogs_, &error);
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
