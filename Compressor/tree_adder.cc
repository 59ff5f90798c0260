#include "Compressor/tree_adder.h"

#include <utility>
#include <vector>

#include "Compressor/compressor_state.h"
#include "Compressor/writer_callbacks.h"
#include "platform/platform.h"
#include "platform/reparse_points.h"
#include "platform/windows_path.h"

namespace qdw::compressor {
namespace {

// The result of a level that cannot be listed: "Failure opening file to be stored in cabinet."
constexpr int kCannotOpen = FCIERR_OPEN_SRC;
// A failed add whose error record names no cause.
constexpr int kUnexpectedFailure = -1;

// Hands a file's listed attributes to the open callback for the one add, and takes them back
// however the add ends.
class ListedAttributesScope {
 public:
  explicit ListedAttributesScope(uint32_t attributes) {
    ProcessState().listed_attributes = attributes;
  }
  ~ListedAttributesScope() { ProcessState().listed_attributes.reset(); }
  ListedAttributesScope(const ListedAttributesScope&) = delete;
  ListedAttributesScope& operator=(const ListedAttributesScope&) = delete;
};

}  // namespace

TreeAdder::TreeAdder(HFCI context, FciAddFileEntry add_file, const ERF* error_record,
                     std::string root)
    : context_(context), add_file_(add_file), error_record_(error_record), root_(std::move(root)) {}

int TreeAdder::AddFolder(const std::string& relative) {
  std::string pattern = root_ + relative + "*";
  if (pattern.size() >= platform::kMaxPath) return kCannotOpen;
  std::vector<platform::DirEntry> entries;
  // Sizes and times come from each file's own handle when it is opened.
  if (platform::DefaultPlatform().files().FindNamesAndAttributes(pattern, &entries) !=
      platform::kSuccess) {
    return kCannotOpen;
  }
  for (const platform::DirEntry& entry : entries) {
    int result = 0;
    if (entry.attributes & platform::kAttrDirectory) {
      if (entry.name == "." || entry.name == "..") continue;
      // A junction's content is another folder's; a cabinet holds files only, so it is left
      // out rather than stored as this tree's own.
      if (platform::IsReparsePoint(entry)) continue;
      result = AddFolder(relative + entry.name + "\\");
    } else {
      result = AddOneFile(relative, entry.name, entry.attributes);
    }
    if (result != 0) return result;
  }
  return 0;
}

int TreeAdder::AddOneFile(const std::string& relative, const std::string& name,
                          uint32_t attributes) {
  std::string source = root_ + relative + name;
  if (source.size() >= platform::kMaxPath) return kCannotOpen;
  std::string stored = relative + name;
  ListedAttributesScope listed(attributes);
  if (add_file_(context_, source.data(), stored.data(), 0, WriterNextCabinet, WriterStatus,
                WriterOpenForAdding, tcompTYPE_MSZIP)) {
    return 0;
  }
  return error_record_->erfOper != 0 ? error_record_->erfOper : kUnexpectedFailure;
}

}  // namespace qdw::compressor
