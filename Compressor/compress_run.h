// The archive writer's one operation: packs a folder tree into a cabinet set through the
// cabinet library loaded for the call.
#ifndef QDW_COMPRESSOR_COMPRESS_RUN_H_
#define QDW_COMPRESSOR_COMPRESS_RUN_H_

namespace qdw::compressor {

// Result of a missing argument, a missing or incomplete cabinet library, or an unexpected
// failure.
inline constexpr int kCompressFailed = -1;

// Behind the export Compress (see Compressor/compressor.h). A null `last_volume_name` is
// allowed and left unwritten; otherwise it is a buffer of QDW_LAST_VOLUME_NAME_SIZE characters.
int RunCompress(const char* source_folder, const char* archive_path, char* last_volume_name);

}  // namespace qdw::compressor

#endif  // QDW_COMPRESSOR_COMPRESS_RUN_H_
