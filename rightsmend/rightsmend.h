// The access-rights library: grants one account a set of rights on a file or folder of an
// NTFS volume by rewriting its access list, optionally for a whole folder tree. Both exports
// return 1 for success (or nothing to do: not an NT system, not an NTFS volume) and 0 for
// failure. On Windows they are exported by ordinal as well: 1 VNChangeAccessRights,
// 2 VNChangeAccessRightsFullPath.
#ifndef QDW_RIGHTSMEND_RIGHTSMEND_H_
#define QDW_RIGHTSMEND_RIGHTSMEND_H_

#include <cstdint>

// QDW_RIGHTS_API (export or nothing) and QDW_STDCALL (the Win32 calling convention, or
// nothing) come from the build.
extern "C" {

// `relative_path` is joined under the machine-wide application-data folder. `account` is
// resolved on the local system; the exact text "Everyone" also stands for the world group
// when it does not resolve. `keep_existing` exactly 1 keeps the existing entries ahead of the
// new one, any other value replaces them. A non-zero `recurse` changes everything below a
// folder too.
QDW_RIGHTS_API int QDW_STDCALL VNChangeAccessRights(const char* relative_path, const char* account,
                                                    uint32_t mask, int keep_existing, int recurse);

// The same for a full path.
QDW_RIGHTS_API int QDW_STDCALL VNChangeAccessRightsFullPath(const char* full_path,
                                                            const char* account, uint32_t mask,
                                                            int keep_existing, int recurse);

}  // extern "C"

#endif  // QDW_RIGHTSMEND_RIGHTSMEND_H_
