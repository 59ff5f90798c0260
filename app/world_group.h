// The name of the group of all users that the access-rights library is given.
#ifndef QDW_APP_WORLD_GROUP_H_
#define QDW_APP_WORLD_GROUP_H_

#include <string>

#include "platform/library.h"

namespace qdw::app {

// String of the resource module holding the localized name.
inline constexpr int kWorldGroupString = 187;

// The localized name from the module when `from_module` (the French, German and Spanish builds,
// whose Windows does not know the English name), otherwise the literal "Everyone". A module
// without the string also gives "Everyone", so the data folder is never opened to "".
std::string WorldGroupName(const platform::Library* module, bool from_module, int code_page);

// The same for this build's language.
std::string WorldGroupName(const platform::Library* module);

}  // namespace qdw::app

#endif  // QDW_APP_WORLD_GROUP_H_
