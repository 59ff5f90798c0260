#include "platform/sim/sim_launcher.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>

#include "platform/code_page_text.h"
#include "platform/sim/sim_host.h"
#include "platform/sim/sim_metadata.h"
#include "platform/sim/sim_paths.h"

extern char** environ;

namespace qdw::sim {
namespace {

using platform::WinError;

constexpr uint32_t kStillActive = 259;

uint64_t MonotonicMs() {
  struct timespec now;
  ::clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<uint64_t>(now.tv_sec) * 1000 + static_cast<uint64_t>(now.tv_nsec) / 1000000;
}

class ChildProcess : public platform::ProcessHandle {
 public:
  explicit ChildProcess(pid_t pid) : pid_(pid) {}
  ~ChildProcess() override {
    // Closing a handle does not end the program; someone still has to collect it.
    if (!reaped_) {
      pid_t pid = pid_;
      std::thread([pid] {
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
      }).detach();
    }
  }

  uint32_t Wait(uint32_t timeout_ms) override {
    if (reaped_) return platform::kWaitObject0;
    if (timeout_ms == platform::kInfinite) {
      int status = 0;
      pid_t result;
      while ((result = ::waitpid(pid_, &status, 0)) < 0 && errno == EINTR) {
      }
      if (result != pid_) return platform::kWaitFailed;
      Collect(status);
      return platform::kWaitObject0;
    }
    uint64_t deadline = MonotonicMs() + timeout_ms;
    uint32_t pause_ms = 1;
    for (;;) {
      int status = 0;
      pid_t result = ::waitpid(pid_, &status, WNOHANG);
      if (result == pid_) {
        Collect(status);
        return platform::kWaitObject0;
      }
      if (result < 0 && errno != EINTR) return platform::kWaitFailed;
      uint64_t now = MonotonicMs();
      if (now >= deadline) return platform::kWaitTimeout;
      uint64_t left = deadline - now;
      struct timespec pause = {0, static_cast<long>(pause_ms < left ? pause_ms : left) * 1000000};
      ::nanosleep(&pause, nullptr);
      if (pause_ms < 20) pause_ms *= 2;
    }
  }

  WinError ExitCode(uint32_t* code) override {
    if (!reaped_) Wait(0);
    *code = reaped_ ? exit_code_ : kStillActive;
    return platform::kSuccess;
  }

  uint32_t Pid() const override { return static_cast<uint32_t>(pid_); }

 private:
  void Collect(int status) {
    reaped_ = true;
    if (WIFEXITED(status)) {
      exit_code_ = static_cast<uint32_t>(WEXITSTATUS(status));
    } else {
      exit_code_ = 0xC000013A;  // ended from outside, as Windows reports a killed program
    }
  }

  pid_t pid_;
  bool reaped_ = false;
  uint32_t exit_code_ = 0;
};

}  // namespace

bool MapProgram(const SimMachine& machine, const std::string& program, std::string* host) {
  const int code_page = machine.CodePage();
  WindowsPathParts wanted;
  if (SplitWindowsPath(program, &wanted, code_page) != platform::kSuccess) return false;
  std::string key = CanonicalPath(wanted);
  auto description = machine.Description();
  auto programs = description->find("programs");
  if (programs == description->end() || !programs->is_object()) return false;
  for (auto it = programs->begin(); it != programs->end(); ++it) {
    WindowsPathParts parts;
    std::string key_ansi;
    platform::Utf8ToAnsi(code_page, it.key(), &key_ansi);
    if (!it->is_string() || SplitWindowsPath(key_ansi, &parts, code_page) != platform::kSuccess ||
        CanonicalPath(parts) != key) {
      continue;
    }
    std::string target = it->get<std::string>();
    *host = !target.empty() && target[0] == '/' ? target : machine.store().HostPath(target);
    return true;
  }
  return false;
}

std::vector<std::string> SplitCommandLine(const std::string& command_line) {
  std::vector<std::string> arguments;
  std::string current;
  bool in_argument = false;
  bool quoted = false;
  for (size_t i = 0; i < command_line.size(); ++i) {
    char c = command_line[i];
    if (c == '\\') {
      size_t count = 0;
      while (i < command_line.size() && command_line[i] == '\\') {
        ++count;
        ++i;
      }
      if (i < command_line.size() && command_line[i] == '"') {
        current.append(count / 2, '\\');
        if (count % 2 == 1) {
          current += '"';
        } else {
          quoted = !quoted;
        }
      } else {
        current.append(count, '\\');
        --i;
      }
      in_argument = true;
    } else if (c == '"') {
      if (quoted && i + 1 < command_line.size() && command_line[i + 1] == '"') {
        current += '"';
        ++i;
      } else {
        quoted = !quoted;
      }
      in_argument = true;
    } else if ((c == ' ' || c == '\t') && !quoted) {
      if (in_argument) arguments.push_back(current);
      current.clear();
      in_argument = false;
    } else {
      current += c;
      in_argument = true;
    }
  }
  if (in_argument) arguments.push_back(current);
  return arguments;
}

WinError LaunchProgram(const SimMachine& machine, const std::string& program,
                       const std::string& command_line, bool hidden,
                       std::unique_ptr<platform::ProcessHandle>* out) {
  out->reset();
  std::string host;
  if (!MapProgram(machine, program, &host)) return platform::kErrorFileNotFound;
  if (::access(host.c_str(), X_OK) != 0) {
    return errno == EACCES ? platform::kErrorAccessDenied : platform::kErrorFileNotFound;
  }
  std::vector<std::string> arguments = SplitCommandLine(command_line);
  arguments.insert(arguments.begin(), host);
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);

  std::string machine_variable = "QDW_MACHINE=" + machine.folder();
  std::vector<char*> envp;
  for (char** variable = environ; *variable != nullptr; ++variable) {
    if (std::strncmp(*variable, "QDW_MACHINE=", 12) != 0) envp.push_back(*variable);
  }
  envp.push_back(machine_variable.data());
  envp.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  std::string log = machine.store().HostPath("processes.log");
  if (hidden) {
    posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
  }
  pid_t pid = 0;
  int error = ::posix_spawn(&pid, host.c_str(), &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0) return WinErrorFromErrno(error);
  *out = std::make_unique<ChildProcess>(pid);
  return platform::kSuccess;
}

}  // namespace qdw::sim
