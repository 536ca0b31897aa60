#include "cli/streams.h"

#include <limits>
#include <memory>

#include "cli/cli_error.h"
#include "cli/interrupt_cleanup.h"
#include "cli/standard_streams.h"
#include "editor/text_file.h"
#include "editor/text_reader.h"

namespace vellumo {
namespace {

// Another process may have left a file of the same name; a few fresh names settle that.
constexpr int kTemporaryNameAttempts = 16;

std::string NameOf(const std::string& path, const char* streamName) {
  return path.empty() ? streamName : path;
}

}  // namespace

InputFile::InputFile(const std::string& path) : name_(NameOf(path, kStandardInputName)) {
  if (path.empty()) {
    file_ = StandardInput();
  } else if (const int error = SystemFileSystem().OpenRead(path, file_); error != kFileOk) {
    throw FileFailure(name_, error);
  }
  const std::uint64_t size = file_->SizeHint();
  if (size < std::numeric_limits<std::size_t>::max() / 2)
    sizeHint_ = static_cast<std::size_t>(size);
}

std::size_t InputFile::Read(char* buffer, std::size_t size) {
  std::size_t got = 0;
  const int error = file_->Read(buffer, size, got);
  if (error == kErrorBrokenPipe) return 0;  // the writing end has gone: the end, as for the editor
  if (error != kFileOk) throw FileFailure(name_, error);
  return got;
}

Text ReadInputText(const std::string& path) {
  if (!path.empty()) {
    // The editor's own reading, so that both read the same text from the same bytes.
    try {
      return ReadTextFile(SystemFileSystem(), path);
    } catch (const EInOutError& e) {
      throw FileFailure(path, e.ErrorCode);
    }
  }
  InputFile input(path);
  Text text;
  text.reserve(input.SizeHint() + 2);
  const auto block = std::make_unique_for_overwrite<char[]>(kReadBlockSize);
  TextReader reader;
  for (;;) {
    const std::size_t n = input.Read(block.get(), kReadBlockSize);
    if (n == 0 || !reader.Feed(TextView(block.get(), n), text)) break;
  }
  reader.Finish(text);
  return text;
}

OutputFile::OutputFile(const std::string& path) : path_(path) {
  if (path.empty()) {
    file_ = StandardOutput();
    return;
  }
  IFileSystem& files = SystemFileSystem();
  std::unique_ptr<IFile> direct;
  Check(files.ProbeWrite(path, direct), path);
  int error = kErrorFileExists;
  for (int attempt = 0; attempt < kTemporaryNameAttempts && error == kErrorFileExists; ++attempt) {
    temp_ = files.TemporaryPathBeside(path);
    error = files.CreateNew(temp_, file_);
  }
  if (error != kFileOk) temp_.clear();
  Check(error, path);
  RemoveOnInterrupt(temp_);
}

OutputFile::~OutputFile() {
  if (temp_.empty() || done_) return;
  file_.reset();
  (void)SystemFileSystem().Remove(temp_);
  KeepOnInterrupt();
}

void OutputFile::Check(int error, const std::string& path) const {
  if (error != kFileOk) throw FileFailure(NameOf(path, kStandardOutputName), error);
}

void OutputFile::Write(const char* data, std::size_t size) {
  Check(file_->Write(data, size), path_);
}

void OutputFile::Commit() {
  if (temp_.empty()) return;
  Check(file_->Flush(), path_);
  const int closed = file_->Close();
  file_.reset();
  Check(closed, path_);
  Check(SystemFileSystem().Replace(temp_, path_), path_);
  done_ = true;
  KeepOnInterrupt();
}

}  // namespace vellumo
