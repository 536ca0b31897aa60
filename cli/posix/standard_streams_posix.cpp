#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>

#include "cli/standard_streams.h"
#include "platform/posix/errno_map.h"

namespace vellumo {
namespace {

bool missing[3] = {false, false, false};

class StandardStreamFile final : public IFile {
 public:
  explicit StandardStreamFile(int fd) : fd_(fd) {
    struct stat st {};
    if (missing[fd] || fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return;
    // A regular file is read from where the process found it, as any tool reads it.
    start_ = lseek(fd, 0, SEEK_CUR);
    if (start_ >= 0 && st.st_size > start_) size_ = static_cast<std::uint64_t>(st.st_size - start_);
  }

  int Read(char* buffer, std::size_t capacity, std::size_t& got) override {
    got = 0;
    if (missing[fd_]) return kFileOk;
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
    if (missing[fd_]) return kErrorInvalidHandle;
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
  bool CanRewind() override { return size_ > 0; }
  int Rewind() override {
    return lseek(fd_, start_, SEEK_SET) == start_ ? kFileOk : Win32ErrorFromErrno(errno);
  }

 private:
  int fd_;
  off_t start_ = 0;
  std::uint64_t size_ = 0;
};

}  // namespace

void ProtectStandardStreams() {
  for (int fd = 0; fd < 3; ++fd) {
    if (fcntl(fd, F_GETFD) >= 0 || errno != EBADF) continue;
    // open answers the lowest free descriptor: this one.
    const int opened = open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
    missing[fd] = true;
    if (opened >= 0 && opened != fd) close(opened);
  }
}

std::unique_ptr<IFile> StandardInput() {
  return std::make_unique<StandardStreamFile>(STDIN_FILENO);
}

std::unique_ptr<IFile> StandardOutput() {
  return std::make_unique<StandardStreamFile>(STDOUT_FILENO);
}

}  // namespace vellumo
