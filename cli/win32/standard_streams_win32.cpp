#include <windows.h>

#include <algorithm>

#include "cli/standard_streams.h"

namespace vellumo {
namespace {

// ReadFile and WriteFile count in DWORDs.
constexpr std::size_t kMaxTransfer = std::size_t{1} << 30;

class StandardStreamFile final : public IFile {
 public:
  explicit StandardStreamFile(DWORD which) : h_(GetStdHandle(which)) {
    LARGE_INTEGER size{};
    if (!Usable() || GetFileType(h_) != FILE_TYPE_DISK || !GetFileSizeEx(h_, &size)) return;
    // A file is read from where the process found it, as any tool reads it.
    if (!SetFilePointerEx(h_, LARGE_INTEGER{}, &start_, FILE_CURRENT)) return;
    if (size.QuadPart > start_.QuadPart) {
      size_ = static_cast<std::uint64_t>(size.QuadPart - start_.QuadPart);
    }
  }

  int Read(char* buffer, std::size_t capacity, std::size_t& got) override {
    got = 0;
    if (!Usable()) return kFileOk;  // no standard input at all reads as empty
    DWORD n = 0;
    if (!ReadFile(h_, buffer, static_cast<DWORD>(std::min(capacity, kMaxTransfer)), &n, nullptr)) {
      return static_cast<int>(GetLastError());  // a broken pipe is the end for the caller
    }
    got = n;
    return kFileOk;
  }

  int Write(const char* data, std::size_t size) override {
    if (!Usable()) return ERROR_INVALID_HANDLE;
    while (size > 0) {
      DWORD n = 0;
      if (!WriteFile(h_, data, static_cast<DWORD>(std::min(size, kMaxTransfer)), &n, nullptr)) {
        return static_cast<int>(GetLastError());
      }
      if (n == 0) return kErrorDiskFull;
      data += n;
      size -= n;
    }
    return kFileOk;
  }

  int Flush() override { return kFileOk; }
  int Close() override { return kFileOk; }
  std::uint64_t SizeHint() override { return size_; }
  bool CanRewind() override { return size_ > 0; }
  int Rewind() override {
    return SetFilePointerEx(h_, start_, nullptr, FILE_BEGIN) ? kFileOk
                                                             : static_cast<int>(GetLastError());
  }

 private:
  bool Usable() const { return h_ != nullptr && h_ != INVALID_HANDLE_VALUE; }

  HANDLE h_;
  LARGE_INTEGER start_{};
  std::uint64_t size_ = 0;
};

}  // namespace

// A missing standard handle is null on Windows, and no file the tool opens can take its place.
void ProtectStandardStreams() {}

std::unique_ptr<IFile> StandardInput() {
  return std::make_unique<StandardStreamFile>(STD_INPUT_HANDLE);
}

std::unique_ptr<IFile> StandardOutput() {
  return std::make_unique<StandardStreamFile>(STD_OUTPUT_HANDLE);
}

}  // namespace vellumo
