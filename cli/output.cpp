#include "cli/output.h"

#include "cli/cli_error.h"
#include "cli/interrupt_cleanup.h"
#include "cli/standard_streams.h"

namespace vellumo {

Output::Output(const std::string& path) : name_(path.empty() ? kStandardOutputName : path) {
  if (path.empty()) {
    standard_ = StandardOutput();
    return;
  }
  Try([&] { writer_.emplace(SystemFileSystem(), path); });
}

Output::~Output() {
  // The writer removes an unfinished temporary file before signals stop looking after it.
  writer_.reset();
  KeepOnInterrupt();
}

template <class Step>
void Output::Try(Step step) {
  try {
    step();
  } catch (const EInOutError& e) {
    throw FileFailure(name_, e.ErrorCode);
  }
}

bool Output::Direct() const {
  return !writer_ || writer_->Direct();
}

void Output::Begin() {
  if (!writer_) return;
  // No signal may come between the file's creation and its registration for removal.
  HoldInterrupts();
  try {
    Try([&] {
      const std::string& temporary = writer_->Begin();
      if (!temporary.empty()) RemoveOnInterrupt(temporary);
    });
  } catch (...) {
    ReleaseInterrupts();
    throw;
  }
  ReleaseInterrupts();
}

void Output::Write(TextView bytes) {
  if (!writer_) {
    if (const int error = standard_->Write(bytes.data(), bytes.size())) {
      throw FileFailure(name_, error);
    }
    return;
  }
  Try([&] { writer_->Write(bytes); });
}

void Output::Commit() {
  if (!writer_) return;
  Try([&] { writer_->Commit(); });
  KeepOnInterrupt();
}

}  // namespace vellumo
