// Time to grant an account rights on a whole folder tree (the restore's share folders, the
// tool's data folder) and to run the main-program check over a long process list, on a
// stand-in machine. A plain program, not a timed test.
//
//   rights_and_checks_bench [folders=50] [files per folder=40] [processes=1000]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "rightsmend/access_rights.h"
#include "system/program_checks.h"
#include "tests/platform/sim_test_machine.h"

namespace {

double Seconds(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  using namespace qdw;
  const int folders = argc > 1 ? std::atoi(argv[1]) : 50;
  const int files = argc > 2 ? std::atoi(argv[2]) : 40;
  const int processes = argc > 3 ? std::atoi(argv[3]) : 1000;
  testing::SimTestMachine machine;
  for (int f = 0; f < folders; ++f) {
    for (int i = 0; i < files; ++i) {
      machine.PutFile(
          "C:\\Shares\\Box\\F" + std::to_string(f) + "\\doc" + std::to_string(i) + ".pdf", "x");
    }
  }
  rightsmend::AccessRights rights(machine.platform());
  const int objects = folders * (files + 1) + 1;
  for (int keep : {0, 1}) {
    auto start = std::chrono::steady_clock::now();
    int result =
        rights.ChangeFullPath("C:\\Shares\\Box", "Everyone", platform::kMaskChange, keep, 1);
    const double wall = Seconds(start);
    std::printf("rights, keep %d: %d objects in %.3f s (%.1f us each), result %d\n", keep, objects,
                wall, wall * 1e6 / objects, result);
  }

  sim::Json list = sim::Json::array();
  for (int pid = 0; pid < processes; ++pid) {
    list.push_back({{"pid", 100 + pid}, {"name", "p" + std::to_string(pid) + ".exe"}});
  }
  list.push_back({{"pid", 99999}, {"name", "QDW.EXE"}});
  machine.machine().store().Write("processes.json", {{"processes", list}});
  system::ProgramChecks checks(machine.platform());
  bool running = false;
  auto start = std::chrono::steady_clock::now();
  const bool ok = checks.CheckMainProgram(&running);
  std::printf("main-program check over %d processes: %.3f s, ok %d, running %d\n", processes + 1,
              Seconds(start), ok, running);
  return 0;
}
