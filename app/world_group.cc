#include "app/world_group.h"

#include "lingvault/language_constants.h"
#include "platform/resources/string_table.h"

namespace qdw::app {

std::string WorldGroupName(const platform::Library* module, bool from_module, int code_page) {
  if (from_module) {
    const std::string name = resources::ResourceStrings(module, code_page).Text(kWorldGroupString);
    if (!name.empty()) return name;
  }
  return "Everyone";
}

std::string WorldGroupName(const platform::Library* module) {
  static_assert(language::kWorldGroupString == kWorldGroupString);
  return WorldGroupName(module, language::kWorldGroupFromModule, language::kCodePage);
}

}  // namespace qdw::app
