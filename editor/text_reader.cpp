#include "editor/text_reader.h"

#include <algorithm>
#include <cstring>

namespace vellumo {

bool TextReader::Feed(TextView block, Text& out) {
  if (ended_) return false;
  const auto eof = block.find('\x1a');
  if (eof != TextView::npos) {
    block = block.substr(0, eof);
    ended_ = true;
  }
  const char* p = block.data();
  const char* const end = p + block.size();
  while (p < end) {
    if (afterCR_) {
      afterCR_ = false;
      if (*p == '\n') {
        ++p;
        continue;
      }
    }
    const void* cr = std::memchr(p, '\r', static_cast<std::size_t>(end - p));
    const char* stop = cr ? static_cast<const char*>(cr) : end;
    if (stop > p) {
      out.append(p, stop);
      lineOpen_ = true;
    }
    p = stop;
    if (p < end) {  // a CR: the line ends here
      out.append("\r\n", 2);
      lineOpen_ = false;
      afterCR_ = true;
      ++p;
    }
  }
  return !ended_;
}

namespace {

// No byte 26, and every CR has its LF right after it.
bool RulesKeepAsItIs(TextView block) {
  if (std::memchr(block.data(), '\x1a', block.size()) != nullptr) return false;
  const char* p = block.data();
  const char* const end = p + block.size();
  while (const void* cr = std::memchr(p, '\r', static_cast<std::size_t>(end - p))) {
    p = static_cast<const char*>(cr) + 1;
    if (p == end || *p != '\n') return false;
  }
  return true;
}

}  // namespace

TextView TextReader::Take(TextView block, Text& scratch) {
  if (!ended_ && !afterCR_ && RulesKeepAsItIs(block)) {
    if (!block.empty()) lineOpen_ = block.size() < 2 || block.substr(block.size() - 2) != "\r\n";
    return block;
  }
  scratch.clear();
  Feed(block, scratch);
  return scratch;
}

void TextReader::Finish(Text& out) {
  if (lineOpen_) out.append("\r\n", 2);
  lineOpen_ = false;
}

Text ReadTextRules(TextView bytes) {
  Text out;
  out.reserve(bytes.size() + 2);
  TextReader reader;
  reader.Feed(bytes, out);
  reader.Finish(out);
  return out;
}

}  // namespace vellumo
