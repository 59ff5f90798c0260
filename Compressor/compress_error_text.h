// The texts of the archive writer's result codes.
#ifndef QDW_COMPRESSOR_COMPRESS_ERROR_TEXT_H_
#define QDW_COMPRESSOR_COMPRESS_ERROR_TEXT_H_

namespace qdw::compressor {

// The text of `code`; "Unknown error." for every code outside 0 to 8.
const char* CompressErrorText(int code);

}  // namespace qdw::compressor

#endif  // QDW_COMPRESSOR_COMPRESS_ERROR_TEXT_H_
