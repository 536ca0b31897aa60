// Fakes for the file system port: a scratch folder, a file system that puts Windows-style paths
// onto real files under it, and one that fails a chosen call; and the check of a raised
// EInOutError.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>

#include "editor/in_out_error.h"
#include "platform/file_system.h"

namespace vellumo::testing {

// Runs f, which should raise EInOutError, and answers its error number, or -1 when f raised
// nothing. The message must be the one of the number.
template <typename F>
int InOutErrorOf(F&& f) {
  try {
    f();
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.what(), InOutErrorMessage(e.ErrorCode));
    return e.ErrorCode;
  }
  return -1;
}

// A fresh folder under the system's temporary folder, removed with everything in it at the end.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vellumo-XXXXXX").string();
    if (!mkdtemp(pattern.data())) ADD_FAILURE() << "cannot make a scratch folder";
    path_ = pattern;
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  std::string operator/(const std::string& relative) const { return (path_ / relative).string(); }

  void Write(const std::string& relative, const std::string& bytes) const {
    const auto file = path_ / relative;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << bytes;
  }
  std::string Read(const std::string& relative) const {
    std::ifstream in(path_ / relative, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  bool Exists(const std::string& relative) const {
    return std::filesystem::exists(path_ / relative);
  }
  // Every file below the folder, as paths relative to it.
  std::set<std::string> Files() const {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(path_)) {
      if (!entry.is_directory()) names.insert(entry.path().lexically_relative(path_).string());
    }
    return names;
  }

 private:
  std::filesystem::path path_;
};

// Windows-style paths on real files: "C:\docs\a.txt" is <root>/C/docs/a.txt and a bare
// "memo.qzv" is <root>/memo.qzv, as if <root> were the current folder. Temporary names are made
// by the Windows rule (the folder ends at the last "\" or ":").
class WindowsPathFileSystem final : public IFileSystem {
 public:
  WindowsPathFileSystem(std::filesystem::path root, IFileSystem& inner)
      : root_(std::move(root)), inner_(inner) {}

  std::string Map(const std::string& path) const {
    std::string mapped;
    for (const char c : path)
      mapped += (c == '\\' || c == ':') ? '/' : c;
    return root_.string() + "/" + mapped;
  }

  int OpenRead(const std::string& path, std::unique_ptr<IFile>& file) override {
    return inner_.OpenRead(Map(path), file);
  }
  int ProbeWrite(const std::string& path, std::unique_ptr<IFile>& direct) override {
    return inner_.ProbeWrite(Map(path), direct);
  }
  std::string TemporaryPathBeside(const std::string& target) override {
    const auto cut = target.find_last_of("\\:");
    const std::string folder = cut == std::string::npos ? "" : target.substr(0, cut + 1);
    return folder + "~tmp-" + std::to_string(++temporaries_) + ".tmp";
  }
  int CreateNew(const std::string& path, std::unique_ptr<IFile>& file) override {
    return inner_.CreateNew(Map(path), file);
  }
  int Replace(const std::string& from, const std::string& to) override {
    return inner_.Replace(Map(from), Map(to));
  }
  int Remove(const std::string& path) override { return inner_.Remove(Map(path)); }

 private:
  std::filesystem::path root_;
  IFileSystem& inner_;
  int temporaries_ = 0;
};

enum class FileOp { OpenRead, ProbeWrite, CreateNew, Read, Write, Flush, Close, Replace, Remove };
inline constexpr std::array kFileOps{FileOp::OpenRead, FileOp::ProbeWrite, FileOp::CreateNew,
                                     FileOp::Read,     FileOp::Write,      FileOp::Flush,
                                     FileOp::Close,    FileOp::Replace,    FileOp::Remove};

inline const char* FileOpName(FileOp op) {
  constexpr const char* kNames[] = {"OpenRead", "ProbeWrite", "CreateNew", "Read",  "Write",
                                    "Flush",    "Close",      "Replace",   "Remove"};
  return kNames[static_cast<int>(op)];
}

// Wraps a file system and makes the Nth call of any operation fail with a chosen error number
// (the call then does nothing, except that a failing Close still releases the file). Counts calls
// and the files open at any moment.
class FaultyFileSystem final : public IFileSystem {
 public:
  explicit FaultyFileSystem(IFileSystem& inner) : inner_(inner) {}

  // The nth call (from 1) of op fails with error.
  void FailNth(FileOp op, int nth, int error) { faults_[{op, nth}] = error; }
  int Calls(FileOp op) const {
    const auto it = calls_.find(op);
    return it == calls_.end() ? 0 : it->second;
  }
  int openFiles = 0;

  int OpenRead(const std::string& path, std::unique_ptr<IFile>& file) override {
    if (const int error = Fault(FileOp::OpenRead)) return error;
    return Wrap(inner_.OpenRead(path, file), file);
  }
  int ProbeWrite(const std::string& path, std::unique_ptr<IFile>& direct) override {
    if (const int error = Fault(FileOp::ProbeWrite)) return error;
    const int error = inner_.ProbeWrite(path, direct);
    if (direct) Wrap(error, direct);
    return error;
  }
  std::string TemporaryPathBeside(const std::string& target) override {
    return inner_.TemporaryPathBeside(target);
  }
  int CreateNew(const std::string& path, std::unique_ptr<IFile>& file) override {
    if (const int error = Fault(FileOp::CreateNew)) return error;
    return Wrap(inner_.CreateNew(path, file), file);
  }
  int Replace(const std::string& from, const std::string& to) override {
    if (const int error = Fault(FileOp::Replace)) return error;
    return inner_.Replace(from, to);
  }
  int Remove(const std::string& path) override {
    if (const int error = Fault(FileOp::Remove)) return error;
    return inner_.Remove(path);
  }

 private:
  class File final : public IFile {
   public:
    File(FaultyFileSystem& owner, std::unique_ptr<IFile> inner)
        : owner_(owner), inner_(std::move(inner)) {
      ++owner_.openFiles;
    }
    ~File() override {
      if (inner_) --owner_.openFiles;
    }
    int Read(char* buffer, std::size_t capacity, std::size_t& got) override {
      got = 0;
      if (const int error = owner_.Fault(FileOp::Read)) return error;
      return inner_->Read(buffer, capacity, got);
    }
    int Write(const char* data, std::size_t size) override {
      if (const int error = owner_.Fault(FileOp::Write)) return error;
      return inner_->Write(data, size);
    }
    int Flush() override {
      if (const int error = owner_.Fault(FileOp::Flush)) return error;
      return inner_->Flush();
    }
    int Close() override {
      const int fault = owner_.Fault(FileOp::Close);
      const int error = inner_->Close();
      inner_.reset();
      --owner_.openFiles;
      return fault ? fault : error;
    }
    std::uint64_t SizeHint() override { return inner_->SizeHint(); }
    bool CanRewind() override { return inner_->CanRewind(); }
    int Rewind() override { return inner_->Rewind(); }

   private:
    FaultyFileSystem& owner_;
    std::unique_ptr<IFile> inner_;
  };

  int Fault(FileOp op) {
    const int n = ++calls_[op];
    const auto it = faults_.find({op, n});
    return it == faults_.end() ? kFileOk : it->second;
  }
  int Wrap(int error, std::unique_ptr<IFile>& file) {
    if (error == kFileOk) file = std::make_unique<File>(*this, std::move(file));
    return error;
  }

  IFileSystem& inner_;
  std::map<FileOp, int> calls_;
  std::map<std::pair<FileOp, int>, int> faults_;
};

}  // namespace vellumo::testing
