// Helpers for the values the database code pastes into SQL text.
#ifndef QDW_DATABASE_SQL_TEXT_H_
#define QDW_DATABASE_SQL_TEXT_H_

#include <string>

namespace qdw::database {

// `value` between single quotes with its own quotes doubled, so a name like O'Brien stays one
// literal and cannot end the statement.
std::string SqlString(const std::string& value);

// True for an optional "-" followed by 1 to 18 decimal digits: the only text that is pasted
// into SQL without quotes (ids and counts read from the database).
bool IsIntegerText(const std::string& text);

// The standard library's decimal reading (atol): leading blanks, an optional sign, digits;
// 0 when the text does not start with a number.
long DecimalValue(const std::string& text);

}  // namespace qdw::database

#endif  // QDW_DATABASE_SQL_TEXT_H_
