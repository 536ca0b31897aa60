// Splitting a path into folder and file name, and finding its extension, on arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "editor/document_path.h"
#include "fuzz_support.h"

namespace vellumo::fuzz {
namespace {

bool IsSeparator(char c) {
  return c == '\\' || c == ':';
}

bool EndsWith(std::string_view text, std::string_view end) {
  return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

// The folder and the name rejoin to the path; the name holds no separator; the folder is empty
// or ends in one.
void CheckSplit(std::string_view path) {
  const PathParts parts = SplitPath(path);
  FUZZ_CHECK(parts.dir + parts.name == path);
  FUZZ_CHECK(parts.name.find_first_of("\\:") == std::string::npos);
  FUZZ_CHECK(parts.dir.empty() || IsSeparator(parts.dir.back()));
}

// The extension is the end of the file name from its last dot, dot included, or empty when the
// name has no dot.
void CheckExtension(std::string_view path) {
  const std::string extension = PathExtension(path);
  const std::string name = SplitPath(path).name;
  FUZZ_CHECK(EndsWith(path, extension) && EndsWith(name, extension));
  if (!extension.empty()) {
    FUZZ_CHECK(extension.front() == '.');
    FUZZ_CHECK(extension.find('.', 1) == std::string::npos);
  } else {
    FUZZ_CHECK(name.find('.') == std::string::npos);
  }

  bool encrypted = extension.size() == 4;
  for (std::size_t i = 0; encrypted && i < 4; ++i) {
    const char c = extension[i];
    encrypted = c == ".qzv"[i] || c == ".QZV"[i];
  }
  FUZZ_CHECK(IsEncryptedExtension(extension) == encrypted);
}

void Run(std::string_view path) {
  CheckSplit(path);
  CheckExtension(path);
}

}  // namespace
}  // namespace vellumo::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vellumo::fuzz::Run(vellumo::fuzz::AsView(data, size));
  return 0;
}
