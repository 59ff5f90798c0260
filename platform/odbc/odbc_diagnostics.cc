#include "platform/odbc/odbc_diagnostics.h"

#include <sqlext.h>

#include <vector>

namespace qdw::odbc {

std::string Diagnostics(SQLSMALLINT handle_type, SQLHANDLE handle, const std::string& fallback) {
  std::string text;
  if (handle == SQL_NULL_HANDLE) return fallback;
  for (SQLSMALLINT record = 1;; ++record) {
    SQLCHAR state[6] = {0};
    SQLINTEGER native = 0;
    std::vector<SQLCHAR> message(1024);
    SQLSMALLINT length = 0;
    SQLRETURN rc = SQLGetDiagRec(handle_type, handle, record, state, &native, message.data(),
                                 static_cast<SQLSMALLINT>(message.size()), &length);
    if (rc == SQL_SUCCESS_WITH_INFO && length >= static_cast<SQLSMALLINT>(message.size())) {
      message.resize(static_cast<size_t>(length) + 1);
      rc = SQLGetDiagRec(handle_type, handle, record, state, &native, message.data(),
                         static_cast<SQLSMALLINT>(message.size()), &length);
    }
    if (!SQL_SUCCEEDED(rc)) break;
    if (!text.empty()) text += "; ";
    text += reinterpret_cast<const char*>(state);
    text += ": ";
    text += reinterpret_cast<const char*>(message.data());
  }
  return text.empty() ? fallback : text;
}

}  // namespace qdw::odbc
