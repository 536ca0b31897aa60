// How a command's work is run over the input, so that no output ever stands for an input that
// turned out unusable and no input is read twice unless it is a regular file:
// - to a named file: one pass into the temporary file, which a failure discards;
// - to an output that takes the bytes at once (standard output, a device, a FIFO): a first pass
//   checks the whole input and a second one writes, over a regular file read again (each piece
//   of it must be as it was), or over a spool of what can be read only once.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "cipher/text.h"
#include "cli/input.h"
#include "cli/output.h"
#include "cli/sink.h"

namespace vellumo {

// The work of one pass over the input's bytes. Throws CliError for an input it cannot use.
class Transform {
 public:
  virtual ~Transform() = default;
  virtual void Feed(TextView piece, Sink& out) = 0;
  // The input has ended (or Done answered true).
  virtual void Finish(Sink& out) = 0;
  // Nothing that follows can change the result, so reading may stop.
  virtual bool Done() const { return false; }
};

// A refusal at a byte of an input that can be read again, whose line the transform did not count
// (counting costs time on every byte of a run that will almost always succeed): the input is read
// again up to that byte, and the refusal's message is before + "line L, byte B" + after.
struct RefusalAt {
  std::uint64_t offset;
  std::string before;
  std::string after;
};

struct Work {
  // Whether the input's first piece (empty when the input is) holds any text; a run without
  // text writes an empty output and asks for no key.
  std::function<bool(TextView first)> holdsText;
  // Asks for the key (before any temporary file exists). Throws CliError.
  std::function<void()> obtainKey;
  // A pass's work; one that need not produce (a first pass that only checks) may skip making
  // the output. One that need not place its refusals throws RefusalAt rather than counting lines.
  std::function<std::unique_ptr<Transform>(bool produce, bool placeRefusals)> makeTransform;
  // Which side of a run over an input that can be read only once is spooled, to a direct output:
  // the output (true) or the input (false). The encrypted side is the one spooled, so that no
  // plain text is stored anywhere.
  bool spoolOutput = false;
};

void RunWork(Input& input, Output& output, const Work& work);

}  // namespace vellumo
