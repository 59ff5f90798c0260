// The engine object of one run as the run sequence drives it. CBackupRestore is the one the
// program uses; the run sequence's tests put a double in its place.
#ifndef QDW_ENGINE_ENGINE_RUN_H_
#define QDW_ENGINE_ENGINE_RUN_H_

#include <string>
#include <vector>

namespace qdw::engine {

// Every operation returns a result code of engine/common/result_codes.h.
class EngineRun {
 public:
  virtual ~EngineRun() = default;

  // Opens the run's journal before the run changes anything (the services it stops
  // included); `restore` tells which operation. False when the journal holds an earlier run
  // that could not be undone: nothing may change until it is, and `pending` lists what it
  // left. Doubles that change nothing need not journal.
  virtual bool BeginRun(bool restore, std::vector<std::string>* pending) {
    (void)restore;
    (void)pending;
    return true;
  }
  // Closes the run's journal once the run is over and its services are started again.
  virtual void EndRun() {}

  // The product-folder step with "Backup" or "Restore": kResultOk to go on,
  // kResultStoppedForOpenPdfs to stop. Fails with kResultRepositoryUnreadable (ResultCodeError)
  // when the repository path cannot be read.
  virtual int RunProductFolderStep(const std::string& mode) = 0;

  // The restore engine. `temp_base` is empty on the first call and the folder the user chose
  // after kResultNeedsTempFolder.
  virtual int RestoreFromArchive(const std::string& archive_path, const std::string& repository,
                                 const std::string& temp_base) = 0;

  // The backup engine; afterwards archive_path() holds the first volume's path unless the
  // inputs were refused.
  virtual int Backup(const std::string& repository, const std::string& destination,
                     const std::string& name) = 0;
  virtual const std::string& archive_path() const = 0;
  // The share the system refused in the last restore (its code 206); empty when none was.
  virtual std::string refused_share() const { return std::string(); }

  // Stops the product's services for a user who may not control services: the product's
  // outside program, then the command-line stop.
  virtual void StopServicesWithoutRights() = 0;
  // The command-line start of the product's services.
  virtual void StartServicesFromCommandLine() = 0;
};

}  // namespace qdw::engine

#endif  // QDW_ENGINE_ENGINE_RUN_H_
