#include "editor/text_file.h"

#include <limits>
#include <memory>
#include <vector>

#include "editor/in_out_error.h"
#include "editor/text_reader.h"

namespace vellumo {
namespace {

void Check(int error) {
  if (error != kFileOk) RaiseInOutError(error);
}

// Another process may have left a file of the same name; a few fresh names settle that.
constexpr int kTemporaryNameAttempts = 16;

}  // namespace

Text ReadTextFile(IFileSystem& files, const std::string& path) {
  std::unique_ptr<IFile> file;
  Check(files.OpenRead(path, file));
  Text text;
  // Reading adds at most one byte per lone CR, so the file's size is nearly always enough.
  const std::uint64_t size = file->SizeHint();
  if (size < std::numeric_limits<std::size_t>::max() / 2) {
    text.reserve(static_cast<std::size_t>(size) + 2);
  }
  std::vector<char> block(kReadBlockSize);
  TextReader reader;
  for (;;) {
    std::size_t got = 0;
    const int error = file->Read(block.data(), block.size(), got);
    if (error == kErrorBrokenPipe || (error == kFileOk && got == 0)) break;
    Check(error);  // the file is closed as it goes out of scope
    if (!reader.Feed(TextView(block.data(), got), text)) break;
  }
  reader.Finish(text);
  const int error = file->Close();
  file.reset();
  Check(error);
  return text;
}

FileWriter::FileWriter(IFileSystem& files, std::string path)
    : files_(files), path_(std::move(path)) {
  Check(files_.ProbeWrite(path_, file_));
  direct_ = file_ != nullptr;
}

FileWriter::~FileWriter() {
  if (temporary_.empty() || done_) return;
  file_.reset();
  (void)files_.Remove(temporary_);
}

const std::string& FileWriter::Begin() {
  if (direct_) return temporary_;
  int error = kErrorFileExists;
  for (int attempt = 0; attempt < kTemporaryNameAttempts && error == kErrorFileExists; ++attempt) {
    temporary_ = files_.TemporaryPathBeside(path_);
    error = files_.CreateNew(temporary_, file_);
  }
  if (error != kFileOk) temporary_.clear();
  Check(error);
  return temporary_;
}

void FileWriter::Write(TextView bytes) {
  Check(file_->Write(bytes.data(), bytes.size()));
}

void FileWriter::Commit() {
  // A device or a FIFO cannot be flushed to storage; it only needs closing.
  if (!direct_) Check(file_->Flush());
  const int closed = file_->Close();
  file_.reset();
  Check(closed);
  if (!direct_) Check(files_.Replace(temporary_, path_));
  done_ = true;
}

void WriteTextFile(IFileSystem& files, const std::string& path, TextView text) {
  FileWriter writer(files, path);
  writer.Begin();
  writer.Write(text);
  writer.Commit();
}

}  // namespace vellumo
