#include "platform/process_code_page.h"

#include <atomic>

#include "platform/code_page_text.h"
#include "platform/system_info.h"

namespace qdw::platform {
namespace {

// The helpers may run on several threads at once (the ports may), so it is atomic.
std::atomic<int> process_code_page{kAnsiCodePageWestern};

}  // namespace

int ProcessCodePage() { return process_code_page.load(std::memory_order_relaxed); }

void SetProcessCodePage(int code_page) {
  process_code_page.store(code_page, std::memory_order_relaxed);
}

void AdoptSystemCodePage(SystemInfo& system) {
  const int code_page = static_cast<int>(system.AnsiCodePage());
  SetProcessCodePage(IsSupportedCodePage(code_page) ? code_page : kAnsiCodePageWestern);
}

}  // namespace qdw::platform
