// Moving the packed volumes from the file-temp folder to the destination under their final
// names: N.qdw for one volume, N_bakK.qdw and N_add2.qdw to N_addK.qdw for K volumes.
// Archives already at the destination that the user agreed to replace are renamed aside
// (journaled) and put back when the new set cannot take their place, so a failed run never
// leaves fewer archives than before. Each volume is on the disk before it is moved into place,
// and once the whole set is there the run is committed and the replaced volumes go.
#ifndef QDW_ENGINE_BACKUP_VOLUME_PLACEMENT_H_
#define QDW_ENGINE_BACKUP_VOLUME_PLACEMENT_H_

#include <string>
#include <vector>

#include "engine/common/prompts.h"
#include "engine/journal/journaled_moves.h"
#include "engine/journal/run_journal.h"
#include "platform/file_system.h"

namespace qdw::backup {

// The volume count K of a set whose last volume is `last_volume_name` (as the archive writer
// named it for base name `name`), and K as written there. False for a name that is not
// `name` + "_add" + K + ".qdw" with K from 2 to 65535.
bool VolumeCount(const std::string& name, const std::string& last_volume_name, int* count,
                 std::string* count_text);

class VolumePlacement {
 public:
  VolumePlacement(platform::FileSystem& files, engine::Prompts& prompts,
                  journal::JournaledMoves& moves, journal::RunJournal& journal)
      : files_(files), prompts_(prompts), moves_(moves), journal_(journal) {}

  // Places the set packed as `file_temp`\`name`.qdw; `archive_path` becomes the first volume
  // at the destination. `earlier_set` are the volumes of an earlier set of that name the user
  // agreed to replace: each is replaced or removed, and put back when the new set cannot be
  // placed. Fails with kResultVolumeNotMoved or kResultReplaceDeclined; the caller's undo
  // puts back what was replaced.
  void Place(const std::string& destination, const std::string& name, const std::string& file_temp,
             const std::string& last_volume_name, const std::vector<std::string>& earlier_set,
             std::string* archive_path);

 private:
  struct Volume {
    std::string source;  // empty for a volume of the earlier set the new one does not replace
    std::string target;
  };

  static Volume MakeVolume(const std::string& source, const std::string& target);
  // Adds the earlier volumes that no new volume replaces, to be set aside with the others.
  static void AddLeftovers(const std::vector<std::string>& earlier_set,
                           std::vector<Volume>* volumes);
  // Places the set and commits the run; false when it could not.
  bool PlaceSet(const std::vector<Volume>& volumes);
  // Opens the packed volume and flushes it, so that what reaches the destination is on the
  // disk.
  bool Flush(const std::string& volume);
  void ShowPlacedSet(const std::vector<Volume>& volumes);

  platform::FileSystem& files_;
  engine::Prompts& prompts_;
  journal::JournaledMoves& moves_;
  journal::RunJournal& journal_;
};

}  // namespace qdw::backup

#endif  // QDW_ENGINE_BACKUP_VOLUME_PLACEMENT_H_
