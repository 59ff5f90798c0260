#include "tests/platform/resources/resource_expectations.h"

#include <fstream>
#include <sstream>

namespace qdw::resources::testing {
namespace {

// Lines without comments and blank lines, each with its number for error messages.
bool ReadLines(const std::string& path, std::vector<std::pair<int, std::string>>* lines,
               std::string* error) {
  std::ifstream in(path);
  if (!in) {
    *error = "cannot read " + path;
    return false;
  }
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    const size_t first = line.find_first_not_of(" \t\r");
    if (first == std::string::npos || line[first] == '#') continue;
    lines->emplace_back(number, line);
  }
  return true;
}

bool Fail(const std::string& path, int line, std::string* error) {
  *error = path + ":" + std::to_string(line) + ": not understood";
  return false;
}

ExpectedDialog* FindDialog(std::vector<ExpectedDialog>* dialogs, long id) {
  for (ExpectedDialog& dialog : *dialogs) {
    if (dialog.id == id) return &dialog;
  }
  return nullptr;
}

}  // namespace

bool ReadExpectedStrings(const std::string& path, std::vector<ExpectedString>* strings,
                         std::string* error) {
  std::vector<std::pair<int, std::string>> lines;
  if (!ReadLines(path, &lines, error)) return false;
  for (const auto& [number, line] : lines) {
    std::istringstream fields(line);
    long id = -1;
    ExpectedString entry;
    if (!(fields >> id >> entry.kind) || id < 0 || id > 0xFFFF) return Fail(path, number, error);
    if (entry.kind != "question" && entry.kind != "message" && entry.kind != "list" &&
        entry.kind != "label" && entry.kind != "fragment") {
      return Fail(path, number, error);
    }
    entry.id = static_cast<uint16_t>(id);
    std::getline(fields >> std::ws, entry.purpose);
    strings->push_back(entry);
  }
  return true;
}

bool ReadExpectedDialogs(const std::string& path, std::vector<ExpectedDialog>* dialogs,
                         std::string* error) {
  std::vector<std::pair<int, std::string>> lines;
  if (!ReadLines(path, &lines, error)) return false;
  for (const auto& [number, line] : lines) {
    std::istringstream fields(line);
    std::string keyword;
    long dialog_id = -1;
    if (!(fields >> keyword >> dialog_id)) return Fail(path, number, error);
    if (keyword == "dialog") {
      ExpectedDialog dialog;
      dialog.id = static_cast<uint16_t>(dialog_id);
      for (long control; fields >> control;) dialog.controls.insert(static_cast<int32_t>(control));
      dialogs->push_back(dialog);
      continue;
    }
    ExpectedDialog* dialog = FindDialog(dialogs, dialog_id);
    long control = 0;
    if (dialog == nullptr || !(fields >> control)) return Fail(path, number, error);
    if (keyword == "class") {
      if (!(fields >> dialog->classes[static_cast<int32_t>(control)])) {
        return Fail(path, number, error);
      }
      continue;
    }
    ExpectedText text;
    text.control = static_cast<int32_t>(control);
    text.outcome = keyword == "outcome";
    if (keyword != "text" && keyword != "outcome") return Fail(path, number, error);
    long head = 0;
    if (text.outcome && !(fields >> head)) return Fail(path, number, error);
    text.head = static_cast<uint16_t>(head);
    for (long id; fields >> id;) text.texts.push_back(static_cast<uint16_t>(id));
    if (text.texts.empty()) return Fail(path, number, error);
    dialog->texts.push_back(text);
  }
  return true;
}

}  // namespace qdw::resources::testing
