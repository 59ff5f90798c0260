// The restore engine: checks an archive set, unpacks it into "VARNOLDBackUpTemp", puts the
// product folder, the shares, the registry entries and the database back as they were at
// backup time, and returns one result code.
//
// Nothing of the installed product is touched before the archive has been unpacked and
// recognised. The destructive steps then run in a fixed order, each in one method below:
// ClearInstalledProduct (the old shares go, the old trees are set aside), MoveUnpackedProductIn,
// HideCatalog, RestoreSharesAndSettings (which also replaces the shared folders that lie
// outside the repository) and RepairPrinterIcons. Each change is journaled before it is made;
// any failure undoes them all, and only once every step succeeded is the run committed and
// what was set aside removed.
#ifndef QDW_ENGINE_RESTORE_RESTORE_ENGINE_H_
#define QDW_ENGINE_RESTORE_RESTORE_ENGINE_H_

#include <functional>
#include <string>
#include <vector>

#include "engine/common/engine_state.h"
#include "engine/common/file_tree_operations.h"
#include "engine/common/progress.h"
#include "engine/common/prompts.h"
#include "engine/journal/journaled_moves.h"
#include "engine/journal/run_journal.h"
#include "engine/restore/share_creator.h"
#include "engine/restore/share_info_reader.h"
#include "engine/restore/share_targets.h"
#include "platform/platform.h"
#include "settings/product_settings.h"

namespace qdw::restore {

inline constexpr char kRestoreTempFolder[] = "VARNOLDBackUpTemp";
inline constexpr char kFormerFormatMarker[] = "VarnoldBackup.qkb";

// The name of the group of all users in builds whose Windows knows it by its English name.
inline constexpr char kEnglishWorldGroup[] = "Everyone";

// Unpacks one volume into a folder; 0 on success (the archive reader's Extract).
using Unpacker = std::function<int(const std::string& volume, const std::string& folder)>;

// The archive reader library.
int ExtractVolume(const std::string& volume, const std::string& folder);

struct RestoreParts {
  // The machine as the run sees it: its registry and share changes are journaled.
  platform::Platform& platform;
  engine::Prompts& prompts;
  settings::ProductSettings& settings;
  engine::EngineState& state;
  engine::FileTreeOperations& trees;
  journal::RunJournal& journal;
  engine::Progress& progress;
  // Empty: the archive reader library.
  Unpacker unpack;
  // The group of all users that gets change rights on the re-created shares, by the name this
  // language's Windows gives it.
  std::string world_group = kEnglishWorldGroup;
};

class RestoreEngine {
 public:
  explicit RestoreEngine(RestoreParts parts) : p_(std::move(parts)) {}

  // A result code of engine/common/result_codes.h: kResultOk, kResultAbandoned, 201 to 215 or
  // kResultUndeletableFiles.
  int RestoreFromArchive(const std::string& archive_path, const std::string& repository,
                         const std::string& temp_base);

  // Stops what keeps the product's files and shares busy; never fails towards its caller.
  void StopServicesForRestore();
  // Re-creates the archive's shares, registry entries and folder records from
  // `temp_folder`'s share information; false on any failure.
  bool RestoreSharesAndSettings(const std::string& temp_folder);
  // Replaces each shared folder outside the repository by its copy in the archive, setting the
  // folder there aside; false at the first that cannot be replaced. Network paths are left
  // alone.
  bool RestoreSharedFolderContents(const std::string& temp_folder,
                                   const std::vector<std::string>& names,
                                   const std::vector<std::string>& paths,
                                   const std::vector<std::string>& data_flags);

  // The share the system refused in the last restore (206); empty when none was.
  const std::string& refused_share() const { return refused_share_; }

  void set_unpacker(Unpacker unpacker) { p_.unpack = std::move(unpacker); }
  void set_world_group(std::string name) { p_.world_group = std::move(name); }

 private:
  // Before the temporary folder exists. False when the user abandoned; `volumes` gets the
  // continuation volume names to restore with the chosen file.
  bool ChooseVolumes(const std::string& folder, const std::string& file_name,
                     std::vector<std::string>* volumes);
  // True when shared folders are recorded in the database while the product's machine
  // settings cannot be written, so that they could not be put back.
  bool SharedFoldersNeedSettings();

  // The steps from the temporary folder on; each completes or fails with a result code.
  void PrepareTempFolder(const std::string& temp_folder);
  // Returns the size of each volume copied, the first volume's first.
  std::vector<uint64_t> CopyVolumes(const std::string& archive_path,
                                    const std::string& archive_folder,
                                    const std::vector<std::string>& volumes,
                                    const std::string& temp_folder);
  void CheckMainProgramStopped();
  // Returns the number of files the archive reader wrote.
  uint64_t Unpack(const std::string& file_name, const std::vector<std::string>& volumes,
                  const std::vector<uint64_t>& sizes, const std::string& temp_folder);
  void CheckShareTargets(const std::string& temp_folder, const std::string& repository);
  void CheckFormat(const std::string& temp_folder);
  void RemoveFolderMarkers(const std::string& temp_folder);
  // The destructive part, once the archive has been recognised.
  // `unpacked_files` measures the move into place.
  int PutInPlace(const std::string& repository, const std::string& temp_folder,
                 uint64_t unpacked_files);
  // Stops the services, removes the shares of the registered folders and sets the installed
  // trees aside, in the order this Windows family needs. False when the shares could not all
  // be removed or the trees not all set aside (the product folder must then not receive the
  // unpacked one).
  bool ClearInstalledProduct(const std::string& product_folder, const std::string& unpacked);
  // Sets aside "QDW", "QDWie" and whatever else of the unpacked folder's top level the
  // product folder holds.
  bool SetAsideInstalledTrees(const std::string& product_folder, const std::string& unpacked);
  void MoveUnpackedProductIn(const std::string& unpacked, const std::string& product_folder,
                             bool cleared);
  void HideCatalog(const std::string& product_folder);
  void StopForClearing();
  // Gives the world group change rights on a re-created share's folder, its old access list
  // journaled first.
  bool GrantChangeRights(const std::string& path);
  void RemoveTempFolder(const std::string& temp_folder);
  // After a failure: everything the run changed goes back.
  void Undo();
  journal::JournaledMoves Moves();

  RestoreParts p_;
  std::string refused_share_;
};

}  // namespace qdw::restore

#endif  // QDW_ENGINE_RESTORE_RESTORE_ENGINE_H_
