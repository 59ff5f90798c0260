// Adds a folder tree to a cabinet compression context: one entry per file, stored under its
// path relative to the root with "\" separators, folders entered depth first in the order the
// file system lists them.
#ifndef QDW_COMPRESSOR_TREE_ADDER_H_
#define QDW_COMPRESSOR_TREE_ADDER_H_

#include <cstdint>
#include <string>

#include "cabinet/fci.h"

namespace qdw::compressor {

using FciAddFileEntry = decltype(&FCIAddFile);

class TreeAdder {
 public:
  // `root` ends with "\". `error_record` is the context's, read after a failed add.
  TreeAdder(HFCI context, FciAddFileEntry add_file, const ERF* error_record, std::string root);

  // Adds the files below root + `relative` (empty or ending with "\"). 0 when every entry was
  // added; 1 when a folder cannot be listed or a path does not fit the 260-character limit;
  // otherwise the cabinet library's code of the first failed add.
  int AddFolder(const std::string& relative);

 private:
  // `attributes` are the file's as its folder listed them; they are the ones stored.
  int AddOneFile(const std::string& relative, const std::string& name, uint32_t attributes);

  HFCI context_;
  FciAddFileEntry add_file_;
  const ERF* error_record_;
  std::string root_;
};

}  // namespace qdw::compressor

#endif  // QDW_COMPRESSOR_TREE_ADDER_H_
