// Windows path and text rules for core code: backslash paths, drive letters, and case folding
// for case-insensitive comparison. Existence checks over the file-system port are in
// platform/file_checks.h, line splitting in platform/text_lines.h.
//
// Paths and names are text of the system's ANSI code page (platform/process_code_page.h) and
// are walked by its characters: in code page 932 the trail byte of a two-byte character may be
// 0x5C, the byte of "\", which is then no separator, and case folding changes single-byte
// characters only. Every search for a separator goes through FindLastSeparator, FindSeparator
// and EndsWithSeparator.
#ifndef QDW_PLATFORM_WINDOWS_PATH_H_
#define QDW_PLATFORM_WINDOWS_PATH_H_

#include <string>

namespace qdw::platform {

inline constexpr size_t kMaxPath = 260;  // MAX_PATH, terminator included

// One byte folded as a letter of code page 1252 (the single-byte folding of that code page).
char ToUpperAnsi(char c);
char ToLowerAnsi(char c);
// Folded by characters of the process code page.
std::string UpperAnsi(std::string text);
std::string LowerAnsi(std::string text);
bool EqualsIgnoreCase(const std::string& a, const std::string& b);
// True when `needle` occurs in `haystack`, ignoring case.
bool ContainsIgnoreCase(const std::string& haystack, const std::string& needle);
bool StartsWithIgnoreCase(const std::string& text, const std::string& prefix);
bool EndsWithIgnoreCase(const std::string& text, const std::string& suffix);

// The position of the last "\" in `path`, or npos.
size_t FindLastSeparator(const std::string& path);
// The position of the first "\" at or after `from`, or npos.
size_t FindSeparator(const std::string& path, size_t from = 0);
// True when `path` ends with "\".
bool EndsWithSeparator(const std::string& path);

// folder + "\" + name, without doubling a backslash that `folder` already ends with.
std::string JoinPath(const std::string& folder, const std::string& name);
// Removes one trailing backslash (also from "C:\", giving "C:").
std::string StripTrailingSeparator(const std::string& path);
// The text after the last backslash (the whole text when there is none).
std::string FileNamePart(const std::string& path);
// The text before the last backslash (empty when there is none).
std::string FolderPart(const std::string& path);
// True when `path` is `folder` or lies below it, ignoring case: "C:\Users\jo" holds
// "C:\Users\jo\Box" but not "C:\Users\joe". An empty folder holds nothing.
bool IsAtOrBelow(const std::string& path, const std::string& folder);
// "X:" exactly (a drive letter and a colon).
bool IsBareDrive(const std::string& path);

// The runtime library's _splitpath: drive ("C:"), directory with trailing separator,
// file name without extension, extension with its dot.
void SplitPath(const std::string& path, std::string* drive, std::string* dir,
               std::string* file_name, std::string* extension);

// A relative name that stays inside the folder it is joined to and that Windows keeps as it
// is: "\" or "/" between components, each of which WindowsCanKeepName accepts (so no drive, no
// leading or doubled separator, no "." or ".." and no device name).
bool IsSafeRelativeName(const std::string& name);

// Matches a name against a FindFirstFile pattern with "*" and "?", ignoring case. "*.*"
// matches every name, also one without a dot.
bool WildcardMatch(const std::string& pattern, const std::string& name);

}  // namespace qdw::platform

#endif  // QDW_PLATFORM_WINDOWS_PATH_H_
