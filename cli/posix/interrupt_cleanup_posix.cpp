#include <limits.h>
#include <signal.h>
#include <unistd.h>

#include <cstring>
#include <iterator>

#include "cli/interrupt_cleanup.h"

namespace vellumo {
namespace {

char pendingPath[PATH_MAX + 1];
constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
struct sigaction savedActions[std::size(kSignals)];
bool watching = false;

extern "C" void RemovePendingFile(int sig) {
  unlink(pendingPath);
  signal(sig, SIG_DFL);
  raise(sig);
}

}  // namespace

void RemoveOnInterrupt(const std::string& path) {
  if (path.size() > PATH_MAX || watching) return;
  std::memcpy(pendingPath, path.c_str(), path.size() + 1);
  struct sigaction action {};
  action.sa_handler = RemovePendingFile;
  sigemptyset(&action.sa_mask);
  for (std::size_t i = 0; i < std::size(kSignals); ++i) {
    sigaction(kSignals[i], &action, &savedActions[i]);
  }
  watching = true;
}

void KeepOnInterrupt() {
  if (!watching) return;
  for (std::size_t i = 0; i < std::size(kSignals); ++i) {
    sigaction(kSignals[i], &savedActions[i], nullptr);
  }
  watching = false;
}

}  // namespace vellumo
