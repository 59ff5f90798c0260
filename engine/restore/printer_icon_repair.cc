#include "engine/restore/printer_icon_repair.h"

#include <cctype>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "database/database_paths.h"
#include "platform/file_checks.h"
#include "platform/windows_path.h"

namespace qdw::restore {

namespace {

// The row id stands bare in the statement, so it must be a number.
bool IsNumericId(const std::string& id) {
  if (id.empty()) return false;
  for (char c : id) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
  if (from.empty()) return text;
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

}  // namespace

bool RepairPrinterIcons(platform::Platform& platform, settings::ProductSettings& settings) {
  std::string repository;
  if (!settings.ReadUserRepositoryPath(&repository)) repository.clear();
  const std::string database = repository + "\\VARNOLD\\QDW\\DataBase\\VNDATABASE.mdb";
  platform::FileSystem& files = platform.files();
  if (!platform::PathExists(files, database)) return true;

  std::unique_ptr<platform::DatabaseConnection> connection = platform.databases().NewConnection();
  if (!connection->Open(database::AccessConnectString(database), false, false, true)) {
    return false;
  }
  std::vector<std::pair<std::string, std::string>> rows;  // (ID, Icon_Path)
  {
    std::unique_ptr<platform::RecordSet> set;
    if (!connection->Query("SELECT * FROM qln_printer", true, &set)) {
      connection->Close();
      return false;
    }
    while (set->Fetch()) {
      rows.emplace_back(set->Value("ID").value_or(""), set->Value("Icon_Path").value_or(""));
    }
  }
  const std::string settings_folder = repository + "\\VARNOLD\\QDW\\Settings";
  for (const auto& [id, icon_path] : rows) {
    if (!IsNumericId(id)) continue;
    // Without "=" there is no icon file; without "\\" no folder part.
    const size_t equals = icon_path.find('=');
    const std::string icon_file = equals == std::string::npos ? "" : icon_path.substr(0, equals);
    const size_t slash = platform::FindLastSeparator(icon_file);
    const std::string dir_part = slash == std::string::npos ? "" : icon_file.substr(0, slash);
    const std::string name_part = slash == std::string::npos ? icon_file : icon_file.substr(slash);
    if (!icon_file.empty() && platform::PathExists(files, icon_file)) continue;
    std::string statement = "DELETE FROM qln_printer WHERE ID =" + id;
    if (platform::PathExists(files, settings_folder + name_part)) {
      const std::string repaired = ReplaceAll(icon_path, dir_part, settings_folder);
      statement = "UPDATE qln_printer SET Icon_Path ='" + platform::SqlQuote(repaired) +
                  "' WHERE ID =" + id;
    }
    if (!connection->Execute(statement)) {
      connection->Close();
      return false;
    }
  }
  connection->Close();
  return true;
}

}  // namespace qdw::restore
