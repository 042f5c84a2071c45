// The password prompt on a real terminal (a pseudo-terminal): echo is off while it waits, and
// a Ctrl-C there ends kastel with the terminal's echo on again.
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "book_test_util.h"

namespace kastel::testing {
namespace {

bool EchoOn(int fd) {
  termios t{};
  return tcgetattr(fd, &t) == 0 && (t.c_lflag & ECHO) != 0;
}

// Reads what the program wrote so that it never blocks on a full terminal.
void Drain(int master, int wait_ms) {
  pollfd p{master, POLLIN, 0};
  char buffer[4096];
  while (::poll(&p, 1, wait_ms) > 0 && ::read(master, buffer, sizeof buffer) > 0) {
  }
}

TEST(TerminalEchoTest, CtrlCAtThePasswordPromptLeavesTheTerminalEchoing) {
  const struct {
    const char* name;
    std::vector<std::string> options;
    bool stderr_is_terminal;  // false: a person at the keyboard, the messages going to a file
    const char* typed;        // Enter on the fields before the password
  } cases[] = {
      {"dialog", {"--server", "db1", "--auth", "sql", "--user", "sa"}, true, "\n\n\n"},
      {"--password-stdin",
       {"--server", "db1", "--auth", "sql", "--user", "sa", "--password-stdin"},
       false,
       ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ScratchDir scratch;
    const std::string book = scratch.CopyFixture("three_sheets.xlsx");
    std::vector<std::string> args = {KASTEL_TEST_BINARY, "reverse", book};
    args.insert(args.end(), c.options.begin(), c.options.end());
    const std::string home = scratch.path().string();
    std::vector<std::string> env = {"PATH=/usr/bin:/bin",
                                    "LANG=C.UTF-8",
                                    "HOME=" + home,
                                    "XDG_CONFIG_HOME=" + home + "/config",
                                    "XDG_DATA_HOME=" + home + "/data",
                                    std::string("KASTEL_TEMPLATE=") + KASTEL_TEST_TEMPLATE};
    std::vector<char*> argv, envp;
    for (std::string& a : args) argv.push_back(a.data());
    for (std::string& e : env) envp.push_back(e.data());
    argv.push_back(nullptr);
    envp.push_back(nullptr);

    int master = -1, slave = -1;
    ASSERT_EQ(::openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      ::setsid();
      ::ioctl(slave, TIOCSCTTY, 0);
      ::dup2(slave, STDIN_FILENO);
      ::dup2(slave, STDOUT_FILENO);
      if (c.stderr_is_terminal) {
        ::dup2(slave, STDERR_FILENO);
      } else {
        ::dup2(::open("/dev/null", O_WRONLY), STDERR_FILENO);
      }
      ::execve(argv[0], argv.data(), envp.data());
      ::_exit(127);
    }
    ASSERT_TRUE(EchoOn(slave));
    const std::string typed = c.typed;
    if (!typed.empty()) {
      ASSERT_EQ(::write(master, typed.data(), typed.size()), static_cast<ssize_t>(typed.size()));
    }
    // The prompt is reached when the terminal stops echoing.
    for (int i = 0; i < 200 && EchoOn(slave); ++i) Drain(master, 50);
    EXPECT_FALSE(EchoOn(slave)) << "no password prompt without echo";
    ASSERT_EQ(::write(master, "\x03", 1), 1);  // Ctrl-C, as the terminal sends it
    int status = 0;
    for (int i = 0; i < 200 && ::waitpid(pid, &status, WNOHANG) == 0; ++i) Drain(master, 50);
    if (::waitpid(pid, &status, WNOHANG) == 0) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, &status, 0);
      ADD_FAILURE() << "kastel did not end on Ctrl-C";
    }
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << status;
    EXPECT_TRUE(EchoOn(slave));
    ::close(master);
    ::close(slave);
  }
}

}  // namespace
}  // namespace kastel::testing
