// Moves that replace something the user has, journaled so that what was there comes back on
// undo and goes only once the run is kept: set aside (renamed beside itself), place a tree
// (moved into a staging folder beside its place, then renamed into place once whole), place a
// file, and make the missing folders above a path.
#ifndef QDW_ENGINE_JOURNAL_JOURNALED_MOVES_H_
#define QDW_ENGINE_JOURNAL_JOURNALED_MOVES_H_

#include <string>

#include "engine/common/file_tree_operations.h"
#include "engine/journal/run_journal.h"
#include "platform/platform.h"

namespace qdw::journal {

// Name stem of what a restore sets aside: "QDW" is kept as "QDW" + stem (then "2", "3"...).
inline constexpr char kKeptSuffix[] = "_KeptByRestore";
// Name stem of a tree on its way into place.
inline constexpr char kIncomingSuffix[] = "_IncomingByRestore";

class JournaledMoves {
 public:
  JournaledMoves(platform::Platform& platform, engine::FileTreeOperations& trees,
                 RunJournal& journal)
      : platform_(platform), files_(platform.files()), trees_(trees), journal_(journal) {}

  // Renames what is at `path` aside, within its folder. True when nothing is there or it was
  // set aside; false when it could not be, or it cannot be told whether something is there.
  bool SetAside(const std::string& path, const std::string& suffix = kKeptSuffix);
  // Moves the content of the folder `source` to `target`, where nothing may be: into a staging
  // folder beside `target`, which takes `attributes` and is renamed to `target` once
  // everything is in. 0 when all moved, 1 otherwise; on Windows 7 fails with 202 as the tree
  // move does.
  int PlaceTree(const std::string& source, const std::string& target, uint32_t attributes);
  // Copies the file `source` to `target`, where nothing may be, then deletes the source.
  bool PlaceFile(const std::string& source, const std::string& target);
  // Creates `folder` (one level) where nothing is; journaled.
  bool MakeFolder(const std::string& folder);
  // Makes every missing folder above `path` (MakeSureDirectoryPathExists); each is journaled.
  bool MakeParents(const std::string& path);

  // `name` + `suffix`, then with "2", "3"... until nothing is at it; empty when no such name
  // can be found.
  std::string FreeName(const std::string& path, const std::string& suffix);
  // True only when the system says nothing is at `path` (not when it cannot tell).
  bool NothingAt(const std::string& path);

 private:
  platform::Platform& platform_;
  platform::FileSystem& files_;
  engine::FileTreeOperations& trees_;
  RunJournal& journal_;
};

}  // namespace qdw::journal

#endif  // QDW_ENGINE_JOURNAL_JOURNALED_MOVES_H_
