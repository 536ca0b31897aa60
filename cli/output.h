// The tool's output: standard output, or a named file written the editor's way (a temporary file
// beside it, readable by its owner only, that replaces it once complete and is removed when the
// run fails or a signal ends it), or a device or FIFO written directly.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "cipher/text.h"
#include "editor/text_file.h"
#include "platform/file_system.h"

namespace vellumo {

class Output {
 public:
  // An empty path is standard output. A named file that the editor could not save over
  // (read-only, a folder, held by another process) is refused here; a device or FIFO is opened.
  // Nothing is created yet. Throws FileFailure.
  explicit Output(const std::string& path);
  ~Output();
  Output(const Output&) = delete;
  Output& operator=(const Output&) = delete;

  // True when what is written goes out at once (standard output, a device, a FIFO): nothing may
  // be written before the whole input is known to be good.
  bool Direct() const;
  // Creates the temporary file for a named file.
  void Begin();
  void Write(TextView bytes);
  // Completes the output: the temporary file replaces the named one.
  void Commit();

 private:
  template <class Step>
  void Try(Step step);

  std::string name_;
  std::unique_ptr<IFile> standard_;   // standard output
  std::optional<FileWriter> writer_;  // a named file
};

}  // namespace vellumo
