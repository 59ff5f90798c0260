// The ANSI code page the name checks of platform/keepable_names.h walk: the system's, which
// every text the program hands over or reads is in. 1252, where every character is one byte,
// until a module sets another.
#ifndef QDW_PLATFORM_PROCESS_CODE_PAGE_H_
#define QDW_PLATFORM_PROCESS_CODE_PAGE_H_

namespace qdw::platform {

// The code page of this module's helpers (1252 until one is adopted).
int ProcessCodePage();
void SetProcessCodePage(int code_page);

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
