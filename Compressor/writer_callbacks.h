// The callbacks the archive writer gives the cabinet library's compression interface: memory
// and files through the runtime library layer, temporary names, the continuation volume names
// and the opening of each file to be stored.
#ifndef QDW_COMPRESSOR_WRITER_CALLBACKS_H_
#define QDW_COMPRESSOR_WRITER_CALLBACKS_H_

#include <cstdint>

#include "cabinet/fci.h"

namespace qdw::compressor {

void* QDW_CAB_CALL WriterAllocate(unsigned long size);
void QDW_CAB_CALL WriterFree(void* memory);
intptr_t QDW_CAB_CALL WriterOpen(char* path, int oflag, int pmode, int* err, void* context);
unsigned int QDW_CAB_CALL WriterRead(intptr_t handle, void* memory, unsigned int count, int* err,
                                     void* context);
unsigned int QDW_CAB_CALL WriterWrite(intptr_t handle, void* memory, unsigned int count, int* err,
                                      void* context);
int QDW_CAB_CALL WriterClose(intptr_t handle, int* err, void* context);
long QDW_CAB_CALL WriterSeek(intptr_t handle, long distance, int origin, int* err, void* context);
int QDW_CAB_CALL WriterDelete(char* path, int* err, void* context);

// A unique name in the machine's temporary folder, prefix "xx"; 0 when none fits `size`.
int QDW_CAB_CALL WriterTempName(char* name, int size, void* context);
// Ignored notices: never ask to abort.
int QDW_CAB_CALL WriterFilePlaced(PCCAB ccab, char* file, long size, int continuation,
                                  void* context);
// Passes the bytes of each compressed block on as the call's progress; never asks to abort.
long QDW_CAB_CALL WriterStatus(unsigned int type, unsigned long cb1, unsigned long cb2,
                               void* context);
// Names the next volume "<base>_add<n>.qdw" beside the first and records it as the last one.
int QDW_CAB_CALL WriterNextCabinet(PCCAB ccab, unsigned long previous_size, void* context);
// Opens a file to be stored: hands back its local MS-DOS time stamp and attributes & 0x27,
// and a runtime handle to read it through; -1 when it cannot be opened.
intptr_t QDW_CAB_CALL WriterOpenForAdding(char* path, unsigned short* dos_date,
                                          unsigned short* dos_time, unsigned short* attributes,
                                          int* err, void* context);

}  // namespace qdw::compressor

#endif  // QDW_COMPRESSOR_WRITER_CALLBACKS_H_
