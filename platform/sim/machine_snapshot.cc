#include "platform/sim/machine_snapshot.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <sstream>

#include "platform/code_page_text.h"
#include "platform/sim/machine_snapshot_parts.h"
#include "platform/windows_path.h"

namespace qdw::sim {
namespace snapshot {

std::string Line(const std::string& kind, const std::string& key, const std::string& fields) {
  return kind + "\t" + key + "\t" + fields;
}

std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20 || byte == 0x7F) {
      char escaped[8];
      std::snprintf(escaped, sizeof(escaped), "\\x%02X", byte);
      out += escaped;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string AclText(const platform::Acl& acl) {
  std::string text = "[";
  for (size_t i = 0; i < acl.entries.size(); ++i) {
    const platform::Ace& ace = acl.entries[i];
    char head[64];
    std::snprintf(head, sizeof(head), "%s 0x%X flags=0x%02X ",
                  ace.type == platform::kAceAccessDenied    ? "deny"
                  : ace.type == platform::kAceAccessAllowed ? "allow"
                                                            : "type-other",
                  ace.mask, ace.flags);
    if (i > 0) text += ", ";
    text += head + ace.sid.ToString();
  }
  return text + "]";
}

std::string FoldedKey(int code_page, const std::string& utf8) {
  std::string ansi;
  platform::Utf8ToAnsi(code_page, utf8, &ansi);
  std::string folded;
  platform::AnsiToUtf8(code_page, platform::UpperText(code_page, ansi), &folded);
  return folded;
}

}  // namespace snapshot

namespace {

// The part of a line that names its item: "KIND\tKEY".
std::string ItemOf(const std::string& line) {
  size_t first = line.find('\t');
  size_t second = first == std::string::npos ? first : line.find('\t', first + 1);
  return second == std::string::npos ? line : line.substr(0, second);
}

std::string FieldsOf(const std::string& line) {
  std::string item = ItemOf(line);
  return item.size() < line.size() ? line.substr(item.size() + 1) : std::string();
}

std::string Readable(const std::string& item) {
  std::string text = item;
  std::replace(text.begin(), text.end(), '\t', ' ');
  return text;
}

}  // namespace

std::string MachineSnapshot::Text() const {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

MachineSnapshot ParseSnapshot(const std::string& text) {
  MachineSnapshot snapshot;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty()) snapshot.lines.push_back(line);
  }
  std::sort(snapshot.lines.begin(), snapshot.lines.end());
  return snapshot;
}

std::string OperationLogPath(const SimMachine& machine) {
  auto description = machine.Description();
  Json folders = description->value("special_folders", Json::object());
  std::string common = folders.is_object()
                           ? folders.value("common_appdata", std::string("C:\\ProgramData"))
                           : std::string("C:\\ProgramData");
  return platform::JoinPath(common, "VARNOLD\\Quillon Deskora Backup Tool\\BackupLog.txt");
}

MachineSnapshot TakeSnapshot(const SimMachine& machine, const SnapshotOptions& options) {
  MachineSnapshot snapshot;
  SnapshotOptions effective = options;
  if (effective.excluded_paths.empty())
    effective.excluded_paths.push_back(OperationLogPath(machine));
  snapshot::AddDriveLines(machine, effective, &snapshot.lines);
  snapshot::AddStateLines(machine, effective, &snapshot.lines);
  std::sort(snapshot.lines.begin(), snapshot.lines.end());
  return snapshot;
}

std::string DescribeDifferences(const MachineSnapshot& before, const MachineSnapshot& after) {
  std::map<std::string, std::pair<const std::string*, const std::string*>> items;
  for (const std::string& line : before.lines) items[ItemOf(line)].first = &line;
  for (const std::string& line : after.lines) items[ItemOf(line)].second = &line;
  std::string report;
  for (const auto& [item, pair] : items) {
    const auto [old_line, new_line] = pair;
    if (old_line != nullptr && new_line != nullptr) {
      if (*old_line == *new_line) continue;
      report += "~ " + Readable(item) + "\n    was " + FieldsOf(*old_line) + "\n    now " +
                FieldsOf(*new_line) + "\n";
    } else if (old_line != nullptr) {
      report += "- " + Readable(*old_line) + "\n";
    } else {
      report += "+ " + Readable(*new_line) + "\n";
    }
  }
  return report;
}

}  // namespace qdw::sim
