// The shares of a run, directly and through the product's share service: a share removed is
// journaled with its level-502 information, a share added with its name and folder.
#include <memory>

#include "engine/journal/journaling_platform.h"

namespace qdw::journal {
namespace {

using platform::HResult;
using platform::kSuccess;
using platform::WinError;

HResult FromWin32(WinError error) {
  return error == kSuccess ? platform::kSOk : static_cast<HResult>(0x80070000u | (error & 0xFFFFu));
}

// Before a share is removed: its information, so that the undo can add it back as it was.
WinError RecordRemoval(platform::Shares& shares, RunJournal& journal, const std::string& name) {
  if (!journal.IsOpen()) return kSuccess;
  platform::ShareInfo info;
  const WinError found = shares.GetInfo(name, &info);
  if (found == platform::kNerrNetNameNotFound) return kSuccess;  // the removal will fail
  if (found != kSuccess) return found;
  return journal.Record(ShareRemovedRecord(info)) ? kSuccess : kJournalNotWritten;
}

// Before a share is added: only a name that is free becomes the run's share; the addition of
// a taken one fails and needs no undo.
WinError RecordAddition(platform::Shares& shares, RunJournal& journal, const std::string& name,
                        const std::string& path) {
  if (!journal.IsOpen()) return kSuccess;
  platform::ShareInfo info;
  const WinError found = shares.GetInfo(name, &info);
  if (found == kSuccess) return kSuccess;
  if (found != platform::kNerrNetNameNotFound) return found;
  return journal.Record(ShareAddedRecord(name, path)) ? kSuccess : kJournalNotWritten;
}

class JournalingShares : public platform::Shares {
 public:
  JournalingShares(platform::Shares& shares, RunJournal& journal)
      : shares_(shares), journal_(journal) {}

  WinError Enumerate(uint32_t* resume_handle, std::vector<platform::ShareInfo>* out) override {
    return shares_.Enumerate(resume_handle, out);
  }
  WinError GetInfo(const std::string& name, platform::ShareInfo* out) override {
    return shares_.GetInfo(name, out);
  }
  WinError Add(const platform::ShareInfo& share) override {
    if (WinError error = RecordAddition(shares_, journal_, share.name, share.path.value_or(""))) {
      return error;
    }
    return shares_.Add(share);
  }
  WinError Delete(const std::string& name) override {
    if (WinError error = RecordRemoval(shares_, journal_, name)) return error;
    return shares_.Delete(name);
  }
  WinError WorkstationUser(std::string* logon_domain, std::string* user_name) override {
    return shares_.WorkstationUser(logon_domain, user_name);
  }

 private:
  platform::Shares& shares_;
  RunJournal& journal_;
};

class JournalingProxy : public platform::ShareProxy {
 public:
  JournalingProxy(std::unique_ptr<platform::ShareProxy> proxy, platform::Shares& shares,
                  RunJournal& journal)
      : proxy_(std::move(proxy)), shares_(shares), journal_(journal) {}

  HResult SetComputer(const std::string& computer) override {
    return proxy_->SetComputer(computer);
  }
  HResult SetShareName(const std::string& name) override {
    name_ = name;
    return proxy_->SetShareName(name);
  }
  HResult SetPath(const std::string& path) override {
    path_ = path;
    return proxy_->SetPath(path);
  }
  HResult SetRemark(const std::string& remark) override { return proxy_->SetRemark(remark); }
  HResult SetMaxUsers(int32_t max_users) override { return proxy_->SetMaxUsers(max_users); }
  HResult SetOption(int32_t option) override { return proxy_->SetOption(option); }
  HResult AddPermission(const std::string& account, bool allow, bool full_control, bool change,
                        bool read) override {
    return proxy_->AddPermission(account, allow, full_control, change, read);
  }
  HResult BeforeFinish(int32_t value) override { return proxy_->BeforeFinish(value); }
  HResult Finish() override { return proxy_->Finish(); }
  HResult CreateShare(const std::string& creator, int32_t flags) override {
    if (WinError error = RecordAddition(shares_, journal_, name_, path_)) return FromWin32(error);
    return proxy_->CreateShare(creator, flags);
  }
  HResult DeleteShare(const std::string& creator, int32_t flags) override {
    if (WinError error = RecordRemoval(shares_, journal_, name_)) return FromWin32(error);
    return proxy_->DeleteShare(creator, flags);
  }
  HResult CheckShareName(int32_t mode) override { return proxy_->CheckShareName(mode); }
  HResult CheckPath() override { return proxy_->CheckPath(); }

 private:
  std::unique_ptr<platform::ShareProxy> proxy_;
  platform::Shares& shares_;
  RunJournal& journal_;
  std::string name_;
  std::string path_;
};

class JournalingProxyFactory : public platform::ShareProxyFactory {
 public:
  JournalingProxyFactory(platform::ShareProxyFactory& factory, platform::Shares& shares,
                         RunJournal& journal)
      : factory_(factory), shares_(shares), journal_(journal) {}

  HResult Create(std::unique_ptr<platform::ShareProxy>* out) override {
    std::unique_ptr<platform::ShareProxy> proxy;
    const HResult hr = factory_.Create(&proxy);
    if (proxy) {
      *out = std::make_unique<JournalingProxy>(std::move(proxy), shares_, journal_);
    } else {
      out->reset();
    }
    return hr;
  }

 private:
  platform::ShareProxyFactory& factory_;
  platform::Shares& shares_;
  RunJournal& journal_;
};

}  // namespace

std::unique_ptr<platform::Shares> NewJournalingShares(platform::Shares& shares,
                                                      RunJournal& journal) {
  return std::make_unique<JournalingShares>(shares, journal);
}

std::unique_ptr<platform::ShareProxyFactory> NewJournalingShareProxy(
    platform::ShareProxyFactory& proxy, platform::Shares& shares, RunJournal& journal) {
  return std::make_unique<JournalingProxyFactory>(proxy, shares, journal);
}

}  // namespace qdw::journal
