// The product database through the Windows ODBC driver manager. The Access driver speaks the
// product's own SQL dialect, so statements pass through unchanged.
#include <windows.h>

#include "platform/odbc/odbc_connection.h"
#include "platform/win32/win32_ports.h"

namespace qdw::win32 {
namespace {

class Win32Databases : public platform::Databases {
 public:
  std::unique_ptr<platform::DatabaseConnection> NewConnection() override {
    return std::make_unique<odbc::OdbcConnection>();
  }
};

}  // namespace

std::unique_ptr<platform::Databases> NewWin32Databases() {
  return std::make_unique<Win32Databases>();
}

}  // namespace qdw::win32
