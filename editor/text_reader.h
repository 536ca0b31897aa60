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
  // Completes the last line at the physical end of the file.
  void Finish(Text& out);

 private:
  bool afterCR_ = false;   // the last byte taken was a CR: an LF directly after it is skipped
  bool lineOpen_ = false;  // bytes of a line have been taken since the last break
  bool ended_ = false;     // a byte 26 was seen
};

// The text a whole file of these bytes reads as.
Text ReadTextRules(TextView bytes);

}  // namespace vellumo
