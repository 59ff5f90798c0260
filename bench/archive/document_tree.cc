#include "bench/archive/document_tree.h"

#include <filesystem>
#include <fstream>
#include <random>
#include <vector>

namespace qdw::bench {
namespace {

const std::vector<std::string>& Words() {
  static const std::vector<std::string> words = {
      "the",      "contract", "invoice",    "customer", "delivery", "payment", "of",
      "and",      "shall",    "agreement",  "date",     "amount",   "total",   "page",
      "section",  "report",   "quarterly",  "revenue",  "account",  "number",  "to",
      "in",       "for",      "with",       "document", "approved", "signed",  "office",
      "schedule", "terms",    "conditions", "without",  "notice",   "party",   "herein",
      "Quillon",  "Deskora",  "archive",    "folder",   "record",   "2026",    "EUR"};
  return words;
}

}  // namespace

std::string DocumentText(size_t size, std::mt19937& random) {
  const std::vector<std::string>& words = Words();
  std::string text;
  text.reserve(size + 16);
  size_t line = 0;
  while (text.size() < size) {
    const std::string& word = words[random() % words.size()];
    text += word;
    line += word.size() + 1;
    if (line > 72) {
      text += "\r\n";
      line = 0;
    } else {
      text += ' ';
    }
    if (random() % 97 == 0) text += std::to_string(random() % 100000) + ".00 ";
  }
  text.resize(size);
  return text;
}

std::string RandomBytes(size_t size, std::mt19937& random) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i + 4 <= size; i += 4) {
    uint32_t value = random();
    bytes[i] = static_cast<char>(value);
    bytes[i + 1] = static_cast<char>(value >> 8);
    bytes[i + 2] = static_cast<char>(value >> 16);
    bytes[i + 3] = static_cast<char>(value >> 24);
  }
  return bytes;
}

namespace {

// A PDF-like file: a text skeleton with objects, most of the bytes in compressed streams.
std::string PdfLike(size_t size, std::mt19937& random) {
  std::string pdf = "%PDF-1.4\r\n";
  int object = 1;
  while (pdf.size() < size) {
    pdf += std::to_string(object++) + " 0 obj\r\n<< /Type /Page /Length 4096 >>\r\n";
    pdf += DocumentText(400 + random() % 2000, random);
    pdf += "\r\nstream\r\n" + RandomBytes(4000 + random() % 40000, random) +
           "\r\nendstream\r\nendobj\r\n";
  }
  pdf.resize(size);
  return pdf + "\r\n%%EOF\r\n";
}

void Write(const std::filesystem::path& path, const std::string& bytes) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

}  // namespace

TreeFacts GenerateDocumentTree(const std::string& root, uint64_t megabytes) {
  std::mt19937 random(20261206);
  TreeFacts facts;
  const uint64_t target = megabytes << 20;
  // A few large files first: a scanned binder and two long logs.
  const std::pair<const char*, uint64_t> large[] = {{"Binders/scan-2025.pdf", 40u << 20},
                                                    {"Logs/import.log", 24u << 20},
                                                    {"Logs/export.log", 12u << 20}};
  for (const auto& [name, size] : large) {
    std::string bytes = std::string(name).find(".pdf") != std::string::npos
                            ? PdfLike(size, random)
                            : DocumentText(size, random);
    Write(std::filesystem::path(root) / "QDW" / name, bytes);
    facts.files++;
    facts.bytes += bytes.size();
  }
  for (uint32_t i = 0; facts.bytes < target; ++i) {
    std::filesystem::path folder = std::filesystem::path(root) / "QDW" /
                                   ("Cabinet " + std::to_string(i % 17)) /
                                   ("Drawer " + std::to_string(i % 7));
    std::string bytes;
    std::string name = "doc" + std::to_string(i);
    switch (random() % 10) {
      case 0:
      case 1:
      case 2:
        bytes = DocumentText(1000 + random() % 60000, random);
        name += ".txt";
        break;
      case 3:
      case 4:
      case 5:
      case 6:
        bytes = PdfLike(20000 + random() % 400000, random);
        name += ".pdf";
        break;
      default:
        bytes = RandomBytes(30000 + random() % 500000, random);
        name += ".jpg";
        break;
    }
    Write(folder / name, bytes);
    facts.files++;
    facts.bytes += bytes.size();
  }
  return facts;
}

}  // namespace qdw::bench
