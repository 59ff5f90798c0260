// The headless host and the script driver as the program makes them, from its environment.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>

#include "app/headless/headless_host.h"
#include "app/headless/script_driver.h"

namespace qdw::headless {

namespace {

[[noreturn]] void EndWithFailure(const std::string& what, std::ostream* transcript) {
  std::cerr << "Backup: " << what << std::endl;
  if (transcript != nullptr) transcript->flush();
  std::fflush(nullptr);
  // The program is deep inside its dialogs; nothing more of it may run.
  std::_Exit(kScriptFailedExitStatus);
}

// The script, its name, the transcript and the failure handler both kinds of host share.
struct ScriptSetup {
  std::string script;
  std::string script_name;
  std::ostream* transcript = nullptr;
  std::shared_ptr<std::ostream> transcript_file;
  std::function<void(const std::string&)> on_failure;
};

ScriptSetup ReadScriptSetup() {
  ScriptSetup setup;
  const char* transcript_path = std::getenv("QDW_UI_TRANSCRIPT");
  if (transcript_path != nullptr && *transcript_path != '\0') {
    auto file = std::make_shared<std::ofstream>(transcript_path, std::ios::binary);
    if (!*file)
      EndWithFailure(std::string("cannot write the transcript ") + transcript_path, nullptr);
    setup.transcript_file = file;
    setup.transcript = file.get();
  } else {
    setup.transcript = &std::cerr;
  }
  const char* script_path = std::getenv("QDW_UI_SCRIPT");
  if (script_path != nullptr && *script_path != '\0') {
    std::ifstream in(script_path, std::ios::binary);
    if (!in) EndWithFailure(std::string("cannot read the script ") + script_path, setup.transcript);
    std::ostringstream text;
    text << in.rdbuf();
    setup.script = text.str();
    setup.script_name = script_path;
  } else {
    setup.script_name = "QDW_UI_SCRIPT (not set)";
  }
  std::ostream* transcript = setup.transcript;
  setup.on_failure = [transcript](const std::string& what) { EndWithFailure(what, transcript); };
  return setup;
}

HeadlessOptions OptionsFromEnvironment(platform::FileSystem* files) {
  ScriptSetup setup = ReadScriptSetup();
  HeadlessOptions options;
  options.files = files;
  options.script = std::move(setup.script);
  options.script_name = std::move(setup.script_name);
  options.transcript = setup.transcript;
  options.transcript_file = std::move(setup.transcript_file);
  options.on_failure = std::move(setup.on_failure);
  return options;
}

}  // namespace

std::unique_ptr<HeadlessHost> MakeHeadlessHostFromEnvironment(platform::FileSystem* files) {
  return std::make_unique<HeadlessHost>(OptionsFromEnvironment(files));
}

std::unique_ptr<ScriptDriver> MakeScriptDriverFromEnvironment(platform::FileSystem* files) {
  const char* script_path = std::getenv("QDW_UI_SCRIPT");
  if (script_path == nullptr || *script_path == '\0') return nullptr;
  return std::make_unique<ScriptDriver>(OptionsFromEnvironment(files));
}

}  // namespace qdw::headless
