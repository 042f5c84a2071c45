// The password typed at a real (pseudo-)terminal with --password-stdin: asked for without echo,
// and a Ctrl-C at the prompt ends kastel with the terminal echoing again.
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "book_test_util.h"

namespace kastel::testing {
namespace {

bool EchoOn(int fd) {
  termios t{};
  return tcgetattr(fd, &t) == 0 && (t.c_lflag & ECHO) != 0;
}

// Waits up to 10 s for `done`, reading what kastel writes so that it never blocks on output.
template <typename Done>
bool Await(int master, Done done) {
  char buffer[4096];
  for (int i = 0; i < 200 && !done(); ++i) {
    pollfd p{master, POLLIN, 0};
    if (::poll(&p, 1, 50) > 0 && ::read(master, buffer, sizeof buffer) < 0) break;
  }
  return done();
}

TEST(TerminalEchoTest, CtrlCAtThePasswordPromptLeavesTheTerminalEchoing) {
  ScratchDir scratch;
  const std::string book = scratch / "three_sheets.xlsx";
  std::filesystem::copy_file(Fixture("three_sheets.xlsx"), book);
  const std::string home = "HOME=" + scratch.path().string();
  std::string args[] = {KASTEL_TEST_BINARY, "reverse", book, "--auth", "sql", "--user", "sa",
                        "--password-stdin"};
  std::string env[] = {home, "XDG_CONFIG_HOME=" + home.substr(5), "XDG_DATA_HOME=" + home.substr(5),
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
    // A person at the keyboard, the messages going elsewhere: no dialog, only the password.
    ::setsid();
    ::ioctl(slave, TIOCSCTTY, 0);
    ::dup2(slave, STDIN_FILENO);
    ::dup2(slave, STDOUT_FILENO);
    ::dup2(::open("/dev/null", O_WRONLY), STDERR_FILENO);
    ::execve(argv[0], argv.data(), envp.data());
    ::_exit(127);
  }
  EXPECT_TRUE(Await(master, [&] { return !EchoOn(slave); })) << "echo on at the prompt";
  ASSERT_EQ(::write(master, "\x03", 1), 1);  // Ctrl-C, as the terminal sends it
  int status = 0;
  bool ended = false;
  if (!Await(master, [&] { return ended = ended || ::waitpid(pid, &status, WNOHANG) == pid; })) {
    ::kill(pid, SIGKILL);
    ::waitpid(pid, &status, 0);
  }
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << status;
  EXPECT_TRUE(EchoOn(slave));
  ::close(master);
  ::close(slave);
}

}  // namespace
}  // namespace kastel::testing
