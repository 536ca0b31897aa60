// The file-system port: opening, reading, writing, flushing, closing and replacing files, each
// step answering the platform's error number so that every one can fail on its own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace vellumo {

// Error numbers are Win32 GetLastError codes on every platform (the POSIX implementation maps
// errno onto them). 0 means success.
inline constexpr int kFileOk = 0;
inline constexpr int kErrorFileNotFound = 2;       // ERROR_FILE_NOT_FOUND
inline constexpr int kErrorPathNotFound = 3;       // ERROR_PATH_NOT_FOUND
inline constexpr int kErrorTooManyOpenFiles = 4;   // ERROR_TOO_MANY_OPEN_FILES
inline constexpr int kErrorAccessDenied = 5;       // ERROR_ACCESS_DENIED
inline constexpr int kErrorInvalidHandle = 6;      // ERROR_INVALID_HANDLE
inline constexpr int kErrorSharingViolation = 32;  // ERROR_SHARING_VIOLATION
inline constexpr int kErrorFileExists = 80;        // ERROR_FILE_EXISTS
inline constexpr int kErrorBrokenPipe = 109;   // ERROR_BROKEN_PIPE: reading counts it as the end
inline constexpr int kErrorDiskFull = 112;     // ERROR_DISK_FULL
inline constexpr int kErrorInvalidName = 123;  // ERROR_INVALID_NAME
inline constexpr int kErrorFilenameTooLong = 206;  // ERROR_FILENAME_EXCED_RANGE

// An open file. Destroying it closes it if Close was not called, ignoring any failure, so an
// early exit never leaks it.
class IFile {
 public:
  virtual ~IFile() = default;
  // Reads up to capacity bytes; got = 0 at the end of the file.
  [[nodiscard]] virtual int Read(char* buffer, std::size_t capacity, std::size_t& got) = 0;
  // Writes all size bytes or fails.
  [[nodiscard]] virtual int Write(const char* data, std::size_t size) = 0;
  // Makes the written bytes durable on the storage device.
  [[nodiscard]] virtual int Flush() = 0;
  // Closes the file; any later call is an error of the caller.
  [[nodiscard]] virtual int Close() = 0;
  // The file's size when opened, for reserving memory; 0 when unknown. Never fails.
  virtual std::uint64_t SizeHint() = 0;
  // True when the bytes can be read again from where reading began: a regular file that was not
  // empty when opened. Pipes, FIFOs and devices give their bytes once.
  virtual bool CanRewind() = 0;
  // Goes back to where reading began, for a file that CanRewind.
  [[nodiscard]] virtual int Rewind() = 0;
};

// Paths are UTF-8. A relative path is resolved against the process's current directory.
class IFileSystem {
 public:
  virtual ~IFileSystem() = default;
  // Opens an existing file for reading; other processes may read it meanwhile but not write it.
  // A FIFO is opened once its writer has come.
  [[nodiscard]] virtual int OpenRead(const std::string& path, std::unique_ptr<IFile>& file) = 0;
  // Tells whether path could be written now: 0 when it could or when no such file exists (its
  // folder must exist), otherwise the error a write open would give (a read-only file or a
  // folder: access denied; a file another process holds without write sharing: sharing
  // violation). A symbolic link counts as the file it names. When path names something other
  // than a regular file or a folder (a device, a FIFO), it is opened for writing and handed back
  // in direct, to be written in place: replacing it would make no sense. Otherwise nothing is
  // opened or changed.
  [[nodiscard]] virtual int ProbeWrite(const std::string& path, std::unique_ptr<IFile>& direct) = 0;
  // A path in the folder of target (of the file it names, when target is a symbolic link), on the
  // same volume, for a temporary file that will replace it. Each call answers another name.
  virtual std::string TemporaryPathBeside(const std::string& target) = 0;
  // Creates a new file for writing that only its owner may read (others may read it when the
  // platform leaves that to the folder); kErrorFileExists when path exists.
  [[nodiscard]] virtual int CreateNew(const std::string& path, std::unique_ptr<IFile>& file) = 0;
  // Puts the closed file from in place of to in one step, so that to names either its old or its
  // new content, never a mix or nothing. What belongs to the old file stays: its permissions,
  // owner and group where the system permits (POSIX), or its security, attributes, streams and
  // creation time (Windows). A symbolic link stays and the file it names is replaced. to need not
  // exist; a new file gets the permissions any new file would.
  [[nodiscard]] virtual int Replace(const std::string& from, const std::string& to) = 0;
  [[nodiscard]] virtual int Remove(const std::string& path) = 0;
};

// The platform's real file system.
IFileSystem& SystemFileSystem();

// A new file without a name in the system's temporary folder, for bytes that must wait: only its
// owner can open it, and it is gone once closed (or once the process ends, however it ends where
// the platform allows).
[[nodiscard]] int CreateScratchFile(std::unique_ptr<IFile>& file);

}  // namespace vellumo
