#include "cli_process.h"

#include <dirent.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

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

CliResult RunCli(const std::vector<std::string>& args, TextView in, const CliRunOptions& options) {
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

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, inPath.c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  // Opened after the new session begins, the terminal becomes the session's own.
  if (!options.terminalPath.empty()) {
    posix_spawn_file_actions_addopen(&actions, 3, options.terminalPath.c_str(), O_RDWR, 0);
  }
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  // A new session has no controlling terminal: the tool cannot ask for a key there.
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID);

  CliResult result;
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, CliPath(), &actions, &attr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attr);
  if (spawned != 0) throw std::runtime_error(std::string("cannot start ") + CliPath());
  if (options.whileRunning) options.whileRunning();
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
  }
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  if (options.stdoutPath.empty()) result.out = ReadFile(outPath);
  result.err = ReadFile(errPath);
  return result;
}

}  // namespace vellumo::testing
