// The ANSI code page the path and name helpers of this module walk (platform/windows_path.h,
// platform/keepable_names.h): the system's, which every text the program hands over or reads is
// in. 1252, where every character is one byte, until a module adopts the system's.
//
// It is a setting of the module rather than an argument of every helper: the helpers are called
// from every layer, with paths that only the port's code page makes sense of, and the system's
// code page never changes while a process runs. Every module that links the helpers (the
// program and each library it loads, which keep their own copy) adopts it where it is entered:
// the program at start-up, each library in its exported calls.
#ifndef QDW_PLATFORM_PROCESS_CODE_PAGE_H_
#define QDW_PLATFORM_PROCESS_CODE_PAGE_H_

namespace qdw::platform {

class SystemInfo;

// The code page of this module's helpers (1252 until one is adopted).
int ProcessCodePage();
void SetProcessCodePage(int code_page);
// Takes the system's ANSI code page (GetACP; the machine's on the stand-in). One the helpers do
// not know gives 1252: its single bytes are what they walked before.
void AdoptSystemCodePage(SystemInfo& system);

// Sets a code page for one scope and puts the earlier one back (tests).
class ScopedProcessCodePage {
 public:
  explicit ScopedProcessCodePage(int code_page) : earlier_(ProcessCodePage()) {
    SetProcessCodePage(code_page);
  }
  ~ScopedProcessCodePage() { SetProcessCodePage(earlier_); }
  ScopedProcessCodePage(const ScopedProcessCodePage&) = delete;
  ScopedProcessCodePage& operator=(const ScopedProcessCodePage&) = delete;

 private:
  int earlier_;
};

}  // namespace qdw::platform

#endif  // QDW_PLATFORM_PROCESS_CODE_PAGE_H_
