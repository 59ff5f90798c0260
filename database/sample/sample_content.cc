#include "database/sample/sample_content.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "database/sample/sample_random.h"
#include "platform/windows_path.h"

namespace qdw::database::sample {
namespace {

constexpr size_t kBlockSize = 256 * 1024;

const char* const kWords[] = {
    "invoice",  "amount",    "due",       "payment", "customer", "order",   "delivery", "terms",
    "contract", "party",     "agreement", "signed",  "date",     "project", "meeting",  "minutes",
    "budget",   "approved",  "review",    "report",  "quarter",  "total",   "net",      "tax",
    "account",  "reference", "please",    "find",    "attached", "regards", "office",   "team",
    "schedule", "item",      "quantity",  "price",   "unit",     "service", "support",  "notes",
    "the",      "and",       "of",        "to",      "for",      "with",    "on",       "in"};
constexpr size_t kWordCount = sizeof(kWords) / sizeof(kWords[0]);

// Buffers writes and stops at exactly `size` bytes whatever is appended.
class BoundedWriter {
 public:
  BoundedWriter(platform::File& file, uint64_t size, uint64_t seed)
      : file_(file), remaining_(size), random_(seed) {
    buffer_.reserve(kBlockSize);
  }

  uint64_t remaining() const { return remaining_ - buffer_.size(); }

  void Text(const std::string& text) { Bytes(text.data(), text.size()); }

  void Bytes(const char* data, size_t count) {
    while (count > 0 && remaining() > 0) {
      size_t take = std::min<uint64_t>({count, remaining(), kBlockSize - buffer_.size()});
      buffer_.insert(buffer_.end(), data, data + take);
      data += take;
      count -= take;
      if (buffer_.size() == kBlockSize) Flush();
    }
  }

  // Incompressible bytes.
  void Random(uint64_t count) {
    count = std::min(count, remaining());
    while (count > 0) {
      size_t take = std::min<uint64_t>(count, kBlockSize - buffer_.size());
      size_t start = buffer_.size();
      buffer_.resize(start + take);
      for (size_t i = 0; i < take; i += 8) {
        uint64_t value = random_.Next();
        std::memcpy(&buffer_[start + i], &value, std::min<size_t>(8, take - i));
      }
      count -= take;
      if (buffer_.size() == kBlockSize) Flush();
    }
  }

  // Lines of words, each wrapped in `before` and `after`.
  void Words(uint64_t count, const std::string& before, const std::string& after) {
    std::string line;
    const uint64_t end = remaining() > count ? remaining() - count : 0;
    while (remaining() > end) {
      line = before;
      for (int word = 0; word < 12; ++word) {
        if (word > 0) line += ' ';
        line += kWords[random_.Below(kWordCount)];
      }
      line += after;
      Bytes(line.data(), std::min<uint64_t>(line.size(), remaining() - end));
    }
  }

  // Pads to the full size and writes what is buffered.
  platform::WinError Finish() {
    Random(remaining());
    return Flush();
  }

 private:
  // After a failed write the rest is dropped, so the writer still runs to its end.
  platform::WinError Flush() {
    if (!buffer_.empty() && error_ == platform::kSuccess) {
      uint32_t written = 0;
      error_ = file_.Write(buffer_.data(), static_cast<uint32_t>(buffer_.size()), &written);
    }
    remaining_ -= buffer_.size();
    buffer_.clear();
    return error_;
  }

  platform::File& file_;
  uint64_t remaining_;
  SampleRandom random_;
  std::vector<char> buffer_;
  platform::WinError error_ = platform::kSuccess;
};

void WritePdf(BoundedWriter& out, const std::string& title) {
  out.Text(
      "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n1 0 obj\n<< /Type /Catalog /Pages 2 0 R >>\nendobj\n"
      "2 0 obj\n<< /Type /Pages /Kids [3 0 R] /Count 1 >>\nendobj\n"
      "3 0 obj\n<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] /Contents 4 0 R >>\n"
      "endobj\n4 0 obj\n<< /Length 0 >>\nstream\nBT /F1 14 Tf 72 780 Td (" +
      title + ") Tj ET\n");
  const std::string trailer =
      "endstream\nendobj\nxref\n0 6\n0000000000 65535 f \ntrailer\n<< /Size 6 /Root 1 0 R "
      ">>\nstartxref\n0\n%%EOF\n";
  const uint64_t body =
      out.remaining() > trailer.size() + 64 ? out.remaining() - trailer.size() : 0;
  out.Words(body / 4, "BT /F1 11 Tf 72 700 Td (", ") Tj ET\n");
  out.Text("endstream\nendobj\n5 0 obj\n<< /Filter /FlateDecode /Length 0 >>\nstream\n");
  if (out.remaining() > trailer.size()) out.Random(out.remaining() - trailer.size());
  out.Text(trailer);
}

void WriteXml(BoundedWriter& out, const std::string& title) {
  out.Text("<?xml version=\"1.0\" encoding=\"windows-1252\"?>\n<document>\n  <title>" + title +
           "</title>\n  <author>QDW</author>\n  <notes>\n");
  const std::string closing = "  </notes>\n</document>\n";
  if (out.remaining() > closing.size()) {
    out.Words(out.remaining() - closing.size(), "    ", "\n");
  }
  out.Text(closing);
}

void WriteHeaderAndBytes(BoundedWriter& out, const char* header, size_t header_size) {
  out.Bytes(header, header_size);
  out.Random(out.remaining());
}

}  // namespace

ContentKind KindForExtension(const std::string& extension) {
  const std::string ext = platform::LowerAnsi(extension);
  if (ext == "pdf") return ContentKind::kPdf;
  if (ext == "xml") return ContentKind::kXml;
  if (ext == "txt" || ext == "log") return ContentKind::kText;
  if (ext == "tif" || ext == "tiff") return ContentKind::kTiff;
  if (ext == "jpg" || ext == "jpeg") return ContentKind::kJpeg;
  if (ext == "png") return ContentKind::kPng;
  if (ext == "ico") return ContentKind::kIcon;
  if (ext == "doc" || ext == "xls" || ext == "ppt") return ContentKind::kBinary;
  return ContentKind::kOffice;
}

platform::WinError WriteSampleFile(platform::FileSystem& files, const std::string& path,
                                   ContentKind kind, uint64_t size, uint64_t seed,
                                   const std::string& title) {
  std::unique_ptr<platform::File> file;
  platform::WinError error =
      files.Open(path, platform::kGenericWrite, platform::kShareNone,
                 platform::Disposition::kCreateNew, platform::kAttrNormal, &file);
  if (error != platform::kSuccess) return error;
  BoundedWriter out(*file, size, seed);
  switch (kind) {
    case ContentKind::kPdf:
      WritePdf(out, title);
      break;
    case ContentKind::kXml:
      WriteXml(out, title);
      break;
    case ContentKind::kText:
      out.Words(size, "", "\r\n");
      break;
    case ContentKind::kOffice:
      WriteHeaderAndBytes(out, "PK\x03\x04\x14\x00\x06\x00", 8);
      break;
    case ContentKind::kTiff:
      WriteHeaderAndBytes(out, "II*\x00\x08\x00\x00\x00", 8);
      break;
    case ContentKind::kJpeg:
      WriteHeaderAndBytes(out, "\xFF\xD8\xFF\xE0\x00\x10JFIF\x00", 11);
      break;
    case ContentKind::kPng:
      WriteHeaderAndBytes(out, "\x89PNG\r\n\x1A\n", 8);
      break;
    case ContentKind::kIcon:
      WriteHeaderAndBytes(out, "\x00\x00\x01\x00\x01\x00", 6);
      break;
    case ContentKind::kBinary:
      WriteHeaderAndBytes(out, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
      break;
  }
  return out.Finish();
}

}  // namespace qdw::database::sample
