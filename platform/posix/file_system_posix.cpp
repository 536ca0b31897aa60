// The file-system port over POSIX calls, for the unit tests and the command-line tool.
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <string_view>
#include <vector>

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

std::string FolderOf(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The path of the file that path names once its symbolic links are followed, also when the last
// link names nothing yet, so that saving through a dangling link creates the file it names. A
// file is replaced there, so that saving keeps the link. A loop of links is left for the next
// call on the path to report.
std::string FollowLinks(const std::string& path) {
  constexpr int kMaxLinks = 40;  // as the kernel allows
  std::string current = path;
  std::vector<char> target(PATH_MAX + 1);
  for (int hop = 0; hop < kMaxLinks; ++hop) {
    struct stat st {};
    if (lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
    const ssize_t n = readlink(current.c_str(), target.data(), target.size());
    if (n <= 0 || static_cast<std::size_t>(n) >= target.size()) return current;
    const std::string_view next(target.data(), static_cast<std::size_t>(n));
    current = next[0] == '/' ? std::string(next) : FolderOf(current).append(next);
  }
  return current;
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

mode_t CurrentUmask() {
  const mode_t mask = umask(0);
  umask(mask);
  return mask;
}

class PosixFile final : public IFile {
 public:
  PosixFile(int fd, std::uint64_t size, bool canRewind)
      : fd_(fd), size_(size), canRewind_(canRewind) {}
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
  bool CanRewind() override { return canRewind_; }
  int Rewind() override { return ::lseek(fd_, 0, SEEK_SET) == 0 ? kFileOk : LastError(); }

 private:
  int fd_;
  std::uint64_t size_;
  bool canRewind_;
};

class PosixFileSystem final : public IFileSystem {
 public:
  int OpenRead(const std::string& path, std::unique_ptr<IFile>& file) override {
    if (HasZero(path)) return kErrorInvalidName;
    // A blocking open: a FIFO is read once its writer has come, as every tool reads one.
    int fd = -1;
    do {
      fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return errno == ENOENT ? MissingError(path) : LastError();
    struct stat st {};
    if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
      const int error = S_ISDIR(st.st_mode) ? kErrorAccessDenied : LastError();
      ::close(fd);
      return error;
    }
    const bool regular = S_ISREG(st.st_mode);
    const auto size = regular ? static_cast<std::uint64_t>(st.st_size) : 0;
    file = std::make_unique<PosixFile>(fd, size, regular && size > 0);
    return kFileOk;
  }

  int ProbeWrite(const std::string& path, std::unique_ptr<IFile>& direct) override {
    if (HasZero(path)) return kErrorInvalidName;
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) {
      if (errno != ENOENT) return LastError();
      // No such file: fine when its folder exists, as for a new file.
      const int missing = MissingError(FollowLinks(path));
      return missing == kErrorFileNotFound ? kFileOk : missing;
    }
    if (S_ISDIR(st.st_mode)) return kErrorAccessDenied;
    if (!S_ISREG(st.st_mode)) {
      // A device or a FIFO takes the bytes as they come (a FIFO once its reader has come).
      int fd = -1;
      do {
        fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
      } while (fd < 0 && errno == EINTR);
      if (fd < 0) return LastError();
      direct = std::make_unique<PosixFile>(fd, 0, false);
      return kFileOk;
    }
    // A file without any write permission counts as read-only even for a user whom the system
    // would let write it.
    if ((st.st_mode & 0222) == 0) return kErrorAccessDenied;
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
    return FolderOf(FollowLinks(target)) + name;
  }

  int CreateNew(const std::string& path, std::unique_ptr<IFile>& file) override {
    if (HasZero(path)) return kErrorInvalidName;
    // Owner only: while it is written, and after a crash, the text is nobody else's to read.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0600);
    if (fd < 0) {
      // Creating a file fails with ENOENT only when its folder is missing.
      return errno == ENOENT ? kErrorPathNotFound : LastError();
    }
    file = std::make_unique<PosixFile>(fd, 0, false);
    return kFileOk;
  }

  int Replace(const std::string& from, const std::string& to) override {
    if (HasZero(from) || HasZero(to)) return kErrorInvalidName;
    const std::string target = FollowLinks(to);
    GiveWhatBelongsToTarget(from, target);
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

 private:
  // The new file takes the old one's owner, group and permissions, so that a private file stays
  // private and a shared one shared; a new file gets what any new file would. This goes through
  // the open file, never through a name that something else could have been put under. Failing
  // to copy them is not worth losing the save for: the file then stays readable by its owner only.
  static void GiveWhatBelongsToTarget(const std::string& from, const std::string& target) {
    const int fd = ::open(from.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return;
    struct stat old {};
    mode_t mode = 0666 & ~CurrentUmask();
    if (stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
      mode = old.st_mode & 07777;
      // Only the superuser may give a file away; a user may give it a group they belong to.
      if (fchown(fd, old.st_uid, old.st_gid) != 0 &&
          fchown(fd, static_cast<uid_t>(-1), old.st_gid) != 0) {
        // The group's permissions were meant for the old group, not for ours.
        mode &= ~static_cast<mode_t>(070);
      }
    }
    (void)fchmod(fd, mode);
    ::close(fd);
  }
};

}  // namespace

IFileSystem& SystemFileSystem() {
  static PosixFileSystem fileSystem;
  return fileSystem;
}

int CreateScratchFile(std::unique_ptr<IFile>& file) {
  const char* tmp = std::getenv("TMPDIR");
  const std::string folder = tmp && *tmp ? tmp : "/tmp";
  int fd = -1;
#ifdef O_TMPFILE
  fd = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
#endif
  if (fd < 0) {
    // A file system without unnamed files: a named one (mode 0600), removed at once. Signals wait
    // meanwhile, so that none can end the process between the two.
    std::string name = folder + "/.~vellumo-XXXXXX";
    sigset_t all;
    sigset_t old;
    sigfillset(&all);
    sigprocmask(SIG_BLOCK, &all, &old);
    fd = mkostemp(name.data(), O_CLOEXEC);
    const int error = errno;
    if (fd >= 0) ::unlink(name.c_str());
    sigprocmask(SIG_SETMASK, &old, nullptr);
    if (fd < 0) return Win32ErrorFromErrno(error);
  }
  file = std::make_unique<PosixFile>(fd, 0, true);
  return kFileOk;
}

}  // namespace vellumo
