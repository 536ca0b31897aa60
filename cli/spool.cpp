#include "cli/spool.h"

#include <algorithm>
#include <cstring>

#include "cli/cli_error.h"

namespace vellumo {
namespace {

// Up to here the bytes stay in memory, well within the tool's memory budget.
constexpr std::size_t kMemoryLimit = std::size_t{16} << 20;

}  // namespace

void Spool::Check(int error) const {
  if (error != kFileOk) throw FileFailure("temporary file", error);
}

void Spool::Write(TextView bytes) {
  if (!file_ && memory_.size() + bytes.size() <= kMemoryLimit) {
    // Reserved once (pages are only taken as they are written), so growing never copies.
    if (memory_.capacity() < kMemoryLimit) memory_.reserve(kMemoryLimit);
    memory_.append(bytes);
    return;
  }
  if (!file_) {
    Check(CreateScratchFile(file_));
    Check(file_->Write(memory_.data(), memory_.size()));
    std::string().swap(memory_);
  }
  Check(file_->Write(bytes.data(), bytes.size()));
}

void Spool::Rewind() {
  readAt_ = 0;
  if (file_) Check(file_->Rewind());
}

std::size_t Spool::Read(char* buffer, std::size_t size) {
  if (!file_) {
    const std::size_t n = std::min(size, memory_.size() - readAt_);
    std::memcpy(buffer, memory_.data() + readAt_, n);
    readAt_ += n;
    return n;
  }
  std::size_t filled = 0;
  while (filled < size) {
    std::size_t got = 0;
    Check(file_->Read(buffer + filled, size - filled, got));
    if (got == 0) break;
    filled += got;
  }
  return filled;
}

}  // namespace vellumo
