#include "platform/sim/sql_dialect.h"

#include <cctype>

#include "platform/windows_path.h"

namespace qdw::sim {
namespace {

bool IsWordStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool IsWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

size_t SkipSpaces(const std::string& sql, size_t i) {
  while (i < sql.size() && std::isspace(static_cast<unsigned char>(sql[i]))) ++i;
  return i;
}

// After "DELETE": the end of a "*" or "name.*" that stands before FROM, or `start` when there
// is none (the text then stays as it is).
size_t DeleteTargetEnd(const std::string& sql, size_t start) {
  size_t i = SkipSpaces(sql, start);
  if (i < sql.size() && IsWordStart(sql[i])) {
    while (i < sql.size() && IsWordChar(sql[i])) ++i;
    if (i + 1 >= sql.size() || sql[i] != '.') return start;
    ++i;
  }
  if (i >= sql.size() || sql[i] != '*') return start;
  size_t after_star = i + 1;
  size_t from = SkipSpaces(sql, after_star);
  if (from == after_star) return start;
  if (sql.size() - from < 4 || !platform::EqualsIgnoreCase(sql.substr(from, 4), "FROM")) {
    return start;
  }
  if (from + 4 < sql.size() && IsWordChar(sql[from + 4])) return start;
  return after_star;
}

// Copies a quoted or bracketed run starting at `i` (the opening character) to `out`.
size_t CopyDelimited(const std::string& sql, size_t i, char close, std::string* out) {
  size_t j = i + 1;
  for (; j < sql.size(); ++j) {
    if (sql[j] != close) continue;
    // A doubled quote stands for the quote itself; brackets do not double.
    if (close != ']' && j + 1 < sql.size() && sql[j + 1] == close) {
      ++j;
      continue;
    }
    break;
  }
  size_t end = j < sql.size() ? j + 1 : sql.size();
  out->append(sql, i, end - i);
  return end;
}

// A Jet literal "text" becomes 'text': its "" pairs become one ", its ' are doubled.
size_t ConvertDoubleQuoted(const std::string& sql, size_t i, std::string* out) {
  out->push_back('\'');
  size_t j = i + 1;
  for (; j < sql.size(); ++j) {
    char c = sql[j];
    if (c == '"') {
      if (j + 1 < sql.size() && sql[j + 1] == '"') {
        out->push_back('"');
        ++j;
        continue;
      }
      break;
    }
    if (c == '\'') out->push_back('\'');
    out->push_back(c);
  }
  out->push_back('\'');
  return j < sql.size() ? j + 1 : sql.size();
}

bool IsTextType(const std::string& upper_word) {
  for (const char* type : {"TEXT", "VARCHAR", "CHAR", "NVARCHAR", "NCHAR", "MEMO", "LONGTEXT",
                           "STRING", "CHARACTER"}) {
    if (upper_word == type) return true;
  }
  return false;
}

// Text columns of a CREATE TABLE compare ignoring case, as the Access driver compares text: a
// column whose type (the second word of its definition) is a text type gets COLLATE NOCASE
// after the type and its length, unless it names a collation itself.
std::string TextColumnsIgnoreCase(const std::string& sql) {
  std::string out;
  int depth = 0;
  int word_in_column = 0;
  size_t i = 0;
  while (i < sql.size()) {
    char c = sql[i];
    if (c == '\'' || c == '[') {
      if (depth == 1) ++word_in_column;
      i = CopyDelimited(sql, i, c == '[' ? ']' : '\'', &out);
      continue;
    }
    if (!IsWordStart(c)) {
      if (c == '(' && ++depth == 1) word_in_column = 0;
      if (c == ')') --depth;
      if (c == ',' && depth == 1) word_in_column = 0;
      out += c;
      ++i;
      continue;
    }
    size_t end = i;
    while (end < sql.size() && IsWordChar(sql[end])) ++end;
    const bool is_type = depth == 1 && word_in_column++ == 1 &&
                         IsTextType(platform::UpperAnsi(sql.substr(i, end - i)));
    if (is_type) {
      size_t after = SkipSpaces(sql, end);
      if (after < sql.size() && sql[after] == '(') {
        size_t close = sql.find(')', after);
        end = close == std::string::npos ? sql.size() : close + 1;
      }
      out.append(sql, i, end - i);
      after = SkipSpaces(sql, end);
      if (sql.size() - after < 7 || !platform::EqualsIgnoreCase(sql.substr(after, 7), "COLLATE")) {
        out += " COLLATE NOCASE";
      }
    } else {
      out.append(sql, i, end - i);
    }
    i = end;
  }
  return out;
}

bool IsCreateTable(const std::string& sql) {
  size_t i = SkipSpaces(sql, 0);
  if (sql.size() - i < 6 || !platform::EqualsIgnoreCase(sql.substr(i, 6), "CREATE")) return false;
  i = SkipSpaces(sql, i + 6);
  return sql.size() - i >= 5 && platform::EqualsIgnoreCase(sql.substr(i, 5), "TABLE");
}

}  // namespace

std::string SqlDialect::ToSqlite(const std::string& access_sql) {
  const std::string& sql = access_sql;
  std::string out;
  out.reserve(sql.size());
  size_t i = 0;
  while (i < sql.size()) {
    char c = sql[i];
    if (c == '\'') {
      i = CopyDelimited(sql, i, '\'', &out);
    } else if (c == '[') {
      i = CopyDelimited(sql, i, ']', &out);
    } else if (c == '"') {
      i = ConvertDoubleQuoted(sql, i, &out);
    } else if (IsWordStart(c)) {
      size_t end = i;
      while (end < sql.size() && IsWordChar(sql[end])) ++end;
      std::string word = platform::UpperAnsi(sql.substr(i, end - i));
      // A qualified name ("t.No") is a column, never a value.
      bool qualified = (i > 0 && sql[i - 1] == '.') || (end < sql.size() && sql[end] == '.');
      if (!qualified && (word == "YES" || word == "TRUE")) {
        out += '1';
      } else if (!qualified && (word == "NO" || word == "FALSE")) {
        out += '0';
      } else {
        out.append(sql, i, end - i);
      }
      if (word == "DELETE") {
        size_t target_end = DeleteTargetEnd(sql, end);
        if (target_end != end) end = target_end;
      }
      i = end;
    } else {
      out += c;
      ++i;
    }
  }
  return IsCreateTable(out) ? TextColumnsIgnoreCase(out) : out;
}

}  // namespace qdw::sim
