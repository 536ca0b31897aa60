// The tool's input and output: a named file (through the file-system port, as the editor opens
// and saves) or a standard stream, as bytes without any newline translation. A named output is
// written to a temporary file beside it and moved into place only when complete, so a failure
// never leaves half a file. Failures throw FileFailure with the platform's error number.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "cipher/text.h"
#include "platform/file_system.h"

namespace vellumo {

class InputFile {
 public:
  // An empty path is standard input.
  explicit InputFile(const std::string& path);

  // The size of a regular file; 0 when unknown.
  std::size_t SizeHint() const { return sizeHint_; }
  // Reads up to size bytes; 0 at the end.
  std::size_t Read(char* buffer, std::size_t size);

 private:
  std::string name_;
  std::unique_ptr<IFile> file_;
  std::size_t sizeHint_ = 0;
};

// The text the editor reads from the file at path (standard input when empty): the text-file
// reading rules applied to its bytes.
Text ReadInputText(const std::string& path);

class OutputFile {
 public:
  // An empty path is standard output. A named file that the editor could not save over
  // (read-only, held by another process) is refused here, before anything is written.
  explicit OutputFile(const std::string& path);
  // Removes the temporary file unless Commit succeeded.
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  void Write(const char* data, std::size_t size);
  // Completes the output: the temporary file is flushed and replaces the named one.
  void Commit();

 private:
  void Check(int error, const std::string& path) const;

  std::string path_;
  std::string temp_;  // empty for standard output
  std::unique_ptr<IFile> file_;
  bool done_ = false;
};

}  // namespace vellumo
