// Ports not yet carried over to Win32. Each call fails with kErrorNotSupported (or E_NOTIMPL),
// so a run reaching one stops with the caller's own failure instead of a wrong answer.
#include "platform/win32/win32_ports.h"

namespace qdw::win32 {
namespace {

using platform::kErrorNotSupported;
using platform::WinError;

constexpr platform::HResult kENotImpl = static_cast<platform::HResult>(0x80004001);

class UnportedShares : public platform::Shares {
 public:
  WinError Enumerate(uint32_t*, std::vector<platform::ShareInfo>*) override {
    return kErrorNotSupported;
  }
  WinError GetInfo(const std::string&, platform::ShareInfo*) override { return kErrorNotSupported; }
  WinError Add(const platform::ShareInfo&) override { return kErrorNotSupported; }
  WinError Delete(const std::string&) override { return kErrorNotSupported; }
  WinError WorkstationUser(std::string*, std::string*) override { return kErrorNotSupported; }
};

class UnportedShareProxyFactory : public platform::ShareProxyFactory {
 public:
  platform::HResult Create(std::unique_ptr<platform::ShareProxy>*) override { return kENotImpl; }
};

// Connections that never open: every query and statement fails with this text.
class UnportedConnection : public platform::DatabaseConnection {
 public:
  bool Open(const std::string&, bool, bool, bool) override { return false; }
  bool IsOpen() const override { return false; }
  void Close() override {}
  bool Execute(const std::string&, long*) override { return false; }
  bool Query(const std::string&, bool, std::unique_ptr<platform::RecordSet>*) override {
    return false;
  }
  bool BeginTransaction() override { return false; }
  bool Commit() override { return false; }
  bool Rollback() override { return false; }
  std::string LastError() const override {
    return "IM001: the database port is not yet available on Windows";
  }
};

class UnportedDatabases : public platform::Databases {
 public:
  std::unique_ptr<platform::DatabaseConnection> NewConnection() override {
    return std::make_unique<UnportedConnection>();
  }
};

}  // namespace

std::unique_ptr<platform::Shares> NewWin32Shares() { return std::make_unique<UnportedShares>(); }
std::unique_ptr<platform::ShareProxyFactory> NewWin32ShareProxyFactory() {
  return std::make_unique<UnportedShareProxyFactory>();
}
std::unique_ptr<platform::Databases> NewWin32Databases() {
  return std::make_unique<UnportedDatabases>();
}

}  // namespace qdw::win32
