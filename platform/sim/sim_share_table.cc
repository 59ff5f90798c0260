#include "platform/sim/sim_share_table.h"

#include <sys/stat.h>

#include "platform/code_page_text.h"
#include "platform/windows_path.h"

namespace qdw::sim {

using platform::EqualsIgnoreCase;
using platform::ShareInfo;
using platform::WinError;

namespace {

const char kDocument[] = "shares.json";
constexpr uint32_t kDefaultBatchSize = 3;

const Json& SharesOf(const Json& document) {
  static const Json kEmpty = Json::array();
  auto it = document.find("shares");
  return it != document.end() && it->is_array() ? *it : kEmpty;
}

std::optional<std::string> OptionalText(const Json& entry, const char* field) {
  auto it = entry.find(field);
  if (it == entry.end() || !it->is_string()) return std::nullopt;
  return it->get<std::string>();
}

}  // namespace

Json SimShareTable::ToJson(const ShareInfo& share) {
  Json entry = {{"name", share.name},
                {"type", share.type},
                {"permissions", share.permissions},
                {"max_uses", share.max_uses},
                {"current_uses", share.current_uses}};
  if (share.remark) entry["remark"] = *share.remark;
  if (share.path) entry["path"] = *share.path;
  if (share.password) entry["password"] = *share.password;
  if (share.security) {
    Json dacl = Json::array();
    for (const platform::Ace& ace : share.security->dacl.entries) {
      dacl.push_back({{"type", ace.type == platform::kAceAccessDenied ? "deny" : "allow"},
                      {"flags", ace.flags},
                      {"mask", ace.mask},
                      {"sid", ace.sid.ToString()}});
    }
    entry["security"] = {{"dacl_present", share.security->dacl_present}, {"dacl", dacl}};
  }
  return entry;
}

ShareInfo SimShareTable::FromJson(const Json& entry) {
  ShareInfo share;
  share.name = entry.value("name", std::string());
  share.type = entry.value("type", platform::kShareTypeDisk);
  share.remark = OptionalText(entry, "remark");
  share.permissions = entry.value("permissions", 0u);
  share.max_uses = entry.value("max_uses", -1);
  share.current_uses = entry.value("current_uses", 0u);
  share.path = OptionalText(entry, "path");
  share.password = OptionalText(entry, "password");
  auto security = entry.find("security");
  if (security != entry.end() && security->is_object()) {
    platform::SecurityDescriptor descriptor;
    descriptor.dacl_present = security->value("dacl_present", true);
    for (const Json& item : security->value("dacl", Json::array())) {
      platform::Ace ace;
      ace.type = EqualsIgnoreCase(item.value("type", std::string("allow")), "deny")
                     ? platform::kAceAccessDenied
                     : platform::kAceAccessAllowed;
      ace.flags = item.value("flags", static_cast<uint8_t>(0));
      ace.mask = item.value("mask", 0u);
      platform::Sid::Parse(item.value("sid", std::string()), &ace.sid);
      descriptor.dacl.entries.push_back(ace);
    }
    share.security = descriptor;
  }
  return share;
}

// shares.json is UTF-8 text; the program's texts are in the machine's code page.
ShareInfo SimShareTable::ForProgram(ShareInfo share) const {
  const int code_page = machine_.CodePage();
  for (std::string* text : {&share.name}) platform::Utf8ToAnsi(code_page, *text, text);
  for (std::optional<std::string>* text : {&share.remark, &share.path, &share.password}) {
    if (*text) platform::Utf8ToAnsi(code_page, **text, &**text);
  }
  return share;
}

ShareInfo SimShareTable::Stored(ShareInfo share) const {
  const int code_page = machine_.CodePage();
  std::string converted;
  platform::AnsiToUtf8(code_page, share.name, &converted);
  share.name = converted;
  for (std::optional<std::string>* text : {&share.remark, &share.path, &share.password}) {
    if (!*text) continue;
    platform::AnsiToUtf8(code_page, **text, &converted);
    *text = converted;
  }
  return share;
}

bool SimShareTable::SameName(const Json& entry, const std::string& ansi_name) const {
  std::string stored;
  platform::Utf8ToAnsi(machine_.CodePage(), entry.value("name", std::string()), &stored);
  return platform::EqualsIgnoreCaseText(machine_.CodePage(), stored, ansi_name);
}

WinError SimShareTable::Batch(uint32_t* next, std::vector<ShareInfo>* out, bool* more) {
  Json document = machine_.store().Read(kDocument);
  const Json& shares = SharesOf(document);
  uint32_t batch = document.value("batch_size", kDefaultBatchSize);
  if (batch == 0) batch = kDefaultBatchSize;
  uint32_t index = *next;
  uint32_t end = index;
  for (; end < shares.size() && end - index < batch; ++end) {
    out->push_back(ForProgram(FromJson(shares[end])));
  }
  *next = end;
  *more = end < shares.size();
  return platform::kSuccess;
}

WinError SimShareTable::Find(const std::string& name, ShareInfo* out) {
  Json document = machine_.store().Read(kDocument);
  for (const Json& entry : SharesOf(document)) {
    if (SameName(entry, name)) {
      *out = ForProgram(FromJson(entry));
      return platform::kSuccess;
    }
  }
  return platform::kNerrNetNameNotFound;
}

bool SimShareTable::FolderExists(const std::string& windows_path) const {
  std::string host;
  struct stat st;
  return machine_.ToHostPath(windows_path, &host) && ::stat(host.c_str(), &st) == 0 &&
         S_ISDIR(st.st_mode);
}

WinError SimShareTable::Add(const ShareInfo& share, const std::string& creator) {
  if (share.name.empty()) return platform::kErrorInvalidParameter;
  WinError result = platform::kSuccess;
  machine_.store().Update(kDocument, [&](Json& document) {
    for (const Json& entry : SharesOf(document)) {
      if (SameName(entry, share.name)) {
        result = platform::kNerrDuplicateShare;
        return false;
      }
    }
    if (share.type == platform::kShareTypeDisk && (!share.path || !FolderExists(*share.path))) {
      result = platform::kNerrUnknownDevDir;
      return false;
    }
    Json entry = ToJson(Stored(share));
    if (!creator.empty()) entry["creator"] = creator;
    document["shares"].push_back(entry);
    return true;
  });
  return result;
}

WinError SimShareTable::Remove(const std::string& name) {
  WinError result = platform::kNerrNetNameNotFound;
  machine_.store().Update(kDocument, [&](Json& document) {
    if (!document.contains("shares") || !document["shares"].is_array()) return false;
    Json& shares = document["shares"];
    for (size_t i = 0; i < shares.size(); ++i) {
      if (SameName(shares[i], name)) {
        shares.erase(i);
        result = platform::kSuccess;
        return true;
      }
    }
    return false;
  });
  return result;
}

bool SimShareTable::PathShared(const std::string& path) {
  Json document = machine_.store().Read(kDocument);
  for (const Json& entry : SharesOf(document)) {
    std::optional<std::string> shared = OptionalText(entry, "path");
    if (shared) platform::Utf8ToAnsi(machine_.CodePage(), *shared, &*shared);
    if (shared && platform::EqualsIgnoreCaseText(machine_.CodePage(),
                                                 platform::StripTrailingSeparator(*shared),
                                                 platform::StripTrailingSeparator(path))) {
      return true;
    }
  }
  return false;
}

}  // namespace qdw::sim
