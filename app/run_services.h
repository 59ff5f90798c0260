// What the run sequence of the backup and restore dialog calls in the rest of the system:
// service control, the repository path, the engines and the file-tree removal. The program
// wires the real parts (MachineServices); tests pass doubles.
#ifndef QDW_APP_RUN_SERVICES_H_
#define QDW_APP_RUN_SERVICES_H_

#include <memory>
#include <string>
#include <vector>

#include "engine/common/progress.h"
#include "engine/common/prompts.h"
#include "engine/engine_run.h"

namespace qdw::app {

class RunServices {
 public:
  virtual ~RunServices() = default;
  // A fresh engine object for one run; the engines talk to the user through `prompts`.
  virtual std::unique_ptr<engine::EngineRun> NewEngineRun(engine::Prompts& prompts) = 0;
  // The name of the group of all users in this build's language, known once start-up has
  // loaded the resource module; engine runs made afterwards grant it rights on restored shares.
  // Doubles whose engines never reach the share step may ignore it.
  virtual void SetWorldGroup(const std::string& name) { (void)name; }
  // Where the engine runs made afterwards say how far they have got (null: nowhere); it
  // outlives them. Doubles may ignore it.
  virtual void SetProgress(engine::Progress* progress) { (void)progress; }
  // False when the service manager refuses access.
  virtual bool ServiceRights() = 0;
  // False when the query failed; a service that is not installed does not run.
  virtual bool QueryService(const std::string& name, bool* running) = 0;
  virtual bool StopService(const std::string& name) = 0;
  virtual bool StartService(const std::string& name) = 0;
  // One of the classes of system/os_version.h.
  virtual int OperatingSystemClass() = 0;
  virtual bool ReadRepositoryPath(std::string* path) = 0;
  virtual bool FolderExists(const std::string& path) = 0;
  virtual void RemoveFolderTree(const std::string& path) = 0;
  // The Windows folder; empty when unknown.
  virtual std::string WindowsFolder() = 0;
  // The program folders: the expansion of "%ProgramFiles%", and on a 64-bit machine those of
  // "%ProgramW6432%" and "%ProgramFiles(x86)%" (a 32-bit program's "%ProgramFiles%" names the
  // x86 folder only). Variables the machine does not have give nothing.
  virtual std::vector<std::string> ProgramFolders() = 0;
};

}  // namespace qdw::app

#endif  // QDW_APP_RUN_SERVICES_H_
