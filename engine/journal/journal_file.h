// The journal file: records appended one at a time, each on the disk (FlushFileBuffers) before
// the append returns. Each record is written as a line break and its line, so a line torn by a
// crash never swallows the record appended after it.
#ifndef QDW_ENGINE_JOURNAL_JOURNAL_FILE_H_
#define QDW_ENGINE_JOURNAL_JOURNAL_FILE_H_

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/journal/journal_record.h"
#include "platform/platform.h"

namespace qdw::journal {

inline constexpr char kJournalFileName[] = "RunJournal.txt";

class JournalFile {
 public:
  // `path` empty: the machine has no place for a journal, and every append fails.
  JournalFile(platform::Platform& platform, std::string path)
      : platform_(platform), path_(std::move(path)) {}

  const std::string& path() const { return path_; }

  // The whole records of the file, in file order; torn and damaged lines are left out.
  // `*exists` tells whether there is a file. False when it cannot be read.
  bool Read(std::vector<JournalRecord>* records, bool* exists);
  // Appends one record and makes it durable. False when it could not (the file then ends
  // where it ended before, as far as the system lets it be cut back).
  bool Append(const JournalRecord& record);
  // The file's length now (0 when there is none).
  bool Length(uint64_t* length);
  // Cuts the file back to `length`; 0 deletes it.
  bool TruncateTo(uint64_t length);
  void Close() { file_.reset(); }

 private:
  bool OpenForAppend();

  platform::Platform& platform_;
  std::string path_;
  std::unique_ptr<platform::File> file_;
};

// The journal's path in the tool's data folder; empty when the machine has no such folder.
std::string JournalPath(platform::Shell& shell);

}  // namespace qdw::journal

#endif  // QDW_ENGINE_JOURNAL_JOURNAL_FILE_H_
