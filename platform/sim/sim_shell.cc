// The shell of the stand-in machine. Special folders and the Windows and system folders come
// from machine.json "special_folders"; %NAME% expands from the machine's environment. "open"
// of a program the machine maps (see sim_launcher.h) starts it; "open" of a document is
// recorded in "opened.json" ({"opened": [{"verb", "file", "parameters", "show"}]}) and starts
// nothing. A document opens when its extension has an association (machine.json
// "associations", a list of extensions; by default .txt, .log, .pdf, .htm and .html).
#include <sys/stat.h>

#include "platform/code_page_text.h"
#include "platform/shell.h"
#include "platform/sim/sim_file_system.h"
#include "platform/sim/sim_launcher.h"
#include "platform/sim/sim_machine.h"
#include "platform/sim/sim_ports.h"
#include "platform/windows_path.h"

namespace qdw::sim {
namespace {

using platform::kSuccess;
using platform::WinError;

bool HasAssociation(const Json& description, const std::string& file) {
  std::string drive, dir, name, extension;
  platform::SplitPath(file, &drive, &dir, &name, &extension);
  if (extension.empty()) return false;
  Json associations =
      description.value("associations", Json::array({".txt", ".log", ".pdf", ".htm", ".html"}));
  for (const Json& known : associations) {
    if (known.is_string() && platform::EqualsIgnoreCase(known.get<std::string>(), extension)) {
      return true;
    }
  }
  return false;
}

class SimShell : public platform::Shell {
 public:
  explicit SimShell(SimMachine& machine) : machine_(machine), files_(machine) {}

  WinError SpecialFolder(int csidl, std::string* path) override {
    switch (csidl) {
      case platform::kCsidlDesktop:
        return Folder("desktop", path);
      case platform::kCsidlPersonal:
        return Folder("personal", path);
      case platform::kCsidlCommonAppData:
        return Folder("common_appdata", path);
      case platform::kCsidlProgramFiles:
        return Folder("program_files", path);
      default:
        path->clear();
        return platform::kErrorFileNotFound;
    }
  }

  WinError WindowsFolder(std::string* path) override { return Folder("windows", path); }
  WinError SystemFolder(std::string* path) override { return Folder("system", path); }

  std::string ExpandEnvironment(const std::string& text) override {
    std::string result;
    size_t pos = 0;
    while (pos < text.size()) {
      size_t open = text.find('%', pos);
      size_t close = open == std::string::npos ? open : text.find('%', open + 1);
      if (close == std::string::npos) {
        result += text.substr(pos);
        break;
      }
      std::string name = text.substr(open + 1, close - open - 1);
      std::string value;
      result += text.substr(pos, open - pos);
      if (!name.empty() && machine_.EnvironmentVariable(name, &value)) {
        result += value;
        pos = close + 1;
      } else {
        // Unknown names stay as written; the closing % may open the next name.
        result += text.substr(open, close - open);
        pos = close;
      }
    }
    return result;
  }

  WinError Execute(const std::string& verb, const std::string& file, const std::string& parameters,
                   int show, std::unique_ptr<platform::ProcessHandle>* process) override {
    if (process) process->reset();
    if (WinError fault = machine_.faults().Check("Shell.Execute", file)) return fault;
    std::string host;
    if (MapProgram(machine_, file, &host)) {
      std::unique_ptr<platform::ProcessHandle> started;
      WinError error =
          LaunchProgram(machine_, file, parameters, show == platform::kShowHide, &started);
      if (error == kSuccess && process) *process = std::move(started);
      return error;
    }
    struct stat st;
    if (!machine_.ToHostPath(file, &host) || ::stat(host.c_str(), &st) != 0 ||
        !HasAssociation(*machine_.Description(), file)) {
      return platform::kErrorFileNotFound;
    }
    machine_.store().Update("opened.json", [&](Json& doc) {
      doc["opened"].push_back(
          {{"verb", verb}, {"file", file}, {"parameters", parameters}, {"show", show}});
      return true;
    });
    return kSuccess;
  }

  bool MakeSureDirectoryPathExists(const std::string& path) override {
    if (machine_.faults().Check("Shell.MakeSureDirectoryPathExists", path) != kSuccess) {
      return false;
    }
    size_t end = path.find_last_of("\\/");
    if (end == std::string::npos) return false;
    // Every folder from the drive down to the last backslash.
    for (size_t pos = path.find_first_of("\\/"); pos != std::string::npos && pos <= end;
         pos = path.find_first_of("\\/", pos + 1)) {
      std::string folder = path.substr(0, pos);
      if (folder.empty() || platform::IsBareDrive(folder)) continue;
      uint32_t attributes = 0;
      if (files_.ReadAttributes(folder, &attributes) == kSuccess) {
        if (!(attributes & platform::kAttrDirectory)) return false;
        continue;
      }
      WinError error = files_.MakeFolder(folder);
      if (error != kSuccess && error != platform::kErrorAlreadyExists) return false;
    }
    return true;
  }

 private:
  WinError Folder(const std::string& key, std::string* path) {
    path->clear();
    Json folders = machine_.Description()->value("special_folders", Json::object());
    if (!folders.is_object() || !folders.contains(key) || !folders[key].is_string()) {
      return platform::kErrorFileNotFound;
    }
    std::string value;
    platform::Utf8ToAnsi(machine_.CodePage(), folders[key].get<std::string>(), &value);
    *path = value.size() > 3 ? platform::StripTrailingSeparator(value) : value;
    return kSuccess;
  }

  SimMachine& machine_;
  SimFileSystem files_;
};

}  // namespace

std::unique_ptr<platform::Shell> NewSimShell(SimMachine& machine) {
  return std::make_unique<SimShell>(machine);
}

}  // namespace qdw::sim
