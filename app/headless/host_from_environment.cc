// The headless host as the program makes it on the stand-in machine, from its environment.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>

#include "app/headless/headless_host.h"

namespace qdw::headless {

namespace {

[[noreturn]] void EndWithFailure(const std::string& what, std::ostream* transcript) {
  std::cerr << "Backup: " << what << std::endl;
  if (transcript != nullptr) transcript->flush();
  std::fflush(nullptr);
  // The program is deep inside its dialogs; nothing more of it may run.
  std::_Exit(kScriptFailedExitStatus);
}

}  // namespace

std::unique_ptr<HeadlessHost> MakeHeadlessHostFromEnvironment(platform::FileSystem* files) {
  HeadlessOptions options;
  options.files = files;
  const char* transcript_path = std::getenv("QDW_UI_TRANSCRIPT");
  if (transcript_path != nullptr && *transcript_path != '\0') {
    auto file = std::make_shared<std::ofstream>(transcript_path, std::ios::binary);
    if (!*file)
      EndWithFailure(std::string("cannot write the transcript ") + transcript_path, nullptr);
    options.transcript_file = file;
    options.transcript = file.get();
  } else {
    options.transcript = &std::cerr;
  }
  const char* script_path = std::getenv("QDW_UI_SCRIPT");
  if (script_path != nullptr && *script_path != '\0') {
    std::ifstream in(script_path, std::ios::binary);
    if (!in)
      EndWithFailure(std::string("cannot read the script ") + script_path, options.transcript);
    std::ostringstream text;
    text << in.rdbuf();
    options.script = text.str();
    options.script_name = script_path;
  } else {
    options.script_name = "QDW_UI_SCRIPT (not set)";
  }
  std::ostream* transcript = options.transcript;
  options.on_failure = [transcript](const std::string& what) { EndWithFailure(what, transcript); };
  return std::make_unique<HeadlessHost>(std::move(options));
}

}  // namespace qdw::headless
