// The lists in lingvault/ of what the program expects from every language's resource module:
// the string numbers it loads and the dialog templates with their controls and texts.
#ifndef QDW_TESTS_PLATFORM_RESOURCES_RESOURCE_EXPECTATIONS_H_
#define QDW_TESTS_PLATFORM_RESOURCES_RESOURCE_EXPECTATIONS_H_

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace qdw::resources::testing {

struct ExpectedString {
  uint16_t id = 0;
  std::string kind;  // question, message, list, label or fragment
  std::string purpose;
};

// Strings the program puts into one control: any one of `texts`, or, for an outcome, the string
// `head`, a line break and any one of `texts`.
struct ExpectedText {
  int32_t control = 0;
  bool outcome = false;
  uint16_t head = 0;
  std::vector<uint16_t> texts;
};

struct ExpectedDialog {
  uint16_t id = 0;
  std::set<int32_t> controls;
  std::map<int32_t, std::string> classes;
  std::vector<ExpectedText> texts;
};

// Parse lingvault/string_ids.txt and lingvault/dialog_controls.txt; false with a reason when a
// file cannot be read or has a line we do not understand.
bool ReadExpectedStrings(const std::string& path, std::vector<ExpectedString>* strings,
                         std::string* error);
bool ReadExpectedDialogs(const std::string& path, std::vector<ExpectedDialog>* dialogs,
                         std::string* error);

}  // namespace qdw::resources::testing

#endif  // QDW_TESTS_PLATFORM_RESOURCES_RESOURCE_EXPECTATIONS_H_
