#include "bench/small_files/small_document_tree.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>

#include "bench/archive/document_tree.h"

namespace qdw::bench {
namespace {

// The three files of one document, in the order the product writes them.
enum class Part { kOriginal, kRendering, kDescription };

std::string Bytes(Part part, uint64_t number, size_t size, std::mt19937& random) {
  switch (part) {
    case Part::kOriginal:
      // Office files are zip containers: half of the originals do not compress.
      return number % 2 == 0 ? RandomBytes(size, random) : DocumentText(size, random);
    case Part::kRendering: {
      std::string pdf = "%PDF-1.4\r\n1 0 obj\r\n<< /Length " + std::to_string(size) + " >>\r\n";
      std::string body = DocumentText(size / 3, random) + "\r\nstream\r\n" +
                         RandomBytes(size - size / 3, random) + "\r\nendstream\r\n%%EOF\r\n";
      pdf += body;
      pdf.resize(size);
      return pdf;
    }
    case Part::kDescription:
    default: {
      std::string xml = "<?xml version=\"1.0\"?>\r\n<document id=\"" + std::to_string(number) +
                        "\">\r\n<text>" + DocumentText(size, random);
      xml.resize(size > 20 ? size - 20 : size);
      return xml + "</text></document>\r\n";
    }
  }
}

}  // namespace

SmallTreeFacts AddSmallDocuments(const std::string& root, uint64_t first, uint64_t count,
                                 const SmallTreeShape& shape) {
  static const char* const kExtensions[] = {".docx", ".pdf", ".xml"};
  SmallTreeFacts facts;
  const double low = std::log(static_cast<double>(shape.min_bytes));
  const double high = std::log(static_cast<double>(std::max(shape.max_bytes, shape.min_bytes)));
  // A document's three files share a folder.
  const uint64_t documents_per_folder = std::max<uint64_t>(shape.files_per_folder / 3, 1);
  std::filesystem::path made;
  for (uint64_t file = first; file < first + count; ++file) {
    std::mt19937 random(static_cast<uint32_t>(file * 2654435761u + 17));
    const uint64_t document = file / 3;
    const uint64_t folder = document / documents_per_folder;
    const Part part = static_cast<Part>(file % 3);
    std::uniform_real_distribution<double> spread(low, high);
    const size_t size = static_cast<size_t>(std::exp(spread(random)));
    char folder_name[64];
    std::snprintf(folder_name, sizeof(folder_name), "Cabinet %03llu/Drawer %02llu",
                  static_cast<unsigned long long>(folder / 50),
                  static_cast<unsigned long long>(folder % 50));
    std::filesystem::path path = std::filesystem::path(root) / folder_name;
    if (path != made) {
      std::filesystem::create_directories(path);
      made = path;
    }
    char name[32];
    std::snprintf(name, sizeof(name), "DOC%07llu", static_cast<unsigned long long>(document));
    const std::string bytes = Bytes(part, document, size, random);
    std::ofstream(path / (name + std::string(kExtensions[file % 3])),
                  std::ios::binary | std::ios::trunc)
        << bytes;
    ++facts.files;
    facts.bytes += bytes.size();
  }
  return facts;
}

}  // namespace qdw::bench
