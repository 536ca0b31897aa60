// The file-system port over the Win32 W calls. Paths arrive as UTF-8; long ones are made absolute
// and given the "\\?\" prefix, so a path is used in full or fails, never cut to another name.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>

#include "platform/file_system.h"

namespace vellumo {
namespace {

// Below this length the plain form works everywhere; the margin leaves room for the names that
// the calls themselves derive (a directory must also hold an 8.3 name).
constexpr std::size_t kPlainPathLimit = MAX_PATH - 12;

// UTF-8 to UTF-16 for a path; a path that is no valid UTF-8 or holds a zero byte would reach the
// call as another name, so it is refused.
int WidePath(const std::string& path, std::wstring& wide) {
  if (path.find('\0') != std::string::npos) return kErrorInvalidName;
  wide.clear();
  if (path.empty()) return kFileOk;
  if (path.size() > 0x7FFFFFFF) return kErrorFilenameTooLong;
  const int size = static_cast<int>(path.size());
  const int need =
      MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path.data(), size, nullptr, 0);
  if (need <= 0) return kErrorInvalidName;
  wide.resize(static_cast<std::size_t>(need));
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path.data(), size, wide.data(), need);
  if (wide.size() < kPlainPathLimit || wide.rfind(L"\\\\?\\", 0) == 0) return kFileOk;

  // A long path: resolve it (relative parts, "." and "..", "/") as the plain form would, then
  // pass it verbatim.
  std::wstring full(wide.size() + MAX_PATH, L'\0');
  for (;;) {
    const DWORD n =
        GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (n == 0) return static_cast<int>(GetLastError());
    if (n < full.size()) {
      full.resize(n);
      break;
    }
    full.resize(n);
  }
  if (full.rfind(L"\\\\", 0) == 0) {
    wide = L"\\\\?\\UNC\\" + full.substr(2);
  } else {
    wide = L"\\\\?\\" + full;
  }
  return kFileOk;
}

int LastError() {
  return static_cast<int>(GetLastError());
}

class Win32File final : public IFile {
 public:
  Win32File(HANDLE handle, std::uint64_t size) : handle_(handle), size_(size) {}
  ~Win32File() override {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  Win32File(const Win32File&) = delete;
  Win32File& operator=(const Win32File&) = delete;

  int Read(char* buffer, std::size_t capacity, std::size_t& got) override {
    got = 0;
    DWORD n = 0;
    const auto ask = static_cast<DWORD>(std::min<std::size_t>(capacity, 1u << 30));
    if (!ReadFile(handle_, buffer, ask, &n, nullptr)) return LastError();
    got = n;
    return kFileOk;
  }

  int Write(const char* data, std::size_t size) override {
    while (size > 0) {
      DWORD n = 0;
      const auto ask = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
      if (!WriteFile(handle_, data, ask, &n, nullptr)) return LastError();
      if (n == 0) return kErrorDiskFull;  // a file that takes no more bytes is full
      data += n;
      size -= n;
    }
    return kFileOk;
  }

  int Flush() override { return FlushFileBuffers(handle_) ? kFileOk : LastError(); }

  int Close() override {
    const HANDLE handle = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    return CloseHandle(handle) ? kFileOk : LastError();
  }

  std::uint64_t SizeHint() override { return size_; }

 private:
  HANDLE handle_;
  std::uint64_t size_;
};

class Win32FileSystem final : public IFileSystem {
 public:
  int OpenRead(const std::string& path, std::unique_ptr<IFile>& file) override {
    std::wstring wide;
    if (const int error = WidePath(path, wide)) return error;
    const HANDLE h = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return LastError();
    LARGE_INTEGER size{};
    const bool known = GetFileType(h) == FILE_TYPE_DISK && GetFileSizeEx(h, &size);
    file = std::make_unique<Win32File>(h, known ? static_cast<std::uint64_t>(size.QuadPart) : 0);
    return kFileOk;
  }

  // The save writes a temporary file and renames it over the target, which would succeed where
  // writing the target itself is refused. The target is therefore opened for writing first, as
  // the direct write would open it (and closed at once, unchanged): a read-only file or a folder
  // gives access denied, a file that another process holds without write sharing gives a sharing
  // violation, just as before.
  int ProbeWrite(const std::string& path) override {
    std::wstring wide;
    if (const int error = WidePath(path, wide)) return error;
    // The read-only attribute is tested by itself too: where the file system does not enforce it
    // on a write open (Wine running as root), the old refusal must still hold.
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))) {
      return kErrorAccessDenied;
    }
    const HANDLE h = CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
      const int error = LastError();
      return error == kErrorFileNotFound ? kFileOk : error;
    }
    CloseHandle(h);
    return kFileOk;
  }

  std::string TemporaryPathBeside(const std::string& target) override {
    static std::atomic<unsigned> counter{0};
    char name[64];
    std::snprintf(name, sizeof name, "~vellumo-%lx-%x.tmp",
                  static_cast<unsigned long>(GetCurrentProcessId()), counter++);
    // "\", "/" and ":" are single bytes in UTF-8, never part of another character.
    const auto cut = target.find_last_of("\\/:");
    return (cut == std::string::npos ? std::string() : target.substr(0, cut + 1)) + name;
  }

  int CreateNew(const std::string& path, std::unique_ptr<IFile>& file) override {
    std::wstring wide;
    if (const int error = WidePath(path, wide)) return error;
    const HANDLE h = CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return LastError();
    file = std::make_unique<Win32File>(h, 0);
    return kFileOk;
  }

  int Replace(const std::string& from, const std::string& to) override {
    std::wstring wideFrom;
    std::wstring wideTo;
    if (const int error = WidePath(from, wideFrom)) return error;
    if (const int error = WidePath(to, wideTo)) return error;
    // The new file takes the old one's attributes. Failing to copy them is not worth losing the
    // save for.
    const DWORD old = GetFileAttributesW(wideTo.c_str());
    if (old != INVALID_FILE_ATTRIBUTES) {
      constexpr DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                              FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
      (void)SetFileAttributesW(wideFrom.c_str(),
                               (old & kKept) ? (old & kKept) : FILE_ATTRIBUTE_NORMAL);
    }
    // One rename on the same volume: the target names the old or the new content, never neither.
    if (!MoveFileExW(wideFrom.c_str(), wideTo.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      return LastError();
    }
    return kFileOk;
  }

  int Remove(const std::string& path) override {
    std::wstring wide;
    if (const int error = WidePath(path, wide)) return error;
    return DeleteFileW(wide.c_str()) ? kFileOk : LastError();
  }
};

}  // namespace

IFileSystem& SystemFileSystem() {
  static Win32FileSystem fileSystem;
  return fileSystem;
}

}  // namespace vellumo
