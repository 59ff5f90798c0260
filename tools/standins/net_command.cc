#include "tools/standins/net_command.h"

#include <algorithm>

#include "platform/windows_path.h"

namespace qdw::standins {
namespace {

using platform::EqualsIgnoreCase;

std::string JoinRest(const std::vector<std::string>& words, size_t from) {
  std::string text;
  for (size_t i = from; i < words.size(); ++i) {
    if (!text.empty()) text += ' ';
    text += words[i];
  }
  // A name given in one piece may still carry its quotes.
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
    text = text.substr(1, text.size() - 2);
  }
  return text;
}

int SystemError(platform::WinError error, std::ostream& out) {
  out << "System error " << error << " has occurred.\n";
  if (error == platform::kErrorAccessDenied) out << "\nAccess is denied.\n";
  return 2;
}

// Polls until the service leaves `pending`; the state it ends in, or 0 when it never does.
uint32_t WaitWhilePending(platform::Platform& platform, platform::Service& service,
                          uint32_t pending, uint32_t max_polls) {
  for (uint32_t poll = 0; poll < max_polls; ++poll) {
    platform::ServiceStatus status;
    if (service.QueryStatus(&status) != platform::kSuccess) return 0;
    if (status.current_state != pending) return status.current_state;
    platform.system().Sleep(std::min<uint32_t>(status.wait_hint_ms / 10, 100));
  }
  return 0;
}

}  // namespace

int RunNet(platform::Platform& platform, const std::vector<std::string>& words, std::ostream& out,
           uint32_t max_polls) {
  // NET's answer switch (/Y or /YES) answers questions that are never asked here.
  std::vector<std::string> arguments;
  for (const std::string& word : words) {
    if (!EqualsIgnoreCase(word, "/Y") && !EqualsIgnoreCase(word, "/YES")) arguments.push_back(word);
  }
  if (arguments.size() < 2) {
    out << "The syntax of this command is:\n\nNET STOP | START service\n";
    return 1;
  }
  bool stop = EqualsIgnoreCase(arguments[0], "STOP");
  if (!stop && !EqualsIgnoreCase(arguments[0], "START")) {
    out << "The syntax of this command is:\n\nNET STOP | START service\n";
    return 1;
  }
  std::string name = JoinRest(arguments, 1);
  std::unique_ptr<platform::ServiceDatabase> database;
  if (platform::WinError error =
          platform.services().Connect(platform::kGenericExecute, &database)) {
    return SystemError(error, out);
  }
  std::unique_ptr<platform::Service> service;
  platform::WinError error = database->OpenServiceByName(
      name, platform::kServiceQueryStatus | platform::kServiceStart | platform::kServiceStop,
      &service);
  if (error == platform::kErrorServiceDoesNotExist) {
    out << "The service name is invalid.\n";
    return 2;
  }
  if (error != platform::kSuccess) return SystemError(error, out);

  platform::ServiceStatus status;
  if (stop) {
    error = service->Stop(&status);
    if (error == platform::kErrorServiceNotActive) {
      out << "The " << name << " service is not started.\n";
      return 2;
    }
    if (error != platform::kSuccess) return SystemError(error, out);
    out << "The " << name << " service is stopping.\n";
    uint32_t state =
        status.current_state == platform::kServiceStopPending
            ? WaitWhilePending(platform, *service, platform::kServiceStopPending, max_polls)
            : status.current_state;
    if (state != platform::kServiceStopped) {
      out << "The " << name << " service could not be stopped.\n";
      return 2;
    }
    out << "The " << name << " service was stopped successfully.\n";
    return 0;
  }
  error = service->Start();
  if (error == platform::kErrorServiceAlreadyRunning) {
    out << "The requested service has already been started.\n";
    return 2;
  }
  if (error != platform::kSuccess) return SystemError(error, out);
  out << "The " << name << " service is starting.\n";
  uint32_t state = WaitWhilePending(platform, *service, platform::kServiceStartPending, max_polls);
  if (state != platform::kServiceRunning) {
    out << "The " << name << " service could not be started.\n";
    return 2;
  }
  out << "The " << name << " service was started successfully.\n";
  return 0;
}

int RunCommandInterpreter(platform::Platform& platform, const std::vector<std::string>& arguments,
                          std::ostream& out) {
  if (arguments.size() >= 2 && EqualsIgnoreCase(arguments[0], "/C") &&
      EqualsIgnoreCase(arguments[1], "NET")) {
    return RunNet(platform, std::vector<std::string>(arguments.begin() + 2, arguments.end()), out);
  }
  std::string command = arguments.size() >= 2 ? arguments[1] : std::string();
  out << "'" << command << "' is not recognized as an internal or external command,\n"
      << "operable program or batch file.\n";
  return 1;
}

}  // namespace qdw::standins
