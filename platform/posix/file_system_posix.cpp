// The file-system port over POSIX calls, for the unit tests and the command-line tool.
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>

#include "platform/file_system.h"
#include "platform/posix/errno_map.h"

namespace vellumo {

namespace {

int LastError() {
  return Win32ErrorFromErrno(errno);
}

// A zero byte would silently cut the path short and name another file.
bool HasZero(const std::string& path) {
  return path.find('\0') != std::string::npos;
}

// A symbolic link is replaced through its target, so that saving keeps the link.
std::string ResolveLink(const std::string& path) {
  struct stat st {};
  if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
  char* resolved = realpath(path.c_str(), nullptr);
  if (!resolved) return path;
  std::string result(resolved);
  free(resolved);
  return result;
}

std::string FolderOf(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// ENOENT names no folder: as on Windows, a missing file in an existing folder is "file not found",
// a path whose folder does not exist "path not found".
int MissingError(const std::string& path) {
  const std::string folder = FolderOf(path);
  struct stat st {};
  if (folder.empty() || (stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode))) {
    return kErrorFileNotFound;
  }
  return kErrorPathNotFound;
}

class PosixFile final : public IFile {
 public:
  PosixFile(int fd, std::uint64_t size) : fd_(fd), size_(size) {}
  ~PosixFile() override {
    if (fd_ >= 0) ::close(fd_);
  }
  PosixFile(const PosixFile&) = delete;
  PosixFile& operator=(const PosixFile&) = delete;

  int Read(char* buffer, std::size_t capacity, std::size_t& got) override {
    got = 0;
    for (;;) {
      const ssize_t n = ::read(fd_, buffer, std::min<std::size_t>(capacity, SSIZE_MAX));
      if (n >= 0) {
        got = static_cast<std::size_t>(n);
        return kFileOk;
      }
      if (errno != EINTR) return LastError();
    }
  }

  int Write(const char* data, std::size_t size) override {
    while (size > 0) {
      const ssize_t n = ::write(fd_, data, std::min<std::size_t>(size, SSIZE_MAX));
      if (n < 0) {
        if (errno == EINTR) continue;
        return LastError();
      }
      if (n == 0) return kErrorDiskFull;  // a file that takes no more bytes is full
      data += n;
      size -= static_cast<std::size_t>(n);
    }
    return kFileOk;
  }

  int Flush() override { return ::fsync(fd_) == 0 ? kFileOk : LastError(); }

  int Close() override {
    const int fd = fd_;
    fd_ = -1;
    // After EINTR the descriptor is already released on Linux; retrying could close another.
    if (::close(fd) != 0 && errno != EINTR) return LastError();
    return kFileOk;
  }

  std::uint64_t SizeHint() override { return size_; }

 private:
  int fd_;
  std::uint64_t size_;
};

class PosixFileSystem final : public IFileSystem {
 public:
  int OpenRead(const std::string& path, std::unique_ptr<IFile>& file) override {
    if (HasZero(path)) return kErrorInvalidName;
    // Non-blocking only for the open itself, so that a FIFO without a writer cannot hang it.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return errno == ENOENT ? MissingError(path) : LastError();
    struct stat st {};
    if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
      const int error = S_ISDIR(st.st_mode) ? kErrorAccessDenied : LastError();
      ::close(fd);
      return error;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    const auto size = S_ISREG(st.st_mode) ? static_cast<std::uint64_t>(st.st_size) : 0;
    file = std::make_unique<PosixFile>(fd, size);
    return kFileOk;
  }

  int ProbeWrite(const std::string& path) override {
    if (HasZero(path)) return kErrorInvalidName;
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) {
      if (errno != ENOENT) return LastError();
      // No such file: fine when its folder exists, as for a new file.
      const int missing = MissingError(path);
      return missing == kErrorFileNotFound ? kFileOk : missing;
    }
    // Only regular files are replaced; a file without any write permission counts as read-only
    // even for a user whom the system would let write it.
    if (!S_ISREG(st.st_mode) || (st.st_mode & 0222) == 0) return kErrorAccessDenied;
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return LastError();
    ::close(fd);
    return kFileOk;
  }

  std::string TemporaryPathBeside(const std::string& target) override {
    static std::atomic<unsigned> counter{0};
    char name[64];
    std::snprintf(name, sizeof name, ".~vellumo-%lx-%x.tmp", static_cast<unsigned long>(getpid()),
                  counter++);
    return FolderOf(ResolveLink(target)) + name;
  }

  int CreateNew(const std::string& path, std::unique_ptr<IFile>& file) override {
    if (HasZero(path)) return kErrorInvalidName;
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd < 0) {
      // Creating a file fails with ENOENT only when its folder is missing.
      return errno == ENOENT ? kErrorPathNotFound : LastError();
    }
    file = std::make_unique<PosixFile>(fd, 0);
    return kFileOk;
  }

  int Replace(const std::string& from, const std::string& to) override {
    if (HasZero(from) || HasZero(to)) return kErrorInvalidName;
    const std::string target = ResolveLink(to);
    // The new file keeps the old one's permissions (a private file stays private). Failing to
    // copy them is not worth losing the save for.
    struct stat st {};
    if (stat(target.c_str(), &st) == 0) (void)chmod(from.c_str(), st.st_mode & 07777);
    if (std::rename(from.c_str(), target.c_str()) != 0) return LastError();
    // Make the rename itself durable; a folder that cannot be synced changes nothing.
    const std::string folder = FolderOf(target);
    const int dir =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
      (void)fsync(dir);
      ::close(dir);
    }
    return kFileOk;
  }

  int Remove(const std::string& path) override {
    if (HasZero(path)) return kErrorInvalidName;
    return ::unlink(path.c_str()) == 0 ? kFileOk : LastError();
  }
};

}  // namespace

IFileSystem& SystemFileSystem() {
  static PosixFileSystem fileSystem;
  return fileSystem;
}

}  // namespace vellumo
