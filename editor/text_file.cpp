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

// A temporary file being written: unless kept, it is closed and removed when this goes away.
class PendingFile {
 public:
  PendingFile(IFileSystem& files, std::string path, std::unique_ptr<IFile> file)
      : files_(files), path_(std::move(path)), file_(std::move(file)) {}
  ~PendingFile() {
    if (kept_) return;
    file_.reset();
    (void)files_.Remove(path_);
  }
  PendingFile(const PendingFile&) = delete;
  PendingFile& operator=(const PendingFile&) = delete;

  IFile& file() { return *file_; }
  const std::string& path() const { return path_; }
  void Close() {
    const int error = file_->Close();
    file_.reset();
    Check(error);
  }
  void Keep() { kept_ = true; }

 private:
  IFileSystem& files_;
  std::string path_;
  std::unique_ptr<IFile> file_;
  bool kept_ = false;
};

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

void WriteTextFile(IFileSystem& files, const std::string& path, TextView text) {
  Check(files.ProbeWrite(path));
  std::unique_ptr<IFile> file;
  std::string temporary;
  int error = kErrorFileExists;
  for (int attempt = 0; attempt < kTemporaryNameAttempts && error == kErrorFileExists; ++attempt) {
    temporary = files.TemporaryPathBeside(path);
    error = files.CreateNew(temporary, file);
  }
  Check(error);
  PendingFile pending(files, temporary, std::move(file));
  Check(pending.file().Write(text.data(), text.size()));
  Check(pending.file().Flush());
  pending.Close();
  Check(files.Replace(pending.path(), path));
  pending.Keep();
}

}  // namespace vellumo
