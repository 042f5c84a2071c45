#include "run_kastel.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "book_test_util.h"

extern char** environ;

namespace kastel::testing {

Kastel::Kastel(const std::string& home) : home_(home) {
  env_["PATH"] = "/usr/bin:/bin";
  env_["HOME"] = home;
  env_["XDG_CONFIG_HOME"] = home + "/config";
  env_["XDG_DATA_HOME"] = home + "/data";
  env_["KASTEL_TEMPLATE"] = KASTEL_TEST_TEMPLATE;
  env_["LANG"] = "C.UTF-8";
}

void Kastel::SetEnv(const std::string& name, const std::string& value) {
  if (value.empty()) {
    env_.erase(name);
  } else {
    env_[name] = value;
  }
}

std::string Kastel::RegistryFile() const { return home_ + "/config/kastel/addins.reg"; }

RunResult Kastel::Run(const std::vector<std::string>& args, const std::string& cwd) const {
  static int serial = 0;
  const std::string base = home_ + "/run" + std::to_string(serial++);
  const std::string out_file = base + ".out";
  const std::string err_file = base + ".err";

  std::vector<std::string> argv_text = {KASTEL_TEST_BINARY};
  argv_text.insert(argv_text.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : argv_text) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::vector<std::string> env_text;
  for (const auto& [name, value] : env_) env_text.push_back(name + "=" + value);
  std::vector<char*> envp;
  for (std::string& e : env_text) envp.push_back(e.data());
  envp.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, out_file.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, err_file.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (!cwd.empty()) posix_spawn_file_actions_addchdir_np(&actions, cwd.c_str());
  RunResult result;
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) {
    ADD_FAILURE() << "cannot start " << argv[0];
    return result;
  }
  int wait_status = 0;
  ::waitpid(pid, &wait_status, 0);
  result.status = WIFEXITED(wait_status) ? WEXITSTATUS(wait_status) : 128 + WTERMSIG(wait_status);
  result.out = ReadFile(out_file);
  result.err = ReadFile(err_file);
  ::unlink(out_file.c_str());
  ::unlink(err_file.c_str());
  return result;
}

}  // namespace kastel::testing
