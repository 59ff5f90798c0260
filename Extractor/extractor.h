// The archive reader library: unpacks one cabinet volume of an archive set into a folder,
// restoring each file's time stamp and attributes.
#ifndef QDW_EXTRACTOR_EXTRACTOR_H_
#define QDW_EXTRACTOR_EXTRACTOR_H_

// C linkage: other programs load these exports by name.
extern "C" {

// Unpacks the files that begin in the volume `cabinetPath` into `destinationFolder` (an
// existing folder), finishing a file that goes on in the next volume from that volume.
// Returns 0 on success, -1 for a missing argument or a missing or incomplete cabinet library,
// 8 when the destination is not an existing folder, 1 when the cabinet cannot be opened,
// 2 when it is not a cabinet, otherwise the cabinet library's error code.
QDW_EXTRACTOR_API int Extract(const char* cabinetPath, const char* destinationFolder);

// How far an Extract call has got: the bytes it has read from cabinet volumes and the files it
// has written. Called on the thread that called Extract; it must not throw.
typedef void (*QdwExtractProgress)(void* context, unsigned long long cabinetBytesRead,
                                   unsigned long filesWritten);

// Sets the function the Extract calls that follow report to, with the context they pass it;
// null stops the reports. Like Extract, for one thread at a time.
QDW_EXTRACTOR_API void SetExtractProgress(QdwExtractProgress progress, void* context);

// The text of an Extract result; "Unknown error" for codes outside 0 to 11.
QDW_EXTRACTOR_API const char* GetExtractErrText(int code);

}  // extern "C"

#endif  // QDW_EXTRACTOR_EXTRACTOR_H_
