// cmd.exe of the stand-in machine (QDW_MACHINE names the machine): "/C NET STOP|START name".
#include <iostream>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/sim/sim_platform.h"
#include "tools/standins/net_command.h"
#include "tools/standins/standin_hang.h"

int main(int argc, char** argv) {
  qdw::platform::Platform& platform = qdw::platform::DefaultPlatform();
  if (auto* sim = dynamic_cast<qdw::sim::SimPlatform*>(&platform)) {
    qdw::standins::HangWhileAsked(sim->machine(), "qdw_cmd");
  }
  std::vector<std::string> arguments(argv + 1, argv + argc);
  return qdw::standins::RunCommandInterpreter(platform, arguments, std::cout);
}
