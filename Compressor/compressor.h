// The archive writer library: packs one folder tree into a set of Microsoft Cabinet volumes
// (MSZIP), the first under the given name and the continuations beside it as
// "<base>_add<i>.qdw".
#ifndef QDW_COMPRESSOR_COMPRESSOR_H_
#define QDW_COMPRESSOR_COMPRESSOR_H_

// C linkage: other programs load these exports by name.
extern "C" {

// The API macro comes from the build (export, import or nothing, per platform).

// Size of the caller's buffer for the last volume name, terminator included.
#define QDW_LAST_VOLUME_NAME_SIZE 260

// Packs the tree below `sourceFolder` into the archive set whose first volume is
// `archivePath`. `lastVolumeName` is a caller buffer of QDW_LAST_VOLUME_NAME_SIZE characters;
// it receives the file name (without folder) of the last continuation volume, or "" when the
// set has one volume. Returns 0 on success, -1 for a missing argument, a missing or incomplete
// cabinet library or an unexpected failure, otherwise a cabinet error code 1 to 8.
QDW_COMPRESSOR_API int Compress(const char* sourceFolder, const char* archivePath,
                                char* lastVolumeName);

// How far a Compress call has got: the bytes of the files it has read and packed so far and
// the number of the volume being written (1 for the first). Called on the thread that called
// Compress, between blocks; it must not throw.
typedef void (*QdwCompressProgress)(void* context, unsigned long long bytesPacked, int volume);

// Sets the function the Compress calls that follow report to, with the context they pass it;
// null stops the reports. Like Compress, for one thread at a time.
QDW_COMPRESSOR_API void SetCompressProgress(QdwCompressProgress progress, void* context);

// The text of a Compress result; "Unknown error." for codes outside 0 to 8.
QDW_COMPRESSOR_API const char* GetCompressErrText(int code);

}  // extern "C"

#endif  // QDW_COMPRESSOR_COMPRESSOR_H_
