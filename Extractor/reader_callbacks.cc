#include "Extractor/reader_callbacks.h"

#include <cstdlib>

#include "Extractor/extractor_state.h"
#include "archive/runtime_files.h"

namespace qdw::extractor {

using archive::RuntimeFiles;

void* QDW_CAB_CALL ReaderAllocate(unsigned long size) { return std::malloc(size); }

void QDW_CAB_CALL ReaderFree(void* memory) { std::free(memory); }

intptr_t QDW_CAB_CALL ReaderOpen(char* path, int oflag, int pmode) {
  try {
    return RuntimeFiles::Instance().Open(path, oflag, pmode, nullptr);
  } catch (...) {
    return -1;
  }
}

unsigned int QDW_CAB_CALL ReaderRead(intptr_t handle, void* memory, unsigned int count) {
  const unsigned int read = RuntimeFiles::Instance().Read(handle, memory, count, nullptr);
  // The cabinet library reads only its volumes; it writes the files.
  if (read != RuntimeFiles::kFailedCount && read > 0) {
    ExtractorState& state = ProcessState();
    state.cabinet_bytes_read += read;
    state.ReportProgress();
  }
  return read;
}

unsigned int QDW_CAB_CALL ReaderWrite(intptr_t handle, void* memory, unsigned int count) {
  try {
    PendingTargets& pending = ProcessState().pending;
    if (pending.Holds(handle)) {
      pending.Append(handle, memory, count);
      return count;
    }
    return RuntimeFiles::Instance().Write(handle, memory, count, nullptr);
  } catch (...) {
    return RuntimeFiles::kFailedCount;
  }
}

int QDW_CAB_CALL ReaderClose(intptr_t handle) {
  // The cabinet library closes a target itself only when unpacking it failed: a waiting file
  // closed so is never finished, and so never put in place.
  if (ProcessState().pending.Holds(handle)) return 0;
  return RuntimeFiles::Instance().Close(handle, nullptr);
}

long QDW_CAB_CALL ReaderSeek(intptr_t handle, long distance, int origin) {
  return RuntimeFiles::Instance().Seek(handle, distance, origin, nullptr);
}

}  // namespace qdw::extractor
