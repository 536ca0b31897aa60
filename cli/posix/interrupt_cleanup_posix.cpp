#include <limits.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <cstring>
#include <iterator>

#include "cli/interrupt_cleanup.h"

namespace vellumo {
namespace {

// Every signal that can be caught and whose default action ends the process.
constexpr int kSignals[] = {
    SIGHUP,    SIGINT,  SIGQUIT, SIGILL,  SIGTRAP, SIGABRT, SIGBUS, SIGFPE,    SIGUSR1, SIGSEGV,
    SIGUSR2,   SIGPIPE, SIGALRM, SIGTERM, SIGXCPU, SIGXFSZ, SIGSYS, SIGVTALRM, SIGPROF,
#ifdef SIGSTKFLT
    SIGSTKFLT,
#endif
#ifdef SIGIO
    SIGIO,
#endif
#ifdef SIGPWR
    SIGPWR,
#endif
};

// Those sent to the process from outside, as against those a thread's own action raises (a write
// to a closed pipe, a fault): only these can be held or left to another thread.
constexpr int kOutsideSignals[] = {
    SIGHUP, SIGINT, SIGQUIT, SIGUSR1, SIGUSR2, SIGALRM, SIGTERM, SIGXCPU, SIGVTALRM, SIGPROF,
#ifdef SIGIO
    SIGIO,
#endif
#ifdef SIGPWR
    SIGPWR,
#endif
};

char pendingPath[PATH_MAX + 1];
bool installed[std::size(kSignals)];
bool watching = false;
sigset_t heldBefore;

template <std::size_t n>
sigset_t SignalSet(const int (&signals)[n]) {
  sigset_t set;
  sigemptyset(&set);
  for (const int sig : signals)
    sigaddset(&set, sig);
  return set;
}

extern "C" void RemovePendingFile(int sig) {
  unlink(pendingPath);
  // Then the signal does what it would have done: its action before ours was the default one.
  signal(sig, SIG_DFL);
  raise(sig);
}

}  // namespace

void HoldInterrupts() {
  const sigset_t set = SignalSet(kOutsideSignals);
  sigprocmask(SIG_BLOCK, &set, &heldBefore);
}

void ReleaseInterrupts() {
  sigprocmask(SIG_SETMASK, &heldBefore, nullptr);
}

void LeaveInterruptsToTheMainThread() {
  const sigset_t set = SignalSet(kOutsideSignals);
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

void RemoveOnInterrupt(const std::string& path) {
  if (path.size() > PATH_MAX || watching) return;
  std::memcpy(pendingPath, path.c_str(), path.size() + 1);
  struct sigaction action {};
  action.sa_handler = RemovePendingFile;
  action.sa_mask = SignalSet(kSignals);
  for (std::size_t i = 0; i < std::size(kSignals); ++i) {
    // Only the default action is replaced: an ignored signal (nohup) stays ignored, and a handler
    // that someone else installed (a sanitizer's) stays in place.
    struct sigaction old {};
    installed[i] = sigaction(kSignals[i], nullptr, &old) == 0 && !(old.sa_flags & SA_SIGINFO) &&
                   old.sa_handler == SIG_DFL && sigaction(kSignals[i], &action, nullptr) == 0;
  }
  watching = true;
}

void KeepOnInterrupt() {
  if (!watching) return;
  for (std::size_t i = 0; i < std::size(kSignals); ++i) {
    if (installed[i]) signal(kSignals[i], SIG_DFL);
  }
  watching = false;
}

}  // namespace vellumo
