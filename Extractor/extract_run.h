// The archive reader's one operation: unpacks one cabinet volume into a folder through the
// cabinet library loaded for the call.
#ifndef QDW_EXTRACTOR_EXTRACT_RUN_H_
#define QDW_EXTRACTOR_EXTRACT_RUN_H_

namespace qdw::extractor {

// Results of Extract besides the cabinet library's codes.
inline constexpr int kExtractFailed = -1;    // missing argument or cabinet library
inline constexpr int kCabinetNotOpened = 1;  // the volume cannot be opened
inline constexpr int kNotACabinet = 2;       // the volume is not a cabinet
inline constexpr int kNoDestinationFolder = 8;

// Behind the export Extract (see Extractor/extractor.h).
int RunExtract(const char* cabinet_path, const char* destination_folder);

}  // namespace qdw::extractor

#endif  // QDW_EXTRACTOR_EXTRACT_RUN_H_
