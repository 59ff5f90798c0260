#include "system/process_walker.h"

#include <memory>
#include <vector>

#include "platform/windows_path.h"

namespace qdw::system {

namespace {

using platform::kSuccess;

constexpr uint32_t kFirstIdBufferBytes = 1024;
// A list that still fills a buffer this large is taken as it is rather than grown for ever.
constexpr uint32_t kMaxIdBufferBytes = 1u << 24;

// Visits one process and, for an NTVDM process, its 16-bit tasks. False ends the whole walk.
template <typename Api>
bool VisitProcess(Api* api, bool with_tasks, uint32_t pid, const std::string& name,
                  const ProcessVisitor& visitor) {
  if (!visitor(pid, 0, name)) return false;
  if (!with_tasks || !platform::EqualsIgnoreCase(name, "NTVDM.EXE")) return true;
  bool go_on = true;
  api->EnumWowTasks(pid, [&](uint16_t task, const std::string& file_name) {
    go_on = visitor(pid, task, file_name);
    return go_on;
  });
  return go_on;
}

bool WalkProcessStatus(platform::Processes& processes, const ProcessVisitor& visitor) {
  std::unique_ptr<platform::ProcessStatusApi> api;
  if (processes.LoadProcessStatusApi(&api) != kSuccess) return false;
  std::vector<uint32_t> ids;
  uint32_t buffer_bytes = kFirstIdBufferBytes;
  for (;;) {
    uint32_t bytes_returned = 0;
    ids.clear();
    if (api->EnumProcesses(buffer_bytes, &ids, &bytes_returned) != kSuccess) return false;
    if (bytes_returned < buffer_bytes || buffer_bytes >= kMaxIdBufferBytes) break;
    buffer_bytes *= 2;
  }
  for (uint32_t pid : ids) {
    std::string name;
    if (api->FirstModuleBaseName(pid, &name) != kSuccess) name.clear();
    if (!VisitProcess(api.get(), true, pid, name, visitor)) break;
  }
  return true;
}

bool WalkToolHelp(platform::Processes& processes, bool on_nt, const ProcessVisitor& visitor) {
  std::unique_ptr<platform::ToolHelpApi> api;
  if (processes.LoadToolHelpApi(on_nt, &api) != kSuccess) return false;
  std::vector<platform::ProcessEntry> entries;
  if (api->Snapshot(&entries) != kSuccess) return false;
  for (const platform::ProcessEntry& entry : entries) {
    if (!VisitProcess(api.get(), on_nt, entry.pid, entry.exe_file, visitor)) break;
  }
  return true;
}

}  // namespace

bool EnumerateProcesses(platform::Platform& platform, const ProcessVisitor& visitor) {
  const platform::OsVersion version = platform.system().Version();
  const bool on_nt = version.platform_id == platform::kPlatformNt;
  if (on_nt && version.major == 4) return WalkProcessStatus(platform.processes(), visitor);
  if (version.platform_id == platform::kPlatformWindows || (on_nt && version.major >= 5)) {
    return WalkToolHelp(platform.processes(), on_nt, visitor);
  }
  return false;
}

}  // namespace qdw::system
