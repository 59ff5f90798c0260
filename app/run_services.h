// What the run sequence of the backup and restore dialog calls in the rest of the system:
// service control, the repository path, the engines and the file-tree removal. The program
// wires the real parts (MachineServices); tests pass doubles.
#ifndef QDW_APP_RUN_SERVICES_H_
#define QDW_APP_RUN_SERVICES_H_

#include <memory>
#include <string>
#include <vector>

#include "engine/prompts.h"

namespace qdw::app {

inline constexpr char kIndexingServiceName[] = "CiSvc";
inline constexpr char kSharedFolderServiceName[] = "VNQLNSharedFolder";

// The engine object of one run (`CBackupRestore`): the engines, the product-folder step and
// the command-line service steps. Engine results are the codes of the result table.
class EngineRun {
 public:
  virtual ~EngineRun() = default;
  // The product-folder step with the word "Restore"; 0 on success.
  virtual int ProductFolderStep(const std::string& mode_word) = 0;
  // `temp_folder` is empty on the first call; 203 asks for one.
  virtual int Restore(const std::string& archive_path, const std::string& repository_path,
                      const std::string& temp_folder) = 0;
  virtual int Backup(const std::string& repository_path, const std::string& destination,
                     const std::string& archive_name) = 0;
  // The archive path the backup engine reports (empty before a backup).
  virtual std::string ArchivePath() const = 0;
  // The outside program, then the command-line stop; used when services cannot be controlled.
  virtual void StopServicesWithoutRights() = 0;
  virtual void CommandLineStart() = 0;
};

class RunServices {
 public:
  virtual ~RunServices() = default;
  // A fresh engine object; the engines talk to the user through `prompts`.
  virtual std::unique_ptr<EngineRun> NewEngineRun(engine::Prompts& prompts) = 0;
  // The name of the group of all users in this build's language, known once start-up has
  // loaded the resource module; engine runs made afterwards grant it rights on restored shares.
  // Doubles whose engines never reach the share step may ignore it.
  virtual void SetWorldGroup(const std::string& name) { (void)name; }
  // False when the service manager refuses access.
  virtual bool ServiceRights() = 0;
  // False when the query failed; a service that is not installed does not run.
  virtual bool QueryService(const std::string& name, bool* running) = 0;
  virtual bool StopService(const std::string& name) = 0;
  virtual bool StartService(const std::string& name) = 0;
  // 1 = Win32s or 9x, 2 = NT 3 or 4, 3 = NT 5 and others, 6 = NT 6.
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
