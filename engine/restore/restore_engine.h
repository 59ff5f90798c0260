// The restore engine: checks an archive set, unpacks it into "VARNOLDBackUpTemp", puts the
// product folder, the shares, the registry entries and the database back as they were at
// backup time, and returns one result code.
#ifndef QDW_ENGINE_RESTORE_RESTORE_ENGINE_H_
#define QDW_ENGINE_RESTORE_RESTORE_ENGINE_H_

#include <functional>
#include <string>
#include <vector>

#include "engine/common/engine_state.h"
#include "engine/common/file_tree_operations.h"
#include "engine/common/prompts.h"
#include "settings/product_settings.h"
#include "engine/restore/share_creator.h"
#include "engine/restore/share_info_reader.h"
#include "engine/restore/share_targets.h"
#include "platform/platform.h"

namespace qdw::restore {

inline constexpr char kRestoreTempFolder[] = "VARNOLDBackUpTemp";
inline constexpr char kCurrentFormatMarker[] = "VarnoldBackup_QDW2.qkb";
inline constexpr char kFormerFormatMarker[] = "VarnoldBackup.qkb";

// The name of the group of all users in builds whose Windows knows it by its English name.
inline constexpr char kEnglishWorldGroup[] = "Everyone";

// Messages the engine shows itself.
inline constexpr int kMsgArchiveNotFound = 119;
inline constexpr int kMsgUnusableDrives = 158;
inline constexpr int kMsgFoldersInTheWay = 159;
inline constexpr int kMsgContinuationChosen = 168;
inline constexpr int kMsgVolumesMissing = 169;
inline constexpr int kMsgUndeletableFiles = 183;

// Unpacks one volume into a folder; 0 on success (the archive reader's Extract).
using Unpacker = std::function<int(const std::string& volume, const std::string& folder)>;

// The archive reader library.
int ExtractVolume(const std::string& volume, const std::string& folder);

struct RestoreParts {
  platform::Platform& platform;
  engine::Prompts& prompts;
  settings::ProductSettings& settings;
  engine::EngineState& state;
  engine::FileTreeOperations& trees;
  Unpacker unpack;
  // The group of all users that gets change rights on the re-created shares, by the name this
  // language's Windows gives it.
  std::string world_group = kEnglishWorldGroup;
};

class RestoreEngine {
 public:
  explicit RestoreEngine(RestoreParts parts) : p_(std::move(parts)) {}

  // 0, 100, 201 to 215 or 307.
  int RestoreFromArchive(const std::string& archive_path, const std::string& repository,
                         const std::string& temp_base);
  void StopServicesForRestore();
  bool RestoreSharesAndSettings(const std::string& temp_folder);
  bool RestoreSharedFolderContents(const std::string& temp_folder,
                                   const std::vector<std::string>& names,
                                   const std::vector<std::string>& paths,
                                   const std::vector<std::string>& data_flags);

 private:
  // Steps 1 to 4: false when the user abandoned; `volumes` gets the continuation volume names.
  bool ChooseVolumes(const std::string& folder, const std::string& file_name,
                     std::vector<std::string>* volumes);
  int Unpack(const std::string& archive_folder, const std::string& file_name,
             const std::vector<std::string>& volumes, const std::string& temp_folder);
  void CheckTargetsAndFormat(const std::string& temp_folder);
  // Steps 13 to 19 once the archive has been recognised.
  int PutInPlace(const std::string& repository, const std::string& temp_folder);
  void StopForClearing();
  bool Exists(const std::string& path);

  RestoreParts p_;
};

}  // namespace qdw::restore

#endif  // QDW_ENGINE_RESTORE_RESTORE_ENGINE_H_
