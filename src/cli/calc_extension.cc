#include "cli/calc_extension.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <ostream>
#include <system_error>
#include <vector>

#include "cli/exit_status.h"

extern char** environ;

namespace kastel::cli {
namespace {

// Runs unopkg with `args`; its exit status, or -1 when it could not be started.
int RunUnopkg(const std::vector<std::string>& args, std::ostream& err) {
  std::vector<std::string> argv_text = {"unopkg"};
  argv_text.insert(argv_text.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : argv_text) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  const int spawned = posix_spawnp(&pid, "unopkg", nullptr, nullptr, argv.data(), environ);
  if (spawned != 0) {
    err << "kastel: unopkg を起動できません (" << std::strerror(spawned)
        << ")。LibreOffice (libreoffice-core) をインストールして下さい。\n";
    return -1;
  }
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

int AddCalcExtension(const std::string& oxt, std::ostream& out, std::ostream& err) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(oxt, ec)) {
    err << "kastel: Calc 拡張機能 '" << oxt << "' が見つかりません。\n";
    return kExitFailure;
  }
  // -f replaces a copy of an earlier version.
  if (RunUnopkg({"add", "-f", oxt}, err) != 0) {
    err << "kastel: Calc 拡張機能を登録できませんでした。\n";
    return kExitFailure;
  }
  out << "Calc 拡張機能 KASTEL を登録しました (" << oxt << ")。\n";
  return kExitOk;
}

int RemoveCalcExtension(std::ostream& out, std::ostream& err) {
  if (RunUnopkg({"remove", kCalcExtensionId}, err) != 0) {
    err << "kastel: Calc 拡張機能の登録を解除できませんでした。\n";
    return kExitFailure;
  }
  out << "Calc 拡張機能 KASTEL の登録を解除しました。\n";
  return kExitOk;
}

}  // namespace kastel::cli
