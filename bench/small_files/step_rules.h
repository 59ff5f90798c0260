// Where the steps of a backup and of a restore begin, told from the port calls the engine
// makes: the first call on a step's own folder or file begins it. They follow the order in
// which the engine works today; a step the rules miss shows up under its predecessor.
#ifndef QDW_BENCH_SMALL_FILES_STEP_RULES_H_
#define QDW_BENCH_SMALL_FILES_STEP_RULES_H_

#include <string>

#include "bench/small_files/step_recorder.h"

namespace qdw::bench {

// Step names, as the report prints them.
inline constexpr char kStepOpenPdfCheck[] = "open-PDF check";
inline constexpr char kStepChecks[] = "checks";
inline constexpr char kStepCopyIntoWork[] = "copy into the work folder";
inline constexpr char kStepShareInformation[] = "share information";
inline constexpr char kStepDatabaseAndList[] = "open flags, failure list";
inline constexpr char kStepMarking[] = "marking the folders";
inline constexpr char kStepPacking[] = "packing (Compress)";
inline constexpr char kStepPlacing[] = "placing the volumes";
inline constexpr char kStepRemoveWork[] = "removal of the work folder";
inline constexpr char kStepCopySet[] = "copy of the set";
inline constexpr char kStepUnpack[] = "unpacking (Extract)";
inline constexpr char kStepFormatCheck[] = "share targets, format";
inline constexpr char kStepMarkerRemoval[] = "marker removal";
inline constexpr char kStepClearing[] = "set aside, shares removed";
inline constexpr char kStepMoveIntoPlace[] = "move into place";
inline constexpr char kStepShares[] = "share step";
inline constexpr char kStepRemoveKept[] = "removal of the kept trees";
inline constexpr char kStepRemoveTemp[] = "removal of the temporary folder";
inline constexpr char kStepPrinters[] = "printer icon repair";

// The backup of `repository` to `destination`: from the checks through the open-PDF check,
// the copy, the share information, the open flags and the failure list, the marking, to the
// removal of the work folder. Packing begins and ends where the packer is called.
StepRecorder::Rule BackupStepRule(const std::string& repository, const std::string& destination);

// The restore into `repository` (its temporary folder beside the product folder): from the
// copy of the set to the printer icon repair. Unpacking begins where the unpacker is called,
// and the step after it where it returns.
StepRecorder::Rule RestoreStepRule(const std::string& repository);

}  // namespace qdw::bench

#endif  // QDW_BENCH_SMALL_FILES_STEP_RULES_H_
