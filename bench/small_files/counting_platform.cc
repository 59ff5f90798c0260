#include "bench/small_files/counting_platform.h"

namespace qdw::bench {
namespace {

using platform::WinError;

// Counts one call when made and adds the time inside it when it returns.
class Timed {
 public:
  Timed(StepRecorder& recorder, PortCall call, const std::string& path)
      : recorder_(recorder), call_(call), began_(recorder.Count(call, path)) {}
  ~Timed() { recorder_.Spent(call_, began_); }

 private:
  StepRecorder& recorder_;
  PortCall call_;
  std::chrono::steady_clock::time_point began_;
};

// Counts each item of a batch as its single call, naming the file `path_of` gives; the batch's
// time is taken from the first count on.
template <typename Item, typename PathOf>
std::chrono::steady_clock::time_point CountBatch(StepRecorder& recorder, PortCall call,
                                                 const std::vector<Item>& items, PathOf path_of) {
  std::chrono::steady_clock::time_point began = std::chrono::steady_clock::now();
  for (size_t i = 0; i < items.size(); ++i) {
    const auto counted = recorder.Count(call, path_of(items[i]));
    if (i == 0) began = counted;
  }
  return began;
}

class CountingFile : public platform::File {
 public:
  CountingFile(std::unique_ptr<platform::File> inner, std::string path, StepRecorder& recorder)
      : inner_(std::move(inner)), path_(std::move(path)), recorder_(recorder) {}

  WinError Read(void* buffer, uint32_t size, uint32_t* read) override {
    Timed timed(recorder_, PortCall::kRead, path_);
    return inner_->Read(buffer, size, read);
  }
  WinError Write(const void* buffer, uint32_t size, uint32_t* written) override {
    Timed timed(recorder_, PortCall::kWrite, path_);
    return inner_->Write(buffer, size, written);
  }
  WinError Seek(int64_t distance, platform::SeekOrigin origin, uint64_t* position) override {
    Timed timed(recorder_, PortCall::kSeek, path_);
    return inner_->Seek(distance, origin, position);
  }
  WinError Size(uint64_t* size) override {
    Timed timed(recorder_, PortCall::kSize, path_);
    return inner_->Size(size);
  }
  WinError Times(platform::FileTimes* times) override {
    Timed timed(recorder_, PortCall::kTimes, path_);
    return inner_->Times(times);
  }
  WinError SetTimes(const platform::FileTime* creation, const platform::FileTime* last_access,
                    const platform::FileTime* last_write) override {
    Timed timed(recorder_, PortCall::kSetTimes, path_);
    return inner_->SetTimes(creation, last_access, last_write);
  }
  WinError SetEnd() override {
    Timed timed(recorder_, PortCall::kSetEnd, path_);
    return inner_->SetEnd();
  }
  WinError Flush() override {
    Timed timed(recorder_, PortCall::kFlush, path_);
    return inner_->Flush();
  }

 private:
  std::unique_ptr<platform::File> inner_;
  std::string path_;
  StepRecorder& recorder_;
};

}  // namespace

WinError CountingFileSystem::Open(const std::string& path, uint32_t access, uint32_t share,
                                  platform::Disposition disposition, uint32_t flags_and_attributes,
                                  std::unique_ptr<platform::File>* out) {
  Timed timed(recorder_, PortCall::kOpen, path);
  std::unique_ptr<platform::File> file;
  WinError error = inner_.Open(path, access, share, disposition, flags_and_attributes, &file);
  if (file) {
    *out = std::make_unique<CountingFile>(std::move(file), path, recorder_);
  } else {
    out->reset();
  }
  return error;
}

WinError CountingFileSystem::ReadAttributes(const std::string& path, uint32_t* attributes) {
  Timed timed(recorder_, PortCall::kReadAttributes, path);
  return inner_.ReadAttributes(path, attributes);
}

WinError CountingFileSystem::WriteAttributes(const std::string& path, uint32_t attributes) {
  Timed timed(recorder_, PortCall::kWriteAttributes, path);
  return inner_.WriteAttributes(path, attributes);
}

WinError CountingFileSystem::Find(const std::string& pattern,
                                  std::vector<platform::DirEntry>* entries) {
  Timed timed(recorder_, PortCall::kFind, pattern);
  return inner_.Find(pattern, entries);
}

WinError CountingFileSystem::FindNamesAndAttributes(const std::string& pattern,
                                                    std::vector<platform::DirEntry>* entries) {
  Timed timed(recorder_, PortCall::kFind, pattern);
  return inner_.FindNamesAndAttributes(pattern, entries);
}

WinError CountingFileSystem::Copy(const std::string& source, const std::string& target,
                                  bool fail_if_exists) {
  Timed timed(recorder_, PortCall::kCopy, target);
  return inner_.Copy(source, target, fail_if_exists);
}

WinError CountingFileSystem::Move(const std::string& source, const std::string& target) {
  Timed timed(recorder_, PortCall::kMove, source);
  return inner_.Move(source, target);
}

WinError CountingFileSystem::Replace(const std::string& source, const std::string& target) {
  Timed timed(recorder_, PortCall::kReplace, source);
  return inner_.Replace(source, target);
}

WinError CountingFileSystem::Delete(const std::string& path) {
  Timed timed(recorder_, PortCall::kDelete, path);
  return inner_.Delete(path);
}

void CountingFileSystem::CopyFiles(const std::vector<platform::FileCopy>& copies,
                                   bool fail_if_exists, BatchEnd end,
                                   std::vector<WinError>* results) {
  const auto began = CountBatch(recorder_, PortCall::kCopy, copies,
                                [](const platform::FileCopy& copy) { return copy.target; });
  inner_.CopyFiles(copies, fail_if_exists, end, results);
  recorder_.Spent(PortCall::kCopy, began);
}

void CountingFileSystem::DeleteFiles(const std::vector<std::string>& paths, BatchEnd end,
                                     std::vector<WinError>* results) {
  const auto began =
      CountBatch(recorder_, PortCall::kDelete, paths, [](const std::string& path) { return path; });
  inner_.DeleteFiles(paths, end, results);
  recorder_.Spent(PortCall::kDelete, began);
}

void CountingFileSystem::CreateFiles(const std::vector<platform::NewFile>& files, BatchEnd end,
                                     std::vector<WinError>* results) {
  const auto began = CountBatch(recorder_, PortCall::kOpen, files,
                                [](const platform::NewFile& file) { return file.path; });
  inner_.CreateFiles(files, end, results);
  recorder_.Spent(PortCall::kOpen, began);
}

WinError CountingFileSystem::MakeFolder(const std::string& path) {
  Timed timed(recorder_, PortCall::kMakeFolder, path);
  return inner_.MakeFolder(path);
}

WinError CountingFileSystem::RemoveFolder(const std::string& path) {
  Timed timed(recorder_, PortCall::kRemoveFolder, path);
  return inner_.RemoveFolder(path);
}

WinError CountingFileSystem::FreeSpace(const std::string& root, uint64_t* free_bytes) {
  Timed timed(recorder_, PortCall::kOtherFileSystem, root);
  return inner_.FreeSpace(root, free_bytes);
}

uint32_t CountingFileSystem::DriveKind(const std::string& root) {
  Timed timed(recorder_, PortCall::kOtherFileSystem, root);
  return inner_.DriveKind(root);
}

WinError CountingFileSystem::VolumeFileSystem(const std::string& root, std::string* name) {
  Timed timed(recorder_, PortCall::kOtherFileSystem, root);
  return inner_.VolumeFileSystem(root, name);
}

WinError CountingFileSystem::ReadDacl(const std::string& path, bool* present, platform::Acl* dacl) {
  Timed timed(recorder_, PortCall::kOtherFileSystem, path);
  return inner_.ReadDacl(path, present, dacl);
}

WinError CountingFileSystem::WriteDacl(const std::string& path, const platform::Acl& dacl) {
  Timed timed(recorder_, PortCall::kOtherFileSystem, path);
  return inner_.WriteDacl(path, dacl);
}

WinError CountingFileSystem::FullPath(const std::string& path, std::string* full) {
  Timed timed(recorder_, PortCall::kOtherFileSystem, path);
  return inner_.FullPath(path, full);
}

WinError CountingFileSystem::TempFileName(const std::string& prefix, std::string* path) {
  Timed timed(recorder_, PortCall::kOtherFileSystem, prefix);
  return inner_.TempFileName(prefix, path);
}

}  // namespace qdw::bench
