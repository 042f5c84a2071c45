// The program's one place for what must be undone when a signal ends it: a terminal whose echo
// was turned off, a temporary file half written. Each layer registers its undo action while it
// holds the resource and withdraws it when done; the signal handler, installed once by the
// program, runs every registered action with async-signal-safe calls only, then lets the signal
// end the process as it would have.
#ifndef KASTEL_BASE_SIGNAL_CLEANUP_H_
#define KASTEL_BASE_SIGNAL_CLEANUP_H_

#include <signal.h>
#include <termios.h>

#include <thread>
#include <utility>

namespace kastel::signal_cleanup {

// A registration; 0 means none (registration failed because every slot was taken).
using Token = int;

// Removes `path` (copied; at most 4095 bytes) when a fatal signal arrives. Returns the token
// to pass to Withdraw once the file is renamed into place or removed.
Token UnlinkOnSignal(const char* path);

// Restores `saved` on terminal `fd` when a fatal signal arrives.
Token RestoreTerminalOnSignal(int fd, const termios& saved);

// Withdraws a registration; a token of 0 or one already withdrawn is ignored.
void Withdraw(Token token);

// Installs the handler for SIGINT, SIGTERM, SIGHUP and SIGQUIT (each re-raised with its default
// action after the clean-up, so the exit status still says which signal ended the program), and
// ignores SIGXFSZ and SIGPIPE so that an exceeded file-size limit or a closed pipe reaches the
// writer as an error (EFBIG, EPIPE) instead of killing the process silently.
void InstallHandlers();

// Holds the fatal signals back while it lives, so that a resource and its registration come into
// being together: a signal between creating a temporary file and registering it would leave the
// file behind. A signal that arrives meanwhile is delivered when the holder ends.
class HoldSignals {
 public:
  HoldSignals();
  ~HoldSignals();
  HoldSignals(const HoldSignals&) = delete;
  HoldSignals& operator=(const HoldSignals&) = delete;

 private:
  sigset_t previous_;
};

// Starts a helper thread that never takes the fatal signals, so that they keep reaching the
// thread that holds them back while it creates and registers a resource.
template <typename Work>
std::thread QuietThread(Work work) {
  HoldSignals hold;  // the new thread starts with the signals held and keeps them so
  return std::thread(std::move(work));
}

// Runs every registered action now (what the handler does); for tests.
void RunAll();

}  // namespace kastel::signal_cleanup

#endif  // KASTEL_BASE_SIGNAL_CLEANUP_H_
