#include "database/sql_text.h"

#include <cstdlib>

#include "platform/database.h"

namespace qdw::database {

std::string SqlString(const std::string& value) { return "'" + platform::SqlQuote(value) + "'"; }

bool IsIntegerText(const std::string& text) {
  size_t start = (!text.empty() && text[0] == '-') ? 1 : 0;
  size_t digits = text.size() - start;
  if (digits == 0 || digits > 18) return false;
  for (size_t i = start; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
  }
  return true;
}

long DecimalValue(const std::string& text) { return std::atol(text.c_str()); }

}  // namespace qdw::database
