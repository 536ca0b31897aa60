#include "cli_process.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace vellumo::testing {

ScratchDir::ScratchDir() {
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/vellumo-cli-test-XXXXXX";
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

ScratchDir::~ScratchDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string ScratchDir::Write(const std::string& name, TextView bytes) const {
  const std::string path = *this / name;
  std::ofstream(path, std::ios::binary)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return path;
}

std::vector<std::string> ScratchDir::Names() const {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(path_)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

const char* CliPath() {
  return VELLUMO_CLI_PATH;
}

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

std::string FirstDifference(TextView got, TextView expected) {
  const auto diff = std::mismatch(got.begin(), got.end(), expected.begin(), expected.end());
  const std::size_t at = static_cast<std::size_t>(diff.first - got.begin());
  if (at == got.size() && at == expected.size()) return "no difference";
  return "sizes " + std::to_string(got.size()) + " and " + std::to_string(expected.size()) +
         ", first difference at byte " + std::to_string(at);
}

std::string ReadAll(int fd) {
  std::string bytes;
  char buffer[65536];
  for (;;) {
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return bytes;
    bytes.append(buffer, static_cast<std::size_t>(n));
  }
}

namespace {

constexpr auto kTimeLimit = std::chrono::seconds(20);

// Writes all of bytes, as far as the reader takes them (a reader that has gone ends it).
void WriteAll(int fd, TextView bytes) {
  while (!bytes.empty()) {
    const ssize_t n = write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
}

// The test writes into pipes whose reader may stop early; that must not end the test.
const bool kPipeSignalIgnored = [] {
  signal(SIGPIPE, SIG_IGN);
  return true;
}();

}  // namespace

struct LateFifoWriter::State {
  std::thread thread;
  bool readerCame = false;
};

LateFifoWriter::LateFifoWriter(std::string path, std::string bytes, std::size_t split,
                               std::function<void()> between)
    : state_(std::make_unique<State>()) {
  (void)kPipeSignalIgnored;
  state_->thread = std::thread([state = state_.get(), path = std::move(path),
                                bytes = std::move(bytes), split, between = std::move(between)] {
    // Opening for writing without blocking succeeds only once a reader has the FIFO open.
    const auto deadline = std::chrono::steady_clock::now() + kTimeLimit;
    int fd = -1;
    while ((fd = open(path.c_str(), O_WRONLY | O_NONBLOCK)) < 0 &&
           std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    if (fd < 0) return;
    state->readerCame = true;
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    WriteAll(fd, TextView(bytes).substr(0, split));
    if (between) between();
    WriteAll(fd, TextView(bytes).substr(std::min(split, bytes.size())));
    close(fd);
  });
}

LateFifoWriter::~LateFifoWriter() {
  if (state_->thread.joinable()) state_->thread.join();
}

bool LateFifoWriter::ReaderCame() {
  if (state_->thread.joinable()) state_->thread.join();
  return state_->readerCame;
}

std::string WaitForNameStartingWith(const ScratchDir& dir, const std::string& prefix) {
  const auto deadline = std::chrono::steady_clock::now() + kTimeLimit;
  while (std::chrono::steady_clock::now() < deadline) {
    for (const auto& name : dir.Names()) {
      if (name.rfind(prefix, 0) == 0) return name;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return {};
}

CliResult RunCli(const std::vector<std::string>& args, TextView in, const CliRunOptions& options) {
  (void)kPipeSignalIgnored;
  // The streams go through files, so that no pipe can fill up and stall either side.
  const ScratchDir io;
  const std::string inPath = io.Write("in", in);
  const std::string outPath = options.stdoutPath.empty() ? io / "out" : options.stdoutPath;
  const std::string errPath = io / "err";

  std::vector<std::string> argStrings{CliPath()};
  argStrings.insert(argStrings.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& a : argStrings)
    argv.push_back(a.data());
  argv.push_back(nullptr);

  std::vector<std::string> envStrings;
  for (char** e = environ; *e; ++e)
    envStrings.emplace_back(*e);
  envStrings.insert(envStrings.end(), options.extraEnv.begin(), options.extraEnv.end());
  std::vector<char*> envp;
  for (auto& e : envStrings)
    envp.push_back(e.data());
  envp.push_back(nullptr);

  int inPipe[2] = {-1, -1};
  int outPipe[2] = {-1, -1};
  if (options.stdinPipe && pipe2(inPipe, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
  if (options.readStdout && pipe2(outPipe, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (options.stdinPipe) {
    posix_spawn_file_actions_adddup2(&actions, inPipe[0], 0);
  } else {
    posix_spawn_file_actions_addopen(&actions, 0, inPath.c_str(), O_RDONLY, 0);
  }
  if (options.readStdout) {
    posix_spawn_file_actions_adddup2(&actions, outPipe[1], 1);
  } else {
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
  }
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  // Opened after the new session begins, the terminal becomes the session's own.
  if (!options.terminalPath.empty()) {
    posix_spawn_file_actions_addopen(&actions, 3, options.terminalPath.c_str(), O_RDWR, 0);
  }
  for (const int fd : options.closedDescriptors)
    posix_spawn_file_actions_addclose(&actions, fd);
  if (!options.workingFolder.empty()) {
    posix_spawn_file_actions_addchdir_np(&actions, options.workingFolder.c_str());
  }
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  // A new session has no controlling terminal: the tool cannot ask for a key there. Every signal
  // starts with its default action, but those the case wants ignored.
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGDEF);
  sigset_t defaults;
  sigfillset(&defaults);
  std::vector<struct sigaction> before(options.ignoredSignals.size());
  for (std::size_t i = 0; i < options.ignoredSignals.size(); ++i) {
    sigdelset(&defaults, options.ignoredSignals[i]);
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigaction(options.ignoredSignals[i], &ignore, &before[i]);
  }
  posix_spawnattr_setsigdefault(&attr, &defaults);

  CliResult result;
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, CliPath(), &actions, &attr, argv.data(), envp.data());
  for (std::size_t i = 0; i < options.ignoredSignals.size(); ++i)
    sigaction(options.ignoredSignals[i], &before[i], nullptr);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attr);
  for (const int fd : {inPipe[0], outPipe[1]}) {
    if (fd >= 0) close(fd);
  }
  if (spawned != 0) throw std::runtime_error(std::string("cannot start ") + CliPath());
  if (options.started) options.started(pid);
  std::thread feeder;
  if (options.stdinPipe) {
    feeder = std::thread([fd = inPipe[1], in] {
      WriteAll(fd, in);
      close(fd);
    });
  }
  if (options.whileRunning) options.whileRunning();
  if (options.readStdout) {
    result.out = options.readStdout(outPipe[0]);
    close(outPipe[0]);
  }
  if (feeder.joinable()) feeder.join();
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
  }
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  if (options.stdoutPath.empty() && !options.readStdout) result.out = ReadFile(outPath);
  result.err = ReadFile(errPath);
  return result;
}

}  // namespace vellumo::testing
