#include "tools/standins/standin_hang.h"

#include <chrono>
#include <stdexcept>
#include <thread>

namespace qdw::standins {

bool ShouldHang(const sim::SimMachine& machine, const std::string& program) {
  try {
    auto description = machine.Description();
    auto standins = description->find("standins");
    if (standins == description->end() || !standins->is_object()) return false;
    auto entry = standins->find(program);
    return entry != standins->end() && entry->is_object() && entry->value("hang", false);
  } catch (const std::exception&) {
    return false;  // the machine is gone
  }
}

void HangWhileAsked(const sim::SimMachine& machine, const std::string& program) {
  while (sim::SimMachine::IsMachineFolder(machine.folder()) && ShouldHang(machine, program)) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
}

}  // namespace qdw::standins
