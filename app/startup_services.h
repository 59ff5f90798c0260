// What start-up checks before the first dialog: the tool's data folder rights, the product's
// settings and its running programs. The program wires the real parts (MachineServices).
#ifndef QDW_APP_STARTUP_SERVICES_H_
#define QDW_APP_STARTUP_SERVICES_H_

#include <string>

#include "engine/journal/run_journal.h"

namespace qdw::app {

class StartupServices {
 public:
  virtual ~StartupServices() = default;
  // Undoes a backup or restore that did not finish (or finishes the clean-up of one that was
  // kept), before anything else of the start; says what it put back and what it could not.
  // Doubles of machines without a journal need not override it.
  virtual journal::RecoveryReport RecoverUnfinishedRun() { return {}; }
  // Gives everybody full control of the tool's data folder; the result does not matter.
  // `world_group` is the name of the group of all users in this build's language.
  virtual void OpenDataFolderToEveryone(const std::string& world_group) = 0;
  virtual bool ReadRepositoryPath(std::string* path) = 0;
  // "Display_Version", and whether the separate share product's key is absent.
  virtual bool ReadProductVersion(std::string* version, bool* share_product_absent) = 0;
  // False when the check could not be made.
  virtual bool CheckMainProgram(bool* running) = 0;
  virtual bool CheckShareProgram(bool* running) = 0;
};

}  // namespace qdw::app

#endif  // QDW_APP_STARTUP_SERVICES_H_
