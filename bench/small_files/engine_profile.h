// The profiled runs: a backup or a restore through the engine object in this process, on the
// stand-in machine, with every file-system port call counted per step (StepRecorder) and the
// host system calls of each step. The steps go to a report file the launcher reads back.
#ifndef QDW_BENCH_SMALL_FILES_ENGINE_PROFILE_H_
#define QDW_BENCH_SMALL_FILES_ENGINE_PROFILE_H_

#include <string>
#include <vector>

#include "bench/small_files/step_recorder.h"

namespace qdw::bench {

// The machine's repository and where its backups go (Windows paths).
inline constexpr char kBenchRepository[] = "C:\\Users\\jo\\QDW Repository";
inline constexpr char kBenchBackups[] = "D:\\Backups";
inline constexpr char kBenchArchiveName[] = "Bench";

// argv: MACHINE_FOLDER REPORT_FILE. Backs the repository up to kBenchBackups. 0 on success.
int ProfiledBackupStep(int argc, char** argv);
// argv: MACHINE_FOLDER FIRST_VOLUME REPORT_FILE (the volume a Windows path). 0 on success.
int ProfiledRestoreStep(int argc, char** argv);

bool WriteStepReport(const std::string& path, const std::vector<StepFigures>& steps);
bool ReadStepReport(const std::string& path, std::vector<StepFigures>* steps);

}  // namespace qdw::bench

#endif  // QDW_BENCH_SMALL_FILES_ENGINE_PROFILE_H_
