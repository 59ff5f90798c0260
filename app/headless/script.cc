#include "app/headless/script.h"

#include <cerrno>
#include <cstdlib>
#include <sstream>

namespace qdw::headless {

namespace {

// Splits off the first blank-separated word of `*rest`.
std::string TakeWord(std::string* rest) {
  size_t start = rest->find_first_not_of(' ');
  if (start == std::string::npos) {
    rest->clear();
    return "";
  }
  size_t end = rest->find(' ', start);
  std::string word = rest->substr(start, end == std::string::npos ? end : end - start);
  *rest = end == std::string::npos ? "" : rest->substr(end + 1);
  return word;
}

bool ToInt(const std::string& word, int* value) {
  if (word.empty()) return false;
  char* end = nullptr;
  errno = 0;
  long parsed = std::strtol(word.c_str(), &end, 0);
  if (errno != 0 || *end != '\0' || parsed < -0x7FFFFFFFL || parsed > 0x7FFFFFFFL) return false;
  *value = static_cast<int>(parsed);
  return true;
}

// A scripted pause is for looking at a dialog, never a way to hang a run.
constexpr int kLongestWaitMs = 600000;

bool TakeInt(std::string* rest, int* value) { return ToInt(TakeWord(rest), value); }

bool ParseExpect(std::string rest, Action* action) {
  const std::string what = TakeWord(&rest);
  struct Simple {
    const char* word;
    ActionKind kind;
  };
  static const Simple kSimple[] = {
      {"dialog", ActionKind::kExpectDialog},   {"message", ActionKind::kExpectMessage},
      {"shown", ActionKind::kExpectShown},     {"hidden", ActionKind::kExpectHidden},
      {"enabled", ActionKind::kExpectEnabled}, {"disabled", ActionKind::kExpectDisabled},
      {"checked", ActionKind::kExpectChecked}, {"unchecked", ActionKind::kExpectUnchecked},
  };
  for (const Simple& simple : kSimple) {
    if (what != simple.word) continue;
    action->kind = simple.kind;
    return TakeInt(&rest, &action->number) && rest.find_first_not_of(' ') == std::string::npos;
  }
  if (what == "text") {
    action->kind = ActionKind::kExpectText;
    if (!TakeInt(&rest, &action->number)) return false;
    action->text = rest;
    return true;
  }
  if (what == "rows") {
    action->kind = ActionKind::kExpectRows;
    int rows = 0;
    if (!TakeInt(&rest, &action->number) || !TakeInt(&rest, &rows)) return false;
    action->values = {rows};
    return rest.find_first_not_of(' ') == std::string::npos;
  }
  if (what == "cell") {
    action->kind = ActionKind::kExpectCell;
    int row = 0;
    int column = 0;
    if (!TakeInt(&rest, &action->number) || !TakeInt(&rest, &row) || !TakeInt(&rest, &column)) {
      return false;
    }
    action->values = {row, column};
    action->text = rest;
    return true;
  }
  return false;
}

bool ParseAction(const std::string& line, Action* action) {
  std::string rest = line;
  const std::string verb = TakeWord(&rest);
  if (verb == "expect") return ParseExpect(rest, action);
  if (verb == "answer") {
    action->kind = ActionKind::kAnswer;
    action->text = TakeWord(&rest);
    return (action->text == "yes" || action->text == "no" || action->text == "ok") &&
           rest.find_first_not_of(' ') == std::string::npos;
  }
  if (verb == "click" || verb == "sysmenu") {
    action->kind = verb == "click" ? ActionKind::kClick : ActionKind::kSysMenu;
    return TakeInt(&rest, &action->number) && rest.find_first_not_of(' ') == std::string::npos;
  }
  if (verb == "type") {
    action->kind = ActionKind::kType;
    if (!TakeInt(&rest, &action->number)) return false;
    action->text = rest;
    return true;
  }
  if (verb == "select") {
    action->kind = ActionKind::kSelect;
    if (!TakeInt(&rest, &action->number)) return false;
    int row = 0;
    while (rest.find_first_not_of(' ') != std::string::npos) {
      if (!TakeInt(&rest, &row)) return false;
      action->values.push_back(row);
    }
    return !action->values.empty();
  }
  if (verb == "browse") {
    size_t start = rest.find_first_not_of(' ');
    if (start == std::string::npos) return false;
    action->text = rest.substr(start);
    action->kind = action->text == "cancel" ? ActionKind::kBrowseCancel : ActionKind::kBrowse;
    return true;
  }
  if (verb == "wait") {
    action->kind = ActionKind::kWait;
    return TakeInt(&rest, &action->number) && action->number >= 0 &&
           action->number <= kLongestWaitMs && rest.find_first_not_of(' ') == std::string::npos;
  }
  if (verb == "hold") {
    action->kind = ActionKind::kHold;
    int percent = 0;
    int ms = 0;
    if (!TakeInt(&rest, &action->number) || !TakeInt(&rest, &percent) || !TakeInt(&rest, &ms)) {
      return false;
    }
    action->values = {percent, ms};
    return percent >= 0 && percent < 100 && ms >= 0 && ms <= kLongestWaitMs &&
           rest.find_first_not_of(' ') == std::string::npos;
  }
  if (verb == "close") {
    action->kind = ActionKind::kClose;
    return rest.find_first_not_of(' ') == std::string::npos;
  }
  return false;
}

}  // namespace

Script Script::Parse(const std::string& text, std::string* error) {
  Script script;
  std::istringstream lines(text);
  std::string line;
  int number = 0;
  while (std::getline(lines, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line[start] == '#') continue;
    Action action;
    action.line = number;
    action.source = line.substr(start);
    if (!ParseAction(action.source, &action)) {
      *error = "line " + std::to_string(number) + ": cannot understand \"" + action.source + "\"";
      return Script();
    }
    script.actions_.push_back(action);
  }
  error->clear();
  return script;
}

}  // namespace qdw::headless
