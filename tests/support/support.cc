#include "support.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <sstream>

extern char** environ;

namespace kastel::testing {
namespace fs = std::filesystem;

ScratchDir::ScratchDir() {
  static std::atomic<int> counter{0};
  path_ = fs::temp_directory_path() /
          ("kastel-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
  fs::remove_all(path_);
  fs::create_directories(path_);
}

ScratchDir::~ScratchDir() {
  std::error_code ignored;
  fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
  fs::remove_all(path_, ignored);
}

std::string ScratchDir::Sub(const std::string& name) const {
  fs::create_directories(path_ / name);
  return (path_ / name).string();
}

std::vector<std::string> ScratchDir::List() const {
  std::vector<std::string> names;
  for (const auto& item : fs::directory_iterator(path_)) {
    names.push_back(item.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
  ASSERT_TRUE(out.good()) << path;
}

RunResult RunProgram(const std::vector<std::string>& args,
                     const std::map<std::string, std::string>& env, const std::string& cwd) {
  static ScratchDir logs;
  static std::atomic<int> serial{0};
  const std::string base = logs / std::to_string(serial++);
  std::vector<std::string> argv_text = args, env_text;
  for (const auto& [name, value] : env) env_text.push_back(name + "=" + value);
  std::vector<char*> argv, envp;
  for (std::string& a : argv_text) argv.push_back(a.data());
  for (std::string& e : env_text) envp.push_back(e.data());
  argv.push_back(nullptr);
  envp.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, (base + ".out").c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, (base + ".err").c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (!cwd.empty()) posix_spawn_file_actions_addchdir_np(&actions, cwd.c_str());
  RunResult result;
  pid_t pid = 0;
  const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(),
                                   env.empty() ? environ : envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) {
    ADD_FAILURE() << "cannot start " << args[0];
    return result;
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  result.out = ReadFile(base + ".out");
  result.err = ReadFile(base + ".err");
  fs::remove(base + ".out");
  fs::remove(base + ".err");
  return result;
}

std::string Python(const std::vector<std::string>& args) {
  std::vector<std::string> command = {kPython};
  command.insert(command.end(), args.begin(), args.end());
  const RunResult r = RunProgram(command);
  EXPECT_EQ(r.status, 0) << args.front() << ":\n" << r.err;
  return r.out;
}

std::string ConvertWithLibreOffice(const std::string& path, const std::string& out_dir) {
  ScratchDir profile;
  RunProgram({"soffice", "-env:UserInstallation=file://" + profile.path().string(), "--headless",
              "--convert-to", "xlsx", "--outdir", out_dir, path});
  const std::string converted = out_dir + "/" + fs::path(path).stem().string() + ".xlsx";
  return fs::exists(converted) ? converted : "";
}

Facts DumpBook(const std::string& path) {
  Facts facts;
  std::istringstream lines(Python({KASTEL_DUMP_SCRIPT, path}));
  for (std::string line; std::getline(lines, line);) {
    const auto tab = line.find('\t');
    if (tab != std::string::npos) facts[line.substr(0, tab)] = line.substr(tab + 1);
  }
  return facts;
}

std::string Get(const Facts& facts, const std::string& key) {
  auto it = facts.find(key);
  return it == facts.end() ? "<none>" : it->second;
}

Facts WithPrefix(const Facts& facts, const std::string& prefix) {
  Facts out;
  for (const auto& [key, value] : facts) {
    if (key.starts_with(prefix)) out[key] = value;
  }
  return out;
}

void ExpectError(const std::function<void()>& action, long number, const std::string& description,
                 bool whole) {
  try {
    action();
  } catch (const Error& e) {
    EXPECT_EQ(e.number(), number) << e.description();
    if (whole) {
      EXPECT_EQ(e.description(), description);
    } else {
      EXPECT_NE(e.description().find(description), std::string::npos) << e.description();
    }
    return;
  }
  ADD_FAILURE() << "no error; expected " << number << " " << description;
}

}  // namespace kastel::testing
