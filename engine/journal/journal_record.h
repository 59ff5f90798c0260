// One record of the run journal and its line in the journal file. A line carries its own
// sequence number and a checksum, so that a line torn by a crash (its record was never made
// durable, and so its change never begun) is told apart from a whole one and ignored.
//
//   QJ <sequence> <kind> <field> ... *<CRC-32 of everything before " *", 8 hex digits>
//
// Fields are separated by single spaces; a space, "%", control characters and bytes above
// 0x7E are written "%HH", so the file is plain ASCII whatever code page the paths are in.
#ifndef QDW_ENGINE_JOURNAL_JOURNAL_RECORD_H_
#define QDW_ENGINE_JOURNAL_JOURNAL_RECORD_H_

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "platform/security_types.h"
#include "platform/shares.h"

namespace qdw::journal {

struct JournalRecord {
  uint64_t sequence = 0;
  std::string kind;
  std::vector<std::string> fields;

  // The field at `index`, or empty when the record has fewer.
  const std::string& Field(size_t index) const;
};

// The line of a record, without its line break.
std::string EncodeRecord(const JournalRecord& record);
// The record of a whole line; nothing for a torn or damaged one.
std::optional<JournalRecord> DecodeRecord(const std::string& line);

// Field forms of the values records carry. Each Parse* is false for a field it did not write.
std::string HexField(const std::vector<uint8_t>& bytes);
bool ParseHexField(const std::string& field, std::vector<uint8_t>* bytes);
// An optional text: "~" when absent, otherwise "+" and the text.
std::string OptionalField(const std::optional<std::string>& text);
bool ParseOptionalField(const std::string& field, std::optional<std::string>* text);
std::string NumberField(uint64_t value);
bool ParseNumberField(const std::string& field, uint64_t* value);
// An access list: its entries joined by ",", each "type.flags.mask.SID" in hex (or "raw.BYTES"
// for an entry the ports carry as bytes); "none" for an object without one.
std::string AclField(bool present, const platform::Acl& acl);
bool ParseAclField(const std::string& field, bool* present, platform::Acl* acl);
// A share's level-502 information as the fields of one record, and back.
std::vector<std::string> ShareFields(const platform::ShareInfo& share);
bool ParseShareFields(const std::vector<std::string>& fields, size_t first,
                      platform::ShareInfo* share);
std::string HiveField(platform::Hive hive);
bool ParseHiveField(const std::string& field, platform::Hive* hive);

}  // namespace qdw::journal

#endif  // QDW_ENGINE_JOURNAL_JOURNAL_RECORD_H_
