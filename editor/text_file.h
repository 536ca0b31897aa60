// Reading and writing whole text files through the file-system port. Every failure raises
// EInOutError with the platform's error number.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "cipher/text.h"
#include "platform/file_system.h"

namespace vellumo {

// Files are read in blocks of this size.
inline constexpr std::size_t kReadBlockSize = std::size_t{1} << 20;

// Reads the file at path by the text-file reading rules (lines ending at CR or CR LF, each
// delivered with CR LF; the end at the first byte 26). A read failing with broken pipe counts as
// the end of the file. The file is closed also when reading fails.
Text ReadTextFile(IFileSystem& files, const std::string& path);

// Writes a file without ever destroying the old one: the bytes go to a new file in the same
// folder (readable by its owner only), which is flushed and then replaces the target, keeping
// what belongs to it; on any failure the old file is left as it was and the temporary file is
// removed. A target that could not be opened for writing (read-only, held by another process)
// fails before anything is written. A target that is no regular file (a device, a FIFO) is
// written directly. Every failure raises EInOutError.
class FileWriter {
 public:
  // Checks that path can be written, and opens it when it is to be written directly. Nothing is
  // created yet.
  FileWriter(IFileSystem& files, std::string path);
  // Removes the temporary file unless Commit succeeded.
  ~FileWriter();
  FileWriter(const FileWriter&) = delete;
  FileWriter& operator=(const FileWriter&) = delete;

  // True when the target is written directly: what is written there stays written.
  bool Direct() const { return direct_; }
  // Creates the temporary file (nothing for a direct target) and answers its path, empty for a
  // direct target.
  const std::string& Begin();
  // Appends bytes; Begin must have been called.
  void Write(TextView bytes);
  // Completes the file: the temporary file is flushed and closed, and replaces the target.
  void Commit();

 private:
  IFileSystem& files_;
  std::string path_;
  std::string temporary_;
  std::unique_ptr<IFile> file_;
  bool direct_ = false;
  bool done_ = false;
};

// Replaces the file at path with exactly these bytes, or creates it, through a FileWriter.
void WriteTextFile(IFileSystem& files, const std::string& path, TextView text);

}  // namespace vellumo
