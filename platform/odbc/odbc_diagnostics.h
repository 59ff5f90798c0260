// Reading the driver's diagnostic records after a failed ODBC call.
#ifndef QDW_PLATFORM_ODBC_ODBC_DIAGNOSTICS_H_
#define QDW_PLATFORM_ODBC_ODBC_DIAGNOSTICS_H_

#include <sql.h>

#include <string>

namespace qdw::odbc {

// Every diagnostic record of `handle` as "SQLSTATE: message", records joined by "; ".
// `fallback` when the handle holds none (for example after SQL_INVALID_HANDLE).
std::string Diagnostics(SQLSMALLINT handle_type, SQLHANDLE handle, const std::string& fallback);

}  // namespace qdw::odbc

#endif  // QDW_PLATFORM_ODBC_ODBC_DIAGNOSTICS_H_
