// Checks on names stored in a cabinet before they are joined to a destination folder.
#ifndef QDW_CABINET_CAB_NAMES_H_
#define QDW_CABINET_CAB_NAMES_H_

namespace qdw::cab {

// True when `name` is a plain relative path that stays below the folder it is joined to: not
// empty, no leading "\" or "/", no drive or stream colon, no control characters, and no empty,
// "." or ".." component (nor one of dots and blanks only, which Windows trims to those).
// Both "\" and "/" count as separators.
bool CabNameIsSafeRelative(const char* name);

}  // namespace qdw::cab

#endif  // QDW_CABINET_CAB_NAMES_H_
