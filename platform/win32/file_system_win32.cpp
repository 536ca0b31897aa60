// The file-system port over the Win32 W calls. Paths arrive as UTF-8; long ones are made absolute
// and given the "\\?\" prefix, so a path is used in full or fails, never cut to another name.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>

#include "platform/file_system.h"
#include "platform/utf8.h"
#include "platform/win32/unicode.h"

namespace vellumo {
namespace {

// Below this length the plain form works everywhere; the margin leaves room for the names that
// the calls themselves derive (a directory must also hold an 8.3 name).
constexpr std::size_t kPlainPathLimit = MAX_PATH - 12;

// UTF-8 to UTF-16 for a path, by the program's one conversion (which carries a lone surrogate,
// as a file dialog may return one, in its three-byte form); a path that is no valid UTF-8 or holds
// a zero byte would reach the call as another name, so it is refused.
int WidePath(const std::string& path, std::wstring& wide) {
  if (path.find('\0') != std::string::npos) return kErrorInvalidName;
  for (std::size_t pos = 0; pos < path.size();) {
    if (ReadUtf8(path, pos, /*allowSurrogates=*/true) == kNotUtf8) return kErrorInvalidName;
  }
  wide = Utf8ToWide(path);
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
  if (full.rfind(L"\\\\.\\", 0) == 0) {
    // A device-namespace path ("\\.\Z:\..."): the same name in the verbatim namespace.
    wide = L"\\\\?\\" + full.substr(4);
  } else if (full.rfind(L"\\\\", 0) == 0) {
    wide = L"\\\\?\\UNC\\" + full.substr(2);
  } else {
    wide = L"\\\\?\\" + full;
  }
  return kFileOk;
}

int LastError() {
  return static_cast<int>(GetLastError());
}

bool IsSeparator(wchar_t c) {
  return c == L'\\' || c == L'/' || c == L':';
}

// The folder part of a path, separator included; empty for a bare name.
std::wstring FolderOf(const std::wstring& path) {
  for (std::size_t i = path.size(); i > 0; --i) {
    if (IsSeparator(path[i - 1])) return path.substr(0, i);
  }
  return {};
}

// The path of the file that path names, symbolic links followed, as the system resolves it: a
// file is replaced there, so that saving keeps the link. (Opening follows the host's symbolic
// links under Wine too, which it does not mark as reparse points.) A file with other hard links is
// left under the name given, since the system might name it by another of its links; a path that
// names nothing yet stays as it is.
std::wstring FollowLinks(const std::wstring& path) {
  const HANDLE h =
      CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return path;
  BY_HANDLE_FILE_INFORMATION info{};
  std::wstring final(MAX_PATH, L'\0');
  DWORD n = 0;
  if (GetFileInformationByHandle(h, &info) && info.nNumberOfLinks == 1 &&
      !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
    n = GetFinalPathNameByHandleW(h, final.data(), static_cast<DWORD>(final.size()),
                                  FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (n >= final.size()) {
      final.resize(n);
      n = GetFinalPathNameByHandleW(h, final.data(), static_cast<DWORD>(final.size()),
                                    FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    }
  }
  CloseHandle(h);
  if (n == 0 || n >= final.size()) return path;
  final.resize(n);
  return final;
}

// A fresh name for a temporary file in folder (which ends with its separator, or is empty).
std::wstring TemporaryName(const std::wstring& folder) {
  static std::atomic<unsigned> counter{0};
  wchar_t name[64];
  swprintf(name, 64, L"~vellumo-%lx-%x.tmp", static_cast<unsigned long>(GetCurrentProcessId()),
           counter++);
  return folder + name;
}

class Win32File final : public IFile {
 public:
  Win32File(HANDLE handle, std::uint64_t size, bool canRewind)
      : handle_(handle), size_(size), canRewind_(canRewind) {}
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
  bool CanRewind() override { return canRewind_; }
  int Rewind() override {
    return SetFilePointerEx(handle_, LARGE_INTEGER{}, nullptr, FILE_BEGIN) ? kFileOk : LastError();
  }

 private:
  HANDLE handle_;
  std::uint64_t size_;
  bool canRewind_;
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
    const auto bytes = known ? static_cast<std::uint64_t>(size.QuadPart) : 0;
    file = std::make_unique<Win32File>(h, bytes, bytes > 0);
    return kFileOk;
  }

  // The save writes a temporary file that then replaces the target, which would succeed where
  // writing the target itself is refused. The target is therefore opened for writing first, as
  // the direct write would open it (and closed at once, unchanged): a read-only file or a folder
  // gives access denied, a file that another process holds without write sharing gives a sharing
  // violation, just as before. A device ("NUL", a pipe) stays open to be written directly.
  int ProbeWrite(const std::string& path, std::unique_ptr<IFile>& direct) override {
    std::wstring wide;
    if (const int error = WidePath(path, wide)) return error;
    const std::wstring target = FollowLinks(wide);
    // The read-only attribute is tested by itself too: where the file system does not enforce it
    // on a write open (Wine running as root), the old refusal must still hold.
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))) {
      return kErrorAccessDenied;
    }
    const HANDLE h = CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
      const int error = LastError();
      return error == kErrorFileNotFound ? kFileOk : error;
    }
    if (GetFileType(h) != FILE_TYPE_DISK) {
      direct = std::make_unique<Win32File>(h, 0, false);
      return kFileOk;
    }
    CloseHandle(h);
    return kFileOk;
  }

  std::string TemporaryPathBeside(const std::string& target) override {
    std::wstring wide;
    if (WidePath(target, wide) == kFileOk) {
      const std::wstring followed = FollowLinks(wide);
      if (followed != wide) return WideToUtf8(TemporaryName(FolderOf(followed)));
    }
    // "\", "/" and ":" are single bytes in UTF-8, never part of another character.
    const auto cut = target.find_last_of("\\/:");
    const std::string folder = cut == std::string::npos ? std::string() : target.substr(0, cut + 1);
    return folder + WideToUtf8(TemporaryName({}));
  }

  int CreateNew(const std::string& path, std::unique_ptr<IFile>& file) override {
    std::wstring wide;
    if (const int error = WidePath(path, wide)) return error;
    const HANDLE h = CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return LastError();
    file = std::make_unique<Win32File>(h, 0, false);
    return kFileOk;
  }

  int Replace(const std::string& from, const std::string& to) override {
    std::wstring wideFrom;
    std::wstring wideTo;
    if (const int error = WidePath(from, wideFrom)) return error;
    if (const int error = WidePath(to, wideTo)) return error;
    const std::wstring target = FollowLinks(wideTo);
    const DWORD old = GetFileAttributesW(target.c_str());
    if (old == INVALID_FILE_ATTRIBUTES) {
      // A new file: one rename on the same volume.
      if (!MoveFileExW(wideFrom.c_str(), target.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return LastError();
      }
      return kFileOk;
    }
    // The attributes are given to the new file beforehand too, where the system's replace does
    // not carry them over itself (Wine).
    constexpr DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                            FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    (void)SetFileAttributesW(wideFrom.c_str(),
                             (old & kKept) ? (old & kKept) : FILE_ATTRIBUTE_NORMAL);
    // The system's replace keeps the old file's security, attributes, streams and creation time.
    // With a backup name, a replace that fails half-way leaves both files under names we know;
    // without it the old file could be left under a name nobody knows.
    const std::wstring backup = TemporaryName(FolderOf(target));
    if (ReplaceFileW(target.c_str(), wideFrom.c_str(), backup.c_str(), 0, nullptr, nullptr)) {
      (void)DeleteFileW(backup.c_str());
      return kFileOk;
    }
    const int error = LastError();
    if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) {
      // The old file has gone to the backup name and the new one could not take its place: the
      // old one goes back.
      (void)MoveFileExW(backup.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH);
    }
    return error;
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

int CreateScratchFile(std::unique_ptr<IFile>& file) {
  std::wstring folder(MAX_PATH + 1, L'\0');
  const DWORD n = GetTempPathW(static_cast<DWORD>(folder.size()), folder.data());
  if (n == 0 || n > folder.size()) return LastError();
  folder.resize(n);
  // The user's temporary folder is the user's own; the file goes away when it is closed.
  for (int attempt = 0; attempt < 16; ++attempt) {
    const HANDLE h =
        CreateFileW(TemporaryName(folder).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                    CREATE_NEW, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
      file = std::make_unique<Win32File>(h, 0, true);
      return kFileOk;
    }
    if (GetLastError() != ERROR_FILE_EXISTS) return LastError();
  }
  return kErrorFileExists;
}

}  // namespace vellumo
