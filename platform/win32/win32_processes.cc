// Running programs: the process-status and tool-help routes, whose libraries and entry points
// are looked up at run time as older systems lack some of them, and starting programs.
#include <windows.h>
// After <windows.h>, which it needs.
#include <tlhelp32.h>

#include <vector>

#include "platform/win32/win32_handle.h"
#include "platform/win32/win32_ports.h"
#include "platform/win32/win32_process_handle.h"

namespace qdw::win32 {
namespace {

using platform::WinError;

// VDMEnumTaskWOWEx's callback and entry, as VDMDBG.DLL documents them.
using TaskEnumProcEx = BOOL(WINAPI*)(DWORD, WORD, WORD, PSZ, PSZ, LPARAM);
using VdmEnumTaskWowExFn = INT(WINAPI*)(DWORD, TaskEnumProcEx, LPARAM);

BOOL WINAPI OnWowTask(DWORD, WORD, WORD task, PSZ, PSZ file_name, LPARAM context) {
  const auto& callback = *reinterpret_cast<const platform::WowTaskCallback*>(context);
  // TRUE stops the enumeration.
  return callback(task, file_name ? file_name : "") ? FALSE : TRUE;
}

WinError EnumWow(VdmEnumTaskWowExFn enumerate, uint32_t pid,
                 const platform::WowTaskCallback& callback) {
  if (enumerate == nullptr) return platform::kErrorProcNotFound;
  enumerate(pid, &OnWowTask, reinterpret_cast<LPARAM>(&callback));
  return platform::kSuccess;
}

template <typename Fn>
Fn Entry(HMODULE module, const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

class ModuleHandle {
 public:
  explicit ModuleHandle(HMODULE module) : module_(module) {}
  ~ModuleHandle() {
    if (module_ != nullptr) FreeLibrary(module_);
  }
  ModuleHandle(const ModuleHandle&) = delete;
  ModuleHandle& operator=(const ModuleHandle&) = delete;
  HMODULE get() const { return module_; }

 private:
  HMODULE module_;
};

class Win32ProcessStatusApi : public platform::ProcessStatusApi {
 public:
  using EnumProcessesFn = BOOL(WINAPI*)(DWORD*, DWORD, DWORD*);
  using EnumProcessModulesFn = BOOL(WINAPI*)(HANDLE, HMODULE*, DWORD, DWORD*);
  using GetModuleBaseNameFn = DWORD(WINAPI*)(HANDLE, HMODULE, LPSTR, DWORD);

  Win32ProcessStatusApi(HMODULE psapi, HMODULE vdmdbg) : psapi_(psapi), vdmdbg_(vdmdbg) {}

  bool Resolve() {
    enum_processes_ = Entry<EnumProcessesFn>(psapi_.get(), "EnumProcesses");
    enum_modules_ = Entry<EnumProcessModulesFn>(psapi_.get(), "EnumProcessModules");
    base_name_ = Entry<GetModuleBaseNameFn>(psapi_.get(), "GetModuleBaseNameA");
    enum_wow_ = Entry<VdmEnumTaskWowExFn>(vdmdbg_.get(), "VDMEnumTaskWOWEx");
    return enum_processes_ && enum_modules_ && base_name_ && enum_wow_;
  }

  WinError EnumProcesses(uint32_t buffer_bytes, std::vector<uint32_t>* ids,
                         uint32_t* bytes_returned) override {
    std::vector<DWORD> buffer(buffer_bytes / sizeof(DWORD));
    DWORD filled = 0;
    if (!enum_processes_(buffer.data(), buffer_bytes, &filled)) return GetLastError();
    ids->assign(buffer.begin(), buffer.begin() + filled / sizeof(DWORD));
    *bytes_returned = filled;
    return platform::kSuccess;
  }

  WinError FirstModuleBaseName(uint32_t pid, std::string* name) override {
    name->clear();
    ScopedHandle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid));
    if (!process.valid()) return platform::kErrorAccessDenied;
    HMODULE first = nullptr;
    DWORD needed = 0;
    char buffer[MAX_PATH + 1] = {};
    if (enum_modules_(process.get(), &first, sizeof(first), &needed) &&
        base_name_(process.get(), first, buffer, MAX_PATH) > 0) {
      *name = buffer;
    }
    return platform::kSuccess;
  }

  WinError EnumWowTasks(uint32_t pid, const platform::WowTaskCallback& callback) override {
    return EnumWow(enum_wow_, pid, callback);
  }

 private:
  ModuleHandle psapi_;
  ModuleHandle vdmdbg_;
  EnumProcessesFn enum_processes_ = nullptr;
  EnumProcessModulesFn enum_modules_ = nullptr;
  GetModuleBaseNameFn base_name_ = nullptr;
  VdmEnumTaskWowExFn enum_wow_ = nullptr;
};

class Win32ToolHelpApi : public platform::ToolHelpApi {
 public:
  using SnapshotFn = HANDLE(WINAPI*)(DWORD, DWORD);
  using WalkFn = BOOL(WINAPI*)(HANDLE, PROCESSENTRY32*);

  Win32ToolHelpApi(SnapshotFn snapshot, WalkFn first, WalkFn next, HMODULE vdmdbg)
      : snapshot_(snapshot), first_(first), next_(next), vdmdbg_(vdmdbg) {
    enum_wow_ = Entry<VdmEnumTaskWowExFn>(vdmdbg_.get(), "VDMEnumTaskWOWEx");
  }

  WinError Snapshot(std::vector<platform::ProcessEntry>* entries) override {
    ScopedHandle snapshot(snapshot_(TH32CS_SNAPPROCESS, 0));
    if (!snapshot.valid()) return GetLastError();
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    entries->clear();
    for (BOOL more = first_(snapshot.get(), &entry); more; more = next_(snapshot.get(), &entry)) {
      entries->push_back({entry.th32ProcessID, entry.szExeFile});
    }
    return platform::kSuccess;
  }

  WinError EnumWowTasks(uint32_t pid, const platform::WowTaskCallback& callback) override {
    return EnumWow(enum_wow_, pid, callback);
  }

 private:
  SnapshotFn snapshot_;
  WalkFn first_;
  WalkFn next_;
  ModuleHandle vdmdbg_;
  VdmEnumTaskWowExFn enum_wow_ = nullptr;
};

class Win32Processes : public platform::Processes {
 public:
  WinError LoadProcessStatusApi(std::unique_ptr<platform::ProcessStatusApi>* out) override {
    HMODULE psapi = LoadLibraryA("PSAPI.DLL");
    HMODULE vdmdbg = LoadLibraryA("VDMDBG.DLL");
    auto api = std::make_unique<Win32ProcessStatusApi>(psapi, vdmdbg);
    if (psapi == nullptr || vdmdbg == nullptr) return platform::kErrorModNotFound;
    if (!api->Resolve()) return platform::kErrorProcNotFound;
    *out = std::move(api);
    return platform::kSuccess;
  }

  WinError LoadToolHelpApi(bool with_vdm, std::unique_ptr<platform::ToolHelpApi>* out) override {
    HMODULE kernel = GetModuleHandleA("Kernel32.DLL");
    auto snapshot = Entry<Win32ToolHelpApi::SnapshotFn>(kernel, "CreateToolhelp32Snapshot");
    auto first = Entry<Win32ToolHelpApi::WalkFn>(kernel, "Process32First");
    auto next = Entry<Win32ToolHelpApi::WalkFn>(kernel, "Process32Next");
    if (!snapshot || !first || !next) return platform::kErrorProcNotFound;
    HMODULE vdmdbg = nullptr;
    if (with_vdm) {
      vdmdbg = LoadLibraryA("VDMDBG.DLL");
      if (vdmdbg == nullptr) return platform::kErrorModNotFound;
    }
    *out = std::make_unique<Win32ToolHelpApi>(snapshot, first, next, vdmdbg);
    return platform::kSuccess;
  }

  WinError Start(const std::string& program, const std::string& command_line, bool hidden,
                 std::unique_ptr<platform::ProcessHandle>* out) override {
    std::string text = "\"" + program + "\"";
    if (!command_line.empty()) text += " " + command_line;
    std::vector<char> writable(text.begin(), text.end());
    writable.push_back('\0');
    char empty_desktop[] = "";
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    startup.lpDesktop = empty_desktop;
    if (hidden) {
      startup.dwFlags = STARTF_USESHOWWINDOW;
      startup.wShowWindow = SW_HIDE;
    }
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(program.c_str(), writable.data(), nullptr, nullptr, FALSE,
                        NORMAL_PRIORITY_CLASS, nullptr, nullptr, &startup, &info)) {
      return GetLastError();
    }
    CloseHandle(info.hThread);
    *out = WrapProcessHandle(info.hProcess, info.dwProcessId);
    return platform::kSuccess;
  }

  uint32_t CurrentProcessId() override { return GetCurrentProcessId(); }
};

}  // namespace

std::unique_ptr<platform::Processes> NewWin32Processes() {
  return std::make_unique<Win32Processes>();
}

}  // namespace qdw::win32
