// Names Windows cannot keep. A name that comes from outside (a stored name of an archive, a
// share record of "BackupShareInfo.txt") becomes a file or folder only when Windows would keep
// it as it is: a device name opens the device instead, and a name ending in a dot or a space
// loses them in the Win32 calls and names another object. Names are walked by characters of the
// process code page (platform/process_code_page.h).
#ifndef QDW_PLATFORM_KEEPABLE_NAMES_H_
#define QDW_PLATFORM_KEEPABLE_NAMES_H_

#include <string>

namespace qdw::platform {

// True when `name` is one of the DOS devices, in any case, with or without an extension and
// with blanks before it: CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM1 to COM9 and LPT1 to LPT9 (in
// code page 1252 also COM and LPT with the superscript digits 1 to 3, which Windows reserves
// too).
bool IsDeviceName(const std::string& name);

// True when Windows keeps `name` as the name of one file or folder: text of the code page, not
// empty, no control character and none of < > : " / \ | ? *, no dot or space at its end (so
// never "." or ".."), and no device name.
bool WindowsCanKeepName(const std::string& name);

}  // namespace qdw::platform

#endif  // QDW_PLATFORM_KEEPABLE_NAMES_H_
