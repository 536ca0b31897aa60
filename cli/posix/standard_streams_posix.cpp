#include <errno.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>

#include "cli/standard_streams.h"
#include "platform/posix/errno_map.h"

namespace vellumo {
namespace {

class StandardStreamFile final : public IFile {
 public:
  explicit StandardStreamFile(int fd) : fd_(fd) {
    struct stat st {};
    if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) size_ = static_cast<std::uint64_t>(st.st_size);
  }

  int Read(char* buffer, std::size_t capacity, std::size_t& got) override {
    got = 0;
    for (;;) {
      const ssize_t n = read(fd_, buffer, std::min<std::size_t>(capacity, SSIZE_MAX));
      if (n >= 0) {
        got = static_cast<std::size_t>(n);
        return kFileOk;
      }
      if (errno != EINTR) return Win32ErrorFromErrno(errno);
    }
  }

  int Write(const char* data, std::size_t size) override {
    while (size > 0) {
      const ssize_t n = write(fd_, data, std::min<std::size_t>(size, SSIZE_MAX));
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return Win32ErrorFromErrno(errno);
      if (n == 0) return kErrorDiskFull;
      data += n;
      size -= static_cast<std::size_t>(n);
    }
    return kFileOk;
  }

  int Flush() override { return kFileOk; }
  int Close() override { return kFileOk; }
  std::uint64_t SizeHint() override { return size_; }
  bool CanRewind() override { return false; }
  int Rewind() override { return kErrorAccessDenied; }

 private:
  int fd_;
  std::uint64_t size_ = 0;
};

}  // namespace

std::unique_ptr<IFile> StandardInput() {
  return std::make_unique<StandardStreamFile>(STDIN_FILENO);
}

std::unique_ptr<IFile> StandardOutput() {
  return std::make_unique<StandardStreamFile>(STDOUT_FILENO);
}

}  // namespace vellumo
