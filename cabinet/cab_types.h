// Types and constants shared by the compression (fci.h) and decompression (fdi.h) interfaces of
// our MS-CAB engine. They follow the published shape of the Windows cabinet library, so code
// written for one works with the other.
#ifndef QDW_CABINET_CAB_TYPES_H_
#define QDW_CABINET_CAB_TYPES_H_

#include <stdint.h>

// QDW_CAB_API (export or nothing) and QDW_CAB_CALL (calling convention) come from the build.

extern "C" {

// Error record of one context. Every failing call sets fError to 1, erfOper to the FCIERR_* or
// FDIERROR_* code and erfType to the C runtime error number a callback reported (0 when none).
typedef struct {
  int erfOper;
  int erfType;
  int fError;
} ERF, *PERF;

// Compression type of a folder: the low four bits name the method.
typedef unsigned short TCOMP;
#define tcompMASK_TYPE 0x000F
#define tcompTYPE_NONE 0x0000
#define tcompTYPE_MSZIP 0x0001
#define tcompTYPE_QUANTUM 0x0002
#define tcompTYPE_LZX 0x0003
#define tcompBAD 0x000F

// Sizes of the interfaces' buffers (terminator included) and of one uncompressed data block.
#define CB_MAX_CHUNK 32768U
#define CB_MAX_DISK 0x7FFFFFFFL
#define CB_MAX_FILENAME 256
#define CB_MAX_CABINET_NAME 256
#define CB_MAX_CAB_PATH 256
#define CB_MAX_DISK_NAME 256

// Attribute bits stored with each file.
#define CAB_A_RDONLY 0x01
#define CAB_A_HIDDEN 0x02
#define CAB_A_SYSTEM 0x04
#define CAB_A_ARCH 0x20
#define CAB_A_EXEC 0x40
#define CAB_A_NAME_IS_UTF 0x80

// Flags and permission bits the engine passes to the open callbacks. They are the Windows C
// runtime's values on every platform (as the platform's own library passes them); a callback
// built on another runtime translates them.
#define CAB_O_RDONLY 0x0000
#define CAB_O_WRONLY 0x0001
#define CAB_O_RDWR 0x0002
#define CAB_O_APPEND 0x0008
#define CAB_O_SEQUENTIAL 0x0020
#define CAB_O_CREAT 0x0100
#define CAB_O_TRUNC 0x0200
#define CAB_O_EXCL 0x0400
#define CAB_O_BINARY 0x8000
#define CAB_S_IWRITE 0x0080
#define CAB_S_IREAD 0x0100

// Origins of the seek callbacks.
#define CAB_SEEK_SET 0
#define CAB_SEEK_CUR 1
#define CAB_SEEK_END 2

}  // extern "C"

#endif  // QDW_CABINET_CAB_TYPES_H_
