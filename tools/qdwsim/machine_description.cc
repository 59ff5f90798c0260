#include "tools/qdwsim/machine_description.h"

namespace qdw::qdwsim {

using sim::Json;

bool OsVersionDescription(const std::string& version, Json* os_version) {
  if (version == "9x") {
    *os_version = {{"platform_id", 1}, {"major", 4}, {"minor", 10}, {"build", 2222}};
    return true;
  }
  struct Known {
    const char* text;
    int major, minor, build;
  };
  static const Known kKnown[] = {{"4.0", 4, 0, 1381},   {"5.0", 5, 0, 2195}, {"5.1", 5, 1, 2600},
                                 {"6.0", 6, 0, 6002},   {"6.1", 6, 1, 7601}, {"6.2", 6, 2, 9200},
                                 {"10.0", 10, 0, 19045}};
  for (const Known& k : kKnown) {
    if (version == k.text) {
      *os_version = {
          {"platform_id", 2}, {"major", k.major}, {"minor", k.minor}, {"build", k.build}};
      return true;
    }
  }
  return false;
}

Json DefaultMachineDescription(const std::string& program_folder) {
  Json os_version;
  OsVersionDescription("6.1", &os_version);
  Json programs = Json::object();
  if (!program_folder.empty()) {
    programs = {{"C:\\Windows\\system32\\cmd.exe", program_folder + "/qdw_cmd"},
                {std::string(kInstallFolder) + "\\Haltwerk.exe", program_folder + "/qdw_haltwerk"}};
  }
  return {
      {"os_version", os_version},
      {"computer_name", kDomain},
      {"current_user",
       {{"name", kUser},
        {"domain", kDomain},
        {"sid", kUserSid},
        {"admin", true},
        {"may_control_services", true}}},
      {"accounts", Json::array({{{"name", kUser}, {"domain", kDomain}, {"sid", kUserSid}},
                                {{"name", "kim"}, {"domain", kDomain}, {"sid", kColleagueSid}}})},
      {"drives",
       {{"C", {{"type", "fixed"}, {"fs", "NTFS"}, {"label", "System"}}},
        {"D", {{"type", "fixed"}, {"fs", "NTFS"}, {"label", "Data"}}},
        {"F", {{"type", "fixed"}, {"fs", "FAT32"}, {"label", "Stick"}}},
        {"E", {{"type", "cdrom"}, {"fs", "CDFS"}, {"ready", false}}}}},
      {"special_folders",
       {{"desktop", "C:\\Users\\jo\\Desktop"},
        {"personal", "C:\\Users\\jo\\Documents"},
        {"common_appdata", "C:\\ProgramData"},
        {"program_files", "C:\\Program Files"},
        {"windows", "C:\\Windows"},
        {"system", "C:\\Windows\\system32"}}},
      {"environment",
       {{"TMP", "C:\\Users\\jo\\AppData\\Local\\Temp"},
        {"TEMP", "C:\\Users\\jo\\AppData\\Local\\Temp"},
        {"ProgramFiles", "C:\\Program Files"},
        {"SystemRoot", "C:\\Windows"},
        {"windir", "C:\\Windows"},
        {"USERPROFILE", "C:\\Users\\jo"},
        {"ALLUSERSPROFILE", "C:\\ProgramData"},
        {"COMPUTERNAME", kDomain},
        {"USERNAME", kUser}}},
      {"time_zone_offset_minutes", 60},
      {"thread_locale", 1033},
      {"programs", programs},
      {"associations", Json::array({".txt", ".log", ".pdf", ".htm", ".html"})},
  };
}

}  // namespace qdw::qdwsim
