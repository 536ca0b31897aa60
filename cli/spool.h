// Bytes kept for a later reading: in memory up to a limit, then in a scratch file that only the
// user can open and that is gone once the run ends. It lets a run whose output goes out at once
// make sure of a whole input that can be read only once before it writes anything.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "cipher/text.h"
#include "platform/file_system.h"

namespace vellumo {

class Spool {
 public:
  // Throws FileFailure when the scratch file fails.
  void Write(TextView bytes);
  // Reading starts again from the first byte written.
  void Rewind();
  // Fills buffer with the next bytes, fewer only at the end; 0 at the end.
  std::size_t Read(char* buffer, std::size_t size);

 private:
  void Check(int error) const;

  std::string memory_;
  std::unique_ptr<IFile> file_;
  std::size_t readAt_ = 0;
};

}  // namespace vellumo
