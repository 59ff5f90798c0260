// File Compression Interface of our MS-CAB engine (library "cabinet", loaded as "CABINET"):
// the create / add file / flush / destroy calls of the platform's cabinet library, with the same
// parameters, callbacks and error codes.
//
// All file access goes through the caller's callbacks and all memory through its alloc/free.
// Volume size: CCAB.cb when non-zero, otherwise CAB_DEFAULT_VOLUME_LIMIT; the environment
// variable QDW_CAB_VOLUME_LIMIT (bytes) overrides both (tests, diagnostics). Limits below
// CAB_MIN_VOLUME_LIMIT are raised to it. A full volume continues the current folder in the next
// one, whose name the next-cabinet callback supplies.
#ifndef QDW_CABINET_FCI_H_
#define QDW_CABINET_FCI_H_

#include <stdint.h>

#include "cabinet/cab_types.h"

extern "C" {

// Operation codes of the error record (ERF.erfOper).
typedef enum {
  FCIERR_NONE = 0,
  FCIERR_OPEN_SRC = 1,        // a file to be stored could not be opened
  FCIERR_READ_SRC = 2,        // a file to be stored could not be read (or sized)
  FCIERR_ALLOC_FAIL = 3,      // out of memory
  FCIERR_TEMP_FILE = 4,       // a temporary file could not be named, created or written
  FCIERR_BAD_COMPR_TYPE = 5,  // compression type other than none or MSZIP
  FCIERR_CAB_FILE = 6,        // a cabinet file could not be created or written
  FCIERR_USER_ABORT = 7,      // a callback asked to stop
  FCIERR_MCI_FAIL = 8,        // the compressor failed (or a block was incompressible on request)
  // The format cannot describe the request: a file larger than a folder can hold
  // (CAB_MAX_FOLDER_BYTES), a stored name that is empty or longer than 255 bytes, or a cabinet
  // without any file (readers reject those).
  FCIERR_CAB_FORMAT_LIMIT = 9
} FCIERROR;

// Largest uncompressed size of one folder, and so of one file.
#define CAB_MAX_FOLDER_BYTES 0x7FFF8000UL
// Volume size used when CCAB.cb is 0: every offset then fits the signed 32-bit seek of any
// reader's callbacks.
#define CAB_DEFAULT_VOLUME_LIMIT 0x7FFF8000UL
#define CAB_MIN_VOLUME_LIMIT 4096UL

// Parameters of a cabinet set, and of each volume as the next-cabinet callback sets them.
typedef struct {
  unsigned long cb;                // volume size limit in bytes; 0: CAB_DEFAULT_VOLUME_LIMIT
  unsigned long cbFolderThresh;    // a folder is closed once it holds this many bytes
  unsigned int cbReserveCFHeader;  // reserve areas (zero-filled), at most 60000 / 255 / 255
  unsigned int cbReserveCFFolder;
  unsigned int cbReserveCFData;
  int iCab;                         // the caller's number of this volume, raised for every next one
  int iDisk;                        // the caller's disk number (not stored)
  int fFailOnIncompressible;        // nonzero: fail with FCIERR_MCI_FAIL on an incompressible block
  unsigned short setID;             // same in every volume of the set
  char szDisk[CB_MAX_DISK_NAME];    // disk label; "" gives "DISK<n>" in the links
  char szCab[CB_MAX_CABINET_NAME];  // file name of the volume (stored bare in the links)
  char szCabPath[CB_MAX_CAB_PATH];  // folder of the volume, with its trailing separator
} CCAB, *PCCAB;

typedef void* HFCI;

// Kinds of status report.
#define statusFile 0     // cb1: compressed bytes of a block, cb2: its uncompressed bytes
#define statusFolder 1   // cb1: bytes of the folder copied so far, cb2: its total
#define statusCabinet 2  // cb1: estimated volume size, cb2: actual size (answer -1 to abort)

typedef void*(QDW_CAB_CALL* PFNFCIALLOC)(unsigned long cb);
typedef void(QDW_CAB_CALL* PFNFCIFREE)(void* memory);
// File callbacks: on failure they return -1 (open, seek), a short count (read, write) or
// nonzero (close, delete), and store the C runtime error number in *err.
typedef intptr_t(QDW_CAB_CALL* PFNFCIOPEN)(char* pszFile, int oflag, int pmode, int* err, void* pv);
typedef unsigned int(QDW_CAB_CALL* PFNFCIREAD)(intptr_t hf, void* memory, unsigned int cb, int* err,
                                               void* pv);
typedef unsigned int(QDW_CAB_CALL* PFNFCIWRITE)(intptr_t hf, void* memory, unsigned int cb,
                                                int* err, void* pv);
typedef int(QDW_CAB_CALL* PFNFCICLOSE)(intptr_t hf, int* err, void* pv);
typedef long(QDW_CAB_CALL* PFNFCISEEK)(intptr_t hf, long dist, int seektype, int* err, void* pv);
typedef int(QDW_CAB_CALL* PFNFCIDELETE)(char* pszFile, int* err, void* pv);
// Writes a unique temporary file name of fewer than cbTempName bytes; 0 when none can be had.
typedef int(QDW_CAB_CALL* PFNFCIGETTEMPFILE)(char* pszTempName, int cbTempName, void* pv);
// A file was placed in the volume pccab describes (fContinuation: it began in an earlier one).
// -1 aborts.
typedef int(QDW_CAB_CALL* PFNFCIFILEPLACED)(PCCAB pccab, char* pszFile, long cbFile,
                                            int fContinuation, void* pv);
// Names the next volume: pccab arrives with iCab raised; the callback fills szCab (and may
// change szDisk, szCabPath). cbPrevCab is the size of the volume just finished. 0 aborts.
typedef int(QDW_CAB_CALL* PFNFCIGETNEXTCABINET)(PCCAB pccab, unsigned long cbPrevCab, void* pv);
// Progress reports (statusFile, statusFolder, statusCabinet); -1 aborts.
typedef long(QDW_CAB_CALL* PFNFCISTATUS)(unsigned int typeStatus, unsigned long cb1,
                                         unsigned long cb2, void* pv);
// Opens a file to be stored: returns a handle the read/seek/close callbacks accept (or -1) and
// hands back its MS-DOS date, time and the attribute bits to store.
typedef intptr_t(QDW_CAB_CALL* PFNFCIGETOPENINFO)(char* pszName, unsigned short* pdate,
                                                  unsigned short* ptime, unsigned short* pattribs,
                                                  int* err, void* pv);

// Creates a compression context for the set *pccab describes (copied). Creates two temporary
// files through the callbacks. NULL on failure, with *perf filled in.
QDW_CAB_API HFCI QDW_CAB_CALL FCICreate(PERF perf, PFNFCIFILEPLACED pfnfcifp, PFNFCIALLOC pfna,
                                        PFNFCIFREE pfnf, PFNFCIOPEN pfnopen, PFNFCIREAD pfnread,
                                        PFNFCIWRITE pfnwrite, PFNFCICLOSE pfnclose,
                                        PFNFCISEEK pfnseek, PFNFCIDELETE pfndelete,
                                        PFNFCIGETTEMPFILE pfnfcigtf, PCCAB pccab, void* pv);

// Adds the file pszSourceFile under the stored name pszFileName (a relative path with "\",
// stored as given). fExecute sets the run-after-extraction bit. Returns 1 on success; 0 on
// failure, after which the context accepts only FCIDestroy.
QDW_CAB_API int QDW_CAB_CALL FCIAddFile(HFCI hfci, char* pszSourceFile, char* pszFileName,
                                        int fExecute, PFNFCIGETNEXTCABINET pfnfcignc,
                                        PFNFCISTATUS pfnfcis, PFNFCIGETOPENINFO pfnfcigoi,
                                        TCOMP typeCompress);

// Completes the current volume and writes it. With fGetNextCab the volume gets a link to a next
// one (named now through pfnfcignc) that later files go into. A set without any file is refused
// with FCIERR_CAB_FORMAT_LIMIT and no file is written.
QDW_CAB_API int QDW_CAB_CALL FCIFlushCabinet(HFCI hfci, int fGetNextCab,
                                             PFNFCIGETNEXTCABINET pfnfcignc, PFNFCISTATUS pfnfcis);

// Closes the current folder; the next file starts a new one.
QDW_CAB_API int QDW_CAB_CALL FCIFlushFolder(HFCI hfci, PFNFCIGETNEXTCABINET pfnfcignc,
                                            PFNFCISTATUS pfnfcis);

// Deletes the temporary files and frees the context. Volumes not flushed are not written.
QDW_CAB_API int QDW_CAB_CALL FCIDestroy(HFCI hfci);

}  // extern "C"

#endif  // QDW_CABINET_FCI_H_
