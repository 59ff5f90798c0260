#include "platform/sim/sim_databases.h"

#include <dlfcn.h>
#include <glob.h>
#include <sys/stat.h>

#include <cstdlib>
#include <memory>

#include "platform/odbc/odbc_connection.h"
#include "platform/sim/sim_machine.h"
#include "platform/sim/sim_ports.h"
#include "platform/sim/sql_dialect.h"
#include "platform/windows_path.h"

namespace qdw::sim {
namespace {

using platform::RecordSet;
using platform::WinError;

bool IsRegularFile(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

class SimDatabaseConnection : public platform::DatabaseConnection {
 public:
  explicit SimDatabaseConnection(SimMachine& machine) : machine_(machine) {}

  bool Open(const std::string& connect_string, bool exclusive, bool read_only,
            bool use_cursor_library) override {
    Close();
    std::map<std::string, std::string> attributes = ParseConnectString(connect_string);
    std::string file = attributes["DBQ"];
    if (Fault("Database.Open", file)) return false;
    if (file.empty()) return Refuse("IM002: the connect string names no database file (DBQ)");
    std::string host;
    // The driver would create a missing file; the Access driver refuses it.
    if (!machine_.ToHostPath(file, &host) || !IsRegularFile(host)) {
      return Refuse("HY024: Could not find file '" + file + "'.");
    }
    // The driver's connect string has no quoting for these.
    if (host.find_first_of(";{}") != std::string::npos) {
      return Refuse("HY000: the database path cannot be handed to the driver: " + file);
    }
    std::string driver = "DRIVER=" + SqliteOdbcDriver() + ";Database=" + host +
                         ";NoCreat=1;Timeout=30000;LongNames=0";
    if (!odbc_.Open(driver, exclusive, read_only, use_cursor_library)) return false;
    // The SQLite driver does not enforce a read-only connection; SQLite itself can.
    if (read_only && !odbc_.Execute("PRAGMA query_only = 1")) {
      own_error_ = odbc_.LastError();
      odbc_.Close();
      return false;
    }
    return true;
  }

  bool IsOpen() const override { return odbc_.IsOpen(); }
  void Close() override { odbc_.Close(); }

  bool Execute(const std::string& sql, long* rows_affected) override {
    if (rows_affected) *rows_affected = 0;
    if (Fault("Database.Execute", sql)) return false;
    return Forwarded(odbc_.Execute(SqlDialect::ToSqlite(sql), rows_affected));
  }

  bool Query(const std::string& sql, bool read_only, std::unique_ptr<RecordSet>* out) override {
    out->reset();
    if (Fault("Database.Query", sql)) return false;
    return Forwarded(odbc_.Query(SqlDialect::ToSqlite(sql), read_only, out));
  }

  bool BeginTransaction() override {
    if (Fault("Database.BeginTransaction", "")) return false;
    return Forwarded(odbc_.BeginTransaction());
  }

  bool Commit() override {
    if (Fault("Database.Commit", "")) {
      // A commit that failed must not leave the work half done.
      odbc_.Rollback();
      return false;
    }
    return Forwarded(odbc_.Commit());
  }

  bool Rollback() override { return Forwarded(odbc_.Rollback()); }

  std::string LastError() const override {
    return own_error_.empty() ? odbc_.LastError() : own_error_;
  }

 private:
  // True (and the error kept) when the machine's fault rules fail this call.
  bool Fault(const char* operation, const std::string& path) {
    own_error_.clear();
    WinError error = machine_.faults().Check(operation, path);
    if (error == platform::kSuccess) return false;
    own_error_ = "HY000: " + std::string(operation) + " failed with error " + std::to_string(error);
    return true;
  }

  bool Refuse(const std::string& message) {
    own_error_ = message;
    return false;
  }

  bool Forwarded(bool ok) {
    own_error_.clear();
    return ok;
  }

  SimMachine& machine_;
  odbc::OdbcConnection odbc_;
  std::string own_error_;
};

class SimDatabases : public platform::Databases {
 public:
  explicit SimDatabases(SimMachine& machine) : machine_(machine) {}
  std::unique_ptr<platform::DatabaseConnection> NewConnection() override {
    return std::make_unique<SimDatabaseConnection>(machine_);
  }

 private:
  SimMachine& machine_;
};

}  // namespace

std::map<std::string, std::string> ParseConnectString(const std::string& connect_string) {
  std::map<std::string, std::string> attributes;
  std::string text = odbc::DriverConnectString(connect_string);
  size_t i = 0;
  while (i < text.size()) {
    size_t equals = text.find('=', i);
    size_t semicolon = text.find(';', i);
    if (equals == std::string::npos || (semicolon != std::string::npos && semicolon < equals)) {
      if (semicolon == std::string::npos) break;
      i = semicolon + 1;  // an attribute without a value
      continue;
    }
    std::string name = platform::UpperAnsi(text.substr(i, equals - i));
    size_t start = equals + 1;
    std::string value;
    size_t end;
    if (start < text.size() && text[start] == '{') {
      size_t close = text.find('}', start);
      if (close == std::string::npos) close = text.size();
      value = text.substr(start + 1, close - start - 1);
      end = text.find(';', close);
    } else {
      end = text.find(';', start);
      value = text.substr(start, end == std::string::npos ? end : end - start);
    }
    attributes[name] = value;
    if (end == std::string::npos) break;
    i = end + 1;
  }
  return attributes;
}

std::string SqliteOdbcDriver() {
  const char* configured = std::getenv("QDW_SQLITE_ODBC_DRIVER");
  if (configured && *configured) return configured;
  static const std::string found = [] {
    for (const char* pattern :
         {"/usr/lib/*/odbc/libsqlite3odbc.so", "/usr/lib/odbc/libsqlite3odbc.so",
          "/usr/lib64/libsqlite3odbc.so", "/usr/local/lib/libsqlite3odbc.so",
          "/usr/lib/*/libsqlite3odbc.so"}) {
      // A machine with a second architecture installed (for 32-bit Wine) has a driver of each;
      // only one this process can load will do.
      glob_t matches;
      if (::glob(pattern, 0, nullptr, &matches) == 0) {
        for (size_t i = 0; i < matches.gl_pathc; ++i) {
          if (void* driver = ::dlopen(matches.gl_pathv[i], RTLD_LAZY | RTLD_LOCAL)) {
            ::dlclose(driver);
            std::string path = matches.gl_pathv[i];
            ::globfree(&matches);
            return path;
          }
        }
      }
      ::globfree(&matches);
    }
    return std::string("{SQLite3}");
  }();
  return found;
}

std::unique_ptr<platform::Databases> NewSimDatabases(SimMachine& machine) {
  return std::make_unique<SimDatabases>(machine);
}

}  // namespace qdw::sim
