#include "cli/input.h"

#include "cli/cli_error.h"
#include "cli/standard_streams.h"

namespace vellumo {

Input::Input(const std::string& path) : name_(path.empty() ? kStandardInputName : path) {
  if (path.empty()) {
    file_ = StandardInput();
  } else if (const int error = SystemFileSystem().OpenRead(path, file_); error != kFileOk) {
    throw FileFailure(name_, error);
  }
  canReadAgain_ = file_->CanRewind();
  size_ = file_->SizeHint();
}

std::size_t Input::ReadPiece(char* buffer, std::size_t size) {
  std::size_t filled = 0;
  // Reads may come back short (pipes); a piece is filled up to its full size or the end.
  while (filled < size && !atEnd_) {
    std::size_t got = 0;
    const int error = file_->Read(buffer + filled, size - filled, got);
    if (error == kErrorBrokenPipe || (error == kFileOk && got == 0)) {
      atEnd_ = true;
    } else if (error != kFileOk) {
      throw FileFailure(name_, error);
    }
    filled += got;
  }
  return filled;
}

void Input::Rewind() {
  if (const int error = file_->Rewind(); error != kFileOk) throw FileFailure(name_, error);
  atEnd_ = false;
}

}  // namespace vellumo
