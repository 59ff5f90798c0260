#include "platform/sim/regedit4_format.h"

#include <cctype>
#include <cstdio>
#include <vector>

#include "platform/registry.h"
#include "platform/text_lines.h"
#include "platform/windows_path.h"

namespace qdw::sim {
namespace {

using platform::EqualsIgnoreCase;

std::string ShortRootName(const std::string& root_name) {
  if (EqualsIgnoreCase(root_name, "HKEY_LOCAL_MACHINE")) return "HKLM";
  if (EqualsIgnoreCase(root_name, "HKEY_CURRENT_USER")) return "HKCU";
  if (EqualsIgnoreCase(root_name, "HKEY_USERS")) return "HKU";
  return root_name;
}

std::string Trim(const std::string& text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && std::isspace(static_cast<unsigned char>(text[begin]))) ++begin;
  while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1]))) --end;
  return text.substr(begin, end - begin);
}

// Reads a "quoted" text starting at `pos` (the opening quote) with \\ and \" escapes; any
// other backslash stands for itself. `*end` is just past the closing quote.
bool ParseQuoted(const std::string& line, size_t pos, std::string* out, size_t* end) {
  out->clear();
  for (size_t i = pos + 1; i < line.size(); ++i) {
    char c = line[i];
    if (c == '\\' && i + 1 < line.size() && (line[i + 1] == '\\' || line[i + 1] == '"')) {
      out->push_back(line[++i]);
    } else if (c == '"') {
      *end = i + 1;
      return true;
    } else {
      out->push_back(c);
    }
  }
  return false;
}

bool ParseHexBytes(const std::string& list, std::vector<uint8_t>* bytes) {
  bytes->clear();
  size_t start = 0;
  while (start <= list.size()) {
    size_t comma = list.find(',', start);
    if (comma == std::string::npos) comma = list.size();
    std::string item = Trim(list.substr(start, comma - start));
    start = comma + 1;
    if (item.empty()) {
      if (comma == list.size()) break;  // nothing, or a trailing comma
      return false;
    }
    if (item.size() > 2) return false;
    for (char c : item) {
      if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
    }
    bytes->push_back(static_cast<uint8_t>(std::stoul(item, nullptr, 16)));
  }
  return true;
}

// The value data after "=": false when it is not one of the forms of the format.
bool ParseData(const std::string& text, bool* remove, RegistryValue* value) {
  *remove = false;
  if (text == "-") {
    *remove = true;
    return true;
  }
  if (!text.empty() && text[0] == '"') {
    std::string content;
    size_t end = 0;
    if (!ParseQuoted(text, 0, &content, &end) || !Trim(text.substr(end)).empty()) return false;
    value->type = platform::kRegSz;
    value->data.assign(content.begin(), content.end());
    value->data.push_back(0);
    return true;
  }
  if (platform::StartsWithIgnoreCase(text, "dword:")) {
    std::string digits = Trim(text.substr(6));
    if (digits.empty() || digits.size() > 8) return false;
    for (char c : digits) {
      if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
    }
    uint32_t number = static_cast<uint32_t>(std::stoul(digits, nullptr, 16));
    value->type = platform::kRegDword;
    value->data = {static_cast<uint8_t>(number), static_cast<uint8_t>(number >> 8),
                   static_cast<uint8_t>(number >> 16), static_cast<uint8_t>(number >> 24)};
    return true;
  }
  if (!platform::StartsWithIgnoreCase(text, "hex")) return false;
  size_t colon = text.find(':');
  if (colon == std::string::npos) return false;
  std::string kind = text.substr(3, colon - 3);
  if (kind.empty()) {
    value->type = platform::kRegBinary;
  } else {
    if (kind.size() < 3 || kind.front() != '(' || kind.back() != ')') return false;
    std::string number = kind.substr(1, kind.size() - 2);
    if (number.empty() || number.size() > 8) return false;
    for (char c : number) {
      if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
    }
    value->type = static_cast<uint32_t>(std::stoul(number, nullptr, 16));
  }
  return ParseHexBytes(text.substr(colon + 1), &value->data);
}

class Parser {
 public:
  Parser(const std::string& root_name, RegistryNode* root, std::string* error)
      : root_name_(root_name), short_name_(ShortRootName(root_name)), root_(root), error_(error) {}

  bool Run(const std::string& text) {
    std::string body = text;
    if (body.compare(0, 3, "\xEF\xBB\xBF") == 0) body.erase(0, 3);
    std::vector<std::string> lines = platform::SplitLinesKeepingLastPiece(body);
    size_t i = 0;
    while (i < lines.size() && Trim(lines[i]).empty()) ++i;
    if (i == lines.size()) return true;
    if (Trim(lines[i]) != "REGEDIT4") return Fail(i, "the file does not start with REGEDIT4");
    for (++i; i < lines.size(); ++i) {
      std::string line = Trim(lines[i]);
      if (line.empty() || line[0] == ';') continue;
      size_t first_line = i;
      // hex data may go on over further lines, each but the last ending with "\".
      while (line.back() == '\\' && IsHexValueLine(line) && i + 1 < lines.size()) {
        line.pop_back();
        line += Trim(lines[++i]);
      }
      if (!ParseLine(first_line, line)) return false;
    }
    return true;
  }

 private:
  static bool IsHexValueLine(const std::string& line) {
    size_t equals = line.rfind('=');
    if (line[0] != '"' && line[0] != '@') return false;
    return equals != std::string::npos &&
           platform::StartsWithIgnoreCase(Trim(line.substr(equals + 1)), "hex");
  }

  bool Fail(size_t line, const std::string& message) {
    *error_ = "line " + std::to_string(line + 1) + ": " + message;
    return false;
  }

  bool ParseLine(size_t line_index, const std::string& line) {
    if (line[0] == '[') return ParseSection(line_index, line);
    if (line[0] == '"' || line[0] == '@') return ParseValue(line_index, line);
    return Fail(line_index, "neither a [key] nor a value: " + line);
  }

  bool ParseSection(size_t line_index, const std::string& line) {
    if (line.back() != ']') return Fail(line_index, "a key line must end with ]");
    std::string path = line.substr(1, line.size() - 2);
    bool remove = !path.empty() && path[0] == '-';
    if (remove) path.erase(0, 1);
    std::vector<std::string> parts;
    size_t start = 0;
    while (true) {
      size_t slash = path.find('\\', start);
      parts.push_back(
          path.substr(start, slash == std::string::npos ? std::string::npos : slash - start));
      if (slash == std::string::npos) break;
      start = slash + 1;
    }
    if (!EqualsIgnoreCase(parts[0], root_name_) && !EqualsIgnoreCase(parts[0], short_name_)) {
      return Fail(line_index, "the key is not in " + root_name_ + ": " + path);
    }
    for (size_t i = 1; i < parts.size(); ++i) {
      if (parts[i].empty()) return Fail(line_index, "empty key name in " + path);
    }
    if (remove) {
      current_ = nullptr;
      if (parts.size() == 1) return Fail(line_index, "the hive root cannot be removed");
      RegistryNode* parent = root_;
      for (size_t i = 1; parent != nullptr && i + 1 < parts.size(); ++i) {
        parent = parent->Child(parts[i]);
      }
      if (parent != nullptr) parent->RemoveChild(parts.back());
      return true;
    }
    current_ = root_;
    for (size_t i = 1; i < parts.size(); ++i) current_ = current_->AddChild(parts[i]);
    return true;
  }

  bool ParseValue(size_t line_index, const std::string& line) {
    RegistryValue value;
    size_t pos = 1;
    if (line[0] == '"' && !ParseQuoted(line, 0, &value.name, &pos)) {
      return Fail(line_index, "unterminated value name");
    }
    while (pos < line.size() && line[pos] == ' ') ++pos;
    if (pos >= line.size() || line[pos] != '=') return Fail(line_index, "missing = after name");
    bool remove = false;
    if (!ParseData(Trim(line.substr(pos + 1)), &remove, &value)) {
      return Fail(line_index, "unreadable value data: " + line);
    }
    if (current_ == nullptr) {
      return Fail(line_index, "a value outside a [key]");
    }
    if (remove) {
      current_->RemoveValue(value.name);
    } else {
      current_->SetValue(std::move(value));
    }
    return true;
  }

  const std::string root_name_;
  const std::string short_name_;
  RegistryNode* root_;
  std::string* error_;
  RegistryNode* current_ = nullptr;
};

std::string Quote(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  return out + "\"";
}

// A REG_SZ the quoted form keeps exactly: one text, one terminating zero, on one line.
bool IsPlainText(const RegistryValue& value) {
  if (value.type != platform::kRegSz || value.data.empty() || value.data.back() != 0) {
    return false;
  }
  for (size_t i = 0; i + 1 < value.data.size(); ++i) {
    uint8_t c = value.data[i];
    if (c == 0 || c == '\n' || c == '\r') return false;
  }
  return true;
}

void AppendHex(const std::string& prefix, const std::vector<uint8_t>& bytes, size_t line_start,
               std::string* out) {
  *out += prefix;
  size_t column = out->size() - line_start;
  char item[4];
  for (size_t i = 0; i < bytes.size(); ++i) {
    std::snprintf(item, sizeof(item), "%02x", bytes[i]);
    *out += item;
    column += 2;
    if (i + 1 == bytes.size()) break;
    *out += ',';
    ++column;
    if (column > 76) {
      *out += "\\\n  ";
      column = 2;
    }
  }
}

void AppendValue(const RegistryValue& value, std::string* out) {
  size_t line_start = out->size();
  *out += value.name.empty() ? std::string("@") : Quote(value.name);
  *out += '=';
  if (IsPlainText(value)) {
    *out += Quote(std::string(value.data.begin(), value.data.end() - 1));
  } else if (value.type == platform::kRegDword && value.data.size() == 4) {
    uint32_t number = value.data[0] | (value.data[1] << 8) | (value.data[2] << 16) |
                      (static_cast<uint32_t>(value.data[3]) << 24);
    char text[16];
    std::snprintf(text, sizeof(text), "dword:%08x", number);
    *out += text;
  } else if (value.type == platform::kRegBinary) {
    AppendHex("hex:", value.data, line_start, out);
  } else {
    char prefix[24];
    std::snprintf(prefix, sizeof(prefix), "hex(%x):", value.type);
    AppendHex(prefix, value.data, line_start, out);
  }
  *out += '\n';
}

void AppendKey(const RegistryNode& node, const std::string& path, bool is_root, std::string* out) {
  if (!is_root || !node.values().empty()) {
    *out += "\n[" + path + "]\n";
    for (const RegistryValue& value : node.values()) AppendValue(value, out);
  }
  for (const auto& entry : node.children()) {
    const RegistryNode& child = *entry.second;
    AppendKey(child, path + "\\" + child.name(), false, out);
  }
}

}  // namespace

bool ParseRegedit4(const std::string& text, const std::string& root_name, RegistryNode* root,
                   std::string* error) {
  Parser parser(root_name, root, error);
  return parser.Run(text);
}

std::string FormatRegedit4(const RegistryNode& root, const std::string& root_name) {
  std::string out = "REGEDIT4\n";
  AppendKey(root, root_name, true, &out);
  return out;
}

}  // namespace qdw::sim
