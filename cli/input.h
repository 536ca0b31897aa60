// The tool's input: a named file or standard input, opened once and read in pieces of a fixed
// size, and read again from its start where it is a regular file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/file_system.h"

namespace vellumo {

class Input {
 public:
  // An empty path is standard input. Throws FileFailure.
  explicit Input(const std::string& path);

  const std::string& Name() const { return name_; }
  // True when the bytes can be read again (a regular file); pipes, FIFOs and devices give them
  // once.
  bool CanReadAgain() const { return canReadAgain_; }
  // The size when opened of an input that can be read again.
  std::uint64_t Size() const { return size_; }
  // Fills buffer with the next size bytes, fewer only at the end; 0 at the end. A broken pipe is
  // the end, as for the editor. Throws FileFailure.
  std::size_t ReadPiece(char* buffer, std::size_t size);
  // Back to the start, for an input that CanReadAgain. Throws FileFailure.
  void Rewind();

 private:
  std::string name_;
  std::unique_ptr<IFile> file_;
  bool canReadAgain_ = false;
  std::uint64_t size_ = 0;
  bool atEnd_ = false;
};

}  // namespace vellumo
