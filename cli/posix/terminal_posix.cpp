#include <errno.h>
#include <fcntl.h>
#include <iconv.h>
#include <langinfo.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <cstring>

#include "cli/cli_error.h"
#include "cli/standard_streams.h"
#include "cli/terminal.h"
#include "platform/posix/iconv_open_failed.h"
#include "platform/secret.h"

namespace vellumo {
namespace {

void WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;  // nowhere left to report to
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
}

// While echo is off, a signal that ends the process first turns it back on.
int ttyFd = -1;
termios savedTerminal;
struct sigaction savedActions[4];
constexpr int kRestoreSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

extern "C" void RestoreTerminal(int sig) {
  tcsetattr(ttyFd, TCSAFLUSH, &savedTerminal);
  signal(sig, SIG_DFL);
  raise(sig);
}

class EchoOff {
 public:
  explicit EchoOff(int fd) {
    ttyFd = fd;
    struct sigaction action {};
    action.sa_handler = RestoreTerminal;
    sigemptyset(&action.sa_mask);
    for (std::size_t i = 0; i < std::size(kRestoreSignals); ++i) {
      // Only a default action is replaced: an ignored signal (nohup) stays ignored.
      sigaction(kRestoreSignals[i], nullptr, &savedActions[i]);
      if (!(savedActions[i].sa_flags & SA_SIGINFO) && savedActions[i].sa_handler == SIG_DFL) {
        sigaction(kRestoreSignals[i], &action, nullptr);
      }
    }
    termios quiet = savedTerminal;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHOE | ECHOK | ECHONL);
    quiet.c_lflag |= ICANON;
    tcsetattr(fd, TCSAFLUSH, &quiet);
  }
  ~EchoOff() {
    tcsetattr(ttyFd, TCSAFLUSH, &savedTerminal);
    for (std::size_t i = 0; i < std::size(kRestoreSignals); ++i) {
      sigaction(kRestoreSignals[i], &savedActions[i], nullptr);
    }
  }
  EchoOff(const EchoOff&) = delete;
  EchoOff& operator=(const EchoOff&) = delete;
};

bool IsUtf8Compatible(const char* codeset) {
  // The C locale's ASCII is taken as UTF-8: terminals there almost always send UTF-8.
  return std::strcmp(codeset, "UTF-8") == 0 || std::strcmp(codeset, "ANSI_X3.4-1968") == 0;
}

// The typed bytes in the terminal's encoding, as UTF-8.
SecretText ToUtf8(SecretText typed, const char* codeset) {
  if (IsUtf8Compatible(codeset)) return typed;
  const iconv_t cd = iconv_open("UTF-8", codeset);
  if (IconvOpenFailed(cd)) {
    throw CliError(
        std::string("the terminal's encoding ") + codeset + " is not supported; use --key-file",
        kExitRefused);
  }
  SecretText utf8;
  std::size_t r = 0;
  std::size_t srcLeft = typed.size();
  utf8.Fill(typed.size() * 4 + 4, [&](char* out) {
    char* src = typed.data();
    char* dst = out;
    std::size_t dstLeft = typed.size() * 4 + 4;
    r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    return static_cast<std::size_t>(dst - out);
  });
  iconv_close(cd);
  if (r == static_cast<std::size_t>(-1)) {
    throw CliError("the key typed is not valid " + std::string(codeset) + " text (at byte " +
                       std::to_string(typed.size() - srcLeft + 1) + ")",
                   kExitRefused);
  }
  return utf8;
}

}  // namespace

int WriteText(StandardStream stream, std::string_view utf8) {
  auto file = stream == StandardStream::Output ? StandardOutput() : nullptr;
  if (file) return file->Write(utf8.data(), utf8.size());
  WriteAll(STDERR_FILENO, utf8);
  return kFileOk;
}

KeyEntry ReadKeyFromTerminal(std::string_view prompt, SecretText& utf8Key) {
  const int fd = open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return KeyEntry::NoTerminal;
  if (tcgetattr(fd, &savedTerminal) != 0) {
    close(fd);
    return KeyEntry::NoTerminal;
  }
  const char* codeset = nl_langinfo(CODESET);
  SecretText typed;
  bool lineEnded = false;
  {
    // Echo goes off before the prompt shows, so nothing typed after it can appear.
    EchoOff echoOff(fd);
    WriteAll(fd, IsUtf8Compatible(codeset) ? prompt : std::string_view("Key: "));
    char c = 0;
    for (;;) {
      const ssize_t n = read(fd, &c, 1);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      if (c == '\n' || c == '\r') {
        lineEnded = true;
        break;
      }
      typed.push_back(c);
    }
  }
  WriteAll(fd, "\n");  // the Enter that was not echoed
  close(fd);
  if (!lineEnded) return KeyEntry::Cancelled;
  utf8Key = ToUtf8(std::move(typed), codeset);
  return KeyEntry::Typed;
}

}  // namespace vellumo
