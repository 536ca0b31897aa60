// The text-file reading rules over arbitrary file bytes: TextReader fed in blocks of random sizes
// and ReadTextFile through an in-memory file that delivers short reads and may fail, both checked
// against a byte-at-a-time reading of the rules and against the properties of the text they give.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "app/failure.h"
#include "editor/text_file.h"
#include "editor/text_reader.h"
#include "fuzz_support.h"
#include "platform/file_system.h"

namespace vellumo::fuzz {
namespace {

// The rules one byte at a time: the file ends at its end or its first byte 26; before each line
// the end is tested; a line runs to the next CR; CR LF or a lone CR ends it; each line is
// delivered followed by CR LF.
Text ReferenceRead(TextView bytes) {
  const TextView file = bytes.substr(0, bytes.find('\x1a'));
  Text out;
  std::size_t pos = 0;
  while (pos < file.size()) {
    while (pos < file.size() && file[pos] != '\r')
      out += file[pos++];
    out += "\r\n";
    if (pos < file.size()) {
      ++pos;
      if (pos < file.size() && file[pos] == '\n') ++pos;
    }
  }
  return out;
}

void CheckTextProperties(const Text& text) {
  FUZZ_CHECK(text.find('\x1a') == Text::npos);
  FUZZ_CHECK(text.empty() || (text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0));
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') FUZZ_CHECK(i + 1 < text.size() && text[i + 1] == '\n');
  }
}

// Feeds bytes in blocks of random sizes (empty ones too) and keeps feeding after the reader has
// seen the end, which must add nothing.
Text ReadInBlocks(TextView bytes, Choices& choices) {
  Text out;
  TextReader reader;
  bool more = true;
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    const std::size_t n = std::min(bytes.size() - pos,
                                   choices.Below(4) == 0 ? choices.Below(4096) : choices.Below(9));
    const auto block = ExactCopy(bytes.substr(pos, n));
    const std::size_t before = out.size();
    const bool answer = reader.Feed(TextView(block.data(), n), out);
    if (!more) FUZZ_CHECK(!answer && out.size() == before);
    more = more && answer;
    pos += n;
  }
  reader.Finish(out);
  return out;
}

// What the in-memory file does at one read.
enum class ReadFault { None, BrokenPipe, Error };

struct FileLog {
  int closes = 0;
  int destroyed = 0;
  std::size_t delivered = 0;  // bytes handed out before the fault
};

// What the in-memory file holds and how it misbehaves; shared by the file system and its file.
struct FilePlan {
  TextView bytes;
  Choices& choices;
  ReadFault fault;
  std::size_t faultAt;
  int error;
  FileLog& log;
};

class MemoryFile final : public IFile {
 public:
  explicit MemoryFile(const FilePlan& plan) : plan_(plan) {}
  ~MemoryFile() override { ++plan_.log.destroyed; }

  int Read(char* buffer, std::size_t capacity, std::size_t& got) override {
    got = 0;
    FUZZ_CHECK(plan_.log.closes == 0);
    if (plan_.fault != ReadFault::None && reads_++ == plan_.faultAt) {
      return plan_.fault == ReadFault::BrokenPipe ? kErrorBrokenPipe : plan_.error;
    }
    const std::size_t wanted = plan_.choices.Below(2) ? capacity : 1 + plan_.choices.Below(300);
    got = std::min({capacity, wanted, plan_.bytes.size() - pos_});
    if (got > 0) std::memcpy(buffer, plan_.bytes.data() + pos_, got);
    pos_ += got;
    plan_.log.delivered = pos_;
    return kFileOk;
  }
  int Write(const char*, std::size_t) override { return kErrorAccessDenied; }
  int Flush() override { return kErrorAccessDenied; }
  int Close() override {
    ++plan_.log.closes;
    return kFileOk;
  }
  std::uint64_t SizeHint() override { return plan_.choices.Below(2) ? plan_.bytes.size() : 0; }
  bool CanRewind() override { return false; }
  int Rewind() override { return kErrorAccessDenied; }

 private:
  const FilePlan& plan_;
  std::size_t pos_ = 0;
  std::size_t reads_ = 0;
};

// Holds one file, at the path "memo.txt"; everything else fails.
class MemoryFileSystem final : public IFileSystem {
 public:
  explicit MemoryFileSystem(const FilePlan& plan) : plan_(plan) {}
  int OpenRead(const std::string& path, std::unique_ptr<IFile>& file) override {
    if (path != "memo.txt") return kErrorFileNotFound;
    file = std::make_unique<MemoryFile>(plan_);
    return kFileOk;
  }
  int ProbeWrite(const std::string&, std::unique_ptr<IFile>&) override {
    return kErrorAccessDenied;
  }
  std::string TemporaryPathBeside(const std::string& target) override { return target + "~"; }
  int CreateNew(const std::string&, std::unique_ptr<IFile>&) override { return kErrorAccessDenied; }
  int Replace(const std::string&, const std::string&) override { return kErrorAccessDenied; }
  int Remove(const std::string&) override { return kErrorAccessDenied; }

 private:
  const FilePlan& plan_;
};

// Short reads give the text of the whole file; a broken pipe ends the file where it happens;
// any other failed read raises EInOutError with its number. The file is closed in every case.
void CheckReadTextFile(TextView bytes, Choices& choices) {
  const auto fault = static_cast<ReadFault>(choices.Below(3));
  const std::size_t faultAt = choices.Below(8);
  int error = 1 + static_cast<int>(choices.Below(300));
  if (error == kErrorBrokenPipe) error = kErrorAccessDenied;
  FileLog log;
  const FilePlan plan{bytes, choices, fault, faultAt, error, log};
  MemoryFileSystem files(plan);
  try {
    const Text text = ReadTextFile(files, "memo.txt");
    FUZZ_CHECK(log.closes == 1);
    // Reading may stop early at a byte 26, before a planned fault is reached.
    FUZZ_CHECK(text == ReferenceRead(bytes.substr(0, log.delivered)));
    if (fault == ReadFault::None) FUZZ_CHECK(text == ReferenceRead(bytes));
  } catch (const EInOutError& e) {
    FUZZ_CHECK(fault == ReadFault::Error && e.ErrorCode == error);
  }
  FUZZ_CHECK(log.destroyed == 1);
}

void Run(TextView bytes) {
  Choices choices(HashOf(bytes));

  const Text expected = ReferenceRead(bytes);
  const Text text = ReadTextRules(bytes);
  FUZZ_CHECK(text == expected);
  CheckTextProperties(text);
  // Reading the text again changes nothing.
  FUZZ_CHECK(ReadTextRules(text) == text);

  FUZZ_CHECK(ReadInBlocks(bytes, choices) == expected);
  // ReadTextFile takes a buffer of a whole read block (a megabyte) each time, which costs far
  // more than the rest; one input in sixteen goes through it.
  if (choices.Below(16) == 0) CheckReadTextFile(bytes, choices);
}

}  // namespace
}  // namespace vellumo::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vellumo::fuzz::Run(vellumo::fuzz::AsView(data, size));
  return 0;
}
