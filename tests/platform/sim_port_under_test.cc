// The stand-in machine as the port under test: a fresh SimTestMachine per suite object, whose
// hooks write the machine's own files (locks.json, services.json) behind the ports' back.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/sim/sim_file_system.h"
#include "tests/platform/port_under_test.h"
#include "tests/platform/sim_probe.h"
#include "tests/platform/sim_test_machine.h"

namespace qdw::testing {
namespace {

constexpr char kProbe[] = "C:\\Tools\\probe.exe";

class SimPortUnderTest : public PortUnderTest {
 public:
  SimPortUnderTest() : machine_(sim::Json{{"programs", {{kProbe, ProbeProgramHostPath()}}}}) {
    std::filesystem::create_directories(machine_.HostPath(scratch_));
  }

  platform::Platform& platform() override { return machine_.platform(); }
  const std::string& scratch() const override { return scratch_; }
  const std::string& scratch_key() const override { return scratch_key_; }

  void PutFile(const std::string& path, const std::string& content) override {
    machine_.PutFile(path, content);
  }
  void HoldOpen(const std::string& path, uint32_t share) override {
    machine_.machine().store().Update("locks.json", [&](sim::Json& doc) {
      doc["locks"].push_back({{"path", path}, {"share", share}, {"program", "QDW.EXE"}});
      return true;
    });
  }

  std::string MakeJunction(const std::string& path, const std::string& target) override {
    platform::WinError error = sim::MakeSimJunction(machine_.machine(), path, target);
    return error == platform::kSuccess ? "" : "error " + std::to_string(error);
  }

  std::string ProbeProgram() override { return kProbe; }
  // The probe is a host program, so it writes host paths.
  std::string ProbeOutput(const std::string& name) override {
    return machine_.folder() + "/" + name;
  }
  std::string ReadProbeOutput(const std::string& name) override {
    std::ifstream in(ProbeOutput(name), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  std::string KnownModule() override { return "SIMPROBE.DLL"; }
  std::string KnownEntry() override { return "SimProbeAnswer"; }
  bool BuiltBesideTests(const std::string& file) override {
    struct stat st;
    return ::stat((TestBinaryFolder() + "/" + file).c_str(), &st) == 0;
  }
  std::string StoppableService() override {
    machine_.machine().store().Update("services.json", [](sim::Json& doc) {
      doc["Spooler"] = {
          {"state", "running"}, {"stop_pending_polls", 1}, {"start_pending_polls", 1}};
      return true;
    });
    return "Spooler";
  }
  std::string NewDatabase(std::string*) override {
    const std::string file = Scratch("VNDATABASE.mdb");
    machine_.PutFile(file, "");  // an empty file is an empty database
    return "ODBC;DRIVER={MICROSOFT ACCESS DRIVER (*.mdb)};DSN='';DBQ=" + file;
  }
  std::string LackReason(Capability) const override { return ""; }

 private:
  static std::string ProbeProgramHostPath() { return testing::ProbeProgram(); }

  SimTestMachine machine_;
  const std::string scratch_ = "C:\\Scratch";
  const std::string scratch_key_ = "Software\\QdwContractTest";
};

}  // namespace

std::unique_ptr<PortUnderTest> PortUnderTest::Make() {
  return std::make_unique<SimPortUnderTest>();
}

}  // namespace qdw::testing
