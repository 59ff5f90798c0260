#include "bench/small_files/step_rules.h"

#include "engine/backup/backup_sequence.h"
#include "engine/common/archive_names.h"
#include "engine/journal/journaled_moves.h"
#include "engine/restore/restore_engine.h"
#include "platform/windows_path.h"

namespace qdw::bench {
namespace {

using platform::EqualsIgnoreCase;
using platform::StartsWithIgnoreCase;

bool Below(const std::string& path, const std::string& folder) {
  return EqualsIgnoreCase(path, folder) || StartsWithIgnoreCase(path, folder + "\\");
}

bool Is(const StepRecorder& recorder, const char* step) { return recorder.current() == step; }

}  // namespace

StepRecorder::Rule BackupStepRule(const std::string& repository, const std::string& destination) {
  const std::string product = repository + "\\" + engine::kProductFolderName;
  const std::string work = destination + "\\" + backup::kWorkFolderName;
  return [=](StepRecorder& recorder, PortCall call, const std::string& path) {
    if (Is(recorder, kStepChecks) && call == PortCall::kFind && Below(path, product)) {
      recorder.Begin(kStepOpenPdfCheck);
    } else if (call == PortCall::kMakeFolder && EqualsIgnoreCase(path, work + "\\VARNOLD\\QDW")) {
      recorder.Begin(kStepCopyIntoWork);
    } else if (Is(recorder, kStepCopyIntoWork) &&
               (EqualsIgnoreCase(path, work + "\\" + engine::kShareInfoFileName) ||
                (!Below(path, product) && !Below(path, work)))) {
      // The shared folders (those outside the product folder are copied) or the file itself.
      recorder.Begin(kStepShareInformation);
    } else if ((Is(recorder, kStepShareInformation) || Is(recorder, kStepCopyIntoWork)) &&
               call == PortCall::kReadAttributes &&
               EqualsIgnoreCase(path, work + "\\VARNOLD\\QDW\\DataBase\\VNDATABASE.mdb")) {
      // The open-flag reset looks for the copied database (the copy itself wrote it earlier).
      recorder.Begin(kStepDatabaseAndList);
    } else if (Is(recorder, kStepDatabaseAndList) && call == PortCall::kFind &&
               EqualsIgnoreCase(path, work + "\\*.*")) {
      recorder.Begin(kStepMarking);
    } else if (Is(recorder, kStepPlacing) && call == PortCall::kFind &&
               EqualsIgnoreCase(path, work + "\\*.*")) {
      recorder.Begin(kStepRemoveWork);
    }
  };
}

// The printer icon repair runs before the restore is committed, so it counts with the share
// step.
StepRecorder::Rule RestoreStepRule(const std::string& repository) {
  const std::string product = repository + "\\" + engine::kProductFolderName;
  const std::string temp = repository + "\\" + restore::kRestoreTempFolder;
  return [=](StepRecorder& recorder, PortCall call, const std::string& path) {
    if (Is(recorder, kStepChecks) && call == PortCall::kMakeFolder &&
        EqualsIgnoreCase(path, temp)) {
      recorder.Begin(kStepCopySet);
    } else if (Is(recorder, kStepFormatCheck) && call == PortCall::kFind &&
               EqualsIgnoreCase(path, temp + "\\*.*")) {
      recorder.Begin(kStepMarkerRemoval);
    } else if (Is(recorder, kStepMarkerRemoval) && !Below(path, temp)) {
      recorder.Begin(kStepClearing);
    } else if (Is(recorder, kStepClearing) && call == PortCall::kMakeFolder &&
               StartsWithIgnoreCase(path, product + "\\") &&
               path.find(journal::kIncomingSuffix) != std::string::npos) {
      // The first tree's staging folder beside its place.
      recorder.Begin(kStepMoveIntoPlace);
    } else if (Is(recorder, kStepMoveIntoPlace) &&
               EqualsIgnoreCase(path, product + "\\QDW\\FTSIndex\\catalog.wci")) {
      recorder.Begin(kStepShares);
    } else if (Is(recorder, kStepShares) && call == PortCall::kFind &&
               (StartsWithIgnoreCase(path, product + "\\QDW" + journal::kKeptSuffix) ||
                StartsWithIgnoreCase(path, product + "\\QDWie" + journal::kKeptSuffix))) {
      recorder.Begin(kStepRemoveKept);
    } else if ((Is(recorder, kStepRemoveKept) || Is(recorder, kStepShares)) &&
               call == PortCall::kFind && EqualsIgnoreCase(path, temp + "\\*.*")) {
      recorder.Begin(kStepRemoveTemp);
    }
  };
}

}  // namespace qdw::bench
