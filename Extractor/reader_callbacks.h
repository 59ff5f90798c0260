// The memory and file callbacks the archive reader gives the cabinet library's decompression
// interface: the runtime library's functions, without error bookkeeping.
#ifndef QDW_EXTRACTOR_READER_CALLBACKS_H_
#define QDW_EXTRACTOR_READER_CALLBACKS_H_

#include <cstdint>

#include "cabinet/fdi.h"

namespace qdw::extractor {

void* QDW_CAB_CALL ReaderAllocate(unsigned long size);
void QDW_CAB_CALL ReaderFree(void* memory);
intptr_t QDW_CAB_CALL ReaderOpen(char* path, int oflag, int pmode);
unsigned int QDW_CAB_CALL ReaderRead(intptr_t handle, void* memory, unsigned int count);
unsigned int QDW_CAB_CALL ReaderWrite(intptr_t handle, void* memory, unsigned int count);
int QDW_CAB_CALL ReaderClose(intptr_t handle);
long QDW_CAB_CALL ReaderSeek(intptr_t handle, long distance, int origin);

}  // namespace qdw::extractor

#endif  // QDW_EXTRACTOR_READER_CALLBACKS_H_
