// Windows path syntax as the stand-in machine accepts it, and case-insensitive resolution of
// path components against the host folders that hold a drive's files.
#ifndef QDW_PLATFORM_SIM_SIM_PATHS_H_
#define QDW_PLATFORM_SIM_SIM_PATHS_H_

#include <string>
#include <vector>

#include "platform/code_page_text.h"
#include "platform/sim/sim_host.h"
#include "platform/win_error.h"

namespace qdw::sim {

struct WindowsPathParts {
  char drive = 0;                       // upper-case letter
  std::vector<std::string> components;  // "." and ".." already resolved
  int code_page = 1252;                 // the machine's, for walking and folding the names
};

// Splits an absolute path "C:\a\b" ("/" counts as "\"; "C:" is the root). Trailing dots and
// spaces of a name are dropped, as Windows does. kErrorInvalidName for relative,
// drive-relative and device paths and for names holding <>:"|?*, kErrorBadNetName for UNC
// paths, kErrorFilenameExcedRange for paths of MAX_PATH characters or more.
// `code_page` is the machine's: its characters are walked, so a trail byte 0x5C is no separator,
// and MAX_PATH counts characters.
platform::WinError SplitWindowsPath(const std::string& path, WindowsPathParts* out,
                                    int code_page = platform::kAnsiCodePageWestern);

// The host spelling of a name of the machine (the UTF-8 form of its ANSI text), and the ANSI name
// of a host name. A host name that is not UTF-8 (put there behind the machine's back) keeps its
// bytes; a character the code page lacks reads as "?", as the system's ANSI calls show it.
std::string HostName(int code_page, const std::string& ansi_name);
// Appends HostName(code_page, ansi_name) to `out`; an ASCII name needs no conversion.
void AppendHostName(int code_page, const std::string& ansi_name, std::string* out);
std::string AnsiName(int code_page, const std::string& host_name);

// GetFullPathName's normalisation of an absolute path in `code_page` text (see
// platform::FileSystem::FullPath): separators, "." and "..", trailing dots and spaces.
platform::WinError NormalizeFullPath(int code_page, const std::string& path, std::string* full);

// `root` + "/" + the host names of the components, each existing one spelt as the host folder
// spells it (exact match first, then ignoring case); the first missing one and the rest as
// given. With `junction_at`, a walk that meets a junction (a host symbolic link) before the last
// component stops there: the host path of the junction is returned and `*junction_at` is its
// index (std::string::npos when there was none). `*parent_is_folder` (when given) is set when the
// walk saw that the last component's folder exists as a folder. With `found` and `info` given
// (and no junction met), `*found` tells whether the returned path exists, and then `*info` holds
// its StatHost(): the caller need not look again. `likely_new` says the last name is probably
// not there yet (a file about to be created, a move's target): its folder is asked first, which
// spares the failed look-up of the name when the folder's index shows no such name.
std::string ResolveHostComponents(const std::string& root,
                                  const std::vector<std::string>& components,
                                  int code_page = platform::kAnsiCodePageWestern,
                                  size_t* junction_at = nullptr, bool* parent_is_folder = nullptr,
                                  bool* found = nullptr, HostInfo* info = nullptr,
                                  bool likely_new = false);

// The target of the junction at `host` (a host symbolic link holding a Windows path); false
// when it names no path.
bool ReadJunctionTarget(const std::string& host, int code_page, WindowsPathParts* target);

// The host name in `host_folder` whose ANSI name equals `name` ignoring case; false when there
// is none.
bool FindHostName(const std::string& host_folder, const std::string& name, std::string* found,
                  int code_page = platform::kAnsiCodePageWestern);

}  // namespace qdw::sim

#endif  // QDW_PLATFORM_SIM_SIM_PATHS_H_
