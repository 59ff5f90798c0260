// Running programs of the stand-in machine. The list comes from "processes.json":
//   {"processes": [{"pid": 1200, "name": "QDW.EXE", "path": "C:\\Program Files\\QDW\\QDW.EXE",
//                   "access_denied": false,
//                   "tasks": [{"task": 3, "file": "C:\\WINDOWS\\WOWEXEC.EXE"}]}]}
// Which listing routes exist follows the machine's OS version as on Windows: the process-status
// route ("PSAPI.DLL", "VDMDBG.DLL") on NT, the tool-help route ("Kernel32.DLL") on the 9x
// family and on NT 5 and later; "VDMDBG.DLL" only on NT. Fault rules on "Libraries.Load"
// (module name) and "Libraries.Symbol" ("PSAPI.DLL!EnumProcesses") take a module or an entry
// away; "Processes.EnumProcesses" and "Processes.Snapshot" make a listing fail.
#include <unistd.h>

#include "platform/processes.h"
#include "platform/sim/sim_launcher.h"
#include "platform/sim/sim_machine.h"
#include "platform/sim/sim_ports.h"
#include "platform/system_info.h"
#include "platform/windows_path.h"

namespace qdw::sim {
namespace {

using platform::kSuccess;
using platform::WinError;

Json ProcessList(const SimMachine& machine) {
  Json doc = machine.store().Read("processes.json");
  Json list = doc.is_object() ? doc.value("processes", Json::array()) : Json::array();
  return list.is_array() ? list : Json::array();
}

Json FindProcess(const SimMachine& machine, uint32_t pid) {
  for (const Json& process : ProcessList(machine)) {
    if (process.is_object() && process.value("pid", 0u) == pid) return process;
  }
  return nullptr;
}

WinError WalkTasks(const SimMachine& machine, uint32_t pid,
                   const platform::WowTaskCallback& callback) {
  Json process = FindProcess(machine, pid);
  if (process.is_null()) return platform::kErrorInvalidParameter;
  for (const Json& task : process.value("tasks", Json::array())) {
    if (!callback(task.value("task", uint16_t{0}), task.value("file", std::string()))) break;
  }
  return kSuccess;
}

// LoadLibrary of a module the machine may lack.
WinError CheckModule(const SimMachine& machine, bool present, const std::string& module) {
  if (!present || machine.faults().Check("Libraries.Load", module) != kSuccess) {
    return platform::kErrorModNotFound;
  }
  return kSuccess;
}

// GetProcAddress of each entry.
WinError CheckEntries(const SimMachine& machine, const std::string& module,
                      std::initializer_list<const char*> entries) {
  for (const char* entry : entries) {
    if (machine.faults().Check("Libraries.Symbol", module + "!" + entry) != kSuccess) {
      return platform::kErrorProcNotFound;
    }
  }
  return kSuccess;
}

WinError LoadModule(const SimMachine& machine, bool present, const std::string& module,
                    std::initializer_list<const char*> entries) {
  if (WinError error = CheckModule(machine, present, module)) return error;
  return CheckEntries(machine, module, entries);
}

class SimProcessStatusApi : public platform::ProcessStatusApi {
 public:
  explicit SimProcessStatusApi(const SimMachine& machine) : machine_(machine) {}

  WinError EnumProcesses(uint32_t buffer_bytes, std::vector<uint32_t>* ids,
                         uint32_t* bytes_returned) override {
    ids->clear();
    *bytes_returned = 0;
    if (WinError fault = machine_.faults().Check("Processes.EnumProcesses")) return fault;
    for (const Json& process : ProcessList(machine_)) {
      if (ids->size() >= buffer_bytes / 4) break;
      ids->push_back(process.value("pid", 0u));
    }
    *bytes_returned = static_cast<uint32_t>(ids->size() * 4);
    return kSuccess;
  }

  WinError FirstModuleBaseName(uint32_t pid, std::string* name) override {
    name->clear();
    Json process = FindProcess(machine_, pid);
    if (process.is_null()) return platform::kErrorInvalidParameter;
    if (process.value("access_denied", false)) return platform::kErrorAccessDenied;
    std::string module = process.value("path", process.value("name", std::string()));
    *name = platform::FileNamePart(module).substr(0, platform::kMaxPath - 1);
    return kSuccess;
  }

  WinError EnumWowTasks(uint32_t pid, const platform::WowTaskCallback& callback) override {
    return WalkTasks(machine_, pid, callback);
  }

 private:
  const SimMachine& machine_;
};

class SimToolHelpApi : public platform::ToolHelpApi {
 public:
  SimToolHelpApi(const SimMachine& machine, bool with_vdm, bool full_paths)
      : machine_(machine), with_vdm_(with_vdm), full_paths_(full_paths) {}

  WinError Snapshot(std::vector<platform::ProcessEntry>* entries) override {
    entries->clear();
    if (WinError fault = machine_.faults().Check("Processes.Snapshot")) return fault;
    for (const Json& process : ProcessList(machine_)) {
      platform::ProcessEntry entry;
      entry.pid = process.value("pid", 0u);
      std::string name = process.value("name", std::string());
      // The 9x family reports the full path of the executable, NT its file name.
      entry.exe_file = full_paths_ ? process.value("path", name) : platform::FileNamePart(name);
      entries->push_back(entry);
    }
    return kSuccess;
  }

  WinError EnumWowTasks(uint32_t pid, const platform::WowTaskCallback& callback) override {
    if (!with_vdm_) return platform::kErrorProcNotFound;
    return WalkTasks(machine_, pid, callback);
  }

 private:
  const SimMachine& machine_;
  bool with_vdm_;
  bool full_paths_;
};

class SimProcesses : public platform::Processes {
 public:
  explicit SimProcesses(SimMachine& machine) : machine_(machine) {}

  WinError LoadProcessStatusApi(std::unique_ptr<platform::ProcessStatusApi>* out) override {
    out->reset();
    bool nt = machine_.Version().platform_id == platform::kPlatformNt;
    if (WinError error =
            LoadModule(machine_, nt, "PSAPI.DLL",
                       {"EnumProcesses", "EnumProcessModules", "GetModuleBaseNameA"})) {
      return error;
    }
    if (WinError error = LoadModule(machine_, nt, "VDMDBG.DLL", {"VDMEnumTaskWOWEx"})) {
      return error;
    }
    *out = std::make_unique<SimProcessStatusApi>(machine_);
    return kSuccess;
  }

  WinError LoadToolHelpApi(bool with_vdm, std::unique_ptr<platform::ToolHelpApi>* out) override {
    out->reset();
    platform::OsVersion version = machine_.Version();
    bool nt = version.platform_id == platform::kPlatformNt;
    bool nine_x = version.platform_id == platform::kPlatformWindows;
    if (version.platform_id == platform::kPlatformWin32s) return platform::kErrorModNotFound;
    if (WinError error = CheckModule(machine_, true, "Kernel32.DLL")) return error;
    // NT before 5 has no tool-help entries in its kernel.
    if (nt && version.major < 5) return platform::kErrorProcNotFound;
    if (WinError error =
            CheckEntries(machine_, "Kernel32.DLL",
                         {"CreateToolhelp32Snapshot", "Process32First", "Process32Next"})) {
      return error;
    }
    if (with_vdm) {
      if (WinError error = LoadModule(machine_, nt, "VDMDBG.DLL", {"VDMEnumTaskWOWEx"})) {
        return error;
      }
    }
    *out = std::make_unique<SimToolHelpApi>(machine_, with_vdm && nt, nine_x);
    return kSuccess;
  }

  WinError Start(const std::string& program, const std::string& command_line, bool hidden,
                 std::unique_ptr<platform::ProcessHandle>* out) override {
    out->reset();
    if (WinError fault = machine_.faults().Check("Processes.Start", program)) return fault;
    return LaunchProgram(machine_, program, command_line, hidden, out);
  }

  uint32_t CurrentProcessId() override { return static_cast<uint32_t>(::getpid()); }

 private:
  SimMachine& machine_;
};

}  // namespace

std::unique_ptr<platform::Processes> NewSimProcesses(SimMachine& machine) {
  return std::make_unique<SimProcesses>(machine);
}

}  // namespace qdw::sim
