// File Decompression Interface of our MS-CAB engine (library "cabinet", loaded as "CABINET"):
// the create / is-cabinet / copy / destroy calls of the platform's cabinet library, with the
// same parameters, notifications and error codes.
//
// FDICopy hands over every file whose data begins in the given volume. A file that goes on in
// the next volume is finished from that volume (fdintNEXT_CABINET names it; one attempt only),
// a file continued from an earlier volume is announced as fdintPARTIAL_FILE and skipped.
// Names are handed over as stored; see cab_names.h for refusing unsafe ones.
#ifndef QDW_CABINET_FDI_H_
#define QDW_CABINET_FDI_H_

#include <stdint.h>

#include "cabinet/cab_types.h"

extern "C" {

// Operation codes of the error record (ERF.erfOper).
typedef enum {
  FDIERROR_NONE = 0,
  FDIERROR_CABINET_NOT_FOUND = 1,        // a volume could not be opened
  FDIERROR_NOT_A_CABINET = 2,            // no cabinet signature
  FDIERROR_UNKNOWN_CABINET_VERSION = 3,  // version other than 1.x
  FDIERROR_CORRUPT_CABINET = 4,          // bad structure, offsets, counts, checksum or truncation
  FDIERROR_ALLOC_FAIL = 5,
  FDIERROR_BAD_COMPR_TYPE = 6,    // compression other than none or MSZIP
  FDIERROR_MDI_FAIL = 7,          // compressed data that does not decode to its stated size
  FDIERROR_TARGET_FILE = 8,       // writing a target failed, or fdintCLOSE_FILE_INFO said no
  FDIERROR_RESERVE_MISMATCH = 9,  // the next volume has other reserve sizes
  FDIERROR_WRONG_CABINET = 10,    // the next volume is not the one that follows in the set
  FDIERROR_USER_ABORT = 11,       // a notification answered -1
  FDIERROR_EOF = 12
} FDIERROR;

// Processor type codes of FDICreate (ignored by this engine).
#define cpuUNKNOWN (-1)
#define cpu80286 (0)
#define cpu80386 (1)

typedef void* HFDI;

// Header facts of one volume, from FDIIsCabinet.
typedef struct {
  long cbCabinet;
  unsigned short cFolders;
  unsigned short cFiles;
  unsigned short setID;
  unsigned short iCabinet;
  int fReserve;
  int hasprev;
  int hasnext;
} FDICABINETINFO, *PFDICABINETINFO;

typedef enum {
  fdintCABINET_INFO = 0,     // a volume was opened: psz1 next name, psz2 next disk, psz3 path
  fdintPARTIAL_FILE = 1,     // psz1 a file continued from an earlier volume (skipped)
  fdintCOPY_FILE = 2,        // psz1 name, cb size: answer a write handle, 0 to skip, -1 to abort
  fdintCLOSE_FILE_INFO = 3,  // hf complete: close it, apply date/time/attribs; answer 1 (0 fails)
  fdintNEXT_CABINET = 4,     // psz1 next name, psz2 its disk, psz3 path (may be changed)
  fdintENUMERATE = 5         // the files of the volume are done
} FDINOTIFICATIONTYPE;

typedef struct {
  long cb;  // COPY_FILE: size; CLOSE_FILE_INFO: 1 when the run-after-extraction bit is set
  char* psz1;
  char* psz2;
  char* psz3;  // NEXT_CABINET: buffer of CB_MAX_CAB_PATH bytes the callback may rewrite
  void* pv;    // the pvUser of FDICopy
  intptr_t hf;
  unsigned short date;
  unsigned short time;
  unsigned short attribs;
  unsigned short setID;
  unsigned short iCabinet;
  unsigned short iFolder;
  FDIERROR fdie;  // NEXT_CABINET: FDIERROR_NONE
} FDINOTIFICATION, *PFDINOTIFICATION;

// Decryption hook of the published interface. This engine never calls it.
typedef enum { fdidtNEW_CABINET = 0, fdidtNEW_FOLDER = 1, fdidtDECRYPT = 2 } FDIDECRYPTTYPE;
typedef struct {
  FDIDECRYPTTYPE fdidt;
  void* pvUser;
  union {
    struct {
      void* pHeaderReserve;
      unsigned short cbHeaderReserve;
      unsigned short setID;
      int iCabinet;
    } cabinet;
    struct {
      void* pFolderReserve;
      unsigned short cbFolderReserve;
      unsigned short iFolder;
    } folder;
    struct {
      void* pDataReserve;
      unsigned short cbDataReserve;
      void* pbData;
      unsigned short cbData;
      int fSplit;
      unsigned short cbPartial;
    } decrypt;
  };
} FDIDECRYPT, *PFDIDECRYPT;

typedef void*(QDW_CAB_CALL* PFNALLOC)(unsigned long cb);
typedef void(QDW_CAB_CALL* PFNFREE)(void* pv);
// File callbacks: open and seek return -1, read and write a short count (or (unsigned)-1),
// close nonzero on failure.
typedef intptr_t(QDW_CAB_CALL* PFNOPEN)(char* pszFile, int oflag, int pmode);
typedef unsigned int(QDW_CAB_CALL* PFNREAD)(intptr_t hf, void* pv, unsigned int cb);
typedef unsigned int(QDW_CAB_CALL* PFNWRITE)(intptr_t hf, void* pv, unsigned int cb);
typedef int(QDW_CAB_CALL* PFNCLOSE)(intptr_t hf);
typedef long(QDW_CAB_CALL* PFNSEEK)(intptr_t hf, long dist, int seektype);
typedef intptr_t(QDW_CAB_CALL* PFNFDINOTIFY)(FDINOTIFICATIONTYPE fdint, PFDINOTIFICATION pfdin);
typedef int(QDW_CAB_CALL* PFNFDIDECRYPT)(PFDIDECRYPT pfdid);

// Creates a decompression context. NULL on failure, with *perf filled in.
QDW_CAB_API HFDI QDW_CAB_CALL FDICreate(PFNALLOC pfnalloc, PFNFREE pfnfree, PFNOPEN pfnopen,
                                        PFNREAD pfnread, PFNWRITE pfnwrite, PFNCLOSE pfnclose,
                                        PFNSEEK pfnseek, int cpuType, PERF perf);

// Reads the header at the start of the open file hf; 1 and *pfdici filled when it is a cabinet
// of a known version, else 0 (the error record says why). The rest of the volume is checked by
// FDICopy.
QDW_CAB_API int QDW_CAB_CALL FDIIsCabinet(HFDI hfdi, intptr_t hf, PFDICABINETINFO pfdici);

// Extracts the volume pszCabPath + pszCabinet through the notification callback. flags and
// pfnfdid are not used. Returns 1 on success, 0 with the error record filled in.
QDW_CAB_API int QDW_CAB_CALL FDICopy(HFDI hfdi, char* pszCabinet, char* pszCabPath, int flags,
                                     PFNFDINOTIFY pfnfdin, PFNFDIDECRYPT pfnfdid, void* pvUser);

QDW_CAB_API int QDW_CAB_CALL FDIDestroy(HFDI hfdi);

}  // extern "C"

#endif  // QDW_CABINET_FDI_H_
