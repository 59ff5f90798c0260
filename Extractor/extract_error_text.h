// The texts of the archive reader's result codes.
#ifndef QDW_EXTRACTOR_EXTRACT_ERROR_TEXT_H_
#define QDW_EXTRACTOR_EXTRACT_ERROR_TEXT_H_

namespace qdw::extractor {

// The text of `code`; "Unknown error" for every code outside 0 to 11.
const char* ExtractErrorText(int code);

}  // namespace qdw::extractor

#endif  // QDW_EXTRACTOR_EXTRACT_ERROR_TEXT_H_
