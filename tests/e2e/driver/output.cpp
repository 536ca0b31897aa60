#include "tests/e2e/driver/output.h"

#include <cstdio>
#include <string>

namespace vellumo::e2e {

// Bytes go out unchanged: wine passes them to the Unix side as they are, so UTF-8 stays UTF-8
// (the console code page conversions of printf("%ls") would turn them into code page 932).
void PrintLine(std::string_view line) {
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

void PrintDiagnostic(std::string_view text) {
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = text.find('\n', start);
    std::string line = "# ";
    line.append(text.substr(start, end == std::string_view::npos ? end : end - start));
    PrintLine(line);
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
}

}  // namespace vellumo::e2e
