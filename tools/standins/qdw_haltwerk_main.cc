// Haltwerk.exe of the stand-in machine (QDW_MACHINE names the machine).
#include <cstdio>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/sim/sim_platform.h"
#include "tools/standins/haltwerk.h"
#include "tools/standins/standin_hang.h"

int main(int argc, char** argv) {
  auto* sim = dynamic_cast<qdw::sim::SimPlatform*>(&qdw::platform::DefaultPlatform());
  if (sim == nullptr) {
    std::fprintf(stderr, "qdw_haltwerk runs only on a stand-in machine\n");
    return 2;
  }
  qdw::standins::HangWhileAsked(sim->machine(), "qdw_haltwerk");
  std::vector<std::string> arguments(argv + 1, argv + argc);
  return qdw::standins::RunHaltwerk(sim->machine(), arguments);
}
