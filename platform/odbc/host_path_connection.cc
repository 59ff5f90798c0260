#include "platform/odbc/host_path_connection.h"

#include <utility>

#include "platform/windows_path.h"

namespace qdw::odbc {

std::optional<std::string> DatabaseFileOf(const std::string& connect_string) {
  const std::string text = DriverConnectString(connect_string);
  size_t at = 0;
  while (at < text.size()) {
    const size_t equals = text.find('=', at);
    if (equals == std::string::npos) return std::nullopt;
    const size_t semicolon = text.find(';', at);
    if (semicolon != std::string::npos && semicolon < equals) {  // an attribute without value
      at = semicolon + 1;
      continue;
    }
    const bool is_file = platform::UpperAnsi(text.substr(at, equals - at)) == "DBQ";
    std::string value;
    size_t end;
    if (equals + 1 < text.size() && text[equals + 1] == '{') {
      const size_t close = text.find('}', equals + 1);
      value = text.substr(equals + 2, close == std::string::npos ? close : close - equals - 2);
      end = close == std::string::npos ? close : text.find(';', close);
    } else {
      end = text.find(';', equals);
      value = text.substr(equals + 1, end == std::string::npos ? end : end - equals - 1);
    }
    if (is_file) return value;
    if (end == std::string::npos) break;
    at = end + 1;
  }
  return std::nullopt;
}

bool HostPathConnection::Open(const std::string& connect_string, bool exclusive, bool read_only,
                              bool use_cursor_library) {
  own_error_.clear();
  odbc_.Close();
  std::string text = DriverConnectString(connect_string);
  if (std::optional<std::string> file = DatabaseFileOf(text)) {
    std::optional<std::string> host = lookup_ ? lookup_(*file) : std::nullopt;
    if (!host) {
      own_error_ = "HY024: Could not find file '" + *file + "'.";
      return false;
    }
    // The connect string has no quoting for these.
    if (host->find_first_of(";{}") != std::string::npos) {
      own_error_ = "HY000: the database path cannot be handed to the driver: " + *host;
      return false;
    }
    if (!text.empty() && text.back() != ';') text += ';';
    text += "Database=" + *host;
  }
  return odbc_.Open(text, exclusive, read_only, use_cursor_library);
}

}  // namespace qdw::odbc
