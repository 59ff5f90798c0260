// The platform port a contract suite runs against, with a place of its own on the machine and
// the few machine-side hooks the suites need. The build links one implementation: the stand-in
// machine on Linux (sim_port_under_test.cc), the real port on Windows
// (win32_port_under_test.cc). A rule the real machine does not keep has a case of its own that
// starts with QDW_SKIP_IF_LACKING.
//
//   auto port = testing::PortUnderTest::Make();
//   platform::FileSystem& fs = port->platform().files();
//   port->PutFile(port->Scratch("a.txt"), "text");
#ifndef QDW_TESTS_PLATFORM_PORT_UNDER_TEST_H_
#define QDW_TESTS_PLATFORM_PORT_UNDER_TEST_H_

#include <cstdint>
#include <memory>
#include <string>

#include "platform/platform.h"

namespace qdw::testing {

// What a machine may be unable to do; LackReason() says why, or nothing when it can.
enum class Capability {
  kFileAcls,                 // access lists of files and folders are kept
  kReadOnlyEnforced,         // read-only files refuse writers, read-only folders removal
  kCreationTimes,            // a file's creation time can be set
  kAccessDialect,            // the database driver speaks the Access dialect
  kWindowsPathErrors,        // the codes of Windows for paths through files and missing drives
  kArchiveAttributeAsSet,    // a file carries the archive attribute only when set
  kOpenFilesPinTheirFolder,  // a folder with an open file inside cannot be moved
  kCaseOnlyRename,           // a rename that only changes case takes the new spelling
  kHiddenFileReplaceCheck,   // a hidden file is replaced only by a caller asking for hidden
  kHandleRightsForTimes,     // a handle opened for reading cannot set times
  kCaseInsensitiveAccounts,  // account names match ignoring case
  kDomainQualifiedNames,     // a name qualified with another domain names no account
  kStrayPercentExpansion,    // a variable after a stray "%" is still expanded
  kNoAssociationError,       // opening a file no program is registered for fails as missing
};

class PortUnderTest {
 public:
  // A fresh port of this build's kind; its scratch places are removed when it goes.
  static std::unique_ptr<PortUnderTest> Make();
  virtual ~PortUnderTest() = default;

  virtual platform::Platform& platform() = 0;

  // A fresh empty folder on a fixed drive (Windows path, no trailing backslash).
  virtual const std::string& scratch() const = 0;
  std::string Scratch(const std::string& relative) const { return scratch() + "\\" + relative; }
  // The root of the scratch folder's drive ("C:\").
  std::string ScratchRoot() const { return scratch().substr(0, 3); }
  // A fresh key path below HKEY_CURRENT_USER\Software, deleted with its subkeys afterwards.
  virtual const std::string& scratch_key() const = 0;

  // Writes a file behind the port's back, making its folders.
  virtual void PutFile(const std::string& path, const std::string& content) = 0;
  // Another program holds the file open with `share` (kShare* bits) until this object goes.
  virtual void HoldOpen(const std::string& path, uint32_t share) = 0;
  // Makes `path` (missing) a junction to the folder `target`, as "mklink /J" does. Empty when
  // it was made, else why this machine cannot make one.
  virtual std::string MakeJunction(const std::string& path, const std::string& target) = 0;

  // The probe program as the port starts it (Windows path). It takes "exit N", "sleep MS",
  // "mutex NAME" (0: created, 183: existed) and "args FILE A..." (writes each argument to FILE).
  virtual std::string ProbeProgram() = 0;
  // A file name the probe program may write (to pass as FILE), and what it wrote there.
  virtual std::string ProbeOutput(const std::string& name) = 0;
  virtual std::string ReadProbeOutput(const std::string& name) = 0;
  // A module every machine of this kind has, and one entry point it exports.
  virtual std::string KnownModule() = 0;
  virtual std::string KnownEntry() = 0;
  // True when `file` was built beside the test programs.
  virtual bool BuiltBesideTests(const std::string& file) = 0;
  // A running service the suite may stop and start again.
  virtual std::string StoppableService() = 0;
  // The connect string of a fresh empty database, or "" with `*why` saying why there is none.
  virtual std::string NewDatabase(std::string* why) = 0;

  // Why this machine cannot do `capability`; empty when it can.
  virtual std::string LackReason(Capability capability) const = 0;
};

}  // namespace qdw::testing

// Skips the current case, printing the reason, when the machine under test lacks `capability`.
#define QDW_SKIP_IF_LACKING(port, capability)                                      \
  if (const std::string qdw_why = (port).LackReason(capability); !qdw_why.empty()) \
  GTEST_SKIP() << qdw_why

#endif  // QDW_TESTS_PLATFORM_PORT_UNDER_TEST_H_
