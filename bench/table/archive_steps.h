// The step modes of the benchmark program: `Compress` and `Extract` run in a process of their
// own on the stand-in machine named by QDW_MACHINE, so each has its own peak memory.
#ifndef QDW_BENCH_TABLE_ARCHIVE_STEPS_H_
#define QDW_BENCH_TABLE_ARCHIVE_STEPS_H_

namespace qdw::bench {

// argv: SOURCE_FOLDER ARCHIVE_PATH (Windows paths). Exit status 0 on success.
int CompressStep(int argc, char** argv);
// argv: VOLUME... DESTINATION (Windows paths); every volume in order.
int ExtractStep(int argc, char** argv);

}  // namespace qdw::bench

#endif  // QDW_BENCH_TABLE_ARCHIVE_STEPS_H_
