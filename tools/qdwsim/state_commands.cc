// qdwsim lock, unlock, service, process, share, fault and user: small changes of a machine.
#include <iostream>

#include "platform/code_page_text.h"
#include "platform/sim/sim_file_system.h"
#include "platform/sim/sim_platform.h"
#include "tools/qdwsim/qdwsim.h"

namespace qdw::qdwsim {
namespace {

using sim::Json;

std::unique_ptr<sim::SimPlatform> OpenMachine(const Args& args, size_t count,
                                              const std::string& usage) {
  if (args.size() != count) throw UsageError(usage);
  RequireMachine(args[0]);
  return sim::OpenSimMachine(args[0]);
}

// Arguments are UTF-8 text; the ports take the machine's ANSI code page.
std::string Ansi(sim::SimPlatform& machine, const std::string& argument) {
  std::string ansi;
  if (!platform::Utf8ToAnsi(machine.machine().CodePage(), argument, &ansi)) {
    throw UsageError("'" + argument + "' has characters the machine's code page lacks");
  }
  return ansi;
}

bool YesNo(const std::string& text, const std::string& flag) {
  if (text == "yes") return true;
  if (text == "no") return false;
  throw UsageError(flag + " takes yes or no");
}

}  // namespace

int Lock(const Args& input, bool lock) {
  Args args = input;
  std::string share = TakeOption(&args, "--share", "none");
  std::string program = TakeOption(&args, "--program", "QDW.EXE");
  auto machine = OpenMachine(args, 2, lock ? "lock DIR PATH" : "unlock DIR PATH");
  if (share != "none" && share != "read") throw UsageError("--share takes none or read");
  const std::string path = args[1];
  machine->machine().store().Update("locks.json", [&](Json& doc) {
    Json kept = Json::array();
    for (const Json& entry : doc.value("locks", Json::array())) {
      if (entry.value("path", "") != path) kept.push_back(entry);
    }
    if (lock) {
      kept.push_back({{"path", path},
                      {"share", share == "read" ? platform::kShareRead : platform::kShareNone},
                      {"program", program}});
    }
    doc["locks"] = kept;
    return true;
  });
  return 0;
}

int Service(const Args& args) {
  auto machine =
      OpenMachine(args, 3, "service DIR NAME start|stop|remove|deny|allow|stuck|unstuck");
  const std::string& name = args[1];
  const std::string& action = args[2];
  bool known = true;
  machine->machine().store().Update("services.json", [&](Json& doc) {
    if (action == "remove") return doc.erase(name) > 0;
    Json& entry = doc[name];
    if (entry.is_null()) entry = {{"state", "stopped"}, {"display_name", name}};
    if (action == "start") {
      entry["state"] = "running";
    } else if (action == "stop") {
      entry["state"] = "stopped";
    } else if (action == "deny") {
      entry["who_may_control"] = Json::array({"SYSTEM"});
    } else if (action == "allow") {
      entry.erase("who_may_control");
    } else if (action == "stuck" || action == "unstuck") {
      entry["stuck"] = action == "stuck";
    } else {
      known = false;
      return false;
    }
    return true;
  });
  if (!known) throw UsageError("unknown service action '" + action + "'");
  return 0;
}

int Process(const Args& args) {
  auto machine = OpenMachine(args, 3, "process DIR start|stop NAME");
  const std::string& action = args[1];
  const std::string& name = args[2];
  if (action != "start" && action != "stop") throw UsageError("process takes start or stop");
  machine->machine().store().Update("processes.json", [&](Json& doc) {
    Json kept = Json::array();
    uint32_t next_pid = 4;
    for (const Json& p : doc.value("processes", Json::array())) {
      next_pid = std::max(next_pid, p.value("pid", 0u) + 4);
      if (action == "start" || p.value("name", "") != name) kept.push_back(p);
    }
    if (action == "start") kept.push_back({{"pid", next_pid}, {"name", name}});
    doc["processes"] = kept;
    return true;
  });
  return 0;
}

int Share(const Args& args) {
  if (args.size() >= 2 && args[1] == "add") {
    auto machine = OpenMachine(args, 4, "share DIR add NAME PATH");
    platform::ShareInfo share;
    share.name = Ansi(*machine, args[2]);
    share.path = Ansi(*machine, args[3]);
    share.remark = "";
    platform::WinError e = machine->shares().Add(share);
    if (e != platform::kSuccess) {
      std::cerr << "qdwsim: the share could not be added (error " << e << ")\n";
      return 1;
    }
    return 0;
  }
  auto machine = OpenMachine(args, 3, "share DIR add NAME PATH | share DIR remove NAME");
  if (args[1] != "remove") throw UsageError("share takes add or remove");
  platform::WinError e = machine->shares().Delete(Ansi(*machine, args[2]));
  if (e != platform::kSuccess) {
    std::cerr << "qdwsim: the share could not be removed (error " << e << ")\n";
    return 1;
  }
  return 0;
}

int Link(const Args& args) {
  auto machine = OpenMachine(args, 3, "link DIR PATH TARGET");
  platform::WinError e =
      sim::MakeSimJunction(machine->machine(), Ansi(*machine, args[1]), Ansi(*machine, args[2]));
  if (e != platform::kSuccess) {
    std::cerr << "qdwsim: the junction could not be made (error " << e << ")\n";
    return 1;
  }
  return 0;
}

int Fault(const Args& input) {
  Args args = input;
  std::string path = TakeOption(&args, "--path", "");
  uint32_t times = static_cast<uint32_t>(std::stoul(TakeOption(&args, "--times", "1")));
  if (args.size() < 2) throw UsageError("fault DIR add|disk-full|clear ...");
  RequireMachine(args[0]);
  auto machine = sim::OpenSimMachine(args[0]);
  const sim::FaultInjector& faults = machine->machine().faults();
  if (args[1] == "add" && args.size() == 5) {
    faults.AddRule(args[2], static_cast<uint32_t>(std::stoul(args[3])),
                   static_cast<platform::WinError>(std::stoul(args[4])), path, times);
  } else if (args[1] == "disk-full" && args.size() == 4 && !args[2].empty()) {
    faults.SetDiskFull(args[2][0], std::stoull(args[3]));
  } else if (args[1] == "clear" && args.size() == 2) {
    faults.Clear();
  } else {
    throw UsageError("fault DIR add OP NTH ERROR | disk-full DRIVE BYTES | clear");
  }
  return 0;
}

int User(const Args& input) {
  Args args = input;
  std::string admin = TakeOption(&args, "--admin", "");
  std::string services = TakeOption(&args, "--services", "");
  auto machine = OpenMachine(args, 1, "user DIR [--admin yes|no] [--services yes|no]");
  machine->machine().store().Update("machine.json", [&](Json& doc) {
    if (!admin.empty()) doc["current_user"]["admin"] = YesNo(admin, "--admin");
    if (!services.empty()) {
      doc["current_user"]["may_control_services"] = YesNo(services, "--services");
    }
    return true;
  });
  return 0;
}

}  // namespace qdw::qdwsim
