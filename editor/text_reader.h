// The reading rules of text files, applied to a stream of blocks: lines end at CR or CR LF and
// are delivered followed by CR LF; a lone LF stays in its line; the file ends at its first byte 26.
#pragma once

#include <cstddef>

#include "cipher/text.h"

namespace vellumo {

class TextReader {
 public:
  // Appends the lines found in the next block of file bytes to out. Answers false once the
  // file's logical end (a byte 26) has been seen; later blocks need not be read.
  bool Feed(TextView block, Text& out);
  // The same for a reader that hands the text on block by block: the text that the next block
  // gives, which is the block itself where the rules change none of its bytes (no byte 26, every
  // CR followed by an LF in it), otherwise what Feed appends to scratch (emptied first).
  TextView Take(TextView block, Text& scratch);
  // Completes the last line at the physical end of the file.
  void Finish(Text& out);
  // A byte 26 was seen: later blocks need not be read.
  bool Ended() const { return ended_; }

 private:
  bool afterCR_ = false;   // the last byte taken was a CR: an LF directly after it is skipped
  bool lineOpen_ = false;  // bytes of a line have been taken since the last break
  bool ended_ = false;     // a byte 26 was seen
};

// The text a whole file of these bytes reads as.
Text ReadTextRules(TextView bytes);

}  // namespace vellumo
