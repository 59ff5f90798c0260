// qdwsim: makes and edits stand-in Windows machines (see docs/stand-in-machine.md).
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <exception>
#include <iostream>

#include "platform/sim/sim_machine.h"
#include "tools/qdwsim/qdwsim.h"

namespace qdw::qdwsim {

namespace {

const char kUsage[] =
    "usage: qdwsim COMMAND DIR [ARGUMENTS]\n"
    "  init DIR [--seed N] [--size MB] [--os VERSION] [--code-page 1252|932]\n"
    "       make a machine with the product (VERSION: 4.0, 5.1, 6.0, 6.1, 10.0 or 9x;\n"
    "       default 6.1; ANSI code page 1252 by default)\n"
    "  show DIR                                         print the machine's state as JSON\n"
    "  lock DIR PATH [--share none|read] [--program NAME]  another program holds PATH\n"
    "  unlock DIR PATH                                  release it again\n"
    "  service DIR NAME start|stop|remove|deny|allow|stuck|unstuck\n"
    "  process DIR start|stop NAME                      a running program of the machine\n"
    "  share DIR add NAME PATH | share DIR remove NAME\n"
    "  link DIR PATH TARGET                             make PATH a junction to TARGET\n"
    "  fault DIR add OP NTH ERROR [--path PATTERN] [--times N]\n"
    "  fault DIR disk-full DRIVE BYTES | fault DIR clear\n"
    "  user DIR [--admin yes|no] [--services yes|no]\n"
    "  snapshot DIR                                     print what a user could observe\n"
    "  diff A B                                         compare two machines or snapshot\n"
    "       files (written by snapshot); exit status 1 when they differ\n";

}  // namespace

std::string TakeOption(Args* args, const std::string& flag, const std::string& fallback) {
  for (size_t i = 0; i < args->size(); ++i) {
    if ((*args)[i] != flag) continue;
    if (i + 1 >= args->size()) throw UsageError(flag + " needs a value");
    std::string value = (*args)[i + 1];
    args->erase(args->begin() + static_cast<long>(i), args->begin() + static_cast<long>(i) + 2);
    return value;
  }
  return fallback;
}

std::string ExecutableFolder() {
  char buffer[PATH_MAX];
  ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof(buffer) - 1);
  if (n <= 0) return ".";
  std::string path(buffer, static_cast<size_t>(n));
  return path.substr(0, path.rfind('/'));
}

void RequireMachine(const std::string& folder) {
  if (!sim::SimMachine::IsMachineFolder(folder)) {
    throw UsageError(folder + " is not a stand-in machine (no machine.json)");
  }
}

int Run(const Args& all) {
  if (all.empty() || all[0] == "--help" || all[0] == "-h" || all[0] == "help") {
    std::cout << kUsage;
    return all.empty() ? 2 : 0;
  }
  const std::string& command = all[0];
  Args args(all.begin() + 1, all.end());
  if (command == "init") return Init(args);
  if (command == "show") return Show(args);
  if (command == "lock") return Lock(args, true);
  if (command == "unlock") return Lock(args, false);
  if (command == "service") return Service(args);
  if (command == "process") return Process(args);
  if (command == "share") return Share(args);
  if (command == "fault") return Fault(args);
  if (command == "user") return User(args);
  if (command == "link") return Link(args);
  if (command == "snapshot") return Snapshot(args);
  if (command == "diff") return Diff(args);
  throw UsageError("unknown command '" + command + "'");
}

}  // namespace qdw::qdwsim

int main(int argc, char** argv) {
  qdw::qdwsim::Args args(argv + 1, argv + argc);
  try {
    return qdw::qdwsim::Run(args);
  } catch (const qdw::qdwsim::UsageError& e) {
    std::cerr << "qdwsim: " << e.what() << "\n(qdwsim --help lists the commands)\n";
    return 2;
  } catch (const std::exception& e) {
    std::cerr << "qdwsim: " << e.what() << "\n";
    return 1;
  }
}
