// File contents of the sample repository: PDF-like documents with readable text and binary
// streams, XML descriptions, and incompressible bytes behind the headers of office files and
// images. Written in large blocks so that hundreds of megabytes take seconds.
#ifndef QDW_DATABASE_SAMPLE_SAMPLE_CONTENT_H_
#define QDW_DATABASE_SAMPLE_SAMPLE_CONTENT_H_

#include <cstdint>
#include <string>

#include "platform/file_system.h"

namespace qdw::database::sample {

enum class ContentKind {
  kPdf,     // "%PDF-1.4" with a text stream and a binary stream
  kXml,     // a document description
  kText,    // plain lines of words
  kOffice,  // a zip container ("PK"): incompressible
  kTiff,    // images: a header, then incompressible bytes
  kJpeg,
  kPng,
  kIcon,
  kBinary,  // index files and the like
};

// The kind of file an original document with `extension` (no dot, any case) is.
ContentKind KindForExtension(const std::string& extension);

// Creates `path` (which must not exist) with exactly `size` bytes of `kind`; the bytes depend
// only on `seed`, `kind` and `size`. `title` appears in the text of PDF and XML files.
platform::WinError WriteSampleFile(platform::FileSystem& files, const std::string& path,
                                   ContentKind kind, uint64_t size, uint64_t seed,
                                   const std::string& title);

}  // namespace qdw::database::sample

#endif  // QDW_DATABASE_SAMPLE_SAMPLE_CONTENT_H_
