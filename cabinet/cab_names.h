// Checks on names stored in a cabinet before they are joined to a destination folder.
#ifndef QDW_CABINET_CAB_NAMES_H_
#define QDW_CABINET_CAB_NAMES_H_

namespace qdw::cab {

// True when `name` is a plain relative path that stays below the folder it is joined to and
// that Windows keeps as it is (platform::IsSafeRelativeName): not empty, "\" or "/" between
// components, no drive or stream colon, no control or wildcard character, no empty, "." or ".."
// component, none ending in a dot or a blank, and no device name such as CON or LPT1.txt.
bool CabNameIsSafeRelative(const char* name);

}  // namespace qdw::cab

#endif  // QDW_CABINET_CAB_NAMES_H_
