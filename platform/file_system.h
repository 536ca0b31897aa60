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
};

// Paths are UTF-8. A relative path is resolved against the process's current directory.
class IFileSystem {
 public:
  virtual ~IFileSystem() = default;
  // Opens an existing file for reading; other processes may read it meanwhile but not write it.
  [[nodiscard]] virtual int OpenRead(const std::string& path, std::unique_ptr<IFile>& file) = 0;
  // Tells whether path could be opened for writing now: 0 when it could or when no such file
  // exists (its folder must exist), otherwise the error the write open would give (a read-only
  // file or a folder: access denied; a file another process holds without write sharing: sharing
  // violation). Nothing is changed.
  [[nodiscard]] virtual int ProbeWrite(const std::string& path) = 0;
  // A path in the folder of target, on the same volume, for a temporary file that will replace
  // it. Each call answers another name.
  virtual std::string TemporaryPathBeside(const std::string& target) = 0;
  // Creates a new file for writing (others may read it); kErrorFileExists when path exists.
  [[nodiscard]] virtual int CreateNew(const std::string& path, std::unique_ptr<IFile>& file) = 0;
  // Puts the closed file from in place of to in one step, so that to names either its old or its
  // new content, never a mix or nothing; to keeps its attributes. to need not exist.
  [[nodiscard]] virtual int Replace(const std::string& from, const std::string& to) = 0;
  [[nodiscard]] virtual int Remove(const std::string& path) = 0;
};

// The platform's real file system.
IFileSystem& SystemFileSystem();

}  // namespace vellumo
