#include "bench/table/measured_run.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

namespace qdw::bench {

Measurement RunMeasured(const StepCommand& command) {
  std::vector<char*> argv;
  for (const std::string& argument : command.arguments) {
    argv.push_back(const_cast<char*>(argument.c_str()));
  }
  argv.push_back(nullptr);
  Measurement measurement;
  if (argv.size() < 2) return measurement;

  auto start = std::chrono::steady_clock::now();
  pid_t pid = fork();
  if (pid < 0) return measurement;
  if (pid == 0) {
    if (!command.folder.empty() && chdir(command.folder.c_str()) != 0) _exit(127);
    for (const std::string& name : command.unset_variables) unsetenv(name.c_str());
    for (const std::string& assignment : command.set_variables) {
      size_t equals = assignment.find('=');
      if (equals == std::string::npos) _exit(127);
      setenv(assignment.substr(0, equals).c_str(), assignment.c_str() + equals + 1, 1);
    }
    int quiet = ::open("/dev/null", O_WRONLY);
    if (quiet >= 0) dup2(quiet, STDOUT_FILENO);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  struct rusage usage {};
  if (wait4(pid, &status, 0, &usage) != pid) return measurement;
  measurement.wall_seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  measurement.cpu_seconds = usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
                            (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  measurement.peak_mib = usage.ru_maxrss / 1024.0;
  measurement.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  return measurement;
}

}  // namespace qdw::bench
