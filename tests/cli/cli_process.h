// Runs the real vellumo-cli binary for the tests: arguments, standard input and a scratch folder
// in; exit status, standard output and standard error out. The child runs in a session of its
// own, without a terminal, unless a test gives it one.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "cipher/text.h"

namespace vellumo::testing {

struct CliResult {
  int status = -1;  // the exit status; 128 + the signal's number when a signal ended it
  std::string out;
  std::string err;
};

// A folder under the system's temporary folder, removed with everything in it.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::string& Path() const { return path_; }
  // The path of name inside the folder.
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }
  // Writes bytes to the file name inside the folder; answers its path.
  std::string Write(const std::string& name, TextView bytes) const;
  // The names in the folder, sorted.
  std::vector<std::string> Names() const;

 private:
  std::string path_;
};

// The binary under test.
const char* CliPath();

struct CliRunOptions {
  std::vector<std::string> extraEnv;   // "NAME=value" entries added to the environment
  std::string stdoutPath;              // standard output goes there instead of into CliResult::out
  std::string terminalPath;            // a terminal device to become the child's terminal
  std::function<void()> whileRunning;  // runs after the start, before the wait for the end
  bool stdinPipe = false;              // standard input is a pipe fed with the input text
  // Standard output is a pipe that this reads to its end while the child runs; what it answers
  // becomes CliResult::out.
  std::function<std::string(int fd)> readStdout;
  std::vector<int> closedDescriptors;    // of 0, 1 and 2, those the child starts without
  std::vector<int> ignoredSignals;       // signals the child starts with ignored (as under nohup)
  std::string workingFolder;             // the child's current folder, when given
  std::function<void(int pid)> started;  // told the child's process id at once
};

// Runs vellumo-cli with args, feeding in on standard input.
CliResult RunCli(const std::vector<std::string>& args, TextView in = {},
                 const CliRunOptions& options = {});

std::string ReadFile(const std::string& path);

// Reads a descriptor to its end.
std::string ReadAll(int fd);

// Writes bytes into a FIFO once a reader has opened it, so the reader is there first and must
// wait for its writer; the writing runs on a thread of its own. between, when given, runs after
// the first `split` bytes.
class LateFifoWriter {
 public:
  LateFifoWriter(std::string path, std::string bytes, std::size_t split = 0,
                 std::function<void()> between = {});
  ~LateFifoWriter();
  LateFifoWriter(const LateFifoWriter&) = delete;
  LateFifoWriter& operator=(const LateFifoWriter&) = delete;
  // False when no reader came within the time limit.
  bool ReaderCame();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// Waits (polling, with a time limit) until a name in the folder begins with prefix; answers it.
std::string WaitForNameStartingWith(const ScratchDir& dir, const std::string& prefix);

// Where two byte strings first differ, for failure messages about long outputs.
std::string FirstDifference(TextView got, TextView expected);

}  // namespace vellumo::testing
