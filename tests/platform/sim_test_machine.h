// A fresh stand-in machine in a temporary folder for one test, removed afterwards.
//
// The machine is the one `qdwsim init` describes (without the product and without programs),
// with drive C: (fixed, NTFS), D: (fixed, FAT32) and E: (CD-ROM); the user "jo"
// of domain "WORKSTATION" with administrator rights; special folders under C:\Users\jo and
// C:\ProgramData; %TMP% = C:\Users\jo\AppData\Local\Temp (created); a fixed clock
// (2026-12-06 09:05:00 UTC) and local time one hour ahead of UTC. Pass a JSON merge patch to
// change any of it, e.g. SimTestMachine(sim::Json{{"current_user", {{"admin", false}}}}).
//
//   SimTestMachine m;
//   m.PutFile("C:\\Users\\jo\\a.txt", "text");
//   platform::FileSystem& fs = m.platform().files();
#ifndef QDW_TESTS_PLATFORM_SIM_TEST_MACHINE_H_
#define QDW_TESTS_PLATFORM_SIM_TEST_MACHINE_H_

#include <memory>
#include <string>

#include "platform/sim/sim_platform.h"

namespace qdw::testing {

class SimTestMachine {
 public:
  SimTestMachine();
  explicit SimTestMachine(const sim::Json& patch);
  ~SimTestMachine();
  SimTestMachine(const SimTestMachine&) = delete;
  SimTestMachine& operator=(const SimTestMachine&) = delete;

  // The description every test machine starts from.
  static sim::Json DefaultDescription();

  const std::string& folder() const { return folder_; }
  // The machine's platform, opened on first use.
  sim::SimPlatform& platform();
  sim::SimMachine& machine() { return platform().machine(); }
  // Installs this machine as platform::DefaultPlatform() and sets QDW_MACHINE (for child
  // processes) until the object is destroyed.
  void MakeDefault();

  // Host path of a Windows path on this machine (fails the test for a bad path).
  std::string HostPath(const std::string& windows_path);
  // Writes a file behind the ports' back, creating its folders.
  void PutFile(const std::string& windows_path, const std::string& content);
  // Reads a file behind the ports' back; empty when missing.
  std::string ReadFile(const std::string& windows_path);
  bool Exists(const std::string& windows_path);

 private:
  std::string folder_;
  std::unique_ptr<sim::SimPlatform> platform_;
  bool is_default_ = false;
};

}  // namespace qdw::testing

#endif  // QDW_TESTS_PLATFORM_SIM_TEST_MACHINE_H_
