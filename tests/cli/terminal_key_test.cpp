// The key typed at the terminal, through the real binary on a pseudo-terminal: the prompt, no
// echo, the conversion from the terminal's UTF-8 to code page 932, an empty line and the end of
// input.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>

#include "cipher/key_messages.h"
#include "cli_process.h"

namespace vellumo {
namespace {

using testing::CliResult;
using testing::RunCli;
using testing::ScratchDir;

// A pseudo-terminal whose other side the test reads and types into.
class PseudoTerminal {
 public:
  PseudoTerminal() : master_(posix_openpt(O_RDWR | O_NOCTTY)) {
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) {
      ADD_FAILURE() << "no pseudo-terminal";
      return;
    }
    device_ = ptsname(master_);
  }
  ~PseudoTerminal() {
    if (master_ >= 0) close(master_);
  }
  const std::string& Device() const { return device_; }
  const std::string& Screen() const { return screen_; }

  // Reads what the program shows until the screen holds text; false after the deadline or once
  // the program has gone.
  bool WaitFor(const std::string& text) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (screen_.find(text) == std::string::npos) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          deadline - std::chrono::steady_clock::now());
      pollfd p{master_, POLLIN, 0};
      if (left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) <= 0) return false;
      char buffer[256];
      const ssize_t n = read(master_, buffer, sizeof buffer);
      if (n <= 0) return false;
      screen_.append(buffer, static_cast<std::size_t>(n));
    }
    return true;
  }
  void Type(const std::string& keys) {
    EXPECT_EQ(write(master_, keys.data(), keys.size()), static_cast<ssize_t>(keys.size()));
  }

 private:
  int master_;
  std::string device_;
  std::string screen_;
};

const std::string kPrompt = std::string(kAskKeyCaption) + ": ";

TEST(CliTerminalKey, TypedUnseenAndConvertedToCp932) {
  ScratchDir dir;
  const std::string text = "text to hide\r\n";
  const CliResult withKeyFile = RunCli({"encrypt", "--seed", "11", "--key-file",
                                        dir.Write("key",
                                                  "\x8c\xae"
                                                  "pw")},
                                       text);

  // The output goes to a file: no temporary file may exist while the key is asked for.
  struct Case {
    const char* what;
    std::string typed;
    int status;
    std::string out;
    std::string err;
  };
  const Case cases[] = {
      {"a key with a double-byte character", "鍵pw\n", 0, withKeyFile.out, ""},
      {"an empty line is an empty key, refused", "\n", 1, "",
       "vellumo-cli: the key is empty, which would leave the text as it is; nothing is written\n"},
      {"the end of input cancels", "\x04", 1, "", "vellumo-cli: no key was entered\n"},
      {"Ctrl+C ends the run", "\x03", 128 + SIGINT, "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchDir outDir;
    const std::string out = outDir / "out.qzv";
    PseudoTerminal terminal;
    bool prompted = false;
    testing::CliRunOptions options;
    options.extraEnv = {"LC_ALL=C.UTF-8"};
    options.terminalPath = terminal.Device();
    options.whileRunning = [&] {
      prompted = terminal.WaitFor(kPrompt);
      if (prompted) terminal.Type(c.typed);
    };
    const CliResult r = RunCli({"encrypt", "--seed", "11", "-o", out}, text, options);
    EXPECT_TRUE(prompted) << "the terminal showed: " << terminal.Screen();
    EXPECT_EQ(r.status, c.status) << r.err;
    EXPECT_EQ(r.err, c.err);
    if (c.status == 0) {
      EXPECT_EQ(testing::ReadFile(out), c.out);
    } else {
      EXPECT_EQ(outDir.Names(), std::vector<std::string>{});
    }
    if (c.status < 128) terminal.WaitFor("\n");
    EXPECT_EQ(terminal.Screen().find("pw"), std::string::npos) << "the key was echoed";
  }
}

}  // namespace
}  // namespace vellumo
