// The product database on the stand-in machine: the Access connect string
// "ODBC;DRIVER={MICROSOFT ACCESS DRIVER (*.mdb)};DSN='';DBQ=C:\...\VNDATABASE.mdb" opens the
// machine's file (an SQLite database) through unixODBC and the SQLite ODBC driver, and every
// statement passes through SqlDialect. The driver library is found in the usual Debian
// places, or named by the environment variable QDW_SQLITE_ODBC_DRIVER.
#ifndef QDW_PLATFORM_SIM_SIM_DATABASES_H_
#define QDW_PLATFORM_SIM_SIM_DATABASES_H_

#include <map>
#include <string>

namespace qdw::sim {

// The connect string's attributes by upper-case name ("DRIVER", "DBQ"), braces removed.
std::map<std::string, std::string> ParseConnectString(const std::string& connect_string);

// The DRIVER= text for the SQLite ODBC driver: a library path, or the registered name
// "{SQLite3}" when no library is found.
std::string SqliteOdbcDriver();

}  // namespace qdw::sim

#endif  // QDW_PLATFORM_SIM_SIM_DATABASES_H_
