#include "base/signal_cleanup.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstring>

namespace kastel::signal_cleanup {
namespace {

enum class Kind : int { kFree = 0, kUnlink = 1, kTerminal = 2 };

// Fixed slots: the handler may not allocate, and the program never holds more than a few.
struct Slot {
  std::atomic<int> kind{0};
  char path[4096] = {};
  int fd = -1;
  termios saved{};
};

constexpr int kSlots = 8;
Slot g_slots[kSlots];

Token Claim(Kind kind, const char* path, int fd, const termios* saved) {
  for (int i = 0; i < kSlots; ++i) {
    int expected = static_cast<int>(Kind::kFree);
    // The slot is held under a marker the handler skips until its action is filled in.
    if (!g_slots[i].kind.compare_exchange_strong(expected, -1)) continue;
    Slot& s = g_slots[i];
    if (path != nullptr) {
      std::strncpy(s.path, path, sizeof s.path - 1);
      s.path[sizeof s.path - 1] = '\0';
    }
    s.fd = fd;
    if (saved != nullptr) s.saved = *saved;
    s.kind.store(static_cast<int>(kind));
    return i + 1;
  }
  return 0;
}

void Handle(int sig) {
  RunAll();
  signal(sig, SIG_DFL);
  raise(sig);
}

}  // namespace

Token UnlinkOnSignal(const char* path) { return Claim(Kind::kUnlink, path, -1, nullptr); }

Token RestoreTerminalOnSignal(int fd, const termios& saved) {
  return Claim(Kind::kTerminal, nullptr, fd, &saved);
}

void Withdraw(Token token) {
  if (token <= 0 || token > kSlots) return;
  g_slots[token - 1].kind.store(static_cast<int>(Kind::kFree));
}

void RunAll() {
  for (Slot& s : g_slots) {
    switch (static_cast<Kind>(s.kind.load())) {
      case Kind::kUnlink:
        unlink(s.path);
        break;
      case Kind::kTerminal:
        tcsetattr(s.fd, TCSANOW, &s.saved);
        break;
      default:
        break;
    }
  }
}

HoldSignals::HoldSignals() {
  sigset_t fatal;
  sigemptyset(&fatal);
  for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) sigaddset(&fatal, sig);
  pthread_sigmask(SIG_BLOCK, &fatal, &previous_);
}

HoldSignals::~HoldSignals() { pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }

void InstallHandlers() {
  struct sigaction sa {};
  sa.sa_handler = Handle;
  sigemptyset(&sa.sa_mask);
  for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
    sigaddset(&sa.sa_mask, sig);
  }
  for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) sigaction(sig, &sa, nullptr);
  signal(SIGXFSZ, SIG_IGN);
  signal(SIGPIPE, SIG_IGN);
}

}  // namespace kastel::signal_cleanup
