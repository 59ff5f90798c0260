// Running programs: the three ways Windows families list them, and starting a program.
#ifndef QDW_PLATFORM_PROCESSES_H_
#define QDW_PLATFORM_PROCESSES_H_

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/win_error.h"

namespace qdw::platform {

// Called for each 16-bit task of an NTVDM process: task handle and file name; false stops.
using WowTaskCallback = std::function<bool(uint16_t task, const std::string& file_name)>;

// The process-status route: entries of "PSAPI.DLL" and "VDMDBG.DLL" looked up at run time.
class ProcessStatusApi {
 public:
  virtual ~ProcessStatusApi() = default;
  // EnumProcesses: fills at most buffer_bytes / 4 identifiers; `*bytes_returned` tells how
  // many bytes were filled (equal to buffer_bytes when the buffer may have been too small).
  virtual WinError EnumProcesses(uint32_t buffer_bytes, std::vector<uint32_t>* ids,
                                 uint32_t* bytes_returned) = 0;
  // Opens the process for query and memory read (0x410), takes the base name of its first
  // module (at most 260 characters) and closes it again. kErrorAccessDenied when the process
  // cannot be opened; a failed name lookup returns kSuccess with an empty name.
  virtual WinError FirstModuleBaseName(uint32_t pid, std::string* name) = 0;
  // VDMEnumTaskWOWEx on an NTVDM process.
  virtual WinError EnumWowTasks(uint32_t pid, const WowTaskCallback& callback) = 0;
};

struct ProcessEntry {
  uint32_t pid = 0;
  std::string exe_file;  // executable file name as the snapshot reports it
};

// The tool-help route: "CreateToolhelp32Snapshot", "Process32First", "Process32Next" of
// "Kernel32.DLL" (and "VDMEnumTaskWOWEx" of "VDMDBG.DLL" on NT).
class ToolHelpApi {
 public:
  virtual ~ToolHelpApi() = default;
  // Takes a snapshot; fails when none can be taken.
  virtual WinError Snapshot(std::vector<ProcessEntry>* entries) = 0;
  // kErrorProcNotFound when this route has no VDM entry (the 9x family).
  virtual WinError EnumWowTasks(uint32_t pid, const WowTaskCallback& callback) = 0;
};

// A started program; the handle is closed when destroyed.
class ProcessHandle {
 public:
  virtual ~ProcessHandle() = default;
  // kWaitObject0 when it ended, kWaitTimeout when `timeout_ms` passed first, kWaitFailed.
  virtual uint32_t Wait(uint32_t timeout_ms) = 0;
  virtual WinError ExitCode(uint32_t* code) = 0;
  virtual uint32_t Pid() const = 0;
};

class Processes {
 public:
  virtual ~Processes() = default;
  // Loads the process-status route. kErrorModNotFound when "PSAPI.DLL" or "VDMDBG.DLL" is
  // missing, kErrorProcNotFound when one of the four entries is missing.
  virtual WinError LoadProcessStatusApi(std::unique_ptr<ProcessStatusApi>* out) = 0;
  // Loads the tool-help route; `with_vdm` also looks up the VDM entry (NT only).
  virtual WinError LoadToolHelpApi(bool with_vdm, std::unique_ptr<ToolHelpApi>* out) = 0;

  // CreateProcess of `program` (a full path) with `command_line` (the text after the program
  // name), window hidden when `hidden`, normal priority, empty desktop name.
  virtual WinError Start(const std::string& program, const std::string& command_line, bool hidden,
                         std::unique_ptr<ProcessHandle>* out) = 0;

  virtual uint32_t CurrentProcessId() = 0;
};

}  // namespace qdw::platform

#endif  // QDW_PLATFORM_PROCESSES_H_
